#pragma once
// What every check needs: signals, settings, rendering a whole signal through a plug-in
// under test in blocks, and inspecting the samples that came out.

#include <gtest/gtest.h>

#include "PluginUnderTest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace validator
{

// Two channels of float samples, as a host hands them over.
struct Audio
{
  std::vector<float> mChannels[2];
  int Frames() const { return static_cast<int>(mChannels[0].size()); }
};

// Parameter values by index, applied in order.
using Settings = std::vector<std::pair<int, float>>;

// Settings that keep every processing step of the plug-in busy: both stages mixing,
// the sensitivity measure steering the reduction, a band with both modes lowering.
// Indices are the host-visible parameter order.
Settings BusySettings();

// Test signals: a sine pair over noise, full-scale white noise, a constant, the
// highest frequency (+1, -1, ...).
Audio MusicLike(int frames, std::uint32_t seed);
Audio WhiteNoise(int frames, float amplitude, std::uint32_t seed);
Audio Constant(int frames, float value);
Audio Nyquist(int frames, float amplitude);

// The block sizes of one render: a fixed size, or sizes drawn from a seeded generator.
using BlockSizes = std::function<int(int blockIndex)>;
BlockSizes FixedBlocks(int size);
BlockSizes RandomBlocks(int maxSize, std::uint32_t seed);

// Opens the plug-in, prepares it for the binding's channels at the rate with room for
// maxFrames, seeds it and applies the settings. Fails the current test (and returns null) when any step
// is refused.
std::unique_ptr<PluginUnderTest> OpenPrepared(const Binding& binding, double sampleRate, int maxFrames,
                                              std::uint32_t seed, const Settings& settings = {});

// Renders the whole input block by block; a refused block fails the test and ends it.
Audio RenderAll(PluginUnderTest& plug, const Audio& input, const BlockSizes& blocks);

// What a validator flags in output samples from `from` on.
struct SampleCensus
{
  int mNonFinite = 0, mSubnormal = 0, mNonZero = 0;
  int mFirstNonFinite = -1, mLastNonFinite = -1, mFirstSubnormal = -1;
};
SampleCensus Inspect(const Audio& out, int from = 0, int to = -1);

// The index of the first frame at which two renders differ, or -1 when they are
// identical bit for bit (NaN compared by its bits).
int FirstDifference(const Audio& a, const Audio& b);

// Root mean square of both channels over [from, to).
double Rms(const Audio& a, int from, int to);

}  // namespace validator
