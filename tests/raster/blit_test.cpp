// Scaled and rotated blits, bitmap copies, self-overlapping blits.
#include "raster_test_util.h"

#include <numbers>

#include <gtest/gtest.h>

namespace
{

constexpr LICE_pixel kMark = LICE_RGBA(255, 0, 0, 255);

TEST(ScaledBlit, NearestDoublesEachPixel)
{
  LICE_MemBitmap src(2, 2), dst(4, 4);
  rt::fillPattern(&src, 1);
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(LICE_GetPixel(&dst, x, y), LICE_GetPixel(&src, x / 2, y / 2)) << x << "," << y;
}

TEST(ScaledBlit, BilinearAtOneToOneReproducesTheSource)
{
  LICE_MemBitmap src(7, 5), dst(7, 5, 4);
  rt::fillPattern(&src, 2);
  LICE_ScaledBlit(&dst, &src, 0, 0, 7, 5, 0, 0, 7, 5, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_TRUE(rt::samePixels(&dst, &src));
}

TEST(ScaledBlit, BilinearStretchRampsBetweenSourcePixels)
{
  LICE_MemBitmap src(2, 1), dst(8, 1);
  src.getBits()[0] = LICE_RGBA(0, 0, 0, 255);
  src.getBits()[1] = LICE_RGBA(255, 255, 255, 255);
  LICE_ScaledBlit(&dst, &src, 0, 0, 8, 1, 0, 0, 2, 1, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GETR(LICE_GetPixel(&dst, 0, 0)), 0u) << "edges repeat the outer pixels";
  EXPECT_EQ(LICE_GETR(LICE_GetPixel(&dst, 7, 0)), 255u);
  for (int x = 1; x < 8; ++x) EXPECT_GE(LICE_GETR(LICE_GetPixel(&dst, x, 0)), LICE_GETR(LICE_GetPixel(&dst, x - 1, 0)));
  EXPECT_GT(LICE_GETR(LICE_GetPixel(&dst, 4, 0)), 60u);
  EXPECT_LT(LICE_GETR(LICE_GetPixel(&dst, 3, 0)), 195u);
}

TEST(ScaledBlit, ReadsOnlyTheSourceRectangle)
{
  LICE_MemBitmap src(4, 1), dst(4, 1);
  src.getBits()[0] = 1;
  src.getBits()[1] = 2;
  src.getBits()[2] = 3;
  src.getBits()[3] = 4;
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 1, 1, 0, 2, 1, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  for (int x = 0; x < 4; ++x)
  {
    const LICE_pixel p = LICE_GetPixel(&dst, x, 0);
    EXPECT_TRUE(p >= 2 && p <= 3) << "pixel " << x << " = " << p;
  }
}

TEST(RotatedBlit, ZeroAngleEqualsAPlainCopy)
{
  LICE_MemBitmap src(6, 4), a(6, 4), b(6, 4);
  rt::fillPattern(&src, 3);
  LICE_RotatedBlit(&a, &src, 0, 0, 6, 4, 0, 0, 6, 4, 0.0f, false, 1.0f, 0);
  LICE_RotatedBlit(&b, &src, 0, 0, 6, 4, 0, 0, 6, 4, 0.0f, false, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_TRUE(rt::samePixels(&a, &src));
  EXPECT_TRUE(rt::samePixels(&b, &src));
}

TEST(RotatedBlit, PositiveAnglesTurnClockwise)
{
  LICE_MemBitmap src(3, 3), dst(3, 3);
  src.getBits()[0] = kMark;  // top-left
  LICE_RotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, static_cast<float>(std::numbers::pi / 2), false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 0), kMark) << "a quarter turn clockwise takes top-left to top-right";
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0u);
  LICE_RotatedBlit(&dst, &src, 0, 0, 3, 3, 0, 0, 3, 3, static_cast<float>(std::numbers::pi), false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 2), kMark);
}

TEST(RotatedBlit, CentreOffsetMovesThePivot)
{
  LICE_MemBitmap src(4, 4), dst(4, 4);
  src.getBits()[0] = kMark;
  // Turning half a circle about the top-left pixel's corner keeps the mark out of view.
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, static_cast<float>(std::numbers::pi), false, 1.0f, 0, -2.0f,
                   -2.0f);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), 0u);
}

