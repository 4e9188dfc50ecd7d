#include "AudioUnitHost.h"

#include <CoreServices/CoreServices.h>
#ifndef __APPLE__
#include <CompatHooks.h>
#endif

#include <cmath>
#include <cstring>

namespace auhost
{
namespace
{
std::string UTF8(CFStringRef s)
{
  if (!s) return {};
  const CFIndex max = CFStringGetMaximumSizeForEncoding(CFStringGetLength(s), kCFStringEncodingUTF8) + 1;
  std::string text(static_cast<std::size_t>(max), '\0');
  if (!CFStringGetCString(s, text.data(), max, kCFStringEncodingUTF8)) return {};
  text.resize(std::strlen(text.c_str()));
  return text;
}

ComponentInstance AsComponentInstance(AudioUnit unit) { return reinterpret_cast<ComponentInstance>(unit); }

// With kAudioUnitParameterFlag_CFNameRelease the host owns the strings the unit made for
// it: the name, and a custom unit's name.
void ReleaseNames(const AudioUnitParameterInfo& info)
{
  if (!(info.flags & kAudioUnitParameterFlag_CFNameRelease)) return;
  if ((info.flags & kAudioUnitParameterFlag_HasCFNameString) && info.cfNameString) CFRelease(info.cfNameString);
  if (info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName) CFRelease(info.unitName);
}
}  // namespace

AudioStreamBasicDescription CanonicalFormat(double sampleRate, int channels) noexcept
{
  AudioStreamBasicDescription f = {};
  f.mSampleRate = sampleRate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  f.mBytesPerPacket = sizeof(float);
  f.mFramesPerPacket = 1;
  f.mBytesPerFrame = sizeof(float);
  f.mChannelsPerFrame = static_cast<UInt32>(channels > 0 ? channels : 0);
  f.mBitsPerChannel = 32;
  return f;
}

AudioComponent FindAudioComponent(const AudioComponentDescription& description, const char* folder)
{
#ifndef __APPLE__
  if (folder) compat_AddAudioComponentFolder(folder);
#else
  (void)folder;
#endif
  return AudioComponentFindNext(nullptr, &description);
}

// ==== Opening and closing ====

AudioUnitHost::AudioUnitHost(AudioUnit unit, bool componentManager)
  : mUnit(unit),
    mComponentManager(componentManager)
{
}

OSStatus AudioUnitHost::Open(AudioComponent component, std::unique_ptr<AudioUnitHost>* pHost)
{
  pHost->reset();
  if (!component) return invalidComponentID;
  AudioUnit unit = nullptr;
  const OSStatus r = AudioComponentInstanceNew(component, &unit);
  if (r != noErr) return r;
  if (!unit) return invalidComponentID;
  pHost->reset(new AudioUnitHost(unit, false));
  return noErr;
}

OSStatus AudioUnitHost::Open(Component component, std::unique_ptr<AudioUnitHost>* pHost)
{
  pHost->reset();
  if (!component) return invalidComponentID;
  ComponentInstance instance = nullptr;
  const OSStatus r = OpenAComponent(component, &instance);
  if (r != noErr) return r;
  if (!instance) return invalidComponentID;
  // Hosts of the Component Manager treat its instances as Audio Units.
  pHost->reset(new AudioUnitHost(reinterpret_cast<AudioUnit>(instance), true));
  return noErr;
}

AudioUnitHost::~AudioUnitHost() { Close(); }

OSStatus AudioUnitHost::Close()
{
  if (!mUnit) return noErr;
  if (mInitialized) Uninitialize();
  const OSStatus r = mComponentManager ? static_cast<OSStatus>(CloseComponent(AsComponentInstance(mUnit)))
                                       : AudioComponentInstanceDispose(mUnit);
  mUnit = nullptr;
  return r;
}

void* AudioUnitHost::ComponentStorage() const noexcept
{
  return mComponentManager && mUnit ? reinterpret_cast<void*>(GetComponentInstanceStorage(AsComponentInstance(mUnit)))
                                    : nullptr;
}

// ==== Properties ====

OSStatus AudioUnitHost::GetInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* pSize,
                                Boolean* pWritable) const
{
  return AudioUnitGetPropertyInfo(mUnit, id, scope, element, pSize, pWritable);
}

OSStatus AudioUnitHost::SetObject(AudioUnitPropertyID id, CFTypeRef object)
{
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, &object, sizeof(object));
}

OSStatus AudioUnitHost::CopyObject(AudioUnitPropertyID id, CFTypeRef* pObject) const
{
  *pObject = nullptr;
  UInt32 size = sizeof(*pObject);
  const OSStatus r = AudioUnitGetProperty(mUnit, id, kAudioUnitScope_Global, 0, pObject, &size);
  if (r != noErr) *pObject = nullptr;
  return r;
}

