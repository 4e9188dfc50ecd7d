// The sensitivity measure and its reference histogram.

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

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
    {"first bin", 0, 2.0084},       {"quarter", 16384, 57.3917},    {"middle", 32768, 180.6495},
    {"maximum", 33435, 180.6496},   {"three quarters", 49152, 62.7759}, {"last bin", 65535, 2.4038},
  };
  for (const Row& r : rows) EXPECT_NEAR(histoRef[r.bin], r.value, 5e-5) << r.name;

  for (int b = 1; b <= 33435; ++b) ASSERT_GE(histoRef[b], histoRef[b - 1]) << "rising at " << b;
  for (int b = 33436; b < kHistoRefBins; ++b) ASSERT_LE(histoRef[b], histoRef[b - 1]) << "falling at " << b;
  EXPECT_GT(histoRef[33435], histoRef[33434]);
  EXPECT_GT(histoRef[33435], histoRef[33436]);
  EXPECT_NEAR(std::accumulate(histoRef.begin(), histoRef.end(), 0.0), 4983788.0, 1.0);
  EXPECT_EQ(histoRef_Size, 65536.0);
}

TEST(TeskSensitivity, ASilentFrameCountsInBinZeroAndMeasuresOneMinusSensitivity)
{
  for (double sensitivity : {0.0, 0.25, 1.0})
  {
    Engine e;
    e.Set(Tesk::kSensitivity, sensitivity);
    e.RenderMono(Signal(Tesk::kFrameSize, 0.0));
    ASSERT_EQ(e->FrameSteps1(), 1u);
    EXPECT_EQ(e->FramePeak(), 0.0);
    EXPECT_EQ(e->SensHisto()[0], Tesk::kFrameSize);
    EXPECT_DOUBLE_EQ(e->SensMeasure(), 1.0 - sensitivity) << "Sensitivity " << sensitivity;
  }
}

TEST(TeskSensitivity, TheMeasureStaysBetweenOneMinusSensitivityAndOne)
{
  struct Input
  {
    const char* name;
    Signal signal;
  };
  const int n = 12 * Tesk::kHopSize;
  Signal clicks(n, 0.0);
  for (int i = 0; i < n; i += 997) clicks[i] = 1.0;
  Signal mixed = Sine(n, 220.0, 0.3);
  const Signal noise = Noise(n, 0.2, 4u);
  for (int i = 0; i < n; ++i) mixed[i] += noise[i];
  const Input inputs[] = {{"noise", Noise(n, 0.5)}, {"sine", Sine(n, 1234.5, 0.8)}, {"clicks", clicks}, {"sine + noise", mixed}};

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
