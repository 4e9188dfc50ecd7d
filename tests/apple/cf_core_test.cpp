// Object lifetimes, strings, numbers and data of the object library stand-in.
#include <CompatHooks.h>
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

std::string Text(CFStringRef s)
{
  char buffer[512];
  EXPECT_TRUE(CFStringGetCString(s, buffer, sizeof(buffer), kCFStringEncodingUTF8));
  return buffer;
}

TEST(CFLifetime, RetainReleaseCountsAndFreesAtZero)
{
  const CFIndex before = compat_CFLiveObjectCount();
  CFStringRef s = CFStringCreateWithCString(nullptr, "abc", kCFStringEncodingUTF8);
  EXPECT_EQ(compat_CFLiveObjectCount(), before + 1);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  EXPECT_EQ(CFRetain(s), s);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(s);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  CFRelease(s);
  EXPECT_EQ(compat_CFLiveObjectCount(), before);
}

TEST(CFLifetime, ConstantStringsAreOneImmortalObjectPerText)
{
  CFStringRef a = CFSTR("version");
  EXPECT_EQ(a, CFSTR("version"));
  EXPECT_NE(a, CFSTR("subtype"));
  const CFIndex count = CFGetRetainCount(a);
  CFRelease(a);
  CFRelease(a);
  EXPECT_EQ(CFGetRetainCount(a), count);
  EXPECT_EQ(Text(a), "version");
}

TEST(CFLifetime, OverReleaseAborts)
{
  EXPECT_DEATH(
    {
      CFDataRef d = CFDataCreate(nullptr, nullptr, 0);
      CFRelease(d);
      CFRelease(d);
    },
    "");
  EXPECT_DEATH(CFRelease(nullptr), "CFRelease: NULL object");
}

TEST(CFLifetime, TypeIDsAreDistinctAndReported)
{
  const UInt8 byte = 1;
  const SInt32 n = 3;
  CFTypeRef objects[] = {
    CFStringCreateWithCString(nullptr, "x", kCFStringEncodingUTF8), CFNumberCreate(nullptr, kCFNumberSInt32Type, &n),
    CFDataCreate(nullptr, &byte, 1), CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks),
    CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks)};
  const CFTypeID ids[] = {CFStringGetTypeID(), CFNumberGetTypeID(), CFDataGetTypeID(), CFArrayGetTypeID(),
                          CFDictionaryGetTypeID()};
  for (size_t i = 0; i < 5; ++i)
  {
    EXPECT_EQ(CFGetTypeID(objects[i]), ids[i]) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(ids[i], ids[j]);
    CFRelease(objects[i]);
  }
  EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
  EXPECT_DEATH(CFStringGetLength(reinterpret_cast<CFStringRef>(kCFBooleanTrue)), "wrong type");
}

TEST(CFLifetime, CustomAllocatorIsCalledAndRetainedByItsObjects)
{
  struct Counts
  {
    int allocs = 0;
    int frees = 0;
  } counts;
  CFAllocatorContext context{};
  context.info = &counts;
  context.allocate = [](CFIndex size, CFOptionFlags, void* info) -> void* {
    ++static_cast<Counts*>(info)->allocs;
    return std::malloc(static_cast<size_t>(size));
  };
  context.deallocate = [](void* p, void* info) {
    ++static_cast<Counts*>(info)->frees;
    std::free(p);
  };
  CFAllocatorRef alloc = CFAllocatorCreate(nullptr, &context);
  void* block = CFAllocatorAllocate(alloc, 16, 0);
  CFAllocatorDeallocate(alloc, block);
  EXPECT_EQ(counts.allocs, 1);
  EXPECT_EQ(counts.frees, 1);

  CFStringRef s = CFStringCreateWithCString(alloc, "owned", kCFStringEncodingUTF8);
  EXPECT_EQ(CFGetAllocator(s), alloc);
  EXPECT_EQ(CFGetRetainCount(alloc), 2);
  CFRelease(s);
  EXPECT_EQ(CFGetRetainCount(alloc), 1);
  CFRelease(alloc);
}

struct EncodingCase
{
  const char* name;
  const char* bytes;
  CFStringEncoding encoding;
  bool valid;
  const char* utf8;
  CFIndex length;
};

class CFStringEncodingTest : public testing::TestWithParam<EncodingCase>
{
};

TEST_P(CFStringEncodingTest, CreatesTextOfTheRightLength)
{
  const EncodingCase& c = GetParam();
  CFStringRef s = CFStringCreateWithCString(nullptr, c.bytes, c.encoding);
  if (!c.valid)
  {
    EXPECT_EQ(s, nullptr);
    return;
  }
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Text(s), c.utf8);
  EXPECT_EQ(CFStringGetLength(s), c.length);
  CFRelease(s);
}

