#pragma once
// The frame machine both of the engine's stages run: a stereo signal cut into
// kFrames streams of kFrameSize-sample frames, staggered by kFrameSize * 2 / kFrames
// samples, whose processed results are overlap-added.
//
// Each frame has a counter c cycling through 0 .. kCycle - 1 (kCycle = 2 * kFrameSize);
// the counters start at 0, -hop, -2 hop, ... so frame i first runs after i * hop
// samples and the frames stay hop samples apart for ever:
//   c < 0                 idle (only at start-up): adds nothing;
//   0 <= c < kFrameSize   emits the second half of its last result (position
//                         kFrameSize + c) and gathers the input at position c;
//   kFrameSize <= c       emits the first half of its latest result (c - kFrameSize).
// When a frame has gathered kFrameSize samples its frame step runs: it turns the
// gathered samples into the kCycle-sample result in the same buffer.
//
// The machine runs a span of samples at a time: within a span no frame changes
// state, so every active frame emits a contiguous run of its result and gathers a
// contiguous run of input, and the stage's per-sample arithmetic becomes loops over
// arrays. A span ends where a frame changes state (SamplesToNextEvent); the frame
// step of a frame that has just gathered its last sample runs at the end of the span.
// A frame's step touches only its own buffer, so running it after the other frames
// have emitted that sample's values changes nothing.
// Audio thread only (after construction): no allocation, no locks.

#include <array>

#include "AlignedBuffer.h"

template <int kFrameSize, int kFrames>
class OverlapAddFrames final
{
public:
  static constexpr int kCycle = 2 * kFrameSize;  // one frame's period: gather, then emit
  static constexpr int kHop = kCycle / kFrames;  // spacing of the frames
  static_assert(kCycle % kFrames == 0, "the frames must divide the cycle evenly");

  // Constructor thread: every buffer at its final size, zero.
  OverlapAddFrames()
  {
    for (int i = 0; i < kFrames; ++i)
    {
      mL[i] = AlignedBuffer<double>(kCycle);
      mR[i] = AlignedBuffer<double>(kCycle);
    }
    Reset();
  }

  // Empty frames at their starting phases, as constructed. Audio thread (the
  // caller's lock keeps processing out).
  void Reset() noexcept
  {
    for (int i = 0; i < kFrames; ++i)
    {
      mL[i].Clear();
      mR[i].Clear();
      mCounters[i] = -i * kHop;
    }
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

  // n samples, n <= SamplesToNextEvent(). For frames 0, 1, ... in order:
  // emit(xL, xR) with pointers to the frame's n result samples when it is active,
  // then it gathers inL[0..n-1], inR[0..n-1] when it gathers. Then the counters
  // advance, and step(i) runs for the frame that has just gathered its last sample.
  // Audio thread: no allocation, no locks.
  template <class Emit, class Step>
  void Span(int n, const double* inL, const double* inR, Emit&& emit, Step&& step) noexcept
  {
    for (int i = 0; i < kFrames; ++i)
    {
      const int c = mCounters[i];
      double* frameL = mL[i].data();
      double* frameR = mR[i].data();
      if (c >= 0 && c < kFrameSize)
      {
        emit(frameL + kFrameSize + c, frameR + kFrameSize + c);
        for (int t = 0; t < n; ++t)
        {
          frameL[c + t] = inL[t];
          frameR[c + t] = inR[t];
        }
      }
      else if (c >= kFrameSize)
      {
        emit(frameL + c - kFrameSize, frameR + c - kFrameSize);
      }
    }
    for (int i = 0; i < kFrames; ++i)
    {
      const int c = mCounters[i] + n;
      mCounters[i] = c == kCycle ? 0 : c;
      if (c == kFrameSize) step(i);
    }
  }

  // Frame i's buffer: the gathered samples in the first kFrameSize entries, the
  // result in all kCycle entries after its step. Audio thread.
  double* L(int i) noexcept { return mL[i].data(); }
  double* R(int i) noexcept { return mR[i].data(); }
  const double* L(int i) const noexcept { return mL[i].data(); }
  const double* R(int i) const noexcept { return mR[i].data(); }
  int Counter(int i) const noexcept { return mCounters[i]; }

private:
  std::array<int, kFrames> mCounters{};
  std::array<AlignedBuffer<double>, kFrames> mL, mR;
};