// ==== Parameters ====

OSStatus AudioUnitHost::SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value)
{
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

OSStatus AudioUnitHost::GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* pValue) const
{
  return AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, pValue);
}

OSStatus AudioUnitHost::Parameters(std::vector<Parameter>* pParameters) const
{
  pParameters->clear();
  UInt32 size = 0;
  OSStatus r = GetInfo(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size);
  if (r != noErr) return r;
  std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
  if (!ids.empty())
  {
    r = AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, ids.data(), &size);
    if (r != noErr) return r;
    ids.resize(size / sizeof(AudioUnitParameterID));
  }
  for (AudioUnitParameterID id : ids)
  {
    AudioUnitParameterInfo info = {};
    r = Get(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info);
    if (r != noErr) return r;
    Parameter p;
    p.mID = id;
    if ((info.flags & kAudioUnitParameterFlag_HasCFNameString) && info.cfNameString) p.mName = UTF8(info.cfNameString);
    ReleaseNames(info);
    if (p.mName.empty()) p.mName.assign(info.name, strnlen(info.name, sizeof(info.name)));
    p.mMin = info.minValue;
    p.mMax = info.maxValue;
    r = GetParameter(id, &p.mValue);
    if (r != noErr) return r;
    pParameters->push_back(p);
  }
  return noErr;
}

// ==== State ====

OSStatus AudioUnitHost::CopyClassInfo(CFPropertyListRef* pState) const
{
  *pState = nullptr;
  const OSStatus r = Get(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, pState);
  if (r != noErr) *pState = nullptr;
  return r;
}

OSStatus AudioUnitHost::SetClassInfo(CFPropertyListRef state)
{
  return Set(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, state);
}

OSStatus AudioUnitHost::StateData(std::vector<unsigned char>* pData) const
{
  pData->clear();
  CFPropertyListRef state = nullptr;
  const OSStatus r = CopyClassInfo(&state);
  if (r != noErr || !state) return r;
  if (CFGetTypeID(state) == CFDictionaryGetTypeID())
  {
    const void* data = CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), CFSTR("data"));
    if (data && CFGetTypeID(data) == CFDataGetTypeID())
    {
      const UInt8* bytes = CFDataGetBytePtr(static_cast<CFDataRef>(data));
      pData->assign(bytes, bytes + CFDataGetLength(static_cast<CFDataRef>(data)));
    }
  }
  CFRelease(state);
  return noErr;
}

OSStatus AudioUnitHost::RestoreStateData(const std::vector<unsigned char>& data)
{
  CFPropertyListRef current = nullptr;
  OSStatus r = CopyClassInfo(&current);
  if (r != noErr) return r;
  if (!current || CFGetTypeID(current) != CFDictionaryGetTypeID())
  {
    if (current) CFRelease(current);
    return kAudioUnitErr_InvalidPropertyValue;
  }
  CFMutableDictionaryRef state = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(current));
  CFRelease(current);
  CFDataRef bytes = CFDataCreate(nullptr, data.data(), static_cast<CFIndex>(data.size()));
  if (!state || !bytes)
  {
    if (state) CFRelease(state);
    if (bytes) CFRelease(bytes);
    return memFullErr;
  }
  CFDictionarySetValue(state, CFSTR("data"), bytes);
  CFRelease(bytes);
  r = SetClassInfo(state);
  CFRelease(state);
  return r;
}

// ==== Set-up for rendering ====

OSStatus AudioUnitHost::ChannelConfigs(std::vector<AUChannelInfo>* pConfigs) const
{
  pConfigs->clear();
  UInt32 size = 0;
  OSStatus r = GetInfo(kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, &size);
  if (r != noErr) return r;
  pConfigs->resize(size / sizeof(AUChannelInfo));
  if (pConfigs->empty()) return noErr;
  r = AudioUnitGetProperty(mUnit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, pConfigs->data(),
                           &size);
  pConfigs->resize(r == noErr ? size / sizeof(AUChannelInfo) : 0);
  return r;
}

OSStatus AudioUnitHost::SetSampleRate(double sampleRate)
{
  const OSStatus r = Set(kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, Float64{sampleRate});
  if (r == noErr) mSampleRate = sampleRate;
  return r;
}

OSStatus AudioUnitHost::SetFormat(AudioUnitScope scope, double sampleRate, int channels, AudioUnitElement bus)
{
  return Set(kAudioUnitProperty_StreamFormat, scope, bus, CanonicalFormat(sampleRate, channels));
}

OSStatus AudioUnitHost::SetMaxFrames(UInt32 maxFrames)
{
  return Set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, maxFrames);
}

OSStatus AudioUnitHost::SetOffline(bool offline)
{
  return Set(kAudioUnitProperty_OfflineRender, kAudioUnitScope_Global, 0, UInt32{offline ? 1u : 0u});
}

