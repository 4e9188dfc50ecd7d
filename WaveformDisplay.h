#pragma once
// The editor's view of the recent signal: a scrolling, mirrored amplitude envelope,
// one pixel column per stored point and newest at the right, filled with a
// translucent grey gradient about a centre line and outlined by two thin polylines,
// with the editor's title image drawn over it. The processor offers one value per
// sample; the display keeps one of every sampleRate / 100 values in a ring of 800
// points.
//
// Threads (the processor reaches it through TeskEditorLink; see the notes there):
// - add, setMaxCountDisplay: audio thread only (a single producer). add writes the
//   ring through relaxed atomics, never locks, never allocates, and instead of
//   pushing the control's parameter it hands off a redraw and one owed push
//   (DisplayHandOff), which the processor pays from OnIdle (TakePendingPushes).
// - RequestClear: any thread (the processor's parameter change). It requests the
//   rewind through the hand-off: drawing honours it at once and the next stored
//   point performs it, so the audio thread stays the ring's only writer. clear adds
//   the push of the control's value: a thread that may call into the plug-in.
// - Draw, IsDirty, setOn2 and the mouse handlers: the editor's thread.

#include <atomic>

#include "DisplayHandOff.h"
#include "IControl.h"
#include "lice_pixel.h"

class WaveformDisplay final : public IControl
{
public:
  static constexpr int kRingSize = 800;

  // The control covers (x, y, x + w, y + h); w columns are drawn. The title image
  // is copied.
  WaveformDisplay(IPlugBase* pPlug, int x, int y, int w, int h, int paramIdx, IBitmap* pTitle,
                  IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~WaveformDisplay() override;

  // --- Operations the engine uses ---
  // One point is kept every sampleRate / 100 values. Audio thread: no allocation, no locks.
  void setMaxCountDisplay(int sampleRate) noexcept;
  // Offers one value; a stored point is limited to -1..1. Audio thread: no allocation, no locks.
  void add(double v) noexcept;
  // Rewinds the write position to slot 0 (the points stay) and pushes the control's
  // value. The editor thread, or a non-audio thread holding the plug-in mutex.
  void clear();
  // The rewind alone, without the push. Any thread: no allocation, no locks.
  void RequestClear() noexcept { mHandOff.RequestClear(); }
  // Points stored since the last call; each stands for one push of the control's
  // value that the processor owes the host. Any thread.
  int TakePendingPushes() noexcept;

  // Fill brightness: factor 1.0 when on, 0.7 when off. Does not mark the control dirty.
  void setOn2(bool on) noexcept;

  // --- Control overrides (the editor's thread) ---
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
  double Factor2() const noexcept { return mFactor2; }

private:
  // Audio thread: the write position, rewound first when a clear is outstanding.
  int ClaimWritePos() noexcept;
  // The fill of one column: greys from the centre line outwards, t = 0 up to below
  // a, mirrored above and below cy. Editor thread.
  void DrawFill(IGraphics* pGraphics, int x, int cy, double a);

  IBitmap mTitle;
  int mX, mY, mW, mHalfH;
  std::atomic<double> mSamples[kRingSize];
  std::atomic<int> mWritePos{0};  // written by the audio thread only
  int mDecimation = 0;
  int mDecimCounter = 0;
  double mFactor2 = 1.0;
  IColor mFillColor;
  IColor mLineColor;
  DisplayHandOff mHandOff;
  static constexpr int kFillChunk = 256;
  LICE_pixel mFillPixels[kFillChunk];  // greys of a stretch of one column's fill; editor thread
};
