#pragma once
// The graphics host on Linux. It holds no X11 code, so what builds an editor without
// showing a window (the Audio Unit component, tesk-render's snapshot, tests) links no
// X11. A window from the X11 window library (X11EditorWindow, possibly in another shared
// object) attaches to it at run time; the host then forwards its platform operations to that window and the window
// drives it (timer, paint, mouse and keys). With no window attached it behaves as a
// headless host: drawing goes to the surface only, and the prompts fail cleanly (no menu
// choice, no text entry, message box 0, no file, no URL).
//
// Threads: the editor thread (see IGraphicsLinuxWindow.h) runs everything here, except
// PlugInDestroying and the destructor, which may run on any thread: they stop an
// attached window before any part of the plug-in or any control is deleted. A window
// makes its thread the editor thread when it attaches, and every TimerStep claims it
// again for the thread that runs it (IGraphics::OnEditorTimer). SetParameterFromPlug
// keeps the base class's rule: any thread.

#include <mutex>

#include "IGraphics.h"
#include "IGraphicsLinuxWindow.h"

// True when an X display can be tried: $DISPLAY is set and, for a local display
// (":N" or "unix:N"), its socket exists. Makes no X11 call.
bool LinuxDisplayAvailable();

// A program whose editors a window attaches to after they are built (the LV2 UI, which
// builds its editor before it opens the window) asks for this host whether or not a
// display can be tried when the editor is built; a plug-in's factory of its graphics host
// (its MakeGraphics) honours it. Any thread; it applies to editors created afterwards.
void RequestAttachableEditors(bool attachable) noexcept;
bool AttachableEditorsRequested() noexcept;

class IGraphicsLinux final : public IGraphics, public IGraphicsLinuxEditor
{
public:
  IGraphicsLinux(IPlugBase* pPlug, int w, int h, int refreshFPS = 0);
  ~IGraphicsLinux() override;

  // --- Platform operations (forwarded to the attached window) ---
  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  // Rebuilds the editor only when the size changes, then lets the window follow.
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "X11"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str, IParam* pParam) override;
  void HostPath(WDL_String* pPath) override;
  void PluginPath(WDL_String* pPath) override;
  void DesktopPath(WDL_String* pPath) override;
  // Without a window the file name comes back empty; an empty folder becomes the
  // desktop folder first either way.
  void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                     const char* extensions = "") override;
  bool PromptForColor(IColor* pColor, const char* prompt = "") override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  // Windows are opened by the X11 window library, which attaches itself; this returns
  // the attached window's ID (as a pointer-sized value) or null.
  void* OpenWindow(void* pParentWnd) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // Finds the image among those compiled into the binary (IGraphicsEmbeddedImages.h).
  LICE_IBitmap* OSLoadBitmap(int ID, const char* name) override;
  // Lets go of the attached window, which stops (its editor thread is joined) and never
  // touches this host again. Any thread; the destructor does it too.
  void PlugInDestroying() override;

  // --- What the window calls (IGraphicsLinuxEditor) ---
  int EditorWidth() override { return Width(); }
  int EditorHeight() override { return Height(); }
  int EditorFPS() override { return FPS(); }
  bool AttachWindow(IGraphicsLinuxWindow* pWindow) override;
  void DetachWindow(IGraphicsLinuxWindow* pWindow) override;
  IGraphicsLinuxSurface GetSurface() override;
  void RedrawAll() override { SetAllControlsDirty(); }
  void TimerStep() override;
  void MouseDown(int x, int y, IMouseMod* pMod) override { OnMouseDown(x, y, pMod); }
  void MouseUp(int x, int y, IMouseMod* pMod) override { OnMouseUp(x, y, pMod); }
  void MouseDrag(int x, int y, IMouseMod* pMod) override { OnMouseDrag(x, y, pMod); }
  void MouseDblClick(int x, int y, IMouseMod* pMod) override { OnMouseDblClick(x, y, pMod); }
  void MouseWheel(int x, int y, IMouseMod* pMod, int d) override { OnMouseWheel(x, y, pMod, d); }
  void MouseOver(int x, int y, IMouseMod* pMod) override { OnMouseOver(x, y, pMod); }
  void MouseOut() override { OnMouseOut(); }
  bool KeyDown(int x, int y, int key) override { return OnKeyDown(x, y, key); }
  void TextEntryDone(const char* text) override;

  IGraphicsLinuxWindow* GetAttachedWindow();
  bool IsTextEntryOpen() const noexcept { return mEdControl != nullptr; }

private:
  std::mutex mWindowMutex;  // guards mWindow against the destructor on another thread
  IGraphicsLinuxWindow* mWindow = nullptr;
  IControl* mEdControl = nullptr;  // the control whose text entry is open
  IParam* mEdParam = nullptr;      // its parameter, null for free text
};
