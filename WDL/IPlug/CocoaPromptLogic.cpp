#include "CocoaPromptLogic.h"

#include <climits>
#include <cstdio>

#include "IPopupMenu.h"

namespace cocoa_view
{
// ---- Text entry ----

int TextEntryFontSize(int styleSize) noexcept { return static_cast<int>(styleSize * 0.9); }

TextAlignment TextEntryAlignment(IText::EAlign align) noexcept
{
  switch (align)
  {
    case IText::kAlignNear: return TextAlignment::kLeft;
    case IText::kAlignFar: return TextAlignment::kRight;
    case IText::kAlignCenter:
    default: return TextAlignment::kCenter;
  }
}

ColorComponents ToColorComponents(const IColor& c) noexcept
{
  return {c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0};
}

std::u16string_view AcceptableCharacters(IParam::EParamType type) noexcept
{
  switch (type)
  {
    case IParam::kTypeDouble: return u"0123456789.-+";
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum: return u"0123456789-+";
    default: return u"";
  }
}

int LeadingIntValue(std::u16string_view s) noexcept
{
  size_t i = 0;
  while (i < s.size() && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\n' || s[i] == u'\r')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  long long v = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
  {
    v = v * 10 + (s[i] - u'0');
    if (v > static_cast<long long>(INT_MAX) + 1) break;  // saturated either way
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

bool FormatterAccepts(std::u16string_view partial, const FormatterLimits& limits) noexcept
{
  if (limits.hasCharacterSet)
  {
    for (char16_t c : partial)
      if (limits.characters.find(c) == std::u16string::npos) return false;
  }
  if (limits.maxLength != 0 && partial.size() > static_cast<size_t>(limits.maxLength)) return false;
  if (limits.maxValue != 0 && LeadingIntValue(partial) > limits.maxValue) return false;
  return true;
}

// ---- Pop-up menu ----

std::string MenuItemTitle(const char* text, int index, int prefix)
{
  static const char* const kFormats[] = {"%1d: ", "%02d: ", "%03d: "};
  std::string title;
  if (prefix >= 1 && prefix <= 3)
  {
    char number[32];
    std::snprintf(number, sizeof(number), kFormats[prefix - 1], index + 1);
    title = number;
  }
  title += text ? text : "";
  return title;
}

MenuItemLook MenuItemLookFor(int flags, bool hasSubmenu) noexcept
{
  const bool enabled = !(flags & IPopupMenuItem::kDisabled);
  const bool checked = (flags & IPopupMenuItem::kChecked) != 0;
  const int indentation = (flags & IPopupMenuItem::kIndented) ? 1 : 0;
  if (hasSubmenu) return {MenuItemKind::kSubmenu, 0, false, true};
  if (flags & IPopupMenuItem::kSeparator) return {MenuItemKind::kSeparator, 0, false, true};
  return {MenuItemKind::kAction, indentation, checked, enabled};
}

IPopupMenu* RecordMenuChoice(IPopupMenu* pOwner, long itemIndex) noexcept
{
  if (!pOwner || itemIndex < 0 || itemIndex >= pOwner->GetNItems()) return nullptr;
  pOwner->SetChosenItemIdx(static_cast<int>(itemIndex));
  return pOwner;
}
}  // namespace cocoa_view
