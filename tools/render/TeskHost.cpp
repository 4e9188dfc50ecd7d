#include "TeskHost.h"

#include "RenderError.h"

#include <CoreFoundation/CoreFoundation.h>
#ifndef __APPLE__
#include <CompatHooks.h>
#include <climits>
#include <unistd.h>
#endif

#include "IPlugAU.h"
#include "Tesk.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace
{
// The installed Tesk component, found by its description as any host finds it.
AudioComponent TeskComponent()
{
#ifndef __APPLE__
  // The build lays the bundle out in the folder above this program's own; an installed
  // renderer has it in its private library folder, at a fixed path from its own.
  char self[PATH_MAX] = "";
  const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n > 0)
  {
    std::string folder(self, static_cast<size_t>(n));
    folder.erase(folder.rfind('/'));
    compat_AddAudioComponentFolder((folder + "/..").c_str());
#ifdef TESK_RENDER_COMPONENT_FOLDER
    compat_AddAudioComponentFolder((folder + "/" + TESK_RENDER_COMPONENT_FOLDER).c_str());
#endif
  }
#endif
  const AudioComponentDescription description = {kAudioUnitType_Effect, static_cast<OSType>(kTeskFourCC),
                                                 static_cast<OSType>(kTeskFourCC), 0, 0};
  return AudioComponentFindNext(nullptr, &description);
}

std::string UTF8(CFStringRef s)
{
  if (!s) return {};
  char text[256] = {};
  return CFStringGetCString(s, text, sizeof(text), kCFStringEncodingUTF8) ? text : "";
}

AudioBufferList* AsList(unsigned char* bytes) { return reinterpret_cast<AudioBufferList*>(bytes); }
}  // namespace

// ==== Open and close ====

TeskHost::TeskHost()
{
  const AudioComponent c = TeskComponent();
  if (!c) throw RenderError(kExitPlugin, "the Tesk component (Tesk.component) was not found");
  const OSStatus r = AudioComponentInstanceNew(c, &mUnit);
  if (r != noErr || !mUnit)
    throw RenderError(kExitPlugin, "the Tesk component did not open (error " + std::to_string(r) + ")");
}

TeskHost::~TeskHost()
{
  if (mInitialized) AudioUnitUninitialize(mUnit);
  if (mUnit) AudioComponentInstanceDispose(mUnit);
}

std::string TeskHost::Describe()
{
  UInt32 v = 0;
  AudioComponentGetVersion(AudioComponentInstanceGetComponent(mUnit), &v);
  return "Tesk " + std::to_string((v >> 16) & 0xFFFF) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF);
}

void TeskHost::Check(OSStatus status, const std::string& what) const
{
  if (status != noErr)
    throw RenderError(kExitPlugin, "the plug-in refused " + what + " (error " + std::to_string(status) + ")");
}

OSStatus TeskHost::SetObjectProperty(AudioUnitPropertyID id, const void* object)
{
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, &object, sizeof(object));
}

// ==== Parameters ====

std::vector<HostParameter> TeskHost::Parameters()
{
  UInt32 size = 0;
  Boolean writable = false;
  Check(AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size, &writable),
        "the parameter list");
  std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
  if (!ids.empty())
    Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, ids.data(), &size),
          "the parameter list");

  std::vector<HostParameter> params;
  for (AudioUnitParameterID id : ids)
  {
    AudioUnitParameterInfo info = {};
    UInt32 infoSize = sizeof(info);
    Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info, &infoSize),
          "the parameter info of " + std::to_string(id));
    HostParameter p;
    p.mID = id;
    if ((info.flags & kAudioUnitParameterFlag_HasCFNameString) && info.cfNameString)
    {
      p.mName = UTF8(info.cfNameString);
      if (info.flags & kAudioUnitParameterFlag_CFNameRelease) CFRelease(info.cfNameString);
    }
    if (p.mName.empty()) p.mName.assign(info.name, strnlen(info.name, sizeof(info.name)));
    p.mMin = info.minValue;
    p.mMax = info.maxValue;
    Check(AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &p.mValue), "reading " + p.mName);
    params.push_back(p);
  }
  return params;
}

void TeskHost::SetParameter(AudioUnitParameterID id, float value)
{
  Check(AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0), "parameter " + std::to_string(id));
}

