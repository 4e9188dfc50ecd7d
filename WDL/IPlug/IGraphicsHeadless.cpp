#include "IGraphicsHeadless.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "IControl.h"
#include "IGraphicsEmbeddedImages.h"
#include "IGraphicsPosixPaths.h"
#include "IPopupMenu.h"
#include "lice.h"

namespace
{
std::atomic<bool> gHeadlessRequested{false};
}  // namespace

void RequestHeadlessEditors(bool headless) noexcept { gHeadlessRequested.store(headless); }
bool HeadlessEditorsRequested() noexcept { return gHeadlessRequested.load(); }

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* pPlug, int w, int h, int refreshFPS)
  : IGraphics(pPlug, w, h, refreshFPS)
{
}

IGraphicsHeadless::~IGraphicsHeadless() = default;

// ---- Compiled-in images ----

LICE_IBitmap* IGraphicsHeadless::OSLoadBitmap(int, const char* name) { return LoadEmbeddedImage(name); }

// ---- Screen and snapshots ----

bool IGraphicsHeadless::DrawScreen(IRECT* pR)
{
  ++mDrawScreenCount;
  mLastScreenRect = pR ? *pR : IRECT();
  return true;
}

// ---- Windows ----

void* IGraphicsHeadless::OpenWindow(void*)
{
  mWindowOpen = true;
  return this;
}

void IGraphicsHeadless::CloseWindow()
{
  ForceEndUserEdit();
  mWindowOpen = false;
}

void* IGraphicsHeadless::GetWindow() { return mWindowOpen ? this : nullptr; }

void IGraphicsHeadless::HideMouseCursor() { mCursorHidden = true; }
void IGraphicsHeadless::ShowMouseCursor() { mCursorHidden = false; }

// ---- Prompts ----

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int)
{
  mMessages.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
  if (mMessageBoxResults.empty()) return 0;
  const int result = mMessageBoxResults.front();
  mMessageBoxResults.pop_front();
  return result;
}

IPopupMenu* IGraphicsHeadless::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect)
{
  ReleaseMouseCapture();
  if (!pMenu) return nullptr;
  MenuShown shown;
  for (int i = 0; i < pMenu->GetNItems(); ++i)
  {
    shown.mItems.emplace_back(pMenu->GetItemText(i));
    shown.mFlags.push_back(pMenu->GetItem(i)->GetFlags());
  }
  if (pTextRect) shown.mRect = *pTextRect;
  mMenusShown.push_back(shown);

  if (mMenuChoices.empty()) return nullptr;
  const int choice = mMenuChoices.front();
  mMenuChoices.pop_front();
  const IPopupMenuItem* pItem = pMenu->GetItem(choice);
  if (!pItem || !pItem->GetEnabled() || pItem->GetIsSeparator()) return nullptr;
  pMenu->SetChosenItemIdx(choice);
  return pMenu;
}

void IGraphicsHeadless::CreateTextEntry(IControl* pControl, IText*, IRECT* pTextRect, const char* str, IParam* pParam)
{
  if (!pControl || mTextEntry.mOpen) return;
  mTextEntry.mOpen = true;
  mTextEntry.mControl = pControl;
  mTextEntry.mParam = pParam;
  mTextEntry.mText = str ? str : "";
  mTextEntry.mRect = pTextRect ? *pTextRect : IRECT();
  if (!mTextEntries.empty())
  {
    const std::string typed = mTextEntries.front();
    mTextEntries.pop_front();
    CommitTextEntry(typed.c_str());
  }
}

bool IGraphicsHeadless::CommitTextEntry(const char* text)
{
  if (!mTextEntry.mOpen) return false;
  IControl* pControl = mTextEntry.mControl;
  IParam* pParam = mTextEntry.mParam;
  mTextEntry.mText = text ? text : "";
  mTextEntry.mOpen = false;
  if (pParam)
    SetFromStringAfterPrompt(pControl, pParam, mTextEntry.mText.c_str());
  else
    pControl->TextFromTextEntry(mTextEntry.mText.c_str());
  return true;
}

void IGraphicsHeadless::ForceEndUserEdit() { mTextEntry.mOpen = false; }

void IGraphicsHeadless::PromptForFile(WDL_String* pFilename, EFileAction, WDL_String* pDir, const char*)
{
  if (!pFilename) return;
  if (pDir && pDir->GetLength() == 0) DesktopPath(pDir);
  pFilename->Set("");
  if (mFileChoices.empty()) return;
  const std::string chosen = mFileChoices.front();
  mFileChoices.pop_front();
  if (chosen.empty()) return;  // cancelled
  pFilename->Set(chosen.c_str());
  if (pDir) PosixFolderOf(chosen.c_str(), pDir);
}

bool IGraphicsHeadless::PromptForColor(IColor* pColor, const char*)
{
  if (!pColor || mColors.empty()) return false;
  *pColor = mColors.front();
  mColors.pop_front();
  return true;
}

bool IGraphicsHeadless::OpenURL(const char* url, const char*, const char*, const char*)
{
  mURLsOpened.emplace_back(url ? url : "");
  return mOpenURLResult;
}

// ---- Paths ----

void IGraphicsHeadless::HostPath(WDL_String* pPath) { PosixExecutablePath(pPath); }

void IGraphicsHeadless::PluginPath(WDL_String* pPath)
{
  WDL_String exe;
  HostPath(&exe);
  if (exe.GetLength() > 0) PosixFolderOf(exe.Get(), pPath);
}

void IGraphicsHeadless::DesktopPath(WDL_String* pPath) { PosixDesktopPath(pPath); }
