// Tesk built on the hostless base instead of the Audio Unit binding: the same
// identity, parameters and editor, and the same output as its engine alone.

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "Tesk.h"
#include "TeskRandom.h"

namespace
{
std::vector<double> Noise(int n, std::uint32_t seed)
{
  TeskRandom r(seed);
  std::vector<double> s(n);
  for (double& x : s) x = 0.5 * (2.0 * r.Next() / TeskRandom::kMax - 1.0);
  return s;
}
}  // namespace

TEST(TeskHostless, TheProcessorNeedsNoHostToBeItself)
{
  Tesk plug(TeskInstanceInfo());
  EXPECT_EQ(plug.GetAPI(), kAPISA);
  EXPECT_STREQ(plug.GetEffectName(), "Tesk");
  EXPECT_EQ(plug.GetUniqueID(), kTeskFourCC);
  EXPECT_EQ(plug.NParams(), tesk::kNumParams);
  EXPECT_STREQ(plug.GetParam(tesk::kModeB)->GetNameForHost(), "Mode B");
  // An editor, built when first needed.
  EXPECT_TRUE(plug.OffersGUI());
  EXPECT_EQ(plug.GetGUI(), nullptr);
  ASSERT_NE(plug.EnsureGUI(), nullptr);
  EXPECT_NE(plug.GetEditorLink(), nullptr);
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "-");
}

// Parameter changes reach the engine as on any binding: the processor renders
// exactly what its engine renders with the same working values and seed. (The
// band edges come from the editor's handles, which stand at the full band.)
TEST(TeskHostless, RendersWhatItsEngineRenders)
{
  const std::pair<tesk::EParam, double> settings[] = {
    {tesk::kPre, 0.6}, {tesk::kAuto, 1.0}, {tesk::kSensitivity, 0.7}, {tesk::kModeA, 0.5}, {tesk::kModeB, 0.25}};
  Tesk plug(TeskInstanceInfo());
  plug.OnParamReset();
  for (auto [idx, v] : settings)
  {
    plug.GetParam(idx)->Set(v);
    plug.OnParamChange(idx);
  }
  plug.SetRandomSeed(77u);

  TeskEngine engine;
  engine.SetBandHigh(1.0);
  engine.SetPreAmount(0.6);
  engine.SetAutoMode(1.0);
  engine.SetSensitivity(0.7);
  engine.SetModeA(0.5);
  engine.SetModeB(0.25);
  engine.SetRandomSeed(77u);

  const int n = 5 * TeskEngine::kConvSize;
  std::vector<double> in = Noise(n, 3u), a(n), b(n), c(n), d(n);
  double* ins[2] = {in.data(), in.data()};
  double* outsPlug[2] = {a.data(), b.data()};
  double* outsEngine[2] = {c.data(), d.data()};
  plug.ProcessDoubleReplacing(ins, outsPlug, n);
  engine.Process(ins, outsEngine, n, plug.GetSampleRate());
  EXPECT_EQ(0, std::memcmp(a.data(), c.data(), n * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(b.data(), d.data(), n * sizeof(double)));
  EXPECT_GT(engine.FrameSteps1(), 10u);
}
