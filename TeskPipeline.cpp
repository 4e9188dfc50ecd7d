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
#include <bit>
#include <cstdint>

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

void TeskEngine::Process(double** inputs, double** outputs, int nFrames, double sampleRate, int channels) noexcept
{
  ApplyPendingSeed();
  UseChannels(channels == 1 ? 1 : 2);
  if (mFeed) mFeed->SetSampleRate(SampleRateForDisplay(sampleRate));

  for (int i = 0; i < nFrames;)
  {
    const int untilEvent = std::min(mStage1.SamplesToNextEvent(), mStage2.SamplesToNextEvent());
    const int n = std::min({nFrames - i, untilEvent, kMaxSpan});
    const double* in[kMaxChannels] = {inputs[0] + i, mChannels == 2 ? inputs[1] + i : nullptr};
    double* out[kMaxChannels] = {outputs[0] + i, mChannels == 2 ? outputs[1] + i : nullptr};
    SpreadNoise(n);
    ProcessSpan(in, out, n);
    i += n;
  }
}

void TeskEngine::UseChannels(int channels) noexcept
{
  if (channels == mChannels) return;
  // A mono engine keeps the right channel's history at zero, as a silent right input
  // leaves it; so it is cleared once, going from two channels to one, and two channels
  // resume from it.
  if (channels == 1)
  {
    mStage1.ClearChannel(1);
    mStage2.ClearChannel(1);
    mDryDelay[1].Clear();
    mMag[1].Clear();
    mDry[1] = 0.0;
  }
  mChannels = channels;
  mMagIsZero = mGainIsZero = false;  // a channel joins or leaves with its own values
}

void TeskEngine::ProcessSpan(const double* const* in, double* const* out, int n) noexcept
{
  SpanArrays& a = mSpan[0];
  const int channels = mChannels;
  double* const inCopy[kMaxChannels] = {a.in[0], a.in[1]};
  double* const dry[kMaxChannels] = {a.dry[0], a.dry[1]};
  double* const one[kMaxChannels] = {a.one[0], a.one[1]};
  double* const two[kMaxChannels] = {a.out[0], a.out[1]};
  // Read the inputs first: a host may hand the same buffers in and out.
  for (int ch = 0; ch < channels; ++ch) std::copy(in[ch], in[ch] + n, a.in[ch]);

  DelayIn1(inCopy, dry, n);                            // 1. dry delay
  MovAvt(a.avg, n);                                    // 2. moving average of S
  StageOneSpan(inCopy, one, dry, a.avg, channels, n);  // 3. stage one
  Delayt(a.avg, n);                                    // 4. delay of the average
  StageTwoSpan(one, two, channels, n);                 // 5. stage two

  // Bypass only replaces the output: the engine above keeps running so that
  // switching it off resumes with fully formed history.
  const bool bypassed = mBypass.load(std::memory_order_relaxed);
  if (!bypassed && mFeed) mFeed->AddWaveform(a.out[0], channels == 2 ? a.out[1] : a.zeros, n);  // 6. waveform
  for (int ch = 0; ch < channels; ++ch)
  {
    const double* result = bypassed ? a.in[ch] : a.out[ch];  // 7. bypass
    std::copy(result, result + n, out[ch]);
  }
}

void TeskEngine::DelayIn1(const double* const* in, double* const* dry, int n) noexcept
{
  for (int ch = 0; ch < mChannels; ++ch)
  {
    int pos = mDryDelayPos;
    for (int t = 0; t < n;)
    {
      // Up to the end of the ring, then around.
      const int run = std::min(n - t, kDelaySlots - pos);
      double* slots = mDryDelay[ch].data() + pos;
      std::copy(slots, slots + run, dry[ch] + t);
      std::copy(in[ch] + t, in[ch] + t + run, slots);
      t += run;
      pos = NextDelaySlot(pos + run - 1);
    }
    mDry[ch] = dry[ch][n - 1];
  }
  mDryDelayPos = (mDryDelayPos + n) % kDelaySlots;
}

void TeskEngine::MovAvt(double* avg, int n) noexcept
{
  // The running sum is updated, never recomputed, so a constant S gives M = S up to
  // the rounding of the sum. S changes only in stage one's frame steps, which end a span.
  const double s = mSensMeasure;
  const auto bitsOf = [](double v) { return std::bit_cast<std::uint64_t>(v); };
  // Every window entry holds s: each sample takes s out of the sum and puts it back.
  // Once that leaves the sum as it is, it stays so, and the entries need no writing.
  const bool steady = mSensAvgSameRun >= kHopSize && bitsOf(mSensAvgSum - s + s) == bitsOf(mSensAvgSum);
  if (steady)
  {
    std::fill(avg, avg + n, mSensAvgSum / kHopSize);
    mSensAvgPos = (mSensAvgPos + n) % kHopSize;
  }
  else
  {
    for (int t = 0; t < n; ++t)
    {
      const double old = mSensAvgWindow[mSensAvgPos];
      mSensAvgWindow[mSensAvgPos] = s;
      mSensAvgSum = mSensAvgSum - old + s;
      if (++mSensAvgPos >= kHopSize) mSensAvgPos = 0;
      avg[t] = mSensAvgSum / kHopSize;
    }
  }
  mSensAvgSameRun = std::min<std::int64_t>(mSensAvgSameRun + n, kHopSize);
  mSensAvg = avg[n - 1];
}

void TeskEngine::Delayt(const double* avg, int n) noexcept
{
  // D of the span's last sample is what its slot held before it takes M. The span is
  // shorter than the ring, so no slot is written twice.
  mSensAvgDelayed = mSensAvgDelay[(mSensAvgDelayPos + n - 1) % kDelaySlots];
  for (int t = 0; t < n;)
  {
    const int run = std::min(n - t, kDelaySlots - mSensAvgDelayPos);
    std::copy(avg + t, avg + t + run, mSensAvgDelay.data() + mSensAvgDelayPos);
    t += run;
    mSensAvgDelayPos = NextDelaySlot(mSensAvgDelayPos + run - 1);
  }
}
