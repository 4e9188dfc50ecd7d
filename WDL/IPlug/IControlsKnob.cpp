// The fader and the knob family: how the mouse moves their value and how they draw it.

#include <cmath>

#include "IControls.h"
#include "IGraphics.h"

// ---- Fader ----

IFaderControl::IFaderControl(IPlugBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                             EDirection direction, bool onlyHandle)
  : IControl(pPlug,
             direction == kHorizontal ? IRECT(x, y, x + len, y + pBitmap->H) : IRECT(x, y, x + pBitmap->W, y + len),
             paramIdx),
    mLen(len),
    mHandleHeadroom(direction == kHorizontal ? pBitmap->W : pBitmap->H),
    mBitmap(*pBitmap),
    mDirection(direction),
    mOnlyHandle(onlyHandle)
{
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = mValue;
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.H);
  const int room = mLen - mHandleHeadroom;
  if (mDirection == kHorizontal)
  {
    const int offset = static_cast<int>(value * room);
    r.L += offset;
    r.R += offset;
  }
  else
  {
    const int offset = static_cast<int>(room * (1.0 - value));
    r.T += offset;
    r.B += offset;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const int room = mLen - mHandleHeadroom;
  // A handle as long as the track (or longer) cannot move: keep the value rather
  // than dividing by zero and pushing a value that is not a number.
  if (room > 0)
  {
    if (mDirection == kHorizontal)
      mValue = static_cast<double>(x - mRECT.L - mHandleHeadroom / 2) / room;
    else
      mValue = 1.0 - static_cast<double>(y - mRECT.T - mHandleHeadroom / 2) / room;
  }
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) { SnapToMouse(x, y); }

bool IFaderControl::IsHit(int x, int y)
{
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}

bool IFaderControl::Draw(IGraphics* pGraphics)
{
  IRECT handle = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

// ---- Knob base ----

IKnobControl::IKnobControl(IPlugBase* pPlug, IRECT rect, int paramIdx, EDirection direction, double gearing,
                           IChannelBlend::EBlendMethod blendMethod)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(blendMethod)),
    mDirection(direction),
    mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* pMod)
{
  double gearing = mGearing;
  if (pMod && (pMod->C || pMod->S)) gearing *= 10.0;  // finer steps
  // Screen y grows downwards, so the vertical extent is negative: moving up raises
  // the value. A knob without extent or gearing has no scale to move by.
  const double extent = (mDirection == kHorizontal) ? mRECT.R - mRECT.L : mRECT.T - mRECT.B;
  if (extent != 0.0 && gearing != 0.0)
  {
    const double delta = (mDirection == kHorizontal) ? dX : dY;
    mValue += delta / extent / gearing;
  }
  SetDirty(true);
}

// ---- Line knob ----

IKnobLineControl::IKnobLineControl(IPlugBase* pPlug, IRECT rect, int paramIdx, const IColor* pColor, double innerRadius,
                                   double outerRadius, double minAngle, double maxAngle, EDirection direction,
                                   double gearing)
  : IKnobControl(pPlug, rect, paramIdx, direction, gearing, IChannelBlend::kBlendClobber),
    mColor(pColor ? *pColor : COLOR_BLACK),
    mMinAngle(static_cast<float>(minAngle)),
    mMaxAngle(static_cast<float>(maxAngle)),
    mInnerRadius(static_cast<float>(innerRadius)),
    mOuterRadius(static_cast<float>(outerRadius))
{
  if (mOuterRadius == 0.0f) mOuterRadius = 0.5f * static_cast<float>(rect.W());
}

bool IKnobLineControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + (mMaxAngle - mMinAngle) * mValue;
  const float cx = mRECT.MW(), cy = mRECT.MH();
  const float dx = static_cast<float>(std::sin(angle)), dy = static_cast<float>(std::cos(angle));
  return pGraphics->DrawLine(&mColor, cx + dx * mInnerRadius, cy - dy * mInnerRadius, cx + dx * mOuterRadius,
                             cy - dy * mOuterRadius, &mBlend, true);
}

// ---- Bitmap knobs ----

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                         double minAngle, double maxAngle, int yOffset, EDirection direction,
                                         double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing),
    mBitmap(*pBitmap),
    mMinAngle(minAngle),
    mMaxAngle(maxAngle),
    mYOffset(yOffset)
{
}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + (mMaxAngle - mMinAngle) * mValue;
  const int cx = (mRECT.L + mRECT.R) / 2, cy = (mRECT.T + mRECT.B) / 2;
  return pGraphics->DrawRotatedBitmap(&mBitmap, cx, cy, angle, mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                     EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing),
    mBitmap(*pBitmap)
{
}

bool IKnobMultiControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, StockControlFrame(mValue, mBitmap.N), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase,
                                                   IBitmap* pMask, IBitmap* pTop, double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBase), paramIdx, direction, gearing),
    mBase(*pBase),
    mMask(*pMask),
    mTop(*pTop),
    mMinAngle(minAngle),
    mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics)
{
  const double angle = mMinAngle + (mMaxAngle - mMinAngle) * mValue;
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
