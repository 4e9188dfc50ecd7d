#pragma once
// The answers of the Audio Unit's Cocoa view factory, apart from the Objective-C class that
// carries them to the host: which editor view an Audio Unit instance gets, the protocol
// version the factory speaks, and the system version the Mac host reports.
// Main (user-interface) thread: hosts ask for views there.

#include <AudioUnit/AudioUnit.h>

class IPlugAU;
class IPlugBase;

namespace mac_services
{
// Version of the Cocoa view protocol the factory implements.
inline constexpr unsigned kCocoaViewInterfaceVersion = 0;

// A new editor view without a parent (the host places it), or null when the plug-in has
// no editor; a plug-in that builds its editor on first need builds it now. The editor
// keeps its own size whatever size the host asks for.
void* EditorViewForPlug(IPlugBase* pPlug);

// The plug-in of an open Audio Unit instance, read through the binding's plug-in object
// property (so only for a plug-in in the same image as this code), or null.
IPlugAU* PlugOfAudioUnit(AudioUnit unit);

// EditorViewForPlug for the plug-in of an open Audio Unit instance.
void* EditorViewForAudioUnit(AudioUnit unit);

// The system version in BCD digits (0x1068 for 10.6.8), 0 when the system cannot say;
// written to the trace log.
int UserOSVersion();
}  // namespace mac_services
