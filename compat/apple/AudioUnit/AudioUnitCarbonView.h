// Carbon view components: the view component type and its create request.
#ifndef COMPAT_APPLE_AUDIOUNITCARBONVIEW_H
#define COMPAT_APPLE_AUDIOUNITCARBONVIEW_H

#include <AudioUnit/AUComponent.h>
#include <Carbon/Carbon.h>

COMPAT_APPLE_EXTERN_C_BEGIN

typedef ComponentInstance AudioUnitCarbonView;

enum
{
  kAudioUnitCarbonViewComponentType = 0x61757677, /* 'auvw' */
  kAUCarbonViewSubType_Generic = 0x676E7263       /* 'gnrc' */
};

enum
{
  kAudioUnitCarbonViewEvent_MouseDownInControl = 0,
  kAudioUnitCarbonViewEvent_MouseUpInControl = 1
};
typedef SInt32 AudioUnitCarbonViewEventID;

typedef void (*AudioUnitCarbonViewEventListener)(void* inUserData, AudioUnitCarbonView inView,
                                                 const AudioUnitParameter* inParameter,
                                                 AudioUnitCarbonViewEventID inEvent, const void* inEventParam);

enum
{
  kAudioUnitCarbonViewRange = 0x0300,
  kAudioUnitCarbonViewCreateSelect = 0x0301,
  kAudioUnitCarbonViewSetEventListenerSelect = 0x0302
};

extern OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                                          ControlRef inParentControl, const Float32Point* inLocation,
                                          const Float32Point* inSize, ControlRef* outControl);
extern OSStatus AudioUnitCarbonViewSetEventListener(AudioUnitCarbonView inView,
                                                    AudioUnitCarbonViewEventListener inCallback, void* inUserData);

COMPAT_APPLE_EXTERN_C_END

#endif
