#include "CFAUPreset.h"

namespace
{
// Adapters with the array's callback signatures.
const void* RetainForArray(CFAllocatorRef, const void* preset) { return CFAUPresetRetain(const_cast<void*>(preset)); }

void ReleaseForArray(CFAllocatorRef, const void* preset) { CFAUPresetRelease(const_cast<void*>(preset)); }
}  // namespace

const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, RetainForArray, ReleaseForArray, CFAUPresetCopyDescription,
                                                    CFAUPresetEqual};

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef presetName)
{
  auto* preset = static_cast<CFAUPreset*>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
  if (!preset) return nullptr;
  preset->auPreset.presetNumber = presetNumber;
  preset->auPreset.presetName = presetName ? CFStringCreateCopy(allocator, presetName) : nullptr;
  preset->version = 0;
  // The allocator must outlive the object it is to take back.
  preset->allocator = allocator ? static_cast<CFAllocatorRef>(CFRetain(allocator)) : nullptr;
  preset->retainCount = 1;
  return preset;
}

CFAUPresetRef CFAUPresetRetain(void* p)
{
  auto* preset = static_cast<CFAUPreset*>(p);
  if (!preset) return nullptr;
  if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
  ++preset->retainCount;
  return preset;
}

void CFAUPresetRelease(void* p)
{
  auto* preset = static_cast<CFAUPreset*>(p);
  if (!preset || preset->retainCount <= 0) return;
  if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
  if (--preset->retainCount > 0) return;
  preset->auPreset.presetName = nullptr;
  preset->auPreset.presetNumber = 0;
  CFAllocatorRef allocator = preset->allocator;
  CFAllocatorDeallocate(allocator, preset);
  if (allocator) CFRelease(allocator);
}

CFStringRef CFAUPresetCopyDescription(const void* p)
{
  auto* preset = static_cast<const CFAUPreset*>(p);
  if (!preset) return nullptr;
  return CFStringCreateWithFormat(kCFAllocatorDefault, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  static_cast<int>(preset->auPreset.presetNumber), preset->auPreset.presetName);
}

Boolean CFAUPresetEqual(const void* p1, const void* p2)
{
  auto* a = static_cast<const CFAUPreset*>(p1);
  auto* b = static_cast<const CFAUPreset*>(p2);
  if (a == b) return true;
  if (!a || !b) return false;
  if (a->auPreset.presetNumber != b->auPreset.presetNumber) return false;
  if (a->auPreset.presetName == b->auPreset.presetName) return true;
  if (!a->auPreset.presetName || !b->auPreset.presetName) return false;
  return CFStringCompare(a->auPreset.presetName, b->auPreset.presetName, 0) == kCFCompareEqualTo;
}
