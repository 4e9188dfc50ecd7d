// Fader geometry, snapping and hit area; knob drags with gearing and direction; what
// the line, rotating and masked knobs draw.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ControlsTestSupport.h"

namespace
{
// ---- Fader ----

struct FaderGeometryCase
{
  const char* name;
  EDirection direction;
  int bitmapW, bitmapH;
  IRECT rect;
  int headroom;
  IRECT atZero, atHalf, atOne;
};

TEST(IFaderControl, GeometryFollowsTheHandleAndTheTravel)
{
  const FaderGeometryCase cases[] = {
    {"vertical", kVertical, 10, 20, IRECT(30, 40, 40, 140), 20, IRECT(30, 120, 40, 140), IRECT(30, 80, 40, 100),
     IRECT(30, 40, 40, 60)},
    {"horizontal", kHorizontal, 20, 10, IRECT(30, 40, 130, 50), 20, IRECT(30, 40, 50, 50), IRECT(70, 40, 90, 50),
     IRECT(110, 40, 130, 50)},
    {"vertical, odd room truncates", kVertical, 10, 21, IRECT(30, 40, 40, 140), 21, IRECT(30, 119, 40, 140),
     IRECT(30, 79, 40, 100), IRECT(30, 40, 40, 61)},
  };
  for (const FaderGeometryCase& c : cases)
  {
    FramesBitmap handle(c.bitmapW, c.bitmapH, 1);
    IFaderControl fader(nullptr, 30, 40, 100, -1, &handle.bitmap, c.direction);
    EXPECT_EQ(*fader.GetRECT(), c.rect) << c.name;
    EXPECT_EQ(fader.GetHandleHeadroom(), c.headroom) << c.name;
    EXPECT_EQ(fader.GetHandleRECT(0.0), c.atZero) << c.name;
    EXPECT_EQ(fader.GetHandleRECT(0.5), c.atHalf) << c.name;
    EXPECT_EQ(fader.GetHandleRECT(1.0), c.atOne) << c.name;
    EXPECT_EQ(fader.GetHandleRECT(), c.atZero) << c.name << ": a negative value means the current one";
  }
}

struct SnapCase
{
  const char* name;
  EDirection direction;
  int handleLen;
  int x, y;
  double value;
};

TEST(IFaderControl, PressAndDragPutTheHandleCentreUnderThePointer)
{
  const SnapCase cases[] = {
    {"vertical middle", kVertical, 20, 35, 90, 0.5},
    {"vertical bottom", kVertical, 20, 35, 130, 0.0},
    {"vertical top", kVertical, 20, 35, 50, 1.0},
    {"vertical above the travel clamps", kVertical, 20, 35, 40, 1.0},
    {"vertical odd handle halves by integer", kVertical, 21, 35, 90, 1.0 - 40.0 / 79.0},
    {"horizontal middle", kHorizontal, 20, 80, 45, 0.5},
    {"horizontal left", kHorizontal, 20, 40, 45, 0.0},
    {"horizontal right edge clamps", kHorizontal, 20, 129, 45, 1.0},
  };
  for (const SnapCase& c : cases)
  {
    FramesBitmap handle(c.direction == kVertical ? 10 : c.handleLen, c.direction == kVertical ? c.handleLen : 10, 1);
    ControlsEditor ed;
    auto* fader = ed.Attach(new IFaderControl(&ed.plug, 30, 40, 100, 0, &handle.bitmap, c.direction));
    ed.Press(c.x, c.y);
    EXPECT_DOUBLE_EQ(fader->GetValue(), c.value) << c.name << " (press)";
    ASSERT_EQ(ed.plug.pushes.size(), 1u) << c.name;
    EXPECT_DOUBLE_EQ(ed.plug.pushes[0], c.value) << c.name;

    // A drag that ends at the same point from elsewhere snaps the same way.
    fader->SetValueFromPlug(0.25);
    if (c.direction == kVertical)
      ed.Press(c.x, c.y + 1);
    else
      ed.Press(c.x - 1, c.y);
    ed.Drag(c.x, c.y);
    EXPECT_DOUBLE_EQ(fader->GetValue(), c.value) << c.name << " (drag)";
  }
}

TEST(IFaderControl, HandleOnlyFaderIsHitOnItsHandleOnly)
{
  FramesBitmap handle(10, 20, 1);
  ControlsEditor ed;
  auto* fader = ed.Attach(new IFaderControl(&ed.plug, 30, 40, 100, 0, &handle.bitmap, kVertical, true));
  fader->SetValueFromPlug(0.0);  // handle at y 120..140
  ed.Press(35, 50);
  ed.Release(35, 50);
  EXPECT_TRUE(ed.plug.pushes.empty()) << "the track beside the handle is not the fader's";
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(35, 50), -1);

