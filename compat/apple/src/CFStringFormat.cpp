// Formatted strings: printf conversions plus %@, which inserts an object's description.
#include "CFObject.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace compat
{
namespace
{

struct Directive
{
  std::string flags;
  int width = -1;
  int precision = -1;
  std::string length;
  char conversion = 0;
};

int ReadNumber(const std::string& f, size_t& i)
{
  int n = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') n = n * 10 + (f[i++] - '0');
  return n;
}

/* Parses one conversion after '%'; returns false when the text ends inside it. */
bool ParseDirective(const std::string& f, size_t& i, Directive& dir, va_list& args)
{
  while (i < f.size() && std::string("-+ #0'").find(f[i]) != std::string::npos) dir.flags += f[i++];
  if (i < f.size() && f[i] == '*')
  {
    dir.width = va_arg(args, int);
    ++i;
  }
  else if (i < f.size() && f[i] >= '0' && f[i] <= '9')
  {
    dir.width = ReadNumber(f, i);
  }
  if (i < f.size() && f[i] == '.')
  {
    ++i;
    if (i < f.size() && f[i] == '*')
    {
      dir.precision = va_arg(args, int);
      ++i;
    }
    else
    {
      dir.precision = ReadNumber(f, i);
    }
  }
  while (i < f.size() && std::string("hlqLzjt").find(f[i]) != std::string::npos) dir.length += f[i++];
  if (i >= f.size()) return false;
  dir.conversion = f[i++];
  return true;
}

std::string PrintfDirective(const Directive& dir, const char* length)
{
  std::string s = "%" + dir.flags;
  if (dir.width >= 0) s += std::to_string(dir.width);
  if (dir.precision >= 0) s += "." + std::to_string(dir.precision);
  return s + length + dir.conversion;
}

template <typename T>
std::string Print(const Directive& dir, const char* length, T value)
{
  const std::string fmt = PrintfDirective(dir, length);
  const int n = std::snprintf(nullptr, 0, fmt.c_str(), value);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), fmt.c_str(), value);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string Integer(const Directive& dir, va_list& args, bool isSigned)
{
  const std::string& l = dir.length;
  if (l == "l") return isSigned ? Print(dir, "l", va_arg(args, long)) : Print(dir, "l", va_arg(args, unsigned long));
  if (l == "ll" || l == "q")
    return isSigned ? Print(dir, "ll", va_arg(args, long long)) : Print(dir, "ll", va_arg(args, unsigned long long));
  if (l == "z") return Print(dir, "z", va_arg(args, size_t));
  if (l == "t") return Print(dir, "t", va_arg(args, ptrdiff_t));
  if (l == "j") return isSigned ? Print(dir, "j", va_arg(args, intmax_t)) : Print(dir, "j", va_arg(args, uintmax_t));
  // hh, h and none arrive promoted to int.
  return isSigned ? Print(dir, l.c_str(), va_arg(args, int)) : Print(dir, l.c_str(), va_arg(args, unsigned int));
}

std::string Pad(const Directive& dir, std::string text)
{
  if (dir.precision >= 0 && static_cast<int>(text.size()) > dir.precision)
    text.resize(static_cast<size_t>(dir.precision));
  if (dir.width > static_cast<int>(text.size()))
  {
    const std::string fill(static_cast<size_t>(dir.width) - text.size(), ' ');
    text = dir.flags.find('-') != std::string::npos ? text + fill : fill + text;
  }
  return text;
}

std::string Convert(const Directive& dir, va_list& args)
{
  switch (dir.conversion)
  {
    case '@': return Pad(dir, DescriptionOf(va_arg(args, CFTypeRef)));
    case 'd':
    case 'i': return Integer(dir, args, true);
    case 'u':
    case 'o':
    case 'x':
    case 'X': return Integer(dir, args, false);
    case 'c':
    case 'C': return Print(dir, "", va_arg(args, int));
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      return dir.length == "L" ? Print(dir, "L", va_arg(args, long double)) : Print(dir, "", va_arg(args, double));
    case 's':
    {
      const char* s = va_arg(args, const char*);
      return Pad(dir, s ? s : "(null)");
    }
    case 'p': return Print(dir, "", va_arg(args, void*));
    case '%': return "%";
    default: return std::string("%") + dir.conversion;
  }
}

}  // namespace

std::string FormatText(const std::string& format, va_list arguments)
{
  va_list args;
  va_copy(args, arguments);
  std::string out;
  for (size_t i = 0; i < format.size();)
  {
    if (format[i] != '%')
    {
      out += format[i++];
      continue;
    }
    ++i;
    Directive dir;
    if (!ParseDirective(format, i, dir, args)) break;
    out += Convert(dir, args);
  }
  va_end(args);
  return out;
}

}  // namespace compat

extern "C"
{

  CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef alloc, CFDictionaryRef formatOptions,
                                                   CFStringRef format, va_list arguments)
  {
    (void)formatOptions;
    std::string text = compat::FormatText(compat::StringUTF8(format, "CFStringCreateWithFormat"), arguments);
    return compat::MakeString(alloc, std::move(text));
  }

  CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...)
  {
    va_list args;
    va_start(args, format);
    CFStringRef s = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, args);
    va_end(args);
    return s;
  }

  void CFStringAppendFormat(CFMutableStringRef theString, CFDictionaryRef formatOptions, CFStringRef format, ...)
  {
    va_list args;
    va_start(args, format);
    CFStringRef piece = CFStringCreateWithFormatAndArguments(nullptr, formatOptions, format, args);
    va_end(args);
    CFStringAppend(theString, piece);
    CFRelease(piece);
  }

}  // extern "C"
