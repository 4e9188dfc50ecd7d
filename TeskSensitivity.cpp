// The sensitivity measure of stage one's frames and its reference histogram.
//
// A frame's samples, normalised by the frame's peak and blurred by Gaussian noise,
// are binned into 65536 bins; how far that histogram departs from the reference
// histogram of typical programme material says how "ordinary" the frame is. The
// measure S, weighted by "Sensitivity", drives the wet share and the reduction step
// when "Auto" is on.

#include "TeskSensitivity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "PortableMath.h"
#include "TeskEngine.h"
#include "fft4g_kernels.h"

// The chunk loops below are compiled once per instruction set and run on the one
// the FFT's code path names (fft4g::activePath: chosen from the processor, forced
// by TESK_FFT_PATH or by tests), so one switch covers the whole engine. Every
// variant does the same operations, each rounded as IEEE arithmetic rounds it on
// every instruction set (and no fused multiply-adds: the build forbids
// contraction), so all of them give the same bins. The variants are plain
// functions called through a pointer: no resolver runs before the program starts
// (a sanitizer's runtime would not be ready for it).
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define TESK_VECTOR_VARIANTS 1
#define TESK_INLINE_INTO_VARIANTS __attribute__((always_inline)) inline
#else
#define TESK_VECTOR_VARIANTS 0
#define TESK_INLINE_INTO_VARIANTS inline
#endif

