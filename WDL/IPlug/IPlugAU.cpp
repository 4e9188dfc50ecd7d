// Construction, the Component Manager entries and their selector dispatch, the host requests
// both kinds of entry share, host notifications. The audio component entry is in
// IPlugAUPlugIn.cpp.

#include "IPlugAU.h"

#include <AudioUnit/AudioUnitCarbonView.h>

#include "IGraphics.h"
#include "IPlugAUArgs.h"

#include <initializer_list>
#include <new>

using iplug_au::ComponentArg;

namespace
{
// Selectors this component reports as implemented. The listener removal with user data
// is handled but, as hosts have always seen it, not reported.
bool CanDoSelector(int select) noexcept
{
  switch (select)
  {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect: return true;
    default: return false;
  }
}

// What a Carbon view instance keeps between its open, create and close requests.
struct CarbonViewRecord
{
  ComponentInstance mCI = nullptr;
  IPlugAU* mPlug = nullptr;
};
}  // namespace

// ==== Construction ====

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                 const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                 int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int sideChainChannels)
  : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
              latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU)
{
  mOSXBundleID.Set(instanceInfo.mOSXBundleID.Get());
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName.Get());
  try
  {
    BuildBuses(sideChainChannels);
  }
  catch (...)
  {
    DeleteBuses();  // a constructor that throws runs no destructor
    throw;
  }
  AssessInputConnections();
  SetBlockSize(1024);
}

// Appends a bus record the binding owns; a list that cannot grow is an allocation failure.
template <class T>
static void AddBusRecord(WDL_PtrList<T>& list, T* pRecord)
{
  if (!list.AddOrDelete(pRecord)) throw std::bad_alloc();
}

void IPlugAU::BuildBuses(int sideChainChannels)
{
  const int nIn = NInChannels(), nOut = NOutChannels();
  if (nIn > 0)
  {
    const int sc = sideChainChannels < nIn ? sideChainChannels : nIn;
    if (sc > 0)
    {
      AddBusRecord(mInBuses, new BusChannels{false, -1, nIn - sc, 0});
      AddBusRecord(mInBuses, new BusChannels{false, -1, sc, nIn - sc});
      AddBusRecord(mInBusConnections, new InputBusConnection);
      AddBusRecord(mInBusConnections, new InputBusConnection);
      SetInputBusLabel(0, "main input");
      SetInputBusLabel(1, "aux input");
    }
    else
    {
      AddBusRecord(mInBuses, new BusChannels{false, -1, nIn, 0});
      AddBusRecord(mInBusConnections, new InputBusConnection);
      SetInputBusLabel(0, "input");
      SetInputBusLabel(1, "aux input");  // kept although there is no second bus
    }
  }

  if (IsInst())
  {
    const int nBuses = (nOut + 1) / 2;
    for (int i = 0; i < nBuses; ++i)
    {
      const int start = 2 * i;
      const int n = nOut - start < 2 ? nOut - start : 2;
      AddBusRecord(mOutBuses, new BusChannels{false, -1, n, start});
      WDL_String label;
      label.SetFormatted(32, "output %i", i + 1);
      SetOutputBusLabel(i, label.Get());
    }
  }
  else
  {
    AddBusRecord(mOutBuses, new BusChannels{false, -1, nOut, 0});
    SetOutputBusLabel(0, "output");
  }
}

IPlugAU::~IPlugAU() { DeleteBuses(); }

void IPlugAU::DeleteBuses()
{
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
}

// ==== Component entry ====

