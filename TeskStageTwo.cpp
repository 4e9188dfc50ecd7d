// Stage two: four staggered frames whose magnitudes are lowered next to the bins the
// band selects; the ratio of reduced to unreduced magnitudes becomes a centred
// zero-phase impulse response that filters the frame.

#include <algorithm>
#include <cmath>
#include <utility>

#include "Tesk.h"

namespace
{
// A band edge as a bin index: the fraction times the frame size, truncated. Values
// no parameter can produce (non-finite, beyond the int range) are held to the range
// so the conversion stays defined. Audio thread: no allocation, no locks.
inline int EdgeBin(double fraction, int frameSize) noexcept
{
  const double v = fraction * frameSize;
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

// Audio thread: no allocation, no locks.
inline void NotBelowZero(double& v) noexcept
{
  if (v < 0.0) v = 0.0;
}
}  // namespace

void Tesk::Traitement2(double inL, double inR, double* outL, double* outR) noexcept
{
  *outL = 0.0;
  *outR = 0.0;
  const int n = mFrameSize2;
  for (int i = 0; i < kFramesPerStage; ++i)
  {
    int c = mFrameCounters2[i];
    double* frameL = mFrames2L[i].data();
    double* frameR = mFrames2R[i].data();
    if (c >= 0 && c < n)
    {
      *outL += frameL[n + c];
      *outR += frameR[n + c];
      frameL[c] = inL;
      frameR[c] = inR;
    }
    else if (c >= n && c < kConvSize)
    {
      *outL += frameL[c - n];
      *outR += frameR[c - n];
    }
    mFrameCounters2[i] = ++c;
    if (c == n) FrameStep2(i);
    if (mFrameCounters2[i] == kConvSize) mFrameCounters2[i] = 0;
  }
}

void Tesk::FrameStep2(int i) noexcept
{
  ++mFrameSteps2;
  const int n = mFrameSize2;
  const int h = mHopSize2;

  // 1-3. Magnitudes before the reduction, shown.
  MeasureFrame(mFrames2L[i], mFrames2R[i]);
  if (!mBypass.load(std::memory_order_relaxed)) ShowSpectra();

  // 4-7. Reduction and the per-bin gain it leaves.
  mReductionStep = kFixedReductionStep;
  if (mAutoMode.load(std::memory_order_relaxed) > 0.5) mReductionStep = (mSensAvgDelayed * kFixedReductionStep) * 2.0;
  std::copy(mMagL.begin(), mMagL.begin() + h, mMagOrigL.begin());
  std::copy(mMagR.begin(), mMagR.begin() + h, mMagOrigR.begin());
  AppliqueReduction();
  for (int k = 0; k < h; ++k)
  {
    mGainL[k] = mMagOrigL[k] > 0.0 ? mMagL[k] / mMagOrigL[k] : 0.0;
    mGainR[k] = mMagOrigR[k] > 0.0 ? mMagR[k] / mMagOrigR[k] : 0.0;
  }

  // 8-11. The gain curve as a real spectrum (Nyquist entry 0) turned into an impulse
  // response, centred at entry 2048 and zero-padded. The inverse returns n/2 times
  // the sequence, so 2/n restores it: unit gains give a unit impulse.
  const double kernelScale = 2.0 / n;
  for (auto [pKernel, pGain] : {std::pair{&mKernelL, &mGainL}, std::pair{&mKernelR, &mGainR}})
  {
    double* kernel = pKernel->data();
    const double* gain = pGain->data();
    for (int k = 0; k < h; ++k)
    {
      kernel[2 * k] = gain[k];
      kernel[2 * k + 1] = gain[k] * 0.0;
    }
    mFFTPackage.rdft(n, -1, kernel, mFFTIp.data(), mFFTW.data());
    for (int k = 0; k < n; ++k) kernel[k] *= kernelScale;
    for (int k = 0; k < h; ++k) std::swap(kernel[k], kernel[h + k]);
    std::fill(kernel + n, kernel + kConvSize, 0.0);
    mFFTPackage.rdft(kConvSize, 1, kernel, mFFTIp.data(), mFFTW.data());
  }

  // 12-15. Filter the windowed frame; 0.5 * 2^-13 leaves a quarter of it, which
  // cancels stage one's fourfold dry sum.
  TransformFrame(mFrames2L[i], mFrames2R[i]);
  ConvolveWithKernels();
  double* frameL = mFrames2L[i].data();
  double* frameR = mFrames2R[i].data();
  for (int k = 0; k < kConvSize; ++k)
  {
    frameL[k] = mWorkL[k] * 0.5 * mOutScale2;
    frameR[k] = mWorkR[k] * 0.5 * mOutScale2;
  }
}

void Tesk::AppliqueReduction() noexcept
{
  const int n = mFrameSize2;
  if (n <= 0) return;
  const int hi = EdgeBin(mBandHigh.load(std::memory_order_relaxed), n);
  const int lo = EdgeBin(mBandLow.load(std::memory_order_relaxed), n);
  const double inv = mInvertBand.load(std::memory_order_relaxed);
  const double a = mModeA.load(std::memory_order_relaxed) * mReductionStep;
  const double b = mReductionStep * mModeB.load(std::memory_order_relaxed);

  // Only k + 1 < H is ever applied, so the scan can stop there.
  const int last = std::min(n, mHopSize2 - 1);
  for (int k = 0; k < last; ++k)
  {
    const bool selected = inv > 0.5 ? (k < lo || k > hi) : (inv < 0.5 && lo < k && k < hi);
    if (!selected) continue;
    mMagL[k + 1] -= a;
    mMagR[k + 1] -= a;
    mMagL[k + 2] -= b;
    mMagR[k + 2] -= b;
    NotBelowZero(mMagL[k + 1]);
    NotBelowZero(mMagR[k + 1]);
    NotBelowZero(mMagL[k + 2]);
    NotBelowZero(mMagR[k + 2]);
  }
}
