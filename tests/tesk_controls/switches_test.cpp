// The switches, the value holders and the version label, driven through the
// graphics host as a user would.

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
TEST(OnOff, ClickOnInvInStepPushesZeroThenOneAndShowsOn)
{
  EditorFixture f;
  f.plug.HostSets(kInv, 0.0);
  ASSERT_FALSE(f.plug.switchInv->mOn);
  f.plug.ForgetCalls();
  f.Click(240, 60);
  EXPECT_EQ(f.plug.PushesOf(kInv), (std::vector<double>{0.0, 1.0}));
  EXPECT_TRUE(f.plug.switchInv->mOn);
  EXPECT_TRUE(f.plug.fft->mInv);
  f.DrawAll();
  EXPECT_EQ(f.At(227, 54), kOnTop);
}

TEST(OnOff, FirstBypassClickSendsOneThenZeroAndClearsTheDisplaysOnce)
{
  EditorFixture f;
  f.plug.ForgetCalls();
  f.Click(50, 60);
  EXPECT_EQ(f.plug.PushesOf(kBypass), (std::vector<double>{1.0, 0.0}));
  EXPECT_DOUBLE_EQ(f.plug.GetParam(kBypass)->Value(), 0.0);
  EXPECT_FALSE(f.plug.switchBypass->mOn);
  // Each display's clear pushes its own parameter once.
  EXPECT_EQ(f.plug.PushesOf(kWaveformDisplay).size(), 1u);
  EXPECT_EQ(f.plug.PushesOf(kFFTDisplay).size(), 1u);
}

TEST(OnOff, DrawsTheWholeImageOfItsStateFromItsCorner)
{
  EditorFixture f;
  f.DrawAll();  // all three start on
  EXPECT_EQ(f.At(39, 52), kOnTop);
  EXPECT_EQ(f.At(72, 76), kOnTop);
  // The second frame lands below the control's rectangle.
  EXPECT_EQ(f.At(39, 52 + 30), kOnBottom);
  f.plug.HostSets(kBypass, 0.0);
  f.DrawAll();
  EXPECT_EQ(f.At(39, 52), kOffTop);
  EXPECT_EQ(f.At(39, 52 + 49), kOffBottom);
}

TEST(OnOff, EachClickOfADoubleClickTogglesOnce)
{
  EditorFixture f;
  f.plug.HostSets(kAuto, 0.0);
  f.plug.ForgetCalls();
  IMouseMod left(true);
  f.gfx->OnMouseDown(170, 60, &left);
  f.gfx->OnMouseUp(170, 60, &left);
  EXPECT_TRUE(f.plug.switchAuto->mOn);
  f.gfx->OnMouseDblClick(170, 60, &left);
  f.gfx->OnMouseUp(170, 60, &left);
  EXPECT_FALSE(f.plug.switchAuto->mOn);
  EXPECT_EQ(f.plug.PushesOf(kAuto), (std::vector<double>{0.0, 1.0, 1.0, 0.0}));
}

TEST(OnOff, SetValueTurnsOnAboveHalfAndPushes)
{
  const struct
  {
    const char* name;
    double value;
    bool on;
  } rows[] = {{"zero", 0.0, false}, {"half_is_off", 0.5, false}, {"just_above", 0.51, true}, {"one", 1.0, true}};
  for (const auto& row : rows)
  {
    EditorFixture f;
    f.plug.ForgetCalls();
    f.plug.switchAuto->SetValue(row.value);
    EXPECT_EQ(f.plug.switchAuto->mOn.load(), row.on) << row.name;
    EXPECT_EQ(f.plug.PushesOf(kAuto), (std::vector<double>{row.value})) << row.name;
  }
}

TEST(OnOff, WheelPushesAndTheProcessorSetsTheFlag)
{
  EditorFixture f;
  f.plug.HostSets(kAuto, 0.0);
  IMouseMod none;
  f.gfx->OnMouseWheel(170, 60, &none, 60);
  EXPECT_NEAR(f.plug.switchAuto->GetValue(), 0.6, 1e-12);
  EXPECT_TRUE(f.plug.switchAuto->mOn);
}

TEST(OnOff, OverAndOutPushTheUnchangedValue)
{
  EditorFixture f;
  f.plug.HostSets(kInv, 1.0);
  f.plug.ForgetCalls();
  IMouseMod none;
  f.gfx->OnMouseOver(240, 60, &none);
  f.plug.switchInv->OnMouseOut();
  EXPECT_EQ(f.plug.PushesOf(kInv), (std::vector<double>{1.0, 1.0}));
}

TEST(Ctrlo, StoresAnyValueWithoutPushingAndIsNeverHit)
{
  EditorFixture f;
  f.plug.ForgetCalls();
  f.gfx->DrawAll();
  f.plug.lowHolder->SetValue(1.7);
  EXPECT_DOUBLE_EQ(f.plug.lowHolder->GetValue(), 1.7);
  EXPECT_FALSE(f.plug.lowHolder->IsDirty());
  f.Click(0, 0);
  EXPECT_TRUE(f.plug.fromGUI.empty());
  EXPECT_NE(f.gfx->GetMouseControlIdx(0, 0), 9);
  EXPECT_NE(f.gfx->GetMouseControlIdx(0, 0), 10);
}

TEST(Ctrlo, OwnHandlersPushItsValue)
{
  EditorFixture f;
  f.plug.highHolder->SetValue(0.75);
  f.plug.ForgetCalls();
  IMouseMod none;
  f.plug.highHolder->OnMouseDown(0, 0, &none);
  f.plug.highHolder->OnMouseUp(0, 0, &none);
  f.plug.highHolder->OnMouseDblClick(0, 0, &none);
  f.plug.highHolder->OnMouseOver(0, 0, &none);
  f.plug.highHolder->OnMouseOut();
  EXPECT_EQ(f.plug.PushesOf(kHigh), (std::vector<double>(5, 0.75)));
}

// The grey text pixels inside the label's rectangle.
int GreyTextPixels(EditorFixture& f)
{
  int n = 0;
  for (int y = 417; y < 437; ++y)
    for (int x = 283; x < 333; ++x)
    {
      const IColor c = f.At(x, y);
      n += c != kPanel && c.R == c.G && c.G == c.B;
    }
  return n;
}

TEST(Version, DrawsGreyLabelWhateverItsParameter)
{
  EditorFixture f;
  f.DrawAll();
  const int before = GreyTextPixels(f);
  EXPECT_GT(before, 10);
  bool fullGrey = false;
  for (int y = 417; y < 437; ++y)
    for (int x = 283; x < 333; ++x) fullGrey |= f.At(x, y) == IColor(255, 125, 125, 125);
  EXPECT_TRUE(fullGrey);
  f.plug.HostSets(kReductionAmount, 0.9);
  f.DrawAll();
  EXPECT_EQ(GreyTextPixels(f), before);
}

TEST(Version, WheelOverTheLabelChangesReductionAmount)
{
  EditorFixture f;
  IMouseMod none;
  f.gfx->OnMouseWheel(300, 425, &none, 1);
  EXPECT_EQ(f.plug.PushesOf(kReductionAmount), (std::vector<double>{0.01}));
  EXPECT_NEAR(f.plug.GetParam(kReductionAmount)->Value(), 0.01, 1e-12);
}
}  // namespace
