#include <gtest/gtest.h>

#include <memory>

#include "GraphicsTestSupport.h"
#include "IGraphicsEmbeddedImages.h"
#include "IGraphicsStorage.h"

// The bitmap cache is shared by the whole process, so every test uses IDs of its own.
namespace
{
TEST(CompiledInImages, FoundByLastPathComponentWithAPngExtensionOfAnyCase)
{
  struct Case
  {
    const char* name;
    const char* file;
    bool found;
  };
  const Case cases[] = {
    {"bare name", "dial.png", true},
    {"folder part is ignored", "resources/img/dial.png", true},
    {"upper-case extension", "some/where/dial.PNG", true},
    {"mixed-case extension", "dial.Png", true},
    {"the name itself is matched exactly", "img/DIAL.png", false},
    {"no extension", "dial", false},
    {"another extension", "dial.jpg", false},
    {"png is not the last extension", "dial.png.bak", false},
    {"a dot in a folder only", "img.png/dial", false},
    {"not compiled in", "knob.png", false},
  };
  EditorFixture f;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::unique_ptr<LICE_IBitmap> bmp(f.gfx->OSLoadBitmap(0, c.file));
    EXPECT_EQ(bmp != nullptr, c.found);
    if (bmp)
    {
      EXPECT_EQ(bmp->getWidth(), 32);
      EXPECT_EQ(bmp->getHeight(), 96);
    }
  }
  EXPECT_EQ(f.gfx->OSLoadBitmap(0, nullptr), nullptr);
}

TEST(CompiledInImages, TestsCanRegisterTheirOwnAndCorruptDataLoadsNothing)
{
  static const unsigned char notPng[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
  EXPECT_TRUE(RegisterEmbeddedImage("broken.png", notPng, sizeof(notPng)));
  EXPECT_FALSE(RegisterEmbeddedImage("broken.gif", notPng, sizeof(notPng)));
  EXPECT_TRUE(HasEmbeddedImage("x/broken.png"));
  EditorFixture f;
  EXPECT_EQ(f.gfx->OSLoadBitmap(0, "broken.png"), nullptr);
}

TEST(BitmapLoading, DecodesOnceAndSharesByID)
{
  EditorFixture f;
  const int before = GetBitmapStorage().Count();
  IBitmap a = f.gfx->LoadIBitmap(5001, "resources/img/dial.png", 3);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.W, 32);
  EXPECT_EQ(a.H, 96);
  EXPECT_EQ(a.N, 3);
  EXPECT_FALSE(a.mFramesAreHorizontal);
  IBitmap b = f.gfx->LoadIBitmap(5001, "anything-else.png", 1, true);
  EXPECT_EQ(b.mData, a.mData) << "the ID decides, whatever the name";
  EXPECT_EQ(b.N, 1);
  EXPECT_TRUE(b.mFramesAreHorizontal);
  EXPECT_EQ(GetBitmapStorage().Count(), before + 1);

  EditorFixture second;  // another editor finds the image already loaded
  EXPECT_EQ(second.gfx->LoadIBitmap(5001, "dial.png").mData, a.mData);
}

TEST(BitmapLoading, DecodedPixelsAreInTheSurfaceFormat)
{
  EditorFixture f;
  IBitmap bm = f.gfx->LoadIBitmap(5002, "pixels4x2.png");
  ASSERT_NE(bm.mData, nullptr);
  const IColor expected[2][4] = {
    {IColor(255, 255, 0, 0), IColor(255, 0, 255, 0), IColor(255, 0, 0, 255), IColor(128, 10, 20, 30)},
    {IColor(0, 0, 0, 0), IColor(255, 255, 255, 255), IColor(4, 1, 2, 3), IColor(255, 200, 100, 50)},
  };
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(bm.mData, x, y)), expected[y][x]);
}

