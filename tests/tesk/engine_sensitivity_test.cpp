// The sensitivity measure and its reference histogram, checked against values that
// follow from what the measure means rather than from its code: where a frame's
// samples land in the histogram, how the noise spreads them, and the measure's
// limits for frames whose shape is plain.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <vector>

#include "EngineTestSupport.h"
#include "TeskSensitivity.h"

using namespace tesk_test;

namespace
{
constexpr int kN = TeskEngine::kFrameSize;
constexpr int kLastBin = kHistoRefBins - 1;

// The engine after stage one's first frame step, which measures input samples
// 0 .. 4095 (left, right) with the given "Sensitivity".
struct MeasuredFrame
{
  MeasuredFrame(const Signal& left, const Signal& right, double sensitivity, std::uint32_t seed = 12345u)
    : e(seed)
  {
    e->SetSensitivity(sensitivity);
    for (int i = 0; i < kN; ++i) e.Step(left[i], right[i]);
  }

  const TeskEngine& Engine() { return *e; }
  double Count(int bin) { return Engine().SensHisto()[bin]; }
  double Total()
  {
    const auto* h = Engine().SensHisto();
    return std::accumulate(h, h + kHistoRefBins, 0.0);
  }

  tesk_test::EngineRun e;
};

Signal Constant(double v) { return Signal(kN, v); }
}  // namespace

TEST(TeskHistoRef, TellingRowsShapeAndSum)
{
  struct Row
  {
    const char* name;
    int bin;
    double value;
  };
  const Row rows[] = {
    {"first bin", 0, 2.0084},     {"quarter", 16384, 57.3917},        {"middle", 32768, 180.6495},
    {"maximum", 33435, 180.6496}, {"three quarters", 49152, 62.7759}, {"last bin", 65535, 2.4038},
  };
  for (const Row& r : rows) EXPECT_NEAR(histoRef[r.bin], r.value, 5e-5) << r.name;

  for (int b = 1; b <= 33435; ++b) ASSERT_GE(histoRef[b], histoRef[b - 1]) << "rising at " << b;
  for (int b = 33436; b < kHistoRefBins; ++b) ASSERT_LE(histoRef[b], histoRef[b - 1]) << "falling at " << b;
  EXPECT_GT(histoRef[33435], histoRef[33434]);
  EXPECT_GT(histoRef[33435], histoRef[33436]);
  EXPECT_NEAR(std::accumulate(histoRef.begin(), histoRef.end(), 0.0), 4983788.0, 1.0);
}

TEST(TeskSensitivity, EverySampleCountsOnceAndThePeakSpansBothChannels)
{
  Signal left = Noise(kN, 0.3, 3u), right = Noise(kN, 0.3, 4u);
  left[100] = 0.45;
  right[3000] = -0.8;  // the frame's largest magnitude, on the right
  MeasuredFrame f(left, right, 0.5);
  EXPECT_EQ(f.Engine().FramePeak(), 0.8);
  EXPECT_EQ(f.Total(), kN);
}

// A silent frame has no shape: 0/0 puts every sample in bin 0, and with a single
// occupied bin (fewer than 21) the measure is 0 whatever the difference, so S is
// 1 - Sensitivity. Without that rule this histogram would measure 1: bin 0's count
// is only about 4094 away from the reference.
TEST(TeskSensitivity, ASilentFrameCountsInBinZeroAndMeasuresOneMinusSensitivity)
{
  for (double sensitivity : {0.0, 0.25, 1.0})
  {
    MeasuredFrame f(Constant(0.0), Constant(0.0), sensitivity);
    EXPECT_EQ(f.Engine().FramePeak(), 0.0);
    EXPECT_EQ(f.Count(0), kN);
    EXPECT_EQ(f.Engine().SensMeasure(), 1.0 - sensitivity) << "Sensitivity " << sensitivity;
  }
}

// A constant frame normalises to exactly +1 (or -1): every sample sits at the edge
// of the histogram before the noise, so the noise's sign decides. Half the samples
// are pushed past the edge and clamped into the last (first) bin; the other half
// spread inwards like the positive half of a Gaussian of deviation 0.05 of the
// normalised range, 0.05 * 32767.5 bins: their mean distance from the edge is that
// deviation times sqrt(2 / pi).
TEST(TeskSensitivity, NoiseSpreadsAFrameAtTheEdgeByItsDeviationAndTheRestIsClamped)
{
  const double deviationBins = 0.05 * (kHistoRefBins - 1) * 0.5;
  for (double level : {0.6, -0.6})
  {
    MeasuredFrame f(Constant(level), Constant(level), 0.0);
    const int edge = level > 0 ? kLastBin : 0;
    const double clamped = f.Count(edge);
    EXPECT_NEAR(clamped, kN / 2.0, 4.0 * std::sqrt(kN / 4.0)) << level;  // binomial, four deviations

    double inside = 0.0, distance = 0.0;
    for (int b = 0; b < kHistoRefBins; ++b)
    {
      if (b == edge) continue;
      inside += f.Count(b);
      distance += f.Count(b) * std::abs(b - edge);
    }
    ASSERT_GT(inside, 0.0);
    EXPECT_NEAR(distance / inside, deviationBins * std::sqrt(2.0 / std::numbers::pi), 0.06 * deviationBins) << level;
  }
}

