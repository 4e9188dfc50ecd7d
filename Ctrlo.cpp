#include "Ctrlo.h"

Ctrlo::Ctrlo(IPlugBase* pPlug, IRECT rect, int paramIdx)
  : IControl(pPlug, rect, paramIdx)
{
}

Ctrlo::~Ctrlo() = default;

void Ctrlo::OnMouseDown(int, int, IMouseMod*) { SetDirty(true); }
void Ctrlo::OnMouseUp(int, int, IMouseMod*) { SetDirty(true); }
void Ctrlo::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }
void Ctrlo::OnMouseOver(int, int, IMouseMod*) { SetDirty(true); }
void Ctrlo::OnMouseOut() { SetDirty(true); }

void Ctrlo::ApplyHandOff()
{
  if (mHandedOver.exchange(false, std::memory_order_acquire)) mValue = mHandedValue.load(std::memory_order_relaxed);
}

// A holder has nothing to show.
bool Ctrlo::Draw(IGraphics*) { return true; }
