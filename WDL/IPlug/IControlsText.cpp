// The caption that shows a parameter's value, the link area and the file selector.

#include <cstring>

#include "IControls.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPlugBase.h"
#include "IPlugStructs.h"

// ---- Caption ----

ICaptionControl::ICaptionControl(IPlugBase* pPlug, IRECT rect, int paramIdx, const IText* pText, bool showParamLabel)
  : ITextControl(pPlug, rect, pText),
    mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

void ICaptionControl::UpdateCaption()
{
  const IParam* pParam = GetParam();
  if (!pParam) return;
  char display[MAX_PARAM_DISPLAY_LEN] = {};
  pParam->GetDisplayForHost(display, true);
  mStr.Set(display);
  if (mShowParamLabel)
  {
    mStr.Append(" ");
    mStr.Append(pParam->GetLabelForHost());
  }
}

bool ICaptionControl::Draw(IGraphics* pGraphics)
{
  UpdateCaption();
  return ITextControl::Draw(pGraphics);
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* pMod)
{
  if (pMod && (pMod->L || pMod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) { PromptUserInput(); }

// ---- Link area ----

namespace
{
// Copies a non-empty text into a fixed buffer, cut to fit and always terminated.
void CopyURLText(char* dest, const char* src)
{
  if (!src || !*src) return;
  const size_t n = strnlen(src, IURLControl::URL_LEN - 1);
  std::memcpy(dest, src, n);
  dest[n] = '\0';
}
}  // namespace

IURLControl::IURLControl(IPlugBase* pPlug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
  : IControl(pPlug, rect)
{
  CopyURLText(mURL, url);
  CopyURLText(mBackupURL, backupURL);
  CopyURLText(mErrMsg, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  bool opened = false;
  if (mURL[0]) opened = pGraphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) pGraphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

bool IURLControl::Draw(IGraphics*) { return true; }

// ---- File selector ----

IFileSelectorControl::IFileSelectorControl(IPlugBase* pPlug, IRECT rect, int paramIdx, IBitmap* pBitmap,
                                           EFileAction action, const char* dir, const char* extensions)
  : IControl(pPlug, rect, paramIdx),
    mBitmap(*pBitmap),
    mDir(dir ? dir : ""),
    mFile(),
    mExtensions(extensions ? extensions : ""),
    mFileAction(action),
    mState(kFSNone)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  // Modal: the dialog returns once the user has chosen or cancelled.
  pGraphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics)
{
  if (mState != kFSSelecting) return true;
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState == kFSDone)
  {
    mState = kFSNone;
    return true;
  }
  return false;
}

void IFileSelectorControl::GetLastSelectedFileForPlug(WDL_String* pStr) const
{
  if (pStr) pStr->Set(mFile.Get());
}

void IFileSelectorControl::SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file ? file : ""); }
