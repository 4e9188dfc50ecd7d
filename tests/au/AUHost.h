#pragma once
// The harness's host side: opens the test plug-in through its component entry and
// drives it with the platform's host calls, each of which builds a request block
// and calls the entry as the Component Manager does.

#include "TestAUPlug.h"

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace au_test
{
inline Component TestComponent()
{
  static Component c = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(TestAU_Entry),
                                                kAudioUnitType_Effect, kTestAUSubType, kTestAUMfr, "TestMaker: TestAU");
  return c;
}

// A buffer list with room for a few channels, owning its sample storage.
struct HostBuffers
{
  static constexpr int kMaxCh = 4;
  UInt32 mNumberBuffers = 0;
  AudioBuffer mBuffers[kMaxCh] = {};
  std::vector<float> mData[kMaxCh];

  HostBuffers(int nCh, UInt32 nFrames, bool withData = true)
  {
    mNumberBuffers = static_cast<UInt32>(nCh);
    for (int c = 0; c < nCh; ++c)
    {
      mData[c].assign(nFrames, 0.0f);
      mBuffers[c] = {1, static_cast<UInt32>(nFrames * sizeof(float)), withData ? mData[c].data() : nullptr};
    }
  }
  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(this); }
  const float* Channel(int c) const { return static_cast<const float*>(mBuffers[c].mData); }
};

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
    ASSERT_EQ(noErr, compat::OpenAudioUnit(TestComponent(), &mUnit));
    mPlug = reinterpret_cast<TestAUPlug*>(compat::StorageOf(mUnit));
    ASSERT_NE(mPlug, nullptr);
  }

  void TearDown() override
  {
    if (mUnit)
    {
      EXPECT_EQ(noErr, compat::CloseAudioUnit(mUnit));
    }
  }

  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement el, T* out)
  {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(mUnit, id, scope, el, out, &size);
  }

  template <class T>
  OSStatus Set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement el, const T& value)
  {
    return AudioUnitSetProperty(mUnit, id, scope, el, &value, sizeof(T));
  }

  OSStatus SetChannels(AudioUnitScope scope, int nCh, AudioUnitElement bus = 0)
  {
    AudioStreamBasicDescription f;
    IPlugAU::MakeDefaultASBD(&f, 44100.0, nCh, false);
    return Set(kAudioUnitProperty_StreamFormat, scope, bus, f);
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
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp ts = SampleTime(sampleTime);
    return AudioUnitRender(mUnit, &flags, &ts, 0, nFrames, pOut->List());
  }

  OSStatus SetParam(int id, float value)
  {
    return AudioUnitSetParameter(mUnit, static_cast<AudioUnitParameterID>(id), kAudioUnitScope_Global, 0, value, 0);
  }

  float GetParam(int id)
  {
    AudioUnitParameterValue v = -999.0f;
    EXPECT_EQ(noErr,
              AudioUnitGetParameter(mUnit, static_cast<AudioUnitParameterID>(id), kAudioUnitScope_Global, 0, &v));
    return v;
  }

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
