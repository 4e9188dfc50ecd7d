// The X11 window's input rules, checked on plain X values: keys in the framework's
// numbering, buttons and modifiers, double-click thresholds, window pixels at a scale,
// the scale rule, and the menu's entry titles and rows.

#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "IPopupMenu.h"
#include "linux_window/X11Input.h"
#include "linux_window/X11PopupMenuLayout.h"
#include "linux_window/X11Scale.h"

TEST(X11Input, KeysInTheFrameworkNumbering)
{
  struct Case
  {
    unsigned long keysym;
    int code;
  };
  const Case cases[] = {
    {XK_space, 0}, {XK_Up, 1},      {XK_KP_Down, 2}, {XK_Left, 3},    {XK_KP_Right, 4}, {XK_0, 5},
    {XK_9, 14},    {XK_KP_3, 8},    {XK_a, 15},      {XK_A, 15},      {XK_z, 40},       {XK_Z, 40},
    {XK_m, 27},    {XK_Return, -1}, {XK_F1, -1},     {XK_period, -1}, {XK_Shift_L, -1}, {XK_adiaeresis, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(X11KeyCode(c.keysym), c.code) << "keysym 0x" << std::hex << c.keysym;
}

TEST(X11Input, ButtonsAndModifiers)
{
  struct Case
  {
    const char* name;
    unsigned state, button;
    bool L, R, S, C, A;
  };
  const Case cases[] = {
    {"left click", 0, Button1, true, false, false, false, false},
    {"right click", 0, Button3, false, true, false, false, false},
    {"ctrl+click is a right click", ControlMask, Button1, true, true, false, true, false},
    {"shift+alt+click", ShiftMask | Mod1Mask, Button1, true, false, true, false, true},
    {"shift+right click", ShiftMask, Button3, false, true, true, false, false},
    {"drag with the right button", Button3Mask, 0, false, true, false, false, false},
    {"drag with the left button", Button1Mask, 0, true, false, false, false, false},
    {"move with ctrl", ControlMask, 0, true, true, false, true, false},
  };
  for (const Case& c : cases)
  {
    const IMouseMod m = X11MouseMod(c.state, c.button);
    EXPECT_EQ(std::vector<bool>({m.L, m.R, m.S, m.C, m.A}), std::vector<bool>({c.L, c.R, c.S, c.C, c.A})) << c.name;
  }
}

TEST(X11Input, DoubleClicksNeedTheSameButtonSoonAndNearby)
{
  struct Case
  {
    const char* name;
    unsigned button2;
    unsigned long gap;
    int dx;
    int count;
  };
  const Case cases[] = {
    {"quick and still", Button1, 200, 0, 2},
    {"at the time limit", Button1, X11ClickCounter::kTime, 0, 2},
    {"too slow", Button1, X11ClickCounter::kTime + 1, 0, 1},
    {"at the distance limit", Button1, 100, X11ClickCounter::kDistance, 2},
    {"too far", Button1, 100, X11ClickCounter::kDistance + 1, 1},
    {"another button", Button3, 100, 0, 1},
  };
  for (const Case& c : cases)
  {
    X11ClickCounter clicks;
    EXPECT_EQ(clicks.Press(Button1, 1000, 50, 50), 1) << c.name;
    EXPECT_EQ(clicks.Press(c.button2, 1000 + c.gap, 50 + c.dx, 50), c.count) << c.name;
  }
  X11ClickCounter triple;
  triple.Press(Button1, 0, 0, 0);
  triple.Press(Button1, 100, 0, 0);
  EXPECT_EQ(triple.Press(Button1, 200, 0, 0), 3);
}

TEST(X11Input, WindowPixelsToEditorCoordinates)
{
  struct Case
  {
    int pixel, scale, editor;
  };
  const Case cases[] = {{0, 1, 0}, {7, 1, 7},     {-3, 1, -3}, {0, 2, 0},   {1, 2, 0},
                        {2, 2, 1}, {849, 2, 424}, {-1, 2, -1}, {-2, 2, -1}, {-3, 2, -2}};
  for (const Case& c : cases) EXPECT_EQ(X11ToEditor(c.pixel, c.scale), c.editor) << c.pixel << " at " << c.scale;
}

TEST(X11Scale, HostThenGdkScaleThenXftDpi)
{
  struct Case
  {
    const char* name;
    int host;
    const char* gdk;
    const char* resources;
    int scale;
  };
  const Case cases[] = {
    {"nothing known", 0, nullptr, nullptr, 1},
    {"host asks for 2", 2, "1", "Xft.dpi:\t96\n", 2},
    {"host asks for 1", 1, "2", "Xft.dpi:\t192\n", 1},
    {"host value out of range is no choice", 3, "2", nullptr, 2},
    {"GDK_SCALE 2", 0, "2", "Xft.dpi:\t96\n", 2},
    {"GDK_SCALE 3 still 2", 0, "3", nullptr, 2},
    {"GDK_SCALE 1 beats a high dpi", 0, "1", "Xft.dpi:\t192\n", 1},
    {"GDK_SCALE not a number", 0, "two", "Xft.dpi:\t192\n", 2},
    {"dpi 144", 0, nullptr, "Xft.antialias:\t1\nXft.dpi:\t144\n", 2},
    {"dpi 143.9", 0, "", "Xft.dpi:\t143.9\n", 1},
    {"dpi 96", 0, nullptr, "Xft.dpi:\t96\nXft.hinting:\t1\n", 1},
    {"other resources only", 0, nullptr, "Xcursor.size:\t48\n", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseEditorScale(c.host, c.gdk, c.resources), c.scale) << c.name;
}

TEST(X11PopupMenuLayout, TitlesRowsAndSelectableEntries)
{
  IPopupMenu sub;
  sub.AddItem("x");
  IPopupMenu menu;
  for (int i = 0; i < 12; ++i) menu.AddItem(("Item " + std::to_string(i)).c_str());
  menu.AddSeparator(3);
  menu.GetItem(5)->SetEnabled(false);
  menu.AddItem("Sub", &sub);

  menu.SetPrefix(2);
  EXPECT_EQ(X11PopupMenuLayout::ItemTitle(&menu, 0), "01: Item 0");
  EXPECT_EQ(X11PopupMenuLayout::ItemTitle(&menu, 12), "13: Item 11");
  menu.SetPrefix(1);
  EXPECT_EQ(X11PopupMenuLayout::ItemTitle(&menu, 1), "2: Item 1");
  menu.SetPrefix(3);
  EXPECT_EQ(X11PopupMenuLayout::ItemTitle(&menu, 9), "010: Item 8");
  menu.SetPrefix(0);
  EXPECT_EQ(X11PopupMenuLayout::ItemTitle(&menu, 2), "Item 2");

  for (int scale : {1, 2})
  {
    X11PopupMenuLayout layout(&menu, scale);
    ASSERT_EQ(layout.NItems(), 14);
    EXPECT_LT(layout.ItemRect(3).H(), layout.ItemRect(2).H());  // the separator is thin
    for (int i = 0; i + 1 < layout.NItems(); ++i) EXPECT_EQ(layout.ItemRect(i).B, layout.ItemRect(i + 1).T);
    for (int i = 0; i < layout.NItems(); ++i)
    {
      const IRECT r = layout.ItemRect(i);
      EXPECT_EQ(layout.ItemAt((r.L + r.R) / 2, (r.T + r.B) / 2), i);
    }
    EXPECT_EQ(layout.ItemAt(-1, 5), -1);
    EXPECT_FALSE(layout.IsSelectable(3));  // separator
    EXPECT_FALSE(layout.IsSelectable(5));  // disabled
    EXPECT_EQ(layout.NextSelectable(2, +1), 4);
    EXPECT_EQ(layout.NextSelectable(4, +1), 6);
    EXPECT_EQ(layout.NextSelectable(13, +1), 0);
    EXPECT_EQ(layout.NextSelectable(-1, -1), 13);
  }
  X11PopupMenuLayout one(&menu, 1), two(&menu, 2);
  EXPECT_EQ(two.Height(), 2 * one.Height());
}
