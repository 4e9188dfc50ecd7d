// Stage one: four staggered frames, each convolved with a kernel made from its own
// mirrored magnitude spectrum, mixed with the dry signal delayed by 6144 samples.

#include <algorithm>

#include "Tesk.h"

void Tesk::Traitement1(double inL, double inR, double* outL, double* outR, double* dryL, double* dryR) noexcept
{
  *outL = 0.0;
  *outR = 0.0;
  const double pre = mPreAmount.load(std::memory_order_relaxed);
  const double autoMode = mAutoMode.load(std::memory_order_relaxed);
  const double m = mSensAvg;
  // The wet share w = alpha + gamma; the dry share 1 - w = (1 - pre) + beta.
  const double alpha = (1.0 - autoMode) * pre;
  const double beta = autoMode * pre * (1.0 - m);
  const double gamma = autoMode * pre * m;
  const int n = mFrameSize1;

  for (int i = 0; i < kFramesPerStage; ++i)
  {
    int c = mFrameCounters1[i];
    double* frameL = mFrames1L[i].data();
    double* frameR = mFrames1R[i].data();
    if (c >= 0 && c < kConvSize)
    {
      // Gathering: emit the second half of the last result; otherwise the first half.
      const int pos = c < n ? n + c : c - n;
      const double xL = frameL[pos];
      const double xR = frameR[pos];
      *outL = beta * *dryL + ((1.0 - pre) * *dryL + *outL + gamma * xL) + alpha * xL;
      *outR = beta * *dryR + ((1.0 - pre) * *dryR + *outR + gamma * xR) + alpha * xR;
      if (c < n)
      {
        frameL[c] = inL;
        frameR[c] = inR;
      }
    }
    mFrameCounters1[i] = ++c;
    if (c == n) FrameStep1(i);
    if (mFrameCounters1[i] == kConvSize) mFrameCounters1[i] = 0;
  }
}

void Tesk::FrameStep1(int i) noexcept
{
  ++mFrameSteps1;
  CalculSensitivity(i);

  // The frame's magnitude spectrum: shown, and the source of its own kernel.
  MeasureFrame(mFrames1L[i], mFrames1R[i]);
  if (!mBypass.load(std::memory_order_relaxed)) ShowSpectra();

  // Kernel: the magnitudes mirrored about the middle (bins 2047..0, then 0..2047),
  // zero-padded to the convolution length.
  const int h = mHopSize1;
  for (auto [pKernel, pMag] : {std::pair{&mKernelL, &mMagL}, std::pair{&mKernelR, &mMagR}})
  {
    double* kernel = pKernel->data();
    const double* mag = pMag->data();
    for (int k = 0; k < h; ++k)
    {
      kernel[h + k] = mag[k];
      kernel[k] = mag[h - 1 - k];
    }
    std::fill(kernel + mFrameSize1, kernel + kConvSize, 0.0);
    mFFTPackage.rdft(kConvSize, 1, kernel, mFFTIp.data(), mFFTW.data());
  }

  TransformFrame(mFrames1L[i], mFrames1R[i]);
  ConvolveWithKernels();

  // The inverse returns 4096 times the convolution; the kernel's magnitudes are in
  // the units of the 4096-point transform. 2^-20 brings the wet level near the dry.
  double* frameL = mFrames1L[i].data();
  double* frameR = mFrames1R[i].data();
  for (int k = 0; k < kConvSize; ++k)
  {
    frameL[k] = mWorkL[k] * mOutScale1 * 0.0078125;
    frameR[k] = mWorkR[k] * mOutScale1 * 0.0078125;
  }
}
