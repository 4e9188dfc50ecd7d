// Stage one: four staggered frames, each convolved with a kernel made from its own
// mirrored magnitude spectrum, mixed with the dry signal delayed by 6144 samples.

#include <algorithm>
#include <cmath>

#include "TeskEngine.h"

namespace
{
// The weights a span mixes with: alpha is fixed, beta and gamma follow M per sample.
struct MixWeights
{
  double alpha, dryShare, autoPre;
};

// Every active frame adds (1 - w) * dry + w * its result sample, with the wet share
// w = alpha + gamma and the dry share 1 - w = (1 - pre) + beta; beta and gamma
// follow the average M of each sample. The frames are taken in order for each sample,
// each with the same operations in the same order as one frame at a time would take
// them, so the sums are the same to the bit. Audio thread: no allocation, no locks.
template <int kCount, int kChannels>
void MixFrames(const double* const (&x)[2][4], const double* const* dry, const double* avg, double* const* out, int n,
               const MixWeights& w) noexcept
{
  for (int t = 0; t < n; ++t)
  {
    const double m = avg[t];
    const double beta = w.autoPre * (1.0 - m);
    const double gamma = w.autoPre * m;
    for (int ch = 0; ch < kChannels; ++ch)
    {
      const double d = dry[ch][t];
      const double betaDry = beta * d, shareDry = w.dryShare * d;
      double o = 0.0;
      for (int f = 0; f < kCount; ++f)
      {
        const double v = x[ch][f][t];
        o = betaDry + (shareDry + o + gamma * v) + w.alpha * v;
      }
      out[ch][t] = o;
    }
  }
}

template <int kChannels>
void MixFrames(int count, const double* const (&x)[2][4], const double* const* dry, const double* avg,
               double* const* out, int n, const MixWeights& w) noexcept
{
  switch (count)
  {
    case 1: MixFrames<1, kChannels>(x, dry, avg, out, n, w); break;
    case 2: MixFrames<2, kChannels>(x, dry, avg, out, n, w); break;
    case 3: MixFrames<3, kChannels>(x, dry, avg, out, n, w); break;
    default: MixFrames<4, kChannels>(x, dry, avg, out, n, w); break;
  }
}

// Whether a product of these weights and any zero is a zero, not NaN: the weights are
// finite and small enough that their products with M stay finite. Audio thread.
bool ZeroesStayZero(const MixWeights& w, const double* avg, int n) noexcept
{
  constexpr double kLarge = 1e100;
  bool small = std::fabs(w.alpha) < kLarge && std::fabs(w.dryShare) < kLarge && std::fabs(w.autoPre) < kLarge;
  for (int t = 0; t < n; ++t) small = small && std::fabs(avg[t]) < kLarge;
  return small;
}
}  // namespace

void TeskEngine::Traitement1(double inL, double inR, double* outL, double* outR, const double* dryL,
                             const double* dryR) noexcept
{
  const double* in[kMaxChannels] = {&inL, &inR};
  double* out[kMaxChannels] = {outL, outR};
  const double* dry[kMaxChannels] = {dryL, dryR};
  StageOneSpan(in, out, dry, &mSensAvg, kMaxChannels, 1);
}

void TeskEngine::StageOneSpan(const double* const* in, double* const* out, const double* const* dry, const double* avg,
                              int channels, int n) noexcept
{
  const double pre = mPreAmount.load(std::memory_order_relaxed);
  const double autoMode = mAutoMode.load(std::memory_order_relaxed);
  const MixWeights w{(1.0 - autoMode) * pre, 1.0 - pre, autoMode * pre};

  auto mix = [&](const Frames::Emitters& e) {
    for (int ch = 0; ch < channels; ++ch) std::fill(out[ch], out[ch] + n, 0.0);
    if (e.count == 0) return;  // idle frames add nothing, not even the dry signal
    // Frames that emit zeros and a silent dry signal: every term is a zero, and a sum
    // of zeros that starts from +0 is +0, the value the output already holds.
    bool silent = e.silent && ZeroesStayZero(w, avg, n);
    for (int ch = 0; ch < channels; ++ch) silent = silent && Frames::AllZero(dry[ch], n);
    if (silent) return;
    if (channels == 2)
      MixFrames<2>(e.count, e.x, dry, avg, out, n, w);
    else
      MixFrames<1>(e.count, e.x, dry, avg, out, n, w);
  };
  mStage1.Span(n, channels, in, mix, [this](int frame, bool silent) { return FrameStep1(frame, silent); });
}

bool TeskEngine::FrameStep1(int i, bool silent) noexcept
{
  ++mFrameSteps1;
  CalculSensitivity(i, silent);
  const bool shown = !mBypass.load(std::memory_order_relaxed);

  // A frame of zeros has a spectrum of zeros, so a kernel of zeros and a result of zeros.
  if (silent)
  {
    ++mSilentFrameSteps;
    ZeroMagnitudes();
    if (shown) ShowSilentSpectra();
    StoreSilentResult(mStage1, i);
    return true;
  }

  // The frame's magnitude spectrum: shown, and the source of its own kernel.
  for (int ch = 0; ch < mChannels; ++ch) MeasureFrame(ch, mStage1.Buffer(ch, i));
  if (shown) ShowSpectra();

  for (int ch = 0; ch < mChannels; ++ch)
  {
    BuildMirrorKernel(ch);
    TransformFrame(ch, mStage1.Buffer(ch, i));
    ConvolveWithKernel(ch);
    StoreResult(ch, mStage1.Buffer(ch, i), kOutScale, kStageOneKernelScale);
  }
  return false;
}

void TeskEngine::StoreSilentResult(Frames& stage, int frame) noexcept
{
  // The gathered half holds the frame's zeros; the other half still holds the second
  // half of the last result, which has been emitted: zeros already if that one was.
  if (stage.ResultIsSilent(frame)) return;
  for (int ch = 0; ch < mChannels; ++ch)
  {
    double* result = stage.Buffer(ch, frame);
    std::fill(result + kFrameSize, result + kConvSize, 0.0);
  }
}

void TeskEngine::BuildMirrorKernel(int ch) noexcept
{
  // The kernel holds the magnitudes mirrored about the middle (bins 2047..0, then
  // 0..2047) and zeros behind them. Symmetric about 2047.5, its 8192-point spectrum is
  // e^(i pi f 4095 / 8192) times twice the cosine transform sum_m mag[m]
  // cos(pi f (2m + 1) / 8192), f = 0..4095, of the magnitudes padded to 4096; the
  // Nyquist term is 0 because the mirrored halves cancel there.
  const int h = kHopSize;
  const double* phase = mMirrorPhase.data();
  double* kernel = mKernel[ch].data();
  std::copy(mMag[ch].data(), mMag[ch].data() + h, kernel);
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
