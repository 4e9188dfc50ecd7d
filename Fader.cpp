#include "Fader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "IGraphics.h"
#include "IPlugUtilities.h"

namespace
{
constexpr int kWidth = 35;
constexpr int kHeight = 245;

// A value far outside 0..1 puts the handle at most this far from the origin, so its
// rectangle and the press test stay inside int.
constexpr int kFarOutside = 1 << 24;
}  // namespace

Fader::Fader(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pHandle, int handleX, int travelTop,
             int travelBottom, IChannelBlend blend)
  : IControl(pPlug, IRECT(x, y, x + kWidth, y + kHeight), paramIdx, blend),
    mHandle(pHandle ? *pHandle : IBitmap()),
    mHandleX(handleX),
    mMinY(y + travelTop),
    mMaxY(y + travelBottom),
    mHandleY(y + travelBottom),
    mValueStyle(12, &COLOR_WHITE, "Monaco")
{
}

Fader::~Fader() = default;

void Fader::SetValue(double v)
{
  mValue = v;
  Refresh(v);
}

void Fader::updatev() { Refresh(mValue); }

void Fader::ApplyHandOff()
{
  if (mRefreshRequested.exchange(false, std::memory_order_acquire)) updatev();
}

void Fader::int2char(char* buffer, int n)
{
  const int len = std::snprintf(buffer, kTextLen, "%d", n);
  // Only what was written: the caller's buffer may be just long enough for the text.
  std::memcpy(mValueText, buffer, static_cast<size_t>(len) + 1);
}

void Fader::Refresh(double v)
{
  const int percent = TruncateToInt(v * 100.0);
  mTextOffset.store(percent == 100 ? 3 : (percent <= 9 ? -8 : 0), std::memory_order_relaxed);
  char buffer[kTextLen];
  int2char(buffer, percent);
  mHandleY.store(std::clamp(TruncateToInt(mMaxY - (mMaxY - mMinY) * v), -kFarOutside, kFarOutside),
                 std::memory_order_relaxed);
}

bool Fader::Draw(IGraphics* pGraphics)
{
  const int L = mRECT.L, T = mRECT.T;
  const int handleY = HandleY();
  IRECT handle(L + mHandleX, handleY, L + mHandleX + mHandle.W, handleY + mHandle.H);
  pGraphics->DrawBitmap(&mHandle, &handle, 0, 0, &mBlend);

  char text[kTextLen];
  std::memcpy(text, mValueText, kTextLen);
  text[kTextLen - 1] = '\0';
  IRECT digits(L + 2, T + 221, L + 40, T + 235);
  pGraphics->DrawIText(&mValueStyle, text, &digits);
  // Reaches past the control's right and bottom edges so the sign is never cut.
  IRECT percent(L + TextOffset() + 2, T + 222, L + 70, T + 255);
  pGraphics->DrawIText(&mValueStyle, "%", &percent);
  return true;
}

// Only a press strictly inside the handle's height grabs it; x is not tested.
void Fader::OnMouseDown(int, int y, IMouseMod*)
{
  const int handleY = HandleY();
  mDragging = handleY < y && y < handleY + mHandle.H;
  SetDirty(true);
}

// Even without a grab the value snaps to the handle's pixel position and is pushed.
void Fader::OnMouseDrag(int, int, int, int dY, IMouseMod*)
{
  int handleY = HandleY();
  if (mDragging)
  {
    handleY += dY;
    if (handleY < mMinY) handleY = mMinY;
    if (handleY > mMaxY) handleY = mMaxY;
    mHandleY.store(handleY, std::memory_order_relaxed);
  }
  // A travel of zero pixels has no position to read a value from.
  if (mMaxY != mMinY) mValue = 1.0 - static_cast<double>(handleY - mMinY) / static_cast<double>(mMaxY - mMinY);
  Refresh(mValue);
  SetDirty(true);
}

void Fader::OnMouseUp(int, int, IMouseMod*)
{
  mDragging = false;
  SetDirty(true);
}

void Fader::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }
void Fader::OnMouseOver(int, int, IMouseMod*) { SetDirty(true); }
void Fader::OnMouseOut() { SetDirty(true); }
