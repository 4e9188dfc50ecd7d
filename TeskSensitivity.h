#pragma once
// The reference histogram of the sensitivity measure: the expected count of each of
// the 65536 bins when a frame's peak-normalised samples, blurred by the measure's
// Gaussian noise, are binned. It is the linear interpolation of 99 support values.
// Binding-free: the standard library only.

#include <array>

// Bins of the measure's histogram (and of the reference).
inline constexpr int kHistoRefBins = 65536;

// Constant program data, built at compile time.
extern const std::array<double, kHistoRefBins> histoRef;
