// Relocatable blocks (handles) and plain blocks, as far as component names and storage use them.
#ifndef COMPAT_APPLE_MACMEMORY_H
#define COMPAT_APPLE_MACMEMORY_H

#include <CarbonCore/MacErrors.h>
#include <MacTypes.h>

COMPAT_APPLE_EXTERN_C_BEGIN

extern Handle NewHandle(Size byteCount);
extern Handle NewHandleClear(Size byteCount);
extern void DisposeHandle(Handle h);
extern Size GetHandleSize(Handle h);
extern void SetHandleSize(Handle h, Size newSize);
extern OSErr MemError(void);
extern void HLock(Handle h);
extern void HUnlock(Handle h);
extern Ptr NewPtr(Size byteCount);
extern Ptr NewPtrClear(Size byteCount);
extern void DisposePtr(Ptr p);

COMPAT_APPLE_EXTERN_C_END

#endif
