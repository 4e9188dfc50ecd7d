// Torture inputs: what hosts and other plug-ins may send. The output stays finite (after
// a burst of NaN or infinity, once a recovery window has passed), never holds subnormal
// samples, and silence in gives silence out.

#include "ValidatorChecks.h"
#include "ValidatorSupport.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace validator
{
namespace
{
constexpr int kBurstStart = 16384;
constexpr int kBurstLength = 64;
// How long non-finite input may poison the output once it has ended: every analysis
// frame that held it has left both stages (as measured: 24575 samples).
constexpr int kRecoveryWindow = 24575;
constexpr int kFrames = kBurstStart + kBurstLength + kRecoveryWindow + 4096;

Audio WithBurst(float value)
{
  Audio a = WhiteNoise(kFrames, 0.5f, 9u);
  for (int i = kBurstStart; i < kBurstStart + kBurstLength; ++i)
  {
    a.mChannels[0][i] = value;
    a.mChannels[1][i] = (i % 2) ? value : -value;
  }
  return a;
}

struct TortureInput
{
  const char* mName;
  Audio (*mMake)();
  bool mBurst;   // non-finite samples in [kBurstStart, kBurstStart + kBurstLength)
  bool mSilent;  // all zero
};

const TortureInput kInputs[] = {
  {"silence", [] { return Constant(kFrames, 0.0f); }, false, true},
  {"1e-27 DC", [] { return Constant(kFrames, 1e-27f); }, false, false},
  {"FLT_MIN DC", [] { return Constant(kFrames, FLT_MIN); }, false, false},
  {"+-1 at Nyquist", [] { return Nyquist(kFrames, 1.0f); }, false, false},
  {"full-scale noise", [] { return WhiteNoise(kFrames, 1.0f, 3u); }, false, false},
  {"huge finite values", [] { return WhiteNoise(kFrames, 1e15f, 4u); }, false, false},
  {"NaN burst", [] { return WithBurst(std::numeric_limits<float>::quiet_NaN()); }, true, false},
  {"infinity burst", [] { return WithBurst(std::numeric_limits<float>::infinity()); }, true, false},
};

struct NamedSettings
{
  const char* mName;
  Settings mSettings;
};

std::vector<NamedSettings> TortureSettings(PluginUnderTest& plug)
{
  Settings allMax, bypassed{{12, 1.0f}};
  const std::vector<ParameterRange> ranges = plug.Parameters();
  for (int i = 0; i < static_cast<int>(ranges.size()); ++i)
    if (i != 12) allMax.push_back({i, ranges[i].mMax});  // 12: Bypass, which would skip the engine
  return {
    {"defaults", {}}, {"busy", BusySettings()}, {"every parameter at its maximum", allMax}, {"bypassed", bypassed}};
}
}  // namespace

TEST_P(PluginChecks, TortureInputsGiveFiniteOutputWithoutSubnormals)
{
  std::unique_ptr<PluginUnderTest> probe = GetParam().mOpen();
  ASSERT_TRUE(probe);
  int longestRecovery = 0;
  for (const NamedSettings& s : TortureSettings(*probe))
  {
    for (const TortureInput& t : kInputs)
    {
      SCOPED_TRACE(std::string(t.mName) + ", " + s.mName);
      std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 44100.0, 512, 1u, s.mSettings);
      ASSERT_TRUE(plug);
      const Audio out = RenderAll(*plug, t.mMake(), FixedBlocks(512));
      const SampleCensus all = Inspect(out);
      EXPECT_EQ(all.mSubnormal, 0) << "first subnormal at frame " << all.mFirstSubnormal;
      if (t.mSilent)
      {
        EXPECT_EQ(all.mNonZero, 0) << "silence in, sound out";
      }
      if (!t.mBurst)
      {
        EXPECT_EQ(all.mNonFinite, 0) << "first non-finite sample at frame " << all.mFirstNonFinite;
        continue;
      }
      const int burstEnd = kBurstStart + kBurstLength;
      EXPECT_EQ(Inspect(out, 0, kBurstStart).mNonFinite, 0) << "non-finite output before the burst";
      const SampleCensus after = Inspect(out, burstEnd + kRecoveryWindow);
      EXPECT_EQ(after.mNonFinite, 0) << "still non-finite at frame " << after.mFirstNonFinite << ", "
                                     << after.mFirstNonFinite - burstEnd << " frames after the burst";
      if (all.mLastNonFinite >= burstEnd)
        longestRecovery = std::max(longestRecovery, all.mLastNonFinite + 1 - burstEnd);
    }
  }
  RecordProperty("longest_recovery_frames", longestRecovery);
}

}  // namespace validator
