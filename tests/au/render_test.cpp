// The render path as a host drives it: inputs from a render callback or another
// instance, every slice size, repeated time stamps, bypass, render notifications.

#include "AUHost.h"

#include <cmath>
#include <cstdint>

#include "IPlugDenormals.h"

using namespace au_test;

namespace
{
constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input, O = kAudioUnitScope_Output;

float DBToGain(float db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

struct NotifyLog
{
  std::vector<AudioUnitRenderActionFlags> flags;
  static OSStatus Notify(void* ref, AudioUnitRenderActionFlags* f, const AudioTimeStamp*, UInt32, UInt32,
                         AudioBufferList*)
  {
    static_cast<NotifyLog*>(ref)->flags.push_back(*f);
    return noErr;
  }
};

OSStatus FailingInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  return -50;
}
}  // namespace

class AURender : public AUHost
{
protected:
  void Prepare(int nCh, float gainDB, UInt32 maxFrames = 512)
  {
    ASSERT_EQ(noErr, SetChannels(I, nCh));
    ASSERT_EQ(noErr, SetChannels(O, nCh));
    ASSERT_EQ(noErr, Set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, maxFrames));
    ASSERT_EQ(noErr, SetInput(&mSource));
    ASSERT_EQ(noErr, SetParam(kGain, gainDB));
    ASSERT_EQ(noErr, AudioUnitInitialize(mUnit));
  }

  // Every output sample equals the source's sine at that time times the gain.
  void ExpectScaledSine(const HostBuffers& out, int nCh, double t0, UInt32 nFrames, float gain, const char* what)
  {
    for (int c = 0; c < nCh; ++c)
      for (UInt32 i = 0; i < nFrames; ++i)
      {
        const float expected = gain * SineSource::Value(mSource.mAmp, mSource.mFreq, mSource.mRate, c, t0 + i);
        ASSERT_NEAR(expected, out.Channel(c)[i], 1e-6f) << what << " channel " << c << " frame " << i;
      }
  }

  SineSource mSource;
};

TEST_F(AURender, ASineComesOutWithTheParameterGain)
{
  for (int nCh : {1, 2})
  {
    SwapHost(OpenAnother());  // a fresh instance for each channel count
    mSource = SineSource{};
    Prepare(nCh, -6.0f);
    double t = 0;
    for (int block = 0; block < 8; ++block, t += 512)
    {
      HostBuffers out(nCh, 512);
      ASSERT_EQ(noErr, Render(t, &out, 512));
      ExpectScaledSine(out, nCh, t, 512, DBToGain(-6.0f), nCh == 1 ? "mono" : "stereo");
    }
  }
}

TEST_F(AURender, EverySliceSizeUpToTheMaximumRendersSampleExact)
{
  Prepare(2, -12.0f, 300);
  double t = 0;
  for (UInt32 n = 1; n <= 300; ++n)
  {
    HostBuffers out(2, n);
    ASSERT_EQ(noErr, Render(t, &out, n)) << n;
    ASSERT_EQ(static_cast<int>(n), mPlug->mLastProcessFrames);
    ExpectScaledSine(out, 2, t, n, DBToGain(-12.0f), "slice");
    t += n;
  }
}

TEST_F(AURender, ASecondCallWithTheSameTimeStampPullsInputsOnce)
{
  Prepare(2, 0.0f);
  HostBuffers a(2, 64), b(2, 64);
  ASSERT_EQ(noErr, Render(1000, &a, 64));
  const int calls = mSource.mCalls, processed = mPlug->mProcessCalls;
  ASSERT_EQ(noErr, Render(1000, &b, 64));
  EXPECT_EQ(calls, mSource.mCalls);
  EXPECT_EQ(processed + 1, mPlug->mProcessCalls);
  ExpectScaledSine(b, 2, 1000, 64, 1.0f, "repeat");
  ASSERT_EQ(noErr, Render(1064, &b, 64));
  EXPECT_EQ(calls + 1, mSource.mCalls);
}

