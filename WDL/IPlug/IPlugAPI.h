#pragma once
// The binding a processor derives from, chosen per build target the way the
// framework separates the plug-in base from its API classes: a processor writes
// `class MyPlug : public IPlugAPI` once, and each target that compiles it defines
// exactly one of
//   IPLUG_API_AU        the Audio Unit binding (IPlugAU)
//   IPLUG_API_LV2       the LV2 binding (IPlugLV2)
//   IPLUG_API_HOSTLESS  no host at all (IPlugHostless): tools and tests
// Every binding takes the same
// constructor arguments: IPlugInstanceInfo, then the plug-in base's own.
//
// The definition must be PUBLIC on the target that compiles the processor: every
// file that includes the processor's header has to see the same base class.

#if defined(IPLUG_API_AU) + defined(IPLUG_API_LV2) + defined(IPLUG_API_HOSTLESS) != 1
#error                                                                                                                 \
  "Define exactly one of IPLUG_API_AU, IPLUG_API_LV2 or IPLUG_API_HOSTLESS for the target that compiles the processor"
#endif

#if defined(IPLUG_API_AU)
#include "IPlugAU.h"
using IPlugAPI = IPlugAU;
#elif defined(IPLUG_API_LV2)
#include "lv2_binding/IPlugLV2.h"
using IPlugAPI = IPlugLV2;
#elif defined(IPLUG_API_HOSTLESS)
#include "IPlugHostless.h"
using IPlugAPI = IPlugHostless;
#endif
