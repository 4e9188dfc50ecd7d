// The waveform display: the envelope's fill and outline drawn from the points the
// processor's display feed holds, the title, the rewind a clear makes, and the mouse.
// (How points are chosen and limited is the feed's: tests/tesk_engine.)

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
constexpr int kCentreY = 205;
constexpr IColor kLine(15, 0, 0, 0);

IColor Fill(int grey) { return IColor(15, grey, grey, grey); }

// Offers the values to the processor's feed, one point each, as the audio thread does,
// and lets the editor's timer take them.
void Offer(EditorFixture& f, const std::vector<double>& values)
{
  TeskDisplayFeed& feed = f.tesk->GetDisplayFeed();
  feed.SetSampleRate(0);  // every value is a point
  feed.AddWaveform(values.data(), values.data(), static_cast<int>(values.size()));
  f.gfx->OnEditorTimer();
}

// The display's last column, the newest point's, is x 414: its panel ends a margin
// short of the editor's right edge. A point ten points before the newest lands in
// column x 404, clear of the title's letters.
void StoreSpike(EditorFixture& f, double v)
{
  std::vector<double> values(11, 0.0);
  values[0] = v;
  Offer(f, values);
}

TEST(WaveformDisplay, ShowsTheFeedsRingAfterATimerTick)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  std::vector<double> values(805, 0.25);
  values[804] = -0.5;
  TeskDisplayFeed& feed = f.tesk->GetDisplayFeed();
  feed.SetSampleRate(0);
  feed.AddWaveform(values.data(), values.data(), 805);
  EXPECT_EQ(w->WritePos(), 0);  // not before the tick
  f.gfx->OnEditorTimer();
  EXPECT_TRUE(w->IsDirty());
  EXPECT_EQ(w->WritePos(), 5);
  EXPECT_DOUBLE_EQ(w->Sample(4), -0.5);
  EXPECT_DOUBLE_EQ(w->Sample(5), 0.25);
  f.DrawAll();
  f.gfx->OnEditorTimer();  // nothing new: nothing to redraw
  EXPECT_FALSE(w->IsDirty());
}

TEST(WaveformDisplay, FullScalePointReaches189PixelsEachWay)
{
  EditorFixture f;
  StoreSpike(f, 3.0);
  f.DrawAll();
  EXPECT_EQ(f.At(404, kCentreY), Fill(35));  // 127 x 0.7 x 0.4 at the centre line
  EXPECT_EQ(f.At(404, kCentreY - 189), kLine);
  EXPECT_EQ(f.At(404, kCentreY + 189), kLine);
  EXPECT_TRUE(f.ShowsBackground(404, kCentreY - 190));
  EXPECT_TRUE(f.ShowsBackground(404, kCentreY + 190));
  // The silent column before starts the outline at the centre line; the one after
  // draws nothing.
  EXPECT_EQ(f.At(403, kCentreY), kLine);
  EXPECT_TRUE(f.ShowsBackground(405, kCentreY));
  EXPECT_TRUE(f.ShowsBackground(405, kCentreY - 100));
}

TEST(WaveformDisplay, LoudEnvelopeStaysInsideItsPanel)
{
  EditorFixture f;
  Offer(f, std::vector<double>(TeskDisplayFeed::kWaveformPoints, 1.0));
  f.DrawAll();
  // Every column of the panel is filled, its last one too ...
  for (int x : {280, 347, 414}) EXPECT_FALSE(f.ShowsBackground(x, kCentreY)) << x;
  // ... and nothing of the envelope reaches the margin right of the panel.
  for (int x = 415; x < 425; ++x)
    for (int y = 0; y < 440; ++y) ASSERT_TRUE(f.ShowsBackground(x, y)) << x << " " << y;
}

TEST(WaveformDisplay, FillBrightensWithTheSecondFlag)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  EXPECT_DOUBLE_EQ(w->Factor2(), 0.7);
  w->setOn2(true);
  EXPECT_DOUBLE_EQ(w->Factor2(), 1.0);
  StoreSpike(f, -0.5);
  f.DrawAll();
  EXPECT_EQ(f.At(404, kCentreY), Fill(50));
  // Half scale: a = 94.5, filled for t = 0 .. 94, outlined to 205 -/+ 94.5.
  const int grey = static_cast<int>((94 / 94.5 * 255 * 0.5 + 127) * 0.4);
  EXPECT_EQ(f.At(404, kCentreY + 94).A, 15);
  EXPECT_TRUE(f.At(404, kCentreY + 94) == Fill(grey) || f.At(404, kCentreY + 94) == kLine);
  EXPECT_TRUE(f.ShowsBackground(404, kCentreY - 96));
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

TEST(WaveformDisplay, BypassRewindsButKeepsThePoints)
{
  EditorFixture f;
  WaveformDisplay* w = f.wave;
  std::vector<double> values(810, 0.0);
  values[789] = 1.0;
  Offer(f, values);
  ASSERT_EQ(w->WritePos(), 10);
  f.ForgetCalls();
  f.HostSets(kBypass, 1.0);
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 1u);
  f.gfx->OnEditorTimer();
  EXPECT_TRUE(w->IsDirty());
  EXPECT_EQ(w->WritePos(), 0);
  EXPECT_DOUBLE_EQ(w->Sample(789), 1.0);
  // The view now shows slots 665 .. 799: slot 789 in column 124.
  f.DrawAll();
  EXPECT_EQ(f.At(404, kCentreY), Fill(35));

  // The next point lands in slot 0, drawn in the last column.
  Offer(f, {0.5});
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), 0.5);
  EXPECT_DOUBLE_EQ(w->Sample(1), 0.0);
  f.DrawAll();
  EXPECT_EQ(f.At(403, kCentreY), Fill(35));
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
