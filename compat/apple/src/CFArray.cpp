// Arrays: element ownership follows the callback record given at creation (copied in).
#include "CFObject.h"

#include <cstdio>
#include <vector>

struct __CFArray final : compat::CFObject
{
  __CFArray(CFAllocatorRef alloc, const CFArrayCallBacks* cb, bool mut)
    : CFObject(compat::kTypeArray, alloc),
      callbacks(cb ? *cb : CFArrayCallBacks{}),
      isMutable(mut)
  {
  }
  ~__CFArray() override
  {
    for (const void* v : values) Release(v);
  }

  const void* Retain(const void* v) const { return callbacks.retain ? callbacks.retain(allocator, v) : v; }
  void Release(const void* v) const
  {
    if (callbacks.release) callbacks.release(allocator, v);
  }
  bool Same(const void* a, const void* b) const { return a == b || (callbacks.equal && callbacks.equal(a, b)); }

  bool Equal(const CFObject& other) const override
  {
    const auto& o = static_cast<const __CFArray&>(other);
    if (values.size() != o.values.size()) return false;
    for (size_t i = 0; i < values.size(); ++i)
      if (!Same(values[i], o.values[i])) return false;
    return true;
  }
  CFHashCode Hash() const override { return static_cast<CFHashCode>(values.size()); }
  std::string Describe() const override
  {
    std::string s = "(\n";
    for (const void* v : values)
    {
      if (callbacks.copyDescription)
      {
        CFStringRef d = callbacks.copyDescription(v);
        s += "    " + (d ? compat::StringUTF8(d, "CFArray") : std::string("(null)")) + "\n";
        if (d) CFRelease(d);
      }
      else
      {
        char text[32];
        std::snprintf(text, sizeof(text), "    <%p>\n", v);
        s += text;
      }
    }
    return s + ")";
  }

  CFArrayCallBacks callbacks;
  std::vector<const void*> values;
  bool isMutable;
};

namespace
{

const __CFArray* ArrayOf(CFArrayRef a, const char* function)
{
  return compat::Checked<const __CFArray>(a, compat::kTypeArray, function);
}

__CFArray* MutableArrayOf(CFMutableArrayRef a, const char* function)
{
  __CFArray* array = compat::Checked<__CFArray>(a, compat::kTypeArray, function);
  if (!array->isMutable) compat::Fatal(function, "array is not mutable");
  return array;
}

void CheckRange(const __CFArray* a, CFRange range, const char* function)
{
  if (range.location < 0 || range.length < 0 || range.location + range.length > static_cast<CFIndex>(a->values.size()))
    compat::Fatal(function, "range out of bounds");
}

}  // namespace

