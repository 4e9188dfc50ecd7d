#pragma once
// The frame machine both of the engine's stages run: a signal of one or two channels
// cut into kFrames streams of kFrameSize-sample frames, staggered by
// kFrameSize * 2 / kFrames samples, whose processed results are overlap-added.
//
// Each frame has a counter c cycling through 0 .. kCycle - 1 (kCycle = 2 * kFrameSize);
// the counters start at 0, -hop, -2 hop, ... so frame i first runs after i * hop
// samples and the frames stay hop samples apart for ever:
//   c < 0                 idle (only at start-up): adds nothing;
//   0 <= c < kFrameSize   emits the second half of its last result (position
//                         kFrameSize + c) and gathers the input at position c;
//   kFrameSize <= c       emits the first half of its latest result (c - kFrameSize).
// When a frame has gathered kFrameSize samples its frame step runs: it turns the
// gathered samples into the kCycle-sample result in the same buffer. The result's
// first sample is emitted at the very next sample, so a frame step has no time to
// spare: everything it computes from the gathered samples is needed at once.
//
// The machine runs a span of samples at a time: within a span no frame changes
// state, so every active frame emits a contiguous run of its result and gathers a
// contiguous run of input, and the stage's per-sample arithmetic becomes loops over
// arrays. A span ends where a frame changes state (SamplesToNextEvent); the frame
// step of a frame that has just gathered its last sample runs at the end of the span.
// A frame's step touches only its own buffer, so running it after the other frames
// have emitted that sample's values changes nothing.
//
// Silence: the machine counts the zero samples (+0 or -0 on every channel in use) that
// ended its input, so a step knows when its frame gathered nothing else, and it keeps
// for each frame whether the step left a result of zeros, so a span knows when every
// frame emits zeros. Before any input the history counts as silent: the buffers start
// at zero.
// Audio thread only (after construction): no allocation, no locks.

#include <array>
#include <cstdint>
#include <cstring>

#include "AlignedBuffer.h"

template <int kFrameSize, int kFrames>
class OverlapAddFrames final
{
public:
  static constexpr int kCycle = 2 * kFrameSize;  // one frame's period: gather, then emit
  static constexpr int kHop = kCycle / kFrames;  // spacing of the frames
  static constexpr int kMaxChannels = 2;
  static_assert(kCycle % kFrames == 0, "the frames must divide the cycle evenly");

  // The frames that emit during a span, in frame order: where each one's result samples
  // for the span start, per channel, and whether every one of them emits zeros.
  struct Emitters
  {
    int count = 0;
    const double* x[kMaxChannels][kFrames] = {};
    bool silent = true;
  };

  // Constructor thread: every buffer at its final size, zero.
  OverlapAddFrames()
  {
    for (int ch = 0; ch < kMaxChannels; ++ch)
      for (int i = 0; i < kFrames; ++i) mBuffers[ch][i] = AlignedBuffer<double>(kCycle);
    Reset();
  }

  // Empty frames at their starting phases, as constructed. Audio thread (the
  // caller's lock keeps processing out).
  void Reset() noexcept
  {
    for (int ch = 0; ch < kMaxChannels; ++ch) ClearChannel(ch);
    for (int i = 0; i < kFrames; ++i)
    {
      mCounters[i] = -i * kHop;
      mSilentResult[i] = true;
    }
    mZeroRun = kSilentSinceStart;
  }

  // Zeroes one channel's buffers, as if it had only ever gathered silence. The other
  // channel keeps its history. Audio thread: no allocation, no locks.
  void ClearChannel(int ch) noexcept
  {
    for (int i = 0; i < kFrames; ++i) mBuffers[ch][i].Clear();
  }

  // Samples until the next frame changes state (starts, steps or starts gathering
  // again); at least 1. Audio thread: no allocation, no locks.
  int SamplesToNextEvent() const noexcept
  {
    int n = kCycle;
    for (int c : mCounters)
    {
      const int d = c < 0 ? -c : (c < kFrameSize ? kFrameSize - c : kCycle - c);
      if (d < n) n = d;
    }
    return n;
  }