TEST_F(AURender, BadRenderRequestsAreRefusedBeforeTheProcessorRuns)
{
  Prepare(2, 0.0f, 256);
  NotifyLog log;
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(mUnit, NotifyLog::Notify, &log));
  const int processed = mPlug->mProcessCalls;
  HostBuffers out(2, 512);
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = SampleTime(0);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, &ts, 0, 257, out.List()));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, &ts, 1, 64, out.List()));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, &ts, 0, 64, nullptr));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, nullptr, 0, 64, out.List()));
  ts.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, &ts, 0, 64, out.List()));
  // A host buffer shorter than the slice would be written past its end.
  ts = SampleTime(0);
  out.List()->mBuffers[1].mDataByteSize = 16;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(mUnit, &flags, &ts, 0, 64, out.List()));
  EXPECT_EQ(processed, mPlug->mProcessCalls);
  EXPECT_TRUE(log.flags.empty());
}

TEST_F(AURender, NullHostBuffersReceiveThePlugInsScratch)
{
  Prepare(2, -6.0f);
  HostBuffers out(2, 128, false);
  ASSERT_EQ(noErr, Render(0, &out, 128));
  ASSERT_NE(nullptr, out.Channel(0));
  ASSERT_NE(nullptr, out.Channel(1));
  EXPECT_NE(out.Channel(0), out.Channel(1));
  EXPECT_EQ(128u * sizeof(float), out.List()->mBuffers[0].mDataByteSize);
  ExpectScaledSine(out, 2, 0, 128, DBToGain(-6.0f), "scratch");
}

TEST_F(AURender, AnInputErrorIsReturnedAtOnce)
{
  Prepare(2, 0.0f);
  const AURenderCallbackStruct cb = {FailingInput, nullptr};
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_SetRenderCallback, I, 0, cb));
  const int processed = mPlug->mProcessCalls;
  HostBuffers out(2, 64);
  EXPECT_EQ(-50, Render(0, &out, 64));
  EXPECT_EQ(processed, mPlug->mProcessCalls);
}

TEST_F(AURender, AnUnconnectedInputRendersSilence)
{
  ASSERT_EQ(noErr, AudioUnitInitialize(mUnit));
  HostBuffers out(2, 64);
  for (float& s : out.Samples(0)) s = 1.0f;
  ASSERT_EQ(noErr, Render(0, &out, 64));
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 64; ++i) ASSERT_EQ(0.0f, out.Channel(c)[i]);
  EXPECT_EQ(std::string("NotConnected"), IPlugAU::AUInputTypeStr(mPlug->GetInBusConnection(0)->mInputType));
}

TEST_F(AURender, BypassPassesTheInputAndKeepsTheProcessorIdle)
{
  Prepare(2, -20.0f);
  mPlug->mActivations.clear();
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_BypassEffect, G, 0, UInt32(1)));
  UInt32 bypassed = 0;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_BypassEffect, G, 0, &bypassed));
  EXPECT_EQ(1u, bypassed);
  EXPECT_EQ(std::vector<bool>{false}, mPlug->mActivations);

  const int processed = mPlug->mProcessCalls;
  HostBuffers out(2, 256);
  ASSERT_EQ(noErr, Render(0, &out, 256));
  EXPECT_EQ(processed, mPlug->mProcessCalls);
  ExpectScaledSine(out, 2, 0, 256, 1.0f, "bypass");

  ASSERT_EQ(noErr, Set(kAudioUnitProperty_BypassEffect, G, 0, UInt32(0)));
  ASSERT_EQ(noErr, Render(256, &out, 256));
  ExpectScaledSine(out, 2, 256, 256, DBToGain(-20.0f), "after bypass");
}