extern "C"
{

  static const void* RetainCFType(CFAllocatorRef, const void* value) { return CFRetain(value); }
  static void ReleaseCFType(CFAllocatorRef, const void* value) { CFRelease(value); }
  static Boolean EqualCFType(const void* a, const void* b) { return CFEqual(a, b); }

  const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainCFType, ReleaseCFType, CFCopyDescription, EqualCFType};

  CFTypeID CFArrayGetTypeID(void) { return compat::kTypeArray; }

  CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                           const CFArrayCallBacks* callBacks)
  {
    if (numValues < 0 || (!values && numValues > 0)) return nullptr;
    __CFArray* a = new __CFArray(allocator, callBacks, false);
    a->values.reserve(static_cast<size_t>(numValues));
    for (CFIndex i = 0; i < numValues; ++i) a->values.push_back(a->Retain(values[i]));
    return a;
  }

  CFArrayRef CFArrayCreateCopy(CFAllocatorRef allocator, CFArrayRef theArray)
  {
    const __CFArray* src = ArrayOf(theArray, "CFArrayCreateCopy");
    __CFArray* a = new __CFArray(allocator, &src->callbacks, false);
    for (const void* v : src->values) a->values.push_back(a->Retain(v));
    return a;
  }

  CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity, const CFArrayCallBacks* callBacks)
  {
    (void)capacity;
    return new __CFArray(allocator, callBacks, true);
  }

  CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity, CFArrayRef theArray)
  {
    (void)capacity;
    const __CFArray* src = ArrayOf(theArray, "CFArrayCreateMutableCopy");
    __CFArray* a = new __CFArray(allocator, &src->callbacks, true);
    for (const void* v : src->values) a->values.push_back(a->Retain(v));
    return a;
  }

  CFIndex CFArrayGetCount(CFArrayRef theArray)
  {
    return static_cast<CFIndex>(ArrayOf(theArray, "CFArrayGetCount")->values.size());
  }

  CFIndex CFArrayGetCountOfValue(CFArrayRef theArray, CFRange range, const void* value)
  {
    const __CFArray* a = ArrayOf(theArray, "CFArrayGetCountOfValue");
    CheckRange(a, range, "CFArrayGetCountOfValue");
    CFIndex n = 0;
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
      if (a->Same(a->values[static_cast<size_t>(i)], value)) ++n;
    return n;
  }

  Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value)
  {
    return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
  }

  const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx)
  {
    const __CFArray* a = ArrayOf(theArray, "CFArrayGetValueAtIndex");
    if (idx < 0 || idx >= static_cast<CFIndex>(a->values.size()))
      compat::Fatal("CFArrayGetValueAtIndex", "index out of bounds");
    return a->values[static_cast<size_t>(idx)];
  }

  void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values)
  {
    const __CFArray* a = ArrayOf(theArray, "CFArrayGetValues");
    CheckRange(a, range, "CFArrayGetValues");
    for (CFIndex i = 0; i < range.length; ++i) values[i] = a->values[static_cast<size_t>(range.location + i)];
  }

  void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier, void* context)
  {
    const __CFArray* a = ArrayOf(theArray, "CFArrayApplyFunction");
    CheckRange(a, range, "CFArrayApplyFunction");
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
      applier(a->values[static_cast<size_t>(i)], context);
  }

  CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value)
  {
    const __CFArray* a = ArrayOf(theArray, "CFArrayGetFirstIndexOfValue");
    CheckRange(a, range, "CFArrayGetFirstIndexOfValue");
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
      if (a->Same(a->values[static_cast<size_t>(i)], value)) return i;
    return kCFNotFound;
  }

  void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value)
  {
    __CFArray* a = MutableArrayOf(theArray, "CFArrayAppendValue");
    a->values.push_back(a->Retain(value));
  }

  void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
  {
    __CFArray* a = MutableArrayOf(theArray, "CFArrayInsertValueAtIndex");
    if (idx < 0 || idx > static_cast<CFIndex>(a->values.size()))
      compat::Fatal("CFArrayInsertValueAtIndex", "index out of bounds");
    a->values.insert(a->values.begin() + idx, a->Retain(value));
  }

  void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
  {
    __CFArray* a = MutableArrayOf(theArray, "CFArraySetValueAtIndex");
    if (idx < 0 || idx > static_cast<CFIndex>(a->values.size()))
      compat::Fatal("CFArraySetValueAtIndex", "index out of bounds");
    if (idx == static_cast<CFIndex>(a->values.size()))
    {
      a->values.push_back(a->Retain(value));
      return;
    }
    const void* old = a->values[static_cast<size_t>(idx)];
    a->values[static_cast<size_t>(idx)] = a->Retain(value);
    a->Release(old);
  }

  void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx)
  {
    __CFArray* a = MutableArrayOf(theArray, "CFArrayRemoveValueAtIndex");
    if (idx < 0 || idx >= static_cast<CFIndex>(a->values.size()))
      compat::Fatal("CFArrayRemoveValueAtIndex", "index out of bounds");
    const void* old = a->values[static_cast<size_t>(idx)];
    a->values.erase(a->values.begin() + idx);
    a->Release(old);
  }

  void CFArrayRemoveAllValues(CFMutableArrayRef theArray)
  {
    __CFArray* a = MutableArrayOf(theArray, "CFArrayRemoveAllValues");
    std::vector<const void*> old;
    old.swap(a->values);
    for (const void* v : old) a->Release(v);
  }

}  // extern "C"
