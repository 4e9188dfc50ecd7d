// GetProperty and SetProperty: the host's configuration requests (host control
// thread, under the plug-in mutex when they come through the component entry).

#include "IPlugAU.h"

#include <AudioUnit/AudioUnitCarbonView.h>

#include "IPlugAUPropertyQuery.h"

#include <cmath>
#include <cstring>

using iplug_au::GetUTF8;
using iplug_au::MakeCFString;

namespace
{
// Largest MaximumFramesPerSlice accepted: keeps every scratch size well inside an int.
constexpr UInt32 kMaxBlockSize = 1u << 20;

// The smallest data a SetProperty of this ID must carry; 0 for IDs it does not take.
UInt32 SetPropertyDataSize(AudioUnitPropertyID propID) noexcept
{
  switch (propID)
  {
    case kAudioUnitProperty_ClassInfo: return sizeof(CFPropertyListRef);
    case kAudioUnitProperty_MakeConnection: return sizeof(AudioUnitConnection);
    case kAudioUnitProperty_SampleRate: return sizeof(Float64);
    case kAudioUnitProperty_StreamFormat: return sizeof(AudioStreamBasicDescription);
    case kAudioUnitProperty_MaximumFramesPerSlice: return sizeof(UInt32);
    case kAudioUnitProperty_BypassEffect: return sizeof(UInt32);
    case kAudioUnitProperty_SetRenderCallback: return sizeof(AURenderCallbackStruct);
    // Older hosts hand a shorter record (user data and the first callbacks); what they
    // leave out reads as absent.
    case kAudioUnitProperty_HostCallbacks: return 2 * sizeof(void*);
    case kAudioUnitProperty_CurrentPreset: return sizeof(AUPreset);
    case kAudioUnitProperty_PresentPreset: return sizeof(AUPreset);
    case kAudioUnitProperty_OfflineRender: return sizeof(UInt32);
    case kAudioUnitProperty_AUHostIdentifier: return sizeof(AUHostIdentifier);
    default: return 0;
  }
}

UInt32 ReadUInt32(const void* pData) noexcept
{
  UInt32 v;
  std::memcpy(&v, pData, sizeof(v));
  return v;
}
}  // namespace

// ==== GetProperty ====

ComponentResult IPlugAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32* pDataSize, Boolean* pWriteable, void* pData)
{
  UInt32 ignoredSize = 0;
  Boolean ignoredWriteable = false;
  if (!pDataSize) pDataSize = &ignoredSize;
  if (!pWriteable) pWriteable = &ignoredWriteable;
  if (propID >= kFirstBindingProperty) return GetBindingProperty(propID, scope, pDataSize, pWriteable, pData);
  if (propID >= kFirstPrivateProperty) return GetPrivateProperty(propID, scope, element, pDataSize, pWriteable, pData);

  PropertyQuery q{propID, scope, element, pData ? *pDataSize : 0u, pData};
  ComponentResult r = AnswerProperty(q);
  if (r == noErr && q.mTooSmall) r = kAudioUnitErr_InvalidPropertyValue;
  *pDataSize = q.mSize;
  *pWriteable = q.mWriteable;
  return r;
}

