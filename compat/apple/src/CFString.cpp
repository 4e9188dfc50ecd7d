// Strings: kept as UTF-8 text; lengths and indices are counted in UTF-16 units.
#include "CFObject.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

__CFString::__CFString(CFAllocatorRef alloc, std::string text, bool mut, bool constant)
  : CFObject(compat::kTypeString, alloc, constant),
    utf8(std::move(text)),
    isMutable(mut)
{
}

bool __CFString::Equal(const CFObject& other) const { return utf8 == static_cast<const __CFString&>(other).utf8; }

CFHashCode __CFString::Hash() const { return static_cast<CFHashCode>(std::hash<std::string>{}(utf8)); }

namespace compat
{
namespace
{

/* Decodes one code point; returns false on a malformed sequence. */
bool DecodeUTF8(const std::string& s, size_t& i, UInt32& cp)
{
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int extra = 0;
  if (c < 0x80)
  {
    cp = c;
  }
  else if ((c & 0xE0) == 0xC0)
  {
    cp = c & 0x1F;
    extra = 1;
  }
  else if ((c & 0xF0) == 0xE0)
  {
    cp = c & 0x0F;
    extra = 2;
  }
  else if ((c & 0xF8) == 0xF0)
  {
    cp = c & 0x07;
    extra = 3;
  }
  else
  {
    return false;
  }
  if (extra > 0 && i + static_cast<size_t>(extra) >= s.size()) return false;
  for (int k = 1; k <= extra; ++k)
  {
    const unsigned char cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if ((cc & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (cc & 0x3F);
  }
  static const UInt32 kMinimum[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  i += static_cast<size_t>(extra) + 1;
  return true;
}

void AppendUTF8(std::string& out, UInt32 cp)
{
  if (cp < 0x80)
  {
    out += static_cast<char>(cp);
  }
  else if (cp < 0x800)
  {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else if (cp < 0x10000)
  {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::vector<UniChar> ToUTF16(const std::string& s)
{
  std::vector<UniChar> units;
  units.reserve(s.size());
  for (size_t i = 0; i < s.size();)
  {
    UInt32 cp = 0;
    if (!DecodeUTF8(s, i, cp))
    {
      cp = 0xFFFD;
      ++i;
    }
    if (cp >= 0x10000)
    {
      cp -= 0x10000;
      units.push_back(static_cast<UniChar>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<UniChar>(0xDC00 + (cp & 0x3FF)));
    }
    else
    {
      units.push_back(static_cast<UniChar>(cp));
    }
  }
  return units;
}

std::string FromUTF16(const UniChar* units, CFIndex count)
{
  std::string out;
  for (CFIndex i = 0; i < count; ++i)
  {
    UInt32 cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
    {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    else if (cp >= 0xD800 && cp <= 0xDFFF)
    {
      cp = 0xFFFD;
    }
    AppendUTF8(out, cp);
  }
  return out;
}

bool IsUTF8Encoding(CFStringEncoding e) { return e == kCFStringEncodingUTF8; }
bool IsASCIIEncoding(CFStringEncoding e) { return e == kCFStringEncodingASCII || e == kCFStringEncodingNonLossyASCII; }
/* The single-byte Western encodings. Their upper halves are read as Latin-1, which is exact for
   ISO Latin-1 and close for the others; only ASCII text crosses them in this system. */
bool IsSingleByteEncoding(CFStringEncoding e)
{
  return e == kCFStringEncodingISOLatin1 || e == kCFStringEncodingWindowsLatin1 || e == kCFStringEncodingMacRoman ||
         e == kCFStringEncodingNextStepLatin;
}

/* Bytes in `encoding` to UTF-8; false when they are not valid in that encoding. */
bool DecodeBytes(const char* bytes, size_t n, CFStringEncoding encoding, std::string& out)
{
  const std::string in(bytes, n);
  if (IsUTF8Encoding(encoding))
  {
    for (size_t i = 0; i < in.size();)
    {
      UInt32 cp = 0;
      if (!DecodeUTF8(in, i, cp)) return false;
    }
    out = in;
    return true;
  }
  if (IsASCIIEncoding(encoding))
  {
    for (unsigned char c : in)
      if (c > 0x7F) return false;
    out = in;
    return true;
  }
  if (IsSingleByteEncoding(encoding))
  {
    out.clear();
    for (unsigned char c : in) AppendUTF8(out, c);
    return true;
  }
  if (encoding == kCFStringEncodingUTF16 || encoding == kCFStringEncodingUTF16LE)
  {
    std::vector<UniChar> units(n / 2);
    std::memcpy(units.data(), bytes, units.size() * 2);
    out = FromUTF16(units.data(), static_cast<CFIndex>(units.size()));
    return true;
  }
  return false;
}

/* UTF-8 text to `encoding`; unencodable characters become lossByte, or fail when it is 0. */
bool EncodeText(const std::string& text, CFStringEncoding encoding, UInt8 lossByte, std::string& out)
{
  if (IsUTF8Encoding(encoding))
  {
    out = text;
    return true;
  }
  const UInt32 limit = IsASCIIEncoding(encoding) ? 0x7F : IsSingleByteEncoding(encoding) ? 0xFF : 0;
  if (limit == 0) return false;
  out.clear();
  for (size_t i = 0; i < text.size();)
  {
    UInt32 cp = 0;
    if (!DecodeUTF8(text, i, cp))
    {
      cp = 0xFFFD;
      ++i;
    }
    if (cp > limit)
    {
      if (!lossByte) return false;
      cp = lossByte;
    }
    out += static_cast<char>(cp);
  }
  return true;
}

__CFString* MutableString(CFMutableStringRef str, const char* function)
{
  __CFString* s = Checked<__CFString>(str, kTypeString, function);
  if (!s->isMutable) Fatal(function, "string is not mutable");
  return s;
}

}  // namespace

CFStringRef MakeString(CFAllocatorRef alloc, std::string utf8, bool isMutable)
{
  return new __CFString(alloc, std::move(utf8), isMutable, false);
}

const std::string& StringUTF8(CFStringRef str, const char* function)
{
  return Checked<const __CFString>(str, kTypeString, function)->utf8;
}

}  // namespace compat

using compat::StringUTF8;

extern "C"
{

  CFStringRef __CFStringMakeConstantString(const char* cStr)
  {
    // One immortal object per distinct text; the table is never destroyed, so the strings stay
    // valid during static destruction too.
    static std::mutex* lock = new std::mutex;
    static auto* table = new std::unordered_map<std::string, CFStringRef>;
    std::lock_guard<std::mutex> hold(*lock);
    auto found = table->find(cStr);
    if (found != table->end()) return found->second;
    CFStringRef s = new __CFString(nullptr, cStr, false, true);
    table->emplace(cStr, s);
    return s;
  }

  CFTypeID CFStringGetTypeID(void) { return compat::kTypeString; }

  CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding)
  {
    if (!cStr) return nullptr;
    std::string text;
    if (!compat::DecodeBytes(cStr, std::strlen(cStr), encoding, text)) return nullptr;
    return compat::MakeString(alloc, std::move(text));
  }

  CFStringRef CFStringCreateWithCStringNoCopy(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding,
                                              CFAllocatorRef contentsDeallocator)
  {
    // The text is copied, so the caller's buffer can be handed back to its deallocator at once;
    // with kCFAllocatorNull the caller keeps it, as the platform allows.
    CFStringRef s = CFStringCreateWithCString(alloc, cStr, encoding);
    if (cStr && contentsDeallocator != kCFAllocatorNull)
      CFAllocatorDeallocate(contentsDeallocator, const_cast<char*>(cStr));
    return s;
  }

  CFStringRef CFStringCreateWithPascalString(CFAllocatorRef alloc, ConstStr255Param pStr, CFStringEncoding encoding)
  {
    if (!pStr) return nullptr;
    std::string text;
    if (!compat::DecodeBytes(reinterpret_cast<const char*>(pStr + 1), pStr[0], encoding, text)) return nullptr;
    return compat::MakeString(alloc, std::move(text));
  }

  CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                      CFStringEncoding encoding, Boolean isExternalRepresentation)
  {
    (void)isExternalRepresentation;
    if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
    std::string text;
    if (!compat::DecodeBytes(reinterpret_cast<const char*>(bytes), static_cast<size_t>(numBytes), encoding, text))
      return nullptr;
    return compat::MakeString(alloc, std::move(text));
  }

  CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars, CFIndex numChars)
  {
    if (numChars < 0 || (!chars && numChars > 0)) return nullptr;
    return compat::MakeString(alloc, compat::FromUTF16(chars, numChars));
  }

  CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString)
  {
    return compat::MakeString(alloc, StringUTF8(theString, "CFStringCreateCopy"));
  }

  CFStringRef CFStringCreateWithSubstring(CFAllocatorRef alloc, CFStringRef str, CFRange range)
  {
    const std::vector<UniChar> units = compat::ToUTF16(StringUTF8(str, "CFStringCreateWithSubstring"));
    if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(units.size()))
      compat::Fatal("CFStringCreateWithSubstring", "range out of bounds");
    return compat::MakeString(alloc, compat::FromUTF16(units.data() + range.location, range.length));
  }

  CFMutableStringRef CFStringCreateMutable(CFAllocatorRef alloc, CFIndex maxLength)
  {
    (void)maxLength;
    return const_cast<CFMutableStringRef>(compat::MakeString(alloc, std::string(), true));
  }

  CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex maxLength, CFStringRef theString)
  {
    (void)maxLength;
    return const_cast<CFMutableStringRef>(
      compat::MakeString(alloc, StringUTF8(theString, "CFStringCreateMutableCopy"), true));
  }