ComponentResult IPlugAU::IPlugAUEntry(ComponentParameters* params, void* pPlug)
{
  // A C++ exception must not cross the component boundary: it becomes an error code.
  try
  {
    return DispatchEntry(params, static_cast<IPlugAU*>(pPlug));
  }
  catch (const std::bad_alloc&)
  {
    return memFullErr;
  }
  catch (...)
  {
    if (params && params->what == kComponentOpenSelect) return kAudioUnitErr_FailedInitialization;
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
}

ComponentResult IPlugAU::DispatchEntry(ComponentParameters* params, IPlugAU* _this)
{
  if (!params) return paramErr;
  const int select = params->what;

  if (select == kComponentOpenSelect) return OpenInstance(params);
  if (select == kComponentCloseSelect) return CloseInstance(_this);
  if (!_this)
  {
    if (select == kComponentCanDoSelect) return CanDoSelector(ComponentArg<SInt16>(params, 0, 1)) ? 1 : 0;
    return badComponentInstance;
  }

  WDL_MutexLock lock(&_this->mMutex);
  const ComponentResult result = _this->Dispatch(params);
  // Every host call other than a render gives the plug-in an idle slot off the audio
  // thread, for work the audio thread must not do itself (e.g. host notifications).
  if (select != kAudioUnitRenderSelect) _this->OnIdle();
  return result;
}

ComponentResult IPlugAU::OpenInstance(ComponentParameters* params)
{
  ComponentInstance ci = iplug_au::OpenedInstance(params);
  IPlugAU* pPlug = MakePlug();  // an exception here is turned into an error by the entry
  if (!pPlug) return memFullErr;
  // Hosts address a Component Manager instance as an Audio Unit by casting it.
  pPlug->OpenedAs(reinterpret_cast<AudioUnit>(ci), true);
  SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(pPlug));
  return noErr;
}

void IPlugAU::OpenedAs(AudioUnit unit, bool componentManager)
{
  HostSpecificInit();
  PruneUninitializedPresets();
  mUnit = unit;
  mComponentManagerInstance = componentManager;
}

ComponentResult IPlugAU::CloseInstance(IPlugAU* pPlug)
{
  if (!pPlug) return noErr;
  pPlug->ClearConnections();
  delete pPlug;
  return noErr;
}

void IPlugAU::ClearConnections()
{
  for (WDL_PtrList<BusChannels>* pBuses : {&mInBuses, &mOutBuses})
  {
    for (int i = 0; i < pBuses->GetSize(); ++i)
    {
      pBuses->Get(i)->mConnected = false;
      pBuses->Get(i)->mNHostChannels = -1;
    }
  }
  for (int i = 0; i < mInBusConnections.GetSize(); ++i) *mInBusConnections.Get(i) = InputBusConnection{};
}

