#pragma once
// The reference histogram of the sensitivity measure: the expected count of each of
// the 65536 bins when a frame's peak-normalised samples, blurred by the measure's
// Gaussian noise, are binned. It is the linear interpolation of 99 support values.

#include <array>

inline constexpr int kHistoRefBins = 65536;
// The bin count as the measure's arithmetic uses it (it also sizes mSensHisto).
inline constexpr double histoRef_Size = 65536.0;

// Constant program data, built at compile time.
extern const std::array<double, kHistoRefBins> histoRef;
