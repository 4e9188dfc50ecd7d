// The waveform display: decimation and limiting of stored points, the ring and its
// rewind, the envelope's fill and outline, the title, and the mouse.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
constexpr int kCentreY = 205;
constexpr IColor kLine(15, 0, 0, 0);

IColor Fill(int grey) { return IColor(15, grey, grey, grey); }

TEST(WaveformDisplay, KeepsOneValueInEveryDecimationStep)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  w->setMaxCountDisplay(44100);
  ASSERT_EQ(w->Decimation(), 441);
  for (int call = 1; call <= 441; ++call) w->add(0.5);
  EXPECT_EQ(w->WritePos(), 0);
  w->add(0.25);  // call 442: stored as it is, no averaging
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), 0.25);
  for (int call = 443; call < 883; ++call) w->add(0.75);
  EXPECT_EQ(w->WritePos(), 1);
  w->add(-0.125);  // call 883
  EXPECT_EQ(w->WritePos(), 2);
  EXPECT_DOUBLE_EQ(w->Sample(1), -0.125);
}

struct PointCase
{
  const char* name;
  double offered, stored;
};

class WavePoints : public testing::TestWithParam<PointCase>
{
};

TEST_P(WavePoints, StoredWithinPlusMinusOne)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  w->setMaxCountDisplay(99);  // below 100 Hz: every value is kept
  ASSERT_EQ(w->Decimation(), 0);
  w->add(GetParam().offered);
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), GetParam().stored);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
  Values, WavePoints,
  testing::Values(PointCase{"three_is_one", 3.0, 1.0}, PointCase{"small_negative_kept", -0.25, -0.25},
                  PointCase{"large_negative_is_minus_one", -7.0, -1.0}, PointCase{"one_kept", 1.0, 1.0},
                  PointCase{"infinity_is_one", kInf, 1.0}, PointCase{"minus_infinity_is_minus_one", -kInf, -1.0},
                  PointCase{"not_a_number_is_silence", std::numeric_limits<double>::quiet_NaN(), 0.0}),
  [](const auto& info) { return std::string(info.param.name); });

TEST(WaveformDisplay, RingWrapsAfterEightHundredPoints)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  w->setMaxCountDisplay(0);
  for (int i = 0; i < 799; ++i) w->add(0.0);
  EXPECT_EQ(w->WritePos(), 799);
  w->add(0.5);
  EXPECT_EQ(w->WritePos(), 0);
  EXPECT_DOUBLE_EQ(w->Sample(799), 0.5);
}

TEST(WaveformDisplay, EachStoredPointIsOnePendingPushNotAnImmediateOne)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  f.DrawAll();
  ASSERT_FALSE(w->IsDirty());
  f.ForgetCalls();
  w->setMaxCountDisplay(200);  // calls 3, 5, 7 and 9 store
  for (int i = 0; i < 10; ++i) w->add(0.1);
  EXPECT_TRUE(f.pushes.empty());
  EXPECT_TRUE(w->IsDirty());
  EXPECT_EQ(w->TakePendingPushes(), 4);
  EXPECT_EQ(w->TakePendingPushes(), 0);
}

// A full-scale point ten points before the newest lands in column x 423, clear of
// the title and inside the editor.
void StoreSpike(WaveformDisplay* w, double v)
{
  w->setMaxCountDisplay(0);
  w->add(v);
  for (int i = 0; i < 10; ++i) w->add(0.0);
}

TEST(WaveformDisplay, FullScalePointReaches189PixelsEachWay)
{
  EditorFixture f;
  StoreSpike(f.wave, 3.0);
  f.DrawAll();
  EXPECT_EQ(f.At(423, kCentreY), Fill(35));  // 127 x 0.7 x 0.4 at the centre line
  EXPECT_EQ(f.At(423, kCentreY - 189), kLine);
  EXPECT_EQ(f.At(423, kCentreY + 189), kLine);
  EXPECT_TRUE(f.ShowsBackground(423, kCentreY - 190));
  EXPECT_TRUE(f.ShowsBackground(423, kCentreY + 190));
  // The silent column before starts the outline at the centre line; the one after
  // draws nothing.
  EXPECT_EQ(f.At(422, kCentreY), kLine);
  EXPECT_TRUE(f.ShowsBackground(424, kCentreY));
  EXPECT_TRUE(f.ShowsBackground(424, kCentreY - 100));
}

TEST(WaveformDisplay, FillBrightensWithTheSecondFlag)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  EXPECT_DOUBLE_EQ(w->Factor2(), 0.7);
  w->setOn2(true);
  EXPECT_DOUBLE_EQ(w->Factor2(), 1.0);
  StoreSpike(w, -0.5);
  f.DrawAll();
  EXPECT_EQ(f.At(423, kCentreY), Fill(50));
  // Half scale: a = 94.5, filled for t = 0 .. 94, outlined to 205 -/+ 94.5.
  const int grey = static_cast<int>((94 / 94.5 * 255 * 0.5 + 127) * 0.4);
  EXPECT_EQ(f.At(423, kCentreY + 94).A, 15);
  EXPECT_TRUE(f.At(423, kCentreY + 94) == Fill(grey) || f.At(423, kCentreY + 94) == kLine);
  EXPECT_TRUE(f.ShowsBackground(423, kCentreY - 96));
}

TEST(WaveformDisplay, TitleDrawnOverTheEnvelope)
{
  EditorFixture f;
  f.DrawAll();
  // With no points stored, nothing of the envelope shows under the title.
  EXPECT_TRUE(f.ShowsImage(kTitleImage, 288, 0));
  for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
    EXPECT_FALSE(f.ShowsImage(kTitleImage, 288 + dx, dy)) << dx << " " << dy;
}

TEST(WaveformDisplay, ClearRewindsButKeepsThePoints)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  w->setMaxCountDisplay(0);
  for (int p = 0; p < 810; ++p) w->add(p == 789 ? 1.0 : 0.0);
  ASSERT_EQ(w->WritePos(), 10);
  f.ForgetCalls();
  w->clear();
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 1u);
  EXPECT_TRUE(w->IsDirty());
  EXPECT_EQ(w->WritePos(), 0);
  EXPECT_DOUBLE_EQ(w->Sample(789), 1.0);
  // The view now shows slots 646 .. 799: slot 789 in column 143.
  f.DrawAll();
  EXPECT_EQ(f.At(423, kCentreY), Fill(35));

  // The next point lands in slot 0, drawn in the last column.
  w->add(0.5);
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), 0.5);
  EXPECT_DOUBLE_EQ(w->Sample(1), 0.0);
  f.DrawAll();
  EXPECT_EQ(f.At(422, kCentreY), Fill(35));
}

TEST(WaveformDisplay, MouseEventsPushDragDoesNothing)
{
  EditorFixture f;
  f.ForgetCalls();
  IMouseMod left(true);
  f.gfx->OnMouseDown(350, 200, &left);
  f.gfx->OnMouseDrag(360, 210, &left);
  f.gfx->OnMouseUp(360, 210, &left);
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 2u);
  f.gfx->OnMouseDblClick(350, 200, &left);
  f.gfx->OnMouseOver(350, 200, &left);
  f.wave->OnMouseOut();
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 5u);
  f.gfx->OnMouseWheel(350, 200, &left, 1);
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).back(), 0.01);
}
}  // namespace