ComponentResult IPlugAU::Dispatch(ComponentParameters* p)
{
  switch (p->what)
  {
    case kComponentCanDoSelect: return CanDoSelector(ComponentArg<SInt16>(p, 0, 1)) ? 1 : 0;
    case kComponentVersionSelect: return mVersion;
    case kAudioUnitInitializeSelect: return HostInitialize();
    case kAudioUnitUninitializeSelect: return HostUninitialize();
    case kAudioUnitGetPropertyInfoSelect:
      return HostGetPropertyInfo(ComponentArg<AudioUnitPropertyID>(p, 0, 5), ComponentArg<AudioUnitScope>(p, 1, 5),
                                 ComponentArg<AudioUnitElement>(p, 2, 5), ComponentArg<UInt32*>(p, 3, 5),
                                 ComponentArg<Boolean*>(p, 4, 5));
    case kAudioUnitGetPropertySelect:
      return HostGetProperty(ComponentArg<AudioUnitPropertyID>(p, 0, 5), ComponentArg<AudioUnitScope>(p, 1, 5),
                             ComponentArg<AudioUnitElement>(p, 2, 5), ComponentArg<void*>(p, 3, 5),
                             ComponentArg<UInt32*>(p, 4, 5));
    case kAudioUnitSetPropertySelect:
      return SetProperty(ComponentArg<AudioUnitPropertyID>(p, 0, 5), ComponentArg<AudioUnitScope>(p, 1, 5),
                         ComponentArg<AudioUnitElement>(p, 2, 5), ComponentArg<UInt32>(p, 4, 5),
                         ComponentArg<const void*>(p, 3, 5));
    case kAudioUnitGetParameterSelect:
      return GetParamProc(this, ComponentArg<AudioUnitParameterID>(p, 0, 4), ComponentArg<AudioUnitScope>(p, 1, 4),
                          ComponentArg<AudioUnitElement>(p, 2, 4), ComponentArg<AudioUnitParameterValue*>(p, 3, 4));
    case kAudioUnitSetParameterSelect:
      return SetParamProc(this, ComponentArg<AudioUnitParameterID>(p, 0, 5), ComponentArg<AudioUnitScope>(p, 1, 5),
                          ComponentArg<AudioUnitElement>(p, 2, 5), ComponentArg<AudioUnitParameterValue>(p, 3, 5),
                          ComponentArg<UInt32>(p, 4, 5));
    case kAudioUnitResetSelect: Reset(); return noErr;
    case kAudioUnitAddPropertyListenerSelect:
      return AddPropertyListener({ComponentArg<AudioUnitPropertyID>(p, 0, 3),
                                  ComponentArg<AudioUnitPropertyListenerProc>(p, 1, 3), ComponentArg<void*>(p, 2, 3)})
               ? ComponentResult{noErr}
               : ComponentResult{memFullErr};
    case kAudioUnitRemovePropertyListenerSelect:
      RemovePropertyListener(ComponentArg<AudioUnitPropertyID>(p, 0, 2),
                             ComponentArg<AudioUnitPropertyListenerProc>(p, 1, 2), nullptr, false);
      return noErr;
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      RemovePropertyListener(ComponentArg<AudioUnitPropertyID>(p, 0, 3),
                             ComponentArg<AudioUnitPropertyListenerProc>(p, 1, 3), ComponentArg<void*>(p, 2, 3), true);
      return noErr;
    case kAudioUnitRenderSelect:
      return Render(ComponentArg<AudioUnitRenderActionFlags*>(p, 0, 5), ComponentArg<const AudioTimeStamp*>(p, 1, 5),
                    ComponentArg<UInt32>(p, 2, 5), ComponentArg<UInt32>(p, 3, 5),
                    ComponentArg<AudioBufferList*>(p, 4, 5));
    case kAudioUnitAddRenderNotifySelect:
      return HostAddRenderNotify(ComponentArg<AURenderCallback>(p, 0, 2), ComponentArg<void*>(p, 1, 2));
    case kAudioUnitRemoveRenderNotifySelect: return HostRemoveRenderNotify(ComponentArg<AURenderCallback>(p, 0, 2));
    case kAudioUnitScheduleParametersSelect:
      return HostScheduleParameters(ComponentArg<const AudioUnitParameterEvent*>(p, 0, 2),
                                    ComponentArg<UInt32>(p, 1, 2));
    default: return DispatchMusicDevice(p);
  }
}

// ==== Host requests (mutex held) ====

ComponentResult IPlugAU::HostInitialize()
{
  if (!CheckLegalIO()) return badComponentSelector;
  mActive = true;
  OnParamReset();
  OnActivate(true);
  return noErr;
}

ComponentResult IPlugAU::HostUninitialize()
{
  mActive = false;
  OnActivate(false);
  return noErr;
}

ComponentResult IPlugAU::HostGetPropertyInfo(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                             UInt32* pDataSize, Boolean* pWriteable)
{
  UInt32 size = 0;
  Boolean writeable = false;
  const ComponentResult r = GetProperty(propID, scope, element, &size, &writeable, nullptr);
  if (pDataSize) *pDataSize = size;
  if (pWriteable) *pWriteable = writeable;
  return r;
}

