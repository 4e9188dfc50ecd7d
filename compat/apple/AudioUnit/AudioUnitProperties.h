// Audio unit properties: scopes, property IDs and the records they carry.
#ifndef COMPAT_APPLE_AUDIOUNITPROPERTIES_H
#define COMPAT_APPLE_AUDIOUNITPROPERTIES_H

#include <AudioUnit/AUComponent.h>
#include <CoreAudio/CoreAudioTypes.h>
#include <CoreFoundation/CoreFoundation.h>

COMPAT_APPLE_EXTERN_C_BEGIN

enum
{
  kAudioUnitScope_Global = 0,
  kAudioUnitScope_Input = 1,
  kAudioUnitScope_Output = 2,
  kAudioUnitScope_Group = 3,
  kAudioUnitScope_Part = 4,
  kAudioUnitScope_Note = 5,
  kAudioUnitScope_Layer = 6,
  kAudioUnitScope_LayerItem = 7
};

enum
{
  kAudioUnitProperty_ClassInfo = 0,
  kAudioUnitProperty_MakeConnection = 1,
  kAudioUnitProperty_SampleRate = 2,
  kAudioUnitProperty_ParameterList = 3,
  kAudioUnitProperty_ParameterInfo = 4,
  kAudioUnitProperty_FastDispatch = 5,
  kAudioUnitProperty_CPULoad = 6,
  kAudioUnitProperty_SetInputCallback = 7,
  kAudioUnitProperty_StreamFormat = 8,
  kAudioUnitProperty_SRCAlgorithm = 9,
  kAudioUnitProperty_ReverbRoomType = 10,
  kAudioUnitProperty_ElementCount = 11,
  kAudioUnitProperty_Latency = 12,
  kAudioUnitProperty_SupportedNumChannels = 13,
  kAudioUnitProperty_MaximumFramesPerSlice = 14,
  kAudioUnitProperty_SetExternalBuffer = 15,
  kAudioUnitProperty_ParameterValueStrings = 16,
  kAudioUnitProperty_MIDIControlMapping = 17,
  kAudioUnitProperty_GetUIComponentList = 18,
  kAudioUnitProperty_AudioChannelLayout = 19,
  kAudioUnitProperty_TailTime = 20,
  kAudioUnitProperty_BypassEffect = 21,
  kAudioUnitProperty_LastRenderError = 22,
  kAudioUnitProperty_SetRenderCallback = 23,
  kAudioUnitProperty_FactoryPresets = 24,
  kAudioUnitProperty_ContextName = 25,
  kAudioUnitProperty_RenderQuality = 26,
  kAudioUnitProperty_HostCallbacks = 27,
  kAudioUnitProperty_CurrentPreset = 28,
  kAudioUnitProperty_InPlaceProcessing = 29,
  kAudioUnitProperty_ElementName = 30,
  kAudioUnitProperty_CocoaUI = 31,
  kAudioUnitProperty_SupportedChannelLayoutTags = 32,
  kAudioUnitProperty_ParameterStringFromValue = 33,
  kAudioUnitProperty_ParameterValueName = kAudioUnitProperty_ParameterStringFromValue,
  kAudioUnitProperty_ParameterIDName = 34,
  kAudioUnitProperty_ParameterClumpName = 35,
  kAudioUnitProperty_PresentPreset = 36,
  kAudioUnitProperty_OfflineRender = 37,
  kAudioUnitProperty_ParameterValueFromString = 38,
  kAudioUnitProperty_IconLocation = 39,
  kAudioUnitProperty_PresentationLatency = 40,
  kAudioUnitProperty_DependentParameters = 45,
  kAudioUnitProperty_AUHostIdentifier = 46,
  kAudioUnitProperty_MIDIOutputCallbackInfo = 47,
  kAudioUnitProperty_MIDIOutputCallback = 48,
  kAudioUnitProperty_InputSamplesInOutput = 49,
  kAudioUnitProperty_ClassInfoFromDocument = 50
};

enum
{
  kMusicDeviceProperty_InstrumentCount = 1000,
  kMusicDeviceProperty_InstrumentName = 1001,
  kMusicDeviceProperty_InstrumentNumber = 1004,
  kMusicDeviceProperty_MIDIXMLNames = 1006,
  kMusicDeviceProperty_BankName = 1007,
  kMusicDeviceProperty_SoundBankData = 1008
};

