// Audio components: how the system finds an audio unit from its bundle's Info.plist, creates
// instances through the bundle's factory function and reaches the instance's methods.
// An audio component and its instances are their own opaque types: none of them is a
// Component Manager component or instance, and the Component Manager's calls refuse them.
#ifndef COMPAT_APPLE_AUDIOCOMPONENT_H
#define COMPAT_APPLE_AUDIOCOMPONENT_H

#include <CoreFoundation/CFString.h>
#include <MacTypes.h>

COMPAT_APPLE_EXTERN_C_BEGIN

/* Same five fields as the Component Manager's description, but a type of its own. */
typedef struct AudioComponentDescription
{
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
} AudioComponentDescription;

typedef struct OpaqueAudioComponent* AudioComponent;
typedef struct OpaqueAudioComponentInstance* AudioComponentInstance;

/* A method an instance answers for a selector. Every method has an exact, non-variadic
   prototype of its own; callers cast the looked-up pointer back to it before calling. */
typedef OSStatus (*AudioComponentMethod)(void* self, ...);

/* What a component's factory returns: the instance's record, which starts with this. */
typedef struct AudioComponentPlugInInterface
{
  OSStatus (*Open)(void* self, AudioComponentInstance mInstance);
  OSStatus (*Close)(void* self);
  AudioComponentMethod (*Lookup)(SInt16 selector);
  void* reserved;
} AudioComponentPlugInInterface;

/* The function an Info.plist's factoryFunction names. */
typedef AudioComponentPlugInInterface* (*AudioComponentFactoryFunction)(const AudioComponentDescription* inDesc);

enum
{
  kAudioComponentFlag_Unsearchable = 1,
  kAudioComponentFlag_SandboxSafe = 2
};

/* Search: zero fields of the description match anything. */
extern AudioComponent AudioComponentFindNext(AudioComponent inComponent, const AudioComponentDescription* inDesc);
extern UInt32 AudioComponentCount(const AudioComponentDescription* inDesc);
extern OSStatus AudioComponentCopyName(AudioComponent inComponent, CFStringRef* outName);
extern OSStatus AudioComponentGetDescription(AudioComponent inComponent, AudioComponentDescription* outDesc);
extern OSStatus AudioComponentGetVersion(AudioComponent inComponent, UInt32* outVersion);

/* Instances. */
extern OSStatus AudioComponentInstanceNew(AudioComponent inComponent, AudioComponentInstance* outInstance);
extern OSStatus AudioComponentInstanceDispose(AudioComponentInstance inInstance);
extern AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance inInstance);
extern Boolean AudioComponentInstanceCanDo(AudioComponentInstance inInstance, SInt16 inSelectorID);

/* Registers a factory in this process only, as if a bundle had declared it. */
extern AudioComponent AudioComponentRegister(const AudioComponentDescription* inDesc, CFStringRef inName,
                                             UInt32 inVersion, AudioComponentFactoryFunction inFactory);

COMPAT_APPLE_EXTERN_C_END

#endif
