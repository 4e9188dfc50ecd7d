#pragma once
// A control that shows a line of text in its style. Other controls use it to show
// their parameter's display text or name (IControl::SetValDisplayControl).

#include "IControl.h"
#include "wdlstring.h"

class ITextControl : public IControl
{
public:
  // The style is copied.
  ITextControl(IPlugBase* pPlug, IRECT rect, const IText* pText, const char* str = "");

  // Marks the control and replaces the text only when the text changes.
  void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }
  const char* GetTextForPlug() const noexcept { return mStr.Get(); }

  bool Draw(IGraphics* pGraphics) override;

protected:
  WDL_String mStr;
};
