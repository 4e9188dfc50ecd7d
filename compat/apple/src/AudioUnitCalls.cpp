// Host calls on an audio unit instance. On an audio component instance each asks the
// instance's Lookup for its selector's method and calls it through the method's exact
// prototype, as the original platform does (never through the variadic method type: a
// float would be promoted, and some targets pass variadic arguments on the stack). On a
// Component Manager instance each lays out the request block and calls the entry.
#include <AudioUnit/AudioUnit.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <ComponentCall.h>

#include "ComponentRecords.h"

namespace
{
typedef OSStatus (*MusicDeviceMIDIEventProc)(void* self, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                             UInt32 inOffsetSampleFrame);
typedef OSStatus (*MusicDeviceSysExProc)(void* self, const UInt8* inData, UInt32 inLength);
typedef OSStatus (*MusicDeviceInstrumentProc)(void* self, MusicDeviceInstrumentID inInstrument);
typedef OSStatus (*MusicDeviceStartNoteProc)(void* self, MusicDeviceInstrumentID inInstrument,
                                             MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                                             UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams);
typedef OSStatus (*MusicDeviceStopNoteProc)(void* self, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                                            UInt32 inOffsetSampleFrame);

/* audio thread (for renders): no allocation, no locks. */
template <class Proc, class... Args>
OSStatus CallComponent(AudioUnit unit, SInt16 selector, Args... args)
{
  if (AudioComponentPlugInInterface* plugIn = compat::PlugInOf(unit))
  {
    const AudioComponentMethod method = plugIn->Lookup(selector);
    if (!method) return badComponentSelector;
    return reinterpret_cast<Proc>(method)(plugIn, args...);
  }
  return compat::CallComponent(reinterpret_cast<ComponentInstance>(unit), selector, args...);
}
}  // namespace

extern "C"
{

  OSStatus AudioUnitInitialize(AudioUnit inUnit)
  {
    return CallComponent<AudioUnitInitializeProc>(inUnit, kAudioUnitInitializeSelect);
  }

  OSStatus AudioUnitUninitialize(AudioUnit inUnit)
  {
    return CallComponent<AudioUnitUninitializeProc>(inUnit, kAudioUnitUninitializeSelect);
  }

  OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                    AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable)
  {
    return CallComponent<AudioUnitGetPropertyInfoProc>(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope,
                                                       inElement, outDataSize, outWritable);
  }

  OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                AudioUnitElement inElement, void* outData, UInt32* ioDataSize)
  {
    return CallComponent<AudioUnitGetPropertyProc>(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement,
                                                   outData, ioDataSize);
  }

  OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                AudioUnitElement inElement, const void* inData, UInt32 inDataSize)
  {
    return CallComponent<AudioUnitSetPropertyProc>(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement,
                                                   inData, inDataSize);
  }

  OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                        AudioUnitPropertyListenerProc inProc, void* inProcUserData)
  {
    return CallComponent<AudioUnitAddPropertyListenerProc>(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc,
                                                           inProcUserData);
  }

  OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                           AudioUnitPropertyListenerProc inProc)
  {
    return CallComponent<AudioUnitRemovePropertyListenerProc>(inUnit, kAudioUnitRemovePropertyListenerSelect, inID,
                                                              inProc);
  }

  OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                       AudioUnitPropertyListenerProc inProc, void* inProcUserData)
  {
    return CallComponent<AudioUnitRemovePropertyListenerWithUserDataProc>(
      inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc, inProcUserData);
  }

  OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
  {
    return CallComponent<AudioUnitAddRenderNotifyProc>(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
  }

  OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
  {
    return CallComponent<AudioUnitRemoveRenderNotifyProc>(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc,
                                                          inProcUserData);
  }

  OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                 AudioUnitElement inElement, AudioUnitParameterValue* outValue)
  {
    return CallComponent<AudioUnitGetParameterProc>(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement,
                                                    outValue);
  }

  OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                 AudioUnitElement inElement, AudioUnitParameterValue inValue,
                                 UInt32 inBufferOffsetInFrames)
  {
    return CallComponent<AudioUnitSetParameterProc>(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement,
                                                    inValue, inBufferOffsetInFrames);
  }

  OSStatus AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                       UInt32 inNumParamEvents)
  {
    return CallComponent<AudioUnitScheduleParametersProc>(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent,
                                                          inNumParamEvents);
  }

  /* audio thread: no allocation, no locks. */
  OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                           const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                           AudioBufferList* ioData)
  {
    return CallComponent<AudioUnitRenderProc>(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp,
                                              inOutputBusNumber, inNumberFrames, ioData);
  }

  OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement)
  {
    return CallComponent<AudioUnitResetProc>(inUnit, kAudioUnitResetSelect, inScope, inElement);
  }

  OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                UInt32 inOffsetSampleFrame)
  {
    return CallComponent<MusicDeviceMIDIEventProc>(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2,
                                                   inOffsetSampleFrame);
  }

  OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength)
  {
    return CallComponent<MusicDeviceSysExProc>(inUnit, kMusicDeviceSysExSelect, inData, inLength);
  }

  OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument)
  {
    return CallComponent<MusicDeviceInstrumentProc>(inUnit, kMusicDevicePrepareInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument)
  {
    return CallComponent<MusicDeviceInstrumentProc>(inUnit, kMusicDeviceReleaseInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                                MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                                UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams)
  {
    return CallComponent<MusicDeviceStartNoteProc>(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID,
                                                   outNoteInstanceID, inOffsetSampleFrame, inParams);
  }

  OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                               NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame)
  {
    return CallComponent<MusicDeviceStopNoteProc>(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID,
                                                  inOffsetSampleFrame);
  }

  OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                                     ControlRef inParentControl, const Float32Point* inLocation,
                                     const Float32Point* inSize, ControlRef* outControl)
  {
    return compat::CallComponent(inView, kAudioUnitCarbonViewCreateSelect, inAudioUnit, inWindow, inParentControl,
                                 inLocation, inSize, outControl);
  }

  OSStatus AudioUnitCarbonViewSetEventListener(AudioUnitCarbonView inView, AudioUnitCarbonViewEventListener inCallback,
                                               void* inUserData)
  {
    return compat::CallComponent(inView, kAudioUnitCarbonViewSetEventListenerSelect, inCallback, inUserData);
  }

}  // extern "C"
