// System facts by selector.
#ifndef COMPAT_APPLE_GESTALT_H
#define COMPAT_APPLE_GESTALT_H

#include <CarbonCore/MacErrors.h>
#include <MacTypes.h>

COMPAT_APPLE_EXTERN_C_BEGIN

enum
{
  gestaltSystemVersion = 0x73797376,      /* 'sysv': BCD digits, e.g. 0x1068 for 10.6.8 */
  gestaltSystemVersionMajor = 0x73797331, /* 'sys1' */
  gestaltSystemVersionMinor = 0x73797332, /* 'sys2' */
  gestaltSystemVersionBugFix = 0x73797333 /* 'sys3' */
};

extern OSErr Gestalt(OSType selector, SInt32* response);

COMPAT_APPLE_EXTERN_C_END

#endif
