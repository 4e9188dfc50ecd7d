// The records behind the handles the component calls hand out. Component Manager
// components and instances, and audio components and their instances, all start with the
// same tag, so every call can tell which kind of handle it was given and refuse the kinds
// it does not serve, as the original platform does. Records are never freed (closed ones
// are reused), so checking a stale handle reads valid memory; a pointer that never was a
// handle is undefined, as it is there.
#ifndef COMPAT_APPLE_SRC_COMPONENTRECORDS_H
#define COMPAT_APPLE_SRC_COMPONENTRECORDS_H

#include <AudioToolbox/AudioComponent.h>

#include <atomic>

namespace compat
{
struct ComponentRecord
{
  enum Tag : long
  {
    kComponentTag = 0x636F6D70,       // a Component Manager component
    kInstanceTag = 0x696E7374,        // an open Component Manager instance
    kAudioComponentTag = 0x6163636F,  // an audio component
    kAudioInstanceTag = 0x61636974,   // an open audio component instance
    kClosedTag = 0x64656164           // a closed instance of either kind
  };
  explicit ComponentRecord(Tag t)
    : tag(t)
  {
  }
  virtual ~ComponentRecord() = default;
  std::atomic<long> tag;

  // The record behind a handle of any kind, or null.
  static ComponentRecord* Of(const void* handle)
  {
    return const_cast<ComponentRecord*>(static_cast<const ComponentRecord*>(handle));
  }
  bool Is(Tag t) const { return tag.load(std::memory_order_acquire) == t; }
};

// The plug-in record of an open audio component instance, or null for any other handle
// (a Component Manager instance among them). audio thread: no allocation, no locks.
AudioComponentPlugInInterface* PlugInOf(const void* handle);
}  // namespace compat

#endif