TEST(BitmapLoading, MissingImageIsReportedOnceAndDrawsNothing)
{
  EditorFixture f;
  testing::internal::CaptureStderr();
  IBitmap a = f.gfx->LoadIBitmap(5003, "resources/img/nowhere.png", 2);
  IBitmap b = f.gfx->LoadIBitmap(5003, "resources/img/nowhere.png", 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(a.mData, nullptr);
  EXPECT_EQ(b.mData, nullptr);
  EXPECT_EQ(a.W, 0);
  EXPECT_NE(err.find("nowhere.png"), std::string::npos);
  EXPECT_EQ(err.find("nowhere.png"), err.rfind("nowhere.png")) << "reported once: " << err;

  f.gfx->AttachBackground(5003, "resources/img/nowhere.png");
  IRECT all(0, 0, 100, 80);
  EXPECT_TRUE(f.gfx->Draw(&all));
}

TEST(BitmapLoading, BackgroundIsAnOpaqueCopyInFrontOfEverything)
{
  EditorFixture f;
  PlainControl* first = new PlainControl(&f.plug, IRECT(0, 0, 1, 1));
  f.gfx->AttachControl(first);
  f.gfx->AttachBackground(5004, "pixels4x2.png");
  ASSERT_EQ(f.gfx->NControls(), 2);
  EXPECT_EQ(f.gfx->GetControl(1), first);
  IControl* bg = f.gfx->GetControl(0);
  EXPECT_EQ(*bg->GetRECT(), IRECT(0, 0, 4, 2));
  EXPECT_EQ(bg->ParamIdx(), -1);
  EXPECT_EQ(bg->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  IRECT all(0, 0, 100, 80);
  f.gfx->Draw(&all);
  EXPECT_EQ(f.gfx->GetPoint(3, 0), IColor(128, 10, 20, 30)) << "copied with its alpha, not blended";
  EXPECT_EQ(f.gfx->GetPoint(0, 1), IColor(0, 0, 0, 0));

  const IColor panel(255, 9, 8, 7);
  f.gfx->AttachPanelBackground(&panel);
  EXPECT_EQ(*f.gfx->GetControl(0)->GetRECT(), IRECT(0, 0, 100, 80));
  f.gfx->Draw(&all);
  EXPECT_EQ(f.gfx->GetPoint(99, 79), panel);
}

TEST(BitmapCache, ReleaseRemovesEveryEntryHoldingTheBitmap)
{
  EditorFixture f;
  BitmapStorage& cache = GetBitmapStorage();
  IBitmap bm = f.gfx->LoadIBitmap(5005, "pixels4x2.png");
  ASSERT_NE(bm.mData, nullptr);
  const int loaded = cache.Count();
  IBitmap retained = bm;
  f.gfx->RetainBitmap(&retained);  // a second entry with the same pointer
  EXPECT_EQ(cache.Count(), loaded + 1);
  f.gfx->ReleaseBitmap(&retained);
  EXPECT_EQ(retained.mData, nullptr);
  EXPECT_EQ(cache.Count(), loaded - 1);
  EXPECT_EQ(cache.Find(5005), nullptr) << "no entry may point at the deleted bitmap";
  f.gfx->ReleaseBitmap(&retained);  // a second release is harmless
  EXPECT_NE(f.gfx->LoadIBitmap(5005, "pixels4x2.png").mData, nullptr) << "loads again on demand";
}

TEST(BitmapCache, ScaleAndCropMakeRetainedCopies)
{
  EditorFixture f;
  BitmapStorage& cache = GetBitmapStorage();
  IBitmap src = f.gfx->LoadIBitmap(5006, "pixels4x2.png", 2, true);
  const int before = cache.Count();
  IBitmap scaled = f.gfx->ScaleBitmap(&src, 8, 4);
  ASSERT_NE(scaled.mData, nullptr);
  EXPECT_EQ(scaled.W, 8);
  EXPECT_EQ(scaled.H, 4);
  EXPECT_EQ(scaled.N, 2);
  EXPECT_FALSE(scaled.mFramesAreHorizontal);
  IRECT r(1, 0, 3, 2);
  IBitmap cropped = f.gfx->CropBitmap(&src, &r);
  ASSERT_NE(cropped.mData, nullptr);
  EXPECT_EQ(cropped.W, 2);
  EXPECT_EQ(cropped.H, 2);
  EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(cropped.mData, 0, 0)), IColor(255, 0, 255, 0));
  EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(cropped.mData, 1, 1)), IColor(4, 1, 2, 3));
  EXPECT_EQ(cache.Count(), before + 2);
  IRECT none(2, 2, 2, 2);
  EXPECT_EQ(f.gfx->CropBitmap(&src, &none).mData, nullptr);
}

