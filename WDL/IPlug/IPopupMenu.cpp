#include "IPopupMenu.h"

IPopupMenuItem::IPopupMenuItem(const char* text, int flags)
  : mText(128),
    mSubmenu(nullptr),
    mFlags(flags)
{
  SetText(text);
}

IPopupMenuItem::IPopupMenuItem(const char* text, IPopupMenu* pSubMenu)
  : mText(128),
    mSubmenu(pSubMenu),
    mFlags(kNoFlags)
{
  SetText(text);
}

IPopupMenu::IPopupMenu()
  : mPrefix(0),
    mChosenItemIdx(-1),
    mMenuItems(4096)
{
}

IPopupMenu::~IPopupMenu() { mMenuItems.Empty(true); }

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* pItem, int index)
{
  if (!pItem) return nullptr;
  if (index == -1)
    mMenuItems.Add(pItem);
  else
    mMenuItems.Insert(index, pItem);  // the list clamps to 0..count
  return pItem;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int itemFlags)
{
  return AddItem(new IPopupMenuItem(text, itemFlags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* pSubmenu)
{
  return AddItem(new IPopupMenuItem(text, pSubmenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* pSubmenu) { return AddItem(text, -1, pSubmenu); }

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

const char* IPopupMenu::GetItemText(int index) const noexcept
{
  const IPopupMenuItem* pItem = GetItem(index);
  return pItem ? pItem->GetText() : "";
}

void IPopupMenu::SetPrefix(int prefix) noexcept
{
  if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
}

void IPopupMenu::CheckItem(int index, bool checked) noexcept
{
  if (IPopupMenuItem* pItem = GetItem(index)) pItem->SetChecked(checked);
}

void IPopupMenu::CheckItemAlone(int index) noexcept
{
  for (int i = 0; i < GetNItems(); ++i) GetItem(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const noexcept
{
  const IPopupMenuItem* pItem = GetItem(index);
  return pItem && pItem->GetChecked();
}
