// Block-size independence: the host's slicing of the stream must not change a single
// output sample. Every block size renders in a fresh instance with the same seed and
// settings, and is compared bit for bit with 4096-frame blocks of the same build.

#include "ValidatorChecks.h"
#include "ValidatorSupport.h"

#include <string>

namespace validator
{
namespace
{
constexpr int kMaxFrames = 4096;
// Past the plug-in's latency by several analysis frames, so processed audio is compared.
constexpr int kFrames = 12288 + 4 * 2048;
constexpr std::uint32_t kSeed = 20240611u;

struct BlockCase
{
  const char* mName;
  BlockSizes mSizes;
};

std::vector<BlockCase> BlockCases()
{
  return {{"1", FixedBlocks(1)},
          {"32", FixedBlocks(32)},
          {"64", FixedBlocks(64)},
          {"500", FixedBlocks(500)},
          {"512", FixedBlocks(512)},
          {"random 1..4096", RandomBlocks(kMaxFrames, 77u)},
          {"random 1..64", RandomBlocks(64, 78u)}};
}

void ExpectBlockSizeIndependence(const Binding& binding, double rate)
{
  const Audio input = MusicLike(kFrames, 5u);
  std::unique_ptr<PluginUnderTest> ref = OpenPrepared(binding, rate, kMaxFrames, kSeed, BusySettings());
  ASSERT_TRUE(ref);
  const Audio expected = RenderAll(*ref, input, FixedBlocks(kMaxFrames));
  // The comparison means something only when processed audio came out.
  ASSERT_GT(Rms(expected, kFrames - 4096, kFrames), 1e-3) << "no processed output at " << rate << " Hz";
  ASSERT_EQ(Inspect(expected).mNonFinite, 0);

  for (const BlockCase& c : BlockCases())
  {
    std::unique_ptr<PluginUnderTest> plug = OpenPrepared(binding, rate, kMaxFrames, kSeed, BusySettings());
    ASSERT_TRUE(plug);
    const Audio got = RenderAll(*plug, input, c.mSizes);
    EXPECT_EQ(FirstDifference(expected, got), -1) << "blocks of " << c.mName << " at " << rate << " Hz";
  }
}
}  // namespace

std::string MatrixCaseName(const ::testing::TestParamInfo<std::tuple<Binding, double>>& info)
{
  return std::get<0>(info.param).mName + "_" + std::to_string(static_cast<int>(std::get<1>(info.param))) + "Hz";
}

// The one rate every build runs; BlockSizeMatrix adds the others.
TEST_P(PluginChecks, OutputDoesNotDependOnTheBlockSizeAt44100) { ExpectBlockSizeIndependence(GetParam(), 44100.0); }

TEST_P(BlockSizeMatrix, OutputDoesNotDependOnTheBlockSize)
{
  ExpectBlockSizeIndependence(std::get<0>(GetParam()), std::get<1>(GetParam()));
}

// The reported latency is where the signal comes out: with the defaults (no processing
// step mixes anything in) an impulse leaves exactly that many samples later.
TEST_P(PluginChecks, AnImpulseLeavesAfterTheReportedLatency)
{
  for (double rate : {22050.0, 44100.0, 192000.0})
  {
    std::unique_ptr<PluginUnderTest> plug = OpenPrepared(GetParam(), rate, 512, kSeed);
    ASSERT_TRUE(plug);
    const int latency = plug->LatencySamples();
    ASSERT_GT(latency, 0);
    Audio in = Constant(latency + 2048, 0.0f);
    in.mChannels[0][100] = 0.5f;
    in.mChannels[1][100] = -0.25f;
    const Audio out = RenderAll(*plug, in, FixedBlocks(512));
    int peak = 0;
    for (int i = 0; i < out.Frames(); ++i)
      if (std::abs(out.mChannels[0][i]) > std::abs(out.mChannels[0][peak])) peak = i;
    EXPECT_EQ(peak, 100 + latency) << rate << " Hz";
    // Nearly all of it: the stages' frame windows add up to one within rounding.
    EXPECT_NEAR(out.mChannels[0][100 + latency], 0.5f, 1e-3f) << rate << " Hz";
    if (GetParam().mChannels == 2)
    {
      EXPECT_NEAR(out.mChannels[1][100 + latency], -0.25f, 1e-3f) << rate << " Hz";
    }
  }
}

}  // namespace validator
