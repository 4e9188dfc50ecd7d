// The two convolution stages: stage one's dry/wet mix, the frame-step timing, stage
// two's bin selection and the reduction's effect on a tone.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"

using namespace tesk_test;

namespace
{
struct MixCase
{
  const char* name;
  double pre, autoMode, sensitivity;
};

// Output of stage one for a dry sequence, after warm-up, on an engine whose frames
// hold a real signal.
std::vector<double> StageOneOutput(const MixCase& c, const Signal& dry, double* pM)
{
  EngineRun e;
  e->SetPreAmount(c.pre);
  e->SetAutoMode(c.autoMode);
  e->SetSensitivity(c.sensitivity);
  e.RenderMono(Noise(3 * TeskEngine::kConvSize, 0.5, 21u));  // all frames running, M settled
  *pM = e->SensAvg();
  const Signal in = Sine(static_cast<int>(dry.size()), 300.0, 0.5);
  std::vector<double> out(dry.size());
  for (size_t i = 0; i < dry.size(); ++i)
  {
    double outL, outR, dryL = dry[i], dryR = dry[i];
    e->Traitement1(in[i], in[i], &outL, &outR, &dryL, &dryR);
    out[i] = outL;
    EXPECT_EQ(outL, outR);
  }
  return out;
}
}  // namespace

TEST(TeskStageOne, TheDryShareIsOneMinusTheWetShareOnEveryActiveFrame)
{
  // Two runs that differ only in the dry samples: the difference of their outputs
  // is 4 x (1 - w) x the difference of the dry samples, w = Pre x ((1 - Auto) + Auto x M).
  const MixCase cases[] = {
    {"Pre 0", 0.0, 0.0, 0.0},
    {"Pre 0.3, Auto off", 0.3, 0.0, 0.0},
    {"Pre 1, Auto off: wet only", 1.0, 0.0, 0.0},
    {"Auto on, Sensitivity 0 (M = 1)", 0.6, 1.0, 0.0},
    {"Auto on, Sensitivity 0.5", 0.6, 1.0, 0.5},
    {"Auto on, Sensitivity 1", 0.9, 1.0, 1.0},
  };
  const int n = 5000;
  const Signal dryA = Noise(n, 0.7, 5u), dryB = Noise(n, 0.7, 6u);
  for (const MixCase& c : cases)
  {
    double m = 0.0, mB = 0.0;
    const std::vector<double> a = StageOneOutput(c, dryA, &m);
    const std::vector<double> b = StageOneOutput(c, dryB, &mB);
    ASSERT_EQ(m, mB) << c.name;
    const double w = c.pre * ((1.0 - c.autoMode) + c.autoMode * m);
    for (int i = 0; i < n; ++i)
      ASSERT_NEAR(a[i] - b[i], 4.0 * (1.0 - w) * (dryA[i] - dryB[i]), 1e-12) << c.name << " sample " << i;
  }
}

TEST(TeskStageOne, Pre0GivesExactlyFourTimesTheDrySample)
{
  double m = 0.0;
  const Signal dry = Noise(3000, 0.9, 8u);
  const std::vector<double> out = StageOneOutput({"Pre 0", 0.0, 0.0, 0.0}, dry, &m);
  for (size_t i = 0; i < dry.size(); ++i) ASSERT_DOUBLE_EQ(out[i], 4.0 * dry[i]) << "sample " << i;
}

TEST(TeskStageOne, IdleFramesAddNothingNotEvenTheDrySignal)
{
  // Frame i starts after 2048 i samples, so the dry sum grows 1, 2, 3, 4 times.
  EngineRun e;
  for (int i = 0; i < 8000; ++i)
  {
    double outL, outR, dryL = 1.0, dryR = 1.0;
    e->Traitement1(0.0, 0.0, &outL, &outR, &dryL, &dryR);
    ASSERT_EQ(outL, std::min(4, i / TeskEngine::kHopSize + 1)) << "sample " << i;
  }
}

TEST(TeskStages, FrameStepsComeEvery2048SamplesAndBothStagesStepTogether)
{
  EngineRun e;
  const Signal in = Noise(30000, 0.3);
  std::vector<int> steps1, steps2;
  for (int i = 0; i < 30000; ++i)
  {
    const auto before1 = e->FrameSteps1(), before2 = e->FrameSteps2();
    e.Step(in[i], in[i]);
    if (e->FrameSteps1() != before1) steps1.push_back(i);
    if (e->FrameSteps2() != before2) steps2.push_back(i);
  }
  ASSERT_FALSE(steps1.empty());
  EXPECT_EQ(steps1, steps2);
  EXPECT_EQ(steps1.front(), TeskEngine::kFrameSize - 1);
  for (size_t k = 1; k < steps1.size(); ++k) EXPECT_EQ(steps1[k] - steps1[k - 1], TeskEngine::kHopSize);
  // Each frame steps every 8192 samples: its counter is back where it was.
  EXPECT_EQ(e->FrameCounter1(0), 30000 % TeskEngine::kConvSize);
}

namespace
{
struct Range
{
  int first, last;  // inclusive bin range
};

struct SelectionCase
{
  const char* name;
  double low, high, inv, autoMode, modeA, modeB;
  std::vector<Range> reduced;  // gain bins that must come out below 1
};

bool InRanges(const std::vector<Range>& ranges, int k)
{
  for (const Range& r : ranges)
    if (k >= r.first && k <= r.last) return true;
  return false;
}
}  // namespace

