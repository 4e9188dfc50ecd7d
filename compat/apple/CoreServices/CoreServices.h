// Umbrella header of the system services: objects, components and system facts.
#ifndef COMPAT_APPLE_CORESERVICES_H
#define COMPAT_APPLE_CORESERVICES_H

#include <CarbonCore/CarbonCore.h>
#include <CoreFoundation/CoreFoundation.h>

#endif
