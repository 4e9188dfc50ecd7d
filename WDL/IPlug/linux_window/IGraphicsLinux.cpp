#include "IGraphicsLinux.h"

#include <atomic>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "IControl.h"
#include "IGraphicsEmbeddedImages.h"
#include "IGraphicsPosixPaths.h"
#include "IParam.h"
#include "IPopupMenu.h"
#include "lice.h"
#include "wdlstring.h"

namespace
{

// The characters a parameter's text entry accepts: a decimal number for doubles,
// a signed whole number for the types that hold one, nothing for any other type.
const char* AcceptedCharacters(const IParam* pParam)
{
  switch (pParam->Type())
  {
    case IParam::kTypeDouble: return "0123456789.-+";
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum: return "0123456789-+";
    default: return "";
  }
}

// The number of a local display (":0", ":1.0", "unix:2"), or -1 for a remote one.
int LocalDisplayNumber(const char* display)
{
  const char* colon = std::strrchr(display, ':');
  if (!colon || colon[1] < '0' || colon[1] > '9') return -1;
  const std::string host(display, colon);
  if (!host.empty() && host != "unix") return -1;
  return std::atoi(colon + 1);
}
}  // namespace

bool LinuxDisplayAvailable()
{
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return false;
  const int n = LocalDisplayNumber(display);
  if (n < 0) return true;  // a remote display can only be tried
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
  struct stat st;
  return stat(socket.c_str(), &st) == 0;
}

namespace
{
std::atomic<bool> gAttachableEditors{false};
}  // namespace

void RequestAttachableEditors(bool attachable) noexcept { gAttachableEditors.store(attachable); }
bool AttachableEditorsRequested() noexcept { return gAttachableEditors.load(); }

IGraphicsLinux::IGraphicsLinux(IPlugBase* pPlug, int w, int h, int refreshFPS)
  : IGraphics(pPlug, w, h, refreshFPS)
{
}

IGraphicsLinux::~IGraphicsLinux() { PlugInDestroying(); }

void IGraphicsLinux::PlugInDestroying()
{
  // Taken out under the lock, told outside it: the window may be detaching itself on
  // its own thread at this moment, and it does so under the same lock.
  IGraphicsLinuxWindow* pWindow = nullptr;
  {
    std::lock_guard<std::mutex> lock(mWindowMutex);
    pWindow = mWindow;
    mWindow = nullptr;
  }
  if (pWindow) pWindow->EditorDestroyed();
}

IGraphicsLinuxWindow* IGraphicsLinux::GetAttachedWindow()
{
  std::lock_guard<std::mutex> lock(mWindowMutex);
  return mWindow;
}

// ---- Attachment ----

bool IGraphicsLinux::AttachWindow(IGraphicsLinuxWindow* pWindow)
{
  {
    std::lock_guard<std::mutex> lock(mWindowMutex);
    if (mWindow && mWindow != pWindow) return false;
    mWindow = pWindow;
  }
  // The window's thread drives the editor from now on.
  ClaimEditorThread();
  // The surface may hold a picture from before the window existed (or nothing).
  SetAllControlsDirty();
  return true;
}

void IGraphicsLinux::DetachWindow(IGraphicsLinuxWindow* pWindow)
{
  std::lock_guard<std::mutex> lock(mWindowMutex);
  if (!pWindow || mWindow != pWindow) return;
  mWindow = nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
}

IGraphicsLinuxSurface IGraphicsLinux::GetSurface()
{
  IGraphicsLinuxSurface s;
  if (LICE_SysBitmap* pSurface = GetDrawBitmap())
  {
    s.bits = pSurface->getBits();
    s.width = pSurface->getWidth();
    s.height = pSurface->getHeight();
    s.span = pSurface->getRowSpan();
  }
  return s;
}

void IGraphicsLinux::TimerStep()
{
  OnEditorTimer();
  if (!GetDrawBitmap()) return;  // drawing starts once the plug-in attached the editor
  IRECT r;
  if (IsDirty(&r)) Draw(&r);
}

// ---- Screen ----

bool IGraphicsLinux::DrawScreen(IRECT* pR)
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (pWindow && pR) pWindow->PresentSurface(*pR);
  return true;
}

void IGraphicsLinux::Resize(int w, int h)
{
  if (w == Width() && h == Height()) return;
  ForceEndUserEdit();  // its control is about to be deleted
  IGraphics::Resize(w, h);
  if (IGraphicsLinuxWindow* pWindow = GetAttachedWindow()) pWindow->EditorResized();
}

// ---- Windows ----

void* IGraphicsLinux::OpenWindow(void*) { return GetWindow(); }

