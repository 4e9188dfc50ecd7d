// The Cocoa editor view's two prompts: the value field and its formatter, and the pop-up menu.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "CocoaPromptLogic.h"
#include "IPopupMenu.h"

using namespace cocoa_view;

namespace
{
// ---- Value field ----

TEST(CocoaTextEntry, FieldStyleFollowsTheControlsText)
{
  EXPECT_EQ(9, TextEntryFontSize(10));
  EXPECT_EQ(10, TextEntryFontSize(12));  // 10.8 truncates
  EXPECT_EQ(0, TextEntryFontSize(1));
  EXPECT_EQ(TextAlignment::kLeft, TextEntryAlignment(IText::kAlignNear));
  EXPECT_EQ(TextAlignment::kCenter, TextEntryAlignment(IText::kAlignCenter));
  EXPECT_EQ(TextAlignment::kRight, TextEntryAlignment(IText::kAlignFar));

  const ColorComponents c = ToColorComponents(IColor(255, 0, 51, 255));
  EXPECT_DOUBLE_EQ(0.0, c.r);
  EXPECT_DOUBLE_EQ(0.2, c.g);
  EXPECT_DOUBLE_EQ(1.0, c.b);
  EXPECT_DOUBLE_EQ(1.0, c.a);
  EXPECT_DOUBLE_EQ(128 / 255.0, ToColorComponents(IColor(128, 0, 0, 0)).a);
}

TEST(CocoaTextEntry, EachParameterTypeAcceptsItsCharacters)
{
  EXPECT_EQ(u"0123456789.-+", AcceptableCharacters(IParam::kTypeDouble));
  for (IParam::EParamType t : {IParam::kTypeBool, IParam::kTypeInt, IParam::kTypeEnum})
    EXPECT_EQ(u"0123456789-+", AcceptableCharacters(t)) << t;
  EXPECT_EQ(u"", AcceptableCharacters(IParam::kTypeNone));
}

// The formatter a value field gets for a parameter, as the view installs it.
FormatterLimits FieldFor(IParam::EParamType type, int maxLength = 7)
{
  FormatterLimits l;
  l.hasCharacterSet = true;
  l.characters = std::u16string(AcceptableCharacters(type));
  l.maxLength = maxLength;
  return l;
}

TEST(CocoaFormatter, EditsAreRefusedAsTheyAreTyped)
{
  FormatterLimits capped = FieldFor(IParam::kTypeInt, 0);
  capped.maxValue = 100;
  const FormatterLimits anything;
  const FormatterLimits none = FieldFor(IParam::kTypeNone, 0);

  struct Case
  {
    const char* name;
    const FormatterLimits& limits;
    std::u16string partial;
    bool accepted;
  };
  const FormatterLimits dbl = FieldFor(IParam::kTypeDouble), integer = FieldFor(IParam::kTypeInt);
  const Case cases[] = {
    {"a double takes a decimal point", dbl, u"1.5", true},
    {"an integer refuses the '.' of 1.5", integer, u"1.", false},
    {"an integer takes a sign and digits", integer, u"-12", true},
    {"a plus sign", integer, u"+3", true},
    {"letters are refused", dbl, u"1e5", false},
    {"a blank is refused", dbl, u"1 ", false},
    {"seven characters fit the default length", dbl, u"-1.2345", true},
    {"the eighth is refused", dbl, u"-1.23456", false},
    {"an empty field is fine", integer, u"", true},
    {"no character set and no limits: anything", anything, u"any text at all, 1.5e3", true},
    {"an empty set refuses every character", none, u"1", false},
    {"an empty set still allows an empty field", none, u"", true},
    {"up to the maximum value", capped, u"100", true},
    {"above the maximum value", capped, u"101", false},
    {"a value far above overflows no int", capped, u"99999999999999", false},
    {"a negative value is below the maximum", capped, u"-5000", true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.accepted, FormatterAccepts(c.partial, c.limits));
  }
}

TEST(CocoaFormatter, LeadingIntegerReadsLikeCocoa)
{
  struct Case
  {
    std::u16string s;
    int value;
  };
  const Case cases[] = {
    {u"42", 42},
    {u"  -7x", -7},
    {u"+3", 3},
    {u"abc", 0},
    {u"", 0},
    {u"12.9", 12},
    {u"- 4", 0},
    {u"2147483647", INT_MAX},
    {u"2147483648", INT_MAX},
    {u"-2147483648", INT_MIN},
    {u"-99999999999", INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, LeadingIntValue(c.s)) << std::string(c.s.begin(), c.s.end());
}

// ---- Pop-up menu ----

TEST(CocoaMenu, TitlesCarryTheMenusNumbering)
{
  struct Case
  {
    const char* name;
    const char* text;
    int index, prefix;
    const char* title;
  };
  const Case cases[] = {
    {"no prefix", "Hard", 2, 0, "Hard"},
    {"one digit", "Soft", 0, 1, "1: Soft"},
    {"one digit widens past nine", "x", 11, 1, "12: x"},
    {"two digits", "Soft", 0, 2, "01: Soft"},
    {"three digits", "Soft", 4, 3, "005: Soft"},
    {"an empty text keeps its number", "", 0, 2, "01: "},
    {"no text", nullptr, 0, 0, ""},
    {"a prefix outside 1..3 numbers nothing", "Soft", 0, 4, "Soft"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.title, MenuItemTitle(c.text, c.index, c.prefix));
  }

  // A menu of twelve with prefix 2: "01: " to "12: ".
  IPopupMenu menu;
  menu.SetPrefix(2);
  for (int i = 0; i < 12; ++i) menu.AddItem("item");
  for (int i = 0; i < menu.GetNItems(); ++i)
  {
    char want[16];
    std::snprintf(want, sizeof(want), "%02d: item", i + 1);
    EXPECT_EQ(want, MenuItemTitle(menu.GetItemText(i), i, menu.GetPrefix()));
  }
}

TEST(CocoaMenu, ItemFlagsDecideHowEachItemLooks)
{
  using F = IPopupMenuItem;
  struct Case
  {
    const char* name;
    int flags;
    bool hasSubmenu;
    MenuItemKind kind;
    int indentation;
    bool checked, enabled;
  };
  const Case cases[] = {
    {"plain", F::kNoFlags, false, MenuItemKind::kAction, 0, false, true},
    {"disabled and checked", F::kDisabled | F::kChecked, false, MenuItemKind::kAction, 0, true, false},
    {"indented", F::kIndented, false, MenuItemKind::kAction, 1, false, true},
    {"separator", F::kSeparator, false, MenuItemKind::kSeparator, 0, false, true},
    {"a submenu wins over the separator flag", F::kSeparator, true, MenuItemKind::kSubmenu, 0, false, true},
    {"a submenu item has no action state", F::kChecked | F::kDisabled, true, MenuItemKind::kSubmenu, 0, false, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const MenuItemLook look = MenuItemLookFor(c.flags, c.hasSubmenu);
    EXPECT_EQ(c.kind, look.kind);
    EXPECT_EQ(c.indentation, look.indentation);
    EXPECT_EQ(c.checked, look.checked);
    EXPECT_EQ(c.enabled, look.enabled);
  }
}

TEST(CocoaMenu, TheChoiceIsRecordedInTheMenuThatHoldsIt)
{
  IPopupMenu sub;
  sub.AddItem("s0");
  sub.AddItem("s1");
  IPopupMenu top;
  top.AddItem("a");
  top.AddItem("more", &sub);
  top.AddItem("c");

  // A choice in the submenu comes back as the submenu; the top menu stays unchosen.
  EXPECT_EQ(&sub, RecordMenuChoice(&sub, 1));
  EXPECT_EQ(1, sub.GetChosenItemIdx());
  EXPECT_EQ(-1, top.GetChosenItemIdx());

  EXPECT_EQ(&top, RecordMenuChoice(&top, 2));
  EXPECT_EQ(2, top.GetChosenItemIdx());

  IPopupMenu dismissed;
  dismissed.AddItem("x");
  EXPECT_EQ(nullptr, RecordMenuChoice(&dismissed, -1)) << "nothing chosen";
  EXPECT_EQ(nullptr, RecordMenuChoice(&dismissed, 1)) << "an index the menu does not have";
  EXPECT_EQ(-1, dismissed.GetChosenItemIdx());
  EXPECT_EQ(nullptr, RecordMenuChoice(nullptr, 0)) << "an item of a menu that is not ours";
}
}  // namespace