TEST(RotatedBlit, SourceClipLimitsSamplesToTheRectangle)
{
  LICE_MemBitmap src(6, 6), clipped(4, 4), unclipped(4, 4);
  LICE_Clear(&src, kMark);
  const float angle = static_cast<float>(std::numbers::pi / 4);
  LICE_RotatedBlit(&clipped, &src, 0, 0, 4, 4, 1, 1, 4, 4, angle, true, 1.0f, 0);
  LICE_RotatedBlit(&unclipped, &src, 0, 0, 4, 4, 1, 1, 4, 4, angle, false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&clipped, 0, 0), 0u) << "the corner maps outside the source rectangle";
  EXPECT_EQ(LICE_GetPixel(&unclipped, 0, 0), kMark) << "but inside the source bitmap";
  EXPECT_EQ(LICE_GetPixel(&clipped, 1, 1), kMark);
}

TEST(Copy, ResizesAndOverwritesTheDestination)
{
  LICE_MemBitmap src(5, 3, 1), dst(9, 9, 4);
  rt::fillPattern(&src, 4);
  LICE_Copy(&dst, &src);
  EXPECT_TRUE(rt::samePixels(&dst, &src));
  EXPECT_EQ(dst.getRowSpan(), 8);
}

TEST(Blit, OntoItselfBehavesAsIfCopiedFirst)
{
  LICE_MemBitmap bm(6, 1), expected(6, 1);
  for (int x = 0; x < 6; ++x) bm.getBits()[x] = expected.getBits()[x] = static_cast<LICE_pixel>(x + 1);
  LICE_Blit(&bm, &bm, 1, 0, 0, 0, 5, 1, 1.0f, 0);
  for (int x = 1; x < 6; ++x) expected.getBits()[x] = static_cast<LICE_pixel>(x);
  EXPECT_TRUE(rt::samePixels(&bm, &expected));
  // An additive blit rightwards adds the old left neighbour, not the new one.
  LICE_Blit(&bm, &bm, 1, 0, 0, 0, 5, 1, 1.0f, LICE_BLIT_MODE_ADD);
  const LICE_pixel sums[6] = {1, 2, 3, 5, 7, 9};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, 0), sums[x]) << x;
}

TEST(Blit, MissingBitmapsOrZeroWeightDrawNothing)
{
  LICE_MemBitmap src(2, 2), dst(2, 2), before(2, 2);
  rt::fillPattern(&src, 1);
  LICE_Blit(&dst, &src, 0, 0, 0, 0, 2, 2, 0.0f, 0);
  LICE_ScaledBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 2, 2, 0.0f, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 2, 2, 1.0f, false, 0.0f, 0);
  EXPECT_TRUE(rt::samePixels(&dst, &before));
  LICE_Blit(nullptr, &src, 0, 0, 0, 0, 2, 2, 1.0f, 0);
  LICE_Blit(&dst, nullptr, 0, 0, 0, 0, 2, 2, 1.0f, 0);
  LICE_ScaledBlit(&dst, nullptr, 0, 0, 2, 2, 0, 0, 2, 2, 1.0f, 0);
  LICE_Copy(&dst, nullptr);
}

}  // namespace

// A row blitted whole gives what blitting it one pixel at a time gives, for every
// operation with and without the source's alpha, at full and partial weight, and
// across runs of fully transparent pixels that start and end anywhere.
TEST(Blit, AWholeRowEqualsItsPixelsBlittedOneByOne)
{
  constexpr int kW = 61;
  LICE_MemBitmap src(kW, 1), base(kW, 1);
  rt::fillPattern(&src, 7);
  rt::fillPattern(&base, 8);
  LICE_pixel* s = src.getBits();
  for (int x : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 40, 41, 42})
    s[x] &= 0xffffff00u;             // no alpha: transparent runs across the eight-pixel groups
  s[8] = (s[8] & 0xffffff00u) | 1u;  // the faintest alpha between two runs
  s[30] |= 255u;                     // one opaque pixel
  for (int op :
       {LICE_BLIT_MODE_COPY, LICE_BLIT_MODE_ADD, LICE_BLIT_MODE_DODGE, LICE_BLIT_MODE_MUL, LICE_BLIT_MODE_OVERLAY})
    for (int alphaBit : {0, LICE_BLIT_USE_ALPHA})
      for (float weight : {1.0f, 0.5f, 0.3f})
      {
        const int mode = op | alphaBit;
        LICE_MemBitmap whole(kW, 1), single(kW, 1);
        LICE_Blit(&whole, &base, 0, 0, 0, 0, kW, 1, 1.0f, LICE_BLIT_MODE_COPY);
        LICE_Blit(&single, &base, 0, 0, 0, 0, kW, 1, 1.0f, LICE_BLIT_MODE_COPY);
        LICE_Blit(&whole, &src, 0, 0, 0, 0, kW, 1, weight, mode);
        for (int x = 0; x < kW; ++x) LICE_Blit(&single, &src, x, 0, x, 0, 1, 1, weight, mode);
        EXPECT_TRUE(rt::samePixels(&whole, &single)) << "mode " << mode << " weight " << weight;
      }
}
