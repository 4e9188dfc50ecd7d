// Stage two: four staggered frames whose magnitudes are lowered next to the bins the
// band selects; the ratio of reduced to unreduced magnitudes becomes a centred
// zero-phase impulse response that filters the frame.

#include <algorithm>
#include <utility>

#include "TeskEngine.h"

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

void TeskEngine::Traitement2(double inL, double inR, double* outL, double* outR) noexcept
{
  StageTwoSpan(&inL, &inR, outL, outR, 1);
}

void TeskEngine::StageTwoSpan(const double* inL, const double* inR, double* outL, double* outR, int n) noexcept
{
  std::fill(outL, outL + n, 0.0);
  std::fill(outR, outR + n, 0.0);
  auto sum = [&](const double* xL, const double* xR) {
    for (int t = 0; t < n; ++t)
    {
      outL[t] += xL[t];
      outR[t] += xR[t];
    }
  };
  mStage2.Span(n, inL, inR, sum, [this](int frame) { FrameStep2(frame); });
}

void TeskEngine::FrameStep2(int i) noexcept
{
  ++mFrameSteps2;
  const int h = kHopSize;

  // 1-3. Magnitudes before the reduction, shown.
  MeasureFrame(mStage2.L(i), mStage2.R(i));
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

  // 12. The windowed frame's padded spectrum, while its 4096-point spectrum is at
  // hand; 8-11. the gain curve as a filter; 13-15. filter the frame.
  TransformFrame(mStage2.L(i), mStage2.R(i));
  BuildGainKernels();
  ConvolveWithKernels();
  StoreResult(mStage2.L(i), mStage2.R(i), kStageTwoHalf, kOutScale);
}

void TeskEngine::BuildGainKernels() noexcept
{
  // The gain curve G as a real spectrum (Nyquist entry 0) turned into an impulse
  // response h, centred at entry 2048 and zero-padded. The inverse returns n/2 times
  // the sequence, so 2/n restores it: unit gains give a unit impulse.
  // The centred response's 8192-point spectrum at the even bins 2k is its 4096-point
  // spectrum, G[k] moved by 2048 samples: (-1)^k G[k], exactly. Its odd bins come from
  // the response itself.
  const int n = kFrameSize;
  const int h = kHopSize;
  const double kernelScale = 2.0 / n;
  for (auto [pKernel, pGain] : {std::pair{&mKernelL, &mGainL}, std::pair{&mKernelR, &mGainR}})
  {
    double* kernel = pKernel->data();
    const double* gain = pGain->data();
    double* response = mSpectrumL.data();  // TransformFrame has used the frame's spectra
    for (int k = 0; k < h; ++k)
    {
      response[2 * k] = gain[k];
      response[2 * k + 1] = gain[k] * 0.0;
    }
    Rdft(n, -1, response);
    for (int k = 0; k < n; ++k) response[k] *= kernelScale;
    for (int k = 0; k < h; ++k) std::swap(response[k], response[h + k]);
    OddBins(response, nullptr, kernel, mScratch.data());
    for (int k = 0; k < h; k += 2)
    {
      kernel[4 * k] = gain[k];
      kernel[4 * k + 1] = 0.0;
      kernel[4 * k + 4] = -gain[k + 1];
      kernel[4 * k + 5] = 0.0;
    }
    kernel[1] = 0.0;  // the Nyquist bin: G's own Nyquist entry is 0
  }
}

void TeskEngine::AppliqueReduction() noexcept
{
  const int n = kFrameSize;
  const int hi = EdgeBin(mBandHigh.load(std::memory_order_relaxed), n);
  const int lo = EdgeBin(mBandLow.load(std::memory_order_relaxed), n);
  const double inv = mInvertBand.load(std::memory_order_relaxed);
  const double a = mModeA.load(std::memory_order_relaxed) * mReductionStep;
  const double b = mReductionStep * mModeB.load(std::memory_order_relaxed);

  // A selected bin k lowers k + 1 and k + 2, and only k + 1 < kHopSize is ever
  // applied, so the scan stops there.
  const int last = kHopSize - 1;
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
