#pragma once
// The grid the band edges move on, and the marks that hold where the user set them.
//
// A band edge is a fraction of the sample rate. The user sets the edges in steps of
// 1 / kBandGridSteps: the spectrum display's handles travel kBandGridSteps pixels, one
// step each, and the editor maps its pixels to this grid (it never defines it). A
// value set by a host ("Low", "High") lands on the step at or below it.
//
// TeskBandMarks are the two edges on the grid, where the handles stand: "Low" and "High"
// place them, a drag of the handles moves them, and the engine takes its band from them
// whenever the edges are re-read (a change of "FFTDisplay", every shown frame step).
// Header-only and made of lock-free atomics, so an editor built in another library
// (an LV2 UI with instance-access) can share the processor's marks.
//
// Threads: every operation is lock-free and may run on any thread: the
// parameter-change thread places the marks, the editor thread moves them, the audio
// thread reads them. A reader may see one edge moved before the other.

#include <atomic>
#include <cmath>

namespace tesk
{
// Steps of the band grid over the whole 0..1 range.
inline constexpr int kBandGridSteps = 219;
// Marks placed absurdly far outside 0..1 stay this many steps out, so that sums of a
// mark and a drag stay inside int.
inline constexpr int kBandGridFarOutside = 1 << 24;

// The step at or below v on the grid; a value that is not a number is step 0.
inline int BandGridStep(double v) noexcept
{
  if (std::isnan(v)) return 0;
  const double step = std::floor(v * kBandGridSteps);
  if (step <= -kBandGridFarOutside) return -kBandGridFarOutside;
  if (step >= kBandGridFarOutside) return kBandGridFarOutside;
  return static_cast<int>(step);
}

// The band edge a step stands for.
constexpr double BandGridEdge(int step) noexcept { return static_cast<double>(step) / kBandGridSteps; }
}  // namespace tesk

class TeskBandMarks final
{
public:
  // ==== Placing (the parameter-change thread: "Low", "High") ====
  void PlaceLow(double v) noexcept { mLow.store(tesk::BandGridStep(v), std::memory_order_relaxed); }
  void PlaceHigh(double v) noexcept { mHigh.store(tesk::BandGridStep(v), std::memory_order_relaxed); }

  // ==== Moving (the editor thread: a drag of the handles) ====
  void Move(int lowStep, int highStep) noexcept
  {
    mLow.store(lowStep, std::memory_order_relaxed);
    mHigh.store(highStep, std::memory_order_relaxed);
  }

  // ==== Reading (any thread) ====
  int LowStep() const noexcept { return mLow.load(std::memory_order_relaxed); }
  int HighStep() const noexcept { return mHigh.load(std::memory_order_relaxed); }
  double Low() const noexcept { return tesk::BandGridEdge(LowStep()); }
  double High() const noexcept { return tesk::BandGridEdge(HighStep()); }

private:
  // The full band until a host says otherwise.
  std::atomic<int> mLow{0};
  std::atomic<int> mHigh{tesk::kBandGridSteps};
};
