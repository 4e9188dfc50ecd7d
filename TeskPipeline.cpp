// The engine's per-sample pipeline and its three delay structures: the dry delay,
// the moving average of the sensitivity measure and the delay of that average.
//
// Process runs the pipeline over spans of samples in which no frame of either stage
// changes state: each step becomes a loop over the span's samples. A step's only
// dependence on another sample is through its own state (the delay lines, the running
// sum, the frames' buffers), which the loops advance in sample order, and the frame
// steps run at the span's end in the order the per-sample path runs them: stage one's
// before stage two's of the same sample. So the output does not depend on how the
// samples are cut into spans or host blocks.

#include <algorithm>

#include "TeskDisplayFeed.h"
#include "TeskEngine.h"

namespace
{
// Wrap rule shared by the two 6144-slot delay lines.
// Audio thread: no allocation, no locks.
inline int NextDelaySlot(int pos) noexcept { return pos + 1 > TeskEngine::kDelaySlots - 1 ? 0 : pos + 1; }

// The sample rate as the waveform's decimation takes it (truncated).
// Audio thread: no allocation, no locks.
inline int SampleRateForDisplay(double rate) noexcept
{
  if (!(rate > 0.0)) return 0;
  return rate >= 2147483647.0 ? 2147483647 : static_cast<int>(rate);
}
}  // namespace

void TeskEngine::Process(double** inputs, double** outputs, int nFrames, double sampleRate) noexcept
{
  ApplyPendingSeed();
  if (mFeed) mFeed->SetSampleRate(SampleRateForDisplay(sampleRate));

  for (int i = 0; i < nFrames;)
  {
    const int untilEvent = std::min(mStage1.SamplesToNextEvent(), mStage2.SamplesToNextEvent());
    const int n = std::min({nFrames - i, untilEvent, kMaxSpan});
    ProcessSpan(inputs[0] + i, inputs[1] + i, outputs[0] + i, outputs[1] + i, n);
    i += n;
  }
}

void TeskEngine::ProcessSpan(const double* inL, const double* inR, double* outL, double* outR, int n) noexcept
{
  SpanArrays& a = mSpan[0];
  // Read both inputs first: a host may hand the same buffers in and out.
  std::copy(inL, inL + n, a.inL);
  std::copy(inR, inR + n, a.inR);

  DelayIn1(a.inL, a.inR, a.dryL, a.dryR, n);                             // 1. dry delay
  MovAvt(a.avg, n);                                                      // 2. moving average of S
  StageOneSpan(a.inL, a.inR, a.oneL, a.oneR, a.dryL, a.dryR, a.avg, n);  // 3. stage one
  Delayt(a.avg, n);                                                      // 4. delay of the average
  StageTwoSpan(a.oneL, a.oneR, a.outL, a.outR, n);                       // 5. stage two

  // Bypass only replaces the output: the engine above keeps running so that
  // switching it off resumes with fully formed history.
  if (!mBypass.load(std::memory_order_relaxed))
  {
    if (mFeed) mFeed->AddWaveform(a.outL, a.outR, n);  // 6. waveform feed
    std::copy(a.outL, a.outL + n, outL);
    std::copy(a.outR, a.outR + n, outR);
  }
  else
  {
    std::copy(a.inL, a.inL + n, outL);  // 7. bypass
    std::copy(a.inR, a.inR + n, outR);
  }
}

void TeskEngine::DelayIn1(const double* inL, const double* inR, double* dryL, double* dryR, int n) noexcept
{
  for (int t = 0; t < n;)
  {
    // Up to the end of the ring, then around.
    const int run = std::min(n - t, kDelaySlots - mDryDelayPos);
    double* slotsL = mDryDelayL.data() + mDryDelayPos;
    double* slotsR = mDryDelayR.data() + mDryDelayPos;
    for (int k = 0; k < run; ++k)
    {
      dryL[t + k] = slotsL[k];
      dryR[t + k] = slotsR[k];
      slotsL[k] = inL[t + k];
      slotsR[k] = inR[t + k];
    }
    t += run;
    mDryDelayPos = NextDelaySlot(mDryDelayPos + run - 1);
  }
  mDryL = dryL[n - 1];
  mDryR = dryR[n - 1];
}

void TeskEngine::MovAvt(double* avg, int n) noexcept
{
  // The running sum is updated, never recomputed, so a constant S gives M = S up to
  // the rounding of the sum. S changes only in stage one's frame steps, which end a span.
  const double s = mSensMeasure;
  for (int t = 0; t < n; ++t)
  {
    const double old = mSensAvgWindow[mSensAvgPos];
    mSensAvgWindow[mSensAvgPos] = s;
    mSensAvgSum = mSensAvgSum - old + s;
    if (++mSensAvgPos >= kHopSize) mSensAvgPos = 0;
    avg[t] = mSensAvgSum / kHopSize;
  }
  mSensAvg = avg[n - 1];
}

void TeskEngine::Delayt(const double* avg, int n) noexcept
{
  for (int t = 0; t < n; ++t)
  {
    mSensAvgDelayed = mSensAvgDelay[mSensAvgDelayPos];
    mSensAvgDelay[mSensAvgDelayPos] = avg[t];
    mSensAvgDelayPos = NextDelaySlot(mSensAvgDelayPos);
  }
}