// Host calls other than a render give the plug-in its idle slot; a render never does.
TEST_F(AURender, IdleFollowsControlCallsButNeverARender)
{
  Prepare(2, 0.0f);
  const int idles = mPlug->mIdles;
  HostBuffers out(2, 64);
  ASSERT_EQ(noErr, Render(0, &out, 64));
  EXPECT_EQ(idles, mPlug->mIdles);
  Float64 rate = 0.0;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_SampleRate, G, 0, &rate));
  EXPECT_EQ(idles + 1, mPlug->mIdles);
}

TEST_F(AURender, RenderNotifyBracketsEveryRender)
{
  Prepare(2, 0.0f);
  NotifyLog log, other;
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(mUnit, NotifyLog::Notify, &log));
  HostBuffers out(2, 32);
  ASSERT_EQ(noErr, Render(0, &out, 32));
  ASSERT_EQ(2u, log.flags.size());
  EXPECT_EQ(static_cast<AudioUnitRenderActionFlags>(kAudioUnitRenderAction_PreRender), log.flags[0]);
  EXPECT_EQ(static_cast<AudioUnitRenderActionFlags>(kAudioUnitRenderAction_PostRender), log.flags[1]);
  ASSERT_EQ(noErr, AudioUnitRemoveRenderNotify(mUnit, NotifyLog::Notify, &log));
  ASSERT_EQ(noErr, Render(32, &out, 32));
  EXPECT_EQ(2u, log.flags.size());
}

TEST_F(AURender, AnInstanceRendersFromAnotherOneItIsConnectedTo)
{
  // The source: a second instance, sine through its own -6 dB.
  std::unique_ptr<auhost::AudioUnitHost> effect = SwapHost(OpenAnother());
  Prepare(2, -6.0f);
  const std::unique_ptr<auhost::AudioUnitHost> sourceHost = SwapHost(std::move(effect));
  const AudioUnit source = sourceHost->Unit();
  ASSERT_EQ(noErr, SetParam(kGain, -3.0f));
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, UInt32(512)));
  const AudioUnitConnection conn = {source, 0, 0};
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_MakeConnection, I, 0, conn));
  // Rendered with AudioUnitRender, whatever kind of instance the source is.
  EXPECT_EQ(IPlugAU::eDirectNoFastProc, mPlug->GetInBusConnection(0)->mInputType);
  EXPECT_EQ(2, Channels(I));  // took the source's output format
  ASSERT_EQ(noErr, AudioUnitInitialize(mUnit));

  HostBuffers out(2, 256);
  ASSERT_EQ(noErr, Render(0, &out, 256));
  ExpectScaledSine(out, 2, 0, 256, DBToGain(-6.0f) * DBToGain(-3.0f), "connected");

  // A source output that does not exist leaves the bus disconnected.
  const AudioUnitConnection bad = {source, 3, 0};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_MakeConnection, I, 0, bad));
  EXPECT_EQ(IPlugAU::eNotConnected, mPlug->GetInBusConnection(0)->mInputType);
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_MakeConnection, I, 0, conn));
  // No source: a disconnection.
  const AudioUnitConnection none = {nullptr, 0, 0};
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_MakeConnection, I, 0, none));
  EXPECT_EQ(IPlugAU::eNotConnected, mPlug->GetInBusConnection(0)->mInputType);
  const AudioUnitConnection badDest = {source, 0, 1};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_MakeConnection, I, 0, badDest));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_MakeConnection, O, 0, conn));
}

