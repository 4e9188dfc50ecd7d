#pragma once
// The plug-in opened as an Audio Unit host opens it and driven only through the host
// calls (properties, parameters, initialise, render). Its state is the class-info
// dictionary. Current hosts find it as an audio component in the build's Tesk.component
// bundle; older hosts open it through the Component Manager entry.

#include "PluginUnderTest.h"

namespace validator
{

// How the host opens the unit and calls render: an audio component instance from the
// bundle, rendered through the method its Lookup answers (no lock taken); or a Component
// Manager instance of the entry linked into the test, rendered through the function it
// hands out for fast dispatch (no lock taken either).
enum class AudioUnitRenderRoute
{
  kAudioComponent,
  kFastDispatch,
};

std::unique_ptr<PluginUnderTest> OpenAudioUnit(AudioUnitRenderRoute route);

inline Binding AudioUnitBinding()
{
  return {"AudioUnit", [] { return OpenAudioUnit(AudioUnitRenderRoute::kAudioComponent); }};
}

inline Binding AudioUnitFastDispatchBinding()
{
  return {"AudioUnitFastDispatch", [] { return OpenAudioUnit(AudioUnitRenderRoute::kFastDispatch); }};
}

}  // namespace validator