  ed.Press(35, 125);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0 - 75.0 / 80.0);
  ed.Drag(35, 90);  // dragged off the handle: the captured fader still follows
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
  ed.Release(35, 90);
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(35, 85), 0) << "the hit area moved with the handle";
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(35, 125), -1);
}

TEST(IFaderControl, RightPressPromptsWithoutMoving)
{
  FramesBitmap handle(10, 20, 1);
  ControlsEditor ed;
  auto* fader = ed.Attach(new IFaderControl(&ed.plug, 30, 40, 100, 0, &handle.bitmap));
  fader->DisablePrompt(false);
  fader->SetValueFromPlug(0.3);
  ed.Press(35, 50, IMouseMod(false, true));
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.3);
  EXPECT_TRUE(ed.plug.pushes.empty());
  EXPECT_TRUE(ed.gfx->GetTextEntry().mOpen);
}

TEST(IFaderControl, HandleAsLongAsTheTravelKeepsItsValue)
{
  FramesBitmap handle(10, 100, 1);
  ControlsEditor ed;
  auto* fader = ed.Attach(new IFaderControl(&ed.plug, 0, 0, 100, 0, &handle.bitmap));
  fader->SetValueFromPlug(0.4);
  ed.Press(5, 70);
  ed.Drag(5, 20);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.4);
  ASSERT_EQ(ed.plug.pushes.size(), 2u);
  EXPECT_DOUBLE_EQ(ed.plug.pushes[1], 0.4) << "never a value that is not a number";
}

TEST(IFaderControl, DrawsTheHandleWhereTheValuePutsIt)
{
  FramesBitmap handle(10, 20, 1);
  ControlsEditor ed;
  const IColor black(255, 0, 0, 0);
  ed.gfx->AttachPanelBackground(&black);
  auto* fader = ed.Attach(new IFaderControl(&ed.plug, 30, 40, 100, 0, &handle.bitmap));
  fader->SetValueFromPlug(0.5);
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(30, 80), FrameColor(1).ToPixel());
  EXPECT_EQ(ed.Pixel(39, 99), FrameColor(1).ToPixel());
  EXPECT_EQ(ed.Pixel(35, 79), black.ToPixel());
  EXPECT_EQ(ed.Pixel(35, 100), black.ToPixel());
}

// ---- Knob drags ----

struct DragCase
{
  const char* name;
  EDirection direction;
  double gearing;
  int dX, dY;
  IMouseMod mod;
  double start, end;
};

