#include <gtest/gtest.h>

#include "IGraphicsStructs.h"

namespace
{
struct RectCase
{
  const char* name;
  IRECT a, b;
  bool intersects;
  IRECT intersection;
  IRECT unionRect;
};

TEST(IRECT, IntersectionAndUnionRules)
{
  const RectCase cases[] = {
    {"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}, {0, 0, 20, 20}},
    {"a ends where b begins: a's far edges compare with >=",
     {0, 0, 10, 10},
     {10, 0, 20, 10},
     true,
     {10, 0, 10, 10},
     {0, 0, 20, 10}},
    {"b ends where a begins: a's near edges compare with <",
     {10, 10, 20, 20},
     {0, 0, 10, 10},
     false,
     {},
     {0, 0, 20, 20}},
    {"disjoint", {0, 0, 5, 5}, {30, 30, 40, 40}, false, {}, {0, 0, 40, 40}},
    {"a empty", {}, {1, 2, 3, 4}, false, {}, {1, 2, 3, 4}},
    {"b empty", {1, 2, 3, 4}, {}, false, {}, {1, 2, 3, 4}},
    {"contained", {0, 0, 100, 100}, {10, 20, 30, 40}, true, {10, 20, 30, 40}, {0, 0, 100, 100}},
  };
  for (const RectCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.a.Intersects(&c.b), c.intersects);
    EXPECT_EQ(c.a.Intersect(&c.b), c.intersection);
    EXPECT_EQ(c.a.Union(&c.b), c.unionRect);
  }
}

TEST(IRECT, ContainsExcludesFarEdgesAndEmptyRects)
{
  const IRECT r(10, 20, 30, 40);
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_TRUE(r.Contains(29, 39));
  EXPECT_FALSE(r.Contains(30, 25));
  EXPECT_FALSE(r.Contains(15, 40));
  EXPECT_FALSE(r.Contains(9, 25));
  EXPECT_FALSE(IRECT().Contains(0, 0));
}

TEST(IColor, PixelWordHasAlphaInTheLowByte)
{
  const IColor c(0x12, 0x34, 0x56, 0x78);
  EXPECT_EQ(c.ToPixel(), 0x78563412u);
  EXPECT_EQ(IColor::FromPixel(0x78563412u), c);
  // Out-of-range components are masked to their byte, never spill into a neighbour.
  EXPECT_EQ(IColor(256 + 1, 0, 0, 0).ToPixel(), 1u);
}

TEST(IText, DefaultStyle)
{
  const IText t;
  EXPECT_STREQ(t.mFont, "Monaco");
  EXPECT_EQ(t.mSize, 10);
  EXPECT_EQ(t.mColor, COLOR_BLACK);
  EXPECT_EQ(t.mTextEntryBGColor, COLOR_WHITE);
  EXPECT_EQ(t.mTextEntryFGColor, COLOR_BLACK);
  EXPECT_EQ(t.mStyle, IText::kStyleNormal);
  EXPECT_EQ(t.mAlign, IText::kAlignCenter);
  EXPECT_EQ(t.mOrientation, 0);
  EXPECT_EQ(t.mQuality, IText::kQualityDefault);
  EXPECT_EQ(t.mCached, nullptr);
}

TEST(IText, LongFaceNameStaysTerminated)
{
  IText t;
  t.SetFont("A face name that is much longer than thirty-one characters");
  EXPECT_EQ(std::strlen(t.mFont), 31u);
}
}  // namespace
