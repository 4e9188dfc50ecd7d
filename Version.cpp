#include "Version.h"

#include "IGraphics.h"

namespace
{
constexpr IColor kLabelGrey(255, 125, 125, 125);
}

Version::Version(IPlugBase* pPlug, IRECT rect, int paramIdx)
  : IControl(pPlug, rect, paramIdx),
    mLabelStyle(12, &kLabelGrey, "Monaco")
{
}

Version::~Version() = default;

bool Version::Draw(IGraphics* pGraphics)
{
  pGraphics->DrawIText(&mLabelStyle, kText, &mRECT);
  return true;
}