// ==== Settings files ====

void TeskHost::LoadProgram(const std::vector<unsigned char>& bytes, const std::string& name)
{
  CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  const OSStatus r = SetObjectProperty(IPlugAU::kProgramFileProperty, data);
  if (data) CFRelease(data);
  if (r != noErr) throw FileError(kExitSettingsFile, name, "not a Tesk program file (.fxp) or malformed");
}

void TeskHost::LoadBank(const std::vector<unsigned char>& bytes, const std::string& name)
{
  CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  const OSStatus r = SetObjectProperty(IPlugAU::kBankFileProperty, data);
  if (data) CFRelease(data);
  if (r != noErr) throw FileError(kExitSettingsFile, name, "not a Tesk bank file (.fxb) or malformed");
}

void TeskHost::SaveProgramFile(const std::string& path, const std::string& displayName)
{
  CFDataRef data = nullptr;
  UInt32 size = sizeof(data);
  if (AudioUnitGetProperty(mUnit, IPlugAU::kProgramFileProperty, kAudioUnitScope_Global, 0, &data, &size) != noErr ||
      !data)
    throw FileError(kExitOutput, displayName, "the plug-in did not give its program");
  FILE* fp = std::fopen(path.c_str(), "wb");
  const size_t n = static_cast<size_t>(CFDataGetLength(data));
  const bool written = fp && std::fwrite(CFDataGetBytePtr(data), 1, n, fp) == n;
  const bool closed = fp && std::fclose(fp) == 0;
  CFRelease(data);
  if (!written || !closed) throw FileError(kExitOutput, displayName, "cannot write the program file");
}

std::vector<unsigned char> TeskHost::StateData()
{
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, &size),
        "the state request");
  std::vector<unsigned char> bytes;
  if (!state) return bytes;
  const void* data = CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), CFSTR("data"));
  if (data)
  {
    const auto* p = CFDataGetBytePtr(static_cast<CFDataRef>(data));
    bytes.assign(p, p + CFDataGetLength(static_cast<CFDataRef>(data)));
  }
  CFRelease(state);
  return bytes;
}

void TeskHost::RestoreStateData(const std::vector<unsigned char>& data, const std::string& path)
{
  // The plug-in's state has one size; bytes of any other size are not its state
  // (a plug-in would take a truncated state in part, which no user wants).
  const size_t expected = StateData().size();
  if (data.size() != expected)
    throw FileError(kExitSettingsFile, path,
                    "not a Tesk state file (" + std::to_string(data.size()) + " bytes; a state has " +
                      std::to_string(expected) + ")");

  // The dictionary a host stores in its document: the plug-in's own, with the saved data.
  CFPropertyListRef current = nullptr;
  UInt32 size = sizeof(current);
  Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &current, &size),
        "the state request");
  CFMutableDictionaryRef state = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(current));
  CFRelease(current);
  CFDataRef bytes = CFDataCreate(nullptr, data.data(), static_cast<CFIndex>(data.size()));
  CFDictionarySetValue(state, CFSTR("data"), bytes);
  CFRelease(bytes);
  CFPropertyListRef list = state;
  const OSStatus r =
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &list, sizeof(list));
  CFRelease(state);
  if (r != noErr)
    throw FileError(kExitSettingsFile, path, "the plug-in refused the state (error " + std::to_string(r) + ")");
}

void TeskHost::SetSeed(std::uint32_t seed)
{
  const UInt32 value = seed;
  Check(AudioUnitSetProperty(mUnit, kTeskSeedProperty, kAudioUnitScope_Global, 0, &value, sizeof(value)), "the seed");
}

// ==== Rendering ====

std::vector<HostChannelConfig> TeskHost::ChannelConfigs()
{
  UInt32 size = 0;
  Boolean writable = false;
  Check(AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, &size,
                                 &writable),
        "the channel configurations");
  std::vector<AUChannelInfo> infos(size / sizeof(AUChannelInfo));
  if (!infos.empty())
    Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, infos.data(),
                               &size),
          "the channel configurations");
  std::vector<HostChannelConfig> configs;
  for (const AUChannelInfo& i : infos) configs.push_back({i.inChannels, i.outChannels});
  return configs;
}

