// Platform fonts and cached-font text: resolution, metrics, measuring, drawing.
#include "raster_test_util.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace
{

HFONT makeFont(const char* face, int height, int weight = FW_NORMAL, int quality = DEFAULT_QUALITY, int escapement = 0)
{
  return CreateFont(height, 0, escapement, escapement, weight, 0, 0, 0, 0, 0, 0, char(quality), 0, face);
}

struct Ink
{
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive bounds
  long long sum = 0;                                           // total darkness
  bool onlyFullCoverage = true;
};

// Where dark text landed on a white bitmap.
Ink inkOf(LICE_IBitmap* bm)
{
  Ink ink;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      const int dark = 255 - int(LICE_GETR(LICE_GetPixel(bm, x, y)));
      if (!dark) continue;
      ink.sum += dark;
      if (dark != 255) ink.onlyFullCoverage = false;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  return ink;
}

struct TextFixture : testing::Test
{
  LICE_CachedFont font;
  LICE_MemBitmap bm{120, 40};
  void SetUp() override
  {
    HFONT f = makeFont("Monaco", 12);
    ASSERT_NE(f, nullptr);
    font.SetFromHFont(f, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    font.SetTextColor(LICE_RGBA(0, 0, 0, 255));
    LICE_Clear(&bm, LICE_RGBA(255, 255, 255, 255));
  }
  RECT measure(const char* text)
  {
    RECT r{0, 0, 0, 0};
    font.DrawText(&bm, text, -1, &r, LICE_DT_NOCLIP | LICE_DT_CALCRECT);
    return r;
  }
};

TEST(Fonts, MonacoFallsBackToTheMonospaceFace)
{
  HFONT f = makeFont("Monaco", 10);
  ASSERT_NE(f, nullptr);
  const std::string family = SWELL_GetFontFamily(f);
  EXPECT_NE(family.find("Mono"), std::string::npos) << family;
  DeleteObject(f);
  HFONT sans = makeFont("DejaVu Sans", 10);
  ASSERT_NE(sans, nullptr);
  EXPECT_EQ(std::string(SWELL_GetFontFamily(sans)), "DejaVu Sans");
  DeleteObject(sans);
  HFONT unknown = makeFont("No Such Face At All", 10);
  EXPECT_NE(unknown, nullptr) << "an unknown face resolves to an installed one";
  DeleteObject(unknown);
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(Fonts, PositiveHeightIsTheLineHeight)
{
  for (int h : {2, 8, 10, 12, 17, 40})
  {
    LICE_CachedFont font;
    font.SetFromHFont(makeFont("Monaco", h), LICE_FONT_FLAG_OWNS_HFONT);
    EXPECT_EQ(font.GetLineHeight(), h);
  }
  LICE_CachedFont em;
  em.SetFromHFont(makeFont("Monaco", -20), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_GT(em.GetLineHeight(), 20) << "a negative height is the em, smaller than the line";
  LICE_CachedFont none;
  EXPECT_EQ(none.GetLineHeight(), 0);
  RECT r{0, 0, 0, 0};
  EXPECT_EQ(none.DrawText(nullptr, "x", -1, &r, LICE_DT_CALCRECT), 0);
}

TEST_F(TextFixture, MeasureGivesWidthAndLineHeightsAndDrawsNothing)
{
  const RECT one = measure("MMMM");
  EXPECT_EQ(one.left, 0);
  EXPECT_EQ(one.top, 0);
  EXPECT_EQ(one.bottom, 12);
  EXPECT_GT(one.right, 12);
  EXPECT_EQ(measure("iiii").right, one.right) << "monospace: every character advances alike";
  EXPECT_EQ(measure("MM").right * 2, one.right);
  const RECT two = measure("MMMMMM\nM");
  EXPECT_EQ(two.bottom, 24);
  EXPECT_EQ(two.right, measure("MMMMMM").right) << "the widest line counts";
  RECT offset{10, 5, 10, 5};
  font.DrawText(&bm, "MM", 2, &offset, LICE_DT_CALCRECT);
  EXPECT_EQ(offset.right, 10 + measure("MM").right);
  EXPECT_EQ(offset.bottom, 5 + 12);
  EXPECT_EQ(inkOf(&bm).sum, 0);
}

struct AlignCase
{
  const char* name;
  int flags;
};

class TextAlign : public TextFixture, public testing::WithParamInterface<AlignCase>
{
};

TEST_P(TextAlign, InkSitsWhereTheFlagsSay)
{
  RECT r{20, 10, 100, 30};
  const int width = measure("Tesk").right;
  font.DrawText(&bm, "Tesk", -1, &r, GetParam().flags | LICE_DT_NOCLIP);
  const Ink ink = inkOf(&bm);
  ASSERT_GT(ink.sum, 0);
  EXPECT_GE(ink.top, 10) << "text hangs from the rectangle's top";
  EXPECT_LT(ink.bottom, 10 + 12);
  int expectedLeft = 20;
  if (GetParam().flags & LICE_DT_CENTER) expectedLeft = 20 + (80 - width) / 2;
  if (GetParam().flags & LICE_DT_RIGHT) expectedLeft = 100 - width;
  EXPECT_NEAR(ink.left, expectedLeft, 2);
  EXPECT_NEAR(ink.right + 1, expectedLeft + width, 2);
}

const AlignCase kAlign[] = {{"left", LICE_DT_LEFT}, {"centre", LICE_DT_CENTER}, {"right", LICE_DT_RIGHT}};
INSTANTIATE_TEST_SUITE_P(Table, TextAlign, testing::ValuesIn(kAlign),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextFixture, WithoutNoClipTheRectangleClips)
{
  RECT r{10, 10, 16, 30};
  font.DrawText(&bm, "MMMMMM", -1, &r, 0);
  const Ink clipped = inkOf(&bm);
  EXPECT_GE(clipped.left, 10);
  EXPECT_LE(clipped.right, 15);
  LICE_Clear(&bm, LICE_RGBA(255, 255, 255, 255));
  font.DrawText(&bm, "MMMMMM", -1, &r, LICE_DT_NOCLIP);
  EXPECT_GT(inkOf(&bm).right, 30);
}

TEST_F(TextFixture, ColourAlphaScalesTextOnlyWhenAsked)
{
  RECT r{0, 0, 120, 40};
  font.SetTextColor(LICE_RGBA(0, 0, 0, 0));
  font.DrawText(&bm, "Tesk", -1, &r, LICE_DT_NOCLIP | LICE_DT_USEFGALPHA);
  EXPECT_EQ(inkOf(&bm).sum, 0) << "fully transparent text";
  font.SetTextColor(LICE_RGBA(0, 0, 0, 128));
  font.DrawText(&bm, "Tesk", -1, &r, LICE_DT_NOCLIP | LICE_DT_USEFGALPHA);
  const long long half = inkOf(&bm).sum;
  LICE_Clear(&bm, LICE_RGBA(255, 255, 255, 255));
  font.DrawText(&bm, "Tesk", -1, &r, LICE_DT_NOCLIP);
  const long long full = inkOf(&bm).sum;
  EXPECT_GT(half, full * 4 / 10);
  EXPECT_LT(half, full * 6 / 10);
}

TEST_F(TextFixture, TextColourIsUsed)
{
  font.SetTextColor(LICE_RGBA(255, 0, 0, 255));
  EXPECT_EQ(font.GetTextColor(), LICE_RGBA(255, 0, 0, 255));
  RECT r{0, 0, 120, 40};
  font.DrawText(&bm, "MWM", -1, &r, LICE_DT_NOCLIP);
  bool sawRed = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
    {
      const LICE_pixel p = LICE_GetPixel(&bm, x, y);
      EXPECT_EQ(LICE_GETR(p), 255u) << "red over white keeps the red channel full";
      EXPECT_EQ(LICE_GETG(p), LICE_GETB(p));
      sawRed |= LICE_GETG(p) < 64;
    }
  EXPECT_TRUE(sawRed);
}

TEST(Fonts, BoldInksMoreAndNonAntialiasedInksOnlyFullPixels)
{
  auto drawWith = [](HFONT f) {
    LICE_CachedFont font;
    font.SetFromHFont(f, LICE_FONT_FLAG_OWNS_HFONT);
    LICE_MemBitmap bm(100, 30);
    LICE_Clear(&bm, LICE_RGBA(255, 255, 255, 255));
    RECT r{2, 2, 98, 28};
    font.DrawText(&bm, "Hello", -1, &r, LICE_DT_NOCLIP);
    return inkOf(&bm);
  };
  const Ink normal = drawWith(makeFont("DejaVu Sans", 16));
  const Ink bold = drawWith(makeFont("DejaVu Sans", 16, FW_BOLD));
  const Ink mono = drawWith(makeFont("DejaVu Sans", 16, FW_NORMAL, NONANTIALIASED_QUALITY));
  EXPECT_GT(bold.sum, normal.sum * 11 / 10);
  EXPECT_FALSE(normal.onlyFullCoverage);
  EXPECT_TRUE(mono.onlyFullCoverage);
  EXPECT_GT(mono.sum, 0);
}

TEST(Fonts, RotatedTextRunsAlongTheEscapement)
{
  LICE_CachedFont font;
  font.SetFromHFont(makeFont("DejaVu Sans", 14, FW_NORMAL, DEFAULT_QUALITY, 900), LICE_FONT_FLAG_OWNS_HFONT);
  LICE_MemBitmap bm(60, 80);
  LICE_Clear(&bm, LICE_RGBA(255, 255, 255, 255));
  RECT r{10, 70, 50, 80};
  font.DrawText(&bm, "Hello", -1, &r, LICE_DT_NOCLIP);
  const Ink ink = inkOf(&bm);
  ASSERT_GT(ink.sum, 0);
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left)) << "a quarter turn stands the text upright";
}

TEST_F(TextFixture, EdgesAndOddInputAreSafe)
{
  RECT r{-30, -5, 200, 60};
  font.DrawText(&bm, "clipped on every side", -1, &r, LICE_DT_NOCLIP);
  r = {115, 35, 200, 60};
  font.DrawText(&bm, "MMMM", -1, &r, LICE_DT_NOCLIP);
  const char bad[] = {'a', char(0xff), char(0xc3), 'b', char(0xe2), char(0x82), 0};
  r = {0, 0, 100, 20};
  font.DrawText(&bm, bad, -1, &r, LICE_DT_NOCLIP);
  EXPECT_EQ(measure("\xc3\xa9").right, measure("e").right) << "UTF-8 decodes to one character";
  EXPECT_EQ(font.DrawText(&bm, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(nullptr, "x", -1, &r, 0), 12);
  EXPECT_EQ(measure("").right, 0);
}

TEST(Fonts, ReplacingAnOwnedFontDeletesTheOldOne)
{
  // Leak checkers see a double delete or a lost font here.
  LICE_CachedFont font;
  font.SetFromHFont(makeFont("Monaco", 10), LICE_FONT_FLAG_OWNS_HFONT);
  font.SetFromHFont(makeFont("Monaco", 8), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_EQ(font.GetLineHeight(), 8);
  HFONT borrowed = makeFont("Monaco", 9);
  font.SetFromHFont(borrowed, 0);
  font.SetFromHFont(nullptr, 0);
  EXPECT_TRUE(DeleteObject(borrowed)) << "a borrowed font stays the caller's";
}

}  // namespace
