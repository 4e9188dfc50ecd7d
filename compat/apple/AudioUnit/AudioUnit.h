// Umbrella header of the audio unit interfaces. The Carbon view header stays separate, as on the original.
#ifndef COMPAT_APPLE_AUDIOUNIT_H
#define COMPAT_APPLE_AUDIOUNIT_H

#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitParameters.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <AudioUnit/MusicDevice.h>

#endif
