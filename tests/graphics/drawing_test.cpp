#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "GraphicsTestSupport.h"

namespace
{
// Runs a drawing function inside a redraw pass, so the draw clip is the pass's area.
class DrawFnControl final : public IControl
{
public:
  DrawFnControl(IRECT r, std::function<void(IGraphics*)> fn)
    : IControl(nullptr, r),
      mFn(std::move(fn))
  {
  }
  bool Draw(IGraphics* pGraphics) override
  {
    mFn(pGraphics);
    return true;
  }

private:
  std::function<void(IGraphics*)> mFn;
};

struct DrawFixture : EditorFixture
{
  DrawFixture()
    : EditorFixture(1, 64, 48)
  {
  }

  // Draws fn with the given clip on a surface cleared to `background`.
  void Run(IRECT clip, const std::function<void(IGraphics*)>& fn, IColor background = IColor(0, 0, 0, 0))
  {
    LICE_Clear(gfx->GetDrawBitmap(), background.ToPixel());
    if (gfx->NControls() == 0)
      gfx->AttachControl(new DrawFnControl(IRECT(0, 0, 64, 48), [this](IGraphics* g) { mFn(g); }));
    mFn = fn;
    gfx->Draw(&clip);
  }
  void Run(const std::function<void(IGraphics*)>& fn, IColor background = IColor(0, 0, 0, 0))
  {
    Run(IRECT(0, 0, 64, 48), fn, background);
  }
  IColor At(int x, int y) { return gfx->GetPoint(x, y); }

