// Arrays and dictionaries: element ownership by callback records, lookup and replacement.
#include <CompatHooks.h>
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{

/* Plain records owned through counting callbacks, like preset objects in a preset array. */
struct Item
{
  int number;
  int refs;
};

struct Ledger
{
  static inline int retains = 0;
  static inline int releases = 0;
  static inline int descriptions = 0;
  static void Reset() { retains = releases = descriptions = 0; }
};

const void* RetainItem(CFAllocatorRef, const void* v)
{
  ++Ledger::retains;
  ++static_cast<Item*>(const_cast<void*>(v))->refs;
  return v;
}
void ReleaseItem(CFAllocatorRef, const void* v)
{
  ++Ledger::releases;
  --static_cast<Item*>(const_cast<void*>(v))->refs;
}
CFStringRef DescribeItem(const void* v)
{
  ++Ledger::descriptions;
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("item %d"), static_cast<const Item*>(v)->number);
}
Boolean EqualItems(const void* a, const void* b)
{
  return static_cast<const Item*>(a)->number == static_cast<const Item*>(b)->number;
}

const CFArrayCallBacks kItemCallbacks = {0, RetainItem, ReleaseItem, DescribeItem, EqualItems};

TEST(CFArray, CustomCallbacksOwnTheElements)
{
  Ledger::Reset();
  Item a{1, 1}, b{2, 1};
  const void* values[] = {&a, &b};
  CFArrayRef array = CFArrayCreate(nullptr, values, 2, &kItemCallbacks);
  EXPECT_EQ(Ledger::retains, 2);
  EXPECT_EQ(a.refs, 2);
  EXPECT_EQ(CFArrayGetCount(array), 2);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &b);

  // Equality and search go through the equal callback, not the address.
  Item twin{2, 1};
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), &twin), 1);
  CFArrayRef other = CFArrayCreate(nullptr, values, 2, &kItemCallbacks);
  EXPECT_TRUE(CFEqual(array, other));
  CFRelease(other);

  // Descriptions come from the copy-description callback.
  CFStringRef text = CFCopyDescription(array);
  char buffer[128];
  ASSERT_TRUE(CFStringGetCString(text, buffer, sizeof(buffer), kCFStringEncodingUTF8));
  EXPECT_NE(std::string(buffer).find("item 2"), std::string::npos);
  EXPECT_EQ(Ledger::descriptions, 2);
  CFRelease(text);

  CFRelease(array);
  EXPECT_EQ(a.refs, 1);
  EXPECT_EQ(b.refs, 1);
  EXPECT_EQ(Ledger::retains, Ledger::releases);
}

TEST(CFArray, MutableArrayRetainsAppendedAndReleasesRemovedValues)
{
  Ledger::Reset();
  Item items[3] = {{0, 1}, {1, 1}, {2, 1}};
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kItemCallbacks);
  for (Item& i : items) CFArrayAppendValue(array, &i);
  EXPECT_EQ(items[2].refs, 2);
  CFArrayRemoveValueAtIndex(array, 0);
  EXPECT_EQ(items[0].refs, 1);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 0), &items[1]);
  CFArraySetValueAtIndex(array, 0, &items[0]);
  EXPECT_EQ(items[1].refs, 1);
  EXPECT_EQ(items[0].refs, 2);
  EXPECT_DEATH(CFArrayGetValueAtIndex(array, 2), "out of bounds");
  CFRelease(array);
  for (const Item& i : items) EXPECT_EQ(i.refs, 1);
}

TEST(CFArray, TypeCallbacksRetainObjectsAndNullCallbacksDoNot)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "-", kCFStringEncodingUTF8);
  const void* values[] = {s};
  CFArrayRef owning = CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFArrayRef plain = CFArrayCreate(nullptr, values, 1, nullptr);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(plain);
  CFRelease(owning);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  CFRelease(s);
}

CFNumberRef Int(SInt32 v) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v); }

