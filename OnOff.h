#pragma once
// A two-image toggle switch. A release on it flips it and pushes 1 or 0; the
// processor also sets its on flag directly when the switch's parameter changes.
//
// Threads: the editor thread, except the processor's writes of mOn (through
// TeskEditorLink::ShowSwitch) on any thread; mOn is an atomic.

#include <atomic>

#include "IControl.h"

class OnOff final : public IControl
{
public:
  // Both images (two frames stacked vertically) are copied; the switch starts on.
  OnOff(IPlugBase* pPlug, IRECT rect, int paramIdx, IBitmap* pOnImage, IBitmap* pOffImage,
        IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));
  ~OnOff() override;

  // value := v, on := v > 0.5, then marks dirty and pushes.
  virtual void SetValue(double v);

  // The switch is on. Written by the processor (TeskEditorLink::ShowSwitch).
  std::atomic<bool> mOn{true};

  // --- Control overrides (the editor's thread) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mOnImage;
  IBitmap mOffImage;
};