// The knob is 40 x 40 pixels.
TEST(IKnobControl, DragMovesTheValueByTheExtentAndGearing)
{
  const DragCase cases[] = {
    {"up half the height, gearing 2", kVertical, 2.0, 0, -20, IMouseMod(true), 0.25, 0.5},
    {"down half the height, gearing 2", kVertical, 2.0, 0, 20, IMouseMod(true), 0.5, 0.25},
    {"shift is ten times finer", kVertical, 2.0, 0, -20, IMouseMod(true, false, true), 0.25, 0.275},
    {"control is ten times finer", kVertical, 2.0, 0, -20, IMouseMod(true, false, false, true), 0.25, 0.275},
    {"option is not finer", kVertical, 2.0, 0, -20, IMouseMod(true, false, false, false, true), 0.25, 0.5},
    {"vertical ignores sideways moves", kVertical, 2.0, 30, 0, IMouseMod(true), 0.25, 0.25},
    {"right, default gearing", kHorizontal, DEFAULT_GEARING, 20, 0, IMouseMod(true), 0.25, 0.375},
    {"left", kHorizontal, 1.0, -10, 0, IMouseMod(true), 0.5, 0.25},
    {"horizontal ignores vertical moves", kHorizontal, 1.0, 0, -30, IMouseMod(true), 0.5, 0.5},
    {"clamped at the top", kVertical, 1.0, 0, -30, IMouseMod(true), 0.9, 1.0},
    {"clamped at the bottom", kVertical, 1.0, 0, 30, IMouseMod(true), 0.1, 0.0},
  };
  FramesBitmap strip(40, 40, 1);
  for (const DragCase& c : cases)
  {
    ControlsEditor ed;
    auto* knob = ed.Attach(new IKnobMultiControl(&ed.plug, 10, 10, 2, &strip.bitmap, c.direction, c.gearing));
    knob->SetValueFromPlug(c.start);
    ed.Press(30, 30, c.mod);
    ed.Drag(30 + c.dX, 30 + c.dY, c.mod);
    EXPECT_NEAR(knob->GetValue(), c.end, 1e-12) << c.name;
    ASSERT_FALSE(ed.plug.pushes.empty()) << c.name;
    EXPECT_NEAR(ed.plug.pushes.back(), c.end, 1e-12) << c.name;
    ed.Release(30 + c.dX, 30 + c.dY);
    EXPECT_EQ(ed.plug.log, (std::vector<std::string>{"begin 2", "end 2"})) << c.name;
  }
}

// The editor's own knobs derive from the base with their own drawing.
class DotKnob final : public IKnobControl
{
public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};

TEST(IKnobControl, KnobWithoutExtentOrGearingDoesNotMove)
{
  const struct
  {
    const char* name;
    IRECT rect;
    double gearing;
  } rows[] = {
    {"flat", IRECT(0, 10, 40, 10), 4.0},
    {"no gearing", IRECT(0, 0, 40, 40), 0.0},
  };
  for (const auto& row : rows)
  {
    DotKnob knob(nullptr, row.rect, -1, kVertical, row.gearing);
    knob.SetValueFromPlug(0.3);
    knob.OnMouseDrag(0, 0, 0, -5, nullptr);
    EXPECT_DOUBLE_EQ(knob.GetValue(), 0.3) << row.name;
  }
  DotKnob defaults(nullptr, IRECT(0, 0, 10, 10), -1);
  EXPECT_EQ(defaults.GetDirection(), kVertical);
  EXPECT_EQ(defaults.GetGearing(), DEFAULT_GEARING);
}

// ---- What knobs draw ----

bool Lit(unsigned pixel) { return IColor::FromPixel(pixel).R > 128; }

