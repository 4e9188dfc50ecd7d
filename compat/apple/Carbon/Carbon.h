// Umbrella header of the classic application services: system services plus the
// window and control references that views are created in.
#ifndef COMPAT_APPLE_CARBON_H
#define COMPAT_APPLE_CARBON_H

#include <CoreServices/CoreServices.h>

COMPAT_APPLE_EXTERN_C_BEGIN

typedef struct OpaqueWindowPtr* WindowRef;
typedef WindowRef WindowPtr;
typedef struct OpaqueControlRef* ControlRef;
typedef ControlRef ControlHandle;
typedef struct OpaqueEventRef* EventRef;
typedef struct OpaqueEventHandlerRef* EventHandlerRef;
typedef struct OpaqueEventTargetRef* EventTargetRef;

COMPAT_APPLE_EXTERN_C_END

#endif
