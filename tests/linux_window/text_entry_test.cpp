// The window's text entry as a model: what each parameter type lets a user type, the
// length limit, and editing with the caret and the initial selection.

#include <gtest/gtest.h>

#include "lice.h"
#include "linux_window/X11TextEntry.h"

namespace
{
constexpr const char* kDouble = "0123456789.-+";
constexpr const char* kWhole = "0123456789-+";

X11TextEntry Entry(const char* text, const char* allow = kDouble, int maxLength = 7)
{
  return X11TextEntry(IRECT(10, 10, 60, 26), IText(), text, allow, maxLength, 1);
}
}  // namespace

TEST(X11TextEntry, AcceptsWhatTheParameterTypeAllows)
{
  struct Case
  {
    const char* name;
    const char* allow;
    int maxLength;
    const char* text;
    bool accepted;
  };
  const Case cases[] = {
    {"decimal number", kDouble, 7, "-12.5", true},
    {"letters in a number", kDouble, 7, "12a", false},
    {"a point in a whole number", kWhole, 7, "1.5", false},
    {"signed whole number", kWhole, 7, "+15", true},
    {"exactly the length limit", kDouble, 7, "0.12345", true},
    {"one past the limit", kDouble, 7, "0.123456", false},
    {"a type with no characters", "", 7, "1", false},
    {"empty text", "", 7, "", true},
    {"free text takes anything", nullptr, 0, "any text at all, longer than seven", true},
    {"characters, not bytes, count", nullptr, 3, "\xC3\xA9t\xC3\xA9", true},
  };
  for (const Case& c : cases) EXPECT_EQ(X11TextEntry::Accepts(c.allow, c.maxLength, c.text), c.accepted) << c.name;
}

TEST(X11TextEntry, FirstKeyReplacesTheSelectedValue)
{
  X11TextEntry e = Entry("0.500");
  EXPECT_TRUE(e.AllSelected());
  EXPECT_TRUE(e.Type("2"));
  EXPECT_EQ(e.Text(), "2");
  EXPECT_FALSE(e.Type("x"));  // refused: the entry keeps its text
  EXPECT_TRUE(e.Type("."));
  EXPECT_TRUE(e.Type("5"));
  EXPECT_EQ(e.Text(), "2.5");
  EXPECT_EQ(e.Caret(), 3);
}

TEST(X11TextEntry, CaretEditing)
{
  X11TextEntry e = Entry("0.500");
  e.MoveLeft();  // ends the selection at the start
  EXPECT_FALSE(e.AllSelected());
  EXPECT_EQ(e.Caret(), 0);
  e.Type("-");
  EXPECT_EQ(e.Text(), "-0.500");
  e.MoveEnd();
  e.Backspace();
  e.Backspace();
  EXPECT_EQ(e.Text(), "-0.5");
  e.MoveHome();
  e.Delete();
  EXPECT_EQ(e.Text(), "0.5");
  e.MoveRight();
  e.Type("1");
  EXPECT_EQ(e.Text(), "01.5");
  EXPECT_FALSE(e.Type("2345"));  // would pass the 7-character limit: refused whole
  e.SelectAll();
  e.Backspace();
  EXPECT_EQ(e.Text(), "");
}

TEST(X11TextEntry, StepsOverWholeCharacters)
{
  X11TextEntry e = Entry("a\xC3\xA9z", nullptr, 0);  // "aéz"
  e.MoveEnd();
  e.MoveLeft();
  EXPECT_EQ(e.Caret(), 3);
  e.MoveLeft();
  EXPECT_EQ(e.Caret(), 1);
  e.Delete();
  EXPECT_EQ(e.Text(), "az");
}

TEST(X11TextEntry, DrawsOnItsBackgroundAtTheScale)
{
  for (int scale : {1, 2})
  {
    IText style;
    style.mTextEntryBGColor = IColor(255, 250, 250, 250);
    X11TextEntry e(IRECT(10, 10, 60, 26), style, "0.25", kDouble, 7, scale);
    const IRECT r = e.WindowRect();
    EXPECT_EQ(r, IRECT(10 * scale, 10 * scale, 60 * scale, 26 * scale));
    LICE_MemBitmap bm(r.W(), r.H(), 1);
    e.Draw(&bm);
    int background = 0, ink = 0;
    for (int i = 0; i < r.W() * r.H(); ++i) (bm.getBits()[i] == LICE_RGB(250, 250, 250) ? background : ink)++;
    EXPECT_GT(background, r.W() * r.H() / 2) << scale;
    EXPECT_GT(ink, 10 * scale * scale) << scale;  // the selected text shows
  }
}
