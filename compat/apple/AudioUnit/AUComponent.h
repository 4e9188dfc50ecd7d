// Audio unit component interface: types, scopes, selectors, errors, render flags,
// callbacks and the calls a host makes on an instance.
#ifndef COMPAT_APPLE_AUCOMPONENT_H
#define COMPAT_APPLE_AUCOMPONENT_H

#include <AudioToolbox/AudioComponent.h>
#include <CoreAudio/CoreAudioTypes.h>
#include <CoreServices/CoreServices.h>

COMPAT_APPLE_EXTERN_C_BEGIN

/* An audio unit is an audio component instance. A Component Manager instance is another
   type: a host that opened one that way casts it, and the calls below serve both kinds. */
typedef AudioComponentInstance AudioUnit;

/* Component types and the platform's manufacturer code. */
enum
{
  kAudioUnitType_Output = 0x61756F75,          /* 'auou' */
  kAudioUnitType_MusicDevice = 0x61756D75,     /* 'aumu' */
  kAudioUnitType_MusicEffect = 0x61756D66,     /* 'aumf' */
  kAudioUnitType_FormatConverter = 0x61756663, /* 'aufc' */
  kAudioUnitType_Effect = 0x61756678,          /* 'aufx' */
  kAudioUnitType_Mixer = 0x61756D78,           /* 'aumx' */
  kAudioUnitType_Panner = 0x6175706E,          /* 'aupn' */
  kAudioUnitType_OfflineEffect = 0x61756F6C,   /* 'auol' */
  kAudioUnitType_Generator = 0x6175676E        /* 'augn' */
};

enum
{
  kAudioUnitManufacturer_Apple = 0x6170706C /* 'appl' */
};

typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;
typedef UInt32 AUParameterEventType;
typedef UInt32 AudioUnitRenderActionFlags;

enum
{
  kAudioUnitRenderAction_PreRender = (1U << 2),
  kAudioUnitRenderAction_PostRender = (1U << 3),
  kAudioUnitRenderAction_OutputIsSilence = (1U << 4),
  kAudioOfflineUnitRenderAction_Preflight = (1U << 5),
  kAudioOfflineUnitRenderAction_Render = (1U << 6),
  kAudioOfflineUnitRenderAction_Complete = (1U << 7),
  kAudioUnitRenderAction_PostRenderError = (1U << 8),
  kAudioUnitRenderAction_DoNotCheckRenderArgs = (1U << 9)
};

enum
{
  kAudioUnitErr_InvalidProperty = -10879,
  kAudioUnitErr_InvalidParameter = -10878,
  kAudioUnitErr_InvalidElement = -10877,
  kAudioUnitErr_NoConnection = -10876,
  kAudioUnitErr_FailedInitialization = -10875,
  kAudioUnitErr_TooManyFramesToProcess = -10874,
  kAudioUnitErr_InvalidFile = -10871,
  kAudioUnitErr_UnknownFileType = -10870,
  kAudioUnitErr_FileNotSpecified = -10869,
  kAudioUnitErr_FormatNotSupported = -10868,
  kAudioUnitErr_Uninitialized = -10867,
  kAudioUnitErr_InvalidScope = -10866,
  kAudioUnitErr_PropertyNotWritable = -10865,
  kAudioUnitErr_CannotDoInCurrentContext = -10863,
  kAudioUnitErr_InvalidPropertyValue = -10851,
  kAudioUnitErr_PropertyNotInUse = -10850,
  kAudioUnitErr_Initialized = -10849,
  kAudioUnitErr_InvalidOfflineRender = -10848,
  kAudioUnitErr_Unauthorized = -10847
};

/* Request selectors of an audio unit's component entry. */
enum
{
  kAudioUnitRange = 0x0000,
  kAudioUnitInitializeSelect = 0x0001,
  kAudioUnitUninitializeSelect = 0x0002,
  kAudioUnitGetPropertyInfoSelect = 0x0003,
  kAudioUnitGetPropertySelect = 0x0004,
  kAudioUnitSetPropertySelect = 0x0005,
  kAudioUnitGetParameterSelect = 0x0006,
  kAudioUnitSetParameterSelect = 0x0007,
  kAudioUnitResetSelect = 0x0009,
  kAudioUnitAddPropertyListenerSelect = 0x000A,
  kAudioUnitRemovePropertyListenerSelect = 0x000B,
  kAudioUnitRenderSelect = 0x000E,
  kAudioUnitAddRenderNotifySelect = 0x000F,
  kAudioUnitRemoveRenderNotifySelect = 0x0010,
  kAudioUnitScheduleParametersSelect = 0x0011,
  kAudioUnitRemovePropertyListenerWithUserDataSelect = 0x0012,
  kAudioUnitComplexRenderSelect = 0x0013,
  kAudioUnitProcessSelect = 0x0014,
  kAudioUnitProcessMultipleSelect = 0x0015
};

