// The spectrum display: geometry, storage, drawing (axis, colours, greying, handles)
// and the press and drag rules, through the graphics host where the route matters.

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
constexpr int kBins = 2048;
constexpr int kY = 110;  // inside the display
constexpr int kHandleTop = 92 - 4;
// The band handles' rows above the colour map (rows 98 .. 128), which they are
// drawn over: 88 .. 91 lie outside the control, 92 .. 97 inside.
const IRECT kAboveMap(0, kHandleTop, 425, 98);
const IRECT kAboveMapInside(0, 92, 425, 98);

// Stores one spectrum whose every bin shows the given stored magnitude.
void StoreFlat(FFTDisplay* d, double stored, int n = kBins)
{
  std::vector<double> a(4096, stored / 2.5), b(4096, 0.0);
  d->addFFT(a.data(), b.data(), n);
}

TEST(FFTDisplay, GeometryOfTheLayout)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  EXPECT_EQ(d->InnerLeft(), 41);
  EXPECT_EQ(d->InnerTop(), 101);
  EXPECT_EQ(d->InnerW(), 219);
  EXPECT_EQ(d->InnerH(), 31);
  const int handleW = f.ImageSize(kBandHandleImage).W();
  EXPECT_EQ(d->XmMin(), 41 - handleW / 2);
  EXPECT_EQ(d->XmMax(), 260 - handleW / 2);
  EXPECT_EQ(d->Xm1(), d->XmMin());
  EXPECT_EQ(d->Xm2(), d->XmMax());
  EXPECT_NEAR(d->LogStep(), 1.0153083, 1e-7);
  EXPECT_DOUBLE_EQ(d->GetLow(), 0.0);
  EXPECT_DOUBLE_EQ(d->GetHigh(), 1.0);
}

TEST(FFTDisplay, AxisStartsLinearAndGrowsGeometrically)
{
  EditorFixture f;
  const struct
  {
    int column;
    unsigned bin;
  } rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {50, 75}, {100, 236}, {150, 581}, {200, 1318}, {218, 1753}};
  for (const auto& row : rows) EXPECT_EQ(f.fft->ColumnBin(row.column), row.bin) << row.column;
}

TEST(FFTDisplay, StoresScaledSumAndKeepsEntriesPastN)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  std::vector<double> a(4096, 1.0), b(4096, 3.0);
  d->addFFT(a.data(), b.data(), 4096);
  StoreFlat(d, 0.0, 0);  // n = 0 writes nothing but advances
  EXPECT_EQ(d->WritePos(), 2);
  for (int i = 2; i < 31; ++i) StoreFlat(d, 0.0, 0);
  ASSERT_EQ(d->WritePos(), 0);
  // Row 0 again, now with fewer bins: the rest keeps the earlier values.
  std::vector<double> c(4096, 3.0);
  d->addFFT(c.data(), c.data(), 100);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 0), 15.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 99), 15.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 100), 10.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 4095), 10.0);
  EXPECT_EQ(d->WritePos(), 1);
}

TEST(FFTDisplay, CountStaysInsideTheRow)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  std::vector<double> a(10000, 4.0), b(10000, 0.0);
  d->addFFT(a.data(), b.data(), 10000);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 4095), 10.0);
  EXPECT_EQ(d->WritePos(), 1);
  d->addFFT(a.data(), b.data(), -5);
  EXPECT_EQ(d->WritePos(), 2);
}

TEST(FFTDisplay, StoringASpectrumRedrawsWithoutAPush)
{
  // The pushes of parameter 5 that spectra owe are the processor's (its display feed
  // counts them), not the display's.
  EditorFixture f;
  FFTDisplay* d = f.fft;
  f.DrawAll();
  ASSERT_FALSE(d->IsDirty());
  f.ForgetCalls();
  for (int i = 0; i < 5; ++i) StoreFlat(d, 1.0);
  EXPECT_TRUE(f.pushes.empty());
  EXPECT_TRUE(d->IsDirty());
}

// Spectrum s of the feed holds the value s / 5 in both channels (shown as s).
void FeedSpectra(EditorFixture& f, int from, int to)
{
  std::vector<double> mag(TeskDisplayFeed::kSpectrumBins);
  for (int s = from; s < to; ++s)
  {
    std::fill(mag.begin(), mag.end(), s / 5.0);
    f.tesk->GetDisplayFeed().AddSpectra(mag.data(), mag.data());
  }
}

