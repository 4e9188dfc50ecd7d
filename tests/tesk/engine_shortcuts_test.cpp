// The engine's shortcuts keep its output bytes: a mono engine runs one channel, silent
// frames skip their transforms, "Sensitivity" 0 skips the measure's arithmetic and the
// random source jumps over the draws it skips. None of that may change a single output
// byte, so every case below is pinned by the hash of its output as the engine rendered
// it before it took any shortcut, for every block size. A mono engine's output is the
// left output of two channels fed a silent right input, so both share one hash.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

using namespace tesk_test;

namespace
{
// Busy material around exact silence long enough for every frame of both stages to
// fall silent (with some -0.0 in it), a silence shorter than a frame, a lone impulse
// in silence, and a silent tail that lets the engine go quiet again.
Signal ChannelWithSilences(std::uint32_t seed, double freq)
{
  const int busy = 30000, longSilence = 40000, shortSilence = 3000, impulseSpan = 30000, tail = 30000;
  Signal a = Noise(busy, 0.3, seed), b = Noise(busy, 0.25, seed + 1), tone = Sine(busy, freq, 0.4);
  Signal s;
  for (int i = 0; i < busy; ++i) s.push_back(a[i] + tone[i]);
  for (int i = 0; i < longSilence; ++i) s.push_back(i % 997 == 0 ? -0.0 : 0.0);
  for (int i = 0; i < busy; ++i) s.push_back(b[i] - tone[i]);
  s.insert(s.end(), shortSilence, 0.0);
  for (int i = 0; i < busy; ++i) s.push_back(a[i] * 0.5);
  for (int i = 0; i < impulseSpan; ++i) s.push_back(i == 5000 ? 0.5 : 0.0);
  s.insert(s.end(), tail, 0.0);
  return s;
}

// Where a setting changes halfway: a multiple of every block size tried.
constexpr int kSwitchAt = 3 * 7 * 4096;

struct Setting
{
  const char* name;
  std::function<void(TeskEngine&)> before;  // from the start
  std::function<void(TeskEngine&)> after;   // from kSwitchAt on
};

void Busy(TeskEngine& e)
{
  e.SetSensitivity(0.5);
  e.SetAutoMode(1.0);
  e.SetPreAmount(0.5);
  e.SetModeA(0.7);
  e.SetModeB(0.4);
  e.SetBandLow(0.01);
  e.SetBandHigh(0.2);
}

const std::vector<Setting>& Settings()
{
  static const std::vector<Setting> settings = {
    {"defaults", [](TeskEngine&) {}, [](TeskEngine&) {}},
    {"busy", Busy, [](TeskEngine&) {}},
    {"sensitivity 0 with Auto", [](TeskEngine& e) { Busy(e), e.SetSensitivity(0.0); }, [](TeskEngine&) {}},
    {"sensitivity 0, then 0.6", [](TeskEngine& e) { Busy(e), e.SetSensitivity(0.0); },
     [](TeskEngine& e) { e.SetSensitivity(0.6); }},
    {"sensitivity 0.8, then 0", [](TeskEngine& e) { Busy(e), e.SetSensitivity(0.8); },
     [](TeskEngine& e) { e.SetSensitivity(0.0); }},
    {"inverted band", [](TeskEngine& e) { Busy(e), e.SetInvertBand(1.0), e.SetSensitivity(0.3), e.SetModeA(1.0); },
     [](TeskEngine&) {}},
    {"bypass, then on", [](TeskEngine& e) { Busy(e), e.SetBypass(true); }, [](TeskEngine& e) { e.SetBypass(false); }},
  };
  return settings;
}

std::uint64_t Fnv1a(std::uint64_t h, const Signal& s)
{
  for (double v : s)
  {
    unsigned char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    for (unsigned char b : bytes) h = (h ^ b) * 0x100000001b3ull;
  }
  return h;
}
constexpr std::uint64_t kFnvStart = 0xcbf29ce484222325ull;

// Renders both inputs through `channels` channels (with one, only the left) in blocks of
// blockSize, the setting switching at kSwitchAt. Returns the outputs.
void Render(const Setting& setting, const Signal& inL, const Signal& inR, int channels, int blockSize, Signal* outL,
            Signal* outR)
{
  EngineRun run(20240611u);
  setting.before(*run);
  const int n = static_cast<int>(inL.size());
  outL->assign(n, 0.0);
  outR->assign(n, 0.0);
  for (int start = 0; start < n;)
  {
    if (start == kSwitchAt) setting.after(*run);
    const int end = start < kSwitchAt ? std::min(start + blockSize, kSwitchAt) : std::min(start + blockSize, n);
    double* in[2] = {const_cast<double*>(inL.data()) + start, const_cast<double*>(inR.data()) + start};
    double* out[2] = {outL->data() + start, outR->data() + start};
    run->Process(in, out, end - start, 44100.0, channels);
    start = end;
  }
}

struct Expected
{
  std::uint64_t stereo;  // left then right output
  std::uint64_t mono;    // the left output, right input silent
};

// The engine's output before any shortcut, per setting in the order above.
const Expected kExpected[] = {
  {0xe9772ba253caf64cull, 0x6d311bd07c8ceaeeull},  // defaults
  {0x0a89742867d6eb52ull, 0x51fef577cdfd0b5eull},  // busy
  {0x223aa30c36a22e7eull, 0x142b659127f5b7c4ull},  // sensitivity 0 with Auto
  {0x360e9e0972f47d1full, 0xc56f5f55f5954236ull},  // sensitivity 0, then 0.6
  {0x762172f0bde82cd1ull, 0x90d1218a33e79319ull},  // sensitivity 0.8, then 0
  {0xf0542fcbb1deb750ull, 0xfefcbab9aa97d865ull},  // inverted band
  {0xc29f19fd06a1bea7ull, 0xd381b9c061393ddaull},  // bypass, then on
};
}  // namespace

TEST(TeskEngineShortcuts, EveryBlockSizeMonoAndStereoRenderTheBytesOfTheEngineWithoutShortcuts)
{
  ASSERT_EQ(std::size(kExpected), Settings().size());
  const Signal inL = ChannelWithSilences(3u, 331.0), inR = ChannelWithSilences(9u, 1210.0);
  const Signal silent(inL.size(), 0.0);
  for (std::size_t s = 0; s < Settings().size(); ++s)
  {
    const Setting& setting = Settings()[s];
    for (int block : {1, 7, 64, 512, 4096})
    {
      SCOPED_TRACE(std::string(setting.name) + ", block " + std::to_string(block));
      Signal outL, outR;
      Render(setting, inL, inR, 2, block, &outL, &outR);
      EXPECT_EQ(Fnv1a(Fnv1a(kFnvStart, outL), outR), kExpected[s].stereo) << "two channels";
      Render(setting, inL, silent, 2, block, &outL, &outR);
      EXPECT_EQ(Fnv1a(kFnvStart, outL), kExpected[s].mono) << "two channels, the right one silent";
      Render(setting, inL, silent, 1, block, &outL, &outR);
      EXPECT_EQ(Fnv1a(kFnvStart, outL), kExpected[s].mono) << "one channel";
    }
  }
}
