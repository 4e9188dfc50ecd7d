// Every operation clips to the destination (and blits to the source): nothing
// outside the bitmaps is touched, and the pixels inside come out exactly as if
// the bitmap were larger.
#include "raster_test_util.h"

#include <climits>
#include <functional>

#include <gtest/gtest.h>

namespace
{

struct BlitClipCase
{
  const char* name;
  int dstx, dsty, srcx, srcy, w, h;
};

const BlitClipCase kBlitClips[] = {
  {"inside", 2, 3, 1, 1, 4, 3},
  {"past_left_edge", -3, 2, 0, 0, 6, 4},
  {"past_top_edge", 1, -2, 0, 0, 6, 4},
  {"past_right_edge", 6, 1, 0, 0, 6, 4},
  {"past_bottom_edge", 1, 7, 0, 0, 6, 4},
  {"source_starts_before_left", 2, 2, -2, 0, 6, 4},
  {"source_starts_above_top", 2, 2, 0, -3, 6, 6},
  {"source_wider_than_source_bitmap", 0, 0, 3, 2, 50, 50},
  {"covers_everything", -10, -10, -10, -10, 100, 100},
  {"wholly_left_of_dest", -20, 0, 0, 0, 6, 5},
  {"wholly_below_dest", 0, 30, 0, 0, 6, 5},
  {"wholly_outside_source", 0, 0, 6, 0, 6, 5},
  {"negative_size", 2, 2, 0, 0, -4, 3},
  {"extreme_coordinates", INT_MAX - 2, INT_MIN + 1, INT_MIN, INT_MAX, INT_MAX, INT_MAX},
};

class BlitClip : public testing::TestWithParam<BlitClipCase>
{
};

TEST_P(BlitClip, TouchesOnlyPixelsInsideBothBitmaps)
{
  const BlitClipCase& c = GetParam();
  LICE_MemBitmap src(6, 5), dst(9, 8), expected(9, 8);
  rt::fillPattern(&src, 3);
  rt::fillPattern(&dst, 4);
  rt::fillPattern(&expected, 4);
  // Reference: one pixel at a time, keeping only pairs inside both bitmaps.
  for (long long j = 0; j < c.h && j < 100; ++j)
    for (long long i = 0; i < c.w && i < 100; ++i)
    {
      const long long sx = c.srcx + i, sy = c.srcy + j, dx = c.dstx + i, dy = c.dsty + j;
      if (sx < 0 || sy < 0 || sx >= 6 || sy >= 5 || dx < 0 || dy < 0 || dx >= 9 || dy >= 8) continue;
      expected.getBits()[dy * expected.getRowSpan() + dx] = LICE_GetPixel(&src, int(sx), int(sy));
    }
  LICE_Blit(&dst, &src, c.dstx, c.dsty, c.srcx, c.srcy, c.w, c.h, 1.0f, 0);
  EXPECT_TRUE(rt::samePixels(&dst, &expected));
}

INSTANTIATE_TEST_SUITE_P(Table, BlitClip, testing::ValuesIn(kBlitClips),
                         [](const auto& info) { return std::string(info.param.name); });

struct RectCase
{
  const char* name;
  int x, y, w, h;
};

const RectCase kFillClips[] = {
  {"inside", 2, 2, 3, 3},       {"past_left", -2, 1, 4, 3},
  {"past_top", 1, -5, 3, 7},    {"past_right", 7, 1, 10, 2},
  {"past_bottom", 1, 6, 2, 10}, {"everything", -5, -5, 100, 100},
  {"outside", 20, 20, 3, 3},    {"empty", 3, 3, 0, 5},
  {"negative", 3, 3, -2, -2},   {"extreme", INT_MAX - 1, INT_MIN, INT_MAX, INT_MAX},
};

class FillClip : public testing::TestWithParam<RectCase>
{
};

TEST_P(FillClip, FillAndClearTouchOnlyTheClippedRectangle)
{
  const RectCase& c = GetParam();
  LICE_MemBitmap fill(9, 8), clear(9, 8), expectFill(9, 8), expectClear(9, 8);
  for (LICE_MemBitmap* b : {&fill, &clear, &expectFill, &expectClear}) rt::fillPattern(b, 5);
  for (long long y = 0; y < 8; ++y)
    for (long long x = 0; x < 9; ++x)
    {
      if (x < c.x || y < c.y || x >= static_cast<long long>(c.x) + c.w || y >= static_cast<long long>(c.y) + c.h)
        continue;
      LICE_pixel& e = expectFill.getBits()[y * expectFill.getRowSpan() + x];
      e = 0x11223344u;
      LICE_pixel& k = expectClear.getBits()[y * expectClear.getRowSpan() + x];
      k = (k & 0xffffff00u) | 0x7u;
    }
  LICE_FillRect(&fill, c.x, c.y, c.w, c.h, 0x11223344u, 1.0f, 0);
  LICE_ClearRect(&clear, c.x, c.y, c.w, c.h, 0xffffff00u, 0x7u);
  EXPECT_TRUE(rt::samePixels(&fill, &expectFill));
  EXPECT_TRUE(rt::samePixels(&clear, &expectClear));
}

INSTANTIATE_TEST_SUITE_P(Table, FillClip, testing::ValuesIn(kFillClips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PointClip, PointsOutsideChangeNothingAndReadAsZero)
{
  LICE_MemBitmap bm(4, 3), before(4, 3);
  rt::fillPattern(&bm, 6);
  rt::fillPattern(&before, 6);
  const int pts[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {4, 3}, {INT_MIN, INT_MAX}, {INT_MAX, 0}};
  for (auto& p : pts)
  {
    LICE_PutPixel(&bm, p[0], p[1], 0xffffffffu, 1.0f, 0);
    EXPECT_EQ(LICE_GetPixel(&bm, p[0], p[1]), 0u);
  }
  EXPECT_TRUE(rt::samePixels(&bm, &before));
  LICE_PutPixel(&bm, 3, 2, 0xabcdef01u, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 2), 0xabcdef01u);
  LICE_MemBitmap empty;
  LICE_PutPixel(&empty, 0, 0, 1u, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&empty, 0, 0), 0u);
  LICE_PutPixel(nullptr, 0, 0, 1u, 1.0f, 0);
}

