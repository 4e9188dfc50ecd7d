#pragma once
// What the Cocoa editor view decides for the two prompts the graphics host asks for: the
// in-place text field (its font size, alignment, colours, the characters a parameter
// accepts and the formatter's test of every edit) and the pop-up menu (item titles with
// their numbering, how each item looks, which menu holds the choice).
// Main (user-interface) thread, like every caller.

#include <string>
#include <string_view>

#include "IGraphicsStructs.h"
#include "IParam.h"

class IPopupMenu;

namespace cocoa_view
{
// ---- Text entry ----

// The field's font is a little smaller than the control's text: 90 %, truncated.
int TextEntryFontSize(int styleSize) noexcept;

enum class TextAlignment
{
  kLeft,
  kCenter,
  kRight
};
TextAlignment TextEntryAlignment(IText::EAlign align) noexcept;

// A colour as calibrated RGB components with alpha, each 0..1.
struct ColorComponents
{
  double r, g, b, a;
};
ColorComponents ToColorComponents(const IColor& c) noexcept;

// The characters that may be typed for a parameter of this type: a sign and digits, plus
// the decimal point for doubles. Any other type accepts none.
std::u16string_view AcceptableCharacters(IParam::EParamType type) noexcept;

// The formatter's limits; an empty optional set and zero limits accept anything.
struct FormatterLimits
{
  bool hasCharacterSet = false;
  std::u16string characters;  // the acceptable set when hasCharacterSet
  int maxLength = 0;          // in UTF-16 units; 0 = no limit
  int maxValue = 0;           // 0 = no limit
};

// Whether the text field may take this partial string: every character in the set, no
// longer than the maximum length, and an integer value no greater than the maximum value.
bool FormatterAccepts(std::u16string_view partial, const FormatterLimits& limits) noexcept;

// The integer a string starts with, read as Cocoa's intValue reads it: leading blanks, an
// optional sign, digits; 0 when there is no number; saturated at int's limits.
int LeadingIntValue(std::u16string_view s) noexcept;

// ---- Pop-up menu ----

// The title of item `index` (from 0): its text, numbered from 1 with one, two or three
// digits and ": " when the menu's prefix is 1, 2 or 3.
std::string MenuItemTitle(const char* text, int index, int prefix);

enum class MenuItemKind
{
  kSubmenu,    // opens the item's submenu; no action
  kSeparator,  // a plain divider
  kAction      // sends the selection to the receiver
};

struct MenuItemLook
{
  MenuItemKind kind;
  int indentation;  // 1 for an indented item, else 0
  bool checked;
  bool enabled;
};
MenuItemLook MenuItemLookFor(int flags, bool hasSubmenu) noexcept;

// Records the chosen item in the menu (or submenu) that holds it and returns that menu;
// null, with nothing recorded, when nothing was chosen.
IPopupMenu* RecordMenuChoice(IPopupMenu* pOwner, long itemIndex) noexcept;
}  // namespace cocoa_view
