// The transform work both stages share: a frame's magnitude spectrum, its padded
// spectrum, the convolution with the kernels and the scaled result, all through the
// engine's preallocated work buffers and one pair of FFT tables.

#include <algorithm>
#include <cmath>

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

void TeskEngine::MeasureFrame(int ch, const double* frame) noexcept
{
  const double* window = mHannWindow.data();
  double* spectrum = mSpectrum[ch].data();
  for (int k = 0; k < kFrameSize; ++k) spectrum[k] = frame[k] * window[k];
  Rdft(kFrameSize, 1, spectrum);
  Magnitudes(spectrum, mMag[ch].data(), kHopSize);
  mMagIsZero = false;
}

void TeskEngine::TransformFrame(int ch, const double* frame) noexcept
{
  // The padded frame's spectrum at bin 2k is its 4096-point spectrum at bin k; the
  // DC and Nyquist terms carry over as they are.
  const double* spectrum = mSpectrum[ch].data();
  double* work = mWork[ch].data();
  work[0] = spectrum[0];
  work[1] = spectrum[1];
  for (int k = 1; k < kHopSize; ++k)
  {
    work[4 * k] = spectrum[2 * k];
    work[4 * k + 1] = spectrum[2 * k + 1];
  }
  OddBins(frame, mHannWindow.data(), work, mScratch.data());
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

void TeskEngine::ConvolveWithKernel(int ch) noexcept
{
  MultiplyPacked(mWork[ch].data(), mKernel[ch].data(), kConvSize);
  Rdft(kConvSize, -1, mWork[ch].data());
}

void TeskEngine::StoreResult(int ch, double* frame, double first, double second) noexcept
{
  // This overwrites the gathered input: the frame emits the result from now on.
  const double* work = mWork[ch].data();
  for (int k = 0; k < kConvSize; ++k) frame[k] = work[k] * first * second;
}

void TeskEngine::ShowSpectra() noexcept
{
  static_assert(TeskDisplayFeed::kSpectrumBins == kHopSize);
  // A mono engine's right magnitudes stay 0, as a silent channel's are.
  if (mFeed) mFeed->AddSpectra(mMag[0].data(), mMag[1].data());
  // What the owed push makes OnParamChange(kFFTDisplay) do to the engine, done at
  // once here: the audio thread must not wait for the mutex. The host notification
  // follows when the processor pays the owed push.
  TakeBandFromMarks();
}

void TeskEngine::ZeroMagnitudes() noexcept
{
  if (mMagIsZero) return;
  for (int ch = 0; ch < mChannels; ++ch) std::fill(mMag[ch].begin(), mMag[ch].begin() + kHopSize, 0.0);
  mMagIsZero = true;
}

void TeskEngine::ShowSilentSpectra() noexcept
{
  // Both channels' zeros (a mono engine's right channel stays 0) sum to +0.
  if (mFeed) mFeed->AddSilentSpectra();
  TakeBandFromMarks();
}

void TeskEngine::TakeBandFromMarks() noexcept
{
  mBandLow.store(mBandMarks.Low(), std::memory_order_relaxed);
  mBandHigh.store(mBandMarks.High(), std::memory_order_relaxed);
}
