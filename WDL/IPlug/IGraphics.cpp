// The graphics host's control list, parameter synchronisation, redraw policy,
// prompts and life cycle. Events are in IGraphicsEvents.cpp, drawing calls in
// IGraphicsDrawing.cpp, bitmaps and text in IGraphicsBitmaps.cpp.

#include "IGraphics.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "IControl.h"
#include "IParam.h"
#include "IPlugBase.h"
#include "IPopupMenu.h"
#include "lice.h"

namespace
{
// The leading decimal number of typed text ("12.5 %" reads 12.5), 0 when there is
// none. Hexadecimal, "inf" and "nan" are not numbers a user types into a value
// field; letting them through would hand a non-finite value to the plug-in.
double ReadLeadingDecimal(const char* txt)
{
  const char* p = txt;
  while (*p == ' ' || *p == '\t') ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  while (*p >= '0' && *p <= '9') ++p, ++digits;
  if (*p == '.')
    for (++p; *p >= '0' && *p <= '9'; ++p) ++digits;
  if (digits == 0) return 0.0;
  if (*p == 'e' || *p == 'E')
  {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (*q >= '0' && *q <= '9')
      for (p = q; *p >= '0' && *p <= '9'; ++p)
      {
      }
  }
  char buf[64];
  const size_t len = static_cast<size_t>(p - start);
  if (len >= sizeof(buf)) return 0.0;
  std::memcpy(buf, start, len);
  buf[len] = '\0';
  const double v = std::strtod(buf, nullptr);
  return std::isfinite(v) ? v : 0.0;
}
}  // namespace

// ---- Attaching to a plug-in ----
// A plug-in base member, defined here: the base reaches its editor only through
// IPlugEditorHooks, and only code that builds an editor links the graphics framework.

void IPlugBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  // The base owns its editor: a replaced one would otherwise never be freed.
  if (mGraphics != pGraphics) delete mEditorHooks;
  mGraphics = pGraphics;
  mEditorHooks = pGraphics;
}

IGraphics::IGraphics(IPlugBase* pPlug, int w, int h, int refreshFPS)
  : mPlug(pPlug),
    mControls(4096),
    mDrawRECT(),
    mCursorHidden(false),
    mHiddenMousePointX(-1),
    mHiddenMousePointY(-1),
    mDrawBitmap(nullptr),
    mTmpBitmap(nullptr),
    mWidth(w),
    mHeight(h),
    mFPS(refreshFPS > 0 ? refreshFPS : 25),
    mMouseCapture(-1),
    mMouseOver(-1),
    mMouseX(0),
    mMouseY(0),
    mLastClickedParam(-1),
    mHandleMouseOver(false),
    mStrict(true),
    mKeyCatcher(nullptr),
    mParamHandOff(pPlug ? pPlug->NParams() : 0)
{
}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  mControls.Empty(true);  // from the last control to the first
  DeleteSurfaces();
}

void IGraphics::DeleteSurfaces()
{
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
}

void* IGraphics::OpenWindow(void*, void*, short, short) { return nullptr; }

// ---- Construction and attachment ----

void IGraphics::PrepDraw()
{
  DeleteSurfaces();
  mDrawBitmap = new LICE_SysBitmap(mWidth, mHeight);
  mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
}

int IGraphics::AttachControl(IControl* pControl)
{
  mControls.Add(pControl);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* pControl)
{
  // The catcher is owned: a replaced one would otherwise leak.
  if (mKeyCatcher != pControl) delete mKeyCatcher;
  mKeyCatcher = pControl;
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

// ---- Control state by parameter ----

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0; i < NControls(); ++i)
    if (IControl* pControl = GetControl(i); pControl->ParamIdx() == paramIdx) pControl->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0; i < NControls(); ++i)
    if (IControl* pControl = GetControl(i); pControl->ParamIdx() == paramIdx) pControl->GrayOut(gray);
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    const IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;  // nothing to convert with
    lo = pParam->GetNormalized(lo);
    hi = pParam->GetNormalized(hi);
  }
  for (int i = 0; i < NControls(); ++i)
    if (IControl* pControl = GetControl(i); pControl->ParamIdx() == paramIdx) pControl->Clamp(lo, hi);
}

// ---- Values from the plug-in ----

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    const IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;  // an index outside the parameter list
    value = pParam->GetNormalized(value);
  }
  if (IEditorThread::Access access(mEditorThread); access)
  {
    // An older value from another thread must not overwrite this one at the next tick.
    mParamHandOff.Replace(paramIdx, value);
    ShowParameterValue(paramIdx, value);
  }
  else
  {
    mParamHandOff.Store(paramIdx, value);
  }
}