ComponentResult IPlugAU::HostGetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                         void* pData, UInt32* pDataSize)
{
  UInt32 size = pDataSize ? *pDataSize : 0;  // no size given: no room for any data
  Boolean writeable = false;
  const ComponentResult r = GetProperty(propID, scope, element, &size, &writeable, pData);
  if (pDataSize && r == noErr) *pDataSize = size;
  return r;
}

ComponentResult IPlugAU::HostAddRenderNotify(AURenderCallback proc, void* pUserData)
{
  auto* pNotify = new AURenderCallbackStruct{proc, pUserData};
  return mRenderNotify.AddOrDelete(pNotify) ? ComponentResult{noErr} : ComponentResult{memFullErr};
}

ComponentResult IPlugAU::HostRemoveRenderNotify(AURenderCallback proc)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    if (mRenderNotify.Get(i)->inputProc == proc)
    {
      mRenderNotify.Delete(i, true);
      break;
    }
  }
  return noErr;
}

ComponentResult IPlugAU::HostScheduleParameters(const AudioUnitParameterEvent* pEvents, UInt32 nEvents)
{
  for (UInt32 i = 0; pEvents && i < nEvents; ++i)
  {
    const AudioUnitParameterEvent& e = pEvents[i];
    if (e.eventType != kParameterEvent_Immediate) continue;
    const OSStatus r = SetParamProc(this, e.parameter, e.scope, e.element, e.eventValues.immediate.value,
                                    e.eventValues.immediate.bufferOffset);
    if (r != noErr) return r;
  }
  return noErr;
}

ComponentResult IPlugAU::DispatchMusicDevice(ComponentParameters* p)
{
  switch (p->what)
  {
    case kMusicDeviceMIDIEventSelect:
    {
      IMidiMsg msg(static_cast<int>(ComponentArg<UInt32>(p, 3, 4)), static_cast<BYTE>(ComponentArg<UInt32>(p, 0, 4)),
                   static_cast<BYTE>(ComponentArg<UInt32>(p, 1, 4)), static_cast<BYTE>(ComponentArg<UInt32>(p, 2, 4)));
      ProcessMidiMsg(&msg);
      return noErr;
    }
    case kMusicDeviceSysExSelect:
    {
      ISysEx sysEx(0, ComponentArg<const UInt8*>(p, 0, 2), static_cast<int>(ComponentArg<UInt32>(p, 1, 2)));
      ProcessSysEx(&sysEx);
      return noErr;
    }
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
    case kMusicDeviceStopNoteSelect: return noErr;
    case kMusicDeviceStartNoteSelect:
    {
      NoteInstanceID* pNoteID = ComponentArg<NoteInstanceID*>(p, 2, 5);
      const auto* pNoteParams = ComponentArg<const MusicDeviceNoteParams*>(p, 4, 5);
      if (pNoteID && pNoteParams) *pNoteID = static_cast<NoteInstanceID>(static_cast<int>(pNoteParams->mPitch));
      return noErr;
    }
    default: return badComponentSelector;
  }
}

// ==== Carbon view entry ====

ComponentResult IPlugAU::IPlugAUCarbonViewEntry(ComponentParameters* params, void* pView)
{
  try
  {
    return DispatchCarbonView(params, pView);
  }
  catch (const std::bad_alloc&)
  {
    return memFullErr;
  }
  catch (...)
  {
    return badComponentSelector;
  }
}

