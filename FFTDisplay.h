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
// - Its history (addFFT, AddSummedSpectrum, SkipRows, Wipe), Draw, the mouse handlers
//   and ApplyHandOff: the editor's thread only. On the editor's timer ApplyHandOff
//   drains the processor's display feed (TeskDisplayFeed) into the history: the
//   spectra stored since the last tick, in order, and the clears between them. So the
//   audio thread never touches the display.
// - setxm1, setxm2, PlaceLowHandle, PlaceHighHandle, GetLow, GetHigh, mInv: any thread
//   (the handle positions and the flag are atomics the editor reads).
// - The handle listener hears of a drag on the editor's thread.

#include <atomic>
#include <cstdint>
#include <memory>

#include "IControl.h"
#include "lice_pixel.h"

class Ctrlo;
class TeskDisplayFeed;

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

  // --- The history (editor thread) ---
  // Stores row = (spectrumA + spectrumB) * 5 * 0.5 for the first n bins (at most the
  // row length; n <= 0 stores nothing) and advances the write position.
  void addFFT(const double* spectrumA, const double* spectrumB, int n) noexcept;
  // The same for a spectrum already summed: row = sums * 5 * 0.5.
  void AddSummedSpectrum(const double* sums, int n) noexcept;
  // Advances the write position by n rows without storing (rows that were wiped).
  void SkipRows(std::uint64_t n) noexcept;
  // Zeroes every row; the write position stays.
  void Wipe() noexcept;
  // The feed ApplyHandOff drains; null for none. Set while building the editor.
  void SetFeed(const TeskDisplayFeed* pFeed);

  // --- The band handles (any thread) ---
  // Place a handle at the fraction v of its travel (truncated to a pixel). Neither
  // clamps to the travel nor marks the control dirty; a v absurdly far outside 0..1
  // leaves the handle 2^24 pixels out, where its arithmetic stays inside int.
  void setxm1(double v) noexcept;
  void setxm2(double v) noexcept;
  // Place a handle offset pixels from the start of its travel (held as setxm1 holds a
  // handle far outside).
  void PlaceLowHandle(int offset) noexcept;
  void PlaceHighHandle(int offset) noexcept;
  // Who hears of drags; null for nobody. Set while building the editor.
  void SetHandleListener(FFTHandleListener* pListener) noexcept { mHandleListener = pListener; }
  // The band edges as fractions of the travel.
  double GetLow() const noexcept;
  double GetHigh() const noexcept;

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
  // The spectra and clears the feed holds since the last tick.
  void ApplyHandOff() override;

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
  int WritePos() const noexcept { return mWritePos; }
  // The value drawing sees at bin k of history row r.
  double HistoryValue(int row, int k) const noexcept;
  // The bin drawn in column c.
  unsigned ColumnBin(int c) const noexcept;
  bool DragsLow() const noexcept { return mDragLow; }
  bool DragsHigh() const noexcept { return mDragHigh; }
  bool DragsBand() const noexcept { return mDragBand; }

private:
  // Editor thread: the feed's spectra and clears since the last call.
  void DrainFeed() noexcept;
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

  // mInnerH rows of mRowLen magnitudes and the row the next spectrum takes.
  std::unique_ptr<double[]> mHistory;
  int mWritePos = 0;
  std::unique_ptr<unsigned[]> mColumnBins;   // fixed by the axis, computed once
  std::unique_ptr<LICE_pixel[]> mRowPixels;  // one row of the map as it is drawn

  // Draining the feed: the spectra taken so far (by number), the clear last followed,
  // whether a requested clear shows as a wipe already, and one spectrum's sums.
  const TeskDisplayFeed* mFeed = nullptr;
  std::uint64_t mSpectraSeen = 0, mWipedBefore = 0;
  bool mShowsPendingClear = false;
  std::unique_ptr<double[]> mFeedRow;
};
