// Umbrella header of the audio toolbox, as far as audio units use it.
#ifndef COMPAT_APPLE_AUDIOTOOLBOX_H
#define COMPAT_APPLE_AUDIOTOOLBOX_H

#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreAudio/CoreAudioTypes.h>
#include <CoreFoundation/CoreFoundation.h>

#endif
