// Parameter and event notification between audio units, their views and hosts.
#ifndef COMPAT_APPLE_AUDIOUNITUTILITIES_H
#define COMPAT_APPLE_AUDIOUNITUTILITIES_H

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CFRunLoop.h>

COMPAT_APPLE_EXTERN_C_BEGIN

enum
{
  kAUParameterListener_AnyParameter = 0xFFFFFFFF
};

typedef UInt32 AudioUnitEventType;
enum
{
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
  kAudioUnitEvent_PropertyChange = 3
};

typedef struct AUListenerBase* AUParameterListenerRef;
typedef AUParameterListenerRef AUEventListenerRef;

typedef struct AudioUnitEvent
{
  AudioUnitEventType mEventType;
  union
  {
    AudioUnitParameter mParameter;
    AudioUnitProperty mProperty;
  } mArgument;
} AudioUnitEvent;

typedef void (*AUParameterListenerProc)(void* inRefCon, void* inObject, const AudioUnitParameter* inParameter,
                                        AudioUnitParameterValue inValue);
typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject, const AudioUnitEvent* inEvent,
                                    UInt64 inEventHostTime, AudioUnitParameterValue inParameterValue);

/* Listeners. Events are delivered on the notifying thread, whatever run loop is named. */
extern OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData, CFRunLoopRef inRunLoop,
                                 CFStringRef inRunLoopMode, Float32 inNotificationInterval,
                                 AUParameterListenerRef* outListener);
extern OSStatus AUListenerDispose(AUParameterListenerRef inListener);
extern OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                       const AudioUnitParameter* inParameter);
extern OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                          const AudioUnitParameter* inParameter);
extern OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData, CFRunLoopRef inRunLoop,
                                      CFStringRef inRunLoopMode, Float32 inNotificationInterval,
                                      Float32 inValueChangeGranularity, AUEventListenerRef* outListener);
extern OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                            const AudioUnitEvent* inEvent);
extern OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                               const AudioUnitEvent* inEvent);

/* Notifiers. inSendingListener (may be NULL) is not told of its own notification. */
extern OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                               const AudioUnitParameter* inParameter, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames);
extern OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                          const AudioUnitParameter* inParameter);
extern OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                                      const AudioUnitEvent* inEvent);

COMPAT_APPLE_EXTERN_C_END

#endif