ComponentResult IPlugAU::DispatchCarbonView(ComponentParameters* params, void* pView)
{
  if (!params) return paramErr;
  auto* pRecord = static_cast<CarbonViewRecord*>(pView);
  switch (params->what)
  {
    case kComponentOpenSelect:
    {
      ComponentInstance ci = iplug_au::OpenedInstance(params);
      auto* pNew = new (std::nothrow) CarbonViewRecord;
      if (!pNew) return memFullErr;
      pNew->mCI = ci;
      SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(pNew));
      return noErr;
    }
    case kComponentCloseSelect:
      if (pRecord && pRecord->mPlug && pRecord->mPlug->GetGUI()) pRecord->mPlug->GetGUI()->CloseWindow();
      delete pRecord;
      return noErr;
    case kAudioUnitCarbonViewCreateSelect:
    {
      if (!pRecord) return badComponentSelector;
      // The Audio Unit of a Carbon view host is a Component Manager instance.
      auto unit = ComponentArg<ComponentInstance>(params, 0, 6);
      auto* pPlug = unit ? reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit)) : nullptr;
      pRecord->mPlug = pPlug;
      IGraphics* pGraphics = pPlug ? pPlug->EnsureGUI() : nullptr;
      if (!pGraphics) return badComponentSelector;
      void* pControl =
        pGraphics->OpenWindow(ComponentArg<WindowRef>(params, 1, 6), ComponentArg<ControlRef>(params, 2, 6), 0, 0);
      if (ControlRef* pOut = ComponentArg<ControlRef*>(params, 5, 6)) *pOut = static_cast<ControlRef>(pControl);
      return noErr;
    }
    default: return badComponentSelector;
  }
}

// ==== Listeners and host notification ====

bool IPlugAU::AddPropertyListener(const PropertyListener& listener)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pL = mPropertyListeners.Get(i);
    if (pL->mPropID == listener.mPropID && pL->mListenerProc == listener.mListenerProc) return true;
  }
  return mPropertyListeners.AddOrDelete(new PropertyListener(listener));
}

void IPlugAU::RemovePropertyListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc,
                                     const void* pUserData, bool matchUserData)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pL = mPropertyListeners.Get(i);
    if (pL->mPropID == propID && pL->mListenerProc == proc && (!matchUserData || pL->mProcArgs == pUserData))
    {
      mPropertyListeners.Delete(i, true);
      return;
    }
  }
}

void IPlugAU::NotifyPropertyListeners(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element)
{
  // By index, and re-read each time: a listener may remove itself while being called.
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pL = mPropertyListeners.Get(i);
    if (pL && pL->mPropID == propID && pL->mListenerProc)
      pL->mListenerProc(pL->mProcArgs, mUnit, propID, scope, element);
  }
}

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope)
{
  NotifyPropertyListeners(propID, scope, 0);
}

void IPlugAU::InformHostOfProgramChange()
{
  NotifyPropertyListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

void IPlugAU::SetLatency(int samples)
{
  NotifyPropertyListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
  IPlugBase::SetLatency(samples);
}

void IPlugAU::PostParamEvent(AudioUnitEventType type, int idx)
{
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = mUnit;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(idx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPlugAU::BeginInformHostOfParamChange(int idx)
{
  PostParamEvent(kAudioUnitEvent_BeginParameterChangeGesture, idx);
}

// Listeners read the value back through the parameter getter.
void IPlugAU::InformHostOfParamChange(int idx, double) { PostParamEvent(kAudioUnitEvent_ParameterValueChange, idx); }

void IPlugAU::EndInformHostOfParamChange(int idx) { PostParamEvent(kAudioUnitEvent_EndParameterChangeGesture, idx); }

void IPlugAU::ResizeGraphics(int, int)
{
  if (GetGUI()) OnWindowResize();
}

bool IPlugAU::SendMidiMsg(IMidiMsg*) { return false; }

// ==== Host identification ====

EHost IPlugAU::GetHost()
{
  if (mHost == kHostUninit)
  {
    char id[256] = "";
    CFBundleRef mainBundle = CFBundleGetMainBundle();
    CFStringRef bundleID = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
    if (bundleID && !CFStringGetCString(bundleID, id, sizeof(id), kCFStringEncodingUTF8)) id[0] = 0;
    SetHost(id, 0);
    if (mHost == kHostUnknown || mHost == kHostUninit) SetHost("", 0);
  }
  return mHost;
}

void IPlugAU::HostSpecificInit()
{
  GetHost();
  OnHostIdentified();
}