ComponentResult IPlugAU::AnswerProperty(PropertyQuery& q)
{
  switch (q.mID)
  {
    case kAudioUnitProperty_ClassInfo:
      if (q.Answer(sizeof(CFPropertyListRef), true)) return GetState(q.Data<CFPropertyListRef>());
      return noErr;
    case kAudioUnitProperty_MakeConnection:
      if (!q.IsGlobal() && q.mScope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidScope;
      q.Answer(sizeof(AudioUnitConnection), true);
      return noErr;
    case kAudioUnitProperty_SampleRate:
      if (q.Answer(sizeof(Float64), true)) *q.Data<Float64>() = GetSampleRate();
      return noErr;
    case kAudioUnitProperty_ParameterList:
    {
      if (!q.IsGlobal())
      {
        q.Answer(0, false);
        return noErr;
      }
      const int n = NParams();
      if (q.Answer(static_cast<UInt32>(n) * sizeof(AudioUnitParameterID), false))
        for (int i = 0; i < n; ++i) q.Data<AudioUnitParameterID>()[i] = static_cast<AudioUnitParameterID>(i);
      return noErr;
    }
    case kAudioUnitProperty_FastDispatch:
      // The functions take the component storage, which only a Component Manager instance has.
      if (!mComponentManagerInstance) return kAudioUnitErr_InvalidProperty;
      switch (q.mElement)
      {
        case kAudioUnitRenderSelect:
          if (q.Answer(sizeof(AudioUnitRenderProc), false)) *q.Data<AudioUnitRenderProc>() = RenderProc;
          return noErr;
        case kAudioUnitSetParameterSelect:
          if (q.Answer(sizeof(AudioUnitSetParameterProc), false)) *q.Data<AudioUnitSetParameterProc>() = SetParamProc;
          return noErr;
        case kAudioUnitGetParameterSelect:
          if (q.Answer(sizeof(AudioUnitGetParameterProc), false)) *q.Data<AudioUnitGetParameterProc>() = GetParamProc;
          return noErr;
        default: return kAudioUnitErr_InvalidElement;
      }
    case kAudioUnitProperty_StreamFormat: return AnswerStreamFormat(q);
    case kAudioUnitProperty_ElementCount:
      if (q.Answer(sizeof(UInt32), false))
      {
        UInt32 n = 0;
        if (q.IsGlobal())
          n = 1;
        else if (q.mScope == kAudioUnitScope_Input)
          n = static_cast<UInt32>(NInBuses());
        else if (q.mScope == kAudioUnitScope_Output)
          n = static_cast<UInt32>(NOutBuses());
        *q.Data<UInt32>() = n;
      }
      return noErr;
    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime:
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (q.Answer(sizeof(Float64), false))
        *q.Data<Float64>() = GetSampleRate() > 0.0 ? GetLatency() / GetSampleRate() : 0.0;
      return noErr;
    case kAudioUnitProperty_SupportedNumChannels:
    {
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      const int n = NLegalIOs();
      if (q.Answer(static_cast<UInt32>(n) * sizeof(AUChannelInfo), false))
      {
        for (int i = 0; i < n; ++i)
        {
          int nIn = 0, nOut = 0;
          GetLegalIO(i, &nIn, &nOut);
          q.Data<AUChannelInfo>()[i] = {static_cast<SInt16>(nIn), static_cast<SInt16>(nOut)};
        }
      }
      return noErr;
    }
    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (q.Answer(sizeof(UInt32), true)) *q.Data<UInt32>() = static_cast<UInt32>(GetBlockSize());
      return noErr;
    // No Carbon view is offered: hosts of the editor's era (64-bit) have no Carbon views.
    case kAudioUnitProperty_GetUIComponentList: return kAudioUnitErr_InvalidProperty;
    case kAudioUnitProperty_AudioChannelLayout: return kAudioUnitErr_InvalidPropertyValue;
    case kAudioUnitProperty_BypassEffect:
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (q.Answer(sizeof(UInt32), true)) *q.Data<UInt32>() = IsBypassed() ? 1 : 0;
      return noErr;
    case kAudioUnitProperty_LastRenderError:
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (q.Answer(sizeof(OSStatus), false)) *q.Data<OSStatus>() = noErr;
      return noErr;
    case kAudioUnitProperty_SetRenderCallback:
      if (!q.IsGlobal() && q.mScope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidScope;
      if (q.mElement >= static_cast<UInt32>(NInBuses())) return kAudioUnitErr_InvalidElement;
      q.Answer(sizeof(AURenderCallbackStruct), true);
      return noErr;
    case kAudioUnitProperty_FactoryPresets: return AnswerFactoryPresets(q);
    case kAudioUnitProperty_HostCallbacks:
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      q.Answer(sizeof(HostCallbackInfo), true);
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      if (q.Answer(sizeof(AUPreset), true))
      {
        const int idx = GetCurrentPresetIdx();
        *q.Data<AUPreset>() = {static_cast<SInt32>(idx), MakeCFString(GetPresetName(idx))};
      }
      return noErr;
    case kAudioUnitProperty_ElementName: return AnswerElementName(q);
    case kAudioUnitProperty_CocoaUI: return AnswerCocoaUI(q);
    case kAudioUnitProperty_SupportedChannelLayoutTags:
    {
      const bool scopeOK = q.mScope == kAudioUnitScope_Output || (q.mScope == kAudioUnitScope_Input && NInBuses() > 0);
      if (!IsInst() || NOutBuses() == 1 || !scopeOK) return kAudioUnitErr_InvalidProperty;
      const BusChannels* pBus = mOutBuses.Get(static_cast<int>(q.mElement));
      if (!pBus) return kAudioUnitErr_InvalidElement;
      if (q.Answer(sizeof(AudioChannelLayoutTag), true))
        *q.Data<AudioChannelLayoutTag>() = GetTagForNumChannels(pBus->mNPlugChannels);
      return noErr;
    }
    case kMusicDeviceProperty_InstrumentCount:
      if (!q.IsGlobal() || !IsInst()) return kAudioUnitErr_InvalidProperty;
      if (q.Answer(sizeof(UInt32), false)) *q.Data<UInt32>() = 1;
      return noErr;
    default: return AnswerParameterProperty(q);
  }
}

ComponentResult IPlugAU::AnswerStreamFormat(PropertyQuery& q)
{
  const BusChannels* pBus = GetBus(q.mScope, q.mElement);
  if (!pBus) return kAudioUnitErr_InvalidProperty;
  if (q.Answer(sizeof(AudioStreamBasicDescription), true))
  {
    const int nCh = pBus->mNHostChannels >= 0 ? pBus->mNHostChannels : pBus->mNPlugChannels;
    MakeDefaultASBD(q.Data<AudioStreamBasicDescription>(), GetSampleRate(), nCh, false);
  }
  return noErr;
}

ComponentResult IPlugAU::AnswerElementName(PropertyQuery& q)
{
  if (!q.mData) return kAudioUnitErr_InvalidProperty;  // hosts ask for the name directly
  const WDL_String* pLabel = nullptr;
  if (q.mScope == kAudioUnitScope_Output)
  {
    if (q.mElement < static_cast<UInt32>(NOutBuses())) pLabel = GetOutputBusLabel(static_cast<int>(q.mElement));
  }
  else if (q.mScope == kAudioUnitScope_Input)
  {
    if (q.mElement <= 1) pLabel = GetInputBusLabel(static_cast<int>(q.mElement));
  }
  else
  {
    return kAudioUnitErr_InvalidScope;
  }
  if (!pLabel) return kAudioUnitErr_InvalidElement;
  if (q.Answer(sizeof(CFStringRef), false)) *q.Data<CFStringRef>() = MakeCFString(pLabel->Get());
  return noErr;
}

ComponentResult IPlugAU::AnswerCocoaUI(PropertyQuery& q)
{
  // Every system a current host runs on has the Cocoa view protocol. The editor itself
  // may wait until the view factory asks for it.
  if (!OffersGUI()) return kAudioUnitErr_InvalidProperty;
  if (!q.Answer(sizeof(AudioUnitCocoaViewInfo), false)) return noErr;

  CFStringRef bundleID = MakeCFString(mOSXBundleID.Get());
  CFBundleRef bundle = bundleID ? CFBundleGetBundleWithIdentifier(bundleID) : nullptr;
  if (bundleID) CFRelease(bundleID);
  CFURLRef url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  if (!url) return kAudioUnitErr_InvalidProperty;  // the bundle with the view factory is not installed
  CFStringRef className = MakeCFString(mCocoaViewFactoryClassName.Get());
  if (!className)
  {
    CFRelease(url);
    return coreFoundationUnknownErr;
  }
  q.Data<AudioUnitCocoaViewInfo>()->mCocoaAUViewBundleLocation = url;
  q.Data<AudioUnitCocoaViewInfo>()->mCocoaAUViewClass[0] = className;
  return noErr;
}

IPlugAU::BusChannels* IPlugAU::GetBus(AudioUnitScope scope, AudioUnitElement busIdx) const noexcept
{
  if (busIdx > 0x7fffffffu) return nullptr;
  if (scope == kAudioUnitScope_Global || scope == kAudioUnitScope_Output)
    return mOutBuses.Get(static_cast<int>(busIdx));
  if (scope == kAudioUnitScope_Input) return mInBuses.Get(static_cast<int>(busIdx));
  return nullptr;
}

ComponentResult IPlugAU::GetPrivateProperty(AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, UInt32*, Boolean*,
                                            void*)
{
  return kAudioUnitErr_InvalidProperty;
}

// ==== SetProperty ====

ComponentResult IPlugAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32 dataSize, const void* pData)
{
  // Listeners hear of every attempt, whatever its outcome.
  NotifyPropertyListeners(propID, scope, 0);
  if (propID >= kFirstBindingProperty) return SetBindingProperty(propID, scope, dataSize, pData);
  if (propID >= kFirstPrivateProperty) return SetPrivateProperty(propID, scope, element, dataSize, pData);

  const UInt32 needed = SetPropertyDataSize(propID);
  if (!needed) return kAudioUnitErr_InvalidProperty;
  if (!pData || dataSize < needed) return kAudioUnitErr_InvalidPropertyValue;

  switch (propID)
  {
    case kAudioUnitProperty_ClassInfo: return SetState(*static_cast<const CFPropertyListRef*>(pData));
    case kAudioUnitProperty_MakeConnection:
      return MakeConnection(scope, static_cast<const AudioUnitConnection*>(pData));
    case kAudioUnitProperty_SampleRate:
    {
      Float64 rate;
      std::memcpy(&rate, pData, sizeof(rate));
      if (!(rate > 0.0) || !std::isfinite(rate)) return kAudioUnitErr_InvalidPropertyValue;
      SetSampleRate(rate);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_StreamFormat:
      return SetStreamFormat(scope, element, static_cast<const AudioStreamBasicDescription*>(pData));
    case kAudioUnitProperty_MaximumFramesPerSlice:
    {
      const UInt32 frames = ReadUInt32(pData);
      if (frames == 0 || frames > kMaxBlockSize) return kAudioUnitErr_InvalidPropertyValue;
      SetBlockSize(static_cast<int>(frames));
      Reset();
      if (GetBlockSize() != static_cast<int>(frames)) return memFullErr;  // the scratch could not grow
      return noErr;
    }
    case kAudioUnitProperty_BypassEffect:
      mIsBypassed = ReadUInt32(pData) != 0;
      OnActivate(!mIsBypassed);
      Reset();
      return noErr;
    case kAudioUnitProperty_SetRenderCallback:
      return SetRenderCallback(scope, element, static_cast<const AURenderCallbackStruct*>(pData));
    case kAudioUnitProperty_HostCallbacks:
    {
      if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      // Whole callbacks only: a size that ends inside a pointer must not leave half of
      // one behind, which the transport queries would later call.
      HostCallbackInfo info = {};
      const UInt32 wanted = dataSize < sizeof(info) ? dataSize : static_cast<UInt32>(sizeof(info));
      std::memcpy(&info, pData, wanted / sizeof(void*) * sizeof(void*));
      mHostCallbacks = info;
      return noErr;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      RestorePreset(static_cast<int>(static_cast<const AUPreset*>(pData)->presetNumber));
      return noErr;
    case kAudioUnitProperty_OfflineRender: mIsOffline = ReadUInt32(pData) != 0; return noErr;
    case kAudioUnitProperty_AUHostIdentifier: return SetHostIdentifier(static_cast<const AUHostIdentifier*>(pData));
    default: return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPlugAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* pASBD)
{
  BusChannels* pBus = GetBus(scope, element);
  if (!pBus) return kAudioUnitErr_InvalidProperty;
  pBus->mNHostChannels = 0;

  // The render path reads and writes one buffer of 32-bit floats per channel: any other
  // sample format would be read as floats, so it is refused.
  const UInt32 flags = pASBD->mFormatFlags;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  const UInt32 nativeEndian = kAudioFormatFlagIsBigEndian;
#else
  const UInt32 nativeEndian = 0;
#endif
  const bool samplesAreFloat32 = pASBD->mFormatID == kAudioFormatLinearPCM && (flags & kAudioFormatFlagIsFloat) != 0 &&
                                 pASBD->mBitsPerChannel == 32 &&
                                 (flags & kAudioFormatFlagIsBigEndian) == nativeEndian &&
                                 ((flags & kAudioFormatFlagIsNonInterleaved) != 0 || pASBD->mChannelsPerFrame == 1);
  if (!samplesAreFloat32)
  {
    AssessInputConnections();
    return kAudioUnitErr_FormatNotSupported;
  }
  // The render path hands a bus's channels over in one buffer list of fixed capacity.
  const UInt32 nCh = pASBD->mChannelsPerFrame;
  const bool accepted = nCh > 0 && nCh <= static_cast<UInt32>(kMaxBusChannels) &&
                        CheckLegalIO(scope, static_cast<int>(element), static_cast<int>(nCh));
  if (accepted)
  {
    pBus->mNHostChannels = static_cast<int>(nCh);
    if (pASBD->mSampleRate > 0.0 && std::isfinite(pASBD->mSampleRate)) SetSampleRate(pASBD->mSampleRate);
  }
  AssessInputConnections();
  return accepted ? ComponentResult(noErr) : ComponentResult(kAudioUnitErr_InvalidProperty);
}

ComponentResult IPlugAU::MakeConnection(AudioUnitScope scope, const AudioUnitConnection* pConn)
{
  if ((scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input) ||
      pConn->destInputNumber >= static_cast<UInt32>(mInBusConnections.GetSize()))
    return kAudioUnitErr_InvalidProperty;

  InputBusConnection* pIn = mInBusConnections.Get(static_cast<int>(pConn->destInputNumber));
  *pIn = InputBusConnection{};
  ComponentResult r = noErr;
  if (AudioUnit src = pConn->sourceAudioUnit)
  {
    AudioStreamBasicDescription srcFormat = {};
    UInt32 size = sizeof(srcFormat);
    r = AudioUnitGetProperty(src, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, pConn->sourceOutputNumber,
                             &srcFormat, &size);
    if (r == noErr)
      r = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, pConn->destInputNumber, sizeof(srcFormat),
                      &srcFormat);
    if (r == noErr)
    {
      pIn->mUpstreamUnit = src;
      pIn->mUpstreamBusIdx = static_cast<int>(pConn->sourceOutputNumber);
    }
  }
  // Also after a failure: the cleared record must not leave the bus pulling from a stale source.
  AssessInputConnections();
  return r == noErr ? ComponentResult(noErr) : ComponentResult(kAudioUnitErr_InvalidProperty);
}

ComponentResult IPlugAU::SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                           const AURenderCallbackStruct* pCallback)
{
  if (scope != kAudioUnitScope_Input || element >= static_cast<UInt32>(mInBusConnections.GetSize()))
    return kAudioUnitErr_InvalidProperty;
  InputBusConnection* pIn = mInBusConnections.Get(static_cast<int>(element));
  *pIn = InputBusConnection{};
  if (pCallback->inputProc) pIn->mUpstreamRenderCallback = *pCallback;
  AssessInputConnections();
  return noErr;
}

ComponentResult IPlugAU::SetHostIdentifier(const AUHostIdentifier* pID)
{
  char name[MAX_EFFECT_NAME_LEN * 2];
  GetUTF8(pID->hostName, name, sizeof(name));
  const AUNumVersion& v = pID->hostVersion;
  const int version = (v.majorRev << 16) + (((v.minorAndBugRev >> 4) & 0xF) << 8) + (v.minorAndBugRev & 0xF);
  SetHost(name, version);
  OnHostIdentified();
  return noErr;
}

ComponentResult IPlugAU::SetPrivateProperty(AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, UInt32, const void*)
{
  return kAudioUnitErr_InvalidProperty;
}

// ==== Channel legality ====

// Sum of the known host channel counts, leaving out one bus; -1 when none is known.
int IPlugAU::KnownHostChannels(const WDL_PtrList<BusChannels>& buses, int excludeIdx) const noexcept
{
  int sum = 0;
  bool known = false;
  for (int i = 0; i < buses.GetSize(); ++i)
  {
    if (i == excludeIdx || buses.Get(i)->mNHostChannels < 0) continue;
    sum += buses.Get(i)->mNHostChannels;
    known = true;
  }
  return known ? sum : -1;
}

bool IPlugAU::CheckLegalIO()
{
  const int nIn = KnownHostChannels(mInBuses, -1), nOut = KnownHostChannels(mOutBuses, -1);
  if (nIn == 0 && nOut == 0) return true;
  return LegalIO(nIn, nOut);
}

bool IPlugAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels)
{
  auto others = [&](const WDL_PtrList<BusChannels>& buses) {
    const int n = KnownHostChannels(buses, busIdx);
    return (n > 0 ? n : 0) + nChannels;
  };
  // Before initialisation the other direction may still change, so it does not constrain.
  if (scope == kAudioUnitScope_Input) return LegalIO(others(mInBuses), mActive ? KnownHostChannels(mOutBuses, -1) : -1);
  return LegalIO(mActive ? KnownHostChannels(mInBuses, -1) : -1, others(mOutBuses));
}
