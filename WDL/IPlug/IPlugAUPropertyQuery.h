#pragma once
// One property request on its way through GetProperty: what was asked, the caller's
// buffer, and the answer's size and writability.

#include "IPlugAU.h"

struct IPlugAU::PropertyQuery
{
  AudioUnitPropertyID mID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
  UInt32 mCapacity;  // bytes the caller's buffer holds
  void* mData;       // null: only size and writability are asked for

  UInt32 mSize = 0;
  Boolean mWriteable = false;
  bool mTooSmall = false;

  // Records the answer's size and writability; true when the data is to be written now
  // (a buffer smaller than the answer is never written).
  bool Answer(UInt32 size, bool writeable) noexcept
  {
    mSize = size;
    mWriteable = writeable;
    if (!mData) return false;
    mTooSmall = mCapacity < size;
    return !mTooSmall;
  }

  template <class T>
  T* Data() const noexcept
  {
    return static_cast<T*>(mData);
  }

  bool IsGlobal() const noexcept { return mScope == kAudioUnitScope_Global; }
};

namespace iplug_au
{
// A new UTF-8 string the caller owns; null when it cannot be made.
inline CFStringRef MakeCFString(const char* str)
{
  return CFStringCreateWithCString(kCFAllocatorDefault, str ? str : "", kCFStringEncodingUTF8);
}

// Writes str as UTF-8 into buf; false (and "") when it does not fit or is null.
inline bool GetUTF8(CFStringRef str, char* buf, int capacity)
{
  if (capacity <= 0) return false;
  buf[0] = 0;
  if (!str || !CFStringGetCString(str, buf, capacity, kCFStringEncodingUTF8))
  {
    buf[0] = 0;
    return false;
  }
  return true;
}
}  // namespace iplug_au
