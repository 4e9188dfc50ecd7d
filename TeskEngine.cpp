// The engine's set-up: every buffer made once at the size its step needs, the Hann
// window, and the random source.

#include "TeskEngine.h"

#include <chrono>

#include "TeskSensitivity.h"

namespace
{
// The FFT package's work areas, sized for the longest transform (kConvSize) as its
// header states: a real transform of length n needs n/4 + n/4 table doubles and
// 2 + sqrt(n/2) ints; a table made for n serves every shorter length.
constexpr int kFFTTableSize = TeskEngine::kConvSize / 2;
constexpr int kFFTIpSize = 2 + 64;
static_assert(64 * 64 == TeskEngine::kConvSize / 2, "the ip work area holds 2 + sqrt(kConvSize / 2) ints");

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
{
  SetRandomSeed(ClockSeed());
  ApplyPendingSeed();
  mFFTIp.assign(kFFTIpSize, 0);  // ip[0] = 0: the tables are built by the first transform
  mFFTW.assign(kFFTTableSize, 0.0);
  // Work areas and kernels hold a whole convolution; the operand copies of the
  // spectral product as well.
  for (Buffer* pBuf : {&mWorkL, &mWorkR, &mKernelL, &mKernelR, &mConvA, &mConvB}) pBuf->assign(kConvSize, 0.0);
  mMagL.assign(kMagSize, 0.0);
  mMagR.assign(kMagSize, 0.0);
  // Stage two's magnitudes before the reduction and its gains: one per bin.
  for (Buffer* pBuf : {&mMagOrigL, &mMagOrigR, &mGainL, &mGainR}) pBuf->assign(kHopSize, 0.0);
  mSensHisto.assign(kHistoRefBins, 0.0);
  mSensTouched.assign(kFrameSize, 0);  // at most one new bin per sample of a frame
  mSensAvgWindow.assign(kHopSize, 0.0);
  mSensAvgDelay.assign(kDelaySlots, 0.0);
  mDryDelayL.assign(kDelaySlots, 0.0);
  mDryDelayR.assign(kDelaySlots, 0.0);
  mHannWindow.assign(kFrameSize, 1.0);
  mFFTPackage.fenetrage(mHannWindow.data(), kFrameSize, 0);
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
  if (pending) mRandom.Seed(static_cast<std::uint32_t>(pending));
}
