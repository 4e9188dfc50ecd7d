// The transform work both stages share: a frame's magnitude spectrum, its padded
// spectrum and the convolution with the kernels, all through the processor's
// preallocated work buffers and one pair of FFT tables.

#include <algorithm>
#include <cmath>

#include "FFTDisplay.h"
#include "Tesk.h"

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

void Tesk::MeasureFrame(const Buffer& frameL, const Buffer& frameR) noexcept
{
  const int n = kFrameSize;
  std::copy(frameL.begin(), frameL.begin() + n, mWorkL.begin());
  std::copy(frameR.begin(), frameR.begin() + n, mWorkR.begin());
  for (Buffer* pWork : {&mWorkL, &mWorkR})
  {
    ApplyHannWindow(pWork->data());
    mFFTPackage.rdft(n, 1, pWork->data(), mFFTIp.data(), mFFTW.data());
  }
  Magnitudes(mWorkL.data(), mMagL.data(), kHopSize);
  Magnitudes(mWorkR.data(), mMagR.data(), kHopSize);
}

void Tesk::TransformFrame(const Buffer& frameL, const Buffer& frameR) noexcept
{
  const int n = kFrameSize;
  std::copy(frameL.begin(), frameL.begin() + n, mWorkL.begin());
  std::copy(frameR.begin(), frameR.begin() + n, mWorkR.begin());
  for (Buffer* pWork : {&mWorkL, &mWorkR})
  {
    std::fill(pWork->begin() + n, pWork->begin() + kConvSize, 0.0);
    ApplyHannWindow(pWork->data());
    mFFTPackage.rdft(kConvSize, 1, pWork->data(), mFFTIp.data(), mFFTW.data());
  }
}

void Tesk::ApplyHannWindow(double* data) const noexcept
{
  const double* window = mHannWindow.data();
  for (int i = 0; i < kFrameSize; ++i) data[i] *= window[i];
}

void Tesk::ConvolveWithKernels() noexcept
{
  MultiplyPacked(mWorkL.data(), mKernelL.data(), mConvA.data(), mConvB.data(), kConvSize);
  MultiplyPacked(mWorkR.data(), mKernelR.data(), mConvA.data(), mConvB.data(), kConvSize);
  mFFTPackage.rdft(kConvSize, -1, mWorkL.data(), mFFTIp.data(), mFFTW.data());
  mFFTPackage.rdft(kConvSize, -1, mWorkR.data(), mFFTIp.data(), mFFTW.data());
}

void Tesk::ShowSpectra() noexcept
{
  if (!mFFTDisplay) return;
  mFFTDisplay->addFFT(mMagL.data(), mMagR.data(), mHopSize2);
  // What the display's push makes OnParamChange(5) do to the engine, done at once
  // here: the audio thread must not wait for the mutex. The host notification and
  // the holders follow from DeliverDisplayNotifications.
  mBandLow.store(mFFTDisplay->GetLow(), std::memory_order_relaxed);
  mBandHigh.store(mFFTDisplay->GetHigh(), std::memory_order_relaxed);
}
