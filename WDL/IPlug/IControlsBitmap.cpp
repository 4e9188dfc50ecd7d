// The panel, the bitmap control and the switches built on it, the invisible switch
// and the radio buttons.

#include <algorithm>
#include <cmath>

#include "IControls.h"
#include "IGraphics.h"

int StockControlFrame(double value, int nFrames) noexcept
{
  if (nFrames < 2) return 1;
  // Limit before converting: a value far outside 0..1 (or not a number) must not
  // overflow the conversion to int.
  const double pos = (nFrames - 1) * value + 0.5;
  if (!(pos >= 0.0)) return 1;
  if (pos >= nFrames) return nFrames;
  return std::min(static_cast<int>(pos) + 1, nFrames);
}

// ---- Panel ----

IPanelControl::IPanelControl(IPlugBase* pPlug, IRECT rect, const IColor* pColor)
  : IControl(pPlug, rect),
    mColor(pColor ? *pColor : COLOR_BLACK)
{
}

bool IPanelControl::Draw(IGraphics* pGraphics) { return pGraphics->FillIRect(&mColor, &mRECT, &mBlend); }

// ---- Bitmap and switches ----

IBitmapControl::IBitmapControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
  : IControl(pPlug, IRECT(x, y, pBitmap), paramIdx, IChannelBlend(blendMethod)),
    mBitmap(*pBitmap)
{
}

bool IBitmapControl::Draw(IGraphics* pGraphics)
{
  const int frame = StockControlFrame(mValue, mBitmap.N);
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, frame, &mBlend);
}

ISwitchControl::ISwitchControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
  : IBitmapControl(pPlug, x, y, paramIdx, pBitmap, blendMethod)
{
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue += (mBitmap.N < 2) ? 1.0 : 1.0 / (mBitmap.N - 1);
  // The tolerance absorbs the rounding of many small steps, so the last frame is
  // still reached before wrapping.
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }

IContactControl::IContactControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                 IChannelBlend::EBlendMethod blendMethod)
  : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod)
{
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                             IRECT targetArea, IChannelBlend::EBlendMethod blendMethod)
  : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod),
    mTargetArea(targetArea)
{
}

bool IBitmapOverlayControl::Draw(IGraphics* pGraphics)
{
  if (mValue < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;  // nothing to show while off
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}

// ---- Invisible switch ----

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* pPlug, IRECT rect, int paramIdx)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber))
{
  DisablePrompt(true);
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue = (mValue < 0.5) ? 1.0 : 0.0;
  SetDirty(true);
}

bool IInvisibleSwitchControl::Draw(IGraphics*) { return true; }

// ---- Radio buttons ----

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* pPlug, IRECT rect, int paramIdx, int nButtons, IBitmap* pBitmap,
                                           EDirection direction, bool reverse)
  : IControl(pPlug, rect, paramIdx),
    mRECTs(4096),
    mBitmap(*pBitmap)
{
  if (nButtons < 1) return;
  const int frameH = static_cast<int>(static_cast<double>(mBitmap.H) / std::max(mBitmap.N, 1));
  if (nButtons == 1)
  {
    // A single button needs no gap: it sits in the rectangle's top left corner.
    mRECTs.Add(IRECT(rect.L, rect.T, rect.L + mBitmap.W, rect.T + frameH));
    return;
  }
  if (direction == kHorizontal)
    LayOutHorizontal(nButtons, reverse, frameH);
  else
    LayOutVertical(nButtons, reverse, frameH);
}

void IRadioButtonsControl::LayOutVertical(int n, bool reverse, int frameH)
{
  const double gap = static_cast<double>(mRECT.H() - n * frameH) / (n - 1);
  const int step = static_cast<int>(gap);
  if (!reverse)
  {
    for (int i = 0, y = mRECT.T; i < n; ++i, y += frameH + step)
      mRECTs.Add(IRECT(mRECT.L, y, mRECT.L + mBitmap.W, y + frameH));
    return;
  }
  // Reversed is the mirror image: the first button sits on the bottom edge, so the
  // last one ends on the top edge rather than one gap above the rectangle.
  for (int i = 0, bottom = mRECT.B; i < n; ++i, bottom -= frameH + step)
    mRECTs.Add(IRECT(mRECT.L, bottom - frameH, mRECT.L + mBitmap.W, bottom));
}

void IRadioButtonsControl::LayOutHorizontal(int n, bool reverse, int frameH)
{
  const int gap = static_cast<int>(static_cast<double>(mRECT.W() - n * mBitmap.W) / (n - 1));
  if (!reverse)
  {
    for (int i = 0, x = mRECT.L; i < n; ++i, x += gap + mBitmap.W)
      mRECTs.Add(IRECT(x, mRECT.T, x + mBitmap.W, mRECT.T + frameH));
    return;
  }
  // Mirrored from the right edge, so the last button ends on the left edge.
  for (int i = 0, x = mRECT.R - mBitmap.W; i < n; ++i, x -= gap + mBitmap.W)
    mRECTs.Add(IRECT(x, mRECT.T, x + mBitmap.W, mRECT.T + frameH));
}

const IRECT* IRadioButtonsControl::GetButtonRECT(int i) const noexcept
{
  return (i >= 0 && i < mRECTs.GetSize()) ? mRECTs.Get() + i : nullptr;
}

int IRadioButtonsControl::ActiveButton() const noexcept
{
  const int n = mRECTs.GetSize();
  if (n < 2) return 0;
  const double pos = (n - 1) * mValue + 0.5;
  if (!(pos >= 0.0)) return 0;
  return std::min(static_cast<int>(std::min(pos, static_cast<double>(n))), n - 1);
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    PromptUserInput();
    return;
  }
  const int n = mRECTs.GetSize();
  for (int i = 0; i < n; ++i)
  {
    if (mRECTs.Get()[i].Contains(x, y))
    {
      mValue = (n < 2) ? 0.0 : static_cast<double>(i) / (n - 1);
      break;
    }
  }
  // A press between the buttons still resends the value, as the host expects a
  // change for every press between its begin and end notifications.
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics)
{
  const int active = ActiveButton();
  bool ok = true;
  for (int i = 0; i < mRECTs.GetSize(); ++i)
    ok = pGraphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, (i == active) ? 2 : 1, &mBlend) && ok;
  return ok;
}
