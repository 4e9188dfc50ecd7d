#pragma once
// Reference-counted factory-preset objects for the FactoryPresets property.
// The first two fields form an AUPreset, so a host that reads the array's
// elements as AUPreset sees the number and the name; the array retains and
// releases the elements through kCFAUPresetArrayCallBacks.

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

struct CFAUPreset
{
  AUPreset auPreset;         // presetNumber, presetName (a copy, owned)
  UInt32 version;            // reserved, always 0
  CFAllocatorRef allocator;  // the memory goes back to this allocator
  CFIndex retainCount;       // starts at 1
};
typedef const CFAUPreset* CFAUPresetRef;

// Host control thread. Returns null when the allocator has no memory.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef presetName);
// Also retains the name; a null preset passes through.
CFAUPresetRef CFAUPresetRetain(void* preset);
// Releases the name; at a count of 0 or below nothing happens. When the count
// reaches 0 the fields are cleared and the memory returned to the allocator.
void CFAUPresetRelease(void* preset);
// "AUPreset:\npreset number = %d\npreset name = %@"; the caller releases it.
CFStringRef CFAUPresetCopyDescription(const void* preset);
// Equal when the numbers and then the names (compared without options) are.
Boolean CFAUPresetEqual(const void* preset1, const void* preset2);

extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
