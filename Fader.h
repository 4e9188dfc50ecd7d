#pragma once
// A vertical slider drawn as one handle image over the background's track, with the
// value printed under it as a whole percentage followed by a separate "%" sign.
//
// Threads: the editor thread, except RequestRefresh, which the processor calls
// (through TeskEditorLink::RefreshFader) from any other thread: the refresh then
// happens on the editor's next timer tick (ApplyHandOff). The handle position and "%"
// shift are atomics, read by inspection from any thread.

#include <atomic>

#include "IControl.h"

class Fader final : public IControl
{
public:
  // The control covers (x, y, x + 35, y + 245) whatever the image's size; the
  // handle's top edge travels between y + travelTop and y + travelBottom, its left
  // edge handleX pixels right of x. The handle image is copied.
  Fader(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pHandle, int handleX, int travelTop, int travelBottom,
        IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~Fader() override;

  // --- Operations the editor and the engine use ---
  // Sets the value and refreshes handle and text; does not mark the control dirty.
  // A value far outside 0..1 leaves the handle at most 2^24 pixels out.
  void SetValue(double v);
  // Refreshes handle and text from the current value (set by the graphics host).
  void updatev();
  // Any thread, lock-free: updatev at the editor's next timer tick, after the graphics
  // host has applied the values handed over with it.
  void RequestRefresh() noexcept { mRefreshRequested.store(true, std::memory_order_release); }
  // A refresh requested since the last tick, if any.
  void ApplyHandOff() override;
  // Writes the decimal text of n (at most 12 characters with the NUL) into buffer
  // and keeps it as the value text.
  void int2char(char* buffer, int n);

  // --- Control overrides (the editor's thread) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;

  // --- Inspection ---
  int HandleY() const noexcept { return mHandleY.load(std::memory_order_relaxed); }
  int MinY() const noexcept { return mMinY; }
  int MaxY() const noexcept { return mMaxY; }
  int TextOffset() const noexcept { return mTextOffset.load(std::memory_order_relaxed); }
  const char* ValueText() const noexcept { return mValueText; }
  bool IsDragging() const noexcept { return mDragging; }

private:
  static constexpr int kTextLen = 12;  // "-2147483648" and its NUL

  // Percentage text, "%" shift and handle position for the value v.
  void Refresh(double v);

  IBitmap mHandle;
  int mHandleX;
  int mMinY, mMaxY;
  std::atomic<int> mHandleY;
  bool mDragging = false;
  char mValueText[kTextLen] = {};
  std::atomic<int> mTextOffset{0};
  std::atomic<bool> mRefreshRequested{false};
  IText mValueStyle;
};
