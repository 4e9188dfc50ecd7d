#include "OnOff.h"

#include "IGraphics.h"

OnOff::OnOff(IPlugBase* pPlug, IRECT rect, int paramIdx, IBitmap* pOnImage, IBitmap* pOffImage, IChannelBlend blend)
  : IControl(pPlug, rect, paramIdx, blend),
    mOnImage(pOnImage ? *pOnImage : IBitmap()),
    mOffImage(pOffImage ? *pOffImage : IBitmap())
{
}

OnOff::~OnOff() = default;

void OnOff::SetValue(double v)
{
  mValue = v;
  mOn.store(v > 0.5);
  SetDirty(true);
}

// A press re-sends the current value; the release flips the switch.
void OnOff::OnMouseDown(int, int, IMouseMod*) { SetDirty(true); }

void OnOff::OnMouseUp(int, int, IMouseMod*)
{
  const bool on = !mOn.load();
  mOn.store(on);
  mValue = on ? 1.0 : 0.0;
  SetDirty(true);
}

// Each click of a double click toggles once: the release that follows flips it.
void OnOff::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }
void OnOff::OnMouseOver(int, int, IMouseMod*) { SetDirty(true); }
void OnOff::OnMouseOut() { SetDirty(true); }

// The destination spans the whole image (both frames), anchored at the control's
// top-left corner; its width comes from the other image, so images of different
// sizes combine as the two branches show.
bool OnOff::Draw(IGraphics* pGraphics)
{
  const int L = mRECT.L, T = mRECT.T;
  if (mOn.load())
  {
    IRECT dest(L, T, L + mOffImage.W, T + mOnImage.H);
    pGraphics->DrawBitmap(&mOnImage, &dest, 1, &mBlend);
  }
  else
  {
    IRECT dest(L, T, L + mOnImage.W, T + mOffImage.H);
    pGraphics->DrawBitmap(&mOffImage, &dest, 1, &mBlend);
  }
  return true;
}
