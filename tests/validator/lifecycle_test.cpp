// The instance's life as hosts lead it: blocks larger than promised are refused without
// touching anything; opening, closing, resetting and re-initialising in cycles, and
// several instances at once, leave every instance rendering exactly as a lone one does.

#include "ValidatorChecks.h"
#include "ValidatorSupport.h"

#include <cmath>

namespace validator
{
namespace
{
constexpr int kMaxFrames = 256;
constexpr int kFrames = 12288 + 2 * 2048;
constexpr float kSentinel = 12345.0f;
}  // namespace

TEST_P(BlockLimitChecks, MoreFramesThanTheMaximumAreRefusedAndChangeNothing)
{
  const Audio input = MusicLike(kFrames, 23u);
  std::unique_ptr<PluginUnderTest> ref = OpenPrepared(GetParam(), 44100.0, kMaxFrames, 3u, BusySettings());
  std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 44100.0, kMaxFrames, 3u, BusySettings());
  ASSERT_TRUE(ref && plug);
  const Audio expected = RenderAll(*ref, input, FixedBlocks(kMaxFrames));

  Audio got;
  for (auto& ch : got.mChannels) ch.assign(static_cast<size_t>(kFrames), 0.0f);
  std::vector<float> big[2] = {std::vector<float>(2 * kMaxFrames, 0.25f), std::vector<float>(2 * kMaxFrames, 0.25f)};
  for (int start = 0; start < kFrames; start += kMaxFrames)
  {
    // Before every block, one that is too large: refused, output left alone.
    for (int tooMany : {kMaxFrames + 1, 2 * kMaxFrames})
    {
      std::vector<float> out[2] = {std::vector<float>(tooMany, kSentinel), std::vector<float>(tooMany, kSentinel)};
      const float* in[2] = {big[0].data(), big[1].data()};
      float* o[2] = {out[0].data(), out[1].data()};
      ASSERT_EQ(plug->Render(in, o, tooMany), RenderStatus::kRefused) << tooMany << " frames at frame " << start;
      RecordProperty("refusal_error", static_cast<int>(plug->LastError()));
      for (const auto& ch : out)
        for (float s : ch) ASSERT_EQ(s, kSentinel) << "a refused render wrote output";
    }
    const int len = std::min(kMaxFrames, kFrames - start);
    const float* in[2] = {input.mChannels[0].data() + start, input.mChannels[1].data() + start};
    float* o[2] = {got.mChannels[0].data() + start, got.mChannels[1].data() + start};
    ASSERT_EQ(plug->Render(in, o, len), RenderStatus::kRendered);
  }
  EXPECT_EQ(FirstDifference(expected, got), -1) << "the refused renders changed the audio";
}

// One host session: open, prepare, render, reset, render, deactivate, activate, render,
// reset again, close. Run as a series, the sessions render exactly what the same series
// renders again.
namespace
{
Audio Session(const Binding& binding, int round, const Audio& input)
{
  const double rates[] = {44100.0, 48000.0, 96000.0};
  std::unique_ptr<PluginUnderTest> plug =
    OpenPrepared(binding, rates[round % 3], kMaxFrames, 40u + round, BusySettings());
  if (!plug) return {};
  Audio all = RenderAll(*plug, input, FixedBlocks(kMaxFrames));
  EXPECT_TRUE(plug->Reset());
  const Audio afterReset = RenderAll(*plug, input, FixedBlocks(kMaxFrames / 2));
  EXPECT_TRUE(plug->Deactivate());
  EXPECT_TRUE(plug->Activate());
  const Audio afterRestart = RenderAll(*plug, input, FixedBlocks(kMaxFrames));
  EXPECT_TRUE(plug->Reset());
  for (const Audio* part : {&afterReset, &afterRestart})
    for (int c = 0; c < 2; ++c)
      all.mChannels[c].insert(all.mChannels[c].end(), part->mChannels[c].begin(), part->mChannels[c].end());
  return all;
}
}  // namespace

TEST_P(PluginChecks, OpenCloseResetAndReinitialiseCyclesRepeatExactly)
{
  const Audio input = MusicLike(kFrames, 29u);
  std::vector<Audio> first;
  for (int round = 0; round < 6; ++round) first.push_back(Session(GetParam(), round, input));
  for (int round = 0; round < 6; ++round)
  {
    const Audio again = Session(GetParam(), round, input);
    EXPECT_EQ(FirstDifference(first[round], again), -1) << "session " << round;
    const SampleCensus c = Inspect(again);
    EXPECT_EQ(c.mNonFinite + c.mSubnormal, 0) << "session " << round;
    EXPECT_GT(c.mNonZero, 0) << "session " << round;
  }
}

// Instances share nothing: four rendering in turn, block by block, each with its own
// settings and seed, give what each gives alone.
TEST_P(PluginChecks, InstancesRenderingInTurnMatchInstancesRenderingAlone)
{
  constexpr int kInstances = 4;
  const Audio input = MusicLike(kFrames, 37u);
  auto settingsOf = [](int k) {
    Settings s = BusySettings();
    s.push_back({6, 0.2f * k});  // Pre differs per instance
    return s;
  };
  std::vector<Audio> alone;
  for (int k = 0; k < kInstances; ++k)
  {
    std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 44100.0, kMaxFrames, 100u + k, settingsOf(k));
    ASSERT_TRUE(plug);
    alone.push_back(RenderAll(*plug, input, FixedBlocks(kMaxFrames)));
  }

  std::vector<std::unique_ptr<PluginUnderTest>> plugs;
  std::vector<Audio> together(kInstances);
  for (int k = 0; k < kInstances; ++k)
  {
    plugs.push_back(OpenPrepared(GetParam(), 44100.0, kMaxFrames, 100u + k, settingsOf(k)));
    ASSERT_TRUE(plugs.back());
    for (auto& ch : together[k].mChannels) ch.assign(static_cast<size_t>(kFrames), 0.0f);
  }
  for (int start = 0; start < kFrames; start += kMaxFrames)
    for (int k = 0; k < kInstances; ++k)
    {
      const int len = std::min(kMaxFrames, kFrames - start);
      const float* in[2] = {input.mChannels[0].data() + start, input.mChannels[1].data() + start};
      float* o[2] = {together[k].mChannels[0].data() + start, together[k].mChannels[1].data() + start};
      ASSERT_EQ(plugs[k]->Render(in, o, len), RenderStatus::kRendered);
    }
  for (int k = 0; k < kInstances; ++k) EXPECT_EQ(FirstDifference(alone[k], together[k]), -1) << "instance " << k;
}

}  // namespace validator