// The newest spectrum the display shows, and the oldest (row by row from the top).
double Newest(FFTDisplay* d) { return d->HistoryValue((d->WritePos() + d->InnerH() - 1) % d->InnerH(), 7); }
double Oldest(FFTDisplay* d) { return d->HistoryValue(d->WritePos(), 7); }

TEST(FFTDisplay, TakesTheFeedsSpectraOnTheTimerInOrder)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  FeedSpectra(f, 0, 3);
  EXPECT_EQ(d->WritePos(), 0);  // not before the tick
  f.gfx->OnEditorTimer();
  EXPECT_EQ(d->WritePos(), 3);
  EXPECT_DOUBLE_EQ(Newest(d), 2.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue(0, 7), 0.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue(1, 7), 1.0);
  // Far more than the display shows between two ticks: the last 31, in order, at the
  // rows they would have reached one by one.
  FeedSpectra(f, 3, 100);
  f.gfx->OnEditorTimer();
  EXPECT_EQ(d->WritePos(), 100 % 31);
  EXPECT_DOUBLE_EQ(Newest(d), 99.0);
  EXPECT_DOUBLE_EQ(Oldest(d), 69.0);
}

TEST(FFTDisplay, NewestRowAtTheBottomAndAFullRoundBringsTheFirstToTheTop)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  StoreFlat(d, 100.0);
  f.DrawAll();
  EXPECT_EQ(f.At(100, 128), IColor(255, 255, 0, 0));  // newest row, full level
  EXPECT_EQ(f.At(100, 127), IColor(255, 0, 1, 154));  // older rows still silent
  for (int i = 1; i < 31; ++i) StoreFlat(d, 0.0);
  f.DrawAll();
  EXPECT_EQ(f.At(100, 98), IColor(255, 255, 0, 0));
  EXPECT_EQ(f.At(100, 99), IColor(255, 0, 1, 154));
  StoreFlat(d, 0.0);  // overwrites it
  f.DrawAll();
  EXPECT_EQ(f.At(100, 98), IColor(255, 0, 1, 154));
}

struct ColorCase
{
  const char* name;
  double stored;
  bool inverted;  // greys the sampled column
  IColor expected;
};

class FFTColors : public testing::TestWithParam<ColorCase>
{
};

TEST_P(FFTColors, LevelToColour)
{
  EditorFixture f;
  const ColorCase& c = GetParam();
  StoreFlat(f.fft, c.stored);
  f.fft->mInv = c.inverted;
  f.DrawAll();
  EXPECT_EQ(f.At(100, 128), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Levels, FFTColors,
                         testing::Values(ColorCase{"silence_is_faint_blue_green", 0.0, false, IColor(255, 0, 1, 154)},
                                         ColorCase{"full_level_is_red", 99.8, false, IColor(255, 255, 0, 0)},
                                         ColorCase{"above_full_is_red", 500.0, false, IColor(255, 255, 0, 0)},
                                         ColorCase{"negative_uses_magnitude", -100.4, false, IColor(255, 255, 0, 0)},
                                         ColorCase{"middle_band", 49.8, false, IColor(255, 255, 130, 0)},
                                         ColorCase{"low_band", 19.8, false, IColor(255, 0, 153, 61)},
                                         ColorCase{"greyed_silence", 0.0, true, IColor(255, 1, 1, 1)},
                                         ColorCase{"greyed_middle", 49.8, true, IColor(255, 130, 130, 130)},
                                         // 255 x 1.02 would leave the channel's range: held at full grey.
                                         ColorCase{"greyed_full_stays_bright", 100.0, true, IColor(255, 255, 255, 255)},
                                         ColorCase{"not_a_number_is_silence", std::numeric_limits<double>::quiet_NaN(),
                                                   false, IColor(255, 0, 1, 154)}),
                         [](const auto& info) { return std::string(info.param.name); });

// What column x of row kY shows when the map there has the given colour: the
// handles' stems stand over the columns where the greying changes.
IColor ShownOverMap(EditorFixture& f, int x, IColor map)
{
  const int w = f.ImageSize(kBandHandleImage).W();
  for (int h : {f.fft->Xm1(), f.fft->Xm2()})
    if (x >= h && x < h + w) return f.ImageOver(kBandHandleImage, h, kHandleTop, map, x, kY);
  return map;
}

TEST(FFTDisplay, GreyingFollowsTheHandleCentres)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  const IColor grey(255, 1, 1, 1), colour(255, 0, 1, 154);
  ASSERT_NE(ShownOverMap(f, 40, grey), ShownOverMap(f, 40, colour));  // the stem shows what is under it
  f.DrawAll();
  // Low 0, High 1: column x 40 grey, 41 .. 258 coloured.
  EXPECT_EQ(f.At(40, kY), ShownOverMap(f, 40, grey));
  EXPECT_EQ(f.At(41, kY), ShownOverMap(f, 41, colour));
  EXPECT_EQ(f.At(258, kY), ShownOverMap(f, 258, colour));

  d->mInv = true;
  f.DrawAll();
  EXPECT_EQ(f.At(40, kY), ShownOverMap(f, 40, colour));
  EXPECT_EQ(f.At(41, kY), ShownOverMap(f, 41, colour));
  EXPECT_EQ(f.At(42, kY), ShownOverMap(f, 42, grey));
  EXPECT_EQ(f.At(258, kY), ShownOverMap(f, 258, grey));

  // Crossed handles grey every column of a normal band.
  d->mInv = false;
  d->setxm1(0.8);
  d->setxm2(0.2);
  f.DrawAll();
  for (int x = 40; x <= 258; x += 9) EXPECT_EQ(f.At(x, kY), ShownOverMap(f, x, grey)) << x;
}

