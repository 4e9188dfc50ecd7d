// A composed view of the editor for checking the artwork by eye: the images read
// back from their files and drawn at their places the way the editor draws them,
// with made-up signal data in both displays.
#pragma once

#include <string>

namespace art
{

// `variant` 0: handles at the travel ends, faders at 0 / 57 / 100 %, knob frame 61 with its
// value box. 1: a narrow band, inverted, other fader and switch states, knob at its minimum.
bool WritePreview(const std::string& imageDir, const std::string& outPath, int variant = 0);

}  // namespace art
