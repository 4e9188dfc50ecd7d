// The transform work both stages share: a frame's magnitude spectrum, its padded
// spectrum, the convolution with the kernels and the scaled result, all through the
// engine's preallocated work buffers and one pair of FFT tables.

#include <algorithm>
#include <cmath>
#include <tuple>

#include "TeskDisplayFeed.h"
#include "TeskEngine.h"

namespace
{
// Packed complex product of two rdft spectra of length n, in place: entries 0 and 1
// (the real DC and Nyquist terms) multiply on their own, every following pair as
// complex values. Audio thread: no allocation, no locks.
void MultiplyPacked(double* work, const double* kernel, int n) noexcept
{
  work[0] = work[0] * kernel[0];
  work[1] = work[1] * kernel[1];
  for (int k = 2; k < n; k += 2)
  {
    const double re = work[k], im = work[k + 1];
    work[k] = re * kernel[k] - im * kernel[k + 1];
    work[k + 1] = im * kernel[k] + re * kernel[k + 1];
  }
}

// Bin magnitudes straight from the packed layout, so bin 0 combines the DC term
// (entry 0) and the Nyquist term (entry 1). Audio thread: no allocation, no locks.
void Magnitudes(const double* spectrum, double* mag, int nBins) noexcept
{
  for (int k = 0; k < nBins; ++k)
    mag[k] = std::sqrt(spectrum[2 * k] * spectrum[2 * k] + spectrum[2 * k + 1] * spectrum[2 * k + 1]);
}
}  // namespace

void TeskEngine::Rdft(int n, int direction, double* data) noexcept
{
  mFFTPackage.rdft(n, direction, data, mFFTIp.data(), mFFTW.data());
}

void TeskEngine::MeasureFrame(const double* frameL, const double* frameR) noexcept
{
  const double* window = mHannWindow.data();
  for (auto [frame, pSpectrum, pMag] :
       {std::tuple{frameL, &mSpectrumL, &mMagL}, std::tuple{frameR, &mSpectrumR, &mMagR}})
  {
    double* spectrum = pSpectrum->data();
    for (int k = 0; k < kFrameSize; ++k) spectrum[k] = frame[k] * window[k];
    Rdft(kFrameSize, 1, spectrum);
    Magnitudes(spectrum, pMag->data(), kHopSize);
  }
}

void TeskEngine::TransformFrame(const double* frameL, const double* frameR) noexcept
{
  // The padded frame's spectrum at bin 2k is its 4096-point spectrum at bin k; the
  // DC and Nyquist terms carry over as they are.
  for (auto [frame, pSpectrum, pWork] :
       {std::tuple{frameL, &mSpectrumL, &mWorkL}, std::tuple{frameR, &mSpectrumR, &mWorkR}})
  {
    const double* spectrum = pSpectrum->data();
    double* work = pWork->data();
    work[0] = spectrum[0];
    work[1] = spectrum[1];
    for (int k = 1; k < kHopSize; ++k)
    {
      work[4 * k] = spectrum[2 * k];
      work[4 * k + 1] = spectrum[2 * k + 1];
    }
    OddBins(frame, mHannWindow.data(), work, mScratch.data());
  }
}

void TeskEngine::OddBins(const double* x, const double* window, double* spectrum, double* scratch) noexcept
{
  // Bin 2k + 1 of the padded sequence is sum_j x[j] w^((2k+1) j), w = e^(i pi / 4096).
  // Split j into m and m + 2048: w^((2k+1) 2048) = i (-1)^k, so the even k = 2p give
  // the 2048-point transform of z[m] = (x[m] + i x[m + 2048]) w^m at p, and the odd k
  // are their mirror images: bin 8192 - f is the conjugate of bin f.
  const int h = kHopSize;
  const double* twiddle = mOddTwiddle.data();
  for (int m = 0; m < h; ++m)
  {
    const double a = window ? x[m] * window[m] : x[m];
    const double b = window ? x[m + h] * window[m + h] : x[m + h];
    const double c = twiddle[2 * m], s = twiddle[2 * m + 1];
    scratch[2 * m] = a * c - b * s;
    scratch[2 * m + 1] = a * s + b * c;
  }
  mFFTPackage.cdft(kFrameSize, 1, scratch, mFFTIp.data(), mFFTW.data());
  for (int p = 0; p < h / 2; ++p)
  {
    spectrum[8 * p + 2] = scratch[2 * p];  // bin 4p + 1
    spectrum[8 * p + 3] = scratch[2 * p + 1];
    spectrum[8 * p + 6] = scratch[2 * (h - 1 - p)];  // bin 4p + 3
    spectrum[8 * p + 7] = -scratch[2 * (h - 1 - p) + 1];
  }
}

void TeskEngine::ConvolveWithKernels() noexcept
{
  MultiplyPacked(mWorkL.data(), mKernelL.data(), kConvSize);
  MultiplyPacked(mWorkR.data(), mKernelR.data(), kConvSize);
  Rdft(kConvSize, -1, mWorkL.data());
  Rdft(kConvSize, -1, mWorkR.data());
}

void TeskEngine::StoreResult(double* frameL, double* frameR, double first, double second) noexcept
{
  // This overwrites the gathered input: the frame emits the result from now on.
  const double* workL = mWorkL.data();
  const double* workR = mWorkR.data();
  for (int k = 0; k < kConvSize; ++k)
  {
    frameL[k] = workL[k] * first * second;
    frameR[k] = workR[k] * first * second;
  }
}

void TeskEngine::ShowSpectra() noexcept
{
  static_assert(TeskDisplayFeed::kSpectrumBins == kHopSize);
  if (mFeed) mFeed->AddSpectra(mMagL.data(), mMagR.data());
  // What the owed push makes OnParamChange(kFFTDisplay) do to the engine, done at
  // once here: the audio thread must not wait for the mutex. The host notification
  // follows when the processor pays the owed push.
  TakeBandFromMarks();
}

void TeskEngine::TakeBandFromMarks() noexcept
{
  mBandLow.store(mBandMarks.Low(), std::memory_order_relaxed);
  mBandHigh.store(mBandMarks.High(), std::memory_order_relaxed);
}