TEST(FFTDisplay, HandlesDrawnWholeFourPixelsAboveTheControl)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  d->setxm1(0.25);
  f.DrawAll();
  const int x1 = d->Xm1();
  EXPECT_TRUE(f.ShowsImage(kBandHandleImage, x1, kHandleTop, 1, kAboveMap));
  EXPECT_TRUE(f.ShowsImage(kBandHandleImage, d->Xm2(), kHandleTop, 1, kAboveMap));
  for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
    EXPECT_FALSE(f.ShowsImage(kBandHandleImage, x1 + dx, kHandleTop + dy, 1, kAboveMap)) << dx << " " << dy;
}

TEST(FFTDisplay, PlacingAHandleTruncatesAndNeitherClampsNorMarks)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  f.DrawAll();
  d->setxm1(0.25);
  EXPECT_EQ(d->Xm1(), static_cast<int>(d->XmMin() + (d->XmMax() - d->XmMin()) * 0.25));
  EXPECT_NEAR(d->GetLow(), 0.25, 1.0 / (d->XmMax() - d->XmMin()));
  EXPECT_FALSE(d->IsDirty());
  d->setxm2(1.5);
  EXPECT_GT(d->Xm2(), d->XmMax());
  d->setxm2(std::numeric_limits<double>::quiet_NaN());  // stays defined
  d->setxm2(1e300);
  EXPECT_GT(d->Xm2(), d->XmMax() + 1000000);
  // Far enough from the int limits that the handle's own rectangle can be formed.
  EXPECT_LT(d->Xm2(), std::numeric_limits<int>::max() - 1000000);
}

// A handle placed absurdly far outside its travel stays far outside: drawing,
// pressing and dragging treat it as lying there, never as wrapped round to the
// other side of the display.
struct FarCase
{
  const char* name;
  double low, high;  // placements, far outside 0..1
  int pressX, dX;
  bool low0, high0, band;  // what the press takes
  bool columnGreyed;       // column x 150 before the drag
  bool moves;              // whether the drag moves a handle
};

class FFTFarHandles : public testing::TestWithParam<FarCase>
{
};

TEST_P(FFTFarHandles, StayWhereTheyArePlaced)
{
  EditorFixture f;
  const FarCase& c = GetParam();
  FFTDisplay* d = f.fft;
  d->setxm1(c.low);
  d->setxm2(c.high);
  f.DrawAll();
  EXPECT_EQ(f.At(150, kY), c.columnGreyed ? IColor(255, 1, 1, 1) : IColor(255, 0, 1, 154));
  const int x1 = d->Xm1(), x2 = d->Xm2();
  IMouseMod left(true);
  d->OnMouseDown(c.pressX, kY, &left);
  EXPECT_EQ(d->DragsLow(), c.low0);
  EXPECT_EQ(d->DragsHigh(), c.high0);
  EXPECT_EQ(d->DragsBand(), c.band);
  d->OnMouseDrag(c.pressX + c.dX, kY, c.dX, 0, &left);
  EXPECT_EQ(d->Xm1() != x1 || d->Xm2() != x2, c.moves);
  f.DrawAll();
}

