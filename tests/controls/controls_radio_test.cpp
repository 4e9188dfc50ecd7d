// Radio buttons: layout, presses (on a button, between buttons, right button) and drawing.

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
struct LayoutCase
{
  const char* name;
  IRECT rect;
  int nButtons;
  EDirection direction;
  bool reverse;
  std::vector<IRECT> buttons;
};

// Buttons are 10 pixels wide and 8 high (a two-frame bitmap of 10 x 16).
TEST(IRadioButtonsControl, SpreadsTheButtonsEvenlyOverTheRectangle)
{
  const LayoutCase cases[] = {
    {"vertical", IRECT(5, 7, 15, 57), 3, kVertical, false, {{5, 7, 15, 15}, {5, 28, 15, 36}, {5, 49, 15, 57}}},
    {"vertical reversed", IRECT(5, 7, 15, 57), 3, kVertical, true, {{5, 49, 15, 57}, {5, 28, 15, 36}, {5, 7, 15, 15}}},
    {"horizontal", IRECT(5, 7, 55, 15), 3, kHorizontal, false, {{5, 7, 15, 15}, {25, 7, 35, 15}, {45, 7, 55, 15}}},
    {"horizontal reversed",
     IRECT(5, 7, 55, 15),
     3,
     kHorizontal,
     true,
     {{45, 7, 55, 15}, {25, 7, 35, 15}, {5, 7, 15, 15}}},
    {"uneven gap truncates",
     IRECT(0, 0, 10, 51),
     3,
     kVertical,
     false,
     {{0, 0, 10, 8}, {0, 21, 10, 29}, {0, 42, 10, 50}}},
    {"touching buttons", IRECT(0, 0, 20, 8), 2, kHorizontal, true, {{10, 0, 20, 8}, {0, 0, 10, 8}}},
    {"single button", IRECT(3, 4, 40, 40), 1, kVertical, true, {{3, 4, 13, 12}}},
    {"no buttons", IRECT(3, 4, 40, 40), 0, kVertical, false, {}},
  };
  FramesBitmap strip(10, 8, 2);
  for (const LayoutCase& c : cases)
  {
    IRadioButtonsControl radio(nullptr, c.rect, -1, c.nButtons, &strip.bitmap, c.direction, c.reverse);
    ASSERT_EQ(radio.NButtons(), static_cast<int>(c.buttons.size())) << c.name;
    for (int i = 0; i < radio.NButtons(); ++i) EXPECT_EQ(*radio.GetButtonRECT(i), c.buttons[i]) << c.name << " " << i;
    EXPECT_EQ(radio.GetButtonRECT(radio.NButtons()), nullptr) << c.name;
  }
}

struct PressCase
{
  const char* name;
  int x, y;
  IMouseMod mod;
  double before;
  double after;
  bool pushed;
};

TEST(IRadioButtonsControl, PressSelectsTheButtonUnderThePoint)
{
  const PressCase cases[] = {
    {"first button", 10, 10, IMouseMod(true), 1.0, 0.0, true},
    {"middle button", 10, 30, IMouseMod(true), 0.0, 0.5, true},
    {"last button", 14, 56, IMouseMod(true), 0.0, 1.0, true},
    {"between buttons resends the value", 10, 20, IMouseMod(true), 0.5, 0.5, true},
    {"right button prompts instead", 10, 56, IMouseMod(false, true), 0.5, 0.5, false},
  };
  FramesBitmap strip(10, 8, 2);
  for (const PressCase& c : cases)
  {
    ControlsEditor ed;
    auto* radio = ed.Attach(new IRadioButtonsControl(&ed.plug, IRECT(5, 7, 15, 57), 1, 3, &strip.bitmap));
    radio->DisablePrompt(false);
    radio->SetValueFromPlug(c.before);
    ed.Press(c.x, c.y, c.mod);
    EXPECT_DOUBLE_EQ(radio->GetValue(), c.after) << c.name;
    if (c.pushed)
    {
      ASSERT_EQ(ed.plug.pushes.size(), 1u) << c.name;
      EXPECT_DOUBLE_EQ(ed.plug.pushes[0], c.after) << c.name;
    }
    else
    {
      EXPECT_TRUE(ed.plug.pushes.empty()) << c.name;
      EXPECT_TRUE(ed.gfx->GetTextEntry().mOpen) << c.name;
    }
  }
}

TEST(IRadioButtonsControl, DrawsTheActiveButtonWithTheSecondFrame)
{
  FramesBitmap strip(10, 8, 2);
  ControlsEditor ed;
  auto* radio = ed.Attach(new IRadioButtonsControl(&ed.plug, IRECT(5, 7, 55, 15), 1, 3, &strip.bitmap, kHorizontal));
  const struct
  {
    double value;
    int active;
  } rows[] = {{0.0, 0}, {0.24, 0}, {0.26, 1}, {1.0, 2}, {7.0, 2}, {-3.0, 0}};
  for (const auto& row : rows)
  {
    radio->SetValueFromPlug(row.value);
    EXPECT_EQ(radio->ActiveButton(), row.active) << row.value;
    ed.gfx->DrawAll();
    for (int i = 0; i < 3; ++i)
    {
      const IRECT* b = radio->GetButtonRECT(i);
      EXPECT_EQ(ed.Pixel(b->L, b->T), FrameColor(i == row.active ? 2 : 1).ToPixel()) << row.value << " " << i;
    }
    EXPECT_EQ(ed.Pixel(20, 10), 0u) << "the gaps stay untouched";
  }
}
}  // namespace
