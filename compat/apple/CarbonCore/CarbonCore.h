// Umbrella header of the core system services.
#ifndef COMPAT_APPLE_CARBONCORE_H
#define COMPAT_APPLE_CARBONCORE_H

#include <CarbonCore/Components.h>
#include <CarbonCore/Gestalt.h>
#include <CarbonCore/MacErrors.h>
#include <CarbonCore/MacMemory.h>
#include <MacTypes.h>

#endif