INSTANTIATE_TEST_SUITE_P(
  Placements, FFTFarHandles,
  testing::Values(FarCase{"low_far_right_greys_and_takes_the_press", 1e300, 1, 150, 5, true, false, false, true, false},
                  FarCase{"high_far_right_refuses_band_drag", 0, 1e300, 150, 5, false, false, true, false, false},
                  FarCase{"high_far_left_takes_the_press", 0, -1e300, 150, -5, false, true, false, true, false},
                  FarCase{"low_far_left_refuses_band_drag", -1e300, 1, 150, -5, false, false, true, false, false}),
  [](const auto& info) { return std::string(info.param.name); });

struct PressCase
{
  const char* name;
  int x;
  bool low, high, band;
};

class FFTPress : public testing::TestWithParam<PressCase>
{
};

// Handles at 91 and 201 (Low 0.25, High 0.75 with the 9-pixel handle).
TEST_P(FFTPress, PressPicksWhatTheDragMoves)
{
  EditorFixture f;
  f.HostSets(kLow, 0.25);
  f.HostSets(kHigh, 0.75);
  ASSERT_EQ(f.fft->Xm1(), 91);
  ASSERT_EQ(f.fft->Xm2(), 201);
  IMouseMod left(true);
  f.gfx->OnMouseDown(GetParam().x, kY, &left);
  EXPECT_EQ(f.fft->DragsLow(), GetParam().low);
  EXPECT_EQ(f.fft->DragsHigh(), GetParam().high);
  EXPECT_EQ(f.fft->DragsBand(), GetParam().band);
}

