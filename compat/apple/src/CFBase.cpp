// Retain/release, polymorphic functions, allocators and the null object.
#include "CFObject.h"

#include <CompatHooks.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace compat
{
namespace
{

std::atomic<CFIndex> gLiveObjects{0};

bool IsCustomAllocator(CFAllocatorRef alloc);

}  // namespace

CFObject::CFObject(CFTypeID type, CFAllocatorRef alloc, bool makeImmortal)
  : typeID(type),
    allocator(alloc),
    immortal(makeImmortal),
    retainCount(1)
{
  if (immortal) return;
  gLiveObjects.fetch_add(1, std::memory_order_relaxed);
  if (IsCustomAllocator(alloc)) CFRetain(alloc);
}

CFObject::~CFObject()
{
  if (immortal) return;
  gLiveObjects.fetch_sub(1, std::memory_order_relaxed);
  if (IsCustomAllocator(allocator)) CFRelease(allocator);
}

std::string CFObject::Describe() const
{
  char text[96];
  std::snprintf(text, sizeof(text), "<%s %p>", TypeName(typeID), static_cast<const void*>(this));
  return text;
}

const char* TypeName(CFTypeID type)
{
  static const char* const names[kTypeCount] = {"CFType",       "CFNull",    "CFAllocator", "CFString",
                                                "CFNumber",     "CFBoolean", "CFData",      "CFArray",
                                                "CFDictionary", "CFURL",     "CFBundle"};
  return type < kTypeCount ? names[type] : "CFType";
}

void Fatal(const char* function, const char* message)
{
  std::fprintf(stderr, "%s: %s\n", function, message);
  std::fflush(stderr);
  std::abort();
}

std::string DescriptionOf(CFTypeRef cf) { return cf ? AsObject(cf)->Describe() : std::string("(null)"); }

}  // namespace compat

/* Allocators: the system ones map to malloc, the null one allocates nothing, custom ones call
   their context. */
struct __CFAllocator final : compat::CFObject
{
  enum Kind
  {
    kSystem,
    kNull,
    kCustom
  };
  constexpr explicit __CFAllocator(Kind k)
    : CFObject(compat::kTypeAllocator, compat::CFObject::Immortal{}),
      kind(k),
      context{}
  {
  }
  __CFAllocator(CFAllocatorRef parent, const CFAllocatorContext& ctx)
    : CFObject(compat::kTypeAllocator, parent),
      kind(kCustom),
      context(ctx)
  {
    if (context.retain && context.info) context.info = const_cast<void*>(context.retain(context.info));
  }
  ~__CFAllocator() override
  {
    if (context.release && context.info) context.release(context.info);
  }
  Kind kind;
  CFAllocatorContext context;
};

struct __CFNull final : compat::CFObject
{
  constexpr __CFNull()
    : CFObject(compat::kTypeNull, compat::CFObject::Immortal{})
  {
  }
  std::string Describe() const override { return "<CFNull>"; }
};

static constinit __CFAllocator gSystemAllocator(__CFAllocator::kSystem);
static constinit __CFAllocator gMallocAllocator(__CFAllocator::kSystem);
static constinit __CFAllocator gMallocZoneAllocator(__CFAllocator::kSystem);
static constinit __CFAllocator gNullAllocator(__CFAllocator::kNull);
static constinit __CFAllocator gUseContextAllocator(__CFAllocator::kSystem);
static constinit __CFNull gNull;

namespace compat
{
namespace
{

const __CFAllocator* AllocatorOf(CFAllocatorRef alloc)
{
  if (!alloc) return &gSystemAllocator;
  return compat::Checked<const __CFAllocator>(alloc, kTypeAllocator, "CFAllocator");
}

bool IsCustomAllocator(CFAllocatorRef alloc) { return alloc && AllocatorOf(alloc)->kind == __CFAllocator::kCustom; }

}  // namespace
}  // namespace compat

using compat::AsObject;

