#pragma once
// An invisible holder of a value bound to a parameter. The spectrum display writes
// the band edges into two of these while the user drags; they draw nothing and,
// with their empty rectangle, the mouse never reaches them.
//
// Threads: the editor thread writes the value (the display's drags, SetValue); the
// processor's band edges (TeskEditorLink::ShowBandEdges) from another thread are handed
// over (HandOffValue) and stored on the editor's next timer tick.

#include <atomic>

#include "IControl.h"

class Ctrlo final : public IControl
{
public:
  Ctrlo(IPlugBase* pPlug, IRECT rect, int paramIdx);
  ~Ctrlo() override;

  // Stores v unchanged: no clamping, no redraw, no push. Editor thread; a value handed
  // over earlier gives way to this one.
  void SetValue(double v) noexcept
  {
    mHandedOver.store(false, std::memory_order_relaxed);
    mValue = v;
  }
  // Any thread, lock-free: v is stored as SetValue stores it at the editor's next timer
  // tick; a later value handed over before then replaces it.
  void HandOffValue(double v) noexcept
  {
    mHandedValue.store(v, std::memory_order_relaxed);
    mHandedOver.store(true, std::memory_order_release);
  }
  // The value handed over since the last tick, if any.
  void ApplyHandOff() override;

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;

private:
  std::atomic<double> mHandedValue{0.0};
  std::atomic<bool> mHandedOver{false};
};