TEST(Fonts, StylesDifferingOnlyInColourOrQualityShareAFont)
{
  EditorFixture f;
  const IColor red = COLOR_RED;
  IText black(13), redText(13, &red), finer(13);
  finer.mQuality = IText::kQualityAntiAliased;
  IText bigger(14), bold(13, nullptr, nullptr, IText::kStyleBold), other(13, nullptr, "DejaVu Sans");
  LICE_CachedFont* font = f.gfx->CacheFont(&black);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(black.mCached, font);
  const int count = GetFontStorage().Count();
  EXPECT_EQ(f.gfx->CacheFont(&redText), font);
  EXPECT_EQ(f.gfx->CacheFont(&finer), font);
  EXPECT_EQ(GetFontStorage().Count(), count);
  EXPECT_NE(f.gfx->CacheFont(&bigger), font);
  EXPECT_NE(f.gfx->CacheFont(&bold), font);
  EXPECT_NE(f.gfx->CacheFont(&other), font);
  EXPECT_EQ(GetFontStorage().Count(), count + 3);
}

TEST(Fonts, EmptyTextDrawsNothingAndLeavesTheRectangle)
{
  EditorFixture f;
  IText t;
  IRECT r(1, 2, 3, 4);
  EXPECT_TRUE(f.gfx->DrawIText(&t, "", &r, true));
  EXPECT_TRUE(f.gfx->DrawIText(&t, nullptr, &r));
  EXPECT_EQ(r, IRECT(1, 2, 3, 4));
  EXPECT_EQ(t.mCached, nullptr) << "no font is made for nothing";
}

TEST(Fonts, MeasuringPlacesTheTextByAlignment)
{
  EditorFixture f;
  IText near(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IText centre(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignCenter);
  IText far(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignFar);
  IRECT rn(20, 5, 101, 30), rc = rn, rf = rn;
  ASSERT_TRUE(f.gfx->MeasureIText(&near, "Level", &rn));
  ASSERT_TRUE(f.gfx->MeasureIText(&centre, "Level", &rc));
  ASSERT_TRUE(f.gfx->MeasureIText(&far, "Level", &rf));
  const int w = rn.W(), h = rn.H();
  EXPECT_GT(w, 10);
  EXPECT_GT(h, 5);
  EXPECT_EQ(rn.L, 20);
  EXPECT_EQ(rn.R, 20 + w) << "right edge where the text ends, not the width itself";
  EXPECT_EQ(rc.L, 60 - w / 2);
  EXPECT_EQ(rc.W(), w);
  EXPECT_EQ(rf.R, 101);
  EXPECT_EQ(rf.L, 101 - w);
  for (const IRECT& r : {rn, rc, rf}) EXPECT_EQ(r.B, 5 + h);
}

TEST(Fonts, DrawingTextInksInsideItsRectangleOnly)
{
  EditorFixture f;
  const IColor white = COLOR_WHITE;
  IRECT all(0, 0, 100, 80);
  f.gfx->FillIRect(&white, &all);
  IText t(14);
  IRECT r(10, 10, 90, 40);
  ASSERT_TRUE(f.gfx->DrawIText(&t, "Tesk", &r));
  int inked = 0, outside = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x)
    {
      const bool dark = f.gfx->GetPoint(x, y).R < 128;
      if (dark && r.Contains(x, y))
        ++inked;
      else if (dark)
        ++outside;
    }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(outside, 0);
}
}  // namespace
