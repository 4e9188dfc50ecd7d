// The engine's per-sample pipeline and its three delay structures: the dry delay,
// the moving average of the sensitivity measure and the delay of that average.

#include "TeskEditorLink.h"
#include "TeskEngine.h"

namespace
{
// Wrap rule shared by the two 6144-slot delay lines.
// Audio thread: no allocation, no locks.
inline int NextDelaySlot(int pos) noexcept { return pos + 1 > TeskEngine::kDelaySlots - 1 ? 0 : pos + 1; }

// The sample rate as the waveform display's decimation takes it (truncated).
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
  if (mEditor) mEditor->FeedSampleRate(SampleRateForDisplay(sampleRate));

  for (int i = 0; i < nFrames; ++i)
  {
    // Read both inputs first: a host may hand the same buffers in and out.
    const double inL = inputs[0][i];
    const double inR = inputs[1][i];
    double outL = 0.0, outR = 0.0;

    DelayIn1(inL, inR);                                   // 1. dry delay
    MovAvt();                                             // 2. moving average of S
    Traitement1(inL, inR, &outL, &outR, &mDryL, &mDryR);  // 3. stage one
    Delayt();                                             // 4. delay of the average
    Traitement2(outL, outR, &outL, &outR);                // 5. stage two

    // Bypass only replaces the output: the engine above keeps running so that
    // switching it off resumes with fully formed history.
    if (!mBypass.load(std::memory_order_relaxed))
    {
      if (mEditor) mEditor->FeedWaveform((outL + outR) * 0.5);  // 6. waveform feed
    }
    else
    {
      outL = inL;  // 7. bypass
      outR = inR;
    }
    outputs[0][i] = outL;
    outputs[1][i] = outR;
  }
}

void TeskEngine::DelayIn1(double inL, double inR) noexcept
{
  mDryL = mDryDelayL[mDryDelayPos];
  mDryR = mDryDelayR[mDryDelayPos];
  mDryDelayL[mDryDelayPos] = inL;
  mDryDelayR[mDryDelayPos] = inR;
  mDryDelayPos = NextDelaySlot(mDryDelayPos);
}

void TeskEngine::MovAvt() noexcept
{
  // The running sum is updated, never recomputed, so a constant S gives M = S up to
  // the rounding of the sum.
  const double old = mSensAvgWindow[mSensAvgPos];
  mSensAvgWindow[mSensAvgPos] = mSensMeasure;
  mSensAvgSum = mSensAvgSum - old + mSensMeasure;
  if (++mSensAvgPos >= kHopSize) mSensAvgPos = 0;
  mSensAvg = mSensAvgSum / kHopSize;
}

void TeskEngine::Delayt() noexcept
{
  mSensAvgDelayed = mSensAvgDelay[mSensAvgDelayPos];
  mSensAvgDelay[mSensAvgDelayPos] = mSensAvg;
  mSensAvgDelayPos = NextDelaySlot(mSensAvgDelayPos);
}
