// The audio component entry: the factory an Info.plist names, the instance record it
// returns, and the methods the record's Lookup answers. Current hosts reach a plug-in only
// this way: they never see a Component Manager parameter block or component storage.
//
// Each method has the exact prototype a host casts the looked-up pointer back to, and does
// around its request what the Component Manager entry does: the plug-in mutex and an idle
// slot after it (render excepted, which takes no lock), and no exception crosses into the
// host.

#include "IPlugAU.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace
{
// The instance record: the interface the host calls first, then what the instance keeps.
struct PlugInInstance
{
  AudioComponentPlugInInterface mInterface;
  IPlugAU* mPlug = nullptr;
};
static_assert(offsetof(PlugInInstance, mInterface) == 0, "the host reads the record as its interface");

IPlugAU* PlugOf(void* self) noexcept { return self ? static_cast<PlugInInstance*>(self)->mPlug : nullptr; }
}  // namespace

struct IPlugAU::AudioComponentMethods
{
  // Runs one host request under the plug-in mutex, then the idle slot. Host control thread.
  template <class Request>
  static OSStatus Serve(void* self, Request&& request) noexcept
  {
    IPlugAU* pPlug = PlugOf(self);
    if (!pPlug) return badComponentInstance;
    try
    {
      WDL_MutexLock lock(&pPlug->mMutex);
      const OSStatus result = request(pPlug);
      pPlug->OnIdle();
      return result;
    }
    catch (const std::bad_alloc&)
    {
      return memFullErr;
    }
    catch (...)
    {
      return kAudioUnitErr_CannotDoInCurrentContext;
    }
  }

  // ---- Open and close

  static OSStatus Open(void* self, AudioComponentInstance instance) noexcept
  {
    auto* pRecord = static_cast<PlugInInstance*>(self);
    if (!pRecord || pRecord->mPlug) return kAudioUnitErr_FailedInitialization;
    try
    {
      IPlugAU* pPlug = MakePlug();
      if (!pPlug) return memFullErr;
      pPlug->OpenedAs(instance, false);
      pRecord->mPlug = pPlug;
      return noErr;
    }
    catch (const std::bad_alloc&)
    {
      return memFullErr;
    }
    catch (...)
    {
      return kAudioUnitErr_FailedInitialization;
    }
  }

  // Deletes the plug-in (if Open made one) and the record itself.
  static OSStatus Close(void* self) noexcept
  {
    auto* pRecord = static_cast<PlugInInstance*>(self);
    if (!pRecord) return badComponentInstance;
    if (IPlugAU* pPlug = pRecord->mPlug)
    {
      pPlug->ClearConnections();
      delete pPlug;
    }
    pRecord->~PlugInInstance();
    std::free(pRecord);
    return noErr;
  }

  // ---- The methods

  static OSStatus Initialize(void* self)
  {
    return Serve(self, [](IPlugAU* p) { return p->HostInitialize(); });
  }

  static OSStatus Uninitialize(void* self)
  {
    return Serve(self, [](IPlugAU* p) { return p->HostUninitialize(); });
  }

  static OSStatus GetPropertyInfo(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                  UInt32* outDataSize, Boolean* outWritable)
  {
    return Serve(self,
                 [&](IPlugAU* p) { return p->HostGetPropertyInfo(id, scope, element, outDataSize, outWritable); });
  }

