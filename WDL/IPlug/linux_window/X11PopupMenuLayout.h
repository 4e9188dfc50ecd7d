#pragma once
// Where the entries of one level of a pop-up menu sit and how they look, in window
// pixels at the window's scale: a column of rows, each with room on the left for a check
// mark (and an indent) and on the right for a submenu arrow; separators are thin rows.
// Entry titles carry the menu's number prefix ("1: ", "01: ", "001: ").
// Drawn with the raster layer; no X11 here, so tests can find an entry's position.
//
// Threads: the editor thread.

#include <memory>
#include <string>
#include <vector>

#include "IGraphicsStructs.h"

class IPopupMenu;
class LICE_IBitmap;
class LICE_CachedFont;

class X11PopupMenuLayout final
{
public:
  X11PopupMenuLayout(const IPopupMenu* pMenu, int scale);
  ~X11PopupMenuLayout();
  X11PopupMenuLayout(const X11PopupMenuLayout&) = delete;
  X11PopupMenuLayout& operator=(const X11PopupMenuLayout&) = delete;

  // The entry's title as shown: the number prefix, then its text.
  static std::string ItemTitle(const IPopupMenu* pMenu, int index);

  int Width() const noexcept { return mWidth; }
  int Height() const noexcept { return mHeight; }
  int NItems() const noexcept { return static_cast<int>(mRows.size()); }
  // The entry's row, relative to the menu's top-left corner.
  IRECT ItemRect(int index) const noexcept;
  // The entry at a point relative to the menu, -1 for none.
  int ItemAt(int x, int y) const noexcept;
  // An entry the user can pick or open: enabled and not a separator.
  bool IsSelectable(int index) const noexcept;
  // The next selectable entry from `from` in a direction (+1, -1), wrapping; -1 when none.
  int NextSelectable(int from, int direction) const noexcept;

  // Draws the menu into a bitmap of Width() x Height() with one entry highlighted (or -1).
  void Draw(LICE_IBitmap* pBitmap, int highlighted);

private:
  const IPopupMenu* mMenu;
  int mScale;
  std::unique_ptr<LICE_CachedFont> mFont;
  std::vector<IRECT> mRows;
  std::vector<std::string> mTitles;
  int mWidth = 0, mHeight = 0, mLineHeight = 0;
};
