// How blits, fills, points and lines combine a source with the destination pixel.
// Expected bytes are worked out by hand from the integer rules (truncating
// division), so a rounding slip anywhere shows as a one-off byte.
#include "raster_test_util.h"

#include <gtest/gtest.h>

using rt::Bytes;

namespace
{

struct Case
{
  const char* name;
  Bytes dest;
  Bytes source;  // source pixel (blits) or colour (fills, points, lines)
  float weight;
  int mode;
  Bytes expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.name; }

Bytes blitOne(const Case& c)
{
  LICE_MemBitmap d(1, 1), s(1, 1);
  d.getBits()[0] = rt::px(c.dest);
  s.getBits()[0] = rt::px(c.source);
  LICE_Blit(&d, &s, 0, 0, 0, 0, 1, 1, c.weight, c.mode);
  return rt::bytes(d.getBits()[0]);
}

const Case kBlitCases[] = {
  {"copy_full_weight_copies_all_bytes", {10, 20, 30, 40}, {200, 100, 50, 25}, 1.0f, 0, {200, 100, 50, 25}},
  {"copy_half_weight_sums_halves", {11, 21, 31, 41}, {201, 101, 51, 25}, 0.5f, 0, {105, 60, 40, 32}},
  {"copy_quarter_weight_general_rule", {0, 100, 200, 255}, {255, 0, 50, 100}, 0.25f, 0, {64, 75, 162, 216}},
  {"copy_tiny_weight_f0_leaves_dest", {1, 2, 3, 4}, {200, 200, 200, 200}, 0.002f, 0, {1, 2, 3, 4}},
  {"copy_zero_weight_leaves_dest", {1, 2, 3, 4}, {200, 200, 200, 200}, 0.0f, 0, {1, 2, 3, 4}},
  {"alpha_full_half_transparent_truncates_toward_zero",
   {0, 100, 110, 255},
   {128, 200, 10, 0},
   1.0f,
   0x10000,
   {128, 151, 59, 126}},
  {"alpha_full_opaque_source_replaces_rgb_alpha_255",
   {7, 100, 100, 100},
   {255, 1, 2, 3},
   1.0f,
   0x10000,
   {255, 1, 2, 3}},
  {"alpha_full_transparent_source_leaves_dest", {7, 8, 9, 10}, {0, 255, 255, 255}, 1.0f, 0x10000, {7, 8, 9, 10}},
  {"alpha_full_alpha_saturates", {100, 0, 0, 0}, {200, 50, 50, 50}, 1.0f, 0x10000, {255, 40, 40, 40}},
  {"alpha_weighted", {50, 0, 100, 50}, {100, 200, 0, 50}, 0.5f, 0x10000, {100, 40, 80, 50}},
  {"alpha_weighted_transparent_source_leaves_dest", {50, 0, 100, 50}, {0, 200, 0, 50}, 0.5f, 0x10000, {50, 0, 100, 50}},
  {"add_full_clamps", {10, 200, 0, 100}, {5, 100, 7, 100}, 1.0f, 1, {15, 255, 7, 200}},
  {"add_half", {10, 200, 0, 100}, {5, 100, 7, 100}, 0.5f, 1, {12, 250, 3, 150}},
  {"add_alpha", {200, 100, 100, 100}, {128, 100, 200, 0}, 1.0f, 0x10001, {255, 150, 200, 100}},
  {"add_alpha_transparent_source_leaves_dest", {1, 2, 3, 4}, {0, 255, 255, 255}, 1.0f, 0x10001, {1, 2, 3, 4}},
  {"dodge_full_small_divisor_saturates", {0, 100, 128, 60}, {0, 128, 255, 64}, 1.0f, 2, {0, 200, 255, 80}},
  {"dodge_half", {0, 100, 128, 60}, {0, 128, 255, 64}, 0.5f, 2, {0, 133, 254, 68}},
  {"dodge_alpha_transparent_source_leaves_dest", {1, 2, 3, 4}, {0, 255, 255, 255}, 1.0f, 0x10002, {1, 2, 3, 4}},
  {"dodge_alpha_opaque_source_is_plain_dodge",
   {0, 100, 128, 60},
   {255, 128, 255, 64},
   1.0f,
   0x10002,
   {0, 200, 255, 80}},
  {"copy_weight_above_one_acts_as_full", {1, 2, 3, 4}, {9, 8, 7, 6}, 3.0f, 0, {9, 8, 7, 6}},
  {"copy_negative_weight_leaves_dest", {1, 2, 3, 4}, {9, 8, 7, 6}, -0.5f, 0, {1, 2, 3, 4}},
};

class BlitCombine : public testing::TestWithParam<Case>
{
};
TEST_P(BlitCombine, GivesExpectedBytes) { EXPECT_EQ(blitOne(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, BlitCombine, testing::ValuesIn(kBlitCases),
                         [](const auto& info) { return std::string(info.param.name); });

Bytes fillOne(const Case& c)
{
  LICE_MemBitmap d(1, 1);
  d.getBits()[0] = rt::px(c.dest);
  LICE_FillRect(&d, 0, 0, 1, 1, rt::px(c.source), c.weight, c.mode);
  return rt::bytes(d.getBits()[0]);
}

const Case kFillCases[] = {
  {"full_weight_stores_colour", {0, 9, 9, 9}, {15, 1, 2, 3}, 1.0f, 0, {15, 1, 2, 3}},
  {"half_weight_sums_halves", {11, 21, 31, 41}, {201, 101, 51, 25}, 0.5f, 0, {105, 60, 40, 32}},
  {"three_quarter_weight_shortcut", {0, 20, 100, 255}, {200, 100, 40, 255}, 0.75f, 0, {150, 80, 55, 253}},
  {"quarter_weight_shortcut", {0, 20, 100, 255}, {200, 100, 40, 255}, 0.25f, 0, {50, 40, 85, 253}},
  {"other_weight_mixes_alpha_toward_weight", {10, 0, 200, 100}, {255, 200, 0, 100}, 0.375f, 0, {43, 75, 125, 100}},
  {"source_alpha_bit_opaque_colour_stores_colour", {0, 9, 9, 9}, {255, 1, 2, 3}, 1.0f, 0x10000, {255, 1, 2, 3}},
  {"source_alpha_bit_scales_weight_by_colour_alpha", {0, 0, 0, 0}, {128, 200, 100, 0}, 1.0f, 0x10000, {64, 100, 50, 0}},
  {"source_alpha_bit_transparent_colour_draws_nothing", {1, 2, 3, 4}, {0, 200, 100, 0}, 1.0f, 0x10000, {1, 2, 3, 4}},
  {"zero_weight_draws_nothing", {1, 2, 3, 4}, {255, 200, 100, 0}, 0.0f, 0, {1, 2, 3, 4}},
  {"add", {10, 200, 0, 100}, {5, 100, 7, 100}, 0.5f, 1, {12, 250, 3, 150}},
  {"dodge", {0, 100, 128, 60}, {0, 128, 255, 64}, 1.0f, 2, {0, 200, 255, 80}},
};

class FillCombine : public testing::TestWithParam<Case>
{
};
TEST_P(FillCombine, GivesExpectedBytes) { EXPECT_EQ(fillOne(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, FillCombine, testing::ValuesIn(kFillCases),
                         [](const auto& info) { return std::string(info.param.name); });

Bytes pointOne(const Case& c)
{
  LICE_MemBitmap d(1, 1);
  d.getBits()[0] = rt::px(c.dest);
  LICE_PutPixel(&d, 0, 0, rt::px(c.source), c.weight, c.mode);
  return rt::bytes(d.getBits()[0]);
}

const Case kPointCases[] = {
  {"full_weight_keeps_colour_alpha", {255, 255, 255, 255}, {15, 1, 2, 3}, 1.0f, 0, {15, 1, 2, 3}},
  {"half_weight_sums_halves", {11, 21, 31, 41}, {201, 101, 51, 25}, 0.5f, 0, {105, 60, 40, 32}},
  {"quarter_weight_shortcut", {0, 20, 100, 255}, {200, 100, 40, 255}, 0.25f, 0, {50, 40, 85, 253}},
  {"other_weight_mixes_every_byte", {10, 0, 200, 100}, {255, 200, 0, 100}, 0.375f, 0, {102, 75, 125, 100}},
  {"source_alpha_bit_ignored", {9, 9, 9, 9}, {0, 1, 2, 3}, 1.0f, 0x10000, {0, 1, 2, 3}},
  {"weight_below_one_step_leaves_dest", {1, 2, 3, 4}, {200, 200, 200, 200}, 0.003f, 0, {1, 2, 3, 4}},
  {"add", {10, 200, 0, 100}, {5, 100, 7, 100}, 1.0f, 1, {15, 255, 7, 200}},
  {"add_zero_weight_leaves_dest", {10, 200, 0, 100}, {5, 100, 7, 100}, 0.0f, 1, {10, 200, 0, 100}},
  {"dodge", {0, 100, 128, 60}, {0, 128, 255, 64}, 0.5f, 2, {0, 133, 254, 68}},
};

class PointCombine : public testing::TestWithParam<Case>
{
};
TEST_P(PointCombine, GivesExpectedBytes) { EXPECT_EQ(pointOne(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, PointCombine, testing::ValuesIn(kPointCases),
                         [](const auto& info) { return std::string(info.param.name); });

Bytes lineOne(const Case& c)
{
  LICE_MemBitmap d(3, 1);
  for (int i = 0; i < 3; ++i) d.getBits()[i] = rt::px(c.dest);
  LICE_Line(&d, 0, 0, 2, 0, rt::px(c.source), c.weight, c.mode, false);
  EXPECT_EQ(d.getBits()[0], d.getBits()[2]) << "every pixel of a line combines alike";
  return rt::bytes(d.getBits()[1]);
}

const Case kLineCases[] = {
  {"full_weight_stores_colour_word", {255, 255, 255, 255}, {15, 1, 2, 3}, 1.0f, 0, {15, 1, 2, 3}},
  {"half_weight_uses_general_rule_not_halves", {11, 21, 31, 41}, {201, 101, 51, 25}, 0.5f, 0, {106, 61, 41, 33}},
  {"zero_weight_leaves_dest", {1, 2, 3, 4}, {200, 200, 200, 200}, 0.0f, 0, {1, 2, 3, 4}},
  {"add", {10, 200, 0, 100}, {5, 100, 7, 100}, 0.5f, 1, {12, 250, 3, 150}},
  {"dodge", {0, 100, 128, 60}, {0, 128, 255, 64}, 1.0f, 2, {0, 200, 255, 80}},
};

class LineCombine : public testing::TestWithParam<Case>
{
};
TEST_P(LineCombine, GivesExpectedBytes) { EXPECT_EQ(lineOne(GetParam()), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, LineCombine, testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlitCombine, RowsOfManyPixelsCombineLikeSinglePixels)
{
  // The row loops must apply the same rule as a lone pixel in every mode.
  LICE_MemBitmap src(37, 5), dst(37, 5), ref(37, 5);
  for (int mode : {0, 0x10000, 1, 0x10001, 2, 0x10002})
  {
    for (float w : {1.0f, 0.5f, 0.3f})
    {
      rt::fillPattern(&src, 1);
      rt::fillPattern(&dst, 2);
      rt::fillPattern(&ref, 2);
      LICE_Blit(&dst, &src, 0, 0, 0, 0, 37, 5, w, mode);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x) LICE_Blit(&ref, &src, x, y, x, y, 1, 1, w, mode);
      EXPECT_TRUE(rt::samePixels(&dst, &ref)) << "mode " << mode << " weight " << w;
    }
  }
}

}  // namespace
