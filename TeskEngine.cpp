// The engine's set-up: every buffer made once at the size its step needs, the Hann
// window, and the random source.

#include "TeskEngine.h"

#include <chrono>
#include <cmath>
#include <numbers>

#include "PortableMath.h"
#include "TeskSensitivity.h"

namespace
{
// The FFT package's work areas, sized for the longest transform (kConvSize) as its
// header states: a real transform of length n needs n/4 + n/4 table doubles and
// 2 + sqrt(n/2) ints; a table made for n serves every shorter length.
constexpr int kFFTTableSize = TeskEngine::kConvSize / 2;
constexpr int kFFTIpSize = 2 + 64;
static_assert(64 * 64 == TeskEngine::kConvSize / 2, "the ip work area holds 2 + sqrt(kConvSize / 2) ints");
// Stage one's cosine transform of length kFrameSize has work areas of its own (n/4 + n
// table doubles), so the real transforms' tables stay as they are built for them.
constexpr int kDctTableSize = TeskEngine::kFrameSize / 4 + TeskEngine::kFrameSize;

// Magnitudes: bins 0 .. kHopSize - 1 are measured, and the reduction lowers bins up
// to two above the last selectable bin (kHopSize - 2), so one more entry.
constexpr int kMagSize = TeskEngine::kHopSize + 1;

constexpr std::uint64_t kSeedPending = std::uint64_t{1} << 32;

std::uint32_t ClockSeed() noexcept
{
  const auto ticks = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}
}  // namespace

TeskEngine::TeskEngine()
  : mScratch(kFrameSize),
    mSensHisto(kHistoRefBins),
    mSensBins(kFrameSize),
    mSensTouched(kFrameSize),  // at most one new bin per sample of a frame
    mNoiseLo(kFrameSize),
    mNoiseHi(kFrameSize),
    mSensAvgWindow(kHopSize),
    mSensAvgDelay(kDelaySlots),
    mFFTIp(kFFTIpSize),  // ip[0] = 0: the tables are built by the first transform
    mDctIp(kFFTIpSize),
    mFFTW(kFFTTableSize),
    mDctW(kDctTableSize),
    mHannWindow(kFrameSize),
    mOddTwiddle(kFrameSize),
    mMirrorPhase(kConvSize),
    mSpan(1)
{
  for (int ch = 0; ch < kMaxChannels; ++ch)
  {
    mWork[ch] = Buffer(kConvSize);
    mKernel[ch] = Buffer(kConvSize);
    mSpectrum[ch] = Buffer(kFrameSize);
    mMag[ch] = Buffer(kMagSize);
    mMagOrig[ch] = Buffer(kHopSize);
    mGain[ch] = Buffer(kHopSize);
    mDryDelay[ch] = Buffer(kDelaySlots);
  }
  SetRandomSeed(ClockSeed());
  ApplyPendingSeed();
  // The transforms' tables, built here once for the longest lengths (on zeros, which
  // stay zero), serve every transform on the audio thread.
  Rdft(kConvSize, 1, mWork[0].data());
  mFFTPackage.ddct(kFrameSize, -1, mKernel[0].data(), mDctIp.data(), mDctW.data());
  for (double& v : mHannWindow) v = 1.0;
  mFFTPackage.fenetrage(mHannWindow.data(), kFrameSize, 0);
  // Rotations of the odd-bin transform and of the mirrored kernel (its centre lies
  // at 2047.5). The kernel's phase turns by f * 4095 / 8192 half turns; reduced to
  // one turn as an integer first, so every angle is formed with one rounding. The
  // cosines and sines are PortableMath's, the same on every platform.
  for (int m = 0; m < kHopSize; ++m)
  {
    const double angle = std::numbers::pi * m / kFrameSize;
    mOddTwiddle[2 * m] = portable_math::Cos(angle);
    mOddTwiddle[2 * m + 1] = portable_math::Sin(angle);
  }
  for (int f = 0; f < kFrameSize; ++f)
  {
    const int turns = (f * (kFrameSize - 1)) % (2 * kConvSize);  // in units of pi / 8192
    const double angle = std::numbers::pi * turns / kConvSize;
    mMirrorPhase[2 * f] = 2.0 * portable_math::Cos(angle);
    mMirrorPhase[2 * f + 1] = 2.0 * portable_math::Sin(angle);
  }
}

void TeskEngine::ClearHistory() noexcept
{
  mStage1.Reset();
  mStage2.Reset();
  for (int ch = 0; ch < kMaxChannels; ++ch)
    for (Buffer* b : {&mWork[ch], &mKernel[ch], &mSpectrum[ch], &mMag[ch], &mMagOrig[ch], &mGain[ch], &mDryDelay[ch]})
      b->Clear();
  for (Buffer* b : {&mScratch, &mNoiseLo, &mNoiseHi, &mSensAvgWindow, &mSensAvgDelay}) b->Clear();
  mSensHisto.Clear();
  mSensBins.Clear();
  mSensTouched.Clear();
  mSpan.Clear();
  mSensTouchedCount = mSensAvgPos = mSensAvgDelayPos = mDryDelayPos = mNoiseReady = 0;
  mSensAvgSameRun = kHopSize;  // the window holds zeros, and S is 0
  mFramePeak = mSensMeasure = mSensAvgSum = mSensAvg = mSensAvgDelayed = 0.0;
  mDry[0] = mDry[1] = mReductionStep = 0.0;
  mFrameSteps1 = mFrameSteps2 = mSilentFrameSteps = 0;
  SetRandomSeed(GetRandomSeed());
  ApplyPendingSeed();
}

void TeskEngine::SetRandomSeed(std::uint32_t seed) noexcept
{
  mSeed.store(seed, std::memory_order_relaxed);
  mPendingSeed.store(kSeedPending | seed, std::memory_order_release);
}

void TeskEngine::ApplyPendingSeed() noexcept
{
  if (mPendingSeed.load(std::memory_order_relaxed) == 0) return;
  const std::uint64_t pending = mPendingSeed.exchange(0, std::memory_order_acquire);
  if (!pending) return;
  mRandom.Seed(static_cast<std::uint32_t>(pending));
  // Noise prepared from the old sequence no longer counts (CalculSensitivity checks).
  mNoiseReady = 0;
}
