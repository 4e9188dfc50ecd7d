#pragma once
// The plug-in loaded from the built bundle as an LV2 host loads it: lilv discovers the
// build's bundle folder (as LV2_PATH would point at it) and instantiates the plug-in at
// the host's sample rate with what a host offers (URID map and unmap, options, the
// promise of bounded blocks); the host owns the control ports' values, reads the latency
// port, and saves and restores through the plug-in's state interface. Its state bytes
// are the value the plug-in stores under its state key: the bytes the Audio Unit keeps
// under its class-info dictionary's data key.

#include "PluginUnderTest.h"

namespace validator
{
// Null when the plug-in is not in the bundle or does not instantiate.
std::unique_ptr<PluginUnderTest> OpenLv2(const char* uri);

Binding Lv2Binding();      // the stereo plug-in
Binding Lv2MonoBinding();  // the mono plug-in: one channel in, one out
}  // namespace validator