/* Keys of the class-info (saved state) dictionary. */
#define kAUPresetVersionKey "version"
#define kAUPresetTypeKey "type"
#define kAUPresetSubtypeKey "subtype"
#define kAUPresetManufacturerKey "manufacturer"
#define kAUPresetDataKey "data"
#define kAUPresetNameKey "name"
#define kAUPresetRenderQualityKey "render-quality"
#define kAUPresetCPULoadKey "cpu-load"
#define kAUPresetElementNameKey "element-name"
#define kAUPresetExternalFileRefs "file-references"
#define kAUPresetPartKey "part"
#define kAUPresetVSTDataKey "vstdata"
#define kAUPresetVSTPresetKey "vstpreset"
#define kAUPresetMASDataKey "masdata"

enum
{
  kRenderQuality_Max = 0x7F,
  kRenderQuality_High = 0x60,
  kRenderQuality_Medium = 0x40,
  kRenderQuality_Low = 0x20,
  kRenderQuality_Min = 0
};

/* MakeConnection */
typedef struct AudioUnitConnection
{
  AudioUnit sourceAudioUnit;
  UInt32 sourceOutputNumber;
  UInt32 destInputNumber;
} AudioUnitConnection;

/* SetRenderCallback */
typedef struct AURenderCallbackStruct
{
  AURenderCallback inputProc;
  void* inputProcRefCon;
} AURenderCallbackStruct;

/* SupportedNumChannels; -1 means any count, other negative values tie counts together. */
typedef struct AUChannelInfo
{
  SInt16 inChannels;
  SInt16 outChannels;
} AUChannelInfo;

/* SetExternalBuffer */
typedef struct AudioUnitExternalBuffer
{
  Byte* buffer;
  UInt32 size;
} AudioUnitExternalBuffer;

/* FactoryPresets elements, CurrentPreset, PresentPreset */
typedef struct AUPreset
{
  SInt32 presetNumber;
  CFStringRef presetName;
} AUPreset;

/* HostCallbacks */
typedef OSStatus (*HostCallback_GetBeatAndTempo)(void* inHostUserData, Float64* outCurrentBeat,
                                                 Float64* outCurrentTempo);
typedef OSStatus (*HostCallback_GetMusicalTimeLocation)(void* inHostUserData, UInt32* outDeltaSampleOffsetToNextBeat,
                                                        Float32* outTimeSig_Numerator, UInt32* outTimeSig_Denominator,
                                                        Float64* outCurrentMeasureDownBeat);
typedef OSStatus (*HostCallback_GetTransportState)(void* inHostUserData, Boolean* outIsPlaying,
                                                   Boolean* outTransportStateChanged,
                                                   Float64* outCurrentSampleInTimeLine, Boolean* outIsCycling,
                                                   Float64* outCycleStartBeat, Float64* outCycleEndBeat);

typedef struct HostCallbackInfo
{
  void* hostUserData;
  HostCallback_GetBeatAndTempo beatAndTempoProc;
  HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
  HostCallback_GetTransportState transportStateProc;
} HostCallbackInfo;

/* CocoaUI: the bundle holding the view factory and the factory's class names. */
typedef struct AudioUnitCocoaViewInfo
{
  CFURLRef mCocoaAUViewBundleLocation;
  CFStringRef mCocoaAUViewClass[1];
} AudioUnitCocoaViewInfo;

/* AUHostIdentifier: the version bytes are in this order on every machine. */
typedef struct AUNumVersion
{
  UInt8 nonRelRev;
  UInt8 stage;
  UInt8 minorAndBugRev;
  UInt8 majorRev;
} AUNumVersion;

typedef struct AUHostIdentifier
{
  CFStringRef hostName;
  AUNumVersion hostVersion;
} AUHostIdentifier;

/* IconLocation and friends use CFURLRef directly. */

