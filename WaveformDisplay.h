#pragma once
// The editor's view of the recent signal: a scrolling, mirrored amplitude envelope,
// one pixel column per point and newest at the right, filled with a translucent grey
// gradient about a centre line and outlined by two thin polylines, with the editor's
// title image drawn over it. It shows the ring of points the processor's display feed
// keeps (TeskDisplayFeed: one point of every sampleRate / 100 values, 800 points).
//
// Threads: everything here runs on the editor's thread. On the editor's timer
// ApplyHandOff copies the feed's ring and write position when they changed, so the
// audio thread never touches the display.

#include <cstdint>

#include "IControl.h"
#include "TeskDisplayFeed.h"
#include "lice_pixel.h"

class WaveformDisplay final : public IControl
{
public:
  static constexpr int kRingSize = TeskDisplayFeed::kWaveformPoints;

  // The control covers (x, y, x + w, y + h); w columns are drawn. The title image
  // is copied.
  WaveformDisplay(IPlugBase* pPlug, int x, int y, int w, int h, int paramIdx, IBitmap* pTitle,
                  IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~WaveformDisplay() override;

  // --- The points ---
  // Shows the ring points (kRingSize values, each within -1..1) whose next point goes
  // to slot writePos.
  void ShowPoints(const double* points, int writePos) noexcept;
  // The feed ApplyHandOff copies; null for none. Set while building the editor.
  void SetFeed(const TeskDisplayFeed* pFeed) noexcept { mFeed = pFeed; }

  // Fill brightness: factor 1.0 when on, 0.7 when off. Does not mark the control dirty.
  void setOn2(bool on) noexcept;

  // --- Control overrides (the editor's thread) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;
  // The feed's ring, when it changed since the last tick.
  void ApplyHandOff() override;

  // --- Inspection ---
  // The slot the next point takes.
  int WritePos() const noexcept { return mWritePos; }
  double Sample(int slot) const noexcept;
  double Factor2() const noexcept { return mFactor2; }

private:
  // The fill of one column: greys from the centre line outwards, t = 0 up to below
  // a, mirrored above and below cy. Editor thread.
  void DrawFill(IGraphics* pGraphics, int x, int cy, double a);

  IBitmap mTitle;
  int mX, mY, mW, mHalfH;
  double mSamples[kRingSize] = {};
  int mWritePos = 0;
  double mFactor2 = 1.0;
  IColor mFillColor;
  IColor mLineColor;
  // The feed and what of it is shown: its count of points and whether a rewind waits.
  const TeskDisplayFeed* mFeed = nullptr;
  std::uint64_t mPointsSeen = 0;
  bool mShowsPendingClear = false;
  static constexpr int kFillChunk = 256;
  LICE_pixel mFillPixels[kFillChunk];  // greys of a stretch of one column's fill; editor thread
};
