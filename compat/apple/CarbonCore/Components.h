// Component Manager: component descriptions, the request parameter block, entries,
// instances and their storage.
#ifndef COMPAT_APPLE_COMPONENTS_H
#define COMPAT_APPLE_COMPONENTS_H

#include <CarbonCore/MacErrors.h>
#include <MacTypes.h>

COMPAT_APPLE_EXTERN_C_BEGIN

enum
{
  kAppleManufacturer = 0x6170706C,         /* 'appl' */
  kComponentResourceType = 0x74686E67,     /* 'thng' */
  kComponentAliasResourceType = 0x74686761 /* 'thga' */
};

enum
{
  kAnyComponentType = 0,
  kAnyComponentSubType = 0,
  kAnyComponentManufacturer = 0,
  kAnyComponentFlagsMask = 0
};

enum
{
  cmpThreadSafe = 1L << 28,
  cmpIsMissing = 1L << 29,
  cmpWantsRegisterMessage = (long)(1UL << 31)
};

/* Request selectors every component answers. */
enum
{
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7,
  kComponentGetMPWorkFunctionSelect = -8,
  kComponentExecuteWiredActionSelect = -9,
  kComponentGetPublicResourceSelect = -10
};

/* RegisterComponent flags. */
enum
{
  registerComponentGlobal = 1,
  registerComponentNoDuplicates = 2,
  registerComponentAfterExisting = 4,
  registerComponentAliasesOnly = 8
};

typedef struct ComponentDescription
{
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
} ComponentDescription;

/* The request block handed to a component entry. Each argument takes one long-sized slot.
   On LP64 params[0] holds the instance and the arguments follow in call order; on 32-bit
   targets the arguments come in reverse order followed by the instance. */
typedef struct ComponentParameters
{
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
#if __LP64__
  UInt32 padding;
#endif
  long params[kVariableLengthArray];
} ComponentParameters;

typedef struct ComponentRecord
{
  long data[1];
} ComponentRecord;
typedef ComponentRecord* Component;

typedef struct ComponentInstanceRecord
{
  long data[1];
} ComponentInstanceRecord;
typedef ComponentInstanceRecord* ComponentInstance;

#if __LP64__
typedef SInt32 ComponentResult;
#else
typedef long ComponentResult;
#endif

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp, Handle componentStorage);
typedef OSErr (*GetMissingComponentResourceProcPtr)(Component c, OSType resType, SInt16 resID, void* refCon,
                                                    Handle* resource);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;
typedef ComponentRoutineProcPtr ComponentFunctionUPP;

static inline ComponentRoutineUPP NewComponentRoutineUPP(ComponentRoutineProcPtr userRoutine) { return userRoutine; }
static inline void DisposeComponentRoutineUPP(ComponentRoutineUPP userUPP) { (void)userUPP; }

/* Registration and lookup. componentName is a handle to a length-prefixed (Pascal) string or NULL. */
extern Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint, SInt16 global,
                                   Handle componentName, Handle componentInfo, Handle componentIcon);
extern OSErr UnregisterComponent(Component aComponent);
extern Component FindNextComponent(Component aComponent, ComponentDescription* looking);
extern long CountComponents(ComponentDescription* looking);
/* Accepts a Component or, as the original does, a ComponentInstance cast to Component. */
extern OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                              Handle componentInfo, Handle componentIcon);
extern long GetComponentListModSeed(void);

/* Instances. */
extern OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
extern ComponentInstance OpenComponent(Component aComponent);
extern OSErr CloseComponent(ComponentInstance aComponentInstance);
extern OSErr GetComponentInstanceError(ComponentInstance aComponentInstance);
extern void SetComponentInstanceError(ComponentInstance aComponentInstance, OSErr theError);
extern Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);
extern void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage);
extern long CountComponentInstances(Component aComponent);
extern long GetComponentRefcon(Component aComponent);
extern void SetComponentRefcon(Component aComponent, long theRefcon);

/* Requests every component answers. */
extern long ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber);
extern long GetComponentVersion(ComponentInstance ci);

/* Hands a request block on to a function with the given storage. */
extern ComponentResult CallComponentFunctionWithStorage(Handle storage, ComponentParameters* params,
                                                        ComponentFunctionUPP func);

COMPAT_APPLE_EXTERN_C_END

#endif