void TeskHost::SetFormat(AudioUnitScope scope, double sampleRate, int channels)
{
  // Float samples, one buffer per channel: the canonical format of an effect.
  AudioStreamBasicDescription f = {};
  f.mSampleRate = sampleRate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  f.mBytesPerPacket = sizeof(float);
  f.mFramesPerPacket = 1;
  f.mBytesPerFrame = sizeof(float);
  f.mChannelsPerFrame = static_cast<UInt32>(channels);
  f.mBitsPerChannel = 32;
  Check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &f, sizeof(f)),
        std::to_string(channels) + "-channel audio");
}

void TeskHost::Prepare(double sampleRate, int channels, int maxFrames)
{
  mSampleRate = sampleRate;
  mChannels = channels;
  Check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &sampleRate,
                             sizeof(sampleRate)),
        "the sample rate");
  SetFormat(kAudioUnitScope_Input, sampleRate, channels);
  SetFormat(kAudioUnitScope_Output, sampleRate, channels);
  const UInt32 frames = static_cast<UInt32>(maxFrames);
  Check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                             sizeof(frames)),
        "the block size");
  const UInt32 offline = 1;
  Check(
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_OfflineRender, kAudioUnitScope_Global, 0, &offline, sizeof(offline)),
    "offline rendering");
  const AURenderCallbackStruct callback = {SupplyInput, this};
  Check(AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &callback,
                             sizeof(callback)),
        "the input callback");
  Initialize();
  mSampleTime = 0.0;

  // The output list is a trailing-array structure: keep it as raw bytes (new[]
  // aligns them for any fundamental type, which covers the list's pointers).
  const size_t bytes = offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * static_cast<size_t>(channels);
  mOutputList.reset(new unsigned char[bytes]);
  std::memset(mOutputList.get(), 0, bytes);
}

void TeskHost::Initialize()
{
  if (mInitialized) return;
  Check(AudioUnitInitialize(mUnit), "to initialise");
  mInitialized = true;
}

int TeskHost::LatencySamples()
{
  Float64 seconds = 0.0;
  UInt32 size = sizeof(seconds);
  Check(AudioUnitGetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds, &size),
        "the latency request");
  return static_cast<int>(std::lround(seconds * mSampleRate));
}

OSStatus TeskHost::SupplyInput(void* pRef, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                               AudioBufferList* pData)
{
  const auto* host = static_cast<const TeskHost*>(pRef);
  const UInt32 n = pData->mNumberBuffers < static_cast<UInt32>(host->mChannels) ? pData->mNumberBuffers
                                                                                : static_cast<UInt32>(host->mChannels);
  for (UInt32 c = 0; c < n; ++c)
  {
    AudioBuffer& b = pData->mBuffers[c];
    if (b.mData)
      std::memcpy(b.mData, host->mInput[c], nFrames * sizeof(float));
    else
      b.mData = const_cast<float*>(host->mInput[c]);
    b.mDataByteSize = nFrames * sizeof(float);
  }
  return noErr;
}

void TeskHost::Render(const float* const* input, float* const* output, int nFrames)
{
  mInput = input;
  AudioBufferList* list = AsList(mOutputList.get());
  list->mNumberBuffers = static_cast<UInt32>(mChannels);
  for (int c = 0; c < mChannels; ++c) list->mBuffers[c] = {1, static_cast<UInt32>(nFrames * sizeof(float)), output[c]};
  AudioTimeStamp ts = {};
  ts.mSampleTime = mSampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  Check(AudioUnitRender(mUnit, &flags, &ts, 0, static_cast<UInt32>(nFrames), list), "to render");
  mSampleTime += nFrames;
  mInput = nullptr;
}

// ==== Editor ====

void TeskHost::WriteSnapshot(const std::string& path, const std::string& displayName)
{
  CFStringRef file = CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
  const OSStatus r = SetObjectProperty(IPlugAU::kEditorSnapshotProperty, file);
  if (file) CFRelease(file);
  if (r == kAudioUnitErr_InvalidFile) throw FileError(kExitOutput, displayName, "cannot write the PNG image");
  if (r != noErr) throw FileError(kExitPlugin, displayName, "the plug-in's editor cannot be drawn here");
}
