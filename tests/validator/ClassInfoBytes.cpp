#include "ClassInfoBytes.h"

#include <AudioUnit/AudioUnitProperties.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace validator
{
namespace
{
std::string UTF8(CFStringRef s)
{
  const CFIndex max = CFStringGetMaximumSizeForEncoding(CFStringGetLength(s), kCFStringEncodingUTF8) + 1;
  std::string text(static_cast<size_t>(max), '\0');
  if (!CFStringGetCString(s, text.data(), max, kCFStringEncodingUTF8)) return {};
  text.resize(std::strlen(text.c_str()));
  return text;
}

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutBlock(std::vector<std::uint8_t>* out, const void* p, size_t n)
{
  PutU32(out, static_cast<std::uint32_t>(n));
  const auto* b = static_cast<const std::uint8_t*>(p);
  out->insert(out->end(), b, b + n);
}

// One entry's type letter and value bytes.
std::pair<char, std::string> Encode(CFTypeRef value)
{
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFNumberGetTypeID())
  {
    auto num = static_cast<CFNumberRef>(value);
    char bytes[8] = {};
    if (CFNumberIsFloatType(num))
    {
      double d = 0.0;
      CFNumberGetValue(num, kCFNumberFloat64Type, &d);
      std::memcpy(bytes, &d, 8);
      return {'f', std::string(bytes, 8)};
    }
    std::int64_t i = 0;
    CFNumberGetValue(num, kCFNumberSInt64Type, &i);
    std::memcpy(bytes, &i, 8);
    return {'i', std::string(bytes, 8)};
  }
  if (type == CFStringGetTypeID()) return {'s', UTF8(static_cast<CFStringRef>(value))};
  if (type == CFDataGetTypeID())
  {
    auto data = static_cast<CFDataRef>(value);
    return {'d', std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                             static_cast<size_t>(CFDataGetLength(data)))};
  }
  return {'?', std::string()};
}

CFTypeRef Decode(char type, const std::string& v)
{
  switch (type)
  {
    case 'i':
    {
      if (v.size() != 8) return nullptr;
      std::int64_t i = 0;
      std::memcpy(&i, v.data(), 8);
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &i);
    }
    case 'f':
    {
      if (v.size() != 8) return nullptr;
      double d = 0.0;
      std::memcpy(&d, v.data(), 8);
      return CFNumberCreate(nullptr, kCFNumberFloat64Type, &d);
    }
    case 's':
      return CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(v.data()), static_cast<CFIndex>(v.size()),
                                     kCFStringEncodingUTF8, false);
    case 'd': return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(v.data()), static_cast<CFIndex>(v.size()));
    default: return nullptr;
  }
}

// Reads a length-prefixed block at *pos; false past the end.
bool GetBlock(const std::vector<std::uint8_t>& in, size_t* pos, std::string* out)
{
  if (in.size() - *pos < 4) return false;
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(in[*pos + i]) << (8 * i);
  *pos += 4;
  if (in.size() - *pos < n) return false;
  out->assign(reinterpret_cast<const char*>(in.data() + *pos), n);
  *pos += n;
  return true;
}
}  // namespace

std::vector<std::uint8_t> ClassInfoToBytes(CFDictionaryRef dict)
{
  const CFIndex n = CFDictionaryGetCount(dict);
  std::vector<const void*> keys(static_cast<size_t>(n)), values(static_cast<size_t>(n));
  CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
  std::map<std::string, std::pair<char, std::string>> sorted;
  for (CFIndex i = 0; i < n; ++i)
  {
    const auto key = static_cast<CFTypeRef>(keys[static_cast<size_t>(i)]);
    const std::string name = CFGetTypeID(key) == CFStringGetTypeID() ? UTF8(static_cast<CFStringRef>(key)) : "?";
    sorted[name] = Encode(static_cast<CFTypeRef>(values[static_cast<size_t>(i)]));
  }
  std::vector<std::uint8_t> out;
  for (const auto& [name, value] : sorted)
  {
    PutBlock(&out, name.data(), name.size());
    out.push_back(static_cast<std::uint8_t>(value.first));
    PutBlock(&out, value.second.data(), value.second.size());
  }
  return out;
}

CFDictionaryRef ClassInfoFromBytes(const std::vector<std::uint8_t>& bytes)
{
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  size_t pos = 0;
  while (dict && pos < bytes.size())
  {
    std::string name, value;
    bool ok = GetBlock(bytes, &pos, &name) && pos < bytes.size();
    const char type = ok ? static_cast<char>(bytes[pos++]) : '?';
    ok = ok && GetBlock(bytes, &pos, &value);
    CFStringRef key = ok ? CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(name.data()),
                                                   static_cast<CFIndex>(name.size()), kCFStringEncodingUTF8, false)
                         : nullptr;
    CFTypeRef v = key ? Decode(type, value) : nullptr;
    if (key && v) CFDictionarySetValue(dict, key, v);
    if (key) CFRelease(key);
    if (v) CFRelease(v);
    if (!v)
    {
      CFRelease(dict);
      return nullptr;
    }
  }
  return dict;
}

std::vector<std::uint8_t> ClassInfoData(const std::vector<std::uint8_t>& bytes)
{
  CFDictionaryRef dict = ClassInfoFromBytes(bytes);
  if (!dict) return {};
  std::vector<std::uint8_t> data;
  const void* value = CFDictionaryGetValue(dict, CFSTR(kAUPresetDataKey));
  if (value && CFGetTypeID(value) == CFDataGetTypeID())
  {
    auto d = static_cast<CFDataRef>(value);
    data.assign(CFDataGetBytePtr(d), CFDataGetBytePtr(d) + CFDataGetLength(d));
  }
  CFRelease(dict);
  return data;
}

std::vector<std::uint8_t> WithClassInfoData(const std::vector<std::uint8_t>& bytes,
                                            const std::vector<std::uint8_t>& data)
{
  CFDictionaryRef dict = ClassInfoFromBytes(bytes);
  if (!dict) return {};
  CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, dict);
  CFDataRef value = CFDataCreate(nullptr, data.data(), static_cast<CFIndex>(data.size()));
  CFDictionarySetValue(copy, CFSTR(kAUPresetDataKey), value);
  std::vector<std::uint8_t> out = ClassInfoToBytes(copy);
  CFRelease(value);
  CFRelease(copy);
  CFRelease(dict);
  return out;
}

}  // namespace validator
