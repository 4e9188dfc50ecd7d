// The sensitivity measure and its reference histogram.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "TeskSensitivity.h"
#include "TeskTestSupport.h"

using namespace tesk_test;

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

TEST(TeskSensitivity, ASilentFrameCountsInBinZeroAndMeasuresOneMinusSensitivity)
{
  for (double sensitivity : {0.0, 0.25, 1.0})
  {
    Engine e;
    e.Set(Tesk::kSensitivity, sensitivity);
    e.RenderMono(Signal(TeskEngine::kFrameSize, 0.0));
    ASSERT_EQ(e->GetEngine().FrameSteps1(), 1u);
    EXPECT_EQ(e->GetEngine().FramePeak(), 0.0);
    EXPECT_EQ(e->GetEngine().SensHisto()[0], TeskEngine::kFrameSize);
    EXPECT_DOUBLE_EQ(e->GetEngine().SensMeasure(), 1.0 - sensitivity) << "Sensitivity " << sensitivity;
  }
}

namespace
{
// The histogram and measure of one frame computed step by step from their definition,
// with the same draws: a change of a rounding step (the single-precision draws and g)
// or of the binning moves counts between bins and shows in the histogram.
double ExpectedMeasure(const double* frameL, const double* frameR, TeskRandom& draws, double sensitivity,
                       std::vector<int>& counts)
{
  const int n = TeskEngine::kFrameSize;
  double peak = 0.0;
  for (int k = 0; k < n; ++k) peak = std::max({peak, std::fabs(frameL[k]), std::fabs(frameR[k])});
  counts.assign(kHistoRefBins, 0);
  for (int k = 0; k < n; ++k)
  {
    const float u1 = static_cast<float>(draws.Next()) * (1.0f / 2147483648.0f);
    const float g = static_cast<float>(std::sqrt(-2.0 * std::log(static_cast<double>(u1))));
    const float angle = static_cast<float>(draws.Next()) * (1.0f / 2147483648.0f) * 6.2831855f;
    const double noise = static_cast<double>(g) * 0.05 * std::cos(static_cast<double>(angle));
    const double pos = (noise + (frameL[k] + frameR[k]) / (2.0 * peak) + 1.0) * ((kHistoRefBins - 1) * 0.5);
    int bin = 0;
    if (std::isfinite(pos)) bin = pos > 65535.0 ? 65535 : (pos < 0.0 ? 0 : static_cast<int>(pos));
    ++counts[bin];
  }
  int nonEmpty = 0;
  double diff = 0.0;
  for (int b = 0; b < kHistoRefBins; ++b)
  {
    if (counts[b] <= 0) continue;
    ++nonEmpty;
    diff += std::abs(static_cast<int>(histoRef[b] - counts[b]));
  }
  const double r = diff / -520000.0 + 1.0;
  const double x = (nonEmpty <= 20 || r < 0.0) ? 0.0 : r * 0.5 * 4.0;
  return (1.0 - sensitivity) + sensitivity * std::min(1.0, x);
}
}  // namespace

TEST(TeskSensitivity, EachFramesMeasureFollowsItsArithmeticExactly)
{
  // Frame step j measures input samples 2048 j .. 2048 j + 4095 and takes the next
  // 8192 draws after the seed.
  const std::uint32_t seed = 2024u;
  const double sensitivity = 0.6;
  const int steps = 40;
  const int n = TeskEngine::kFrameSize + (steps - 1) * TeskEngine::kHopSize;
  const Signal inL = Noise(n, 0.5, 11u);
  Signal inR = Sine(n, 331.0, 0.4);
  for (int i = 0; i < n; ++i) inR[i] += 0.3 * inL[(i * 7) % n];

  Engine e(seed);
  e.Set(Tesk::kSensitivity, sensitivity);
  TeskRandom draws(seed);
  std::vector<int> counts;
  int measured = 0;
  for (int i = 0; i < n; ++i)
  {
    e.Step(inL[i], inR[i]);
    if (e->GetEngine().FrameSteps1() == static_cast<std::uint64_t>(measured)) continue;
    const int start = measured * TeskEngine::kHopSize;
    const double expected = ExpectedMeasure(inL.data() + start, inR.data() + start, draws, sensitivity, counts);
    for (int b = 0; b < kHistoRefBins; ++b)
      ASSERT_EQ(e->GetEngine().SensHisto()[b], counts[b]) << "frame step " << measured << " bin " << b;
    ASSERT_EQ(e->GetEngine().SensMeasure(), expected) << "frame step " << measured;
    ++measured;
  }
  EXPECT_EQ(measured, steps);
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
      Engine e;
      e.Set(Tesk::kSensitivity, sensitivity);
      std::uint64_t steps = 0;
      for (double x : in.signal)
      {
        e.Step(x, x);
        if (e->GetEngine().FrameSteps1() == steps) continue;
        steps = e->GetEngine().FrameSteps1();
        ASSERT_LE(e->GetEngine().SensMeasure(), 1.0) << in.name;
        ASSERT_GE(e->GetEngine().SensMeasure(), 1.0 - sensitivity - 1e-15) << in.name;
        ASSERT_GT(e->GetEngine().FramePeak(), 0.0) << in.name;
      }
    }
  }
}

TEST(TeskSensitivity, TheSeedMakesARenderRepeatable)
{
  // With "Auto" on and "Sensitivity" at 1 the measure's draws reach the output.
  auto render = [](std::uint32_t seed) {
    Engine e(seed);
    e.Set(Tesk::kAuto, 1.0);
    e.Set(Tesk::kSensitivity, 1.0);
    e.Set(Tesk::kPre, 1.0);
    e.Set(Tesk::kModeA, 1.0);
    return e.RenderMono(Noise(30000, 0.5), 1000);
  };
  const Signal a = render(42u), b = render(42u), c = render(43u);
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(double)));
  EXPECT_NE(0, std::memcmp(a.data(), c.data(), a.size() * sizeof(double)));
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