/* ParameterInfo */
typedef UInt32 AudioUnitParameterUnit;
enum
{
  kAudioUnitParameterUnit_Generic = 0,
  kAudioUnitParameterUnit_Indexed = 1,
  kAudioUnitParameterUnit_Boolean = 2,
  kAudioUnitParameterUnit_Percent = 3,
  kAudioUnitParameterUnit_Seconds = 4,
  kAudioUnitParameterUnit_SampleFrames = 5,
  kAudioUnitParameterUnit_Phase = 6,
  kAudioUnitParameterUnit_Rate = 7,
  kAudioUnitParameterUnit_Hertz = 8,
  kAudioUnitParameterUnit_Cents = 9,
  kAudioUnitParameterUnit_RelativeSemiTones = 10,
  kAudioUnitParameterUnit_MIDINoteNumber = 11,
  kAudioUnitParameterUnit_MIDIController = 12,
  kAudioUnitParameterUnit_Decibels = 13,
  kAudioUnitParameterUnit_LinearGain = 14,
  kAudioUnitParameterUnit_Degrees = 15,
  kAudioUnitParameterUnit_EqualPowerCrossfade = 16,
  kAudioUnitParameterUnit_MixerFaderCurve1 = 17,
  kAudioUnitParameterUnit_Pan = 18,
  kAudioUnitParameterUnit_Meters = 19,
  kAudioUnitParameterUnit_AbsoluteCents = 20,
  kAudioUnitParameterUnit_Octaves = 21,
  kAudioUnitParameterUnit_BPM = 22,
  kAudioUnitParameterUnit_Beats = 23,
  kAudioUnitParameterUnit_Milliseconds = 24,
  kAudioUnitParameterUnit_Ratio = 25,
  kAudioUnitParameterUnit_CustomUnit = 26
};

typedef UInt32 AudioUnitParameterOptions;
enum
{
  kAudioUnitParameterFlag_CFNameRelease = (1UL << 4),
  kAudioUnitParameterFlag_OmitFromPresets = (1UL << 13),
  kAudioUnitParameterFlag_PlotHistory = (1UL << 14),
  kAudioUnitParameterFlag_MeterReadOnly = (1UL << 15),
  kAudioUnitParameterFlag_DisplayMask = (7UL << 16) | (1UL << 22),
  kAudioUnitParameterFlag_DisplaySquareRoot = (1UL << 16),
  kAudioUnitParameterFlag_DisplaySquared = (2UL << 16),
  kAudioUnitParameterFlag_DisplayCubed = (3UL << 16),
  kAudioUnitParameterFlag_DisplayCubeRoot = (4UL << 16),
  kAudioUnitParameterFlag_DisplayExponential = (5UL << 16),
  kAudioUnitParameterFlag_HasClump = (1UL << 20),
  kAudioUnitParameterFlag_ValuesHaveStrings = (1UL << 21),
  kAudioUnitParameterFlag_DisplayLogarithmic = (1UL << 22),
  kAudioUnitParameterFlag_IsHighResolution = (1UL << 23),
  kAudioUnitParameterFlag_NonRealTime = (1UL << 24),
  kAudioUnitParameterFlag_CanRamp = (1UL << 25),
  kAudioUnitParameterFlag_ExpertMode = (1UL << 26),
  kAudioUnitParameterFlag_HasCFNameString = (1UL << 27),
  kAudioUnitParameterFlag_IsGlobalMeta = (1UL << 28),
  kAudioUnitParameterFlag_IsElementMeta = (1UL << 29),
  kAudioUnitParameterFlag_IsReadable = (1UL << 30),
  kAudioUnitParameterFlag_IsWritable = (1UL << 31)
};

typedef struct AudioUnitParameterInfo
{
  char name[52];
  CFStringRef unitName;
  UInt32 clumpID;
  CFStringRef cfNameString;
  AudioUnitParameterUnit unit;
  AudioUnitParameterValue minValue;
  AudioUnitParameterValue maxValue;
  AudioUnitParameterValue defaultValue;
  AudioUnitParameterOptions flags;
} AudioUnitParameterInfo;

enum
{
  kAudioUnitClumpID_System = 0
};

/* ParameterStringFromValue */
typedef struct AudioUnitParameterStringFromValue
{
  AudioUnitParameterID inParamID;
  const AudioUnitParameterValue* inValue;
  CFStringRef outString;
} AudioUnitParameterStringFromValue;
typedef AudioUnitParameterStringFromValue AudioUnitParameterValueName;

/* ParameterIDName and ParameterClumpName */
enum
{
  kAudioUnitParameterName_Full = -1
};

typedef struct AudioUnitParameterNameInfo
{
  AudioUnitParameterID inID;
  SInt32 inDesiredLength;
  CFStringRef outName;
} AudioUnitParameterNameInfo;
typedef AudioUnitParameterNameInfo AudioUnitParameterIDName;

/* ParameterValueFromString */
typedef struct AudioUnitParameterValueFromString
{
  AudioUnitParameterID inParamID;
  CFStringRef inString;
  AudioUnitParameterValue outValue;
} AudioUnitParameterValueFromString;

/* DependentParameters */
typedef struct AUDependentParameter
{
  AudioUnitScope mScope;
  AudioUnitParameterID mParameterID;
} AUDependentParameter;

COMPAT_APPLE_EXTERN_C_END

#endif
