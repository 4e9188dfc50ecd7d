// The transform work both stages share: a frame's magnitude spectrum, its padded
// spectrum, the convolution with the kernels and the scaled result, all through the
// engine's preallocated work buffers and one pair of FFT tables.

#include <algorithm>
#include <cmath>

#include "TeskEditorLink.h"
#include "TeskEngine.h"

namespace
{
// Packed complex product of two rdft spectra of length n: entries 0 and 1 (the real
// DC and Nyquist terms) multiply on their own, every following pair as complex values.
// Audio thread: no allocation, no locks.
void MultiplyPacked(double* work, const double* kernel, double* a, double* b, int n) noexcept
{
  std::copy(work, work + n, a);
  std::copy(kernel, kernel + n, b);
  work[0] = a[0] * b[0];
  work[1] = a[1] * b[1];
  for (int k = 2; k < n; k += 2)
  {
    work[k] = a[k] * b[k] - a[k + 1] * b[k + 1];
    work[k + 1] = a[k + 1] * b[k] + a[k] * b[k + 1];
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
  std::copy(frameL, frameL + kFrameSize, mWorkL.begin());
  std::copy(frameR, frameR + kFrameSize, mWorkR.begin());
  for (Buffer* pWork : {&mWorkL, &mWorkR})
  {
    ApplyHannWindow(pWork->data());
    Rdft(kFrameSize, 1, pWork->data());
  }
  Magnitudes(mWorkL.data(), mMagL.data(), kHopSize);
  Magnitudes(mWorkR.data(), mMagR.data(), kHopSize);
}

void TeskEngine::TransformFrame(const double* frameL, const double* frameR) noexcept
{
  std::copy(frameL, frameL + kFrameSize, mWorkL.begin());
  std::copy(frameR, frameR + kFrameSize, mWorkR.begin());
  for (Buffer* pWork : {&mWorkL, &mWorkR})
  {
    std::fill(pWork->begin() + kFrameSize, pWork->begin() + kConvSize, 0.0);
    ApplyHannWindow(pWork->data());
    Rdft(kConvSize, 1, pWork->data());
  }
}

void TeskEngine::ApplyHannWindow(double* data) const noexcept
{
  const double* window = mHannWindow.data();
  for (int i = 0; i < kFrameSize; ++i) data[i] *= window[i];
}

void TeskEngine::ConvolveWithKernels() noexcept
{
  MultiplyPacked(mWorkL.data(), mKernelL.data(), mConvA.data(), mConvB.data(), kConvSize);
  MultiplyPacked(mWorkR.data(), mKernelR.data(), mConvA.data(), mConvB.data(), kConvSize);
  Rdft(kConvSize, -1, mWorkL.data());
  Rdft(kConvSize, -1, mWorkR.data());
}

void TeskEngine::StoreResult(double* frameL, double* frameR, double first, double second) noexcept
{
  // This overwrites the gathered input: the frame emits the result from now on.
  for (int k = 0; k < kConvSize; ++k)
  {
    frameL[k] = mWorkL[k] * first * second;
    frameR[k] = mWorkR[k] * first * second;
  }
}

void TeskEngine::ShowSpectra() noexcept
{
  if (!mEditor) return;
  mEditor->FeedSpectra(mMagL.data(), mMagR.data(), kHopSize);
  // What the display's push makes OnParamChange(kFFTDisplay) do to the engine, done
  // at once here: the audio thread must not wait for the mutex. The host
  // notification and the holders follow when the processor pays the owed push.
  mBandLow.store(mEditor->BandLow(), std::memory_order_relaxed);
  mBandHigh.store(mEditor->BandHigh(), std::memory_order_relaxed);
}
