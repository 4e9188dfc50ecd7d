// Parameters: random sets and every extreme render finite, normal output, and every
// value set through the host's setter reads back; automation from another thread while
// the audio thread renders.

#include "ValidatorChecks.h"
#include "ValidatorSupport.h"

#include <atomic>
#include <random>
#include <thread>

namespace validator
{
namespace
{
constexpr int kFrames = 12288 + 4 * 2048;

enum class Pick
{
  kMin,
  kMax,
  kAlternate,   // min, max, min, ...
  kAlternate2,  // max, min, max, ...
  kRandom,      // uniform in the range, with either end now and then
};

Settings MakeSet(const std::vector<ParameterRange>& ranges, Pick pick, std::mt19937* gen)
{
  Settings s;
  for (int i = 0; i < static_cast<int>(ranges.size()); ++i)
  {
    const ParameterRange r = ranges[i];
    float v = r.mMin;
    switch (pick)
    {
      case Pick::kMin: v = r.mMin; break;
      case Pick::kMax: v = r.mMax; break;
      case Pick::kAlternate: v = i % 2 ? r.mMax : r.mMin; break;
      case Pick::kAlternate2: v = i % 2 ? r.mMin : r.mMax; break;
      case Pick::kRandom:
      {
        const int kind = std::uniform_int_distribution<int>(0, 5)(*gen);
        v = kind == 0 ? r.mMin : kind == 1 ? r.mMax : std::uniform_real_distribution<float>(r.mMin, r.mMax)(*gen);
        break;
      }
    }
    s.push_back({i, v});
  }
  return s;
}
}  // namespace

TEST_P(PluginChecks, RandomParameterSetsAndExtremesRenderCleanly)
{
  std::unique_ptr<PluginUnderTest> probe = GetParam().mOpen();
  ASSERT_TRUE(probe);
  const std::vector<ParameterRange> ranges = probe->Parameters();
  ASSERT_FALSE(ranges.empty());
  std::mt19937 gen(4242u);
  const std::pair<const char*, Pick> picks[] = {{"all at minimum", Pick::kMin},    {"all at maximum", Pick::kMax},
                                                {"alternating", Pick::kAlternate}, {"alternating", Pick::kAlternate2},
                                                {"random 1", Pick::kRandom},       {"random 2", Pick::kRandom},
                                                {"random 3", Pick::kRandom},       {"random 4", Pick::kRandom},
                                                {"random 5", Pick::kRandom},       {"random 6", Pick::kRandom}};
  const Audio input = MusicLike(kFrames, 21u);
  for (const auto& [name, pick] : picks)
  {
    SCOPED_TRACE(name);
    const Settings set = MakeSet(ranges, pick, &gen);
    std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 48000.0, 1024, 6u, set);
    ASSERT_TRUE(plug);
    for (const auto& [index, value] : set) EXPECT_EQ(plug->GetParameter(index), value) << "parameter " << index;
    const SampleCensus c = Inspect(RenderAll(*plug, input, FixedBlocks(1024)));
    EXPECT_EQ(c.mNonFinite, 0) << "first at frame " << c.mFirstNonFinite;
    EXPECT_EQ(c.mSubnormal, 0) << "first at frame " << c.mFirstSubnormal;
  }
}

// A host's automation thread sets every parameter once per 32-frame block while the
// audio thread renders those blocks; the setter and the render overlap freely.
TEST_P(ConcurrencyChecks, ParametersAutomatedEvery32FramesFromAnotherThread)
{
  constexpr int kBlock = 32, kBlocks = 800;
  std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), 44100.0, kBlock, 8u, BusySettings());
  ASSERT_TRUE(plug);
  const std::vector<ParameterRange> ranges = plug->Parameters();
  ASSERT_FALSE(ranges.empty());
  const Audio input = MusicLike(kBlock * kBlocks, 13u);

  std::atomic<int> rendered{0};
  std::atomic<bool> stop{false};
  Settings last;
  std::thread automation([&] {
    std::mt19937 gen(99u);
    for (int seen = 0; seen < kBlocks && !stop.load();)
    {
      const int now = rendered.load();
      if (now == seen)
      {
        std::this_thread::yield();
        continue;
      }
      seen = now;
      last = MakeSet(ranges, Pick::kRandom, &gen);
      for (const auto& [index, value] : last)
        if (!plug->SetParameter(index, value)) ADD_FAILURE() << "the setter refused parameter " << index;
    }
  });

  Audio out;
  for (auto& ch : out.mChannels) ch.assign(input.mChannels[0].size(), 0.0f);
  for (int b = 0; b < kBlocks; ++b)
  {
    const float* in[2] = {input.mChannels[0].data() + b * kBlock, input.mChannels[1].data() + b * kBlock};
    float* o[2] = {out.mChannels[0].data() + b * kBlock, out.mChannels[1].data() + b * kBlock};
    if (plug->Render(in, o, kBlock) != RenderStatus::kRendered)
    {
      ADD_FAILURE() << "block " << b << " refused (error " << plug->LastError() << ")";
      break;
    }
    rendered.store(b + 1);
  }
  stop.store(true);
  automation.join();

  const SampleCensus c = Inspect(out);
  EXPECT_EQ(c.mNonFinite, 0) << "first at frame " << c.mFirstNonFinite;
  EXPECT_EQ(c.mSubnormal, 0) << "first at frame " << c.mFirstSubnormal;
  for (const auto& [index, value] : last) EXPECT_EQ(plug->GetParameter(index), value) << "parameter " << index;
}

}  // namespace validator
