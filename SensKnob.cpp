#include "SensKnob.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "IGraphics.h"
#include "IPlugUtilities.h"

namespace
{
constexpr int kHeight = 90;
constexpr int kKnobSize = 37;
constexpr int kBoxBottom = 50;
// Pixels of vertical drag that cover the whole range.
constexpr double kDragRange = 300.0;

}  // namespace

SensKnob::SensKnob(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pKnob, EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, x + (pKnob ? pKnob->W : 0), y + kHeight), paramIdx, direction, gearing),
    mKnob(pKnob ? *pKnob : IBitmap()),
    mValueStyle(12, &COLOR_WHITE, "Monaco")
{
}

SensKnob::~SensKnob() = default;

// The digits are truncated, not rounded: 0.29 shows "0.28" because the fraction's
// binary representation lies just below 0.29.
void SensKnob::double2char(double x)
{
  const int whole = TruncateToInt(x);
  const double frac = x - whole;
  const int tenths = TruncateToInt(frac * 10.0);
  const int hundredths = TruncateToInt((frac - tenths / 10.0) * 100.0);
  std::snprintf(mValueText, kTextLen, "%s.%d%d", x == 1.0 ? "1" : "0", tenths, hundredths);
}

int SensKnob::FrameState() const noexcept
{
  const int n = mKnob.N;
  const int f = TruncateToInt((n - 1) * mValue + 0.5);
  if (f < 0) return 1;
  return f < n ? f + 1 : n;  // min(f + 1, n) without forming f + 1 at the int limit
}

bool SensKnob::Draw(IGraphics* pGraphics)
{
  const int L = mRECT.L, T = mRECT.T, R = mRECT.R;
  IRECT knob(L, T, L + kKnobSize, T + kKnobSize);
  pGraphics->DrawBitmap(&mKnob, &knob, FrameState(), &mBlend);
  if (mShowValue)
  {
    IRECT box(L, T + kKnobSize, R - 1, T + kBoxBottom);
    pGraphics->FillIRect(&COLOR_BLACK, &box, nullptr);
    pGraphics->DrawRect(&COLOR_WHITE, &box);
    IRECT text(L + 3, T + kKnobSize, R - 1, T + kBoxBottom);
    pGraphics->DrawIText(&mValueStyle, mValueText, &text);
  }
  return true;
}

// The box appears at the next redraw, normally the first drag step.
void SensKnob::OnMouseDown(int, int, IMouseMod*)
{
  mShowValue = true;
  double2char(mValue);
}

// Dragging upwards raises the value; the base's direction and gearing play no part.
void SensKnob::OnMouseDrag(int, int, int, int dY, IMouseMod*)
{
  mValue += dY / -kDragRange;
  if (mValue < 0.0) mValue = 0.0;
  if (mValue > 1.0) mValue = 1.0;
  double2char(mValue);
  SetDirty(true);
}

void SensKnob::OnMouseUp(int, int, IMouseMod*)
{
  mShowValue = false;
  SetDirty(true);
}

void SensKnob::OnMouseOut()
{
  mShowValue = false;
  SetDirty(true);
}

void SensKnob::OnMouseDblClick(int, int, IMouseMod*) {}
void SensKnob::OnMouseOver(int, int, IMouseMod*) {}