OSStatus AudioUnitHost::SupplyInputFromRender()
{
  return Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, AURenderCallbackStruct{SupplyInput, this});
}

OSStatus AudioUnitHost::UseRenderCall(RenderCall call)
{
  mFastRender = nullptr;
  mFastRenderObject = nullptr;
  if (call == RenderCall::kAudioUnitRender) return noErr;
  AudioUnitRenderProc proc = nullptr;
  const OSStatus r = Get(kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect, &proc);
  if (r != noErr) return r;
  if (!proc || !ComponentStorage()) return kAudioUnitErr_InvalidProperty;
  mFastRender = proc;
  mFastRenderObject = ComponentStorage();
  return noErr;
}

OSStatus AudioUnitHost::Prepare(const RenderSetup& setup, PrepareStep* pFailed)
{
  PrepareStep failed = PrepareStep::kNone;
  auto step = [&failed](PrepareStep s, OSStatus r) {
    if (r != noErr) failed = s;
    return r == noErr;
  };
  OSStatus r = noErr;
  const bool prepared =
    step(PrepareStep::kSampleRate, r = SetSampleRate(setup.mSampleRate)) &&
    step(PrepareStep::kInputFormat, r = SetFormat(kAudioUnitScope_Input, setup.mSampleRate, setup.mChannels)) &&
    step(PrepareStep::kOutputFormat, r = SetFormat(kAudioUnitScope_Output, setup.mSampleRate, setup.mChannels)) &&
    step(PrepareStep::kMaxFrames, r = SetMaxFrames(static_cast<UInt32>(setup.mMaxFrames))) &&
    (!setup.mOffline || step(PrepareStep::kOffline, r = SetOffline(true))) &&
    step(PrepareStep::kInputCallback, r = SupplyInputFromRender()) &&
    step(PrepareStep::kRenderCall, r = UseRenderCall(setup.mCall));
  if (prepared)
  {
    mChannels = setup.mChannels;
    mOutput = HostBufferList(setup.mChannels);
    mSampleTime = 0.0;
    step(PrepareStep::kInitialize, r = Initialize());
  }
  if (pFailed) *pFailed = failed;
  return r;
}

OSStatus AudioUnitHost::Initialize()
{
  const OSStatus r = AudioUnitInitialize(mUnit);
  mInitialized = mInitialized || r == noErr;
  return r;
}

OSStatus AudioUnitHost::Uninitialize()
{
  mInitialized = false;
  return AudioUnitUninitialize(mUnit);
}

OSStatus AudioUnitHost::Reset() { return AudioUnitReset(mUnit, kAudioUnitScope_Global, 0); }

int AudioUnitHost::LatencySamples() const
{
  Float64 seconds = 0.0;
  if (Get(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds) != noErr) return -1;
  return static_cast<int>(std::lround(seconds * mSampleRate));
}

// ==== Rendering ====

OSStatus AudioUnitHost::SupplyInput(void* pRef, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                                    UInt32 nFrames, AudioBufferList* pData)
{
  const auto* self = static_cast<const AudioUnitHost*>(pRef);
  if (!self->mInput) return kAudioUnitErr_NoConnection;
  const UInt32 n = pData->mNumberBuffers < static_cast<UInt32>(self->mChannels) ? pData->mNumberBuffers
                                                                                : static_cast<UInt32>(self->mChannels);
  for (UInt32 c = 0; c < n; ++c)
  {
    AudioBuffer& b = pData->mBuffers[c];
    // A unit that hands over a buffer gets a copy; one that hands over none reads the host's.
    if (b.mData)
      std::memcpy(b.mData, self->mInput[c], nFrames * sizeof(float));
    else
      b.mData = const_cast<float*>(self->mInput[c]);
    b.mDataByteSize = nFrames * static_cast<UInt32>(sizeof(float));
  }
  return noErr;
}

OSStatus AudioUnitHost::Render(const float* const* input, float* const* output, UInt32 nFrames) noexcept
{
  if (mChannels > mOutput.MaxChannels()) return kAudioUnitErr_FormatNotSupported;
  mInput = input;
  AudioBufferList* list = mOutput.Point(output, mChannels, nFrames);
  const OSStatus r = RenderList(list, nFrames, mSampleTime);
  mInput = nullptr;
  if (r == noErr) mSampleTime += nFrames;
  return r;
}

OSStatus AudioUnitHost::RenderList(AudioBufferList* pList, UInt32 nFrames, Float64 sampleTime, UInt32 bus) noexcept
{
  AudioTimeStamp ts = {};
  ts.mSampleTime = sampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  return mFastRender ? mFastRender(mFastRenderObject, &flags, &ts, bus, nFrames, pList)
                     : AudioUnitRender(mUnit, &flags, &ts, bus, nFrames, pList);
}
}  // namespace auhost
