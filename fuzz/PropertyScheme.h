#pragma once
// How fuzz_au_properties reads its input, shared with the corpus generator so the seeds
// stay meaningful: one step after another, each starting with an operation byte
// (modulo kNumOps); property IDs are bytes below 0xF0 indexing kKnownIDs (else the next
// four bytes), scopes bytes below 0xF0 indexing kScopes, elements bytes below 0xF0
// (modulo 4).

#include <AudioUnit/AudioUnit.h>

#include <cstddef>

namespace fuzz
{
inline constexpr AudioUnitPropertyID kKnownIDs[] = {
  kAudioUnitProperty_ClassInfo,
  kAudioUnitProperty_MakeConnection,
  kAudioUnitProperty_SampleRate,
  kAudioUnitProperty_ParameterList,
  kAudioUnitProperty_ParameterInfo,
  kAudioUnitProperty_FastDispatch,
  kAudioUnitProperty_StreamFormat,
  kAudioUnitProperty_ElementCount,
  kAudioUnitProperty_Latency,
  kAudioUnitProperty_SupportedNumChannels,
  kAudioUnitProperty_MaximumFramesPerSlice,
  kAudioUnitProperty_ParameterValueStrings,
  kAudioUnitProperty_GetUIComponentList,
  kAudioUnitProperty_AudioChannelLayout,
  kAudioUnitProperty_TailTime,
  kAudioUnitProperty_BypassEffect,
  kAudioUnitProperty_LastRenderError,
  kAudioUnitProperty_SetRenderCallback,
  kAudioUnitProperty_FactoryPresets,
  kAudioUnitProperty_HostCallbacks,
  kAudioUnitProperty_CurrentPreset,
  kAudioUnitProperty_ElementName,
  kAudioUnitProperty_CocoaUI,
  kAudioUnitProperty_SupportedChannelLayoutTags,
  kAudioUnitProperty_ParameterStringFromValue,
  kAudioUnitProperty_ParameterIDName,
  kAudioUnitProperty_ParameterClumpName,
  kAudioUnitProperty_PresentPreset,
  kAudioUnitProperty_OfflineRender,
  kAudioUnitProperty_ParameterValueFromString,
  kAudioUnitProperty_AUHostIdentifier,
  kMusicDeviceProperty_InstrumentCount,
  64000,  // the plug-in's private seed property
  64001,
};
inline constexpr std::size_t kNumKnownIDs = sizeof(kKnownIDs) / sizeof(kKnownIDs[0]);

inline constexpr AudioUnitScope kScopes[] = {kAudioUnitScope_Global, kAudioUnitScope_Input, kAudioUnitScope_Output,
                                             kAudioUnitScope_Group, kAudioUnitScope_Part};
inline constexpr std::size_t kNumScopes = sizeof(kScopes) / sizeof(kScopes[0]);

// Operation bytes (modulo kNumOps).
enum Op : unsigned char
{
  kOpSetProperty = 0,  // 1 and 2 too
  kOpGetProperty = 3,  // 4 too
  kOpParameter = 5,
  kOpInitialize = 6,
  kOpReset = 7,
  kOpRender = 8,
  kOpListener = 9,
  kNumOps = 10
};

// The index of a property ID in kKnownIDs (for writing seeds).
constexpr unsigned char IndexOf(AudioUnitPropertyID id)
{
  for (std::size_t i = 0; i < kNumKnownIDs; ++i)
    if (kKnownIDs[i] == id) return static_cast<unsigned char>(i);
  return 0xFF;
}
}  // namespace fuzz