namespace
{
constexpr int kSupportCount = 99;
constexpr double kSupport[kSupportCount] = {
  2.007759831,   2.403679047,   2.867120871,   3.407378151,   4.034590617,   4.759742102,   5.594640402,
  6.551877072,   7.644764502,   8.887247812,   10.293789350,  11.879223980,  13.658583843,  15.646891920,
  17.858924458,  20.308943226,  23.010399486,  25.975612647,  29.215427660,  32.738856346,  36.552708951,
  40.661223294,  45.065699853,  49.764151924,  54.750980667,  60.016685230,  65.547618291,  71.325797199,
  77.328780381,  83.529617859,  89.896883535,  96.394795370,  102.983427744, 109.619018190, 116.254368323,
  122.839336288, 129.321415484, 135.646391665, 141.759068034, 147.604045580, 153.126543813, 158.273245280,
  162.993145948, 167.238392639, 170.965088404, 174.134046944, 176.711477963, 178.669586728, 179.987072950,
  180.649516468, 180.649639983, 179.987442138, 178.670197538, 176.712323725, 174.135118492, 170.966374241,
  167.239879141, 162.994817604, 158.275084964, 153.128533071, 147.606164941, 141.761297322, 135.648710320,
  129.323802869, 122.841771989, 116.256832431, 109.621491559, 102.985892221, 96.397233994,  89.899280708,
  83.531959469,  77.331053908,  71.327991772,  65.549724715,  60.018695986,  54.752889878,  49.765955293,
  45.067394586,  40.662807997,  36.554183518,  32.740221830,  29.216686140,  25.976767091,  23.011453614,
  20.309901370,  17.859791436,  15.647672910,  13.659284269,  11.879849404,  10.294345380,  8.887740020,
  7.645198351,   6.552257859,   5.594973206,   4.760031750,   4.034841655,   3.407594822,   2.867307109,
  2.403838468,
};

// Linear interpolation of the support values at s = (b + 1) * 98 / 65536. The last
// bin lands exactly on the last support value (k is kept at 97 there, f = 1).
constexpr std::array<double, kHistoRefBins> BuildHistoRef()
{
  std::array<double, kHistoRefBins> table{};
  for (int b = 0; b < kHistoRefBins; ++b)
  {
    const double s = (b + 1) * 98.0 / 65536.0;
    int k = static_cast<int>(s);
    if (k > kSupportCount - 2) k = kSupportCount - 2;
    const double f = s - k;
    table[b] = kSupport[k] + f * (kSupport[k + 1] - kSupport[k]);
  }
  return table;
}

// The comparison takes |trunc(histoRef[b] - c)| for whole counts c >= 1. With
// F = floor(histoRef[b]) that is F - c when c <= F (the difference is exact), and
// c - F - 1 when c > F, as long as the rounding of histoRef[b] - c cannot reach a
// whole number: no entry is a whole number or within 2^-40 of one (checked below),
// and the difference rounds by at most 2^-42 for counts up to 4096. So one byte per
// bin holds what the comparison needs, a table eight times smaller than histoRef.
// The table is built once at compile time; each step below reads that one copy, so
// no single constant evaluation grows past what compilers allow.
constexpr std::array<double, kHistoRefBins> kHistoRefTable = BuildHistoRef();
constexpr std::array<std::uint8_t, kHistoRefBins> BuildHistoFloor(const std::array<double, kHistoRefBins>& ref)
{
  std::array<std::uint8_t, kHistoRefBins> floors{};
  for (int b = 0; b < kHistoRefBins; ++b) floors[b] = static_cast<std::uint8_t>(ref[b]);
  return floors;
}
constexpr bool NoEntryNearAWholeNumber(const std::array<double, kHistoRefBins>& ref)
{
  for (double h : ref)
  {
    const double frac = h - static_cast<int>(h);
    if (!(frac > 0x1p-40 && frac < 1.0 - 0x1p-40) || h >= 255.0) return false;
  }
  return true;
}
static_assert(NoEntryNearAWholeNumber(kHistoRefTable), "the byte table would not give the same comparison");
constexpr std::array<std::uint8_t, kHistoRefBins> kHistoFloor = BuildHistoFloor(kHistoRefTable);

// The measure's noise: a Gaussian deviate of this standard deviation (Box-Muller,
// the two uniform draws in single precision as 2^-31 steps, the angle from 2 pi in
// single precision).
constexpr double kNoiseDeviation = 0.05;
constexpr float kDrawStep = 1.0f / 2147483648.0f;
constexpr float kTwoPiF = 6.2831855f;
// Half the histogram's span: a peak-normalised sample of -1 lands in bin 0, +1 in
// the last bin.
constexpr double kHalfSpan = (kHistoRefBins - 1) * 0.5;
// The summed difference from the reference that takes the measure to 0; less gives
// r = 1 - diff / kFullScaleDiff.
constexpr double kFullScaleDiff = 520000.0;
// A histogram with fewer occupied bins (a near-silent or clipped frame) has no shape
// to compare: its measure is 0.
constexpr int kMinOccupiedBins = 21;

// The measure's bin for a position: truncated, clamped to the table, and bin 0 for
// a position that is not a finite number (a silent frame gives 0/0). It never
// decreases as the position grows. Audio thread: no allocation, no locks.
TESK_INLINE_INTO_VARIANTS int BinOf(double pos) noexcept
{
  const bool finite = pos - pos == 0.0;  // false for infinities and NaN
  double p = finite && pos >= 0.0 ? pos : 0.0;
  p = p < kHistoRefBins - 1 ? p : kHistoRefBins - 1;
  return static_cast<int>(p);
}

// The noise's cosine, evaluated fast: within kCosBound of the exact cosine (and so of
// portable_math::Cos, which rounds it correctly) for every angle in [0, 2 pi]. The argument is brought to [-pi/4, pi/4] around the
// nearest multiple of pi/2 (pi/2 in two parts, the first with enough trailing zero
// bits that q * its value is exact), then the Taylor series of cosine (to r^16) or
// sine (to r^15), whose first neglected terms stay below 1e-16 there. Both series
// share one loop, with the coefficients and signs picked by the quadrant rather than
// by branches, which a random angle would mispredict half of the time. Audio thread.
constexpr double kCosBound = 0x1p-40;  // the series and Cos each err by < 1e-15
constexpr double kCosSeries[9] = {1.0 / 20922789888000.0,
                                  -1.0 / 87178291200.0,
                                  1.0 / 479001600.0,
                                  -1.0 / 3628800.0,
                                  1.0 / 40320.0,
                                  -1.0 / 720.0,
                                  1.0 / 24.0,
                                  -0.5,
                                  1.0};  // cos r = P(r^2)
constexpr double kSinSeries[9] = {0.0,
                                  -1.0 / 1307674368000.0,
                                  1.0 / 6227020800.0,
                                  -1.0 / 39916800.0,
                                  1.0 / 362880.0,
                                  -1.0 / 5040.0,
                                  1.0 / 120.0,
                                  -1.0 / 6.0,
                                  1.0};  // sin r = r P(r^2)
TESK_INLINE_INTO_VARIANTS double FastCos(double a) noexcept
{
  constexpr double kHalfPiHi = 0x1.921fb54440000p0;    // pi/2 to 37 bits
  constexpr double kHalfPiLo = 0x1.68c234c4c6629p-39;  // pi/2 - kHalfPiHi
  constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
  const int q = static_cast<int>(a * kTwoOverPi + 0.5);  // a >= 0: the nearest quadrant
  const double r = (a - q * kHalfPiHi) - q * kHalfPiLo;
  const double r2 = r * r;
  const bool odd = q & 1;
  double p = odd ? kSinSeries[0] : kCosSeries[0];
#pragma GCC unroll 8
  for (int i = 1; i < 9; ++i) p = p * r2 + (odd ? kSinSeries[i] : kCosSeries[i]);
  const double x = odd ? r : 1.0;
  // cos a = cos r, -sin r, -cos r, sin r in the quadrants 0..3 (and 4 = 0).
  return x * p * (((q + 1) & 2) ? -1.0 : 1.0);
}

// The noise's logarithm log(u) for u = 2^e m, a single-precision value in (0, 1],
// evaluated fast: m is brought near 1 by one of 128 reciprocals c_j of 20 bits, so
// r = m c_j - 1 is exact and below 2^-8 in size, and log u = e log 2 - log c_j +
// log1p(r), the series to r^7. Within kLogBoundAbs + kLogBoundRel |log u| of
// portable_math::Log. Audio thread (the table is made when the program loads).
constexpr double kLogBoundAbs = 0x1p-48;
constexpr double kLogBoundRel = 0x1p-45;
struct LogTable
{
  double reciprocal[128];
  double minusLog[128];  // -log(reciprocal[j]), correctly rounded
};
const LogTable kLogTable = [] {
  LogTable t{};
  for (int j = 0; j < 128; ++j)
  {
    const double centre = 1.0 + (j + 0.5) / 128.0;
    t.reciprocal[j] = std::ldexp(std::nearbyint(std::ldexp(1.0 / centre, 20)), -20);
    t.minusLog[j] = -portable_math::Log(t.reciprocal[j]);
  }
  return t;
}();

TESK_INLINE_INTO_VARIANTS double FastLog(float u) noexcept
{
  constexpr double kLn2Hi = 0x1.62e42fefa3800p-1;  // log 2 to 43 bits: e * kLn2Hi is exact
  constexpr double kLn2Lo = 0x1.ef35793c76730p-45;
  const auto bits = std::bit_cast<std::uint32_t>(u);
  const int e = static_cast<int>(bits >> 23) - 127;
  const int j = static_cast<int>((bits >> 16) & 127);
  const double m = std::bit_cast<float>((bits & 0x7FFFFFu) | 0x3F800000u);
  const double r = m * kLogTable.reciprocal[j] - 1.0;
  double p = 1.0 / 7.0;
  p = p * r - 1.0 / 6.0;
  p = p * r + 1.0 / 5.0;
  p = p * r - 1.0 / 4.0;
  p = p * r + 1.0 / 3.0;
  p = p * r - 0.5;
  const double log1p = r + r * r * p;
  return (e * kLn2Hi + kLogTable.minusLog[j]) + (e * kLn2Lo + log1p);
}

// The noise factor g * 0.05 of a first draw, g = sqrt(-2 log u1) rounded to single
// precision, and the sample's bin, exactly as the measure defines them with correctly
// rounded logarithm and cosine (the same on every platform): for the few draws where
// the fast bounds do not settle them.
// Audio thread: no allocation, no locks.
double ExactNoiseFactor(float u1) noexcept
{
  const double g = static_cast<float>(std::sqrt(-2.0 * portable_math::Log(static_cast<double>(u1))));
  return g * kNoiseDeviation;
}
int ExactBin(double gw, double angle, double s) noexcept
{
  const double noise = gw * portable_math::Cos(angle);
  return BinOf((noise + s + 1.0) * kHalfSpan);
}

// The two draws of a sample as the measure scales them: the first to (0, 1) in single
// precision, the second to an angle in [0, 2 pi) formed in single precision.
TESK_INLINE_INTO_VARIANTS float FirstDrawScaled(std::uint32_t draw) noexcept
{
  return static_cast<float>(draw) * kDrawStep;
}
TESK_INLINE_INTO_VARIANTS double NoiseAngle(std::uint32_t draw) noexcept
{
  return static_cast<float>(static_cast<float>(draw) * kDrawStep) * kTwoPiF;
}

// The noise factors of a chunk of first draws: the fast logarithm's bounds give
// bounds of q = -2 log u1. g is sqrt(q) rounded to single precision; where every q
// within the bounds has its root strictly inside the rounding cell of one
// single-precision value (a margin beyond the double rounding of the root), that
// value is g. The cell's edges are halfway to the neighbouring values; their squares
// are exact in double precision. NaN marks the draws the bounds leave open (and
// u1 = 0 or u1 within 1e-6 of 1). Every test is evaluated, without branches, so the
// loop runs in vector registers. Audio thread.
TESK_INLINE_INTO_VARIANTS void FastNoiseFactors(const float* u1, double* gw, int n) noexcept
{
  for (int k = 0; k < n; ++k)
  {
    const float u = u1[k];
    const double l = FastLog(u);
    const double bound = kLogBoundAbs + kLogBoundRel * -l;
    const double q = -2.0 * l;
    // q is never below -1e-12 (u1 <= 1), so wherever q is not positive the root of |q|
    // is below 1e-3 and the draw is left open, as it is for a root of 0. Taking the
    // magnitude instead of testing q keeps the loop free of branches.
    const float g = static_cast<float>(std::sqrt(std::fabs(q)));
    const auto bits = std::bit_cast<std::uint32_t>(g);
    const double gd = g;
    const double below = (static_cast<double>(std::bit_cast<float>(bits - 1u)) + gd) * 0.5;
    const double above = (static_cast<double>(std::bit_cast<float>(bits + 1u)) + gd) * 0.5;
    const bool inside =
      (q - 2.0 * bound > below * below * (1.0 + 0x1p-48)) & (q + 2.0 * bound < above * above * (1.0 - 0x1p-48));
    const bool settled = (u != 0.0f) & (g > 1e-3f) & inside;
    // Formed whether or not it is kept: a product under a condition would be a branch.
    const double factor = gd * kNoiseDeviation;
    gw[k] = settled ? factor : std::numeric_limits<double>::quiet_NaN();
  }
}

// The noise of a chunk of samples from the random source, as bounds: the noise is
// g * 0.05 * cos(angle), and the fast cosine lies within kCosBound of the correctly
// rounded one. Rounding never makes a larger value smaller, so the products of the
// cosine's bounds enclose the product the stated arithmetic forms, and so do the
// positions and bins formed from them (BinBody). Audio thread.
constexpr int kChunk = 256;
struct NoiseChunk
{
  TeskRandom* random;
  int n;       // samples: a multiple of TeskRandom::kLanes, at most kChunk
  double* lo;  // out: each sample's lower and upper noise bound
  double* hi;
};
TESK_INLINE_INTO_VARIANTS void NoiseBody(const NoiseChunk& c) noexcept
{
  alignas(64) std::uint32_t first[kChunk], second[kChunk];
  alignas(64) float u1[kChunk];
  alignas(64) double gw[kChunk];
  c.random->FillPairs(first, second, c.n);
  for (int k = 0; k < c.n; ++k) u1[k] = FirstDrawScaled(first[k]);
  FastNoiseFactors(u1, gw, c.n);
  for (int k = 0; k < c.n; ++k)
    if (gw[k] != gw[k]) gw[k] = ExactNoiseFactor(u1[k]);
  for (int k = 0; k < c.n; ++k)
  {
    const double cosine = FastCos(NoiseAngle(second[k]));
    c.lo[k] = gw[k] * (cosine - kCosBound);
    c.hi[k] = gw[k] * (cosine + kCosBound);
  }
}

// The bins of a chunk of samples for the noise's bounds (s: the peak-normalised
// sample, as the measure divides it). Where the two agree that is the sample's bin.
// Audio thread.
struct BinChunk
{
  const double* frameL;
  const double* frameR;
  double twoPeak;
  const double* noiseLo;
  const double* noiseHi;
  int* lo;  // out
  int* hi;
  int n;
};
TESK_INLINE_INTO_VARIANTS void BinBody(const BinChunk& c) noexcept
{
  for (int k = 0; k < c.n; ++k)
  {
    const double s = (c.frameL[k] + c.frameR[k]) / c.twoPeak;
    c.lo[k] = BinOf((c.noiseLo[k] + s + 1.0) * kHalfSpan);
    c.hi[k] = BinOf((c.noiseHi[k] + s + 1.0) * kHalfSpan);
  }
}

using NoisePass = void (*)(const NoiseChunk& c) noexcept;
using BinPass = void (*)(const BinChunk& c) noexcept;
struct Passes
{
  NoisePass noise;
  BinPass bins;
};

void NoisePortable(const NoiseChunk& c) noexcept { NoiseBody(c); }
void BinsPortable(const BinChunk& c) noexcept { BinBody(c); }
#if TESK_VECTOR_VARIANTS
__attribute__((target("avx2"))) void NoiseAvx2(const NoiseChunk& c) noexcept { NoiseBody(c); }
__attribute__((target("avx2"))) void BinsAvx2(const BinChunk& c) noexcept { BinBody(c); }
#define TESK_AVX512_SET "avx512f,avx512dq,avx512vl,avx512bw"
__attribute__((target(TESK_AVX512_SET))) void NoiseAvx512(const NoiseChunk& c) noexcept { NoiseBody(c); }
__attribute__((target(TESK_AVX512_SET))) void BinsAvx512(const BinChunk& c) noexcept { BinBody(c); }

// The AVX-512 loops use 64-bit multiplications and mask registers of the further sets.
bool HasAvx512Set() noexcept
{
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                          __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
  return has;
}
#endif

// The variants for the FFT's active path. Audio thread (a relaxed load).
Passes PassesForActivePath() noexcept
{
#if TESK_VECTOR_VARIANTS
  switch (fft4g::activePath())
  {
    case fft4g::Path::Avx512:
      if (HasAvx512Set()) return {NoiseAvx512, BinsAvx512};
      return {NoiseAvx2, BinsAvx2};
    case fft4g::Path::Avx2: return {NoiseAvx2, BinsAvx2};
    default: break;
  }
#endif
  return {NoisePortable, BinsPortable};
}
}  // namespace

