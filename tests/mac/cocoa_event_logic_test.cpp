// How the Cocoa editor view turns window-system input into the graphics host's calls.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CocoaEventLogic.h"

using namespace cocoa_view;

namespace
{
constexpr int kH = 440;  // the editor's height

TEST(CocoaCoordinates, PointsReachTheEditorWithTheirOffsets)
{
  struct Case
  {
    const char* name;
    double px, py;
    int x, y;
  };
  const Case cases[] = {
    {"a click near the bottom-left", 10.7, 0.2, 8, 437},
    {"the view's origin", 0.0, 0.0, -2, 437},
    {"the top edge", 100.0, 440.0, 98, -3},
    {"fractions truncate, never round", 5.99, 439.99, 3, -2},
    {"left of the view truncates toward zero", -0.5, 10.0, -2, 427},
    {"a wild value stays in range", 1e30, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<int>::max() - 2,
     kH - 3},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const EditorPoint p = CocoaPointToEditor(c.px, c.py, kH);
    EXPECT_EQ(c.x, p.x);
    EXPECT_EQ(c.y, p.y);
  }
}

TEST(CocoaCoordinates, RepaintAreaIsOnePixelLargerOnTheFarEdges)
{
  struct Case
  {
    const char* name;
    IRECT editor;
    CocoaRect cocoa;  // origin bottom-left, size
    IRECT drawn;      // what a paint of that area asks the editor to draw
  };
  const Case cases[] = {
    {"the whole editor", IRECT(0, 0, 425, 440), {0, -1, 426, 441}, IRECT(0, 0, 426, 441)},
    {"a fader", IRECT(47, 173, 77, 300), {47, 139, 31, 128}, IRECT(47, 173, 78, 301)},
    {"one pixel at the top-left", IRECT(0, 0, 1, 1), {0, 438, 2, 2}, IRECT(0, 0, 2, 2)},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const CocoaRect r = EditorRectToCocoa(c.editor, kH);
    EXPECT_EQ(c.cocoa.x, r.x);
    EXPECT_EQ(c.cocoa.y, r.y);
    EXPECT_EQ(c.cocoa.w, r.w);
    EXPECT_EQ(c.cocoa.h, r.h);
    EXPECT_EQ(c.drawn, CocoaRectToEditor(r, kH));
    // Whatever the view asks to paint covers the control's whole rectangle.
    EXPECT_TRUE(c.drawn.Contains(&c.editor)) << "the dirty control must be redrawn whole";
  }
}

TEST(CocoaCoordinates, PaintRequestsInPointsBecomeEditorRectangles)
{
  struct Case
  {
    const char* name;
    CocoaRect cocoa;
    IRECT editor;
  };
  const Case cases[] = {
    {"the whole view", {0, 0, 425, 440}, IRECT(0, 0, 425, 440)},
    {"a strip at the bottom", {0, 0, 425, 10}, IRECT(0, 430, 425, 440)},
    {"a strip at the top", {20, 430, 50, 10}, IRECT(20, 0, 70, 10)},
    {"fractional points truncate each value", {1.9, 2.9, 3.9, 4.9}, IRECT(1, 434, 4, 438)},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.editor, CocoaRectToEditor(c.cocoa, kH));
  }
}