  void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString)
  {
    const std::string tail = StringUTF8(appendedString, "CFStringAppend");
    compat::MutableString(theString, "CFStringAppend")->utf8 += tail;
  }

  void CFStringAppendCString(CFMutableStringRef theString, const char* cStr, CFStringEncoding encoding)
  {
    std::string text;
    if (cStr && compat::DecodeBytes(cStr, std::strlen(cStr), encoding, text))
      compat::MutableString(theString, "CFStringAppendCString")->utf8 += text;
  }

  CFIndex CFStringGetLength(CFStringRef theString)
  {
    const std::string& s = StringUTF8(theString, "CFStringGetLength");
    CFIndex units = 0;
    for (size_t i = 0; i < s.size();)
    {
      UInt32 cp = 0;
      if (!compat::DecodeUTF8(s, i, cp)) ++i;
      units += cp >= 0x10000 ? 2 : 1;
    }
    return units;
  }

  UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx)
  {
    const std::vector<UniChar> units = compat::ToUTF16(StringUTF8(theString, "CFStringGetCharacterAtIndex"));
    if (idx < 0 || idx >= static_cast<CFIndex>(units.size()))
      compat::Fatal("CFStringGetCharacterAtIndex", "index out of bounds");
    return units[static_cast<size_t>(idx)];
  }

  void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer)
  {
    const std::vector<UniChar> units = compat::ToUTF16(StringUTF8(theString, "CFStringGetCharacters"));
    if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(units.size()))
      compat::Fatal("CFStringGetCharacters", "range out of bounds");
    std::memcpy(buffer, units.data() + range.location, static_cast<size_t>(range.length) * sizeof(UniChar));
  }

  Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
  {
    std::string out;
    if (!buffer || bufferSize <= 0) return false;
    if (!compat::EncodeText(StringUTF8(theString, "CFStringGetCString"), encoding, 0, out)) return false;
    if (static_cast<CFIndex>(out.size()) >= bufferSize) return false;
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    return true;
  }

  const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding)
  {
    const std::string& s = StringUTF8(theString, "CFStringGetCStringPtr");
    if (compat::IsUTF8Encoding(encoding)) return s.c_str();
    for (unsigned char c : s)
      if (c > 0x7F) return nullptr;
    return (compat::IsASCIIEncoding(encoding) || compat::IsSingleByteEncoding(encoding)) ? s.c_str() : nullptr;
  }

  CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
                           Boolean isExternalRepresentation, UInt8* buffer, CFIndex maxBufLen, CFIndex* usedBufLen)
  {
    (void)isExternalRepresentation;
    const std::vector<UniChar> units = compat::ToUTF16(StringUTF8(theString, "CFStringGetBytes"));
    if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(units.size()))
      compat::Fatal("CFStringGetBytes", "range out of bounds");
    // Converts whole characters while they fit; returns how many UTF-16 units were converted.
    CFIndex converted = 0;
    CFIndex used = 0;
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
    {
      std::string piece;
      if (!compat::EncodeText(compat::FromUTF16(&units[static_cast<size_t>(i)], 1), encoding, lossByte, piece)) break;
      if (buffer && used + static_cast<CFIndex>(piece.size()) > maxBufLen) break;
      if (buffer) std::memcpy(buffer + used, piece.data(), piece.size());
      used += static_cast<CFIndex>(piece.size());
      ++converted;
    }
    if (usedBufLen) *usedBufLen = used;
    return converted;
  }

  CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
  {
    if (compat::IsUTF8Encoding(encoding)) return length * 3;
    if (compat::IsASCIIEncoding(encoding) || compat::IsSingleByteEncoding(encoding)) return length;
    return length * 4;
  }

  CFStringEncoding CFStringGetSystemEncoding(void) { return kCFStringEncodingMacRoman; }

  CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                     CFStringCompareFlags compareOptions)
  {
    std::string a = StringUTF8(theString1, "CFStringCompare");
    std::string b = StringUTF8(theString2, "CFStringCompare");
    if (compareOptions & kCFCompareCaseInsensitive)
    {
      for (char& c : a) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      for (char& c : b) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const int r = a.compare(b);
    return r < 0 ? kCFCompareLessThan : r > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo;
  }

  Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix)
  {
    const std::string& s = StringUTF8(theString, "CFStringHasPrefix");
    const std::string& p = StringUTF8(prefix, "CFStringHasPrefix");
    return s.compare(0, p.size(), p) == 0;
  }

  Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix)
  {
    const std::string& s = StringUTF8(theString, "CFStringHasSuffix");
    const std::string& p = StringUTF8(suffix, "CFStringHasSuffix");
    return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
  }

  SInt32 CFStringGetIntValue(CFStringRef str)
  {
    const std::string& s = StringUTF8(str, "CFStringGetIntValue");
    size_t i = s.find_first_not_of(" \t\n\r");
    if (i == std::string::npos) return 0;
    if (s[i] == '+') ++i;
    long long v = 0;
    const auto r = std::from_chars(s.data() + i, s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) return s[i] == '-' ? INT32_MIN : INT32_MAX;
    if (r.ec != std::errc()) return 0;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<SInt32>(v);
  }

  double CFStringGetDoubleValue(CFStringRef str)
  {
    // Always '.' as the decimal separator, whatever the process locale.
    const std::string& s = StringUTF8(str, "CFStringGetDoubleValue");
    size_t i = s.find_first_not_of(" \t\n\r");
    if (i == std::string::npos) return 0.0;
    if (s[i] == '+') ++i;
    double v = 0.0;
    const auto r = std::from_chars(s.data() + i, s.data() + s.size(), v);
    return r.ec == std::errc() ? v : 0.0;
  }

}  // extern "C"