constinit const std::array<double, kHistoRefBins> histoRef = kHistoRefTable;

void TeskEngine::PrepareNoise(int count) noexcept
{
  if (mNoiseReady == 0) mNoiseStart = mNoiseNext = mRandom;
  // Whole lanes of the random source: the frame is a multiple of them.
  static_assert(TeskEngine::kFrameSize % TeskRandom::kLanes == 0 && kChunk % TeskRandom::kLanes == 0);
  count = (count + TeskRandom::kLanes - 1) / TeskRandom::kLanes * TeskRandom::kLanes;
  if (count > kFrameSize - mNoiseReady) count = kFrameSize - mNoiseReady;
  const NoisePass pass = PassesForActivePath().noise;
  while (count > 0)
  {
    const int n = count < kChunk ? count : kChunk;
    pass({&mNoiseNext, n, mNoiseLo.data() + mNoiseReady, mNoiseHi.data() + mNoiseReady});
    mNoiseReady += n;
    count -= n;
  }
}

void TeskEngine::SpreadNoise(int n) noexcept
{
  if (mNoiseReady >= kFrameSize || mSensitivity.load(std::memory_order_relaxed) == 0.0) return;
  // While the frame that steps next has gathered only zeros it may stay silent, and
  // then its measure draws nothing: wait for a sample.
  const int toStep = mStage1.SamplesToNextStep();
  if (mStage1.ZeroRun() >= kFrameSize - toStep) return;
  // The rest in equal shares of the samples left (the last share in the span that
  // ends with the step).
  const int rest = kFrameSize - mNoiseReady;
  PrepareNoise(static_cast<int>((static_cast<std::int64_t>(rest) * n + toStep - 1) / toStep));
}

