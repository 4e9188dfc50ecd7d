#include "ITextControl.h"

#include <cstring>

#include "IGraphics.h"

ITextControl::ITextControl(IPlugBase* pPlug, IRECT rect, const IText* pText, const char* str)
  : IControl(pPlug, rect),
    mStr(128)
{
  SetText(pText);
  mStr.Set(str ? str : "");
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str) str = "";
  if (std::strcmp(mStr.Get(), str) != 0)
  {
    SetDirty(false);
    mStr.Set(str);
  }
}

bool ITextControl::Draw(IGraphics* pGraphics)
{
  if (mStr.GetLength() == 0) return true;
  IRECT rect = mRECT;
  return pGraphics->DrawIText(&mText, mStr.Get(), &rect);
}
