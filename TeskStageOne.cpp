// Stage one: four staggered frames, each convolved with a kernel made from its own
// mirrored magnitude spectrum, mixed with the dry signal delayed by 6144 samples.

#include <algorithm>

#include "TeskEngine.h"

void TeskEngine::Traitement1(double inL, double inR, double* outL, double* outR, const double* dryL,
                             const double* dryR) noexcept
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

  // Every active frame adds (1 - w) * dry + w * its result sample.
  auto mix = [&](double xL, double xR) {
    *outL = beta * *dryL + ((1.0 - pre) * *dryL + *outL + gamma * xL) + alpha * xL;
    *outR = beta * *dryR + ((1.0 - pre) * *dryR + *outR + gamma * xR) + alpha * xR;
  };
  mStage1.Run(inL, inR, mix, [this](int frame) { FrameStep1(frame); });
}

void TeskEngine::FrameStep1(int i) noexcept
{
  ++mFrameSteps1;
  CalculSensitivity(i);

  // The frame's magnitude spectrum: shown, and the source of its own kernel.
  MeasureFrame(mStage1.L(i), mStage1.R(i));
  if (!mBypass.load(std::memory_order_relaxed)) ShowSpectra();

  // Kernel: the magnitudes mirrored about the middle (bins 2047..0, then 0..2047),
  // zero-padded to the convolution length.
  const int h = kHopSize;
  for (auto [pKernel, pMag] : {std::pair{&mKernelL, &mMagL}, std::pair{&mKernelR, &mMagR}})
  {
    double* kernel = pKernel->data();
    const double* mag = pMag->data();
    for (int k = 0; k < h; ++k)
    {
      kernel[h + k] = mag[k];
      kernel[k] = mag[h - 1 - k];
    }
    std::fill(kernel + kFrameSize, kernel + kConvSize, 0.0);
    Rdft(kConvSize, 1, kernel);
  }

  TransformFrame(mStage1.L(i), mStage1.R(i));
  ConvolveWithKernels();
  StoreResult(mStage1.L(i), mStage1.R(i), kOutScale, kStageOneKernelScale);
}
