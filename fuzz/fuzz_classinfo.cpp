// The Audio Unit state as hosts hand it over: a class-info dictionary set through
// SetProperty(ClassInfo) on an opened instance. The dictionary is built from the input
// by a small structure-aware scheme (see Build), so most inputs are dictionaries with
// the expected keys and plausible values rather than noise. A state the unit takes must
// come back out and be taken again unchanged; one it refuses must change nothing.

#include "FuzzHost.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstring>
#include <string>

namespace
{
const char* const kKeys[] = {"version", "type", "subtype", "manufacturer", "name", "data"};

// A value from the input: the first byte picks the type.
CFTypeRef MakeValue(fuzz::Reader& in, int depth)
{
  const std::uint8_t* bytes = nullptr;
  switch (in.Byte() % 9)
  {
    case 0:
    {
      const SInt32 v = static_cast<SInt32>(in.U32());
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
    }
    case 1:
    {
      const SInt64 v = static_cast<SInt64>(in.U64());
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &v);
    }
    case 2:
    {
      const std::uint64_t bits = in.U64();
      double d;
      std::memcpy(&d, &bits, sizeof(d));
      return CFNumberCreate(nullptr, kCFNumberFloat64Type, &d);
    }
    case 3:
    {
      const size_t n = in.Take(in.Byte(), &bytes);
      return CFStringCreateWithBytes(nullptr, bytes, static_cast<CFIndex>(n), kCFStringEncodingUTF8, false);
    }
    case 4:
    {
      const size_t len = in.U16();
      const size_t n = in.Take(len, &bytes);
      return CFDataCreate(nullptr, bytes, static_cast<CFIndex>(n));
    }
    case 5: return CFRetain(in.Byte() & 1 ? kCFBooleanTrue : kCFBooleanFalse);
    case 6:
    {
      CFMutableArrayRef a = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
      for (int i = in.Byte() % 4; i > 0 && depth < 3; --i)
        if (CFTypeRef v = MakeValue(in, depth + 1))
        {
          CFArrayAppendValue(a, v);
          CFRelease(v);
        }
      return a;
    }
    case 7:
    {
      CFMutableDictionaryRef d =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
      for (int i = in.Byte() % 4; i > 0 && depth < 3; --i)
      {
        CFTypeRef v = MakeValue(in, depth + 1);
        if (!v) continue;
        CFDictionarySetValue(d, CFSTR("k"), v);
        CFRelease(v);
      }
      return d;
    }
    default: return nullptr;
  }
}

// The dictionary: optionally the unit's own state to start from, then edits, each a
// key (one of the six, or one of the input's own) and a value, or a removal.
CFMutableDictionaryRef Build(fuzz::Reader& in, const auhost::AudioUnitHost& host)
{
  CFMutableDictionaryRef dict = nullptr;
  if (in.Byte() & 1)
  {
    CFPropertyListRef own = nullptr;
    if (host.CopyClassInfo(&own) != noErr || !own) fuzz::Fail("the unit's own state could not be read");
    dict = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(own));
    CFRelease(own);
  }
  else
  {
    dict = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  }
  for (int edits = in.Byte() % 12; edits > 0 && !in.Empty(); --edits)
  {
    const std::uint8_t k = in.Byte();
    CFStringRef key = nullptr;
    if (k % 8 < 6)
      key = CFStringCreateWithCString(nullptr, kKeys[k % 8], kCFStringEncodingUTF8);
    else
    {
      const std::uint8_t* bytes = nullptr;
      const size_t n = in.Take(in.Byte() % 16, &bytes);
      key = CFStringCreateWithBytes(nullptr, bytes, static_cast<CFIndex>(n), kCFStringEncodingUTF8, false);
    }
    if (!key) continue;
    if (k & 0x80)
      CFDictionaryRemoveValue(dict, key);
    else if (CFTypeRef v = MakeValue(in, 0))
    {
      CFDictionarySetValue(dict, key, v);
      CFRelease(v);
    }
    CFRelease(key);
  }
  return dict;
}

// The unit's state as it reads it back: the data bytes and the preset name.
std::string StateOf(const auhost::AudioUnitHost& host)
{
  CFPropertyListRef state = nullptr;
  if (host.CopyClassInfo(&state) != noErr || !state) fuzz::Fail("the unit's state could not be read");
  auto dict = static_cast<CFDictionaryRef>(state);
  std::string out;
  if (auto data = static_cast<CFDataRef>(CFDictionaryGetValue(dict, CFSTR("data"))))
    out.assign(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), static_cast<size_t>(CFDataGetLength(data)));
  if (auto name = static_cast<CFStringRef>(CFDictionaryGetValue(dict, CFSTR("name"))))
  {
    char text[512] = {};
    CFStringGetCString(name, text, sizeof(text), kCFStringEncodingUTF8);
    out += "|";
    out += text;
  }
  CFRelease(state);
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > (1u << 16)) return -1;
  fuzz::Reader in(data, size);
  auhost::AudioUnitHost& host = fuzz::SharedPlugin().Host();
  CFMutableDictionaryRef dict = Build(in, host);
  const std::string before = StateOf(host);

  // Not always the dictionary itself: hosts have been seen to hand over other types.
  CFTypeRef handed = dict;
  CFTypeRef other = nullptr;
  if (in.Byte() == 0xA5)
  {
    other = MakeValue(in, 0);
    handed = other;
  }
  const OSStatus r = host.SetClassInfo(handed);
  if (other) CFRelease(other);
  CFRelease(dict);

  if (r != noErr)
  {
    if (StateOf(host) != before) fuzz::Fail("a refused state changed the unit");
    return 0;
  }
  CFPropertyListRef saved = nullptr;
  if (host.CopyClassInfo(&saved) != noErr || !saved) fuzz::Fail("the unit's state could not be read");
  const std::string taken = StateOf(host);
  if (host.SetClassInfo(saved) != noErr) fuzz::Fail("the unit refused its own state");
  CFRelease(saved);
  if (StateOf(host) != taken) fuzz::Fail("the unit's own state did not restore unchanged");
  return 0;
}
