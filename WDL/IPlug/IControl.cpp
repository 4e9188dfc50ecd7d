#include "IControl.h"

#include <cstring>

#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"
#include "ITextControl.h"

IControl::IControl(IPlugBase* pPlug, IRECT rect, int paramIdx, IChannelBlend blend) noexcept
  : mTextEntryLength(7),
    mText(),
    mPlug(pPlug),
    mRECT(rect),
    mTargetRECT(rect),
    mParamIdx(paramIdx),
    mAuxParams(4096),
    mValue(0.0),
    mDefaultValue(-1.0),
    mClampLo(0.0),
    mClampHi(1.0),
    mDirty(true),
    mHide(false),
    mGrayed(false),
    mRedraw(false),
    mDisablePrompt(true),
    mDblAsSingleClick(false),
    mMOWhenGrayed(false),
    mBlend(blend),
    mValDisplayControl(nullptr),
    mNameDisplayControl(nullptr)
{
}

IParam* IControl::GetParam() const { return (mPlug && mParamIdx >= 0) ? mPlug->GetParam(mParamIdx) : nullptr; }

IGraphics* IControl::GetGUI() const { return mPlug ? mPlug->GetGUI() : nullptr; }

// ---- Events ----

void IControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}
void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  if (mDefaultValue >= 0.0)
  {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseMod* pMod, int d)
{
  const bool fine = pMod && (pMod->C || pMod->S);
  mValue += static_cast<double>(d) * (fine ? 0.001 : 0.01);
  SetDirty(true);
}

bool IControl::OnKeyDown(int, int, int) { return false; }
void IControl::OnMouseOver(int, int, IMouseMod*) {}
void IControl::OnMouseOut() {}
void IControl::TextFromTextEntry(const char*) {}
void IControl::OnGUIIdle() {}

// ---- Values ----

void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
  {
    // The first value from the plug-in is what a double-click restores later.
    mValue = mDefaultValue = value;
  }
  else if (mValue != value)
  {
    mValue = value;
    SetDirty(false);
    mRedraw = true;
  }
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value)
{
  AuxParam* pAux = GetAuxParam(auxParamIdx);
  if (pAux && pAux->mValue != value)
  {
    pAux->mValue = value;
    SetDirty(false);
    mRedraw = true;
  }
}

void IControl::SetValueFromUserInput(double value)
{
  if (mValue != value)
  {
    mValue = value;
    SetDirty(true);
    mRedraw = true;
  }
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
  {
    const AuxParam& aux = mAuxParams.Get()[i];
    mPlug->SetParameterFromGUI(aux.mParamIdx, aux.mValue);
  }
}

void IControl::SetDirty(bool pushParamToPlug)
{
  mValue = mValue < mClampLo ? mClampLo : (mValue > mClampHi ? mClampHi : mValue);
  mDirty = true;
  if (pushParamToPlug && mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, mValue);
  UpdateDisplayControls();
}

void IControl::UpdateDisplayControls()
{
  if (!mValDisplayControl && !mNameDisplayControl) return;
  const IParam* pParam = GetParam();
  if (!pParam) return;
  if (mValDisplayControl)
  {
    char display[MAX_PARAM_DISPLAY_LEN];
    pParam->GetDisplayForHost(pParam->Value(), false, display, true);
    mValDisplayControl->SetTextFromPlug(display);
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(pParam->GetNameForHost());
}

void IControl::SetClean()
{
  mDirty = mRedraw;
  mRedraw = false;
}

bool IControl::IsDirty() { return mDirty; }

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }

// ---- Prompts ----

void IControl::PromptUserInput()
{
  const IParam* pParam = GetParam();
  if (!pParam || mDisablePrompt) return;
  if (pParam->GetNDisplayTexts() > 0)
  {
    IRECT rect = mRECT;
    PromptUserInputIn(&rect);
    return;
  }
  // A small box centred on the control for typing a number.
  const int cx = static_cast<int>((mRECT.L + mRECT.R) * 0.5);
  const int cy = static_cast<int>((mRECT.T + mRECT.B) * 0.5);
  IRECT rect(cx - 15, cy - 8, cx + 15, cy + 8);
  PromptUserInputIn(&rect);
}

void IControl::PromptUserInput(IRECT* pTextRect)
{
  if (!GetParam() || mDisablePrompt) return;
  PromptUserInputIn(pTextRect);
}

void IControl::PromptUserInputIn(IRECT* pTextRect)
{
  if (IGraphics* pGraphics = GetGUI()) pGraphics->PromptUserInput(this, GetParam(), pTextRect);
  mRedraw = true;
}

// ---- Auxiliary parameters ----

void IControl::AddAuxParam(int paramIdx)
{
  const AuxParam aux{0.0, paramIdx};
  mAuxParams.Add(aux);
}

int IControl::AuxParamIdx(int paramIdx) const noexcept
{
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  return -1;
}

IControl::AuxParam* IControl::GetAuxParam(int idx) const noexcept
{
  return (idx >= 0 && idx < mAuxParams.GetSize()) ? mAuxParams.Get() + idx : nullptr;
}