TEST_F(AUHost, InputConnectionsAreAssessedFromTheirRecords)
{
  struct Row
  {
    const char* name;
    int hostChannels;  // 0: leave unset
    bool callback;
    IPlugAU::EAUInputType type;
    bool busConnected, ch0, ch1;
  };
  const Row rows[] = {
    {"nothing", 0, false, IPlugAU::eNotConnected, false, false, false},
    {"callback, format unset", 0, true, IPlugAU::eRenderCallback, true, true, true},
    {"callback, mono", 1, true, IPlugAU::eRenderCallback, true, true, false},
    {"callback, stereo", 2, true, IPlugAU::eRenderCallback, true, true, true},
    {"mono, no callback", 1, false, IPlugAU::eNotConnected, false, false, false},
  };
  SineSource source;
  for (const Row& r : rows)
  {
    std::unique_ptr<auhost::AudioUnitHost> fixture = SwapHost(OpenAnother());
    if (r.hostChannels)
    {
      ASSERT_EQ(noErr, SetChannels(I, r.hostChannels)) << r.name;
    }
    if (r.callback)
    {
      ASSERT_EQ(noErr, SetInput(&source)) << r.name;
    }
    EXPECT_EQ(r.type, mPlug->GetInBusConnection(0)->mInputType) << r.name;
    EXPECT_EQ(r.busConnected, mPlug->GetInBus(0)->mConnected) << r.name;
    EXPECT_EQ(r.ch0, mPlug->IsInChannelConnected(0)) << r.name;
    EXPECT_EQ(r.ch1, mPlug->IsInChannelConnected(1)) << r.name;
    // Clearing the callback disconnects again.
    const AURenderCallbackStruct none = {nullptr, nullptr};
    ASSERT_EQ(noErr, Set(kAudioUnitProperty_SetRenderCallback, I, 0, none));
    EXPECT_EQ(IPlugAU::eNotConnected, mPlug->GetInBusConnection(0)->mInputType) << r.name;
    SwapHost(std::move(fixture));
  }
  const AURenderCallbackStruct cb = {SineSource::Render, &source};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_SetRenderCallback, G, 0, cb));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_SetRenderCallback, I, 1, cb));
}

TEST(AUInputTypes, NamesOfTheInputTypes)
{
  const std::pair<int, const char*> rows[] = {{0, "NotConnected"},   {1, "DirectFastProc"}, {2, "DirectNoFastProc"},
                                              {3, "RenderCallback"}, {4, "NotConnected"},   {-1, "NotConnected"}};
  for (const auto& [type, name] : rows) EXPECT_STREQ(name, IPlugAU::AUInputTypeStr(type)) << type;
}

TEST_F(AURender, MonoConfigurationLeavesTheSecondChannelsOut)
{
  Prepare(1, 0.0f);
  EXPECT_TRUE(mPlug->IsInChannelConnected(0));
  EXPECT_FALSE(mPlug->IsInChannelConnected(1));
  HostBuffers out(1, 64);
  ASSERT_EQ(noErr, Render(0, &out, 64));
  EXPECT_TRUE(mPlug->IsOutChannelConnected(0));
  EXPECT_FALSE(mPlug->IsOutChannelConnected(1));
  ExpectScaledSine(out, 1, 0, 64, 1.0f, "mono");
}

// The processor runs with subnormal numbers flushed to zero: a tiny input times a small
// gain, which would leave subnormal samples, comes out as zeros; normal samples come out
// as before; and the caller's floating-point mode is the same after the render.
TEST_F(AURender, SubnormalResultsAreFlushedAndTheModeIsRestored)
{
  mSource.mAmp = 2e-38;  // near the smallest normal float
  Prepare(2, -70.0f);
  const std::uint64_t modeBefore = ScopedFlushDenormals::Mode();
  HostBuffers out(2, 512);
  ASSERT_EQ(noErr, Render(0, &out, 512));
  EXPECT_EQ(modeBefore, ScopedFlushDenormals::Mode());
  int nonZero = 0;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 512; ++i)
    {
      EXPECT_NE(std::fpclassify(out.Channel(c)[i]), FP_SUBNORMAL) << "channel " << c << " frame " << i;
      nonZero += out.Channel(c)[i] != 0.0f;
    }
  EXPECT_EQ(nonZero, 0);

  mSource.mAmp = 0.5;
  HostBuffers loud(2, 512);
  ASSERT_EQ(noErr, Render(512, &loud, 512));
  ExpectScaledSine(loud, 2, 512, 512, DBToGain(-70.0f), "normal samples");
}