TEST(TeskStageTwo, TheBandSelectsTheBinsOneAndTwoAboveIt)
{
  // Band edges come back from the display's handles: 219 pixels of travel, so 0.1,
  // 0.2 and 0.3 become bins 392, 804 and 1215.
  const std::vector<SelectionCase> cases = {
    {"band 0..1, Mode A", 0.0, 1.0, 0.0, 0.0, 1.0, 0.0, {{2, 2047}}},
    {"band 0..1, Mode B", 0.0, 1.0, 0.0, 0.0, 0.0, 1.0, {{3, 2047}}},
    {"narrow band, Mode A", 0.1, 0.2, 0.0, 0.0, 1.0, 0.0, {{394, 804}}},
    {"narrow band inverted", 0.1, 0.2, 1.0, 0.0, 1.0, 0.0, {{1, 392}, {806, 2047}}},
    {"Low above High", 0.3, 0.2, 0.0, 0.0, 1.0, 1.0, {}},
    {"Low above High, inverted", 0.3, 0.2, 1.0, 0.0, 1.0, 0.0, {{1, 2047}}},
    {"Low equals High, inverted", 0.2, 0.2, 1.0, 0.0, 1.0, 0.0, {{1, 804}, {806, 2047}}},
    {"band 0..1 inverted", 0.0, 1.0, 1.0, 0.0, 1.0, 1.0, {}},
    {"Inv exactly 0.5", 0.1, 0.2, 0.5, 0.0, 1.0, 1.0, {}},
    {"Auto on while D = 0", 0.0, 1.0, 0.0, 1.0, 1.0, 1.0, {}},
  };
  const Signal in = Noise(TeskEngine::kFrameSize, 1000.0, 33u);
  for (const SelectionCase& c : cases)
  {
    EngineRun e;
    e->SetBandLow(c.low);
    e->SetBandHigh(c.high);
    e->SetInvertBand(c.inv);
    e->SetAutoMode(c.autoMode);
    e->SetModeA(c.modeA);
    e->SetModeB(c.modeB);
    for (double x : in)
    {
      double outL, outR;
      e->Traitement2(x, -x, &outL, &outR);
    }
    ASSERT_EQ(e->FrameSteps2(), 1u) << c.name;
    EXPECT_EQ(e->ReductionStep(), c.autoMode > 0.5 ? 0.0 : 79.0) << c.name;

    const double* orig = e->MagOrigL();
    for (int k = 0; k < TeskEngine::kHopSize; ++k)
    {
      ASSERT_GT(orig[k], 200.0) << "the fixture's noise must fill every bin";
      double lowered = orig[k];
      if (InRanges(c.reduced, k)) lowered = orig[k] - 79.0 * (c.modeA > 0.0 ? c.modeA : c.modeB);
      ASSERT_NEAR(e->GainL()[k], lowered / orig[k], 1e-12) << c.name << " bin " << k;
      ASSERT_NEAR(e->GainR()[k], e->GainL()[k], 1e-12) << c.name << " bin " << k;
    }
  }
}

TEST(TeskStageTwo, ModeALowersTheBinsJustAboveATonesInBandBinsAndTheToneWithThem)
{
  // A tone centred on bin 300 inside the band 187..486. "Mode A" 0.5 lowers every
  // magnitude one bin above a selected bin by 39.5; the tone's own bin is one above
  // bin 299, so the tone comes out lower by (M - 39.5) / M.
  const int toneBin = 300;
  const double freq = toneBin * 44100.0 / TeskEngine::kFrameSize;
  const int n = TeskEngine::kFrameSize + 27 * TeskEngine::kHopSize;  // ends on a frame step
  const Signal in = Sine(n, freq, 0.25);

  EngineRun plain, reduced;
  for (EngineRun* p : {&plain, &reduced})
  {
    (*p)->SetBandLow(0.05);
    (*p)->SetBandHigh(0.12);
  }
  reduced->SetModeA(0.5);
  const Signal a = plain.RenderMono(in, 256);
  const Signal b = reduced.RenderMono(in, 256);

  const double* orig = reduced->MagOrigL();
  const double* mag = reduced->MagL();
  ASSERT_EQ(static_cast<int>(reduced->BandLow() * 4096), 187);
  for (int k : {toneBin - 1, toneBin, toneBin + 1, toneBin + 2})
    EXPECT_NEAR(mag[k], std::max(0.0, orig[k] - 39.5), 1e-9) << "bin " << k;
  EXPECT_EQ(mag[188], orig[188]);  // one above the low edge is not selected
  EXPECT_EQ(mag[487], orig[487]);  // beyond the high edge

  // Level of the tone at the output, by correlation over whole periods of bin 300.
  auto level = [&](const Signal& s) {
    double re = 0.0, im = 0.0;
    const int from = n - 8 * TeskEngine::kFrameSize;
    for (int i = from; i < n; ++i)
    {
      re += s[i] * std::cos(2.0 * std::numbers::pi * toneBin * i / TeskEngine::kFrameSize);
      im += s[i] * std::sin(2.0 * std::numbers::pi * toneBin * i / TeskEngine::kFrameSize);
    }
    return std::hypot(re, im);
  };
  const double expected = (orig[toneBin] - 39.5) / orig[toneBin];
  EXPECT_NEAR(Db(level(b) / level(a)), Db(expected), 0.02);
  EXPECT_LT(Db(level(b) / level(a)), -0.3);
}