  std::function<void(IGraphics*)> mFn;
};

// A bitmap whose pixel (x, y) has red = x and green = y, opaque.
std::unique_ptr<LICE_MemBitmap> CoordinateBitmap(int w, int h)
{
  auto bmp = std::make_unique<LICE_MemBitmap>(w, h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp->getBits()[y * bmp->getRowSpan() + x] = IColor(255, x, y, 0).ToPixel();
  return bmp;
}

TEST(DrawBitmap, FrameSelection)
{
  auto vertical = CoordinateBitmap(1, 100);
  auto horizontal = CoordinateBitmap(100, 1);
  struct Case
  {
    const char* name;
    bool horizontalFrames;
    int n, frame;
    int srcX, srcY;
  };
  const Case cases[] = {
    {"vertical frame 1", false, 4, 1, 0, 0},
    {"vertical frame 3", false, 4, 3, 0, 50},
    {"vertical frame 4", false, 4, 4, 0, 75},
    {"vertical frame 0", false, 4, 0, 0, 0},
    {"vertical negative frame", false, 4, -2, 0, 0},
    {"single frame ignores the frame number", false, 1, 3, 0, 0},
    {"exact half-pixel offset rounds up", false, 40, 24, 0, 58},
    {"horizontal thirds round half up", true, 3, 2, 33, 0},
    {"horizontal third frame", true, 3, 3, 67, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    DrawFixture f;
    IBitmap bm(c.horizontalFrames ? horizontal.get() : vertical.get(), c.horizontalFrames ? 100 : 1,
               c.horizontalFrames ? 1 : 100, c.n, c.horizontalFrames);
    IRECT dest(5, 6, 6, 7);
    IChannelBlend clobber(IChannelBlend::kBlendClobber);
    f.Run([&](IGraphics* g) { g->DrawBitmap(&bm, &dest, c.frame, &clobber); });
    EXPECT_EQ(f.At(5, 6), IColor(255, c.srcX, c.srcY, 0));
  }
}

TEST(DrawBitmap, ClipsToTheDrawClipAndShiftsTheSource)
{
  auto src = CoordinateBitmap(20, 20);
  IBitmap bm(src.get(), 20, 20);
  DrawFixture f;
  IRECT dest(10, 10, 30, 30);
  f.Run(IRECT(15, 12, 40, 40), [&](IGraphics* g) { g->DrawBitmap(&bm, &dest, 2, 3); });
  EXPECT_EQ(f.At(15, 12), IColor(255, 7, 5, 0)) << "source offset plus the clipped-away part";
  EXPECT_EQ(f.At(27, 26), IColor(255, 19, 19, 0)) << "the source's last pixel";
  EXPECT_EQ(f.At(28, 26), IColor(0, 0, 0, 0)) << "past the source's right edge";
  EXPECT_EQ(f.At(14, 12), IColor(0, 0, 0, 0)) << "left of the clip";
  EXPECT_EQ(f.At(15, 11), IColor(0, 0, 0, 0)) << "above the clip";
}

TEST(DrawBitmap, DestinationOutsideTheClipDrawsNothing)
{
  auto src = CoordinateBitmap(8, 8);
  IBitmap bm(src.get(), 8, 8);
  DrawFixture f;
  IRECT dest(40, 30, 48, 38);
  f.Run(IRECT(0, 0, 20, 20), [&](IGraphics* g) { g->DrawBitmap(&bm, &dest, 1); });
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(f.At(x, y), IColor(0, 0, 0, 0)) << x << "," << y;
}

TEST(DrawBitmap, BitmapWithoutDataDrawsNothing)
{
  DrawFixture f;
  IBitmap missing;
  IRECT dest(0, 0, 10, 10);
  bool drew = true;
  f.Run([&](IGraphics* g) { drew = g->DrawBitmap(&missing, &dest, 1); });
  EXPECT_FALSE(drew);
  EXPECT_EQ(f.At(0, 0), IColor(0, 0, 0, 0));
}

TEST(DrawBitmap, BlendMethodsMapToModeWords)
{
  // One source pixel with alpha 128 and red 200 over a destination with red 100, alpha 0.
  LICE_MemBitmap src(1, 1, 4);
  src.getBits()[0] = IColor(128, 200, 0, 0).ToPixel();
  IBitmap bm(&src, 1, 1);
  struct Case
  {
    const char* name;
    const IChannelBlend* blend;
    IColor expected;
  };
  const IChannelBlend clobber(IChannelBlend::kBlendClobber), add(IChannelBlend::kBlendAdd),
    half(IChannelBlend::kBlendNone, 0.5f), unknown(static_cast<IChannelBlend::EBlendMethod>(9));
  const Case cases[] = {
    {"no blend: copy with source alpha", nullptr, IColor(128, 151, 0, 0)},
    {"unknown method: as none", &unknown, IColor(128, 151, 0, 0)},
    {"clobber: plain copy", &clobber, IColor(128, 200, 0, 0)},
    {"add with source alpha", &add, IColor(64, 200, 0, 0)},
    {"half weight with source alpha", &half, IColor(64, 125, 0, 0)},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    DrawFixture f;
    IRECT dest(3, 3, 4, 4);
    f.Run([&](IGraphics* g) { g->DrawBitmap(&bm, &dest, 0, 0, c.blend); }, IColor(0, 100, 0, 0));
    EXPECT_EQ(f.At(3, 3), c.expected);
  }
}

TEST(DrawPrimitives, PointsAndLinesStoreTheColourWordWithoutAlphaBit)
{
  DrawFixture f;
  const IColor faint(15, 10, 20, 30), grey(255, 200, 100, 50);
  const IChannelBlend half(IChannelBlend::kBlendNone, 0.5f), add(IChannelBlend::kBlendAdd);
  f.Run(
    [&](IGraphics* g) {
      g->DrawPoint(&faint, 2.4f, 3.6f);              // rounds to (2, 4)
      g->DrawPoint(&grey, 10.0f, 10.0f, &half);      // halves of both
      g->DrawLine(&grey, 20.9f, 5.2f, 25.7f, 5.9f);  // truncated to (20,5)-(25,5)
      g->DrawPoint(&grey, 30.0f, 30.0f, &add);
      g->DrawPoint(&grey, 30.0f, 30.0f, &add);
    },
    IColor(255, 0, 0, 0));
  EXPECT_EQ(f.At(2, 4), faint) << "copy at full weight keeps the colour's own alpha";
  EXPECT_EQ(f.At(10, 10), IColor(254, 100, 50, 25)) << "per-byte halves";
  EXPECT_EQ(f.At(20, 5), grey);
  EXPECT_EQ(f.At(25, 5), grey);
  EXPECT_EQ(f.At(26, 5), IColor(255, 0, 0, 0));
  EXPECT_EQ(f.At(30, 30), IColor(255, 255, 200, 100)) << "add mode, clamped";
}

TEST(DrawPrimitives, LinesAcrossARectangleByFraction)
{
  struct Case
  {
    const char* name;
    bool horizontal;
    float where;
    int expected;  // row or column
  };
  const Case cases[] = {
    {"0 is the bottom edge", true, 0.0f, 40},
    {"1 is the top edge", true, 1.0f, 10},
    {"half way", true, 0.5f, 25},
    {"above 1 is limited", true, 1.7f, 10},
    {"below 0 is limited", true, -0.3f, 40},
    {"vertical 0 is the left edge", false, 0.0f, 10},
    {"vertical 1 is the right edge", false, 1.0f, 50},
    {"vertical 0.25", false, 0.25f, 20},
  };
  const IColor white = COLOR_WHITE;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    DrawFixture f;
    IRECT r(10, 10, 50, 40);
    f.Run([&](IGraphics* g) {
      if (c.horizontal)
        g->DrawHorizontalLine(&white, &r, c.where);
      else
        g->DrawVerticalLine(&white, &r, c.where);
    });
    if (c.horizontal)
    {
      EXPECT_EQ(f.At(30, c.expected), white);
      EXPECT_NE(f.At(30, c.expected + 1), white);
      EXPECT_NE(f.At(30, c.expected - 1), white);
    }
    else
    {
      EXPECT_EQ(f.At(c.expected, 25), white);
      EXPECT_NE(f.At(c.expected + 1, 25), white);
      EXPECT_NE(f.At(c.expected - 1, 25), white);
    }
  }
}

TEST(DrawPrimitives, RadialLineZeroPointsUpAndTurnsClockwise)
{
  DrawFixture f;
  const IColor white = COLOR_WHITE;
  f.Run([&](IGraphics* g) {
    g->DrawRadialLine(&white, 20.0f, 20.0f, 0.0f, 3.0f, 10.0f);
    g->DrawRadialLine(&white, 40.0f, 20.0f, static_cast<float>(M_PI / 2), 3.0f, 10.0f);
  });
  EXPECT_EQ(f.At(20, 12), white);
  EXPECT_NE(f.At(20, 19), white) << "the inner radius stays empty";
  EXPECT_NE(f.At(20, 28), white);
  EXPECT_EQ(f.At(48, 20), white);
  EXPECT_NE(f.At(32, 20), white);
}

TEST(DrawPrimitives, RectOutlineIncludesTheFarEdges)
{
  DrawFixture f;
  const IColor red = COLOR_RED;
  IRECT r(10, 10, 20, 15);
  f.Run([&](IGraphics* g) { g->DrawRect(&red, &r); });
  for (auto [x, y] : {std::pair{10, 10}, {20, 10}, {10, 15}, {20, 15}, {15, 10}, {15, 15}, {10, 12}, {20, 12}})
    EXPECT_EQ(f.At(x, y), red) << x << "," << y;
  EXPECT_NE(f.At(15, 12), red);
}

TEST(DrawPrimitives, FilledShapesCoverTheirInsides)
{
  DrawFixture f;
  const IColor blue = COLOR_BLUE;
  IRECT rr(10, 10, 30, 30), fill(40, 5, 44, 8);
  f.Run([&](IGraphics* g) {
    g->FillRoundRect(&blue, &rr, nullptr, 5, false);
    g->FillIRect(&blue, &fill);
    g->FillTriangle(&blue, 40, 20, 60, 20, 50, 40, nullptr);
  });
  EXPECT_EQ(f.At(20, 20), blue);
  EXPECT_EQ(f.At(20, 10), blue) << "top band";
  EXPECT_EQ(f.At(10, 20), blue) << "left band";
  EXPECT_NE(f.At(10, 10), blue) << "rounded corner";
  EXPECT_NE(f.At(29, 29), blue) << "rounded corner";
  EXPECT_EQ(f.At(40, 5), blue);
  EXPECT_EQ(f.At(43, 7), blue);
  EXPECT_NE(f.At(44, 7), blue) << "fills exclude the far edges";
  EXPECT_EQ(f.At(50, 25), blue);
}

TEST(DrawPrimitives, ForcePixelRoundTripsAndIgnoresPointsOffTheSurface)
{
  DrawFixture f;
  const IColor c(255, 1, 2, 3);
  EXPECT_TRUE(f.gfx->ForcePixel(&c, 63, 47));
  EXPECT_EQ(f.gfx->GetPoint(63, 47), c);
  const IColor clear(0, 9, 9, 9);
  EXPECT_TRUE(f.gfx->ForcePixel(&clear, 0, 0));
  EXPECT_EQ(f.gfx->GetPoint(0, 0), clear) << "no blending, alpha included";
  EXPECT_FALSE(f.gfx->ForcePixel(&c, 64, 0));
  EXPECT_FALSE(f.gfx->ForcePixel(&c, 0, 48));
  EXPECT_FALSE(f.gfx->ForcePixel(&c, -1, 5));
  EXPECT_EQ(static_cast<LICE_pixel*>(f.gfx->GetBits())[47 * 64 + 63], c.ToPixel());
}

TEST(DrawPrimitives, RotatedMaskUsesTheBaseColoursThroughTheScratchBitmap)
{
  DrawFixture f;
  LICE_MemBitmap base(5, 5, 4), mask(5, 5, 4), top(5, 5, 4);
  LICE_Clear(&base, IColor(255, 200, 10, 20).ToPixel());
  LICE_Clear(&mask, 0);
  LICE_Clear(&top, 0);
  IBitmap b(&base, 5, 5), m(&mask, 5, 5), t(&top, 5, 5);
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  f.Run([&](IGraphics* g) { g->DrawRotatedMask(&b, &m, &t, 30, 20, 45.0, &clobber); });
  EXPECT_EQ(f.At(32, 22), IColor(0, 200, 10, 20)) << "the base's alpha is cleared";
  EXPECT_EQ(f.At(35, 22), IColor(0, 0, 0, 0));
}
}  // namespace