  // Samples until the next frame step (the last of them included): the frame that
  // gathers next reaches kFrameSize. Audio thread: no allocation, no locks.
  int SamplesToNextStep() const noexcept
  {
    int n = kCycle + kFrameSize;
    for (int c : mCounters)
    {
      const int d = c < kFrameSize ? kFrameSize - c : kCycle - c + kFrameSize;
      if (d < n) n = d;
    }
    return n;
  }

  // n samples of `channels` channels, n <= SamplesToNextEvent(): mix(emitters) runs
  // once with the frames that emit (in frame order), then the gathering frames take
  // in[ch][0..n-1], then the counters advance, and for the frame that has just
  // gathered its last sample step(i, gatheredSilence) runs, gatheredSilence telling
  // that all it gathered is zeros; it returns whether it left a result of zeros.
  // Audio thread: no allocation, no locks.
  template <class Mix, class Step>
  void Span(int n, int channels, const double* const* in, Mix&& mix, Step&& step) noexcept
  {
    Emitters emitters;
    for (int i = 0; i < kFrames; ++i)
    {
      const int c = mCounters[i];
      if (c < 0) continue;
      const int from = c < kFrameSize ? kFrameSize + c : c - kFrameSize;
      for (int ch = 0; ch < channels; ++ch) emitters.x[ch][emitters.count] = mBuffers[ch][i].data() + from;
      emitters.silent = emitters.silent && mSilentResult[i];
      ++emitters.count;
    }
    mix(static_cast<const Emitters&>(emitters));

    for (int i = 0; i < kFrames; ++i)
    {
      const int c = mCounters[i];
      if (c < 0 || c >= kFrameSize) continue;
      for (int ch = 0; ch < channels; ++ch)
        std::memcpy(mBuffers[ch][i].data() + c, in[ch], static_cast<std::size_t>(n) * sizeof(double));
    }
    CountZeros(n, channels, in);

    for (int i = 0; i < kFrames; ++i)
    {
      const int c = mCounters[i] + n;
      mCounters[i] = c == kCycle ? 0 : c;
      if (c == kFrameSize) mSilentResult[i] = step(i, mZeroRun >= kFrameSize);
    }
  }

  // Whether frame i's last result was zeros (during its step: the result before the
  // one being made). Audio thread.
  bool ResultIsSilent(int i) const noexcept { return mSilentResult[i]; }

  // Frame i's buffer on channel ch: the gathered samples in the first kFrameSize
  // entries, the result in all kCycle entries after its step. Audio thread.
  double* Buffer(int ch, int i) noexcept { return mBuffers[ch][i].data(); }
  const double* Buffer(int ch, int i) const noexcept { return mBuffers[ch][i].data(); }
  int Counter(int i) const noexcept { return mCounters[i]; }
  // The zero samples that ended the input so far (large before any input).
  std::int64_t ZeroRun() const noexcept { return mZeroRun; }

  // Whether every sample of x[0..n-1] is +0 or -0. Audio thread: no allocation, no locks.
  static bool AllZero(const double* x, int n) noexcept
  {
    std::uint64_t bits = 0;
    for (int t = 0; t < n; ++t)
    {
      std::uint64_t b;
      std::memcpy(&b, x + t, sizeof b);
      bits |= b << 1;  // the sign bit does not count
    }
    return bits == 0;
  }

private:
  // Long enough for any question the stages ask, short enough never to overflow.
  static constexpr std::int64_t kSilentSinceStart = std::int64_t{1} << 40;

  void CountZeros(int n, int channels, const double* const* in) noexcept
  {
    bool allZero = true;
    for (int ch = 0; ch < channels; ++ch) allZero = allZero && AllZero(in[ch], n);
    if (allZero)
    {
      mZeroRun = mZeroRun + n < kSilentSinceStart ? mZeroRun + n : kSilentSinceStart;
      return;
    }
    int run = 0;
    for (; run < n; ++run)
    {
      bool zero = true;
      for (int ch = 0; ch < channels; ++ch) zero = zero && in[ch][n - 1 - run] == 0.0;
      if (!zero) break;
    }
    mZeroRun = run;
  }

  std::array<int, kFrames> mCounters{};
  std::array<bool, kFrames> mSilentResult{};
  std::int64_t mZeroRun = 0;
  std::array<std::array<AlignedBuffer<double>, kFrames>, kMaxChannels> mBuffers;
};
