#include "AudioUnitUnderTest.h"

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <CoreFoundation/CoreFoundation.h>

#include "AudioUnitHost.h"
#include "ClassInfoBytes.h"

#include <utility>

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
  static const AudioComponent found =
    auhost::FindAudioComponent({kAudioUnitType_Effect, kTeskCode, kTeskCode, 0, 0}, TESK_COMPONENT_FOLDER);
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
  AudioUnitUnderTest(std::unique_ptr<auhost::AudioUnitHost> host, AudioUnitRenderRoute route)
    : mHost(std::move(host)),
      mRoute(route)
  {
  }

  std::vector<ParameterRange> Parameters() override
  {
    std::vector<auhost::Parameter> params;
    if (mHost->Parameters(&params) != noErr) return {};
    std::vector<ParameterRange> ranges;
    for (const auhost::Parameter& p : params) ranges.push_back({p.mMin, p.mMax});
    return ranges;
  }

  bool SetParameter(int index, float value) override
  {
    return mHost->SetParameter(static_cast<AudioUnitParameterID>(index), value) == noErr;
  }

  float GetParameter(int index) override
  {
    AudioUnitParameterValue v = 0.0f;
    mHost->GetParameter(static_cast<AudioUnitParameterID>(index), &v);
    return v;
  }

  bool SetSeed(std::uint32_t seed) override
  {
    return mHost->Set(kSeedProperty, kAudioUnitScope_Global, 0, UInt32{seed}) == noErr;
  }

  bool Prepare(double sampleRate, int channels, int maxFrames) override
  {
    const auhost::RenderCall call = mRoute == AudioUnitRenderRoute::kFastDispatch
                                      ? auhost::RenderCall::kFastDispatch
                                      : auhost::RenderCall::kAudioUnitRender;
    return mHost->Prepare({sampleRate, channels, maxFrames, false, call}) == noErr;
  }
  bool Deactivate() override { return mHost->Uninitialize() == noErr; }
  bool Activate() override { return mHost->Initialize() == noErr; }
  bool Reset() override { return mHost->Reset() == noErr; }
  int LatencySamples() override { return mHost->LatencySamples(); }

  RenderStatus Render(const float* const* input, float* const* output, int nFrames) override
  {
    mLastError = mHost->Render(input, output, static_cast<UInt32>(nFrames));
    return mLastError == noErr ? RenderStatus::kRendered : RenderStatus::kRefused;
  }
  long LastError() const override { return mLastError; }

  std::vector<std::uint8_t> SaveState() override
  {
    CFPropertyListRef state = nullptr;
    if (mHost->CopyClassInfo(&state) != noErr || !state) return {};
    std::vector<std::uint8_t> bytes = ClassInfoToBytes(static_cast<CFDictionaryRef>(state));
    CFRelease(state);
    return bytes;
  }

  bool RestoreState(const std::vector<std::uint8_t>& state) override
  {
    CFDictionaryRef dict = ClassInfoFromBytes(state);
    if (!dict) return false;
    const OSStatus r = mHost->SetClassInfo(dict);
    CFRelease(dict);
    return r == noErr;
  }

private:
  std::unique_ptr<auhost::AudioUnitHost> mHost;
  AudioUnitRenderRoute mRoute;
  long mLastError = noErr;
};

}  // namespace

std::unique_ptr<PluginUnderTest> OpenAudioUnit(AudioUnitRenderRoute route)
{
  std::unique_ptr<auhost::AudioUnitHost> host;
  const OSStatus r = route == AudioUnitRenderRoute::kAudioComponent
                       ? auhost::AudioUnitHost::Open(FindTeskComponent(), &host)
                       : auhost::AudioUnitHost::Open(FindTesk(), &host);
  if (r != noErr) return nullptr;
  return std::make_unique<AudioUnitUnderTest>(std::move(host), route);
}

}  // namespace validator