  static OSStatus GetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                              void* outData, UInt32* ioDataSize)
  {
    return Serve(self, [&](IPlugAU* p) { return p->HostGetProperty(id, scope, element, outData, ioDataSize); });
  }

  static OSStatus SetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                              const void* inData, UInt32 inDataSize)
  {
    return Serve(self, [&](IPlugAU* p) { return p->SetProperty(id, scope, element, inDataSize, inData); });
  }

  static OSStatus AddPropertyListener(void* self, AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                      void* userData)
  {
    return Serve(self, [&](IPlugAU* p) {
      return p->AddPropertyListener({id, proc, userData}) ? OSStatus{noErr} : OSStatus{memFullErr};
    });
  }

  static OSStatus RemovePropertyListener(void* self, AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc)
  {
    return Serve(self, [&](IPlugAU* p) {
      p->RemovePropertyListener(id, proc, nullptr, false);
      return OSStatus{noErr};
    });
  }

  static OSStatus RemovePropertyListenerWithUserData(void* self, AudioUnitPropertyID id,
                                                     AudioUnitPropertyListenerProc proc, void* userData)
  {
    return Serve(self, [&](IPlugAU* p) {
      p->RemovePropertyListener(id, proc, userData, true);
      return OSStatus{noErr};
    });
  }

  static OSStatus AddRenderNotify(void* self, AURenderCallback proc, void* userData)
  {
    return Serve(self, [&](IPlugAU* p) { return p->HostAddRenderNotify(proc, userData); });
  }

  static OSStatus RemoveRenderNotify(void* self, AURenderCallback proc, void*)
  {
    return Serve(self, [&](IPlugAU* p) { return p->HostRemoveRenderNotify(proc); });
  }

  static OSStatus GetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                               AudioUnitParameterValue* outValue)
  {
    return Serve(self, [&](IPlugAU* p) { return GetParamProc(p, id, scope, element, outValue); });
  }

  static OSStatus SetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                               AudioUnitParameterValue value, UInt32 bufferOffset)
  {
    return Serve(self, [&](IPlugAU* p) { return SetParamProc(p, id, scope, element, value, bufferOffset); });
  }

  static OSStatus ScheduleParameters(void* self, const AudioUnitParameterEvent* events, UInt32 numEvents)
  {
    return Serve(self, [&](IPlugAU* p) { return p->HostScheduleParameters(events, numEvents); });
  }

  static OSStatus Reset(void* self, AudioUnitScope, AudioUnitElement)
  {
    return Serve(self, [](IPlugAU* p) {
      p->Reset();
      return OSStatus{noErr};
    });
  }

  // Audio thread: no allocation, no locks.
  static OSStatus Render(void* self, AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                         UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData)
  {
    return RenderProc(PlugOf(self), ioActionFlags, inTimeStamp, inOutputBusNumber, inNumberFrames, ioData);
  }

  template <class Method>
  static AudioComponentMethod AsMethod(Method method) noexcept
  {
    return reinterpret_cast<AudioComponentMethod>(method);
  }

  // The method for each selector the plug-in answers; null for any other.
  static AudioComponentMethod Lookup(SInt16 selector) noexcept
  {
    switch (selector)
    {
      case kAudioUnitInitializeSelect: return AsMethod<AudioUnitInitializeProc>(Initialize);
      case kAudioUnitUninitializeSelect: return AsMethod<AudioUnitUninitializeProc>(Uninitialize);
      case kAudioUnitGetPropertyInfoSelect: return AsMethod<AudioUnitGetPropertyInfoProc>(GetPropertyInfo);
      case kAudioUnitGetPropertySelect: return AsMethod<AudioUnitGetPropertyProc>(GetProperty);
      case kAudioUnitSetPropertySelect: return AsMethod<AudioUnitSetPropertyProc>(SetProperty);
      case kAudioUnitAddPropertyListenerSelect: return AsMethod<AudioUnitAddPropertyListenerProc>(AddPropertyListener);
      case kAudioUnitRemovePropertyListenerSelect:
        return AsMethod<AudioUnitRemovePropertyListenerProc>(RemovePropertyListener);
      case kAudioUnitRemovePropertyListenerWithUserDataSelect:
        return AsMethod<AudioUnitRemovePropertyListenerWithUserDataProc>(RemovePropertyListenerWithUserData);
      case kAudioUnitAddRenderNotifySelect: return AsMethod<AudioUnitAddRenderNotifyProc>(AddRenderNotify);
      case kAudioUnitRemoveRenderNotifySelect: return AsMethod<AudioUnitRemoveRenderNotifyProc>(RemoveRenderNotify);
      case kAudioUnitGetParameterSelect: return AsMethod<AudioUnitGetParameterProc>(GetParameter);
      case kAudioUnitSetParameterSelect: return AsMethod<AudioUnitSetParameterProc>(SetParameter);
      case kAudioUnitScheduleParametersSelect: return AsMethod<AudioUnitScheduleParametersProc>(ScheduleParameters);
      case kAudioUnitRenderSelect: return AsMethod<AudioUnitRenderProc>(Render);
      case kAudioUnitResetSelect: return AsMethod<AudioUnitResetProc>(Reset);
      default: return nullptr;
    }
  }
};

AudioComponentPlugInInterface* IPlugAU::IPlugAUFactory(const AudioComponentDescription*)
{
  // Plain memory: the record crosses into the host, which never frees it itself.
  void* pMemory = std::malloc(sizeof(PlugInInstance));
  if (!pMemory) return nullptr;
  auto* pRecord = new (pMemory) PlugInInstance;
  pRecord->mInterface = {AudioComponentMethods::Open, AudioComponentMethods::Close, AudioComponentMethods::Lookup,
                         nullptr};
  return &pRecord->mInterface;
}
