#pragma once
// What the host learns about the editor's Cocoa view factory, and when it may ask.
// The factory class itself is Objective-C and lives with the Mac window code.

#include <MacTypes.h>

// The Cocoa view protocol needs a system of at least 10.5 (BCD digits as the system reports them).
inline constexpr SInt32 kIPlugAUMinCocoaViewSystemVersion = 0x1050;

// The host is offered the Cocoa view only for a plug-in with an editor on a system that has the protocol.
inline constexpr bool IPlugAUCanOfferCocoaView(bool hasEditor, SInt32 systemVersion) noexcept
{
  return hasEditor && systemVersion >= kIPlugAUMinCocoaViewSystemVersion;
}
