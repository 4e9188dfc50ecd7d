// Frame selection, the panel, the bitmap control and the switches built on it.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ControlsTestSupport.h"

namespace
{
struct FrameCase
{
  const char* name;
  double value;
  int nFrames;
  int frame;
};

TEST(StockControlFrame, PicksTheNearestFrameAndStaysInRange)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FrameCase cases[] = {
    {"no frames", 0.7, 0, 1},
    {"one frame", 1.0, 1, 1},
    {"0.74 of 3 rounds down", 0.74, 3, 2},
    {"0.75 of 3 rounds up", 0.75, 3, 3},
    {"zero is the first", 0.0, 120, 1},
    {"one is the last", 1.0, 120, 120},
    {"half of 120", 0.5, 120, 61},
    {"below zero", -0.6, 3, 1},
    {"above one", 1.8, 3, 3},
    {"far outside", 1e300, 3, 3},
    {"far below", -1e300, 3, 1},
    {"not a number", nan, 3, 1},
  };
  for (const FrameCase& c : cases) EXPECT_EQ(StockControlFrame(c.value, c.nFrames), c.frame) << c.name;
}

TEST(IPanelControl, FillsItsRectangleOnly)
{
  ControlsEditor ed;
  const IColor color(255, 10, 20, 30);
  ed.Attach(new IPanelControl(&ed.plug, IRECT(10, 10, 20, 30), &color));
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(10, 10), color.ToPixel());
  EXPECT_EQ(ed.Pixel(19, 29), color.ToPixel());
  EXPECT_EQ(ed.Pixel(20, 10), 0u);
  EXPECT_EQ(ed.Pixel(10, 30), 0u);
}

// The graphics host's background forms are built from the stock controls.
TEST(IPanelControl, IsTheHostsPanelBackground)
{
  ControlsEditor ed(40, 30);
  const IColor color(255, 1, 2, 3);
  ed.gfx->AttachPanelBackground(&color);
  ASSERT_EQ(ed.gfx->NControls(), 1);
  EXPECT_NE(dynamic_cast<IPanelControl*>(ed.gfx->GetControl(0)), nullptr);
  EXPECT_EQ(*ed.gfx->GetControl(0)->GetRECT(), IRECT(0, 0, 40, 30));
}

TEST(IBitmapControl, ShowsTheFrameTheValueSelects)
{
  FramesBitmap strip(8, 6, 3);
  ControlsEditor ed;
  auto* c = ed.Attach(new IBitmapControl(&ed.plug, 20, 30, 0, &strip.bitmap));
  EXPECT_EQ(*c->GetRECT(), IRECT(20, 30, 28, 36)) << "one frame's size";
  EXPECT_EQ(c->GetBlend()->mMethod, IChannelBlend::kBlendClobber);

  const struct
  {
    double value;
    int frame;
  } rows[] = {{0.0, 1}, {0.74, 2}, {0.75, 3}, {1.0, 3}};
  for (const auto& row : rows)
  {
    c->SetValueFromPlug(0.0);  // the first call only sets the default
    c->SetValueFromPlug(row.value);
    ed.gfx->DrawAll();
    EXPECT_EQ(ed.Pixel(20, 30), FrameColor(row.frame).ToPixel()) << row.value;
    EXPECT_EQ(ed.Pixel(27, 35), FrameColor(row.frame).ToPixel()) << row.value;
    EXPECT_EQ(ed.Pixel(27, 36), 0u) << "nothing below the frame";
  }
}

TEST(IBitmapControl, HorizontalFramesAreCutAcross)
{
  FramesBitmap strip(5, 4, 4, true);
  ControlsEditor ed;
  auto* c = ed.Attach(new IBitmapControl(&ed.plug, 0, 0, -1, &strip.bitmap));
  EXPECT_EQ(*c->GetRECT(), IRECT(0, 0, 5, 4));
  c->SetValueFromPlug(0.0);
  c->SetValueFromPlug(2.0 / 3.0);
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(4, 3), FrameColor(3).ToPixel());
  EXPECT_EQ(ed.Pixel(5, 0), 0u);
}

// ---- Switches ----

struct SwitchCase
{
  const char* name;
  int nFrames;
  std::vector<double> values;  // after each press
};

