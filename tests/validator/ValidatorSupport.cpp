#include "ValidatorSupport.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

namespace validator
{
namespace
{
// The host-visible parameter indices the settings name.
enum : int
{
  kSensitivity = 1,
  kLow = 2,
  kHigh = 3,
  kPre = 6,
  kAuto = 7,
  kModeA = 10,
  kModeB = 11,
};
}  // namespace

Settings BusySettings()
{
  return {{kPre, 0.5f},  {kSensitivity, 0.6f}, {kAuto, 1.0f}, {kLow, 0.01f},
          {kHigh, 0.3f}, {kModeA, 0.7f},       {kModeB, 0.3f}};
}

Audio MusicLike(int frames, std::uint32_t seed)
{
  Audio a = WhiteNoise(frames, 0.05f, seed);
  for (int i = 0; i < frames; ++i)
  {
    const double t = i / 44100.0;
    a.mChannels[0][i] += static_cast<float>(0.4 * std::sin(2.0 * std::numbers::pi * 440.0 * t));
    a.mChannels[1][i] += static_cast<float>(0.3 * std::sin(2.0 * std::numbers::pi * 1234.5 * t));
  }
  return a;
}

Audio WhiteNoise(int frames, float amplitude, std::uint32_t seed)
{
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-amplitude, amplitude);
  Audio a;
  for (auto& ch : a.mChannels)
  {
    ch.resize(static_cast<size_t>(frames));
    for (float& s : ch) s = dist(gen);
  }
  return a;
}

Audio Constant(int frames, float value)
{
  Audio a;
  for (auto& ch : a.mChannels) ch.assign(static_cast<size_t>(frames), value);
  return a;
}

Audio Nyquist(int frames, float amplitude)
{
  Audio a;
  for (auto& ch : a.mChannels)
  {
    ch.resize(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) ch[static_cast<size_t>(i)] = (i % 2 == 0) ? amplitude : -amplitude;
  }
  return a;
}

BlockSizes FixedBlocks(int size)
{
  return [size](int) { return size; };
}

BlockSizes RandomBlocks(int maxSize, std::uint32_t seed)
{
  auto gen = std::make_shared<std::mt19937>(seed);
  return [gen, maxSize](int) { return std::uniform_int_distribution<int>(1, maxSize)(*gen); };
}

std::unique_ptr<PluginUnderTest> OpenPrepared(const Binding& binding, double sampleRate, int maxFrames,
                                              std::uint32_t seed, const Settings& settings)
{
  std::unique_ptr<PluginUnderTest> plug = binding.mOpen();
  if (!plug)
  {
    ADD_FAILURE() << binding.mName << ": the plug-in did not open";
    return nullptr;
  }
  if (!plug->Prepare(sampleRate, binding.mChannels, maxFrames))
  {
    ADD_FAILURE() << binding.mName << ": refused " << binding.mChannels << " channels at " << sampleRate << " Hz with "
                  << maxFrames << " frames";
    return nullptr;
  }
  EXPECT_TRUE(plug->SetSeed(seed));
  for (const auto& [index, value] : settings) EXPECT_TRUE(plug->SetParameter(index, value)) << "parameter " << index;
  return plug;
}

Audio RenderAll(PluginUnderTest& plug, const Audio& input, const BlockSizes& blocks)
{
  const int n = input.Frames();
  Audio out;
  for (auto& ch : out.mChannels) ch.assign(static_cast<size_t>(n), 0.0f);
  int block = 0;
  for (int start = 0; start < n; ++block)
  {
    const int len = std::min(blocks(block), n - start);
    const float* in[2] = {input.mChannels[0].data() + start, input.mChannels[1].data() + start};
    float* o[2] = {out.mChannels[0].data() + start, out.mChannels[1].data() + start};
    if (plug.Render(in, o, len) != RenderStatus::kRendered)
    {
      ADD_FAILURE() << "a block of " << len << " frames at frame " << start << " was refused (error "
                    << plug.LastError() << ")";
      break;
    }
    start += len;
  }
  return out;
}

SampleCensus Inspect(const Audio& out, int from, int to)
{
  SampleCensus c;
  const int end = to < 0 ? out.Frames() : std::min(to, out.Frames());
  for (int i = std::max(from, 0); i < end; ++i)
  {
    for (const auto& ch : out.mChannels)
    {
      const float s = ch[static_cast<size_t>(i)];
      const int kind = std::fpclassify(s);
      if (kind == FP_NAN || kind == FP_INFINITE)
      {
        ++c.mNonFinite;
        if (c.mFirstNonFinite < 0) c.mFirstNonFinite = i;
        c.mLastNonFinite = i;
      }
      else if (kind == FP_SUBNORMAL)
      {
        ++c.mSubnormal;
        if (c.mFirstSubnormal < 0) c.mFirstSubnormal = i;
      }
      if (kind != FP_ZERO) ++c.mNonZero;
    }
  }
  return c;
}

int FirstDifference(const Audio& a, const Audio& b)
{
  const int n = std::min(a.Frames(), b.Frames());
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < 2; ++c)
      if (std::memcmp(&a.mChannels[c][static_cast<size_t>(i)], &b.mChannels[c][static_cast<size_t>(i)],
                      sizeof(float)) != 0)
        return i;
  return a.Frames() == b.Frames() ? -1 : n;
}

double Rms(const Audio& a, int from, int to)
{
  double sum = 0.0;
  int count = 0;
  for (const auto& ch : a.mChannels)
    for (int i = from; i < to && i < a.Frames(); ++i, ++count)
      sum += double(ch[static_cast<size_t>(i)]) * ch[static_cast<size_t>(i)];
  return count ? std::sqrt(sum / count) : 0.0;
}

}  // namespace validator