void TeskEngine::CalculSensitivity(int i, bool silent) noexcept
{
  const int n = kFrameSize;
  const double* frameL = mStage1.Buffer(0, i);
  // A mono engine's right channel holds zeros (Process), as a silent input would leave.
  const double* frameR = mStage1.Buffer(1, i);
  const double sens = mSensitivity.load(std::memory_order_relaxed);

  // The right channel's zeros of a mono engine never raise the peak: left alone.
  double peak = 0.0;
  if (!silent && mChannels == 2)
    for (int k = 0; k < n; ++k) peak = std::max({peak, std::fabs(frameL[k]), std::fabs(frameR[k])});
  else if (!silent)
    for (int k = 0; k < n; ++k) peak = std::max(peak, std::fabs(frameL[k]));
  mFramePeak = peak;

  // "Sensitivity" 0 weighs the measure by 0: S is 1 whatever the histogram. A frame
  // without a non-zero sample (its peak 0) divides 0 (or NaN) by 0 for every sample,
  // so every sample lands in bin 0 whatever its noise. Either way the draws are passed
  // over, not computed.
  if (sens == 0.0 || peak == 0.0)
  {
    mRandom.Discard(2 * static_cast<std::uint64_t>(n));
    mNoiseReady = 0;
    if (sens == 0.0)
    {
      StoreMeasure(sens, 0, 0.0);
      return;
    }
    std::uint16_t* histo = mSensHisto.data();
    int* touched = mSensTouched.data();
    for (int t = 0; t < mSensTouchedCount; ++t) histo[touched[t]] = 0;
    histo[0] = static_cast<std::uint16_t>(n);
    touched[0] = 0;
    mSensTouchedCount = 1;
    StoreMeasure(sens, 1, 0.0);
    return;
  }

  // The noise, as far as the blocks before did not prepare it.
  if (mNoiseReady > 0 && !(mNoiseStart == mRandom)) mNoiseReady = 0;
  PrepareNoise(n - mNoiseReady);

  // The bins first, then the counting: the histogram's scattered reads and writes,
  // kept apart from the long arithmetic, overlap instead of waiting one by one.
  // The bins of the noise's bounds enclose the bin of the correctly rounded noise, and
  // where they agree that is the bin. Only a position within about 1e-8 of a bin edge
  // needs the sample's draws again, and Cos itself.
  const double twoPeak = 2.0 * peak;
  std::uint16_t* bins = mSensBins.data();
  const BinPass binPass = PassesForActivePath().bins;
  alignas(64) int lo[kChunk], hi[kChunk];
  for (int k0 = 0; k0 < n; k0 += kChunk)
  {
    binPass({frameL + k0, frameR + k0, twoPeak, mNoiseLo.data() + k0, mNoiseHi.data() + k0, lo, hi, kChunk});
    for (int k = 0; k < kChunk; ++k)
    {
      int bin = lo[k];
      if (lo[k] != hi[k])
      {
        TeskRandom draws = mNoiseStart;
        draws.Discard(2 * static_cast<std::uint64_t>(k0 + k));
        const float u1 = FirstDrawScaled(draws.Next());
        const double angle = NoiseAngle(draws.Next());
        bin = ExactBin(ExactNoiseFactor(u1), angle, (frameL[k0 + k] + frameR[k0 + k]) / twoPeak);
      }
      bins[k0 + k] = static_cast<std::uint16_t>(bin);
    }
  }
  static_assert(TeskEngine::kFrameSize % kChunk == 0);
  mRandom = mNoiseNext;  // 2 n draws on
  mNoiseReady = 0;

  // Empty the histogram: only the bins the last measure counted into hold anything.
  std::uint16_t* histo = mSensHisto.data();
  int* touched = mSensTouched.data();
  for (int t = 0; t < mSensTouchedCount; ++t) histo[touched[t]] = 0;
  int touchedCount = 0;
  for (int k = 0; k < n; ++k)
  {
    const int bin = bins[k];
    touched[touchedCount] = bin;
    touchedCount += histo[bin] == 0;
    ++histo[bin];
  }
  mSensTouchedCount = touchedCount;

  // Every term is a whole number far below 2^53, so the sum is exact in any order:
  // visiting the occupied bins as they were first hit equals a scan of the table.
  double diff = 0.0;
  for (int t = 0; t < touchedCount; ++t)
  {
    const int b = touched[t];
    const int floor = kHistoFloor[b], count = histo[b];
    diff += count <= floor ? floor - count : count - floor - 1;
  }
  StoreMeasure(sens, touchedCount, diff);
}

void TeskEngine::StoreMeasure(double sensitivity, int occupied, double diff) noexcept
{
  const double r = diff / -kFullScaleDiff + 1.0;
  double x = r >= 0.0 ? r * 0.5 * 4.0 : 0.0;
  if (occupied < kMinOccupiedBins) x = 0.0;
  const double measure = (1.0 - sensitivity) + sensitivity * std::min(1.0, x);
  // The moving average's window no longer holds only this value.
  if (std::bit_cast<std::uint64_t>(measure) != std::bit_cast<std::uint64_t>(mSensMeasure)) mSensAvgSameRun = 0;
  mSensMeasure = measure;
}
