// The sensitivity measure of stage one's frames and its reference histogram.
//
// A frame's samples, normalised by the frame's peak and blurred by Gaussian noise,
// are binned into 65536 bins; how far that histogram departs from the reference
// histogram of typical programme material says how "ordinary" the frame is. The
// measure S, weighted by "Sensitivity", drives the wet share and the reduction step
// when "Auto" is on.

#include "TeskSensitivity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "TeskEngine.h"

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
// a position that is not a finite number (a silent frame gives 0/0).
// Audio thread: no allocation, no locks.
inline int BinOf(double pos) noexcept
{
  if (!std::isfinite(pos) || pos < 0.0) return 0;
  if (pos >= kHistoRefBins - 1) return kHistoRefBins - 1;
  return static_cast<int>(pos);
}
}  // namespace

constinit const std::array<double, kHistoRefBins> histoRef = BuildHistoRef();

void TeskEngine::CalculSensitivity(int i) noexcept
{
  const int n = kFrameSize;
  const double* frameL = mStage1.L(i);
  const double* frameR = mStage1.R(i);

  double peak = 0.0;
  for (int k = 0; k < n; ++k) peak = std::max({peak, std::fabs(frameL[k]), std::fabs(frameR[k])});
  mFramePeak = peak;

  // Empty the histogram: only the bins the last measure counted into hold anything.
  for (int t = 0; t < mSensTouchedCount; ++t) mSensHisto[mSensTouched[t]] = 0.0;
  mSensTouchedCount = 0;
  for (int k = 0; k < n; ++k)
  {
    const float u1 = static_cast<float>(mRandom.Next()) * kDrawStep;
    const double g = static_cast<float>(std::sqrt(-2.0 * std::log(static_cast<double>(u1))));
    const double angle = static_cast<float>(static_cast<float>(mRandom.Next()) * kDrawStep) * kTwoPiF;
    const double noise = g * kNoiseDeviation * std::cos(angle);
    const double pos = (noise + (frameL[k] + frameR[k]) / (2.0 * peak) + 1.0) * kHalfSpan;
    const int bin = BinOf(pos);
    if (mSensHisto[bin] == 0.0) mSensTouched[mSensTouchedCount++] = bin;
    mSensHisto[bin] += 1.0;
  }

  // Every term is a whole number far below 2^53, so the sum is exact in any order:
  // visiting the occupied bins as they were first hit equals a scan of the table.
  const int nonEmpty = mSensTouchedCount;
  double diff = 0.0;
  for (int t = 0; t < mSensTouchedCount; ++t)
  {
    const int b = mSensTouched[t];
    const auto count = static_cast<std::int64_t>(mSensHisto[b]);
    diff += std::fabs(std::trunc(histoRef[b] - static_cast<double>(count)));
  }

  const double r = diff / -kFullScaleDiff + 1.0;
  double x = r >= 0.0 ? r * 0.5 * 4.0 : 0.0;
  if (nonEmpty < kMinOccupiedBins) x = 0.0;
  const double sens = mSensitivity.load(std::memory_order_relaxed);
  mSensMeasure = (1.0 - sens) + sens * std::min(1.0, x);
}