INSTANTIATE_TEST_SUITE_P(Points, FFTPress,
                         testing::Values(PressCase{"far_left_takes_low", 35, true, false, false},
                                         PressCase{"inside_low_handle", 99, true, false, false},
                                         PressCase{"right_of_low_handle_is_band", 100, false, false, true},
                                         PressCase{"high_handle_left_edge_is_band", 201, false, false, true},
                                         PressCase{"right_of_high_left_edge", 202, false, true, false},
                                         PressCase{"far_right_takes_high", 265, false, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DragCase
{
  const char* name;
  double low, high;  // handle placement before the press
  int pressX, dX;
  int xm1, xm2;  // afterwards
};

class FFTDrag : public testing::TestWithParam<DragCase>
{
};

TEST_P(FFTDrag, StepAcceptedOrRefusedWhole)
{
  EditorFixture f;
  const DragCase& c = GetParam();
  f.HostSets(kLow, c.low);
  f.HostSets(kHigh, c.high);
  f.ForgetCalls();
  f.Drag(c.pressX, kY, c.pressX + c.dX, kY);
  FFTDisplay* d = f.fft;
  EXPECT_EQ(d->Xm1(), c.xm1);
  EXPECT_EQ(d->Xm2(), c.xm2);
  // The holders follow the handles; the processor re-reads the edges; Low and High
  // themselves keep their values.
  EXPECT_DOUBLE_EQ(f.lowHolder->GetValue(), d->GetLow());
  EXPECT_DOUBLE_EQ(f.highHolder->GetValue(), d->GetHigh());
  EXPECT_DOUBLE_EQ(f.BandLow(), d->GetLow());
  EXPECT_DOUBLE_EQ(f.BandHigh(), d->GetHigh());
  EXPECT_DOUBLE_EQ(f.tesk->GetParam(kLow)->Value(), c.low);
  EXPECT_DOUBLE_EQ(f.tesk->GetParam(kHigh)->Value(), c.high);
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 2u);  // press and drag step
}

// Full band: handles at 37 and 256; 9-pixel handles.
INSTANTIATE_TEST_SUITE_P(Steps, FFTDrag,
                         testing::Values(DragCase{"low_right", 0, 1, 40, 20, 57, 256},
                                         DragCase{"low_below_min_refused", 0, 1, 40, -1, 37, 256},
                                         DragCase{"low_up_to_handle_width_from_high", 0, 1, 40, 210, 247, 256},
                                         DragCase{"low_one_further_refused_not_clamped", 0, 1, 40, 211, 37, 256},
                                         DragCase{"high_left", 0, 1, 260, -100, 37, 156},
                                         DragCase{"high_above_max_refused", 0, 1, 260, 1, 37, 256},
                                         DragCase{"high_stops_at_width_plus_one", 0, 1, 260, -209, 37, 47},
                                         DragCase{"high_closer_refused", 0, 1, 260, -210, 37, 256},
                                         DragCase{"band_moves_both", 0.25, 0.75, 150, 30, 121, 231},
                                         DragCase{"band_to_the_max", 0.25, 0.75, 150, 55, 146, 256},
                                         DragCase{"band_past_max_refused", 0.25, 0.75, 150, 56, 91, 201},
                                         DragCase{"band_to_the_min", 0.25, 0.75, 150, -54, 37, 147},
                                         DragCase{"band_past_min_refused", 0.25, 0.75, 150, -55, 91, 201}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FFTDisplay, RefusedStepsLetHandleAndPointerDriftApart)
{
  EditorFixture f;
  IMouseMod left(true);
  f.gfx->OnMouseDown(40, kY, &left);
  f.gfx->OnMouseDrag(20, kY, &left);  // refused: would pass the minimum
  EXPECT_EQ(f.fft->Xm1(), 37);
  f.gfx->OnMouseDrag(30, kY, &left);  // +10 from the pointer's last place
  EXPECT_EQ(f.fft->Xm1(), 47);
}

TEST(FFTDisplay, ReleaseKeepsTheBandFlagAndEveryMouseEventPushes)
{
  EditorFixture f;
  f.HostSets(kLow, 0.25);
  f.HostSets(kHigh, 0.75);
  f.ForgetCalls();
  IMouseMod left(true);
  f.gfx->OnMouseDown(150, kY, &left);
  f.gfx->OnMouseUp(150, kY, &left);
  EXPECT_TRUE(f.fft->DragsBand());
  EXPECT_FALSE(f.fft->DragsLow());
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 2u);

  f.gfx->OnMouseDblClick(60, kY, &left);  // a press, then one more push
  EXPECT_TRUE(f.fft->DragsLow());
  EXPECT_FALSE(f.fft->DragsBand());
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 4u);

  f.gfx->OnMouseOver(60, kY, &left);
  f.fft->OnMouseOut();
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 6u);
}

TEST(FFTDisplay, WheelMovesOnlyTheDisplayValueAndTheEdgesAreReRead)
{
  EditorFixture f;
  f.HostSets(kLow, 0.25);
  const int x1 = f.fft->Xm1();
  IMouseMod none;
  f.gfx->OnMouseWheel(150, kY, &none, 2);
  EXPECT_EQ(f.PushesOf(kFFTDisplay), (std::vector<double>{0.02}));
  EXPECT_EQ(f.fft->Xm1(), x1);
  EXPECT_DOUBLE_EQ(f.BandLow(), f.fft->GetLow());
  // Low 0.25 survives a change of the display's value, up to the pixel.
  EXPECT_NEAR(f.BandLow(), 0.25, 1.0 / 219);
}

TEST(FFTDisplay, BypassWipesRowsKeepsPositionAndPushesOnce)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  FeedSpectra(f, 500, 505);
  f.gfx->OnEditorTimer();
  f.DrawAll();
  f.ForgetCalls();
  f.HostSets(kBypass, 1.0);
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 1u);
  f.gfx->OnEditorTimer();  // the wipe shows before the audio thread performs it
  EXPECT_TRUE(d->IsDirty());
  EXPECT_EQ(d->WritePos(), 5);
  EXPECT_DOUBLE_EQ(d->HistoryValue(4, 0), 0.0);
  f.DrawAll();
  EXPECT_EQ(f.At(100, 128), IColor(255, 0, 1, 154));

  // The next spectrum lands after the wiped rows.
  FeedSpectra(f, 500, 501);
  f.gfx->OnEditorTimer();
  EXPECT_EQ(d->WritePos(), 6);
  EXPECT_DOUBLE_EQ(d->HistoryValue(5, 7), 500.0);
  for (int row = 0; row < 5; ++row) EXPECT_DOUBLE_EQ(d->HistoryValue(row, 7), 0.0) << row;
  f.DrawAll();
  EXPECT_EQ(f.At(100, 128), IColor(255, 255, 0, 0));
  EXPECT_EQ(f.At(100, 127), IColor(255, 0, 1, 154));
}

