// The band grid and the band marks: where a value lands on the grid, and when the
// engine takes its band from the marks (the edges as set by "Low" and "High" hold only
// until then).

#include <gtest/gtest.h>

#include <limits>

#include "EngineTestSupport.h"

using namespace tesk_test;

namespace
{
TEST(BandGrid, AValueLandsOnTheStepAtOrBelowIt)
{
  const struct
  {
    const char* name;
    double v;
    int step;
  } rows[] = {
    {"zero", 0.0, 0},
    {"one", 1.0, tesk::kBandGridSteps},
    {"a quarter", 0.25, 54},  // 54.75
    {"just below a step", 73.0 / 219.0 - 1e-9, 72},
    {"on a step", 100.0 / 219.0, 100},
    {"a host's float", static_cast<double>(0.3791f), 83},
    {"negative", -0.01, -3},
    {"far outside", 1e300, tesk::kBandGridFarOutside},
    {"far below", -1e300, -tesk::kBandGridFarOutside},
    {"not a number", std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& row : rows)
  {
    EXPECT_EQ(tesk::BandGridStep(row.v), row.step) << row.name;
    TeskBandMarks marks;
    marks.PlaceLow(row.v);
    EXPECT_EQ(marks.LowStep(), row.step) << row.name;
    EXPECT_EQ(marks.Low(), row.step / 219.0) << row.name;
  }
  // Every step's edge lands on that step again.
  for (int step = 0; step <= tesk::kBandGridSteps; ++step)
    EXPECT_EQ(tesk::BandGridStep(tesk::BandGridEdge(step)), step) << step;
}

TEST(BandGrid, ANewEngineHasTheFullBand)
{
  EngineRun e;
  EXPECT_EQ(e->BandLow(), 0.0);
  EXPECT_EQ(e->BandHigh(), 1.0);
  EXPECT_EQ(e->BandMarks().LowStep(), 0);
  EXPECT_EQ(e->BandMarks().HighStep(), tesk::kBandGridSteps);
}

TEST(BandGrid, TheEngineTakesTheMarksAtEveryShownFrameStepOnly)
{
  const Signal in = Noise(TeskEngine::kConvSize, 0.3, 4u);
  EngineRun e;
  e->SetBypass(true);
  e->SetBandLow(0.1117);
  e->SetBandHigh(0.2222);
  // The edges as set, until the band is next taken from the marks...
  EXPECT_EQ(e->BandLow(), 0.1117);
  EXPECT_EQ(e->BandHigh(), 0.2222);
  // ...which bypassed frame steps do not do...
  e.RenderMono(in);
  ASSERT_GT(e->FrameSteps2(), 0u);
  EXPECT_EQ(e->BandLow(), 0.1117);
  // ...but shown ones do, as a change of "FFTDisplay" does at once.
  e->SetBypass(false);
  e.RenderMono(in);
  EXPECT_EQ(e->BandLow(), 24.0 / 219.0);
  EXPECT_EQ(e->BandHigh(), 48.0 / 219.0);

  // A drag moves the marks; the band follows at the next take.
  e->BandMarks().Move(10, 200);
  EXPECT_EQ(e->BandLow(), 24.0 / 219.0);
  e->TakeBandFromMarks();
  EXPECT_EQ(e->BandLow(), 10.0 / 219.0);
  EXPECT_EQ(e->BandHigh(), 200.0 / 219.0);
}

TEST(BandGrid, TheReductionUsesTheEdgesAsSetWhileBypassed)
{
  // A band set while bypassed shapes the frames computed then, and those frames reach
  // the output after the bypass: the edges as set, not yet the marks'.
  const Signal in = Noise(5 * TeskEngine::kConvSize, 0.5, 8u);
  auto render = [&](bool takeMarks) {
    EngineRun e;
    e->SetModeA(1.0);
    e->SetModeB(1.0);
    e->SetBypass(true);
    e->SetBandLow(0.01);
    e->SetBandHigh(0.0123);  // the marks lie on step 2, which selects no bin
    if (takeMarks) e->TakeBandFromMarks();
    Signal out = e.RenderMono(Signal(in.begin(), in.begin() + 3 * TeskEngine::kConvSize));
    e->SetBypass(false);
    return e.RenderMono(Signal(in.begin() + 3 * TeskEngine::kConvSize, in.end()));
  };
  const Signal asSet = render(false), fromMarks = render(true);
  double diff = 0.0;
  for (int i = 0; i < TeskEngine::kConvSize; ++i) diff = std::max(diff, std::fabs(asSet[i] - fromMarks[i]));
  EXPECT_GT(diff, 1e-6);
}
}  // namespace
