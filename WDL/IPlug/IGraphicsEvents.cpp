// Mouse and key routing of the graphics host: the hit search, mouse capture
// between press and release, hover tracking and the key catcher.

#include "IControl.h"
#include "IGraphics.h"
#include "IPlugBase.h"

void IGraphics::ReleaseMouseCapture() noexcept
{
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}

// Later-attached controls cover earlier ones, so the search runs backwards.
int IGraphics::GetMouseControlIdx(int x, int y, bool mo)
{
  for (int i = NControls() - 1; i >= 0; --i)
  {
    IControl* pControl = GetControl(i);
    if (pControl->IsHidden()) continue;
    const bool grayBlocks = pControl->IsGrayed() && !(mo && pControl->GetMOWhenGrayed());
    if (!grayBlocks && pControl->IsHit(x, y)) return i;
  }
  return -1;
}

int IGraphics::CapturedOrHitControl(int x, int y)
{
  if (mMouseCapture >= 0 && mMouseCapture < NControls()) return mMouseCapture;
  return GetMouseControlIdx(x, y);
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* pControl = GetControl(c);
  pControl->OnMouseDown(x, y, pMod);
  // The control may have rebuilt the editor (a resize) from its handler.
  if (GetControl(c) != pControl) return;
  if (const int paramIdx = pControl->ParamIdx(); paramIdx >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  const int c = CapturedOrHitControl(x, y);
  ReleaseMouseCapture();
  if (c < 0) return;
  IControl* pControl = GetControl(c);
  pControl->OnMouseUp(x, y, pMod);
  if (GetControl(c) != pControl) return;
  if (const int paramIdx = pControl->ParamIdx(); paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod)
{
  if (mMouseCapture < 0 || mMouseCapture >= NControls()) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  GetControl(mMouseCapture)->OnMouseDrag(x, y, dX, dY, pMod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return false;
  IControl* pControl = GetControl(c);
  if (pControl->GetDblAsSingleClick())
  {
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    pControl->OnMouseDown(x, y, pMod);
    return true;
  }
  pControl->OnMouseDblClick(x, y, pMod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  const int c = CapturedOrHitControl(x, y);
  if (c >= 0) GetControl(c)->OnMouseWheel(x, y, pMod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod)
{
  if (!mHandleMouseOver) return false;
  const int c = (mMouseCapture >= 0 && mMouseCapture < NControls()) ? mMouseCapture : GetMouseControlIdx(x, y, true);
  if (c < 0) return true;
  mMouseX = x;
  mMouseY = y;
  GetControl(c)->OnMouseOver(x, y, pMod);
  // A stale index (the editor was rebuilt since) names no control to leave.
  if (mMouseOver >= 0 && mMouseOver != c)
    if (IControl* pPrevious = GetControl(mMouseOver)) pPrevious->OnMouseOut();
  mMouseOver = c;
  return true;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < NControls(); ++i) GetControl(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int c = CapturedOrHitControl(x, y);
  if (c >= 1) return GetControl(c)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}
