// Audio data types: stream formats, buffers, time stamps and channel layouts.
#ifndef COMPAT_APPLE_COREAUDIOTYPES_H
#define COMPAT_APPLE_COREAUDIOTYPES_H

#include <MacTypes.h>

COMPAT_APPLE_EXTERN_C_BEGIN

typedef Float32 AudioSampleType;
typedef Float32 AudioUnitSampleType;

typedef struct AudioValueRange
{
  Float64 mMinimum;
  Float64 mMaximum;
} AudioValueRange;

typedef struct AudioValueTranslation
{
  void* mInputData;
  UInt32 mInputDataSize;
  void* mOutputData;
  UInt32 mOutputDataSize;
} AudioValueTranslation;

/* One buffer of (possibly interleaved) samples. */
typedef struct AudioBuffer
{
  UInt32 mNumberChannels;
  UInt32 mDataByteSize;
  void* mData;
} AudioBuffer;

/* A variable-length list: mBuffers holds mNumberBuffers entries. */
typedef struct AudioBufferList
{
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[1];
} AudioBufferList;

typedef struct AudioStreamBasicDescription
{
  Float64 mSampleRate;
  UInt32 mFormatID;
  UInt32 mFormatFlags;
  UInt32 mBytesPerPacket;
  UInt32 mFramesPerPacket;
  UInt32 mBytesPerFrame;
  UInt32 mChannelsPerFrame;
  UInt32 mBitsPerChannel;
  UInt32 mReserved;
} AudioStreamBasicDescription;

enum
{
  kAudioStreamAnyRate = 0
};

enum
{
  kAudioFormatLinearPCM = 0x6C70636D,    /* 'lpcm' */
  kAudioFormatAC3 = 0x61632D33,          /* 'ac-3' */
  kAudioFormatAppleIMA4 = 0x696D6134,    /* 'ima4' */
  kAudioFormatMPEG4AAC = 0x61616320,     /* 'aac ' */
  kAudioFormatMIDIStream = 0x6D696469,   /* 'midi' */
  kAudioFormatAppleLossless = 0x616C6163 /* 'alac' */
};

enum
{
  kAudioFormatFlagIsFloat = (1U << 0),
  kAudioFormatFlagIsBigEndian = (1U << 1),
  kAudioFormatFlagIsSignedInteger = (1U << 2),
  kAudioFormatFlagIsPacked = (1U << 3),
  kAudioFormatFlagIsAlignedHigh = (1U << 4),
  kAudioFormatFlagIsNonInterleaved = (1U << 5),
  kAudioFormatFlagIsNonMixable = (1U << 6),
  kAudioFormatFlagsAreAllClear = (1U << 31),

  kLinearPCMFormatFlagIsFloat = kAudioFormatFlagIsFloat,
  kLinearPCMFormatFlagIsBigEndian = kAudioFormatFlagIsBigEndian,
  kLinearPCMFormatFlagIsSignedInteger = kAudioFormatFlagIsSignedInteger,
  kLinearPCMFormatFlagIsPacked = kAudioFormatFlagIsPacked,
  kLinearPCMFormatFlagIsAlignedHigh = kAudioFormatFlagIsAlignedHigh,
  kLinearPCMFormatFlagIsNonInterleaved = kAudioFormatFlagIsNonInterleaved,
  kLinearPCMFormatFlagIsNonMixable = kAudioFormatFlagIsNonMixable,
  kLinearPCMFormatFlagsSampleFractionShift = 7,
  kLinearPCMFormatFlagsSampleFractionMask = (0x3F << kLinearPCMFormatFlagsSampleFractionShift),
  kLinearPCMFormatFlagsAreAllClear = kAudioFormatFlagsAreAllClear
};

enum
{
#if defined(__BIG_ENDIAN__)
  kAudioFormatFlagsNativeEndian = kAudioFormatFlagIsBigEndian,
#else
  kAudioFormatFlagsNativeEndian = 0,
#endif
  kAudioFormatFlagsNativeFloatPacked =
    kAudioFormatFlagIsFloat | kAudioFormatFlagsNativeEndian | kAudioFormatFlagIsPacked
};

/* Time codes. */
typedef struct SMPTETime
{
  SInt16 mSubframes;
  SInt16 mSubframeDivisor;
  UInt32 mCounter;
  UInt32 mType;
  UInt32 mFlags;
  SInt16 mHours;
  SInt16 mMinutes;
  SInt16 mSeconds;
  SInt16 mFrames;
} SMPTETime;

