// Internal object model shared by the object-library implementation files.
#ifndef COMPAT_APPLE_SRC_CFOBJECT_H
#define COMPAT_APPLE_SRC_CFOBJECT_H

#include <CoreFoundation/CoreFoundation.h>

#include <atomic>
#include <cstdarg>
#include <string>

namespace compat
{

enum ObjectType : CFTypeID
{
  kTypeNull = 1,
  kTypeAllocator,
  kTypeString,
  kTypeNumber,
  kTypeBoolean,
  kTypeData,
  kTypeArray,
  kTypeDictionary,
  kTypeURL,
  kTypeBundle,
  kTypeCount
};

/* Every object starts with this base at its own address, so a CFTypeRef is a CFObject*. */
class CFObject
{
public:
  struct Immortal
  {
  };
  /* Constants: never counted, never freed, retain and release do nothing. */
  constexpr CFObject(CFTypeID type, Immortal)
    : typeID(type),
      allocator(nullptr),
      immortal(true),
      retainCount(1)
  {
  }
  /* Ordinary objects start with a retain count of 1 and retain a custom allocator; objects made
     immortal at run time (constant strings, bundles) are not counted either. */
  CFObject(CFTypeID type, CFAllocatorRef alloc, bool makeImmortal = false);
  virtual ~CFObject();

  CFObject(const CFObject&) = delete;
  CFObject& operator=(const CFObject&) = delete;

  virtual bool Equal(const CFObject& other) const { return this == &other; }
  virtual CFHashCode Hash() const { return static_cast<CFHashCode>(reinterpret_cast<uintptr_t>(this) >> 4); }
  virtual std::string Describe() const;

  const CFTypeID typeID;
  const CFAllocatorRef allocator;
  const bool immortal;
  std::atomic<CFIndex> retainCount;
};

const char* TypeName(CFTypeID type);

/* Aborts with a clear message: the platform would crash at once on such a call. */
[[noreturn]] void Fatal(const char* function, const char* message);

inline const CFObject* AsObject(CFTypeRef cf) { return static_cast<const CFObject*>(cf); }

/* The object behind a reference, checked for NULL and for its type. */
template <typename T>
T* Checked(const void* cf, CFTypeID type, const char* function)
{
  if (!cf) Fatal(function, "NULL object");
  const CFObject* obj = AsObject(cf);
  if (obj->typeID != type) Fatal(function, "object of the wrong type");
  return static_cast<T*>(const_cast<CFObject*>(obj));
}

/* Text of any object as CFCopyDescription gives it. */
std::string DescriptionOf(CFTypeRef cf);

/* Strings. */
std::string FormatText(const std::string& format, va_list arguments);
CFStringRef MakeString(CFAllocatorRef alloc, std::string utf8, bool isMutable = false);
const std::string& StringUTF8(CFStringRef str, const char* function);

}  // namespace compat

struct __CFString final : compat::CFObject
{
  __CFString(CFAllocatorRef alloc, std::string text, bool mut, bool constant);
  bool Equal(const CFObject& other) const override;
  CFHashCode Hash() const override;
  std::string Describe() const override { return utf8; }
  std::string utf8;
  bool isMutable;
};

#endif
