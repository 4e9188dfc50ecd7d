#include "IPlugStructs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
TEST(ByteChunk, NativeOrderNoPaddingAndReadsPastTheEnd)
{
  ByteChunk c;
  const int i = 0x01020304;
  const double d = 0.5;
  const BYTE b = 7;
  EXPECT_EQ(c.Put(&b), 1);
  EXPECT_EQ(c.Put(&i), 5);  // no alignment padding after the byte
  EXPECT_EQ(c.Put(&d), 13);
  EXPECT_EQ(std::memcmp(c.GetBytes() + 1, &i, 4), 0);

  int ri = 0;
  double rd = 0;
  EXPECT_EQ(c.Get(&ri, 1), 5);
  EXPECT_EQ(ri, i);
  EXPECT_EQ(c.Get(&rd, 5), 13);
  EXPECT_EQ(rd, 0.5);

  const struct
  {
    const char* name;
    int pos;
  } badReads[] = {{"PastEnd", 6}, {"AtEnd", 13}, {"Negative", -1}, {"Huge", 0x7ffffff0}};
  for (const auto& r : badReads)
  {
    double untouched = 42;
    EXPECT_EQ(c.Get(&untouched, r.pos), -1) << r.name;
    EXPECT_EQ(untouched, 42) << r.name;
  }
}

struct StrCase
{
  const char* name;
  std::string bytes;  // the chunk's content after the 32-bit length
  int length;
  int expectedPos;  // relative to the start; -1 for failure
  const char* expected;
};

class GetStrTable : public testing::TestWithParam<StrCase>
{
};

TEST_P(GetStrTable, ReadsOnlyWhatIsThere)
{
  const StrCase& c = GetParam();
  ByteChunk chunk;
  chunk.Put(&c.length);
  chunk.PutBytes(c.bytes.data(), static_cast<int>(c.bytes.size()));
  WDL_String s("previous");
  EXPECT_EQ(chunk.GetStr(&s, 0), c.expectedPos);
  EXPECT_STREQ(s.Get(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Strings, GetStrTable,
                         testing::Values(StrCase{"Plain", "abc", 3, 7, "abc"},
                                         StrCase{"StopsAtNul", std::string("ab\0d", 4), 4, 8, "ab"},
                                         StrCase{"ZeroLengthKeepsString", "", 0, 4, "previous"},
                                         StrCase{"LengthPastEnd", "abc", 9, -1, "previous"},
                                         StrCase{"NegativeLength", "abc", -3, -1, "previous"},
                                         StrCase{"HugeLength", "abc", 0x7fffffff, -1, "previous"}),
                         [](const testing::TestParamInfo<StrCase>& i) { return std::string(i.param.name); });

TEST(ByteChunk, StringsAndChunksRoundTrip)
{
  ByteChunk a;
  a.PutStr("hello");
  a.PutBool(true);
  ByteChunk b;
  b.PutChunk(&a);
  EXPECT_TRUE(a.IsEqual(b));
  WDL_String s;
  bool flag = false;
  const int pos = b.GetStr(&s, 0);
  EXPECT_EQ(pos, 9);
  EXPECT_STREQ(s.Get(), "hello");
  EXPECT_EQ(b.GetBool(&flag, pos), 10);
  EXPECT_TRUE(flag);

  b.Resize(12);
  EXPECT_EQ(b.Size(), 12);
  EXPECT_EQ(b.GetBytes()[11], 0);
  b.Clear();
  EXPECT_EQ(b.Size(), 0);
}

TEST(ByteChunk, VersionHeader)
{
  ByteChunk c;
  c.PutStr("junk");
  ByteChunk::InitChunkWithIPlugVer(&c);
  const BYTE expected[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  ASSERT_EQ(c.Size(), 8);
  EXPECT_EQ(std::memcmp(c.GetBytes(), expected, 8), 0);

  int pos = 0;
  EXPECT_EQ(ByteChunk::GetIPlugVerFromChunk(&c, &pos), 0x00010000);
  EXPECT_EQ(pos, 8);

  const struct
  {
    const char* name;
    int size;
    int startPos;
    int expectedPos;
  } misses[] = {
    {"NoMagicAtPos", 8, 4, 4}, {"NegativePos", 8, -3, -3}, {"TooShort", 3, 0, 0}, {"VersionCutOff", 6, 0, -1}};
  for (const auto& m : misses)
  {
    ByteChunk d;
    d.PutBytes(expected, m.size);
    int p = m.startPos;
    EXPECT_EQ(ByteChunk::GetIPlugVerFromChunk(&d, &p), 0) << m.name;
    EXPECT_EQ(p, m.expectedPos) << m.name;
  }
}
}  // namespace
