#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "base64encdec.h"

struct Base64Case
{
  const char* name;
  std::string plain;
  const char* encoded;
};

void PrintTo(const Base64Case& c, std::ostream* os) { *os << c.name; }

class Base64Table : public ::testing::TestWithParam<Base64Case>
{
};

TEST_P(Base64Table, EncodesWithPaddingAndDecodesBack)
{
  const Base64Case& c = GetParam();
  char out[64];
  const int n =
    wdl_base64encode(reinterpret_cast<const unsigned char*>(c.plain.data()), out, static_cast<int>(c.plain.size()));
  EXPECT_STREQ(out, c.encoded);
  EXPECT_EQ(n, wdl_base64encodedsize(static_cast<int>(c.plain.size())));
  unsigned char back[64] = {};
  const int m = wdl_base64decode(out, back, sizeof back);
  ASSERT_EQ(m, static_cast<int>(c.plain.size()));
  EXPECT_EQ(std::memcmp(back, c.plain.data(), c.plain.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Rfc, Base64Table,
                         ::testing::Values(Base64Case{"empty", "", ""}, Base64Case{"one", "f", "Zg=="},
                                           Base64Case{"two", "fo", "Zm8="}, Base64Case{"three", "foo", "Zm9v"},
                                           Base64Case{"six", "foobar", "Zm9vYmFy"},
                                           Base64Case{"binary", std::string("\xff\x00\xfe", 3), "/wD+"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Base64, DecodingStopsAtFirstForeignCharacterAndAtDestinationSize)
{
  unsigned char out[8] = {};
  EXPECT_EQ(wdl_base64decode("Zm9v!Ymxh", out, sizeof out), 3);  // '!' ends it
  EXPECT_EQ(std::memcmp(out, "foo", 3), 0);
  unsigned char small[2] = {};
  EXPECT_EQ(wdl_base64decode("Zm9vYmFy", small, sizeof small), 2);
  EXPECT_EQ(small[1], 'o');
}