TEST(IKnobLineControl, LineTurnsClockwiseFromStraightUp)
{
  ControlsEditor ed;
  const IColor black(255, 0, 0, 0), red(255, 255, 0, 0);
  ed.gfx->AttachPanelBackground(&black);
  // Outer radius 0 reaches half the width: 20 pixels from the centre (70, 70).
  auto* knob =
    ed.Attach(new IKnobLineControl(&ed.plug, IRECT(50, 50, 90, 90), 0, &red, 5.0, 0.0, 0.0, std::numbers::pi / 2));
  EXPECT_EQ(knob->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  const struct
  {
    double value;
    int litX, litY, darkX, darkY;
  } rows[] = {
    {0.0, 70, 56, 70, 84},  // up
    {1.0, 84, 70, 56, 70},  // right
  };
  for (const auto& row : rows)
  {
    knob->SetValueFromPlug(row.value);
    ed.gfx->DrawAll();
    EXPECT_TRUE(Lit(ed.Pixel(row.litX, row.litY))) << row.value;
    EXPECT_FALSE(Lit(ed.Pixel(row.darkX, row.darkY))) << row.value;
    EXPECT_FALSE(Lit(ed.Pixel(70, 70))) << "the inner radius stays clear";
    EXPECT_FALSE(Lit(ed.Pixel(70, 45))) << "nothing beyond the outer radius";
  }
}

// An opaque black square with a white block in the middle of its top edge.
struct MarkerBitmap
{
  explicit MarkerBitmap(int size = 21, unsigned background = IColor(255, 0, 0, 0).ToPixel())
    : bits(std::make_unique<LICE_MemBitmap>(size, size, 4)),
      bitmap(bits.get(), size, size, 1)
  {
    LICE_FillRect(bits.get(), 0, 0, size, size, background, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_FillRect(bits.get(), size / 2 - 2, 0, 5, 5, COLOR_WHITE.ToPixel(), 1.0f, LICE_BLIT_MODE_COPY);
  }
  std::unique_ptr<LICE_MemBitmap> bits;
  IBitmap bitmap;
};

TEST(IKnobRotaterControl, TurnsItsBitmapAboutTheCentre)
{
  MarkerBitmap marker;
  ControlsEditor ed;
  const IColor gray(255, 60, 60, 60);
  ed.gfx->AttachPanelBackground(&gray);
  auto* knob = ed.Attach(new IKnobRotaterControl(&ed.plug, 100, 100, 0, &marker.bitmap, 0.0, std::numbers::pi));
  EXPECT_EQ(*knob->GetRECT(), IRECT(100, 100, 121, 121));
  const struct
  {
    double value;
    int litX, litY, darkX, darkY;
  } rows[] = {
    {0.0, 110, 102, 110, 118},  // marker on top
    {0.5, 118, 110, 102, 110},  // a quarter turn clockwise: on the right
    {1.0, 110, 118, 110, 102},  // half a turn: at the bottom
  };
  for (const auto& row : rows)
  {
    knob->SetValueFromPlug(row.value);
    ed.gfx->DrawAll();
    EXPECT_TRUE(Lit(ed.Pixel(row.litX, row.litY))) << row.value;
    EXPECT_FALSE(Lit(ed.Pixel(row.darkX, row.darkY))) << row.value;
    EXPECT_EQ(ed.Pixel(110, 110), IColor(255, 0, 0, 0).ToPixel()) << "the body stays where it is";
  }
}

TEST(IKnobRotatingMaskControl, TurnsTheTopImageOverAFixedBase)
{
  const unsigned transparent = 0;
  MarkerBitmap base(21, IColor(255, 0, 0, 90).ToPixel()), mask(21, IColor(255, 0, 0, 0).ToPixel()),
    top(21, transparent);
  ControlsEditor ed;
  const IColor gray(255, 60, 60, 60);
  ed.gfx->AttachPanelBackground(&gray);
  auto* knob =
    ed.Attach(new IKnobRotatingMaskControl(&ed.plug, 100, 100, 0, &base.bitmap, &mask.bitmap, &top.bitmap, 0.0, 180.0));
  EXPECT_EQ(*knob->GetRECT(), IRECT(100, 100, 121, 121));
  knob->SetValueFromPlug(0.0);
  knob->SetValueFromPlug(1.0);
  ed.gfx->DrawAll();
  // The base's own marker stays on top; the top image's marker turned to the bottom.
  EXPECT_TRUE(Lit(ed.Pixel(110, 102)));
  EXPECT_TRUE(Lit(ed.Pixel(110, 118)));
  EXPECT_FALSE(Lit(ed.Pixel(102, 110)));
  EXPECT_NE(ed.Pixel(102, 110), gray.ToPixel()) << "the base covers the knob's area";
}

TEST(IKnobMultiControl, ShowsTheFrameTheValueSelects)
{
  FramesBitmap strip(6, 6, 5);
  ControlsEditor ed;
  auto* knob = ed.Attach(new IKnobMultiControl(&ed.plug, 0, 0, 0, &strip.bitmap));
  EXPECT_EQ(*knob->GetRECT(), IRECT(0, 0, 6, 6));
  knob->SetValueFromPlug(0.0);
  knob->SetValueFromPlug(0.6);
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(3, 3), FrameColor(3).ToPixel());
}
}  // namespace
