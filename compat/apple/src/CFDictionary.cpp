// Dictionaries: key and value ownership follow the callback records given at creation.
// Entries are kept in insertion order and found by hash, then by the key equality callback;
// state dictionaries hold a handful of keys, so a scan is as fast as a table.
#include "CFObject.h"

#include <cstdint>
#include <cstdio>
#include <vector>

struct __CFDictionary final : compat::CFObject
{
  struct Entry
  {
    const void* key;
    const void* value;
    CFHashCode hash;
  };

  __CFDictionary(CFAllocatorRef alloc, const CFDictionaryKeyCallBacks* kcb, const CFDictionaryValueCallBacks* vcb,
                 bool mut)
    : CFObject(compat::kTypeDictionary, alloc),
      keyCallbacks(kcb ? *kcb : CFDictionaryKeyCallBacks{}),
      valueCallbacks(vcb ? *vcb : CFDictionaryValueCallBacks{}),
      isMutable(mut)
  {
  }
  ~__CFDictionary() override { Clear(); }

  CFHashCode HashKey(const void* key) const
  {
    return keyCallbacks.hash ? keyCallbacks.hash(key) : static_cast<CFHashCode>(reinterpret_cast<uintptr_t>(key));
  }
  bool SameKey(const void* a, const void* b) const
  {
    return a == b || (keyCallbacks.equal && keyCallbacks.equal(a, b));
  }
  bool SameValue(const void* a, const void* b) const
  {
    return a == b || (valueCallbacks.equal && valueCallbacks.equal(a, b));
  }

  Entry* Find(const void* key)
  {
    const CFHashCode h = HashKey(key);
    for (Entry& e : entries)
      if (e.hash == h && SameKey(e.key, key)) return &e;
    return nullptr;
  }
  const Entry* Find(const void* key) const { return const_cast<__CFDictionary*>(this)->Find(key); }

  void Add(const void* key, const void* value)
  {
    const void* k = keyCallbacks.retain ? keyCallbacks.retain(allocator, key) : key;
    const void* v = valueCallbacks.retain ? valueCallbacks.retain(allocator, value) : value;
    entries.push_back({k, v, HashKey(key)});
  }
  /* The stored key stays; only the value is exchanged (retained before the old one goes). */
  void Replace(Entry& e, const void* value)
  {
    const void* v = valueCallbacks.retain ? valueCallbacks.retain(allocator, value) : value;
    const void* old = e.value;
    e.value = v;
    if (valueCallbacks.release) valueCallbacks.release(allocator, old);
  }
  void ReleaseEntry(const Entry& e)
  {
    if (keyCallbacks.release) keyCallbacks.release(allocator, e.key);
    if (valueCallbacks.release) valueCallbacks.release(allocator, e.value);
  }
  void Clear()
  {
    std::vector<Entry> old;
    old.swap(entries);
    for (const Entry& e : old) ReleaseEntry(e);
  }

  bool Equal(const CFObject& other) const override
  {
    const auto& o = static_cast<const __CFDictionary&>(other);
    if (entries.size() != o.entries.size()) return false;
    for (const Entry& e : entries)
    {
      const Entry* f = o.Find(e.key);
      if (!f || !SameValue(e.value, f->value)) return false;
    }
    return true;
  }
  CFHashCode Hash() const override { return static_cast<CFHashCode>(entries.size()); }
  std::string Describe() const override
  {
    std::string s = "{\n";
    for (const Entry& e : entries)
    {
      s += "    " + Text(keyCallbacks.copyDescription, e.key) + " = " + Text(valueCallbacks.copyDescription, e.value) +
           ";\n";
    }
    return s + "}";
  }
  static std::string Text(CFDictionaryCopyDescriptionCallBack describe, const void* v)
  {
    if (!describe)
    {
      char text[32];
      std::snprintf(text, sizeof(text), "<%p>", v);
      return text;
    }
    CFStringRef d = describe(v);
    std::string s = d ? compat::StringUTF8(d, "CFDictionary") : std::string("(null)");
    if (d) CFRelease(d);
    return s;
  }

  CFDictionaryKeyCallBacks keyCallbacks;
  CFDictionaryValueCallBacks valueCallbacks;
  std::vector<Entry> entries;
  bool isMutable;
};

namespace
{

const __CFDictionary* DictOf(CFDictionaryRef d, const char* function)
{
  return compat::Checked<const __CFDictionary>(d, compat::kTypeDictionary, function);
}

__CFDictionary* MutableDictOf(CFMutableDictionaryRef d, const char* function)
{
  __CFDictionary* dict = compat::Checked<__CFDictionary>(d, compat::kTypeDictionary, function);
  if (!dict->isMutable) compat::Fatal(function, "dictionary is not mutable");
  return dict;
}

}  // namespace

