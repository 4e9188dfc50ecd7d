#include "AudioUnitUnderTest.h"

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>
#include <CoreFoundation/CoreFoundation.h>

#include "ClassInfoBytes.h"

#include <cstddef>
#include <cstring>

// The plug-in's Component Manager entry, linked into the test: all an older host knows of
// the plug-in's code.
extern "C" ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug);

namespace validator
{
namespace
{
constexpr OSType kTeskCode = ('T' << 24) | ('e' << 16) | ('s' << 8) | 'k';
// The plug-in's private property: a UInt32 seed of its random draws, global scope.
constexpr AudioUnitPropertyID kSeedProperty = 64000;

// What a current host does: look the unit up among the installed components (the build
// folder holds the bundle). Once per process.
AudioComponent FindTeskComponent()
{
  static const AudioComponent found = [] {
    compat_AddAudioComponentFolder(TESK_COMPONENT_FOLDER);
    const AudioComponentDescription looking = {kAudioUnitType_Effect, kTeskCode, kTeskCode, 0, 0};
    return AudioComponentFindNext(nullptr, &looking);
  }();
  return found;
}

// What registering the entry does, then what an older host does: look the unit up by its
// description through the Component Manager. Once per process.
Component FindTesk()
{
  static const Component found = [] {
    compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry), kAudioUnitType_Effect, kTeskCode,
                             kTeskCode, "Orvanta: Tesk");
    ComponentDescription looking = {kAudioUnitType_Effect, kTeskCode, kTeskCode, 0, 0};
    return FindNextComponent(nullptr, &looking);
  }();
  return found;
}

class AudioUnitUnderTest final : public PluginUnderTest
{
public:
  AudioUnitUnderTest(AudioUnit unit, AudioUnitRenderRoute route)
    : mUnit(unit),
      mRoute(route)
  {
  }
  ~AudioUnitUnderTest() override
  {
    if (mInitialized) AudioUnitUninitialize(mUnit);
    if (mRoute == AudioUnitRenderRoute::kAudioComponent)
      AudioComponentInstanceDispose(mUnit);
    else
      compat::CloseAudioUnit(mUnit);
  }

  std::vector<ParameterRange> Parameters() override
  {
    UInt32 size = 0;
    Boolean writable = false;
    if (AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size,
                                 &writable) != noErr)
      return {};
    std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
    if (!ids.empty() && AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0,
                                             ids.data(), &size) != noErr)
      return {};
    std::vector<ParameterRange> ranges;
    for (AudioUnitParameterID id : ids)
    {
      AudioUnitParameterInfo info = {};
      UInt32 infoSize = sizeof(info);
      if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info, &infoSize) !=
          noErr)
        return {};
      if ((info.flags & kAudioUnitParameterFlag_CFNameRelease) && info.cfNameString) CFRelease(info.cfNameString);
      ranges.push_back({info.minValue, info.maxValue});
    }
    return ranges;
  }

  bool SetParameter(int index, float value) override
  {
    return AudioUnitSetParameter(mUnit, static_cast<AudioUnitParameterID>(index), kAudioUnitScope_Global, 0, value,
                                 0) == noErr;
  }

  float GetParameter(int index) override
  {
    AudioUnitParameterValue v = 0.0f;
    AudioUnitGetParameter(mUnit, static_cast<AudioUnitParameterID>(index), kAudioUnitScope_Global, 0, &v);
    return v;
  }

  bool SetSeed(std::uint32_t seed) override
  {
    const UInt32 value = seed;
    return AudioUnitSetProperty(mUnit, kSeedProperty, kAudioUnitScope_Global, 0, &value, sizeof(value)) == noErr;
  }

  bool Prepare(double sampleRate, int channels, int maxFrames) override;

  bool Deactivate() override
  {
    mInitialized = false;
    return AudioUnitUninitialize(mUnit) == noErr;
  }

  bool Activate() override
  {
    mInitialized = AudioUnitInitialize(mUnit) == noErr;
    return mInitialized;
  }

  bool Reset() override { return AudioUnitReset(mUnit, kAudioUnitScope_Global, 0) == noErr; }

  int LatencySamples() override
  {
    Float64 seconds = -1.0;
    UInt32 size = sizeof(seconds);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds, &size) != noErr)
      return -1;
    return static_cast<int>(seconds * mSampleRate + 0.5);
  }

  RenderStatus Render(const float* const* input, float* const* output, int nFrames) override;
  long LastError() const override { return mLastError; }

  std::vector<std::uint8_t> SaveState() override
  {
    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof(state);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, &size) != noErr ||
        !state)
      return {};
    std::vector<std::uint8_t> bytes = ClassInfoToBytes(static_cast<CFDictionaryRef>(state));
    CFRelease(state);
    return bytes;
  }

  bool RestoreState(const std::vector<std::uint8_t>& state) override
  {
    CFDictionaryRef dict = ClassInfoFromBytes(state);
    if (!dict) return false;
    CFPropertyListRef list = dict;
    const OSStatus r =
      AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &list, sizeof(list));
    CFRelease(dict);
    return r == noErr;
  }

