// Linux-only controls of the stand-in platform: what the original platform sets up from installed bundles,
// the system and the host's run loop, made explicit for hosts and tests on Linux.
// Never include this from code that must also build on the original platform.
#ifndef COMPAT_APPLE_COMPATHOOKS_H
#define COMPAT_APPLE_COMPATHOOKS_H

#include <AudioToolbox/AudioUnitUtilities.h>
#include <CoreServices/CoreServices.h>

COMPAT_APPLE_EXTERN_C_BEGIN

/* Registers an audio unit entry under its description, as installing its bundle does on the original platform.
   name may be NULL. Equivalent to RegisterComponent with a Pascal-string handle. */
extern Component compat_RegisterAudioUnit(ComponentRoutineProcPtr entry, OSType type, OSType subType,
                                          OSType manufacturer, const char* name);

/* Adds a folder to those searched for *.component bundles, as installing into the system's
   components folders does (the user's and the machine's are searched too). Each bundle's
   Contents/Info.plist declares its audio components; the next search reads the folder. */
extern void compat_AddAudioComponentFolder(const char* folder);

/* Sends a prepared request block to an instance's entry with the instance's storage.
   Returns badComponentInstance for an instance that is not open. */
extern ComponentResult compat_CallComponent(ComponentInstance ci, ComponentParameters* params);

/* Observers of every AUEventListenerNotify / AUParameterListenerNotify, called on the notifying
   thread. The same (sink, userData) pair is installed once. */
typedef void (*compat_AUEventSink)(void* userData, void* sendingObject, const AudioUnitEvent* event);
extern void compat_AddAUEventSink(compat_AUEventSink sink, void* userData);
extern void compat_RemoveAUEventSink(compat_AUEventSink sink, void* userData);

/* Bundles. A registered bundle is found by CFBundleGetBundleWithIdentifier; bundlePath is its
   folder, executablePath and resourcesPath may be NULL (then the executable is unknown and
   resources are looked up in bundlePath). Registering an identifier again replaces its paths. */
extern Boolean compat_RegisterBundle(const char* identifier, const char* bundlePath, const char* executablePath,
                                     const char* resourcesPath);
extern void compat_UnregisterBundle(const char* identifier);
/* The host application's bundle (CFBundleGetMainBundle). By default it has no identifier and
   lives in the running program's folder. NULL arguments keep the current value, except that a
   NULL identifier clears it. */
extern void compat_SetMainBundle(const char* identifier, const char* bundlePath, const char* executablePath);

/* The system version Gestalt reports, in BCD digits (0x1068 = 10.6.8, the default). */
extern void compat_SetGestaltSystemVersion(SInt32 bcdVersion);

/* Number of object-library objects alive now (constants excluded): lets tests find leaks. */
extern CFIndex compat_CFLiveObjectCount(void);

COMPAT_APPLE_EXTERN_C_END

#endif
