#pragma once
// The modal pop-up menu of the X11 editor window. Each level (the menu, then each open
// submenu) is an override-redirect window drawn by X11PopupMenuLayout. While it runs it
// grabs the pointer and keyboard: moving highlights and opens submenus, a release on an
// entry picks it (after a press inside the menu or a drag from the press that opened
// it), a press outside dismisses; Up, Down, Right, Left, Return and Escape work too.
// Disabled entries and separators cannot be picked.
//
// Threads: the editor thread, which it keeps until the menu closes.

#include <X11/Xlib.h>
#include <functional>
#include <memory>
#include <vector>

class IPopupMenu;
class X11PopupMenuLayout;
class X11Surface;

class X11PopupMenu final
{
public:
  // While the menu runs, events for other windows go to `otherEvent`, and `keepRunning`
  // is called often; it receives the function that handles the events already queued
  // and returns false to dismiss the menu (the window is closing).
  using OtherEvent = std::function<void(XEvent&)>;
  using KeepRunning = std::function<bool(const std::function<void()>& handleQueued)>;

  X11PopupMenu(Display* pDisplay, Visual* pVisual, int depth, int scale);
  ~X11PopupMenu();
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Shows the menu with its top-left corner at the root-window position and returns the
  // menu (or submenu) holding the picked entry, with its chosen index set; null when
  // dismissed.
  IPopupMenu* Run(IPopupMenu* pMenu, int rootX, int rootY, const OtherEvent& otherEvent,
                  const KeepRunning& keepRunning);

private:
  struct Level;

  void OpenLevel(IPopupMenu* pMenu, int x, int y);
  void CloseLevelsFrom(size_t depth);
  void Redraw(Level& level);
  int LevelAt(int rootX, int rootY) const;
  void OpenSubmenu(size_t depth, int item);
  void Dispatch(XEvent& e, const OtherEvent& otherEvent);
  void OnMotion(int rootX, int rootY);
  void OnRelease(int rootX, int rootY);
  void OnKey(XKeyEvent& e);
  void Pick(size_t depth, int item);
  void Highlight(size_t depth, int item);

  Display* mDisplay;
  Visual* mVisual;
  int mDepth;
  int mScale;
  std::vector<std::unique_ptr<Level>> mLevels;
  IPopupMenu* mResult = nullptr;
  bool mDone = false;
  bool mPressedInside = false;
  bool mMoved = false;
  int mStartX = 0, mStartY = 0;
};
