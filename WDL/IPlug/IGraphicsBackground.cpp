// The two background forms of the graphics host: an image copied opaquely, or a
// panel filled with one colour. Both go in front of every other control.

#include "IControl.h"
#include "IControls.h"
#include "IGraphics.h"

void IGraphics::AttachBackground(int ID, const char* name)
{
  IBitmap bg = LoadIBitmap(ID, name, 1);
  mControls.Insert(0, new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber));
}

void IGraphics::AttachPanelBackground(const IColor* pColor)
{
  mControls.Insert(0, new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), pColor));
}
