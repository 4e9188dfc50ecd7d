#include "X11PopupMenuLayout.h"

#include <algorithm>
#include <cstdio>

#include "IPopupMenu.h"
#include "lice.h"

namespace
{
// Editor-pixel sizes, multiplied by the scale.
constexpr int kFontHeight = 13;
constexpr int kBorder = 1;
constexpr int kRowPadding = 3;
constexpr int kSeparatorHeight = 7;
constexpr int kCheckColumn = 20;
constexpr int kIndent = 12;
constexpr int kArrowColumn = 20;
constexpr int kMinWidth = 60;

constexpr LICE_pixel kBackground = LICE_RGB(242, 242, 242);
constexpr LICE_pixel kFrame = LICE_RGB(120, 120, 120);
constexpr LICE_pixel kText = LICE_RGB(20, 20, 20);
constexpr LICE_pixel kDisabledText = LICE_RGB(150, 150, 150);
constexpr LICE_pixel kHighlight = LICE_RGB(56, 116, 216);
constexpr LICE_pixel kHighlightText = LICE_RGB(255, 255, 255);
constexpr LICE_pixel kSeparator = LICE_RGB(200, 200, 200);
}  // namespace

X11PopupMenuLayout::X11PopupMenuLayout(const IPopupMenu* pMenu, int scale)
  : mMenu(pMenu),
    mScale(scale < 1 ? 1 : scale),
    mFont(std::make_unique<LICE_CachedFont>())
{
  if (HFONT font =
        CreateFont(kFontHeight * mScale, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Sans"))
    mFont->SetFromHFont(font, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  mLineHeight = std::max(mFont->GetLineHeight(), kFontHeight * mScale);
  const int s = mScale;
  int textW = 0, y = kBorder * s;
  const int n = pMenu ? pMenu->GetNItems() : 0;
  for (int i = 0; i < n; ++i)
  {
    const IPopupMenuItem* pItem = pMenu->GetItem(i);
    mTitles.push_back(ItemTitle(pMenu, i));
    const int h = pItem->GetIsSeparator() ? kSeparatorHeight * s : mLineHeight + 2 * kRowPadding * s;
    mRows.emplace_back(kBorder * s, y, 0, y + h);  // right edge set below
    y += h;
    if (!pItem->GetIsSeparator() && !mTitles.back().empty())
    {
      RECT r{0, 0, 0, 0};
      mFont->DrawText(nullptr, mTitles.back().c_str(), -1, &r, LICE_DT_CALCRECT);
      textW = std::max(textW, r.right + (pItem->GetIndented() ? kIndent * s : 0));
    }
  }
  mWidth = std::max(kMinWidth * s, textW + (kCheckColumn + kArrowColumn + 2 * kBorder) * s);
  mHeight = y + kBorder * s;
  for (IRECT& r : mRows) r.R = mWidth - kBorder * s;
}

X11PopupMenuLayout::~X11PopupMenuLayout() = default;

std::string X11PopupMenuLayout::ItemTitle(const IPopupMenu* pMenu, int index)
{
  const IPopupMenuItem* pItem = pMenu ? pMenu->GetItem(index) : nullptr;
  if (!pItem) return "";
  static const char* const kFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  const int prefix = pMenu->GetPrefix();
  char number[32] = "";
  if (prefix >= 1 && prefix <= 3) std::snprintf(number, sizeof(number), kFormats[prefix], index + 1);
  const char* text = pItem->GetText();
  return std::string(number) + (text ? text : "");
}

IRECT X11PopupMenuLayout::ItemRect(int index) const noexcept
{
  return index >= 0 && index < NItems() ? mRows[index] : IRECT();
}

int X11PopupMenuLayout::ItemAt(int x, int y) const noexcept
{
  for (int i = 0; i < NItems(); ++i)
    if (mRows[i].Contains(x, y)) return i;
  return -1;
}

bool X11PopupMenuLayout::IsSelectable(int index) const noexcept
{
  const IPopupMenuItem* pItem = mMenu ? mMenu->GetItem(index) : nullptr;
  return pItem && pItem->GetEnabled() && !pItem->GetIsSeparator();
}

int X11PopupMenuLayout::NextSelectable(int from, int direction) const noexcept
{
  const int n = NItems();
  if (n == 0) return -1;
  int i = from;
  for (int step = 0; step < n; ++step)
  {
    i = (i < 0 && direction < 0) ? n - 1 : (i + direction + n) % n;
    if (IsSelectable(i)) return i;
  }
  return -1;
}

void X11PopupMenuLayout::Draw(LICE_IBitmap* pBitmap, int highlighted)
{
  const int s = mScale;
  LICE_FillRect(pBitmap, 0, 0, mWidth, mHeight, kFrame, 1.0f, LICE_BLIT_MODE_COPY);
  LICE_FillRect(pBitmap, kBorder * s, kBorder * s, mWidth - 2 * kBorder * s, mHeight - 2 * kBorder * s, kBackground,
                1.0f, LICE_BLIT_MODE_COPY);
  for (int i = 0; i < NItems(); ++i)
  {
    const IPopupMenuItem* pItem = mMenu->GetItem(i);
    const IRECT& r = mRows[i];
    if (pItem->GetIsSeparator())
    {
      LICE_FillRect(pBitmap, r.L + 4 * s, (r.T + r.B) / 2, r.W() - 8 * s, s, kSeparator, 1.0f, LICE_BLIT_MODE_COPY);
      continue;
    }
    const bool lit = i == highlighted && IsSelectable(i);
    if (lit) LICE_FillRect(pBitmap, r.L, r.T, r.W(), r.H(), kHighlight, 1.0f, LICE_BLIT_MODE_COPY);
    const LICE_pixel ink = lit ? kHighlightText : (pItem->GetEnabled() ? kText : kDisabledText);
    const int midY = (r.T + r.B) / 2;
    if (pItem->GetChecked())
    {
      // A tick of two strokes, as thick as the scale.
      const int x = r.L + 6 * s;
      for (int k = 0; k < s; ++k)
      {
        LICE_Line(pBitmap, x, midY + k, x + 3 * s, midY + 3 * s + k, ink, 1.0f, LICE_BLIT_MODE_COPY, false);
        LICE_Line(pBitmap, x + 3 * s, midY + 3 * s + k, x + 9 * s, midY - 4 * s + k, ink, 1.0f, LICE_BLIT_MODE_COPY,
                  false);
      }
    }
    if (pItem->GetSubmenu())
    {
      const int x = r.R - 12 * s;
      LICE_FillTriangle(pBitmap, x, midY - 4 * s, x, midY + 4 * s, x + 5 * s, midY, ink, 1.0f, LICE_BLIT_MODE_COPY);
    }
    mFont->SetTextColor(ink);
    const int left = r.L + (kCheckColumn + (pItem->GetIndented() ? kIndent : 0)) * s;
    RECT tr{left, r.T + kRowPadding * s, r.R - kArrowColumn * s, r.B};
    mFont->DrawText(pBitmap, mTitles[i].c_str(), -1, &tr, LICE_DT_NOCLIP);
  }
}