extern "C"
{

  static const void* RetainCFType(CFAllocatorRef, const void* value) { return CFRetain(value); }
  static void ReleaseCFType(CFAllocatorRef, const void* value) { CFRelease(value); }
  static Boolean EqualCFType(const void* a, const void* b) { return CFEqual(a, b); }
  static CFHashCode HashCFType(const void* value) { return CFHash(value); }
  static const void* CopyStringKey(CFAllocatorRef allocator, const void* value)
  {
    if (CFGetTypeID(value) == CFStringGetTypeID())
      return CFStringCreateCopy(allocator, static_cast<CFStringRef>(value));
    return CFRetain(value);
  }

  const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, RetainCFType, ReleaseCFType, CFCopyDescription, EqualCFType, HashCFType};
  const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, CopyStringKey, ReleaseCFType, CFCopyDescription, EqualCFType, HashCFType};
  const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, RetainCFType, ReleaseCFType, CFCopyDescription,
                                                                      EqualCFType};

  CFTypeID CFDictionaryGetTypeID(void) { return compat::kTypeDictionary; }

  CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values,
                                     CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                     const CFDictionaryValueCallBacks* valueCallBacks)
  {
    if (numValues < 0 || ((!keys || !values) && numValues > 0)) return nullptr;
    __CFDictionary* d = new __CFDictionary(allocator, keyCallBacks, valueCallBacks, false);
    for (CFIndex i = 0; i < numValues; ++i)
    {
      // A repeated key keeps its first place and takes the later value.
      if (__CFDictionary::Entry* e = d->Find(keys[i]))
        d->Replace(*e, values[i]);
      else
        d->Add(keys[i], values[i]);
    }
    return d;
  }

  static __CFDictionary* CopyDictionary(CFAllocatorRef allocator, CFDictionaryRef theDict, bool mut, const char* fn)
  {
    const __CFDictionary* src = DictOf(theDict, fn);
    __CFDictionary* d = new __CFDictionary(allocator, &src->keyCallbacks, &src->valueCallbacks, mut);
    for (const auto& e : src->entries) d->Add(e.key, e.value);
    return d;
  }

  CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef allocator, CFDictionaryRef theDict)
  {
    return CopyDictionary(allocator, theDict, false, "CFDictionaryCreateCopy");
  }

  CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                                   const CFDictionaryValueCallBacks* valueCallBacks)
  {
    (void)capacity;
    return new __CFDictionary(allocator, keyCallBacks, valueCallBacks, true);
  }

  CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                                       CFDictionaryRef theDict)
  {
    (void)capacity;
    return CopyDictionary(allocator, theDict, true, "CFDictionaryCreateMutableCopy");
  }

  CFIndex CFDictionaryGetCount(CFDictionaryRef theDict)
  {
    return static_cast<CFIndex>(DictOf(theDict, "CFDictionaryGetCount")->entries.size());
  }

  Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key)
  {
    return DictOf(theDict, "CFDictionaryContainsKey")->Find(key) != nullptr;
  }

  Boolean CFDictionaryContainsValue(CFDictionaryRef theDict, const void* value)
  {
    const __CFDictionary* d = DictOf(theDict, "CFDictionaryContainsValue");
    for (const auto& e : d->entries)
      if (d->SameValue(e.value, value)) return true;
    return false;
  }

  const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key)
  {
    const __CFDictionary::Entry* e = DictOf(theDict, "CFDictionaryGetValue")->Find(key);
    return e ? e->value : nullptr;
  }

  Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value)
  {
    const __CFDictionary::Entry* e = DictOf(theDict, "CFDictionaryGetValueIfPresent")->Find(key);
    if (e && value) *value = e->value;
    return e != nullptr;
  }

  void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values)
  {
    const __CFDictionary* d = DictOf(theDict, "CFDictionaryGetKeysAndValues");
    for (size_t i = 0; i < d->entries.size(); ++i)
    {
      if (keys) keys[i] = d->entries[i].key;
      if (values) values[i] = d->entries[i].value;
    }
  }

  void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier, void* context)
  {
    const __CFDictionary* d = DictOf(theDict, "CFDictionaryApplyFunction");
    const std::vector<__CFDictionary::Entry> snapshot = d->entries;
    for (const auto& e : snapshot) applier(e.key, e.value, context);
  }

  void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
  {
    __CFDictionary* d = MutableDictOf(theDict, "CFDictionaryAddValue");
    if (!d->Find(key)) d->Add(key, value);
  }

  void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
  {
    __CFDictionary* d = MutableDictOf(theDict, "CFDictionaryReplaceValue");
    if (__CFDictionary::Entry* e = d->Find(key)) d->Replace(*e, value);
  }

  void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
  {
    __CFDictionary* d = MutableDictOf(theDict, "CFDictionarySetValue");
    if (__CFDictionary::Entry* e = d->Find(key))
      d->Replace(*e, value);
    else
      d->Add(key, value);
  }

  void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key)
  {
    __CFDictionary* d = MutableDictOf(theDict, "CFDictionaryRemoveValue");
    for (auto it = d->entries.begin(); it != d->entries.end(); ++it)
    {
      if (it->hash == d->HashKey(key) && d->SameKey(it->key, key))
      {
        const __CFDictionary::Entry e = *it;
        d->entries.erase(it);
        d->ReleaseEntry(e);
        return;
      }
    }
  }

  void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict)
  {
    MutableDictOf(theDict, "CFDictionaryRemoveAllValues")->Clear();
  }

}  // extern "C"
