#pragma once
// An invisible holder of a value bound to a parameter. The spectrum display writes
// the band edges into two of these while the user drags; they draw nothing and,
// with their empty rectangle, the mouse never reaches them.
//
// Threads: the editor's thread (the display's drags) and the parameter-change
// thread under the plug-in mutex (TeskEditorLink::ShowBandEdges).

#include "IControl.h"

class Ctrlo final : public IControl
{
public:
  Ctrlo(IPlugBase* pPlug, IRECT rect, int paramIdx);
  ~Ctrlo() override;

  // Stores v unchanged: no clamping, no redraw, no push.
  void SetValue(double v) noexcept { mValue = v; }

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  void OnMouseOver(int x, int y, IMouseMod* pMod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* pGraphics) override;
};
