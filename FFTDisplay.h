#pragma once
// The editor's spectrum view and the place where the user sets the processed band.
// It shows the recent analysis spectra as a scrolling colour map (one pixel row per
// spectrum, newest at the bottom; one pixel column per position on a stretched,
// log-like frequency axis) and two handle images marking the band's low and high
// edges. Outside the band (inside it when inverted) the map is grey. Dragging a
// handle, or the band between them, moves the edges; the engine reads them back
// through GetLow and GetHigh.
//
// Threads (the processor reaches it through TeskEditorLink; see the notes there):
// - addFFT: audio thread only (a single producer). It writes the history through
//   relaxed atomics, never locks, never allocates, and instead of pushing the
//   control's parameter it hands off a redraw and one owed push (DisplayHandOff),
//   which the processor pays from OnIdle (TakePendingPushes).
// - RequestClear, setxm1, setxm2, mInv: any thread (the processor's parameter
//   change); atomics the editor reads. RequestClear only requests the wipe through
//   the hand-off; the next addFFT performs it, and until then drawing shows the
//   history as wiped, so the audio thread stays the history's only writer. clear
//   adds the push of the control's value: a thread that may call into the plug-in.
// - Draw, IsDirty and the mouse handlers: the editor's thread.
// - GetLow, GetHigh, PlaceLowHandle, PlaceHighHandle: any thread (the handle positions
//   are atomics).
// - The handle listener hears of a drag on the editor's thread.

#include <atomic>
#include <memory>

#include "DisplayHandOff.h"
#include "IControl.h"
#include "lice_pixel.h"

class Ctrlo;

// Told where a drag left the handles, as pixel offsets from the start of their travel,
// before the control pushes its value. Editor thread.
class FFTHandleListener
{
public:
  virtual void HandlesDragged(int lowOffset, int highOffset) noexcept = 0;

protected:
  ~FFTHandleListener() = default;
};

class FFTDisplay final : public IControl
{
public:
  // The colour map's width in a display w pixels wide, and the pixels the handles travel.
  static constexpr int InnerWidth(int w) noexcept { return static_cast<int>(0.95 * w); }
  static constexpr int HandleTravel(int w) noexcept { return w - 2 * ((w - InnerWidth(w)) / 2); }

  // The control covers (x, y, x + w, y + h). maxCount / 2 magnitudes are kept per
  // row. The handle image is copied; its width sets the handles' travel.
  FFTDisplay(IPlugBase* pPlug, Ctrlo* pLowHolder, Ctrlo* pHighHolder, int x, int y, int w, int h, int maxCount,
             int paramIdx, IBitmap handle, IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~FFTDisplay() override;

  // --- Operations the engine uses ---
  // Stores row = (spectrumA + spectrumB) * 5 * 0.5 for the first n bins (at most the
  // row length; n <= 0 stores nothing) and advances the write position.
  // Audio thread: no allocation, no locks.
  void addFFT(const double* spectrumA, const double* spectrumB, int n) noexcept;
  // Wipes every row (the write position stays) and pushes the control's value.
  // The editor thread, or a non-audio thread holding the plug-in mutex.
  void clear();
  // The wipe alone, without the push. Any thread: no allocation, no locks.
  void RequestClear() noexcept { mHandOff.RequestClear(); }
  // Place a handle at the fraction v of its travel (truncated to a pixel). Neither
  // clamps to the travel nor marks the control dirty; a v absurdly far outside 0..1
  // leaves the handle 2^24 pixels out, where its arithmetic stays inside int.
  // Any thread.
  void setxm1(double v) noexcept;
  void setxm2(double v) noexcept;
  // Place a handle offset pixels from the start of its travel (held as setxm1 holds a
  // handle far outside). Any thread.
  void PlaceLowHandle(int offset) noexcept;
  void PlaceHighHandle(int offset) noexcept;
  // Who hears of drags; null for nobody. Set while building the editor.
  void SetHandleListener(FFTHandleListener* pListener) noexcept { mHandleListener = pListener; }
  // The band edges as fractions of the travel. Any thread.
  double GetLow() const noexcept;
  double GetHigh() const noexcept;
  // Spectra stored since the last call; each stands for one push of the control's
  // value that the processor owes the host. Any thread.
  int TakePendingPushes() noexcept;

  // Inverted band: grey inside instead of outside. Written by the processor
  // (TeskEditorLink::ShowInvertedBand) on any thread.
  std::atomic<bool> mInv{false};

  // --- Control overrides (the editor's thread) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;
  // Also reports the spectra the audio thread stored since the last redraw.
  bool IsDirty() override;

  // --- Inspection ---
  int Xm1() const noexcept { return xm1.load(std::memory_order_relaxed); }
  int Xm2() const noexcept { return xm2.load(std::memory_order_relaxed); }
  int XmMin() const noexcept { return mXmMin; }
  int XmMax() const noexcept { return mXmMax; }
  int InnerLeft() const noexcept { return mInnerLeft; }
  int InnerTop() const noexcept { return mInnerTop; }
  int InnerW() const noexcept { return mInnerW; }
  int InnerH() const noexcept { return mInnerH; }
  int RowLength() const noexcept { return mRowLen; }
  double LogStep() const noexcept { return mLogStep; }
  int WritePos() const noexcept { return mWritePos.load(std::memory_order_acquire); }
  // The value drawing sees at bin k of history row r (0 once a wipe is requested).
  double HistoryValue(int row, int k) const noexcept;
  // The bin drawn in column c.
  unsigned ColumnBin(int c) const noexcept;
  bool DragsLow() const noexcept { return mDragLow; }
  bool DragsHigh() const noexcept { return mDragHigh; }
  bool DragsBand() const noexcept { return mDragBand; }

private:
  // Audio thread: performs a wipe that clear requested. No allocation, no locks.
  void ApplyClearRequest() noexcept;
  // The colour of one map pixel for the stored magnitude, grey when greyed.
  void PickColor(double stored, bool greyed) noexcept;
  bool IsGreyed(int x, int low, int high, bool inv) const noexcept;

  Ctrlo* mLowHolder;
  Ctrlo* mHighHolder;
  FFTHandleListener* mHandleListener = nullptr;
  int mW, mH;
  int mInnerLeft, mInnerTop, mInnerW, mInnerH;
  int mMaxCount, mRowLen;
  double mLogStep;
  IColor mPixelColor;
  IBitmap mHandle;
  std::atomic<int> xm1, xm2;
  int mXmMin, mXmMax;
  bool mDragLow = false, mDragHigh = false, mDragBand = false;

  // mInnerH rows of mRowLen magnitudes; the audio thread is the only writer.
  std::unique_ptr<std::atomic<double>[]> mHistory;
  std::unique_ptr<unsigned[]> mColumnBins;   // fixed by the axis, computed once
  std::unique_ptr<LICE_pixel[]> mRowPixels;  // one row of the map as it is drawn; editor thread
  std::atomic<int> mWritePos{0};
  DisplayHandOff mHandOff;
};
