#include "X11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>
#include <cstdlib>

int X11KeyCode(unsigned long keysym)
{
  switch (keysym)
  {
    case XK_space:
    case XK_KP_Space: return 0;
    case XK_Up:
    case XK_KP_Up: return 1;
    case XK_Down:
    case XK_KP_Down: return 2;
    case XK_Left:
    case XK_KP_Left: return 3;
    case XK_Right:
    case XK_KP_Right: return 4;
    default: break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return 5 + static_cast<int>(keysym - XK_0);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return 5 + static_cast<int>(keysym - XK_KP_0);
  if (keysym >= XK_a && keysym <= XK_z) return 15 + static_cast<int>(keysym - XK_a);
  if (keysym >= XK_A && keysym <= XK_Z) return 15 + static_cast<int>(keysym - XK_A);
  return -1;
}

IMouseMod X11MouseMod(unsigned int state, unsigned int button)
{
  const bool shift = (state & ShiftMask) != 0;
  const bool ctrl = (state & ControlMask) != 0;
  const bool alt = (state & Mod1Mask) != 0;
  const bool right = button == Button3 || (button == 0 && (state & Button3Mask) && !(state & Button1Mask));
  if (right) return IMouseMod(false, true, shift, ctrl, alt);
  return IMouseMod(true, ctrl, shift, ctrl, alt);
}

int X11ClickCounter::Press(unsigned int button, unsigned long time, int x, int y) noexcept
{
  const bool continues = mCount > 0 && button == mButton && time - mTime <= kTime && std::abs(x - mX) <= kDistance &&
                         std::abs(y - mY) <= kDistance;
  mCount = continues ? mCount + 1 : 1;
  mButton = button;
  mTime = time;
  mX = x;
  mY = y;
  return mCount;
}