private:
  // The input render callback: hands the current block's input to the unit.
  // Audio thread: no allocation, no locks.
  static OSStatus SupplyInput(void* pRef, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                              AudioBufferList* pData);
  bool SetFormat(AudioUnitScope scope, double sampleRate, int channels);

  AudioUnit mUnit;
  AudioUnitRenderRoute mRoute;
  AudioUnitRenderProc mFastRender = nullptr;
  void* mFastRenderObject = nullptr;
  bool mInitialized = false;
  int mChannels = 0;
  double mSampleRate = 44100.0;
  double mSampleTime = 0.0;
  long mLastError = noErr;
  const float* const* mInput = nullptr;
  std::vector<unsigned char> mOutputList;  // an AudioBufferList with one buffer per channel
};

bool AudioUnitUnderTest::SetFormat(AudioUnitScope scope, double sampleRate, int channels)
{
  AudioStreamBasicDescription f = {};
  f.mSampleRate = sampleRate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  f.mBytesPerPacket = sizeof(float);
  f.mFramesPerPacket = 1;
  f.mBytesPerFrame = sizeof(float);
  f.mChannelsPerFrame = static_cast<UInt32>(channels);
  f.mBitsPerChannel = 32;
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &f, sizeof(f)) == noErr;
}

bool AudioUnitUnderTest::Prepare(double sampleRate, int channels, int maxFrames)
{
  mSampleRate = sampleRate;
  mChannels = channels;
  const UInt32 frames = static_cast<UInt32>(maxFrames);
  const AURenderCallbackStruct callback = {SupplyInput, this};
  if (AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &sampleRate,
                           sizeof(sampleRate)) != noErr ||
      !SetFormat(kAudioUnitScope_Input, sampleRate, channels) ||
      !SetFormat(kAudioUnitScope_Output, sampleRate, channels) ||
      AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                           sizeof(frames)) != noErr ||
      AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &callback,
                           sizeof(callback)) != noErr)
    return false;
  if (mRoute == AudioUnitRenderRoute::kFastDispatch)
  {
    UInt32 size = sizeof(mFastRender);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect,
                             &mFastRender, &size) != noErr ||
        !mFastRender)
      return false;
    mFastRenderObject = compat::StorageOf(mUnit);
  }
  mSampleTime = 0.0;
  const size_t bytes = offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * static_cast<size_t>(channels);
  mOutputList.assign(bytes, 0);
  return Activate();
}

OSStatus AudioUnitUnderTest::SupplyInput(void* pRef, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                                         UInt32 nFrames, AudioBufferList* pData)
{
  const auto* self = static_cast<const AudioUnitUnderTest*>(pRef);
  const UInt32 n = pData->mNumberBuffers < static_cast<UInt32>(self->mChannels) ? pData->mNumberBuffers
                                                                                : static_cast<UInt32>(self->mChannels);
  for (UInt32 c = 0; c < n; ++c)
  {
    AudioBuffer& b = pData->mBuffers[c];
    if (b.mData)
      std::memcpy(b.mData, self->mInput[c], nFrames * sizeof(float));
    else
      b.mData = const_cast<float*>(self->mInput[c]);
    b.mDataByteSize = nFrames * static_cast<UInt32>(sizeof(float));
  }
  return noErr;
}

RenderStatus AudioUnitUnderTest::Render(const float* const* input, float* const* output, int nFrames)
{
  mInput = input;
  auto* list = reinterpret_cast<AudioBufferList*>(mOutputList.data());
  list->mNumberBuffers = static_cast<UInt32>(mChannels);
  for (int c = 0; c < mChannels; ++c) list->mBuffers[c] = {1, static_cast<UInt32>(nFrames * sizeof(float)), output[c]};
  AudioTimeStamp ts = {};
  ts.mSampleTime = mSampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  const UInt32 frames = static_cast<UInt32>(nFrames);
  const OSStatus r = mRoute == AudioUnitRenderRoute::kFastDispatch
                       ? mFastRender(mFastRenderObject, &flags, &ts, 0, frames, list)
                       : AudioUnitRender(mUnit, &flags, &ts, 0, frames, list);
  mInput = nullptr;
  mLastError = r;
  if (r != noErr) return RenderStatus::kRefused;
  mSampleTime += nFrames;
  return RenderStatus::kRendered;
}

}  // namespace

std::unique_ptr<PluginUnderTest> OpenAudioUnit(AudioUnitRenderRoute route)
{
  AudioUnit unit = nullptr;
  if (route == AudioUnitRenderRoute::kAudioComponent)
  {
    const AudioComponent c = FindTeskComponent();
    if (!c || AudioComponentInstanceNew(c, &unit) != noErr || !unit) return nullptr;
  }
  else
  {
    const Component c = FindTesk();
    if (!c || compat::OpenAudioUnit(c, &unit) != noErr || !unit) return nullptr;
  }
  return std::make_unique<AudioUnitUnderTest>(unit, route);
}

}  // namespace validator