// A shape drawn on a small bitmap must equal the same area of the shape drawn,
// shifted, on a bitmap large enough to hold it whole.
struct ShapeCase
{
  const char* name;
  std::function<void(LICE_IBitmap*, int offset)> draw;
};

const ShapeCase kShapes[] = {
  {"line_plain",
   [](LICE_IBitmap* b, int o) { LICE_Line(b, o - 30, o - 7, o + 25, o + 19, 0xff0000ffu, 1.0f, 0, false); }},
  {"line_steep_aa",
   [](LICE_IBitmap* b, int o) { LICE_Line(b, o + 3, o - 40, o + 9, o + 44, 0xff00ff00u, 0.7f, 0, true); }},
  {"line_backwards",
   [](LICE_IBitmap* b, int o) { LICE_Line(b, o + 40, o + 15, o - 13, o + 2, 0x80ffffffu, 1.0f, 1, true); }},
  {"circle_aa", [](LICE_IBitmap* b, int o) { LICE_Circle(b, o + 2.5f, o + 6.0f, 9.0f, 0xffff00ffu, 1.0f, 0, true); }},
  {"circle_plain", [](LICE_IBitmap* b, int o) { LICE_Circle(b, o + 12.f, o - 1.f, 7.f, 0xffff00ffu, 1.0f, 0, false); }},
  {"arc", [](LICE_IBitmap* b, int o) { LICE_Arc(b, o + 5.f, o + 5.f, 8.f, -1.f, 2.f, 0xffffffffu, 0.5f, 0, true); }},
  {"fill_circle_aa",
   [](LICE_IBitmap* b, int o) { LICE_FillCircle(b, o - 1.f, o + 4.f, 6.5f, 0xff123456u, 1.0f, 0, true); }},
  {"fill_circle_plain",
   [](LICE_IBitmap* b, int o) { LICE_FillCircle(b, o + 10.f, o + 9.f, 5.f, 0xff123456u, 0.5f, 0x10000, false); }},
  {"round_rect",
   [](LICE_IBitmap* b, int o) { LICE_RoundRect(b, o - 4.f, o + 2.f, 19.f, 11.f, 4, 0xff00ffffu, 1.0f, 0, true); }},
  {"triangle", [](LICE_IBitmap* b,
                  int o) { LICE_FillTriangle(b, o - 9, o + 2, o + 14, o - 6, o + 5, o + 20, 0xff0000ffu, 1.0f, 0); }},
  {"polygon",
   [](LICE_IBitmap* b, int o) {
     const int xs[] = {o - 5, o + 6, o + 15, o + 9, o - 2}, ys[] = {o + 1, o - 8, o + 2, o + 14, o + 12};
     LICE_FillConvexPolygon(b, xs, ys, 5, 0xffffff00u, 0.75f, 0);
   }},
};

class ShapeClip : public testing::TestWithParam<ShapeCase>
{
};

TEST_P(ShapeClip, ClippedShapeMatchesTheUnclippedOne)
{
  constexpr int kOffset = 60;
  LICE_MemBitmap small(12, 10), large(140, 140);
  rt::fillPattern(&small, 7);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x)
      large.getBits()[(y + kOffset) * large.getRowSpan() + x + kOffset] = LICE_GetPixel(&small, x, y);
  GetParam().draw(&small, 0);
  GetParam().draw(&large, kOffset);
  auto area = rt::crop(&large, kOffset, kOffset, 12, 10);
  EXPECT_TRUE(rt::samePixels(&small, area.get()));
}

INSTANTIATE_TEST_SUITE_P(Table, ShapeClip, testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShapeClip, FarAwayEndPointsAndRadiiDrawOnlyWhatIsVisible)
{
  LICE_MemBitmap bm(16, 16);
  LICE_Line(&bm, INT_MIN / 2, 8, INT_MAX / 2, 8, 0xffffffffu, 1.0f, 0, true);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, 8), 0xffffffffu) << x;
  LICE_Line(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xffffffffu, 1.0f, 0, false);
  LICE_FillCircle(&bm, 8.f, 8.f, 1e9f, 0x01020304u, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0x01020304u);
  LICE_Circle(&bm, 1e30f, 0.f, 5.f, 0xffffffffu, 1.0f, 0, true);
  LICE_FillTriangle(&bm, INT_MIN, INT_MIN, INT_MAX, 0, 0, INT_MAX, 0xaabbccddu, 1.0f, 0);
  LICE_RoundRect(&bm, -1e20f, -1e20f, 1e20f, 1e20f, 3, 0xffffffffu, 1.0f, 0, true);
}

}  // namespace
