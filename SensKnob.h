#pragma once
// The sensitivity knob: a bitmap knob of stacked frames that shows its value as a
// two-decimal number in a small black box under it while the mouse button is held.
// Vertical drags change the value, 300 pixels covering the whole range.
//
// Threads: the editor's thread only.

#include "IControls.h"

class SensKnob final : public IKnobControl
{
public:
  // The control covers (x, y, x + knob width, y + 90). The knob image (frames stacked
  // vertically) is copied. Direction and gearing are kept by the base and not used.
  SensKnob(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pKnob, EDirection direction = kVertical,
           double gearing = DEFAULT_GEARING);
  ~SensKnob() override;

  // Formats x as "0.ef" ("1.00" for exactly 1) with truncated digits into the value text.
  void double2char(double x);

  // --- Control overrides ---
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;

  // --- Inspection ---
  bool ShowsValue() const noexcept { return mShowValue; }
  const char* ValueText() const noexcept { return mValueText; }
  // The frame (counting from 1) drawn for the current value.
  int FrameState() const noexcept;

private:
  static constexpr int kTextLen = 32;

  IBitmap mKnob;
  bool mShowValue = false;
  char mValueText[kTextLen] = {};
  IText mValueStyle;
};