extern "C"
{

  const CFAllocatorRef kCFAllocatorSystemDefault = &gSystemAllocator;
  const CFAllocatorRef kCFAllocatorMalloc = &gMallocAllocator;
  const CFAllocatorRef kCFAllocatorMallocZone = &gMallocZoneAllocator;
  const CFAllocatorRef kCFAllocatorNull = &gNullAllocator;
  const CFAllocatorRef kCFAllocatorUseContext = &gUseContextAllocator;
  const CFNullRef kCFNull = &gNull;

  CFTypeID CFAllocatorGetTypeID(void) { return compat::kTypeAllocator; }
  CFTypeID CFNullGetTypeID(void) { return compat::kTypeNull; }

  CFAllocatorRef CFAllocatorGetDefault(void) { return kCFAllocatorSystemDefault; }

  CFAllocatorRef CFAllocatorCreate(CFAllocatorRef allocator, CFAllocatorContext* context)
  {
    if (!context || !context->allocate) return nullptr;
    if (allocator == kCFAllocatorUseContext) allocator = nullptr;
    return new __CFAllocator(allocator, *context);
  }

  void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint)
  {
    if (size <= 0) return nullptr;
    const __CFAllocator* a = compat::AllocatorOf(allocator);
    switch (a->kind)
    {
      case __CFAllocator::kSystem: return std::malloc(static_cast<size_t>(size));
      case __CFAllocator::kNull: return nullptr;
      case __CFAllocator::kCustom: return a->context.allocate(size, hint, a->context.info);
    }
    return nullptr;
  }

  void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize, CFOptionFlags hint)
  {
    const __CFAllocator* a = compat::AllocatorOf(allocator);
    if (!ptr) return CFAllocatorAllocate(allocator, newsize, hint);
    if (newsize <= 0)
    {
      CFAllocatorDeallocate(allocator, ptr);
      return nullptr;
    }
    switch (a->kind)
    {
      case __CFAllocator::kSystem: return std::realloc(ptr, static_cast<size_t>(newsize));
      case __CFAllocator::kNull: return nullptr;
      case __CFAllocator::kCustom:
        return a->context.reallocate ? a->context.reallocate(ptr, newsize, hint, a->context.info) : nullptr;
    }
    return nullptr;
  }

  void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr)
  {
    if (!ptr) return;
    const __CFAllocator* a = compat::AllocatorOf(allocator);
    switch (a->kind)
    {
      case __CFAllocator::kSystem: std::free(ptr); break;
      case __CFAllocator::kNull: break;
      case __CFAllocator::kCustom:
        if (a->context.deallocate) a->context.deallocate(ptr, a->context.info);
        break;
    }
  }

  CFTypeID CFGetTypeID(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFGetTypeID", "NULL object");
    return AsObject(cf)->typeID;
  }

  CFStringRef CFCopyTypeIDDescription(CFTypeID type_id)
  {
    return compat::MakeString(nullptr, compat::TypeName(type_id));
  }

  CFTypeRef CFRetain(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFRetain", "NULL object");
    const compat::CFObject* obj = AsObject(cf);
    if (!obj->immortal) const_cast<compat::CFObject*>(obj)->retainCount.fetch_add(1, std::memory_order_relaxed);
    return cf;
  }

  void CFRelease(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFRelease", "NULL object");
    compat::CFObject* obj = const_cast<compat::CFObject*>(AsObject(cf));
    if (obj->immortal) return;
    const CFIndex before = obj->retainCount.fetch_sub(1, std::memory_order_acq_rel);
    if (before <= 0) compat::Fatal("CFRelease", "object released more often than retained");
    if (before == 1) delete obj;
  }

  CFIndex CFGetRetainCount(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFGetRetainCount", "NULL object");
    const compat::CFObject* obj = AsObject(cf);
    // Constants report a huge count, as the platform's constants do.
    return obj->immortal ? static_cast<CFIndex>(0x0FFFFFFFFFFFFFFF) : obj->retainCount.load(std::memory_order_relaxed);
  }

  Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2)
  {
    if (!cf1 || !cf2) compat::Fatal("CFEqual", "NULL object");
    if (cf1 == cf2) return true;
    const compat::CFObject* a = AsObject(cf1);
    const compat::CFObject* b = AsObject(cf2);
    return a->typeID == b->typeID && a->Equal(*b);
  }

  CFHashCode CFHash(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFHash", "NULL object");
    return AsObject(cf)->Hash();
  }

  CFStringRef CFCopyDescription(CFTypeRef cf)
  {
    if (!cf) return nullptr;
    return compat::MakeString(nullptr, AsObject(cf)->Describe());
  }

  CFAllocatorRef CFGetAllocator(CFTypeRef cf)
  {
    if (!cf) compat::Fatal("CFGetAllocator", "NULL object");
    CFAllocatorRef a = AsObject(cf)->allocator;
    return a ? a : kCFAllocatorSystemDefault;
  }

  void CFShow(CFTypeRef obj) { std::fprintf(stderr, "%s\n", compat::DescriptionOf(obj).c_str()); }

  CFIndex compat_CFLiveObjectCount(void) { return compat::gLiveObjects.load(std::memory_order_relaxed); }

}  // extern "C"
