#pragma once
// What the LV2 tests share: where the built bundle and tesk-render are, the skip for a
// host program that is not installed, the test host's plug-in opened from the bundle,
// and small audio files (libsndfile) with the comparisons the tests make.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HostProgram.h"
#include "Lv2Host.h"
#include "TeskLV2URIs.h"

// For test names in the output.
inline void PrintTo(const TeskLV2Variant& v, std::ostream* os) { *os << v.uri; }

namespace lv2_test
{
// The folder holding tesk.lv2 in the build tree (what LV2_PATH points at).
inline const std::filesystem::path kBundleFolder = TESK_LV2_BUNDLE_FOLDER;
inline const std::filesystem::path kBundle = kBundleFolder / kTeskLV2BundleName;
inline const std::string kTeskRender = TESK_RENDER_PATH;

// Skips the test, with the Debian package to install, when a host program is absent.
#define LV2_REQUIRE_PROGRAM(name, package)                                                                             \
  if (::lv2_test::FindHostProgram(name).empty())                                                                       \
  GTEST_SKIP() << name << " is not installed (Debian package " << package << "); this host test needs it"

// The environment every host program gets: the build's bundle only, and the user's own
// settings folders kept out of reach.
std::vector<std::string> HostEnvironment(const std::filesystem::path& scratch);

// One channel per vector.
using Channels = std::vector<std::vector<float>>;

// A 32-bit float WAV file.
void WriteWav(const std::filesystem::path& path, const Channels& audio, int sampleRate = 44100);
Channels ReadWav(const std::filesystem::path& path, int* pSampleRate = nullptr);

// Deterministic music-like test signal: partials, a sweep and noise, different per channel.
Channels TestSignal(int channels, int frames);

// The largest absolute difference between two signals of the same shape (infinity when
// the shapes differ).
double MaxDifference(const Channels& a, const Channels& b);
// The frame of the largest absolute sample of a channel.
int PeakFrame(const std::vector<float>& x);

// A measured figure for the test report ("%g").
std::string Figure(double v);

// Bytes of a whole file.
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
}  // namespace lv2_test
