// Tesk opened the way a host opens it: through its exported component entry, with
// stream formats, initialisation, render calls, the latency properties, the seed
// property and the parameter notifications a host listens to.

#include <gtest/gtest.h>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>

#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "AudioUnitHost.h"
#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "TeskTestSupport.h"
#include "WaveformDisplay.h"

using namespace tesk_test;

namespace
{
Component TeskComponent()
{
  static Component c = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry),
                                                kAudioUnitType_Effect, kTeskFourCC, kTeskFourCC, "Orvanta: Tesk");
  return c;
}

// The host's input: a fixed signal per channel, read at the time stamp's sample time.
struct Source
{
  std::vector<float> channels[2];

  static OSStatus Render(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32, UInt32 nFrames,
                         AudioBufferList* io)
  {
    auto* s = static_cast<Source*>(ref);
    const auto start = static_cast<size_t>(ts->mSampleTime);
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    {
      auto* p = static_cast<float*>(io->mBuffers[c].mData);
      for (UInt32 i = 0; i < nFrames; ++i) p[i] = s->channels[c][start + i];
    }
    return noErr;
  }
};

// Counts the parameter-change events the binding posts, per parameter.
struct EventCounter
{
  std::map<AudioUnitParameterID, int> changes;

  static void Sink(void* user, void*, const AudioUnitEvent* e)
  {
    if (e->mEventType == kAudioUnitEvent_ParameterValueChange)
      ++static_cast<EventCounter*>(user)->changes[e->mArgument.mParameter.mParameterID];
  }
};

class TeskAudioUnit : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_NE(TeskComponent(), nullptr);
    ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(TeskComponent(), &mHost));
    mUnit = mHost->Unit();
    IPlugAU* pPlug = nullptr;
    ASSERT_EQ(noErr, mHost->Get(IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &pPlug));
    mPlug = static_cast<Tesk*>(pPlug);
    ASSERT_NE(mPlug, nullptr);
  }
  void TearDown() override
  {
    if (mHost)
    {
      EXPECT_EQ(noErr, mHost->Close());
    }
  }

  void Configure(int nCh, std::uint32_t seed)
  {
    ASSERT_EQ(noErr, mHost->SetFormat(kAudioUnitScope_Input, 44100.0, nCh));
    ASSERT_EQ(noErr, mHost->SetFormat(kAudioUnitScope_Output, 44100.0, nCh));
    ASSERT_EQ(noErr, mHost->SetMaxFrames(4096));
    ASSERT_EQ(noErr, mHost->Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                AURenderCallbackStruct{Source::Render, &mSource}));
    ASSERT_EQ(noErr, mHost->Set(kTeskSeedProperty, kAudioUnitScope_Global, 0, UInt32{seed}));
    ASSERT_EQ(noErr, mHost->Initialize());
  }

  // Renders the source in blocks through the entry's render selector.
  std::vector<float> Render(int nCh, int total, int block, std::vector<float>* pRight = nullptr)
  {
    std::vector<float> left;
    for (int t = 0; t < total; t += block)
    {
      const int len = std::min(block, total - t);
      auhost::HostBuffers out(nCh, static_cast<UInt32>(len));
      EXPECT_EQ(noErr, mHost->RenderList(out.List(), static_cast<UInt32>(len), t));
      left.insert(left.end(), out.Samples(0).begin(), out.Samples(0).end());
      if (pRight && nCh > 1) pRight->insert(pRight->end(), out.Samples(1).begin(), out.Samples(1).end());
    }
    return left;
  }

  void SetParam(int idx, float value)
  {
    ASSERT_EQ(noErr, mHost->SetParameter(static_cast<AudioUnitParameterID>(idx), value));
  }

  std::unique_ptr<auhost::AudioUnitHost> mHost;
  AudioUnit mUnit = nullptr;
  Tesk* mPlug = nullptr;
  Source mSource;
};
}  // namespace

TEST_F(TeskAudioUnit, ReportsTheTrueLatencyAndTail)
{
  Configure(2, 1u);
  Float64 latency = 0.0, tail = 0.0;
  UInt32 size = sizeof(Float64);
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency, &size));
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0, &tail, &size));
  EXPECT_DOUBLE_EQ(latency, 12288.0 / 44100.0);
  EXPECT_DOUBLE_EQ(tail, 12288.0 / 44100.0);
}

TEST_F(TeskAudioUnit, RendersWhatTheProcessorComputesWithTheSameSeed)
{
  const int n = 30000;
  const Signal l = Noise(n, 0.4, 11u), r = Sine(n, 700.0, 0.5);
  for (int i = 0; i < n; ++i)
  {
    mSource.channels[0].push_back(static_cast<float>(l[i]));
    mSource.channels[1].push_back(static_cast<float>(r[i]));
  }
  Configure(2, 77u);
  const float settings[][2] = {
    {Tesk::kPre, 0.5f}, {Tesk::kAuto, 1.0f}, {Tesk::kSensitivity, 0.8f}, {Tesk::kModeA, 0.3f}};
  for (const auto& s : settings) SetParam(static_cast<int>(s[0]), s[1]);
  std::vector<float> right;
  const std::vector<float> left = Render(2, n, 1000, &right);

  // The same processor driven directly, fed the host's float samples.
  Engine direct(77u);
  for (const auto& s : settings) direct.Set(static_cast<int>(s[0]), s[1]);
  const Signal inL(mSource.channels[0].begin(), mSource.channels[0].end());
  const Signal inR(mSource.channels[1].begin(), mSource.channels[1].end());
  Signal outL, outR;
  direct.Render(inL, inR, &outL, &outR, 1000);
  for (int i = 0; i < n; ++i)
  {
    ASSERT_EQ(left[i], static_cast<float>(outL[i])) << "sample " << i;
    ASSERT_EQ(right[i], static_cast<float>(outR[i])) << "sample " << i;
  }
}

