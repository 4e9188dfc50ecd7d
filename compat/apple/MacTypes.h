// Basic scalar types, result codes and small records of the platform programming interfaces.
// Linux stand-in: same names, sizes and values as on the original LP64 platform.
#ifndef COMPAT_APPLE_MACTYPES_H
#define COMPAT_APPLE_MACTYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define COMPAT_APPLE_EXTERN_C_BEGIN                                                                                    \
  extern "C"                                                                                                           \
  {
#define COMPAT_APPLE_EXTERN_C_END }
#else
#define COMPAT_APPLE_EXTERN_C_BEGIN
#define COMPAT_APPLE_EXTERN_C_END
#endif

typedef unsigned char UInt8;
typedef signed char SInt8;
typedef unsigned short UInt16;
typedef signed short SInt16;
typedef unsigned int UInt32;
typedef signed int SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;

typedef SInt32 Fixed;
typedef long Size;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef OSType* OSTypePtr;
typedef unsigned char Boolean;
typedef UInt8 Byte;
typedef SInt8 SignedByte;
typedef char* Ptr;
typedef Ptr* Handle;
typedef long (*ProcPtr)(void);
typedef UInt16 UniChar;
typedef UInt32 UTF32Char;
typedef UInt16 UTF16Char;
typedef UInt8 UTF8Char;
typedef UInt32 UnicodeScalarValue;
typedef unsigned long ByteCount;
typedef unsigned long ItemCount;
typedef UInt32 OptionBits;
typedef SInt16 ScriptCode;
typedef SInt16 LangCode;
typedef SInt16 RegionCode;

typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str31[32];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef StringPtr* StringHandle;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;

/* Packed version record; byte order follows the machine's. */
typedef struct NumVersion
{
#if defined(__BIG_ENDIAN__)
  UInt8 majorRev;
  UInt8 minorAndBugRev;
  UInt8 stage;
  UInt8 nonRelRev;
#else
  UInt8 nonRelRev;
  UInt8 stage;
  UInt8 minorAndBugRev;
  UInt8 majorRev;
#endif
} NumVersion;

typedef union NumVersionVariant
{
  NumVersion parts;
  UInt32 whole;
} NumVersionVariant;

typedef struct Point
{
  short v;
  short h;
} Point;

typedef struct Rect
{
  short top;
  short left;
  short bottom;
  short right;
} Rect;

typedef struct Float32Point
{
  Float32 x;
  Float32 y;
} Float32Point;

enum
{
  noErr = 0
};

enum
{
  kNilOptions = 0
};

enum
{
  kInvalidID = 0
};

enum
{
  kVariableLengthArray = 1
};

enum
{
  kUnknownType = 0x3F3F3F3F /* '????' */
};

#ifndef nil
#ifdef __cplusplus
#define nil nullptr
#else
#define nil NULL
#endif
#endif

#endif
