// Result codes of the system services.
#ifndef COMPAT_APPLE_MACERRORS_H
#define COMPAT_APPLE_MACERRORS_H

#include <MacTypes.h>

enum
{
  unimpErr = -4,
  paramErr = -50,
  fnfErr = -43,
  memFullErr = -108,
  nilHandleErr = -109,
  resNotFound = -192,
  coreFoundationUnknownErr = -4960,
  gestaltUnknownErr = -5550,
  gestaltUndefSelectorErr = -5551,
  gestaltDupSelectorErr = -5552,
  gestaltLocationErr = -5553
};

enum
{
  invalidComponentID = -3000,
  validInstancesExist = -3001,
  componentNotCaptured = -3002,
  componentDontRegister = -3003,
  unresolvedComponentDLLErr = -3004,
  retryComponentRegistrationErr = -3005
};

/* Component Manager status for a bad instance or an unsupported request. */
enum
{
  badComponentInstance = (SInt32)0x80008001,
  badComponentSelector = (SInt32)0x80008002
};

#endif
