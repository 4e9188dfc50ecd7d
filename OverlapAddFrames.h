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
// The stage supplies what an emitted sample does and what a frame step does, as
// callables inlined into Run: the machine costs nothing over writing it out.
// Audio thread only (after construction): no allocation, no locks.

#include <array>
#include <vector>

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
      mL[i].assign(kCycle, 0.0);
      mR[i].assign(kCycle, 0.0);
      mCounters[i] = -i * kHop;
    }
  }

  // One sample. For frames 0, 1, ... in order: emit(xL, xR) with the frame's result
  // samples when it is active, then the input is gathered, the counter advances, and
  // step(i) runs when frame i has just gathered its last sample.
  // Audio thread: no allocation, no locks.
  template <class Emit, class Step>
  void Run(double inL, double inR, Emit&& emit, Step&& step) noexcept
  {
    for (int i = 0; i < kFrames; ++i)
    {
      int c = mCounters[i];
      double* frameL = mL[i].data();
      double* frameR = mR[i].data();
      if (c >= 0 && c < kFrameSize)
      {
        emit(frameL[kFrameSize + c], frameR[kFrameSize + c]);
        frameL[c] = inL;
        frameR[c] = inR;
      }
      else if (c >= kFrameSize && c < kCycle)
      {
        emit(frameL[c - kFrameSize], frameR[c - kFrameSize]);
      }
      mCounters[i] = ++c;
      if (c == kFrameSize) step(i);
      if (c == kCycle) mCounters[i] = 0;
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
  std::array<std::vector<double>, kFrames> mL, mR;
};
