#pragma once
// How the X11 editor window reads X input: keys in the framework's key numbering,
// buttons and modifier keys as IMouseMod, double-clicks by time and distance, and window
// pixels as editor coordinates at the window's scale. Plain functions of X values, so
// they are tested without a display.

#include "IGraphicsStructs.h"

// The framework's code of a key: space 0, arrows up 1, down 2, left 3, right 4, digits
// 5..14, letters of either case 15..40; -1 for any other key (keypad keys count as the
// keys they stand for).
int X11KeyCode(unsigned long keysym);

// The modifiers of a press, release, drag or move. Button 3 is the right button; a
// Ctrl+click of the left button is also a right click (R with L and C), as the controls
// expect. Button 0 stands for a move or wheel step: the buttons held then decide.
IMouseMod X11MouseMod(unsigned int state, unsigned int button);

// Editor coordinate of a window pixel at an integer scale (rounds towards minus
// infinity, so a drag past the left or top edge keeps moving).
constexpr int X11ToEditor(int windowPixel, int scale) noexcept
{
  return windowPixel >= 0 ? windowPixel / scale : -((-windowPixel + scale - 1) / scale);
}

// Counts the clicks of a multiple click: a press of the same button within kTime
// milliseconds and kDistance window pixels of the previous press adds one.
class X11ClickCounter final
{
public:
  static constexpr unsigned long kTime = 400;
  static constexpr int kDistance = 5;

  // Returns the press's click count (1 for a single click, 2 for a double click, ...).
  int Press(unsigned int button, unsigned long time, int x, int y) noexcept;
  void Reset() noexcept { mCount = 0; }

private:
  unsigned int mButton = 0;
  unsigned long mTime = 0;
  int mX = 0, mY = 0, mCount = 0;
};
