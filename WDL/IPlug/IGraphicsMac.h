#pragma once
// The editor's graphics host on macOS. It opens the editor's Cocoa view (which runs the
// redraw timer and turns Cocoa events into the graphics host's calls), copies the drawing
// surface to the screen, loads images from the plug-in bundle's resources and serves the
// system dialogs, folders, URLs and the mouse cursor. The decisions behind those services
// live in plain functions (CocoaEventLogic.h, CocoaPromptLogic.h, MacServicesLogic.h); this
// class carries them to AppKit. Plain C++ header: code that only creates the host (the
// plug-in's MakeGraphics) includes it without Objective-C.
//
// Threads: main (user-interface) thread, like the view; the constructor, SetBundleID and
// OSLoadBitmap run on whatever thread builds the plug-in's editor. OpenWindow and every tick
// of the view's timer make the main thread the editor thread (IGraphics::OnEditorTimer).

#include "IGraphics.h"
#include "wdlstring.h"

class IGraphicsMac final : public IGraphics
{
public:
  IGraphicsMac(IPlugBase* pPlug, int w, int h, int refreshFPS = 0);
  ~IGraphicsMac() override;

  // The identifier of the bundle the plug-in ships in: images and paths are found through
  // it. The plug-in's MakeGraphics sets it before the first image is loaded.
  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID ? bundleID : ""); }
  const char* GetBundleID() const noexcept { return mBundleID.Get(); }

  // --- Screen and text ---
  // Copies the whole drawing surface into the view; false without an open view.
  bool DrawScreen(IRECT* pR) override;
  bool MeasureIText(IText* pTxt, const char* str, IRECT* pR) override;
  void ForceEndUserEdit() override;
  // Rebuilds the editor only when the size changes, then resizes the view.
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Cocoa gui"; }

  // --- Prompts and dialogs ---
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str, IParam* pParam) override;
  void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                     const char* extensions = "") override;
  // There is no colour dialog on this platform.
  bool PromptForColor(IColor* pColor, const char* prompt = "") override;
  // False when nothing can be opened, so a caller with another address can try it.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;

  // --- Folders ---
  void HostPath(WDL_String* pPath) override;
  void PluginPath(WDL_String* pPath) override;
  void DesktopPath(WDL_String* pPath) override;

  // --- Windows ---
  // A new view for every request, added to the parent NSView when one is given. An earlier
  // view stops drawing this editor but stays in its window: removing it is its host's job.
  void* OpenWindow(void* pParentView) override;
  // A host with a window of its own (a window reference): the editor opens in a borderless
  // child window over it. Returns the view; null without a window.
  void* OpenWindow(void* pWindow, void* pControl, short leftOffset = 0, short topOffset = 0) override;
  void* OpenCocoaWindow(void* pParentView);
  void AttachSubWindow(void* hostWindowRef) override;
  void RemoveSubWindow() override;
  void CloseWindow() override;
  void* GetWindow() override { return mView; }
  void HideMouseCursor() override;
  void ShowMouseCursor() override;

  // --- Images ---
  // Looks the image up among the bundle's resources; the ID is only the cache's key.
  LICE_IBitmap* OSLoadBitmap(int ID, const char* name) override;
  static LICE_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* fileName);

  // The system version in BCD digits (0x1068 for 10.6.8).
  int GetUserOSVersion();

private:
  // Stops the view's timer, detaches it from this host and lets it go; takes it out of its
  // window too when asked.
  void DetachView(bool removeFromWindow);
  // Takes down the child window AttachSubWindow made; the host's own window is closed only
  // when the host asked for that (RemoveSubWindow).
  void TakeDownChildWindow(bool closeHostWindow);

  void* mView = nullptr;         // IGraphicsCocoa_vtest_au*, retained while open
  void* mHostWindow = nullptr;   // NSWindow* around a host's window reference, retained
  void* mChildWindow = nullptr;  // CustomCocoaWindow_vtest_au* holding the view, retained
  WDL_String mBundleID{128};
};
