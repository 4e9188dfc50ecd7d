// The shared Audio Unit host (tools/auhost/) on the test plug-in: what the programs that
// use it rely on beyond the platform calls it makes.

#include "AUHost.h"

#include <cmath>
#include <memory>
#include <vector>

using namespace au_test;

namespace
{
// Renders nBlocks slices of n frames of a ramp per channel through the host's own input
// supply; returns every output sample, channel after channel per slice.
std::vector<float> RenderRamps(auhost::AudioUnitHost& host, int nCh, UInt32 n, int nBlocks)
{
  std::vector<float> out;
  std::vector<std::vector<float>> in(static_cast<size_t>(nCh), std::vector<float>(n));
  std::vector<std::vector<float>> result(static_cast<size_t>(nCh), std::vector<float>(n));
  std::vector<const float*> inputs;
  std::vector<float*> outputs;
  for (int c = 0; c < nCh; ++c)
  {
    inputs.push_back(in[c].data());
    outputs.push_back(result[c].data());
  }
  for (int b = 0; b < nBlocks; ++b)
  {
    for (int c = 0; c < nCh; ++c)
      for (UInt32 i = 0; i < n; ++i) in[c][i] = 0.001f * static_cast<float>((b * n + i) % 500) - 0.1f * c;
    EXPECT_EQ(noErr, host.Render(inputs.data(), outputs.data(), n)) << "block " << b;
    for (int c = 0; c < nCh; ++c)
    {
      for (UInt32 i = 0; i < n; ++i)
        EXPECT_FLOAT_EQ(in[c][i] * 0.5f, result[c][i]) << "block " << b << " channel " << c << " frame " << i;
      out.insert(out.end(), result[c].begin(), result[c].end());
    }
  }
  return out;
}
}  // namespace

TEST(AudioUnitHostHarness, RendersTheSameThroughAudioUnitRenderAndTheFastDispatchFunction)
{
  std::vector<float> rendered[2];
  const auhost::RenderCall calls[] = {auhost::RenderCall::kAudioUnitRender, auhost::RenderCall::kFastDispatch};
  for (int k = 0; k < 2; ++k)
  {
    std::unique_ptr<auhost::AudioUnitHost> host;
    ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(TestComponent(), &host));
    ASSERT_EQ(noErr, host->SetParameter(kGain, static_cast<float>(20.0 * std::log10(0.5))));
    auhost::PrepareStep step = auhost::PrepareStep::kInitialize;
    ASSERT_EQ(noErr, host->Prepare({48000.0, 2, 256, false, calls[k]}, &step));
    EXPECT_EQ(auhost::PrepareStep::kNone, step);
    EXPECT_TRUE(host->IsInitialized());
    EXPECT_EQ(kTestAULatency, host->LatencySamples());
    rendered[k] = RenderRamps(*host, 2, 200, 3);
    EXPECT_EQ(600.0, host->SampleTime());
    EXPECT_EQ(noErr, host->Close());
    EXPECT_EQ(nullptr, host->Unit());
  }
  EXPECT_EQ(rendered[0], rendered[1]);
  EXPECT_EQ(0, CountComponentInstances(TestComponent()));
}

TEST(AudioUnitHostHarness, PrepareNamesTheStepTheUnitRefused)
{
  struct Row
  {
    const char* name;
    auhost::RenderSetup setup;
    auhost::PrepareStep step;
  };
  const Row rows[] = {
    {"three channels",
     {44100.0, 3, 512, false, auhost::RenderCall::kAudioUnitRender},
     auhost::PrepareStep::kInputFormat},
    {"no sample rate", {0.0, 2, 512, false, auhost::RenderCall::kAudioUnitRender}, auhost::PrepareStep::kSampleRate},
  };
  for (const Row& r : rows)
  {
    std::unique_ptr<auhost::AudioUnitHost> host;
    ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(TestComponent(), &host));
    auhost::PrepareStep step = auhost::PrepareStep::kNone;
    EXPECT_NE(noErr, host->Prepare(r.setup, &step)) << r.name;
    EXPECT_EQ(r.step, step) << r.name;
    EXPECT_FALSE(host->IsInitialized()) << r.name;
  }
}

TEST(AudioUnitHostHarness, TheStateDataRoundTripsThroughTheClassInfo)
{
  std::unique_ptr<auhost::AudioUnitHost> host;
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(TestComponent(), &host));
  ASSERT_EQ(noErr, host->SetParameter(kGain, -9.0f));
  std::vector<unsigned char> saved;
  ASSERT_EQ(noErr, host->StateData(&saved));
  ASSERT_FALSE(saved.empty());
  ASSERT_EQ(noErr, host->SetParameter(kGain, 3.0f));
  ASSERT_EQ(noErr, host->RestoreStateData(saved));
  AudioUnitParameterValue gain = 0.0f;
  ASSERT_EQ(noErr, host->GetParameter(kGain, &gain));
  EXPECT_EQ(-9.0f, gain);

  std::vector<auhost::Parameter> params;
  ASSERT_EQ(noErr, host->Parameters(&params));
  ASSERT_EQ(static_cast<size_t>(kNumTestParams), params.size());
  EXPECT_EQ(-9.0f, params[kGain].mValue);
  EXPECT_EQ(-70.0f, params[kGain].mMin);
  EXPECT_EQ(12.0f, params[kGain].mMax);
  EXPECT_FALSE(params[kGain].mName.empty());
}
