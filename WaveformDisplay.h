#pragma once
// The editor's view of the recent signal: a scrolling, mirrored amplitude envelope,
// one pixel column per stored point and newest at the right, filled with a
// translucent grey gradient about a centre line and outlined by two thin polylines,
// with the editor's title image drawn over it. The processor offers one value per
// sample; the display keeps one of every sampleRate / 100 values in a ring of 800
// points.
//
// Threads:
// - add, setMaxCountDisplay: audio thread only (a single producer). add writes the
//   ring through relaxed atomics, never locks, never allocates, and instead of
//   pushing the control's parameter it raises an atomic redraw flag and counts one
//   pending push, which the processor delivers later from a non-real-time thread
//   (TakePendingPushes).
// - clear: the thread that delivers a parameter change, under the plug-in mutex. It
//   requests the rewind through an atomic sequence: drawing honours it at once and
//   the next stored point performs it, so the audio thread stays the ring's only
//   writer.
// - Draw, IsDirty, setOn1/setOn2 and the mouse handlers: user-interface thread.

#include <atomic>
#include <cstdint>

#include "IControl.h"

class WaveformDisplay final : public IControl
{
public:
  static constexpr int kRingSize = 800;

  // The control covers (x, y, x + w, y + h); w columns are drawn. maxCount is
  // accepted for the layout's sake and not used. The title image is copied.
  WaveformDisplay(IPlugBase* pPlug, int x, int y, int w, int h, int maxCount, int paramIdx, IBitmap* pTitle,
                  IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~WaveformDisplay() override;

  // --- Operations the engine uses ---
  // One point is kept every sampleRate / 100 values. Audio thread: no allocation, no locks.
  void setMaxCountDisplay(int sampleRate) noexcept;
  // Offers one value; a stored point is limited to -1..1. Audio thread: no allocation, no locks.
  void add(double v) noexcept;
  // Rewinds the write position to slot 0 (the points stay) and pushes the control's
  // value. Parameter-change thread, under the plug-in mutex.
  void clear();
  // Points stored since the last call; each stands for one push of the control's
  // value that the processor owes the host. Any thread.
  int TakePendingPushes() noexcept;

  // Fill brightness flags: factor 1.0 when on, 0.7 when off. Neither marks the control dirty.
  void setOn1(bool on) noexcept;
  void setOn2(bool on) noexcept;

  // --- Control overrides (user-interface thread) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;
  // Also reports the points the audio thread stored since the last redraw.
  bool IsDirty() override;

  // --- Inspection ---
  // The write position drawing uses (0 once a rewind is requested).
  int WritePos() const noexcept;
  double Sample(int slot) const noexcept;
  int Decimation() const noexcept { return mDecimation; }
  double Factor1() const noexcept { return mFactor1; }
  double Factor2() const noexcept { return mFactor2; }

private:
  // Audio thread: the write position, rewound first when a clear is outstanding.
  int ClaimWritePos() noexcept;
  void PushFromAnyThread();

  IBitmap mTitle;
  int mX, mY, mW, mHalfH;
  std::atomic<double> mSamples[kRingSize];
  // The audio thread's write position (low 32 bits) and the number of rewinds it
  // has performed (high 32 bits), published together so drawing sees a pair.
  std::atomic<std::uint64_t> mPublished{0};
  std::atomic<std::uint32_t> mClearRequests{0};
  int mDecimation = 0;
  int mDecimCounter = 0;
  bool mOn1 = false, mOn2 = false;
  double mFactor1 = 1.0, mFactor2 = 1.0;
  IColor mFillColor;
  IColor mLineColor;
  std::atomic<bool> mRedrawPending{false};
  std::atomic<int> mPendingPushes{0};
};
