#pragma once
// The harness's host side: opens the test plug-in through its component entry with the
// shared Audio Unit host (tools/auhost/) and drives it with the platform's host calls,
// each of which builds a request block and calls the entry as the Component Manager does.

#include "TestAUPlug.h"

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "AudioUnitHost.h"
#include "HostBuffers.h"

namespace au_test
{
inline Component TestComponent()
{
  static Component c = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(TestAU_Entry),
                                                kAudioUnitType_Effect, kTestAUSubType, kTestAUMfr, "TestMaker: TestAU");
  return c;
}

using auhost::HostBuffers;

inline AudioTimeStamp SampleTime(double t)
{
  AudioTimeStamp ts = {};
  ts.mSampleTime = t;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  return ts;
}

// A host render callback producing a sine per channel (channel c at frequency f * (c + 1)),
// counting its calls.
struct SineSource
{
  double mFreq = 441.0, mRate = 44100.0, mAmp = 0.5;
  double mPos = 0.0;
  int mCalls = 0;
  UInt32 mLastBus = 99;

  static float Value(double amp, double freq, double rate, int c, double n)
  {
    return static_cast<float>(amp * std::sin(2.0 * std::numbers::pi * freq * (c + 1) * n / rate));
  }

  static OSStatus Render(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32 bus, UInt32 nFrames,
                         AudioBufferList* io)
  {
    auto* s = static_cast<SineSource*>(ref);
    ++s->mCalls;
    s->mLastBus = bus;
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    {
      auto* p = static_cast<float*>(io->mBuffers[c].mData);
      for (UInt32 i = 0; i < nFrames; ++i)
        p[i] = Value(s->mAmp, s->mFreq, s->mRate, static_cast<int>(c), ts->mSampleTime + i);
    }
    return noErr;
  }
};

class AUHost : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_NE(TestComponent(), nullptr);
    SwapHost(OpenAnother());
    ASSERT_NE(mPlug, nullptr);
  }

  // Another instance of the test plug-in, opened through its entry; null if it did not open.
  static std::unique_ptr<auhost::AudioUnitHost> OpenAnother()
  {
    std::unique_ptr<auhost::AudioUnitHost> host;
    EXPECT_EQ(noErr, auhost::AudioUnitHost::Open(TestComponent(), &host));
    return host;
  }

  // Makes host the instance the calls below drive and hands back the one they drove.
  std::unique_ptr<auhost::AudioUnitHost> SwapHost(std::unique_ptr<auhost::AudioUnitHost> host)
  {
    std::swap(host, mHost);
    mUnit = mHost ? mHost->Unit() : nullptr;
    IPlugAU* pPlug = nullptr;
    mPlug = mHost && Get(IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &pPlug) == noErr
              ? static_cast<TestAUPlug*>(pPlug)
              : nullptr;
    return host;
  }

  void TearDown() override
  {
    if (mHost)
    {
      EXPECT_EQ(noErr, mHost->Close());
    }
  }

  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement el, T* out)
  {
    return mHost->Get(id, scope, el, out);
  }

  template <class T>
  OSStatus Set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement el, const T& value)
  {
    return mHost->Set(id, scope, el, value);
  }

  OSStatus SetChannels(AudioUnitScope scope, int nCh, AudioUnitElement bus = 0)
  {
    return mHost->SetFormat(scope, 44100.0, nCh, bus);
  }

  int Channels(AudioUnitScope scope, AudioUnitElement bus = 0)
  {
    AudioStreamBasicDescription f = {};
    EXPECT_EQ(noErr, Get(kAudioUnitProperty_StreamFormat, scope, bus, &f));
    return static_cast<int>(f.mChannelsPerFrame);
  }

  OSStatus SetInput(SineSource* pSource)
  {
    AURenderCallbackStruct cb = {SineSource::Render, pSource};
    return Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, cb);
  }

  OSStatus Render(double sampleTime, HostBuffers* pOut, UInt32 nFrames)
  {
    return mHost->RenderList(pOut->List(), nFrames, sampleTime);
  }

  OSStatus SetParam(int id, float value) { return mHost->SetParameter(static_cast<AudioUnitParameterID>(id), value); }

  float GetParam(int id)
  {
    AudioUnitParameterValue v = -999.0f;
    EXPECT_EQ(noErr, mHost->GetParameter(static_cast<AudioUnitParameterID>(id), &v));
    return v;
  }

  std::unique_ptr<auhost::AudioUnitHost> mHost;
  AudioUnit mUnit = nullptr;
  TestAUPlug* mPlug = nullptr;
};

// Text of a string the binding handed over; releases it.
inline std::string TakeString(CFStringRef s)
{
  if (!s) return "<null>";
  char buf[512] = "";
  CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8);
  CFRelease(s);
  return buf;
}
}  // namespace au_test