TEST(CocoaModifiers, FlagsAndButtonsMapToTheMouseModifiers)
{
  struct Case
  {
    const char* name;
    unsigned long flags;
    MouseButton button;
    bool L, R, S, C, A;
  };
  const unsigned long all = kShiftFlag | kControlFlag | kOptionFlag | kCommandFlag;
  const Case cases[] = {
    {"plain left click", 0, MouseButton::kLeft, true, false, false, false, false},
    {"command-click acts as a right click", kCommandFlag, MouseButton::kLeft, true, true, false, false, false},
    {"shift", kShiftFlag, MouseButton::kLeft, true, false, true, false, false},
    {"control", kControlFlag, MouseButton::kLeft, true, false, false, true, false},
    {"option", kOptionFlag, MouseButton::kLeft, true, false, false, false, true},
    {"every modifier", all, MouseButton::kLeft, true, true, true, true, true},
    {"right button", 0, MouseButton::kRight, false, true, false, false, false},
    {"right button ignores command", kCommandFlag | kShiftFlag, MouseButton::kRight, false, true, true, false, false},
    {"unrelated bits (caps lock, device bits) are ignored", (1ul << 16) | 0xffu, MouseButton::kLeft, true, false, false,
     false, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const IMouseMod m = MouseModFromFlags(c.flags, c.button);
    EXPECT_EQ(c.L, m.L);
    EXPECT_EQ(c.R, m.R);
    EXPECT_EQ(c.S, m.S);
    EXPECT_EQ(c.C, m.C);
    EXPECT_EQ(c.A, m.A);
  }
}

TEST(CocoaKeys, KeysMapToTheFrameworkNumbering)
{
  constexpr unsigned short kCodeA = 0, kCodeZ = 6, kCode5 = 23, kCodeEscape = 53;
  struct Case
  {
    const char* name;
    unsigned short keyCode;
    std::u16string chars;
    KeyAction action;
    int key;
  };
  const Case cases[] = {
    {"space", kKeyCodeSpace, u" ", KeyAction::kDeliver, kKeySpace},
    {"up arrow", kKeyCodeUp, u"\uF700", KeyAction::kDeliver, 1},
    {"down arrow", kKeyCodeDown, u"\uF701", KeyAction::kDeliver, 2},
    {"left arrow", kKeyCodeLeft, u"\uF702", KeyAction::kDeliver, 3},
    {"right arrow", kKeyCodeRight, u"\uF703", KeyAction::kDeliver, 4},
    {"the key code wins over the character", kKeyCodeUp, u"a", KeyAction::kDeliver, kKeyUp},
    {"digit 0", 29, u"0", KeyAction::kDeliver, 5},
    {"digit 5", kCode5, u"5", KeyAction::kDeliver, 10},
    {"digit 9", 25, u"9", KeyAction::kDeliver, 14},
    {"lower-case a", kCodeA, u"a", KeyAction::kDeliver, 15},
    {"upper-case A", kCodeA, u"A", KeyAction::kDeliver, 15},
    {"z", kCodeZ, u"z", KeyAction::kDeliver, 40},
    {"Z", kCodeZ, u"Z", KeyAction::kDeliver, 40},
    {"escape goes to the next responder", kCodeEscape, u"\x1b", KeyAction::kPassOn, 0},
    {"punctuation goes on", 47, u".", KeyAction::kPassOn, 0},
    {"a letter outside A-Z goes on", 0, u"\u00e9", KeyAction::kPassOn, 0},
    {"two characters are ignored entirely", kCodeA, u"ab", KeyAction::kIgnore, 0},
    {"two characters are ignored even for an arrow", kKeyCodeUp, u"\uF700x", KeyAction::kIgnore, 0},
    {"no characters (a dead key) are ignored", kCodeA, u"", KeyAction::kIgnore, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const KeyTranslation t = TranslateKeyDown(c.keyCode, c.chars);
    EXPECT_EQ(c.action, t.action);
    if (c.action == KeyAction::kDeliver)
    {
      EXPECT_EQ(c.key, t.key);
    }
  }
}

TEST(CocoaWheel, TheVerticalDeltaIsTruncatedTowardZero)
{
  struct Case
  {
    double deltaY;
    int steps;
  };
  const Case cases[] = {{1.0, 1}, {-1.0, -1}, {2.9, 2}, {-2.9, -2}, {0.4, 0}, {-0.4, 0}, {0.0, 0}};
  for (const Case& c : cases) EXPECT_EQ(c.steps, WheelSteps(c.deltaY)) << c.deltaY;
}
}  // namespace