void IGraphicsLinux::CloseWindow()
{
  if (IGraphicsLinuxWindow* pWindow = GetAttachedWindow()) pWindow->Close();
}

void* IGraphicsLinux::GetWindow()
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  return pWindow ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(pWindow->NativeWindow())) : nullptr;
}

void IGraphicsLinux::HideMouseCursor()
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (!pWindow || mCursorHidden) return;
  pWindow->HideCursor();
  mCursorHidden = true;
}

void IGraphicsLinux::ShowMouseCursor()
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (!mCursorHidden) return;
  if (pWindow) pWindow->ShowCursor();
  mCursorHidden = false;
}

LICE_IBitmap* IGraphicsLinux::OSLoadBitmap(int, const char* name) { return LoadEmbeddedImage(name); }

// ---- Prompts ----

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect)
{
  ReleaseMouseCapture();
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (!pWindow || !pMenu) return nullptr;
  return pWindow->ShowPopupMenu(pMenu, pTextRect ? *pTextRect : IRECT());
}

void IGraphicsLinux::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                                     IParam* pParam)
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (!pWindow || !pControl || mEdControl) return;
  IGraphicsLinuxTextEntry entry;
  entry.rect = pTextRect ? *pTextRect : *pControl->GetRECT();
  if (pText) entry.style = *pText;
  entry.style.mCached = nullptr;
  entry.style.mSize = static_cast<int>(entry.style.mSize * 0.9);
  entry.text = str ? str : "";
  // A free-text entry (no parameter) takes any text of any length.
  entry.allow = pParam ? AcceptedCharacters(pParam) : nullptr;
  entry.maxLength = pParam ? pControl->GetTextEntryLength() : 0;
  mEdControl = pControl;
  mEdParam = pParam;
  pWindow->OpenTextEntry(entry);
}

void IGraphicsLinux::TextEntryDone(const char* text)
{
  IControl* pControl = mEdControl;
  IParam* pParam = mEdParam;
  mEdControl = nullptr;
  mEdParam = nullptr;
  if (!pControl || !text) return;
  if (pParam)
    SetFromStringAfterPrompt(pControl, pParam, text);
  else
    pControl->TextFromTextEntry(text);
}

void IGraphicsLinux::ForceEndUserEdit()
{
  const bool open = mEdControl != nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
  if (!open) return;
  if (IGraphicsLinuxWindow* pWindow = GetAttachedWindow()) pWindow->EndTextEntry();
}

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type)
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  return pWindow ? pWindow->ShowMessageBox(text ? text : "", caption ? caption : "", type) : 0;
}

void IGraphicsLinux::PromptForFile(WDL_String* pFilename, EFileAction action, WDL_String* pDir, const char* extensions)
{
  if (!pFilename) return;
  WDL_String folder;
  if (pDir)
  {
    if (pDir->GetLength() == 0) DesktopPath(pDir);
    folder.Set(pDir->Get());
  }
  else
  {
    DesktopPath(&folder);
  }
  const std::string defaultName = pFilename->Get();
  pFilename->Set("");
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  if (!pWindow) return;
  char chosen[4096];
  if (!pWindow->ChooseFile(action == kFileSave, defaultName.c_str(), folder.Get(), extensions ? extensions : "", chosen,
                           sizeof(chosen)))
    return;
  pFilename->Set(chosen);
  if (pDir) PosixFolderOf(chosen, pDir);
}

// No colour chooser is offered on this platform.
bool IGraphicsLinux::PromptForColor(IColor*, const char*) { return false; }

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*)
{
  IGraphicsLinuxWindow* pWindow = GetAttachedWindow();
  return pWindow && url && *url && pWindow->OpenURL(url);
}

// ---- Paths ----

void IGraphicsLinux::HostPath(WDL_String* pPath) { PosixExecutablePath(pPath); }

// The folder of the binary this code was linked into: the plug-in's shared object
// inside a host, the program itself otherwise.
void IGraphicsLinux::PluginPath(WDL_String* pPath)
{
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&LinuxDisplayAvailable), &info) && info.dli_fname &&
      std::strchr(info.dli_fname, '/'))
  {
    char resolved[4096];
    if (realpath(info.dli_fname, resolved))
    {
      PosixFolderOf(resolved, pPath);
      return;
    }
  }
  WDL_String exe;
  HostPath(&exe);
  if (exe.GetLength() > 0) PosixFolderOf(exe.Get(), pPath);
}

void IGraphicsLinux::DesktopPath(WDL_String* pPath) { PosixDesktopPath(pPath); }