TEST_F(TeskAudioUnit, MonoRunsTheSameEngineAtUnityGain)
{
  const int n = 50000;
  const Signal in = Sine(n, 997.0, 0.5);
  mSource.channels[0].assign(in.begin(), in.end());
  Configure(1, 3u);
  const std::vector<float> out = Render(1, n, 512);
  Signal outD(out.begin(), out.end());
  const int lat = Tesk::kLatencySamples;
  EXPECT_NEAR(Db(Rms(outD, 3 * lat, n) / Rms(in, 2 * lat, n - lat)), 0.0, 0.1);
}

TEST_F(TeskAudioUnit, TheSeedPropertyRoundTripsAndRefusesBadRequests)
{
  UInt32 seed = 0xDEADBEEF, read = 0, size = sizeof(read);
  ASSERT_EQ(noErr, AudioUnitSetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &seed, sizeof(seed)));
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &read, &size));
  EXPECT_EQ(read, seed);
  EXPECT_EQ(size, sizeof(UInt32));

  UInt32 infoSize = 0;
  Boolean writable = false;
  ASSERT_EQ(noErr, AudioUnitGetPropertyInfo(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &infoSize, &writable));
  EXPECT_EQ(infoSize, sizeof(UInt32));
  EXPECT_TRUE(writable);

  EXPECT_EQ(kAudioUnitErr_InvalidScope,
            AudioUnitSetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Input, 0, &seed, sizeof(seed)));
  const UInt16 small = 5;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &small, sizeof(small)));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitSetProperty(mUnit, kTeskSeedProperty + 1, kAudioUnitScope_Global, 0, &seed, sizeof(seed)));
  size = sizeof(read);
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &read, &size));
  EXPECT_EQ(read, seed);  // refused requests changed nothing
}

TEST_F(TeskAudioUnit, TheHostHearsTheDisplaysChangesAfterIdleOncePerBacklog)
{
  const int n = 20000;
  mSource.channels[0].assign(n, 0.25f);
  mSource.channels[1].assign(n, -0.25f);
  mPlug->EnsureGUI();  // the host shows the editor
  Configure(2, 5u);
  EventCounter counter;
  compat_AddAUEventSink(EventCounter::Sink, &counter);
  Render(2, n, 500);
  ASSERT_GT(mPlug->GetEngine().FrameSteps1() + mPlug->GetEngine().FrameSteps2(),
            2u);  // many spectra and points are owed
  EXPECT_EQ(counter.changes[Tesk::kFFTDisplay], 0) << "nothing reaches the host from the audio thread";
  EXPECT_EQ(counter.changes[Tesk::kWaveformDisplay], 0);

  // The whole backlog carries one unchanged value: the host hears it once per display.
  mPlug->OnIdle();
  EXPECT_EQ(counter.changes[Tesk::kFFTDisplay], 1);
  EXPECT_EQ(counter.changes[Tesk::kWaveformDisplay], 1);
  EXPECT_EQ(EditorOf(*mPlug).GetLowHolder()->GetValue(), EditorOf(*mPlug).GetFFTDisplay()->GetLow());
  mPlug->OnIdle();  // nothing new was stored
  compat_RemoveAUEventSink(EventCounter::Sink, &counter);
  EXPECT_EQ(counter.changes[Tesk::kFFTDisplay], 1);
  EXPECT_EQ(counter.changes[Tesk::kWaveformDisplay], 1);
}

TEST_F(TeskAudioUnit, TheFastRenderPathNeverWaitsForThePluginMutex)
{
  const int n = 12 * 2048;
  mSource.channels[0].assign(n, 0.1f);
  mSource.channels[1].assign(n, 0.1f);
  Configure(2, 9u);
  ASSERT_EQ(noErr, mHost->UseRenderCall(auhost::RenderCall::kFastDispatch));

  // Another thread holds the mutex (as a host's control thread or the editor may)
  // for the whole render: spectra and points are stored meanwhile.
  WDL_Mutex* pMutex = mPlug->GetMutex();
  pMutex->Enter();
  auto done = std::async(std::launch::async, [&] {
    for (int t = 0; t < n; t += 1024)
    {
      auhost::HostBuffers out(2, 1024);
      if (mHost->RenderList(out.List(), 1024, t) != noErr) return false;
    }
    return true;
  });
  const bool finished = done.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  pMutex->Leave();
  EXPECT_TRUE(finished) << "the render blocked on the plug-in mutex";
  EXPECT_TRUE(done.get());
  EXPECT_GT(mPlug->GetEngine().FrameSteps1(), 0u);
}
