// Parameter and event notification. Listeners and sinks are called on the notifying thread,
// outside every lock here, so they may call back into the unit that notified.
#include <CompatHooks.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

struct AUListenerBase
{
  AUEventListenerProc eventProc = nullptr;
  AUParameterListenerProc parameterProc = nullptr;
  void* userData = nullptr;
  std::vector<AudioUnitEvent> interests;  // guarded by the hub's lock
};

namespace
{

struct Hub
{
  std::mutex lock;
  std::vector<AUListenerBase*> listeners;
  std::vector<std::pair<compat_AUEventSink, void*>> sinks;
};

Hub& TheHub()
{
  static Hub* hub = new Hub;
  return *hub;
}

bool IsParameterEvent(AudioUnitEventType t) { return t != kAudioUnitEvent_PropertyChange; }

bool SameTarget(const AudioUnitEvent& interest, const AudioUnitEvent& event)
{
  if (interest.mEventType != event.mEventType) return false;
  if (IsParameterEvent(event.mEventType))
  {
    const AudioUnitParameter& a = interest.mArgument.mParameter;
    const AudioUnitParameter& b = event.mArgument.mParameter;
    return a.mAudioUnit == b.mAudioUnit && a.mScope == b.mScope && a.mElement == b.mElement &&
           (a.mParameterID == kAUParameterListener_AnyParameter || a.mParameterID == b.mParameterID);
  }
  const AudioUnitProperty& a = interest.mArgument.mProperty;
  const AudioUnitProperty& b = event.mArgument.mProperty;
  return a.mAudioUnit == b.mAudioUnit && a.mPropertyID == b.mPropertyID && a.mScope == b.mScope &&
         a.mElement == b.mElement;
}

bool Registered(Hub& hub, AUListenerBase* listener)
{
  return std::find(hub.listeners.begin(), hub.listeners.end(), listener) != hub.listeners.end();
}

AUListenerBase* NewListener(AUEventListenerProc eventProc, AUParameterListenerProc parameterProc, void* userData)
{
  auto* l = new AUListenerBase;
  l->eventProc = eventProc;
  l->parameterProc = parameterProc;
  l->userData = userData;
  Hub& hub = TheHub();
  std::lock_guard<std::mutex> hold(hub.lock);
  hub.listeners.push_back(l);
  return l;
}

AudioUnitEvent ValueChangeEvent(const AudioUnitParameter& p)
{
  AudioUnitEvent e{};
  e.mEventType = kAudioUnitEvent_ParameterValueChange;
  e.mArgument.mParameter = p;
  return e;
}

/* Listeners learn the value by asking the unit, as they do on the original platform. */
AudioUnitParameterValue CurrentValue(const AudioUnitEvent& event)
{
  AudioUnitParameterValue value = 0.f;
  if (IsParameterEvent(event.mEventType) && event.mArgument.mParameter.mAudioUnit)
  {
    const AudioUnitParameter& p = event.mArgument.mParameter;
    AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value);
  }
  return value;
}

OSStatus Deliver(AUListenerBase* sender, void* sendingObject, const AudioUnitEvent& event)
{
  Hub& hub = TheHub();
  std::vector<std::pair<compat_AUEventSink, void*>> sinks;
  std::vector<AUListenerBase> receivers;
  {
    std::lock_guard<std::mutex> hold(hub.lock);
    sinks = hub.sinks;
    for (AUListenerBase* l : hub.listeners)
    {
      if (l == sender) continue;
      for (const AudioUnitEvent& interest : l->interests)
      {
        if (SameTarget(interest, event))
        {
          receivers.push_back({l->eventProc, l->parameterProc, l->userData, {}});
          break;
        }
      }
    }
  }
  for (const auto& [sink, userData] : sinks) sink(userData, sendingObject, &event);
  if (receivers.empty()) return noErr;
  const AudioUnitParameterValue value = CurrentValue(event);
  for (const AUListenerBase& r : receivers)
  {
    if (r.eventProc)
    {
      r.eventProc(r.userData, sendingObject, &event, 0, value);
    }
    else if (r.parameterProc && event.mEventType == kAudioUnitEvent_ParameterValueChange)
    {
      r.parameterProc(r.userData, sendingObject, &event.mArgument.mParameter, value);
    }
  }
  return noErr;
}

OSStatus AddInterest(AUListenerBase* listener, const AudioUnitEvent& event)
{
  Hub& hub = TheHub();
  std::lock_guard<std::mutex> hold(hub.lock);
  if (!Registered(hub, listener)) return paramErr;
  listener->interests.push_back(event);
  return noErr;
}

