// Run loop references, only as far as listener creation takes them.
#ifndef COMPAT_APPLE_CFRUNLOOP_H
#define COMPAT_APPLE_CFRUNLOOP_H

#include <CoreFoundation/CFBase.h>

COMPAT_APPLE_EXTERN_C_BEGIN

typedef struct __CFRunLoop* CFRunLoopRef;

CF_EXPORT const CFStringRef kCFRunLoopDefaultMode;
CF_EXPORT const CFStringRef kCFRunLoopCommonModes;
CF_EXPORT CFRunLoopRef CFRunLoopGetCurrent(void);
CF_EXPORT CFRunLoopRef CFRunLoopGetMain(void);

COMPAT_APPLE_EXTERN_C_END

#endif