INSTANTIATE_TEST_SUITE_P(
  Encodings, CFStringEncodingTest,
  testing::Values(EncodingCase{"Ascii", "Tesk", kCFStringEncodingASCII, true, "Tesk", 4},
                  EncodingCase{"Utf8Accent", "caf\xC3\xA9", kCFStringEncodingUTF8, true, "caf\xC3\xA9", 4},
                  EncodingCase{"Utf8Astral", "\xF0\x9D\x84\x9E", kCFStringEncodingUTF8, true, "\xF0\x9D\x84\x9E", 2},
                  EncodingCase{"Utf8Malformed", "a\xC3", kCFStringEncodingUTF8, false, "", 0},
                  EncodingCase{"AsciiHighByte", "caf\xE9", kCFStringEncodingASCII, false, "", 0},
                  EncodingCase{"Latin1", "caf\xE9", kCFStringEncodingISOLatin1, true, "caf\xC3\xA9", 4},
                  EncodingCase{"Empty", "", kCFStringEncodingUTF8, true, "", 0}),
  [](const testing::TestParamInfo<EncodingCase>& i) { return std::string(i.param.name); });

TEST(CFString, GetCStringRefusesATooSmallBufferAndUnencodableText)
{
  CFStringRef s = CFStringCreateWithCString(nullptr, "caf\xC3\xA9", kCFStringEncodingUTF8);
  char buffer[8];
  EXPECT_FALSE(CFStringGetCString(s, buffer, 5, kCFStringEncodingUTF8));  // 5 bytes need 6 with the NUL
  EXPECT_TRUE(CFStringGetCString(s, buffer, 6, kCFStringEncodingUTF8));
  EXPECT_FALSE(CFStringGetCString(s, buffer, sizeof(buffer), kCFStringEncodingASCII));
  EXPECT_TRUE(CFStringGetCString(s, buffer, sizeof(buffer), kCFStringEncodingISOLatin1));
  EXPECT_STREQ(buffer, "caf\xE9");
  CFRelease(s);
}

TEST(CFString, FormatFillsConversionsAndObjects)
{
  CFStringRef name = CFSTR("-");
  CFStringRef s =
    CFStringCreateWithFormat(nullptr, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"), 7, name);
  EXPECT_EQ(Text(s), "AUPreset:\npreset number = 7\npreset name = -");
  CFRelease(s);
  s = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%5.2f|%-3s|%ld|%x|%%|%03u"), 3.14159, "a", -5L, 255u, 7u);
  EXPECT_EQ(Text(s), " 3.14|a  |-5|ff|%|007");
  CFRelease(s);
}

TEST(CFString, CompareEqualAndNumericValues)
{
  CFStringRef a = CFStringCreateWithCString(nullptr, "Gain", kCFStringEncodingUTF8);
  EXPECT_TRUE(CFEqual(a, CFSTR("Gain")));
  EXPECT_EQ(CFHash(a), CFHash(CFSTR("Gain")));
  EXPECT_EQ(CFStringCompare(a, CFSTR("gain"), 0), kCFCompareLessThan);
  EXPECT_EQ(CFStringCompare(a, CFSTR("gain"), kCFCompareCaseInsensitive), kCFCompareEqualTo);
  EXPECT_EQ(CFStringCompare(a, CFSTR("Gaim"), 0), kCFCompareGreaterThan);
  CFRelease(a);
  EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(CFSTR(" -0.25")), -0.25);
  EXPECT_EQ(CFStringGetIntValue(CFSTR("42x")), 42);
  EXPECT_EQ(CFStringGetIntValue(CFSTR("nope")), 0);
}

TEST(CFString, MutableAppendAndCharacters)
{
  CFMutableStringRef m = CFStringCreateMutable(nullptr, 0);
  CFStringAppendCString(m, "out", kCFStringEncodingUTF8);
  CFStringAppend(m, CFSTR("put 1"));
  EXPECT_EQ(Text(m), "output 1");
  UniChar units[3];
  CFStringGetCharacters(m, CFRangeMake(0, 3), units);
  CFStringRef back = CFStringCreateWithCharacters(nullptr, units, 3);
  EXPECT_EQ(Text(back), "out");
  CFRelease(back);
  CFRelease(m);
}

struct NumberCase
{
  const char* name;
  CFNumberType createType;
  double value;
  CFNumberType readType;
  double expected;
  bool exact;
};

class CFNumberTest : public testing::TestWithParam<NumberCase>
{
};

/* Stores `value` as createType, reads it as readType and reports the result as a double. */
double RoundTrip(const NumberCase& c, Boolean* exact)
{
  union
  {
    SInt8 i8;
    SInt16 i16;
    SInt32 i32;
    SInt64 i64;
    Float32 f32;
    Float64 f64;
  } in{}, out{};
  switch (c.createType)
  {
    case kCFNumberSInt32Type: in.i32 = static_cast<SInt32>(c.value); break;
    case kCFNumberSInt64Type: in.i64 = static_cast<SInt64>(c.value); break;
    case kCFNumberFloat32Type: in.f32 = static_cast<Float32>(c.value); break;
    default: in.f64 = c.value; break;
  }
  CFNumberRef n = CFNumberCreate(nullptr, c.createType, &in);
  *exact = CFNumberGetValue(n, c.readType, &out);
  CFRelease(n);
  switch (c.readType)
  {
    case kCFNumberSInt8Type: return out.i8;
    case kCFNumberSInt16Type: return out.i16;
    case kCFNumberSInt32Type: return out.i32;
    case kCFNumberSInt64Type: return static_cast<double>(out.i64);
    case kCFNumberFloat32Type: return out.f32;
    default: return out.f64;
  }
}