TEST(FFTDisplay, AnEditorOpenedLateShowsWhatTheFeedHolds)
{
  // The processor's feed ran without this editor: a second editor on the same feed, as
  // an LV2 UI opened during playback has, shows the same rows after its first tick.
  EditorFixture f;
  FeedSpectra(f, 0, 40);
  f.HostSets(kBypass, 1.0);
  FeedSpectra(f, 40, 47);  // the clear takes effect at spectrum 40
  f.gfx->OnEditorTimer();
  IBitmap handle = f.gfx->LoadIBitmap(kBandHandleImage.id, kBandHandleImage.file, kBandHandleImage.frames);
  FFTDisplay late(f.tesk.get(), nullptr, nullptr, 35, 92, 231, 49, 8192, -1, handle);
  late.SetFeed(&f.tesk->GetDisplayFeed());
  late.ApplyHandOff();
  for (int row = 0; row < 31; ++row) EXPECT_DOUBLE_EQ(late.HistoryValue(row, 7), f.fft->HistoryValue(row, 7)) << row;
  EXPECT_EQ(late.WritePos(), f.fft->WritePos());
  EXPECT_DOUBLE_EQ(Newest(&late), 46.0);
  EXPECT_DOUBLE_EQ(Oldest(&late), 0.0);  // wiped
}

TEST(FFTDisplay, HostChangeOfLowShowsAtTheNextRedraw)
{
  EditorFixture f;
  FFTDisplay* d = f.fft;
  f.DrawAll();
  f.HostSets(kLow, 0.5);
  EXPECT_FALSE(d->IsDirty());
  EXPECT_FALSE(f.ShowsImage(kBandHandleImage, d->Xm1(), kHandleTop, 1, kAboveMapInside));
  IMouseMod none;
  f.gfx->OnMouseOver(150, kY, &none);
  IRECT r;
  ASSERT_TRUE(f.gfx->IsDirty(&r));
  f.gfx->Draw(&r);
  // The redraw covers the control's rectangle: the handle's rows inside it.
  EXPECT_TRUE(f.ShowsImage(kBandHandleImage, d->Xm1(), kHandleTop, 1, kAboveMapInside));
}
}  // namespace

namespace
{
// Sizes no layout uses: a history without rows, rows without bins, a display
// narrower than its handle. Nothing may be read or written outside the history.
TEST(FFTDisplay, DegenerateSizesStayInsideTheirStorage)
{
  EditorFixture f;
  const struct
  {
    const char* name;
    int w, h, maxCount;
  } rows[] = {{"no_rows", 40, 1, 8192},
              {"no_bins", 40, 20, 1},
              {"one_bin", 231, 49, 2},
              {"narrow", 4, 20, 64},
              {"no_width", 0, 20, 64}};
  std::vector<double> a(8192, 50.0), b(8192, 0.0);
  for (const auto& row : rows)
  {
    IBitmap handle = f.gfx->LoadIBitmap(kBandHandleImage.id, kBandHandleImage.file, kBandHandleImage.frames);
    auto* d = new FFTDisplay(f.tesk.get(), nullptr, nullptr, 10, 150, row.w, row.h, row.maxCount, -1, handle);
    f.gfx->AttachControl(d);
    for (int i = 0; i < 40; ++i) d->addFFT(a.data(), b.data(), 8192);
    d->Wipe();
    d->SkipRows(1000);
    d->addFFT(a.data(), b.data(), 8192);
    IMouseMod left(true);
    d->OnMouseDown(12, 160, &left);
    d->OnMouseDrag(14, 160, 2, 0, &left);
    EXPECT_TRUE(std::isfinite(d->GetLow())) << row.name;
    EXPECT_TRUE(std::isfinite(d->GetHigh())) << row.name;
  }
  f.DrawAll();
}
}  // namespace
