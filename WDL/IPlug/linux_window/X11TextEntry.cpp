#include "X11TextEntry.h"

#include <algorithm>

#include "lice.h"

namespace
{
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Characters, not bytes: UTF-8 continuation bytes do not count.
int CharacterCount(const std::string& s)
{
  return static_cast<int>(std::count_if(s.begin(), s.end(), [](char c) { return !IsContinuation(c); }));
}

constexpr int kPadding = 2;  // editor pixels between the box and the text
}  // namespace

X11TextEntry::X11TextEntry(const IRECT& rect, const IText& style, const char* text, const char* allow, int maxLength,
                           int scale)
  : mRect(rect),
    mStyle(style),
    mText(text ? text : ""),
    mAllow(allow ? allow : ""),
    mAllowAny(allow == nullptr),
    mMaxLength(maxLength),
    mScale(scale < 1 ? 1 : scale),
    mCaret(static_cast<int>(mText.size())),
    mFont(std::make_unique<LICE_CachedFont>())
{
  const int weight = style.mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL;
  const char italic = style.mStyle == IText::kStyleItalic ? 1 : 0;
  const int height = std::max(2, style.mSize) * mScale;
  if (HFONT font = CreateFont(height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, style.mFont))
    mFont->SetFromHFont(font, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
}

X11TextEntry::~X11TextEntry() = default;

bool X11TextEntry::Accepts(const char* allow, int maxLength, const std::string& text)
{
  if (allow)
    for (char c : text)
      if (c == '\0' || !std::char_traits<char>::find(allow, std::char_traits<char>::length(allow), c)) return false;
  return maxLength <= 0 || CharacterCount(text) <= maxLength;
}

bool X11TextEntry::Type(const std::string& utf8)
{
  if (utf8.empty()) return false;
  std::string next;
  int caret;
  if (mAllSelected)
  {
    next = utf8;
    caret = static_cast<int>(utf8.size());
  }
  else
  {
    next = mText.substr(0, mCaret) + utf8 + mText.substr(mCaret);
    caret = mCaret + static_cast<int>(utf8.size());
  }
  if (!Accepts(mAllowAny ? nullptr : mAllow.c_str(), mMaxLength, next)) return false;
  mText = next;
  mCaret = caret;
  mAllSelected = false;
  return true;
}

void X11TextEntry::Backspace()
{
  if (mAllSelected)
  {
    mText.clear();
    mCaret = 0;
    mAllSelected = false;
    return;
  }
  if (mCaret == 0) return;
  int start = mCaret - 1;
  while (start > 0 && IsContinuation(mText[start])) --start;
  mText.erase(start, mCaret - start);
  mCaret = start;
}

void X11TextEntry::Delete()
{
  if (mAllSelected)
  {
    Backspace();
    return;
  }
  if (mCaret >= static_cast<int>(mText.size())) return;
  int end = mCaret + 1;
  while (end < static_cast<int>(mText.size()) && IsContinuation(mText[end])) ++end;
  mText.erase(mCaret, end - mCaret);
}

void X11TextEntry::MoveLeft()
{
  if (mAllSelected)
  {
    mAllSelected = false;
    mCaret = 0;
    return;
  }
  while (mCaret > 0 && IsContinuation(mText[--mCaret]))
  {
  }
}

void X11TextEntry::MoveRight()
{
  if (mAllSelected)
  {
    mAllSelected = false;
    mCaret = static_cast<int>(mText.size());
    return;
  }
  const int n = static_cast<int>(mText.size());
  if (mCaret < n) ++mCaret;
  while (mCaret < n && IsContinuation(mText[mCaret])) ++mCaret;
}

void X11TextEntry::MoveHome()
{
  mAllSelected = false;
  mCaret = 0;
}

void X11TextEntry::MoveEnd()
{
  mAllSelected = false;
  mCaret = static_cast<int>(mText.size());
}

void X11TextEntry::SelectAll()
{
  mAllSelected = true;
  mCaret = static_cast<int>(mText.size());
}

IRECT X11TextEntry::WindowRect() const noexcept
{
  return IRECT(mRect.L * mScale, mRect.T * mScale, mRect.R * mScale, mRect.B * mScale);
}

int X11TextEntry::TextWidth(const std::string& s)
{
  if (s.empty()) return 0;
  RECT r{0, 0, 0, 0};
  mFont->DrawText(nullptr, s.c_str(), static_cast<int>(s.size()), &r, LICE_DT_CALCRECT);
  return r.right - r.left;
}

int X11TextEntry::TextLeft(int boxW, int textW) const
{
  const int pad = kPadding * mScale;
  switch (mStyle.mAlign)
  {
    case IText::kAlignNear: return pad;
    case IText::kAlignCenter: return (boxW - textW) / 2;
    default: return boxW - pad - textW;
  }
}

void X11TextEntry::PlaceCaret(int editorX)
{
  mAllSelected = false;
  const int boxW = mRect.W() * mScale;
  const int x = (editorX - mRect.L) * mScale - TextLeft(boxW, TextWidth(mText));
  int best = 0, bestDistance = std::abs(x);
  for (int i = 1; i <= static_cast<int>(mText.size()); ++i)
  {
    if (i < static_cast<int>(mText.size()) && IsContinuation(mText[i])) continue;
    const int d = std::abs(x - TextWidth(mText.substr(0, i)));
    if (d < bestDistance) best = i, bestDistance = d;
  }
  mCaret = best;
}

void X11TextEntry::Draw(LICE_IBitmap* pBitmap)
{
  const int w = pBitmap->getWidth(), h = pBitmap->getHeight();
  const LICE_pixel bg = LICE_RGB(mStyle.mTextEntryBGColor.R, mStyle.mTextEntryBGColor.G, mStyle.mTextEntryBGColor.B);
  const LICE_pixel fg = LICE_RGB(mStyle.mTextEntryFGColor.R, mStyle.mTextEntryFGColor.G, mStyle.mTextEntryFGColor.B);
  LICE_FillRect(pBitmap, 0, 0, w, h, bg, 1.0f, LICE_BLIT_MODE_COPY);

  const int textW = TextWidth(mText);
  const int lineH = mFont->GetLineHeight();
  const int left = TextLeft(w, textW);
  const int top = (h - lineH) / 2;
  if (mAllSelected && !mText.empty())
  {
    // Selected: the colours swap, as a field shows its selection.
    LICE_FillRect(pBitmap, left, top, textW, lineH, fg, 1.0f, LICE_BLIT_MODE_COPY);
    mFont->SetTextColor(bg);
  }
  else
  {
    mFont->SetTextColor(fg);
  }
  RECT r{left, top, left + textW + 1, top + lineH};
  mFont->DrawText(pBitmap, mText.c_str(), static_cast<int>(mText.size()), &r, LICE_DT_NOCLIP);
  if (!mAllSelected)
  {
    const int caretX = left + TextWidth(mText.substr(0, mCaret));
    LICE_FillRect(pBitmap, caretX, top, mScale, lineH, fg, 1.0f, LICE_BLIT_MODE_COPY);
  }
}