TEST(CFDictionary, SetGetReplaceAndRemoveWithTypeCallbacks)
{
  const CFIndex live = compat_CFLiveObjectCount();
  CFMutableDictionaryRef d =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFStringRef key = CFStringCreateWithCString(nullptr, "version", kCFStringEncodingUTF8);
  CFNumberRef first = Int(0x10000);
  CFDictionarySetValue(d, key, first);
  EXPECT_EQ(CFGetRetainCount(key), 2);
  EXPECT_EQ(CFGetRetainCount(first), 2);

  // Lookup compares keys by value, so a constant string finds an equal created one.
  EXPECT_EQ(CFDictionaryGetValue(d, CFSTR("version")), first);
  const void* found = nullptr;
  EXPECT_TRUE(CFDictionaryGetValueIfPresent(d, CFSTR("version"), &found));
  EXPECT_EQ(found, first);
  EXPECT_FALSE(CFDictionaryGetValueIfPresent(d, CFSTR("data"), &found));
  EXPECT_EQ(CFDictionaryGetValue(d, CFSTR("data")), nullptr);

  // Set on an existing key replaces the value and releases the old one.
  CFNumberRef second = Int(2);
  CFDictionarySetValue(d, CFSTR("version"), second);
  EXPECT_EQ(CFDictionaryGetCount(d), 1);
  EXPECT_EQ(CFGetRetainCount(first), 1);
  EXPECT_EQ(CFGetRetainCount(second), 2);

  // Add leaves an existing key alone; Replace ignores a missing one.
  CFDictionaryAddValue(d, CFSTR("version"), first);
  CFDictionaryReplaceValue(d, CFSTR("name"), first);
  EXPECT_EQ(CFDictionaryGetValue(d, CFSTR("version")), second);
  EXPECT_EQ(CFDictionaryGetCount(d), 1);

  CFDictionaryRemoveValue(d, CFSTR("version"));
  EXPECT_EQ(CFDictionaryGetCount(d), 0);
  EXPECT_EQ(CFGetRetainCount(key), 1);
  EXPECT_EQ(CFGetRetainCount(second), 1);

  CFRelease(key);
  CFRelease(first);
  CFRelease(second);
  CFRelease(d);
  EXPECT_EQ(compat_CFLiveObjectCount(), live);
}

TEST(CFDictionary, StateDictionaryRoundTrip)
{
  const UInt8 bytes[] = {1, 2, 3, 4};
  CFNumberRef version = Int(0x10000), type = Int(0x61756678);
  CFDataRef data = CFDataCreate(nullptr, bytes, 4);
  const void* keys[] = {CFSTR("version"), CFSTR("type"), CFSTR("name"), CFSTR("data")};
  const void* values[] = {version, type, CFSTR("-"), data};
  CFDictionaryRef d =
    CFDictionaryCreate(nullptr, keys, values, 4, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFRelease(version);
  CFRelease(type);
  CFRelease(data);

  CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, d);
  EXPECT_TRUE(CFEqual(d, copy));
  CFDictionarySetValue(copy, CFSTR("name"), CFSTR("other"));
  EXPECT_FALSE(CFEqual(d, copy));

  SInt32 readType = 0;
  ASSERT_TRUE(
    CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(d, CFSTR("type"))), kCFNumberSInt32Type, &readType));
  EXPECT_EQ(readType, 0x61756678);
  CFDataRef readData = static_cast<CFDataRef>(CFDictionaryGetValue(d, CFSTR("data")));
  ASSERT_EQ(CFDataGetLength(readData), 4);
  EXPECT_EQ(CFDataGetBytePtr(readData)[3], 4);

  const void* gotKeys[4];
  CFDictionaryGetKeysAndValues(d, gotKeys, nullptr);
  EXPECT_TRUE(CFEqual(gotKeys[0], CFSTR("version")));
  CFRelease(copy);
  CFRelease(d);
}

TEST(CFDictionary, NumberKeysFindEqualValuesOfOtherTypes)
{
  CFMutableDictionaryRef d =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFNumberRef one = Int(1);
  const Float64 oneDouble = 1.0;
  CFNumberRef alsoOne = CFNumberCreate(nullptr, kCFNumberFloat64Type, &oneDouble);
  CFDictionarySetValue(d, one, CFSTR("first"));
  EXPECT_EQ(CFDictionaryGetValue(d, alsoOne), CFSTR("first"));
  CFRelease(one);
  CFRelease(alsoOne);
  CFRelease(d);
}

TEST(CFDictionary, CopyStringKeyCallbacksCopyMutableKeys)
{
  CFMutableDictionaryRef d =
    CFDictionaryCreateMutable(nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFMutableStringRef key = CFStringCreateMutable(nullptr, 0);
  CFStringAppendCString(key, "name", kCFStringEncodingUTF8);
  CFDictionarySetValue(d, key, CFSTR("x"));
  CFStringAppendCString(key, "changed", kCFStringEncodingUTF8);
  EXPECT_EQ(CFDictionaryGetValue(d, CFSTR("name")), CFSTR("x"));
  EXPECT_EQ(CFGetRetainCount(key), 1);
  CFRelease(key);
  CFRelease(d);
}

}  // namespace
