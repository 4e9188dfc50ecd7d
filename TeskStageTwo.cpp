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

// Stage two's sum of kCount frames' result samples. Audio thread: no allocation, no locks.
template <int kCount>
void SumFrames(const double* const* x, double* out, int n) noexcept
{
  for (int t = 0; t < n; ++t)
  {
    double o = 0.0;
    for (int f = 0; f < kCount; ++f) o += x[f][t];
    out[t] = o;
  }
}
}  // namespace

void TeskEngine::Traitement2(double inL, double inR, double* outL, double* outR) noexcept
{
  const double* in[kMaxChannels] = {&inL, &inR};
  double* out[kMaxChannels] = {outL, outR};
  StageTwoSpan(in, out, kMaxChannels, 1);
}

void TeskEngine::StageTwoSpan(const double* const* in, double* const* out, int channels, int n) noexcept
{
  // The frames' sum, frame by frame in order from +0 for each sample; a sum of zeros
  // alone is the +0 the output already holds.
  auto sum = [&](const Frames::Emitters& e) {
    for (int ch = 0; ch < channels; ++ch)
    {
      std::fill(out[ch], out[ch] + n, 0.0);
      if (e.silent) continue;
      switch (e.count)
      {
        case 0: break;
        case 1: SumFrames<1>(e.x[ch], out[ch], n); break;
        case 2: SumFrames<2>(e.x[ch], out[ch], n); break;
        case 3: SumFrames<3>(e.x[ch], out[ch], n); break;
        default: SumFrames<4>(e.x[ch], out[ch], n); break;
      }
    }
  };
  mStage2.Span(n, channels, in, sum, [this](int frame, bool silent) { return FrameStep2(frame, silent); });
}

bool TeskEngine::FrameStep2(int i, bool silent) noexcept
{
  ++mFrameSteps2;
  const int h = kHopSize;

  // 1-3. Magnitudes before the reduction, shown; a frame of zeros has zeros.
  const bool shown = !mBypass.load(std::memory_order_relaxed);
  if (silent)
  {
    ZeroMagnitudes();
    if (shown) ShowSilentSpectra();
  }
  else
  {
    for (int ch = 0; ch < mChannels; ++ch) MeasureFrame(ch, mStage2.Buffer(ch, i));
    if (shown) ShowSpectra();
  }

  // 4-7. Reduction and the per-bin gain it leaves.
  mReductionStep = kFixedReductionStep;
  if (mAutoMode.load(std::memory_order_relaxed) > 0.5) mReductionStep = (mSensAvgDelayed * kFixedReductionStep) * 2.0;

  // A frame of zeros: every unreduced magnitude is 0, so every gain is 0, and the
  // filtered frame is zeros whatever the filter. Magnitudes of +0 lowered by steps of
  // 0 or more and held at 0 stay +0, so the reduction has nothing to do either.
  if (silent)
  {
    ++mSilentFrameSteps;
    if (!ReductionKeepsZeros()) AppliqueReduction();
    if (!mGainIsZero)
    {
      for (int ch = 0; ch < mChannels; ++ch)
      {
        std::fill(mMagOrig[ch].begin(), mMagOrig[ch].end(), 0.0);
        std::fill(mGain[ch].begin(), mGain[ch].end(), 0.0);
      }
      mGainIsZero = true;
    }
    StoreSilentResult(mStage2, i);
    return true;
  }

  for (int ch = 0; ch < mChannels; ++ch) std::copy(mMag[ch].begin(), mMag[ch].begin() + h, mMagOrig[ch].begin());
  AppliqueReduction();
  mGainIsZero = false;

  for (int ch = 0; ch < mChannels; ++ch)
  {
    const double* mag = mMag[ch].data();
    const double* orig = mMagOrig[ch].data();
    double* gain = mGain[ch].data();
    for (int k = 0; k < h; ++k) gain[k] = orig[k] > 0.0 ? mag[k] / orig[k] : 0.0;

    // 12. The windowed frame's padded spectrum, while its 4096-point spectrum is at
    // hand; 8-11. the gain curve as a filter; 13-15. filter the frame.
    TransformFrame(ch, mStage2.Buffer(ch, i));
    BuildGainKernel(ch);
    ConvolveWithKernel(ch);
    StoreResult(ch, mStage2.Buffer(ch, i), kStageTwoHalf, kOutScale);
  }
  return false;
}

void TeskEngine::BuildGainKernel(int ch) noexcept
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
  double* kernel = mKernel[ch].data();
  const double* gain = mGain[ch].data();
  double* response = mSpectrum[ch].data();  // TransformFrame has used the frame's spectrum
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

bool TeskEngine::ReductionKeepsZeros() const noexcept
{
  return mModeA.load(std::memory_order_relaxed) * mReductionStep >= 0.0 &&
         mReductionStep * mModeB.load(std::memory_order_relaxed) >= 0.0;
}

void TeskEngine::AppliqueReduction() noexcept
{
  const int n = kFrameSize;
  const int hi = EdgeBin(mBandHigh.load(std::memory_order_relaxed), n);
  const int lo = EdgeBin(mBandLow.load(std::memory_order_relaxed), n);
  const double inv = mInvertBand.load(std::memory_order_relaxed);
  const double a = mModeA.load(std::memory_order_relaxed) * mReductionStep;
  const double b = mReductionStep * mModeB.load(std::memory_order_relaxed);
  mMagIsZero = false;

  // A selected bin k lowers k + 1 by a and k + 2 by b, each then held at 0 or above,
  // in the order of k; only k + 1 < kHopSize is ever applied. So bin m is lowered
  // first by b (when m - 2 is selected), then by a (when m - 1 is), whatever the other
  // bins do: each bin is worked out on its own.
  const int last = kHopSize - 1;  // selectable bins: 0 .. last - 1
  auto selected = [&](int k) {
    const bool inBand = inv > 0.5 ? (k < lo || k > hi) : (inv < 0.5 && lo < k && k < hi);
    return k >= 0 && k < last && inBand;
  };
  for (int ch = 0; ch < mChannels; ++ch)
  {
    double* mag = mMag[ch].data();
    for (int m = 1; m <= last + 1; ++m)
    {
      double v = mag[m];
      if (selected(m - 2))
      {
        v -= b;
        NotBelowZero(v);
      }
      if (selected(m - 1))
      {
        v -= a;
        NotBelowZero(v);
      }
      mag[m] = v;
    }
  }
}