/* Scheduled parameter changes. */
enum
{
  kParameterEvent_Immediate = 1,
  kParameterEvent_Ramped = 2
};

typedef struct AudioUnitParameterEvent
{
  AudioUnitScope scope;
  AudioUnitElement element;
  AudioUnitParameterID parameter;
  AUParameterEventType eventType;
  union
  {
    struct
    {
      SInt32 startBufferOffset;
      UInt32 durationInFrames;
      AudioUnitParameterValue startValue;
      AudioUnitParameterValue endValue;
    } ramp;
    struct
    {
      UInt32 bufferOffset;
      AudioUnitParameterValue value;
    } immediate;
  } eventValues;
} AudioUnitParameterEvent;

typedef struct AudioUnitParameter
{
  AudioUnit mAudioUnit;
  AudioUnitParameterID mParameterID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
} AudioUnitParameter;

typedef struct AudioUnitProperty
{
  AudioUnit mAudioUnit;
  AudioUnitPropertyID mPropertyID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
} AudioUnitProperty;

/* Callbacks a host or unit registers. */
typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber, UInt32 inNumberFrames,
                                     AudioBufferList* ioData);
typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit, AudioUnitPropertyID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement);
typedef void (*AUInputSamplesInOutputCallback)(void* inRefCon, const AudioTimeStamp* inOutputTimeStamp,
                                               Float64 inInputSample, Float64 inNumberInputSamples);

/* The exact prototypes of an audio unit's methods. The first argument is the instance's
   own record: the AudioComponentPlugInInterface of an audio component instance, or the
   component storage of a Component Manager instance (the FastDispatch property hands out
   the last three for those). */
typedef OSStatus (*AudioUnitInitializeProc)(void* self);
typedef OSStatus (*AudioUnitUninitializeProc)(void* self);
typedef OSStatus (*AudioUnitGetPropertyInfoProc)(void* self, AudioUnitPropertyID prop, AudioUnitScope scope,
                                                 AudioUnitElement elem, UInt32* outDataSize, Boolean* outWritable);
typedef OSStatus (*AudioUnitGetPropertyProc)(void* self, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                             AudioUnitElement inElement, void* outData, UInt32* ioDataSize);
typedef OSStatus (*AudioUnitSetPropertyProc)(void* self, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                             AudioUnitElement inElement, const void* inData, UInt32 inDataSize);
typedef OSStatus (*AudioUnitAddPropertyListenerProc)(void* self, AudioUnitPropertyID prop,
                                                     AudioUnitPropertyListenerProc proc, void* userData);
typedef OSStatus (*AudioUnitRemovePropertyListenerProc)(void* self, AudioUnitPropertyID prop,
                                                        AudioUnitPropertyListenerProc proc);
typedef OSStatus (*AudioUnitRemovePropertyListenerWithUserDataProc)(void* self, AudioUnitPropertyID prop,
                                                                    AudioUnitPropertyListenerProc proc, void* userData);
typedef OSStatus (*AudioUnitAddRenderNotifyProc)(void* self, AURenderCallback proc, void* userData);
typedef OSStatus (*AudioUnitRemoveRenderNotifyProc)(void* self, AURenderCallback proc, void* userData);
typedef OSStatus (*AudioUnitScheduleParametersProc)(void* self, const AudioUnitParameterEvent* events,
                                                    UInt32 numEvents);
typedef OSStatus (*AudioUnitResetProc)(void* self, AudioUnitScope inScope, AudioUnitElement inElement);
typedef OSStatus (*AudioUnitGetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue* outValue);
typedef OSStatus (*AudioUnitSetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue inValue, UInt32 inBufferOffsetInFrames);
typedef OSStatus (*AudioUnitRenderProc)(void* inComponentStorage, AudioUnitRenderActionFlags* ioActionFlags,
                                        const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                        UInt32 inNumberFrames, AudioBufferList* ioData);

/* Host calls. On an audio component instance each calls the method the instance's Lookup
   gives for its selector, through the method's exact prototype; on a Component Manager
   instance each builds the request block and calls the component entry. An instance that
   answers no method for the selector gets badComponentSelector. */
extern OSStatus AudioUnitInitialize(AudioUnit inUnit);
extern OSStatus AudioUnitUninitialize(AudioUnit inUnit);
extern OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                         AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable);
extern OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, void* outData, UInt32* ioDataSize);
extern OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, const void* inData, UInt32 inDataSize);
extern OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                             AudioUnitPropertyListenerProc inProc, void* inProcUserData);
extern OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                AudioUnitPropertyListenerProc inProc);
extern OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                            AudioUnitPropertyListenerProc inProc, void* inProcUserData);
extern OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData);
extern OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData);
extern OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue* outValue);
extern OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue inValue,
                                      UInt32 inBufferOffsetInFrames);
extern OSStatus AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                            UInt32 inNumParamEvents);
extern OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                                const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                AudioBufferList* ioData);
extern OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement);

COMPAT_APPLE_EXTERN_C_END

#endif
