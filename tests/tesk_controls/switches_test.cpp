// The switches, the value holders and the version label, driven through the
// graphics host as a user would.

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
// A switch draws its whole image (both frames) from its corner: as one frame.
constexpr EditorImage kOnWhole = {kButtonOnImage.id, kButtonOnImage.file, 1};
constexpr EditorImage kOffWhole = {kButtonOffImage.id, kButtonOffImage.file, 1};
// The spectrum display, attached after the switches, draws from y 88 down.
const IRECT kAboveSpectrum(0, 0, 425, 88);

TEST(OnOff, ClickOnInvInStepPushesZeroThenOneAndShowsOn)
{
  EditorFixture f;
  f.HostSets(kInv, 0.0);
  ASSERT_FALSE(f.switchInv->mOn);
  f.ForgetCalls();
  f.Click(240, 60);
  EXPECT_EQ(f.PushesOf(kInv), (std::vector<double>{0.0, 1.0}));
  EXPECT_TRUE(f.switchInv->mOn);
  EXPECT_TRUE(f.fft->mInv);
  f.DrawAll();
  EXPECT_TRUE(f.ShowsImage(kOnWhole, 227, 54, 1, kAboveSpectrum));
}

TEST(OnOff, FirstBypassClickSendsOneThenZeroAndClearsTheDisplaysOnce)
{
  EditorFixture f;
  f.ForgetCalls();
  f.Click(50, 60);
  EXPECT_EQ(f.PushesOf(kBypass), (std::vector<double>{1.0, 0.0}));
  EXPECT_DOUBLE_EQ(f.tesk->GetParam(kBypass)->Value(), 0.0);
  EXPECT_FALSE(f.switchBypass->mOn);
  // Each display's clear pushes its own parameter once.
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 1u);
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 1u);
}

TEST(OnOff, DrawsTheWholeImageOfItsStateFromItsCorner)
{
  EditorFixture f;
  f.DrawAll();  // all three start on; the second frame lands below each rectangle
  const struct
  {
    const char* name;
    int x, y;
  } switches[] = {{"Auto", 159, 52}, {"Bypass", 39, 52}, {"Inv", 227, 54}};
  for (const auto& sw : switches)
  {
    EXPECT_TRUE(f.ShowsImage(kOnWhole, sw.x, sw.y, 1, kAboveSpectrum)) << sw.name;
    for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
      EXPECT_FALSE(f.ShowsImage(kOnWhole, sw.x + dx, sw.y + dy, 1, kAboveSpectrum))
        << sw.name << " " << dx << " " << dy;
  }
  f.HostSets(kBypass, 0.0);
  f.DrawAll();
  EXPECT_TRUE(f.ShowsImage(kOffWhole, 39, 52, 1, kAboveSpectrum));
  EXPECT_TRUE(f.ShowsImage(kOnWhole, 159, 52, 1, kAboveSpectrum));
}

TEST(OnOff, EachClickOfADoubleClickTogglesOnce)
{
  EditorFixture f;
  f.HostSets(kAuto, 0.0);
  f.ForgetCalls();
  IMouseMod left(true);
  f.gfx->OnMouseDown(170, 60, &left);
  f.gfx->OnMouseUp(170, 60, &left);
  EXPECT_TRUE(f.switchAuto->mOn);
  f.gfx->OnMouseDblClick(170, 60, &left);
  f.gfx->OnMouseUp(170, 60, &left);
  EXPECT_FALSE(f.switchAuto->mOn);
  EXPECT_EQ(f.PushesOf(kAuto), (std::vector<double>{0.0, 1.0, 1.0, 0.0}));
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
    f.ForgetCalls();
    f.switchAuto->SetValue(row.value);
    EXPECT_EQ(f.switchAuto->mOn.load(), row.on) << row.name;
    EXPECT_EQ(f.PushesOf(kAuto), (std::vector<double>{row.value})) << row.name;
  }
}

TEST(OnOff, WheelPushesAndTheProcessorSetsTheFlag)
{
  EditorFixture f;
  f.HostSets(kAuto, 0.0);
  IMouseMod none;
  f.gfx->OnMouseWheel(170, 60, &none, 60);
  EXPECT_NEAR(f.switchAuto->GetValue(), 0.6, 1e-12);
  EXPECT_TRUE(f.switchAuto->mOn);
}

TEST(OnOff, OverAndOutPushTheUnchangedValue)
{
  EditorFixture f;
  f.HostSets(kInv, 1.0);
  f.ForgetCalls();
  IMouseMod none;
  f.gfx->OnMouseOver(240, 60, &none);
  f.switchInv->OnMouseOut();
  EXPECT_EQ(f.PushesOf(kInv), (std::vector<double>{1.0, 1.0}));
}

TEST(Ctrlo, StoresAnyValueWithoutPushingAndIsNeverHit)
{
  EditorFixture f;
  f.ForgetCalls();
  f.gfx->DrawAll();
  f.lowHolder->SetValue(1.7);
  EXPECT_DOUBLE_EQ(f.lowHolder->GetValue(), 1.7);
  EXPECT_FALSE(f.lowHolder->IsDirty());
  f.Click(0, 0);
  EXPECT_TRUE(f.pushes.empty());
  EXPECT_NE(f.gfx->GetMouseControlIdx(0, 0), 9);
  EXPECT_NE(f.gfx->GetMouseControlIdx(0, 0), 10);
}

TEST(Ctrlo, OwnHandlersPushItsValue)
{
  EditorFixture f;
  f.highHolder->SetValue(0.75);
  f.ForgetCalls();
  IMouseMod none;
  f.highHolder->OnMouseDown(0, 0, &none);
  f.highHolder->OnMouseUp(0, 0, &none);
  f.highHolder->OnMouseDblClick(0, 0, &none);
  f.highHolder->OnMouseOver(0, 0, &none);
  f.highHolder->OnMouseOut();
  EXPECT_EQ(f.PushesOf(kHigh), (std::vector<double>(5, 0.75)));
}

// The grey text pixels inside the label's rectangle.
int GreyTextPixels(EditorFixture& f)
{
  int n = 0;
  for (int y = 417; y < 437; ++y)
    for (int x = 283; x < 333; ++x)
    {
      const IColor c = f.At(x, y);
      n += c != f.BackgroundAt(x, y) && c.R == c.G && c.G == c.B;
    }
  return n;
}

TEST(Version, DrawsGreyLabelWhateverItsParameter)
{
  EditorFixture f;
  EXPECT_EQ(*f.version->GetRECT(), IRECT(283, 417, 333, 437));
  f.DrawAll();
  const int before = GreyTextPixels(f);
  EXPECT_GT(before, 10);
  bool fullGrey = false;
  for (int y = 417; y < 437; ++y)
    for (int x = 283; x < 333; ++x) fullGrey |= f.At(x, y) == IColor(255, 125, 125, 125);
  EXPECT_TRUE(fullGrey);
  f.HostSets(kReductionAmount, 0.9);
  f.DrawAll();
  EXPECT_EQ(GreyTextPixels(f), before);
}

TEST(Version, WheelOverTheLabelChangesReductionAmount)
{
  EditorFixture f;
  IMouseMod none;
  f.gfx->OnMouseWheel(300, 425, &none, 1);
  EXPECT_EQ(f.PushesOf(kReductionAmount), (std::vector<double>{0.01}));
  EXPECT_NEAR(f.tesk->GetParam(kReductionAmount)->Value(), 0.01, 1e-12);
}
}  // namespace