OSStatus RemoveInterest(AUListenerBase* listener, const AudioUnitEvent& event)
{
  Hub& hub = TheHub();
  std::lock_guard<std::mutex> hold(hub.lock);
  if (!Registered(hub, listener)) return paramErr;
  auto& v = listener->interests;
  v.erase(std::remove_if(v.begin(), v.end(),
                         [&](const AudioUnitEvent& i) { return SameTarget(i, event) && SameTarget(event, i); }),
          v.end());
  return noErr;
}

}  // namespace

extern "C"
{

  void compat_AddAUEventSink(compat_AUEventSink sink, void* userData)
  {
    if (!sink) return;
    Hub& hub = TheHub();
    std::lock_guard<std::mutex> hold(hub.lock);
    const auto entry = std::make_pair(sink, userData);
    if (std::find(hub.sinks.begin(), hub.sinks.end(), entry) == hub.sinks.end()) hub.sinks.push_back(entry);
  }

  void compat_RemoveAUEventSink(compat_AUEventSink sink, void* userData)
  {
    Hub& hub = TheHub();
    std::lock_guard<std::mutex> hold(hub.lock);
    const auto entry = std::make_pair(sink, userData);
    hub.sinks.erase(std::remove(hub.sinks.begin(), hub.sinks.end(), entry), hub.sinks.end());
  }

  OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData, CFRunLoopRef inRunLoop,
                            CFStringRef inRunLoopMode, Float32 inNotificationInterval,
                            AUParameterListenerRef* outListener)
  {
    (void)inRunLoop;
    (void)inRunLoopMode;
    (void)inNotificationInterval;
    if (!inProc || !outListener) return paramErr;
    *outListener = NewListener(nullptr, inProc, inUserData);
    return noErr;
  }

  OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData, CFRunLoopRef inRunLoop,
                                 CFStringRef inRunLoopMode, Float32 inNotificationInterval,
                                 Float32 inValueChangeGranularity, AUEventListenerRef* outListener)
  {
    (void)inRunLoop;
    (void)inRunLoopMode;
    (void)inNotificationInterval;
    (void)inValueChangeGranularity;
    if (!inProc || !outListener) return paramErr;
    *outListener = NewListener(inProc, nullptr, inUserData);
    return noErr;
  }

  OSStatus AUListenerDispose(AUParameterListenerRef inListener)
  {
    Hub& hub = TheHub();
    {
      std::lock_guard<std::mutex> hold(hub.lock);
      auto found = std::find(hub.listeners.begin(), hub.listeners.end(), inListener);
      if (found == hub.listeners.end()) return paramErr;
      hub.listeners.erase(found);
    }
    delete inListener;
    return noErr;
  }

  OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                  const AudioUnitParameter* inParameter)
  {
    (void)inObject;
    if (!inParameter) return paramErr;
    return AddInterest(inListener, ValueChangeEvent(*inParameter));
  }

  OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                     const AudioUnitParameter* inParameter)
  {
    (void)inObject;
    if (!inParameter) return paramErr;
    return RemoveInterest(inListener, ValueChangeEvent(*inParameter));
  }

  OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject, const AudioUnitEvent* inEvent)
  {
    (void)inObject;
    if (!inEvent) return paramErr;
    return AddInterest(inListener, *inEvent);
  }

  OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject, const AudioUnitEvent* inEvent)
  {
    (void)inObject;
    if (!inEvent) return paramErr;
    return RemoveInterest(inListener, *inEvent);
  }

  OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                          const AudioUnitParameter* inParameter, AudioUnitParameterValue inValue,
                          UInt32 inBufferOffsetInFrames)
  {
    if (!inParameter) return paramErr;
    const OSStatus err = AudioUnitSetParameter(inParameter->mAudioUnit, inParameter->mParameterID, inParameter->mScope,
                                               inParameter->mElement, inValue, inBufferOffsetInFrames);
    if (err != noErr) return err;
    return AUParameterListenerNotify(inSendingListener, inSendingObject, inParameter);
  }

  OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                     const AudioUnitParameter* inParameter)
  {
    if (!inParameter) return paramErr;
    return Deliver(inSendingListener, inSendingObject, ValueChangeEvent(*inParameter));
  }

  OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                                 const AudioUnitEvent* inEvent)
  {
    if (!inEvent) return paramErr;
    return Deliver(inSendingListener, inSendingObject, *inEvent);
  }

}  // extern "C"
