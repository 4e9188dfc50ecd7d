// Instrument (music device) requests: MIDI events, system-exclusive data and notes.
#ifndef COMPAT_APPLE_MUSICDEVICE_H
#define COMPAT_APPLE_MUSICDEVICE_H

#include <AudioUnit/AUComponent.h>

COMPAT_APPLE_EXTERN_C_BEGIN

typedef UInt32 MusicDeviceInstrumentID;
typedef UInt32 MusicDeviceGroupID;
typedef UInt32 NoteInstanceID;
typedef AudioComponentInstance MusicDeviceComponent;

typedef struct NoteParamsControlValue
{
  AudioUnitParameterID mID;
  AudioUnitParameterValue mValue;
} NoteParamsControlValue;

typedef struct MusicDeviceNoteParams
{
  UInt32 argCount;
  Float32 mPitch;
  Float32 mVelocity;
  NoteParamsControlValue mControls[1];
} MusicDeviceNoteParams;

enum
{
  kMusicNoteEvent_UseGroupInstrument = 0xFFFFFFFF,
  kMusicNoteEvent_Unused = 0xFFFFFFFF
};

enum
{
  kMusicDeviceRange = 0x0100,
  kMusicDeviceMIDIEventSelect = 0x0101,
  kMusicDeviceSysExSelect = 0x0102,
  kMusicDevicePrepareInstrumentSelect = 0x0103,
  kMusicDeviceReleaseInstrumentSelect = 0x0104,
  kMusicDeviceStartNoteSelect = 0x0105,
  kMusicDeviceStopNoteSelect = 0x0106
};

extern OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                     UInt32 inOffsetSampleFrame);
extern OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength);
extern OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument);
extern OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument);
extern OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                                     MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                                     UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams);
extern OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                                    NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame);

COMPAT_APPLE_EXTERN_C_END

#endif
