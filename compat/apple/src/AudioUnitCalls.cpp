// Host calls on an audio unit instance: each lays out the request block for its selector and
// calls the instance's component entry, exactly as the Component Manager does.
#include <AudioUnit/AudioUnit.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <ComponentCall.h>

using compat::CallComponent;

extern "C"
{

  ComponentResult AudioUnitInitialize(AudioUnit inUnit) { return CallComponent(inUnit, kAudioUnitInitializeSelect); }

  ComponentResult AudioUnitUninitialize(AudioUnit inUnit)
  {
    return CallComponent(inUnit, kAudioUnitUninitializeSelect);
  }

  ComponentResult AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                           AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable)
  {
    return CallComponent(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement, outDataSize, outWritable);
  }

  ComponentResult AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                       AudioUnitElement inElement, void* outData, UInt32* ioDataSize)
  {
    return CallComponent(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement, outData, ioDataSize);
  }

  ComponentResult AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                       AudioUnitElement inElement, const void* inData, UInt32 inDataSize)
  {
    return CallComponent(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement, inData, inDataSize);
  }

  ComponentResult AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                               AudioUnitPropertyListenerProc inProc, void* inProcUserData)
  {
    return CallComponent(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc, inProcUserData);
  }

  ComponentResult AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                  AudioUnitPropertyListenerProc inProc)
  {
    return CallComponent(inUnit, kAudioUnitRemovePropertyListenerSelect, inID, inProc);
  }

  ComponentResult AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                              AudioUnitPropertyListenerProc inProc,
                                                              void* inProcUserData)
  {
    return CallComponent(inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc, inProcUserData);
  }

  ComponentResult AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
  {
    return CallComponent(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
  }

  ComponentResult AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData)
  {
    return CallComponent(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc, inProcUserData);
  }

  ComponentResult AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                        AudioUnitElement inElement, AudioUnitParameterValue* outValue)
  {
    return CallComponent(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement, outValue);
  }

  ComponentResult AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                                        AudioUnitElement inElement, AudioUnitParameterValue inValue,
                                        UInt32 inBufferOffsetInFrames)
  {
    return CallComponent(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement, inValue,
                         inBufferOffsetInFrames);
  }

  ComponentResult AudioUnitScheduleParameters(AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent,
                                              UInt32 inNumParamEvents)
  {
    return CallComponent(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent, inNumParamEvents);
  }

  /* audio thread: no allocation, no locks. */
  ComponentResult AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                                  const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                  AudioBufferList* ioData)
  {
    return CallComponent(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp, inOutputBusNumber, inNumberFrames,
                         ioData);
  }

  ComponentResult AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement)
  {
    return CallComponent(inUnit, kAudioUnitResetSelect, inScope, inElement);
  }

  OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                UInt32 inOffsetSampleFrame)
  {
    return CallComponent(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2, inOffsetSampleFrame);
  }

  OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength)
  {
    return CallComponent(inUnit, kMusicDeviceSysExSelect, inData, inLength);
  }

  OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument)
  {
    return CallComponent(inUnit, kMusicDevicePrepareInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument)
  {
    return CallComponent(inUnit, kMusicDeviceReleaseInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                                MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                                UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams)
  {
    return CallComponent(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID, outNoteInstanceID,
                         inOffsetSampleFrame, inParams);
  }

  OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                               NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame)
  {
    return CallComponent(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID, inOffsetSampleFrame);
  }

  OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit, WindowRef inWindow,
                                     ControlRef inParentControl, const Float32Point* inLocation,
                                     const Float32Point* inSize, ControlRef* outControl)
  {
    return CallComponent(inView, kAudioUnitCarbonViewCreateSelect, inAudioUnit, inWindow, inParentControl, inLocation,
                         inSize, outControl);
  }

  OSStatus AudioUnitCarbonViewSetEventListener(AudioUnitCarbonView inView, AudioUnitCarbonViewEventListener inCallback,
                                               void* inUserData)
  {
    return CallComponent(inView, kAudioUnitCarbonViewSetEventListenerSelect, inCallback, inUserData);
  }

}  // extern "C"