// The reference expects the counts of typical material, far above one per bin: a
// frame whose samples crowd the middle of the range (a click in near silence)
// differs from it by more than the measure's full scale, so the measure is 0 and S
// is 1 - Sensitivity. A full-scale square wave lands at the two edges, where the
// reference is small, and measures at full scale: S is 1 whatever the Sensitivity.
TEST(TeskSensitivity, PlainShapesReachTheMeasuresLimits)
{
  Signal click = Noise(kN, 1e-4, 8u);
  click[2000] = 1.0;
  Signal square(kN);
  for (int i = 0; i < kN; ++i) square[i] = (i / 64) % 2 ? 0.9 : -0.9;
  struct Case
  {
    const char* name;
    const Signal& signal;
    bool full;  // measure at full scale (S = 1) or at 0 (S = 1 - Sensitivity)
  };
  for (const Case& c : {Case{"click", click, false}, Case{"square", square, true}})
  {
    for (double sensitivity : {0.3, 1.0})
    {
      MeasuredFrame f(c.signal, c.signal, sensitivity);
      EXPECT_EQ(f.Engine().SensMeasure(), c.full ? 1.0 : 1.0 - sensitivity) << c.name << " " << sensitivity;
    }
  }
}

// For one frame and one seed the draws are the same whatever the Sensitivity, so S
// is the straight line 1 - s * (1 - m) between 1 (s = 0) and the frame's own
// measure m (s = 1). Uniform noise gives a measure strictly between the limits.
TEST(TeskSensitivity, SensitivityWeighsTheMeasureLinearly)
{
  const Signal left = Noise(kN, 0.5, 11u), right = Noise(kN, 0.5, 12u);
  const double m = MeasuredFrame(left, right, 1.0).Engine().SensMeasure();
  ASSERT_GT(m, 0.05);
  ASSERT_LT(m, 0.95);
  for (double s : {0.0, 0.2, 0.5, 0.8})
    EXPECT_NEAR(MeasuredFrame(left, right, s).Engine().SensMeasure(), 1.0 - s * (1.0 - m), 1e-15) << s;
}

TEST(TeskSensitivity, TheMeasureStaysBetweenOneMinusSensitivityAndOne)
{
  struct Input
  {
    const char* name;
    Signal signal;
  };
  const int n = 12 * TeskEngine::kHopSize;
  Signal clicks(n, 0.0);
  for (int i = 0; i < n; i += 997) clicks[i] = 1.0;
  Signal mixed = Sine(n, 220.0, 0.3);
  const Signal noise = Noise(n, 0.2, 4u);
  for (int i = 0; i < n; ++i) mixed[i] += noise[i];
  const Input inputs[] = {
    {"noise", Noise(n, 0.5)}, {"sine", Sine(n, 1234.5, 0.8)}, {"clicks", clicks}, {"sine + noise", mixed}};

  for (double sensitivity : {0.3, 1.0})
  {
    for (const Input& in : inputs)
    {
      EngineRun e;
      e->SetSensitivity(sensitivity);
      std::uint64_t steps = 0;
      for (double x : in.signal)
      {
        e.Step(x, x);
        if (e->FrameSteps1() == steps) continue;
        steps = e->FrameSteps1();
        ASSERT_LE(e->SensMeasure(), 1.0) << in.name;
        ASSERT_GE(e->SensMeasure(), 1.0 - sensitivity - 1e-15) << in.name;
        ASSERT_GT(e->FramePeak(), 0.0) << in.name;
      }
    }
  }
}

TEST(TeskSensitivity, TheSeedMakesARenderRepeatable)
{
  // With "Auto" on and "Sensitivity" at 1 the measure's draws reach the output.
  auto render = [](std::uint32_t seed) {
    EngineRun e(seed);
    e->SetAutoMode(1.0);
    e->SetSensitivity(1.0);
    e->SetPreAmount(1.0);
    e->SetModeA(1.0);
    return e.RenderMono(Noise(30000, 0.5), 1000);
  };
  const Signal a = render(42u), b = render(42u), c = render(43u);
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(double)));
  EXPECT_NE(0, std::memcmp(a.data(), c.data(), a.size() * sizeof(double)));
}

TEST(TeskRandomSource, FillGivesTheValuesNextGivesAndLeavesTheSameState)
{
  // Fill works on lanes many steps apart; mixed with Next, the sequence must be the
  // one Next alone gives.
  for (std::uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu})
  {
    TeskRandom one(seed), lanes(seed);
    std::vector<std::uint32_t> filled(3 * 512);
    for (int round = 0; round < 3; ++round)
    {
      lanes.Fill(filled.data() + round * 512, 512);
      lanes.Next();
    }
    for (int round = 0; round < 3; ++round)
    {
      for (int k = 0; k < 512; ++k) ASSERT_EQ(one.Next(), filled[round * 512 + k]) << "seed " << seed << " at " << k;
      one.Next();
    }
    EXPECT_EQ(one.Next(), lanes.Next()) << "seed " << seed;
  }
}

TEST(TeskRandomSource, DrawsCoverTheRangeOfThirtyOneBits)
{
  TeskRandom r(99u);
  std::uint32_t lo = TeskRandom::kMax, hi = 0;
  double sum = 0.0;
  const int n = 200000;
  for (int i = 0; i < n; ++i)
  {
    const std::uint32_t v = r.Next();
    ASSERT_LE(v, TeskRandom::kMax);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    sum += v;
  }
  EXPECT_LT(lo, TeskRandom::kMax / 1000);
  EXPECT_GT(hi, TeskRandom::kMax - TeskRandom::kMax / 1000);
  EXPECT_NEAR(sum / n / TeskRandom::kMax, 0.5, 0.01);
}
