#pragma once
// The platform-neutral model of a pop-up menu: the graphics host fills it for an
// enumerated parameter, a window binding shows it and writes back the chosen entry.

#include "ptrlist.h"
#include "wdlstring.h"

class IPopupMenu;

class IPopupMenuItem final
{
public:
  enum Flags
  {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kIndented = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3
  };

  explicit IPopupMenuItem(const char* text, int flags = kNoFlags);
  IPopupMenuItem(const char* text, IPopupMenu* pSubMenu);

  const char* GetText() const noexcept { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text ? text : ""); }
  IPopupMenu* GetSubmenu() const noexcept { return mSubmenu; }  // not owned
  int GetFlags() const noexcept { return mFlags; }

  bool GetEnabled() const noexcept { return !(mFlags & kDisabled); }
  bool GetChecked() const noexcept { return (mFlags & kChecked) != 0; }
  bool GetIndented() const noexcept { return (mFlags & kIndented) != 0; }
  bool GetIsSeparator() const noexcept { return (mFlags & kSeparator) != 0; }

  void SetEnabled(bool enabled) noexcept { SetFlag(kDisabled, !enabled); }
  void SetChecked(bool checked) noexcept { SetFlag(kChecked, checked); }

private:
  void SetFlag(int flag, bool on) noexcept { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

  WDL_String mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};

class IPopupMenu final
{
public:
  IPopupMenu();
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Index -1 appends; any other index inserts there, clamped to 0..count. The menu
  // owns the item from now on.
  IPopupMenuItem* AddItem(IPopupMenuItem* pItem, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int itemFlags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  void RemoveItems() { mMenuItems.Empty(true); }

  int GetNItems() const noexcept { return mMenuItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const noexcept { return mMenuItems.Get(index); }
  const char* GetItemText(int index) const noexcept;

  // 0 no numbering; 1, 2, 3 number the entries with that many digits.
  void SetPrefix(int prefix) noexcept;
  int GetPrefix() const noexcept { return mPrefix; }

  void SetChosenItemIdx(int index) noexcept { mChosenItemIdx = index; }
  int GetChosenItemIdx() const noexcept { return mChosenItemIdx; }

  void CheckItem(int index, bool checked) noexcept;
  void CheckItemAlone(int index) noexcept;
  bool IsItemChecked(int index) const noexcept;

private:
  int mPrefix;
  int mChosenItemIdx;
  WDL_PtrList<IPopupMenuItem> mMenuItems;
};