TEST_P(CFNumberTest, ConvertsAndReportsExactness)
{
  Boolean exact = false;
  EXPECT_DOUBLE_EQ(RoundTrip(GetParam(), &exact), GetParam().expected);
  EXPECT_EQ(static_cast<bool>(exact), GetParam().exact);
}

INSTANTIATE_TEST_SUITE_P(
  Numbers, CFNumberTest,
  testing::Values(
    NumberCase{"SInt32ToSInt32", kCFNumberSInt32Type, 0x10000, kCFNumberSInt32Type, 0x10000, true},
    NumberCase{"SInt32Negative", kCFNumberSInt32Type, -10878, kCFNumberSInt32Type, -10878, true},
    NumberCase{"SInt64Large", kCFNumberSInt64Type, 1099511627776.0, kCFNumberSInt64Type, 1099511627776.0, true},
    NumberCase{"SInt64ToSInt32Overflows", kCFNumberSInt64Type, 1099511627776.0, kCFNumberSInt32Type, 0, false},
    NumberCase{"SInt32ToSInt8Truncates", kCFNumberSInt32Type, 300, kCFNumberSInt8Type, 44, false},
    NumberCase{"Float64ToFloat64", kCFNumberFloat64Type, 0.1, kCFNumberFloat64Type, 0.1, true},
    NumberCase{"Float64ToFloat32Inexact", kCFNumberFloat64Type, 0.1, kCFNumberFloat32Type, static_cast<double>(0.1f),
               false},
    NumberCase{"Float32ToFloat64", kCFNumberFloat32Type, 0.5, kCFNumberFloat64Type, 0.5, true},
    NumberCase{"Float64FractionToSInt32", kCFNumberFloat64Type, 2.75, kCFNumberSInt32Type, 2, false},
    NumberCase{"Float64WholeToSInt32", kCFNumberFloat64Type, 44100.0, kCFNumberSInt32Type, 44100, true}),
  [](const testing::TestParamInfo<NumberCase>& i) { return std::string(i.param.name); });

TEST(CFNumber, EqualValuesOfDifferentTypesAreEqualAndHashAlike)
{
  const SInt32 one = 1;
  const Float64 oneDouble = 1.0, half = 0.5;
  CFNumberRef a = CFNumberCreate(nullptr, kCFNumberSInt32Type, &one);
  CFNumberRef b = CFNumberCreate(nullptr, kCFNumberFloat64Type, &oneDouble);
  CFNumberRef c = CFNumberCreate(nullptr, kCFNumberFloat64Type, &half);
  EXPECT_TRUE(CFEqual(a, b));
  EXPECT_EQ(CFHash(a), CFHash(b));
  EXPECT_FALSE(CFEqual(a, c));
  EXPECT_EQ(CFNumberGetType(a), kCFNumberSInt32Type);
  EXPECT_TRUE(CFNumberIsFloatType(b));
  CFRelease(a);
  CFRelease(b);
  CFRelease(c);
}

TEST(CFData, CopiesBytesAndGrowsWhenMutable)
{
  UInt8 bytes[104];
  for (int i = 0; i < 104; ++i) bytes[i] = static_cast<UInt8>(i * 3);
  CFDataRef d = CFDataCreate(nullptr, bytes, sizeof(bytes));
  bytes[0] = 99;  // the object keeps its own copy
  ASSERT_EQ(CFDataGetLength(d), 104);
  EXPECT_EQ(CFDataGetBytePtr(d)[0], 0);
  EXPECT_EQ(CFDataGetBytePtr(d)[103], static_cast<UInt8>(103 * 3));
  UInt8 middle[4];
  CFDataGetBytes(d, CFRangeMake(10, 4), middle);
  EXPECT_EQ(middle[3], 39);

  CFMutableDataRef m = CFDataCreateMutableCopy(nullptr, 0, d);
  CFDataAppendBytes(m, bytes, 2);
  EXPECT_EQ(CFDataGetLength(m), 106);
  EXPECT_EQ(CFDataGetBytePtr(m)[104], 99);
  EXPECT_FALSE(CFEqual(d, m));
  CFDataSetLength(m, 104);
  EXPECT_TRUE(CFEqual(d, m));
  EXPECT_DEATH(CFDataGetBytes(d, CFRangeMake(100, 5), middle), "out of bounds");
  CFRelease(m);
  CFRelease(d);
}

}  // namespace