enum
{
  kSMPTETimeType24 = 0,
  kSMPTETimeType25 = 1,
  kSMPTETimeType30Drop = 2,
  kSMPTETimeType30 = 3,
  kSMPTETimeType2997 = 4,
  kSMPTETimeType2997Drop = 5,
  kSMPTETimeType60 = 6,
  kSMPTETimeType5994 = 7
};

enum
{
  kSMPTETimeValid = (1U << 0),
  kSMPTETimeRunning = (1U << 1)
};

typedef struct AudioTimeStamp
{
  Float64 mSampleTime;
  UInt64 mHostTime;
  Float64 mRateScalar;
  UInt64 mWordClockTime;
  SMPTETime mSMPTETime;
  UInt32 mFlags;
  UInt32 mReserved;
} AudioTimeStamp;

enum
{
  kAudioTimeStampSampleTimeValid = (1U << 0),
  kAudioTimeStampHostTimeValid = (1U << 1),
  kAudioTimeStampRateScalarValid = (1U << 2),
  kAudioTimeStampWordClockTimeValid = (1U << 3),
  kAudioTimeStampSMPTETimeValid = (1U << 4),
  kAudioTimeStampSampleHostTimeValid = (kAudioTimeStampSampleTimeValid | kAudioTimeStampHostTimeValid)
};

/* Channel layouts. */
typedef UInt32 AudioChannelLabel;
typedef UInt32 AudioChannelLayoutTag;
typedef UInt32 AudioChannelBitmap;
typedef UInt32 AudioChannelFlags;

enum
{
  kAudioChannelLabel_Unknown = 0xFFFFFFFF,
  kAudioChannelLabel_Unused = 0,
  kAudioChannelLabel_UseCoordinates = 100,
  kAudioChannelLabel_Left = 1,
  kAudioChannelLabel_Right = 2,
  kAudioChannelLabel_Center = 3,
  kAudioChannelLabel_LFEScreen = 4,
  kAudioChannelLabel_LeftSurround = 5,
  kAudioChannelLabel_RightSurround = 6,
  kAudioChannelLabel_Mono = 42
};

enum
{
  kAudioChannelBit_Left = (1U << 0),
  kAudioChannelBit_Right = (1U << 1),
  kAudioChannelBit_Center = (1U << 2),
  kAudioChannelBit_LFEScreen = (1U << 3)
};

/* A layout tag holds its channel count in the low 16 bits. */
enum
{
  kAudioChannelLayoutTag_UseChannelDescriptions = (0U << 16) | 0,
  kAudioChannelLayoutTag_UseChannelBitmap = (1U << 16) | 0,
  kAudioChannelLayoutTag_Mono = (100U << 16) | 1,
  kAudioChannelLayoutTag_Stereo = (101U << 16) | 2,
  kAudioChannelLayoutTag_StereoHeadphones = (102U << 16) | 2,
  kAudioChannelLayoutTag_MatrixStereo = (103U << 16) | 2,
  kAudioChannelLayoutTag_MidSide = (104U << 16) | 2,
  kAudioChannelLayoutTag_XY = (105U << 16) | 2,
  kAudioChannelLayoutTag_Binaural = (106U << 16) | 2,
  kAudioChannelLayoutTag_Ambisonic_B_Format = (107U << 16) | 4,
  kAudioChannelLayoutTag_Quadraphonic = (108U << 16) | 4,
  kAudioChannelLayoutTag_Pentagonal = (109U << 16) | 5,
  kAudioChannelLayoutTag_Hexagonal = (110U << 16) | 6,
  kAudioChannelLayoutTag_Octagonal = (111U << 16) | 8,
  kAudioChannelLayoutTag_Cube = (112U << 16) | 8,
  kAudioChannelLayoutTag_DiscreteInOrder = (147U << 16) | 0,
  kAudioChannelLayoutTag_Unknown = 0xFFFF0000
};

#define AudioChannelLayoutTag_GetNumberOfChannels(layoutTag) ((UInt32)((layoutTag)&0x0000FFFF))

typedef struct AudioChannelDescription
{
  AudioChannelLabel mChannelLabel;
  AudioChannelFlags mChannelFlags;
  Float32 mCoordinates[3];
} AudioChannelDescription;

typedef struct AudioChannelLayout
{
  AudioChannelLayoutTag mChannelLayoutTag;
  AudioChannelBitmap mChannelBitmap;
  UInt32 mNumberChannelDescriptions;
  AudioChannelDescription mChannelDescriptions[1];
} AudioChannelLayout;

COMPAT_APPLE_EXTERN_C_END

#endif
