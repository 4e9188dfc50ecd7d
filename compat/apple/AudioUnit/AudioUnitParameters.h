// Parameter identifiers of the platform's own audio units. A third-party unit defines its own
// parameters; the header exists so that code including it compiles unchanged.
#ifndef COMPAT_APPLE_AUDIOUNITPARAMETERS_H
#define COMPAT_APPLE_AUDIOUNITPARAMETERS_H

#include <AudioUnit/AudioUnitProperties.h>

enum
{
  kHALOutputParam_Volume = 14
};

enum
{
  kMultiChannelMixerParam_Volume = 0,
  kMultiChannelMixerParam_Enable = 1,
  kMultiChannelMixerParam_Pan = 2
};

#endif
