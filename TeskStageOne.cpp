// Stage one: four staggered frames, each convolved with a kernel made from its own
// mirrored magnitude spectrum, mixed with the dry signal delayed by 6144 samples.

#include <algorithm>

#include "TeskEngine.h"

void TeskEngine::Traitement1(double inL, double inR, double* outL, double* outR, const double* dryL,
                             const double* dryR) noexcept
{
  StageOneSpan(&inL, &inR, outL, outR, dryL, dryR, &mSensAvg, 1);
}

void TeskEngine::StageOneSpan(const double* inL, const double* inR, double* outL, double* outR, const double* dryL,
                              const double* dryR, const double* avg, int n) noexcept
{
  std::fill(outL, outL + n, 0.0);
  std::fill(outR, outR + n, 0.0);
  const double pre = mPreAmount.load(std::memory_order_relaxed);
  const double autoMode = mAutoMode.load(std::memory_order_relaxed);
  const double alpha = (1.0 - autoMode) * pre;
  const double dryShare = 1.0 - pre;

  // Every active frame adds (1 - w) * dry + w * its result sample, with the wet share
  // w = alpha + gamma and the dry share 1 - w = (1 - pre) + beta; beta and gamma
  // follow the average M of each sample.
  auto mix = [&](const double* xL, const double* xR) {
    for (int t = 0; t < n; ++t)
    {
      const double m = avg[t];
      const double beta = autoMode * pre * (1.0 - m);
      const double gamma = autoMode * pre * m;
      outL[t] = beta * dryL[t] + (dryShare * dryL[t] + outL[t] + gamma * xL[t]) + alpha * xL[t];
      outR[t] = beta * dryR[t] + (dryShare * dryR[t] + outR[t] + gamma * xR[t]) + alpha * xR[t];
    }
  };
  mStage1.Span(n, inL, inR, mix, [this](int frame) { FrameStep1(frame); });
}

void TeskEngine::FrameStep1(int i) noexcept
{
  ++mFrameSteps1;
  CalculSensitivity(i);

  // The frame's magnitude spectrum: shown, and the source of its own kernel.
  MeasureFrame(mStage1.L(i), mStage1.R(i));
  if (!mBypass.load(std::memory_order_relaxed)) ShowSpectra();

  BuildMirrorKernels();
  TransformFrame(mStage1.L(i), mStage1.R(i));
  ConvolveWithKernels();
  StoreResult(mStage1.L(i), mStage1.R(i), kOutScale, kStageOneKernelScale);
}

void TeskEngine::BuildMirrorKernels() noexcept
{
  // The kernel holds the magnitudes mirrored about the middle (bins 2047..0, then
  // 0..2047) and zeros behind them. Symmetric about 2047.5, its 8192-point spectrum is
  // e^(i pi f 4095 / 8192) times twice the cosine transform sum_m mag[m]
  // cos(pi f (2m + 1) / 8192), f = 0..4095, of the magnitudes padded to 4096; the
  // Nyquist term is 0 because the mirrored halves cancel there.
  const int h = kHopSize;
  const double* phase = mMirrorPhase.data();
  for (auto [pKernel, pMag] : {std::pair{&mKernelL, &mMagL}, std::pair{&mKernelR, &mMagR}})
  {
    double* kernel = pKernel->data();
    std::copy(pMag->data(), pMag->data() + h, kernel);
    std::fill(kernel + h, kernel + kFrameSize, 0.0);
    mFFTPackage.ddct(kFrameSize, -1, kernel, mDctIp.data(), mDctW.data());
    // Spread in place from the top: entry f moves to 2f and 2f + 1.
    for (int f = kFrameSize - 1; f > 0; --f)
    {
      const double d = kernel[f];
      kernel[2 * f] = d * phase[2 * f];
      kernel[2 * f + 1] = d * phase[2 * f + 1];
    }
    kernel[0] = kernel[0] * phase[0];
    kernel[1] = 0.0;
  }
}
