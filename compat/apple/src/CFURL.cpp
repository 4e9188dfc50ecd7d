// URLs: the text form plus, for file URLs, the decoded POSIX path.
#include "CFObject.h"

#include <cstring>
#include <unistd.h>

namespace
{

const char kFileScheme[] = "file://";

bool IsUnreserved(unsigned char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr("-._~/!$&'()*+,;=:@", c) != nullptr;
}

std::string PercentEncode(const std::string& path)
{
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path)
  {
    if (c && IsUnreserved(c))
    {
      out += static_cast<char>(c);
    }
    else
    {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& text)
{
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
  {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0)
    {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    }
    else
    {
      out += text[i];
    }
  }
  return out;
}

std::string Absolute(const std::string& path)
{
  if (!path.empty() && path[0] == '/') return path;
  char cwd[4096];
  if (!getcwd(cwd, sizeof(cwd))) return path;
  std::string base = cwd;
  if (base.empty() || base.back() != '/') base += '/';
  return base + path;
}

}  // namespace

struct __CFURL final : compat::CFObject
{
  __CFURL(CFAllocatorRef alloc, std::string text)
    : CFObject(compat::kTypeURL, alloc),
      string(std::move(text))
  {
    if (string.compare(0, sizeof(kFileScheme) - 1, kFileScheme) == 0)
    {
      std::string rest = string.substr(sizeof(kFileScheme) - 1);
      // "file://localhost/path" and "file:///path" both name /path.
      if (!rest.empty() && rest[0] != '/')
      {
        const size_t slash = rest.find('/');
        rest = slash == std::string::npos ? "/" : rest.substr(slash);
      }
      path = PercentDecode(rest);
      isFile = true;
    }
  }
  ~__CFURL() override
  {
    if (stringObject) CFRelease(stringObject);
  }
  bool Equal(const CFObject& other) const override { return string == static_cast<const __CFURL&>(other).string; }
  CFHashCode Hash() const override { return static_cast<CFHashCode>(std::hash<std::string>{}(string)); }
  std::string Describe() const override { return string; }

  /* The path without a trailing slash, except for the root. */
  std::string PlainPath() const
  {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
  }

  std::string string;
  std::string path;
  bool isFile = false;
  CFStringRef stringObject = nullptr;
};

namespace
{

const __CFURL* URLOf(CFURLRef url, const char* function)
{
  return compat::Checked<const __CFURL>(url, compat::kTypeURL, function);
}

CFURLRef MakeFileURL(CFAllocatorRef allocator, std::string path, bool isDirectory)
{
  path = Absolute(path);
  if (isDirectory && (path.empty() || path.back() != '/')) path += '/';
  if (!isDirectory)
  {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
  }
  return new __CFURL(allocator, kFileScheme + PercentEncode(path));
}

}  // namespace

extern "C"
{

  CFTypeID CFURLGetTypeID(void) { return compat::kTypeURL; }

  CFURLRef CFURLCreateWithString(CFAllocatorRef allocator, CFStringRef URLString, CFURLRef baseURL)
  {
    std::string text = compat::StringUTF8(URLString, "CFURLCreateWithString");
    if (text.empty()) return nullptr;
    if (baseURL && text.find("://") == std::string::npos)
    {
      std::string base = URLOf(baseURL, "CFURLCreateWithString")->string;
      base = base.substr(0, base.rfind('/') + 1);
      text = text[0] == '/' ? base.substr(0, base.find('/', base.find("://") + 3)) + text : base + text;
    }
    for (unsigned char c : text)
      if (c <= ' ' || c >= 0x7F) return nullptr;  // not a legal URL text
    return new __CFURL(allocator, text);
  }

  CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef filePath, CFURLPathStyle pathStyle,
                                         Boolean isDirectory)
  {
    const std::string& path = compat::StringUTF8(filePath, "CFURLCreateWithFileSystemPath");
    if (pathStyle != kCFURLPOSIXPathStyle || path.empty()) return nullptr;
    return MakeFileURL(allocator, path, isDirectory);
  }

  CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef allocator, const UInt8* buffer, CFIndex bufLen,
                                                   Boolean isDirectory)
  {
    if (!buffer || bufLen <= 0) return nullptr;
    std::string path(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen));
    path = path.substr(0, path.find('\0'));
    if (path.empty()) return nullptr;
    return MakeFileURL(allocator, path, isDirectory);
  }

  CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef allocator, CFURLRef url, CFStringRef pathComponent,
                                                 Boolean isDirectory)
  {
    const __CFURL* u = URLOf(url, "CFURLCreateCopyAppendingPathComponent");
    const std::string& component = compat::StringUTF8(pathComponent, "CFURLCreateCopyAppendingPathComponent");
    if (!u->isFile) return nullptr;
    std::string path = u->path;
    if (path.empty() || path.back() != '/') path += '/';
    return MakeFileURL(allocator, path + component, isDirectory);
  }

  CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef allocator, CFURLRef url)
  {
    const __CFURL* u = URLOf(url, "CFURLCreateCopyDeletingLastPathComponent");
    if (!u->isFile) return nullptr;
    const std::string path = u->PlainPath();
    const size_t slash = path.rfind('/');
    return MakeFileURL(allocator, slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash), true);
  }

  CFStringRef CFURLGetString(CFURLRef anURL)
  {
    __CFURL* u = const_cast<__CFURL*>(URLOf(anURL, "CFURLGetString"));
    if (!u->stringObject) u->stringObject = compat::MakeString(nullptr, u->string);
    return u->stringObject;
  }

  CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle)
  {
    const __CFURL* u = URLOf(anURL, "CFURLCopyFileSystemPath");
    if (!u->isFile || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
    return compat::MakeString(nullptr, u->PlainPath());
  }

  CFStringRef CFURLCopyLastPathComponent(CFURLRef url)
  {
    const __CFURL* u = URLOf(url, "CFURLCopyLastPathComponent");
    const std::string path = u->isFile ? u->PlainPath() : u->string;
    const size_t slash = path.rfind('/');
    return compat::MakeString(nullptr, slash == std::string::npos || path == "/" ? path : path.substr(slash + 1));
  }

  CFStringRef CFURLCopyPathExtension(CFURLRef url)
  {
    CFStringRef last = CFURLCopyLastPathComponent(url);
    const std::string name = compat::StringUTF8(last, "CFURLCopyPathExtension");
    CFRelease(last);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return nullptr;
    return compat::MakeString(nullptr, name.substr(dot + 1));
  }

  Boolean CFURLHasDirectoryPath(CFURLRef anURL)
  {
    const __CFURL* u = URLOf(anURL, "CFURLHasDirectoryPath");
    return u->isFile && !u->path.empty() && u->path.back() == '/';
  }

  Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen)
  {
    (void)resolveAgainstBase;
    const __CFURL* u = URLOf(url, "CFURLGetFileSystemRepresentation");
    if (!u->isFile || !buffer) return false;
    const std::string path = u->PlainPath();
    if (static_cast<CFIndex>(path.size()) >= maxBufLen) return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
  }

}  // extern "C"