void IGraphics::ShowParameterValue(int paramIdx, double value)
{
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* pControl = GetControl(i);
    if (pControl->ParamIdx() == paramIdx) pControl->SetValueFromPlug(value);
    const int auxIdx = pControl->AuxParamIdx(paramIdx);
    if (auxIdx >= 0) pControl->SetAuxParamValueFromPlug(auxIdx, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* pControl = GetControl(controlIdx)) pControl->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < NControls(); ++i) GetControl(i)->SetDirty(false);
}

void IGraphics::ParameterChangedFromGUI(int paramIdx, double normalizedValue) noexcept
{
  mParamHandOff.Replace(paramIdx, normalizedValue);
}

// ---- The editor's timer ----

void IGraphics::OnEditorTimer()
{
  ClaimEditorThread();
  mParamHandOff.Drain([this](int paramIdx, double value) { ShowParameterValue(paramIdx, value); });
  for (int i = 0; i < NControls(); ++i) GetControl(i)->ApplyHandOff();
}

// ---- Redraw ----

bool IGraphics::IsDirty(IRECT* pR)
{
  bool dirty = false;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* pControl = GetControl(i);
    if (pControl->IsDirty())
    {
      *pR = pR->Union(pControl->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(IRECT* pR)
{
  if (NControls() == 0) return true;
  if (mStrict)
    DrawStrict(pR);
  else
    DrawNonStrict();
  return DrawScreen(pR);
}

// Every control that meets the area is drawn; every control is cleaned, so a
// control hidden after its last draw stops being reported dirty.
void IGraphics::DrawStrict(IRECT* pR)
{
  mDrawRECT = *pR;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* pControl = GetControl(i);
    if (!pControl->IsHidden() && pR->Intersects(pControl->GetRECT())) pControl->Draw(this);
    pControl->SetClean();
  }
}

// Redraws around each dirty control only, with its rectangle as the clip.
void IGraphics::DrawNonStrict()
{
  const int n = NControls();
  IControl* pBackground = GetControl(0);
  if (pBackground->IsDirty())
  {
    mDrawRECT = *pBackground->GetRECT();
    for (int i = 0; i < n; ++i)
    {
      IControl* pControl = GetControl(i);
      if (i == 0 || !pControl->IsHidden()) pControl->Draw(this);
      pControl->SetClean();
    }
    return;
  }
  for (int i = 1; i < n; ++i)
  {
    IControl* pDirty = GetControl(i);
    if (!pDirty->IsDirty()) continue;
    mDrawRECT = *pDirty->GetRECT();
    for (int j = 0; j < n; ++j)
    {
      IControl* pControl = GetControl(j);
      if (pControl->IsHidden()) continue;
      if (j == i || pControl->GetRECT()->Intersects(&mDrawRECT)) pControl->Draw(this);
    }
    pDirty->SetClean();
  }
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mControls.Empty(true);
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < NControls(); ++i) GetControl(i)->OnGUIIdle();
}

// ---- Prompts ----

void IGraphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect)
{
  if (!pControl || !pParam || !pTextRect) return;
  const IParam::EParamType type = pParam->Type();
  const int nDisplayTexts = pParam->GetNDisplayTexts();
  char current[MAX_PARAM_DISPLAY_LEN];

  if (type == IParam::kTypeEnum || (type == IParam::kTypeBool && nDisplayTexts > 0))
  {
    pParam->GetDisplayForHost(pParam->Value(), false, current, true);
    IPopupMenu menu;
    for (int i = 0; i < nDisplayTexts; ++i)
    {
      const char* text = pParam->GetDisplayTextAtIdx(i);
      if (!text) text = "";
      const bool checked = std::strcmp(text, current) == 0;
      menu.AddItem(text, -1, checked ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
    }
    if (IPopupMenu* pChosen = CreateIPopupMenu(&menu, pTextRect))
      pControl->SetValueFromUserInput(pParam->GetNormalized(static_cast<double>(pChosen->GetChosenItemIdx())));
    return;
  }
  pParam->GetDisplayForHost(pParam->Value(), false, current, false);
  CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
}

void IGraphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt)
{
  if (!pControl || !pParam) return;
  if (!txt) txt = "";
  double value = 0.0;
  const IParam::EParamType type = pParam->Type();
  if (type == IParam::kTypeBool || type == IParam::kTypeEnum)
  {
    int mapped = 0;
    if (pParam->MapDisplayText(txt, &mapped)) value = mapped;
  }
  else
  {
    value = ReadLeadingDecimal(txt);
    if (pParam->GetNegateDisplay()) value = -value;
  }
  pControl->SetValueFromUserInput(pParam->GetNormalized(value));
}

// ---- Host automation queries ----

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int c = CapturedOrHitControl(x, y);
  mLastClickedParam = c > 0 ? GetControl(c)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int idx = mLastClickedParam;
  mLastClickedParam = -1;
  return idx;
}
