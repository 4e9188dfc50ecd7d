#pragma once
// A graphics host without a window. It draws into the same surface a window binding
// would show, finds images among those compiled into the binary (or registered by a
// test), and answers prompts, menus and file dialogs from answers the caller queued
// beforehand, as a user would have given them. Tests and the snapshot tool use it to
// drive an editor and write it out as a PNG file.

#include <deque>
#include <string>
#include <vector>

#include "IGraphics.h"
#include "wdlstring.h"

// A process-wide request that editors be made headless whatever the platform offers:
// a plug-in's factory of its graphics host (its MakeGraphics) honours it. Programs and
// tests that draw editors themselves (snapshots) set it before they create a plug-in.
// Any thread; it applies to editors created afterwards.
void RequestHeadlessEditors(bool headless) noexcept;
bool HeadlessEditorsRequested() noexcept;

class IGraphicsHeadless final : public IGraphics
{
public:
  IGraphicsHeadless(IPlugBase* pPlug, int w, int h, int refreshFPS = 0);
  ~IGraphicsHeadless() override;

  // --- Platform operations ---
  // The surface is the screen here: counts the call and remembers the rectangle.
  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  const char* GetGUIAPI() override { return "Headless"; }
  // Answers with the next queued result, else 0.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Picks the next queued entry of the top menu; no queued choice, or a choice
  // outside the menu, dismisses it.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  // Opens an entry; a queued text is typed into it and committed at once.
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str, IParam* pParam) override;
  void HostPath(WDL_String* pPath) override;
  void PluginPath(WDL_String* pPath) override;
  void DesktopPath(WDL_String* pPath) override;
  // Answers with the next queued path; an empty or missing answer cancels.
  void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                     const char* extensions = "") override;
  bool PromptForColor(IColor* pColor, const char* prompt = "") override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  void* OpenWindow(void* pParentWnd) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // Looks the file's last path component up among the compiled-in images; the
  // extension must be "png" in any case. The ID is not used. Images are registered
  // with RegisterEmbeddedImage (IGraphicsEmbeddedImages.h).
  LICE_IBitmap* OSLoadBitmap(int ID, const char* name) override;

  // The identifier of the bundle the plug-in ships in (set by the plug-in's factory of
  // its editor). Images are found among the compiled-in ones, not through the bundle.
  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID); }
  const char* GetBundleID() const noexcept { return mBundleID.Get(); }

  // --- Scripted user answers ---
  void QueueMenuChoice(int itemIdx) { mMenuChoices.push_back(itemIdx); }
  void QueueTextEntry(const char* text) { mTextEntries.emplace_back(text ? text : ""); }
  void QueueFileChoice(const char* path) { mFileChoices.emplace_back(path ? path : ""); }
  void QueueMessageBoxResult(int result) { mMessageBoxResults.push_back(result); }
  void QueueColor(const IColor& color) { mColors.push_back(color); }
  void SetOpenURLResult(bool result) noexcept { mOpenURLResult = result; }

  // --- What the editor asked for ---
  struct TextEntry
  {
    bool mOpen = false;
    IControl* mControl = nullptr;
    IParam* mParam = nullptr;
    std::string mText;
    IRECT mRect;
  };
  struct MenuShown
  {
    std::vector<std::string> mItems;
    std::vector<int> mFlags;
    IRECT mRect;
  };

  const TextEntry& GetTextEntry() const noexcept { return mTextEntry; }
  // Types the text into the open entry and closes it, as pressing return would.
  bool CommitTextEntry(const char* text);
  const std::vector<MenuShown>& GetMenusShown() const noexcept { return mMenusShown; }
  const std::vector<std::string>& GetURLsOpened() const noexcept { return mURLsOpened; }
  const std::vector<std::string>& GetMessages() const noexcept { return mMessages; }
  int GetDrawScreenCount() const noexcept { return mDrawScreenCount; }
  const IRECT& GetLastScreenRect() const noexcept { return mLastScreenRect; }

private:
  WDL_String mBundleID{128};
  bool mWindowOpen = false;
  int mDrawScreenCount = 0;
  IRECT mLastScreenRect;
  bool mOpenURLResult = true;
  TextEntry mTextEntry;
  std::deque<int> mMenuChoices;
  std::deque<std::string> mTextEntries;
  std::deque<std::string> mFileChoices;
  std::deque<int> mMessageBoxResults;
  std::deque<IColor> mColors;
  std::vector<MenuShown> mMenusShown;
  std::vector<std::string> mURLsOpened;
  std::vector<std::string> mMessages;
};