TEST(ISwitchControl, StepsThroughTheFramesAndWraps)
{
  const SwitchCase cases[] = {
    {"three frames", 3, {0.5, 1.0, 0.0, 0.5}},
    {"two frames", 2, {1.0, 0.0, 1.0}},
    {"one frame", 1, {1.0, 0.0}},
  };
  for (const SwitchCase& c : cases)
  {
    FramesBitmap strip(4, 4, c.nFrames);
    ControlsEditor ed;
    auto* sw = ed.Attach(new ISwitchControl(&ed.plug, 0, 0, 1, &strip.bitmap));
    for (size_t i = 0; i < c.values.size(); ++i)
    {
      ed.Press(1, 1);
      ed.Release(1, 1);
      EXPECT_DOUBLE_EQ(sw->GetValue(), c.values[i]) << c.name << " press " << i;
      ASSERT_EQ(ed.plug.pushes.size(), i + 1) << c.name;
      EXPECT_DOUBLE_EQ(ed.plug.pushes.back(), c.values[i]) << c.name;
    }
  }
}

TEST(ISwitchControl, ReachesTheLastOfManyFramesBeforeWrapping)
{
  FramesBitmap strip(2, 2, 120);
  ControlsEditor ed;
  auto* sw = ed.Attach(new ISwitchControl(&ed.plug, 0, 0, 1, &strip.bitmap));
  IMouseMod mod(true);
  for (int i = 0; i < 119; ++i) sw->OnMouseDown(0, 0, &mod);
  EXPECT_EQ(StockControlFrame(sw->GetValue(), 120), 120);
  EXPECT_NEAR(sw->GetValue(), 1.0, 1e-9);
  sw->OnMouseDown(0, 0, &mod);
  EXPECT_EQ(sw->GetValue(), 0.0);
}

TEST(ISwitchControl, DoubleClickStepsInsteadOfRestoringTheDefault)
{
  FramesBitmap strip(4, 4, 3);
  ControlsEditor ed;
  auto* sw = ed.Attach(new ISwitchControl(&ed.plug, 0, 0, 1, &strip.bitmap));
  sw->SetValueFromPlug(0.5);  // becomes the default too
  ed.DblClick(1, 1);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
}

TEST(IContactControl, GoesBackToZeroOnRelease)
{
  FramesBitmap strip(4, 4, 2);
  ControlsEditor ed;
  auto* contact = ed.Attach(new IContactControl(&ed.plug, 10, 10, 2, &strip.bitmap));
  ed.Press(11, 11);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 1.0);
  ed.Release(50, 50);  // released outside: the captured control still gets it
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_EQ(ed.plug.pushes, (std::vector<double>{1.0, 0.0}));
  EXPECT_EQ(ed.plug.log, (std::vector<std::string>{"begin 2", "end 2"}));
}

TEST(IBitmapOverlayControl, WhileOffDrawsNothingAndTakesTheMouseOverItsTargetArea)
{
  FramesBitmap strip(10, 10, 2);
  ControlsEditor ed;
  const IRECT target(100, 100, 150, 120);
  auto* overlay = ed.Attach(new IBitmapOverlayControl(&ed.plug, 20, 20, 0, &strip.bitmap, target));
  overlay->SetValueFromPlug(0.0);
  overlay->SetValueFromPlug(0.3);
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(25, 25), 0u) << "nothing drawn while off";
  EXPECT_EQ(*overlay->GetTargetRECT(), target);
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(25, 25), -1);
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(120, 110), 0);

  overlay->SetValueFromPlug(0.0);
  ed.gfx->DrawAll();
  ed.Press(120, 110);  // steps on
  ed.Release(120, 110);
  EXPECT_DOUBLE_EQ(overlay->GetValue(), 1.0);
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(25, 25), FrameColor(2).ToPixel());
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(20, 20, 30, 30));
  EXPECT_EQ(ed.gfx->GetMouseControlIdx(120, 110), -1);
}

TEST(IInvisibleSwitchControl, TogglesWithoutDrawingOrPrompting)
{
  ControlsEditor ed;
  auto* sw = ed.Attach(new IInvisibleSwitchControl(&ed.plug, IRECT(0, 0, 20, 20), 3));
  EXPECT_EQ(sw->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  EXPECT_TRUE(sw->IsPromptDisabled());
  const double expected[] = {1.0, 0.0, 1.0};
  for (double v : expected)
  {
    ed.Press(5, 5, IMouseMod(false, true));  // a right press toggles as well
    EXPECT_EQ(sw->GetValue(), v);
  }
  EXPECT_FALSE(ed.gfx->GetTextEntry().mOpen);
  EXPECT_TRUE(ed.gfx->GetMenusShown().empty());
  sw->SetValueFromPlug(0.6);
  sw->OnMouseDown(0, 0, nullptr);
  EXPECT_EQ(sw->GetValue(), 0.0) << "0.5 and above count as on";
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(5, 5), 0u);
}
}  // namespace
