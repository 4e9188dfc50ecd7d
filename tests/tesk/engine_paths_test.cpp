// The engine's output does not depend on the instruction set the machine offers:
// rendered with each FFT code path this machine can run, the bytes are the same.
// And the sensitivity measure counts every sample into the bin the stated
// arithmetic gives with the standard library's log and cos, whatever shortcuts the
// engine takes to get there.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "EngineTestSupport.h"
#include "TeskSensitivity.h"
#include "fft4g_kernels.h"

using namespace tesk_test;

namespace
{
using fft4g::Path;

// Restores the active path when a test ends, however it ends.
class PathGuard final
{
public:
  PathGuard()
    : mSaved(fft4g::activePath())
  {
  }
  ~PathGuard() { fft4g::forcePath(mSaved); }

private:
  Path mSaved;
};

// Every setting path of the engine busy: the measure drives the mix and the step,
// a reduction on an inverted band, both modes.
void UseBusySettings(EngineRun& e)
{
  e->SetPreAmount(0.7);
  e->SetAutoMode(1.0);
  e->SetSensitivity(0.8);
  e->SetModeA(0.6);
  e->SetModeB(0.9);
  e->SetBandLow(0.03);
  e->SetBandHigh(0.25);
  e->SetInvertBand(1.0);
}
}  // namespace

TEST(TeskEnginePaths, OutputBytesAreTheSameOnEveryFFTPath)
{
  PathGuard guard;
  const int n = 6 * TeskEngine::kConvSize + 1234;
  Signal inL = Noise(n, 0.4, 11u), inR = Sine(n, 1234.5, 0.6);
  for (int i = 0; i < n; ++i) inR[i] += 0.05 * inL[i];

  std::vector<Path> paths;
  for (Path p : {Path::Portable, Path::Sse2, Path::Avx2, Path::Avx512})
    if (fft4g::pathAvailable(p)) paths.push_back(p);
  ASSERT_FALSE(paths.empty());
  if (paths.size() == 1) GTEST_SKIP() << "this machine runs only one FFT code path";

  Signal refL, refR;
  for (Path p : paths)
  {
    ASSERT_TRUE(fft4g::forcePath(p));
    EngineRun e;
    UseBusySettings(e);
    Signal outL, outR;
    e.Render(inL, inR, &outL, &outR, 333);
    if (refL.empty())
    {
      refL = outL;
      refR = outR;
      continue;
    }
    EXPECT_EQ(0, std::memcmp(refL.data(), outL.data(), n * sizeof(double))) << fft4g::pathName(p);
    EXPECT_EQ(0, std::memcmp(refR.data(), outR.data(), n * sizeof(double))) << fft4g::pathName(p);
  }
}

namespace
{
// The measure's histogram of one frame as its definition states it, drawing from a
// generator that follows the engine's: two draws per sample, in order.
std::vector<int> StatedHistogram(const Signal& l, const Signal& r, int from, TeskRandom& draws)
{
  const int n = TeskEngine::kFrameSize;
  double peak = 0.0;
  for (int k = from; k < from + n; ++k) peak = std::max({peak, std::fabs(l[k]), std::fabs(r[k])});
  std::vector<int> histo(kHistoRefBins, 0);
  for (int k = from; k < from + n; ++k)
  {
    const float u1 = static_cast<float>(draws.Next()) * (1.0f / 2147483648.0f);
    const double g = static_cast<float>(std::sqrt(-2.0 * std::log(static_cast<double>(u1))));
    const double angle = static_cast<float>(static_cast<float>(draws.Next()) * (1.0f / 2147483648.0f)) * 6.2831855f;
    const double noise = g * 0.05 * std::cos(angle);
    const double pos = (noise + (l[k] + r[k]) / (2.0 * peak) + 1.0) * ((kHistoRefBins - 1) * 0.5);
    int bin = 0;
    if (std::isfinite(pos) && pos >= 0.0) bin = pos >= kHistoRefBins - 1 ? kHistoRefBins - 1 : static_cast<int>(pos);
    ++histo[bin];
  }
  return histo;
}
}  // namespace

TEST(TeskEnginePaths, EverySampleLandsInTheBinOfTheStatedArithmetic)
{
  struct Case
  {
    const char* name;
    Signal l, r;
  };
  const int n = TeskEngine::kFrameSize + 10 * TeskEngine::kHopSize;
  Signal square(n), quiet = Noise(n, 1e-9, 3u);
  for (int i = 0; i < n; ++i) square[i] = (i / 37) % 2 ? 0.5 : -0.5;
  const Case cases[] = {
    {"noise against a sine", Noise(n, 0.8, 21u), Sine(n, 440.0, 0.3)},
    {"a square wave: two values only", square, square},
    {"near silence with a DC offset", quiet, Signal(n, 1e-7)},
    {"silence: every sample in bin 0", Signal(n, 0.0), Signal(n, 0.0)},
  };
  for (const Case& c : cases)
  {
    const std::uint32_t seed = 777u;
    EngineRun e(seed);
    TeskRandom draws(seed);
    int checked = 0;
    for (int i = 0; i < n; ++i)
    {
      const auto before = e->FrameSteps1();
      e.Step(c.l[i], c.r[i]);
      if (e->FrameSteps1() == before) continue;
      // The frame that just stepped gathered the last 4096 samples.
      const std::vector<int> stated = StatedHistogram(c.l, c.r, i + 1 - TeskEngine::kFrameSize, draws);
      const std::uint16_t* counted = e->SensHisto();
      for (int b = 0; b < kHistoRefBins; ++b) ASSERT_EQ(counted[b], stated[b]) << c.name << ", bin " << b;
      ++checked;
    }
    EXPECT_EQ(checked, 11) << c.name;
  }
}
