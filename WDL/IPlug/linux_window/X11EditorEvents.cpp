// The X11 editor window's event translation: X events in window pixels become the
// graphics host's calls in editor coordinates; keys go to the open text entry first.
// Runs on the window's thread.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "X11EditorWindow.h"
#include "X11Input.h"
#include "X11TextEntry.h"

namespace
{
constexpr unsigned kButtonsHeld = Button1Mask | Button2Mask | Button3Mask;

// Latin-1 bytes as XLookupString returns them, as UTF-8; control characters dropped.
std::string Latin1ToUTF8(const char* bytes, int n)
{
  std::string out;
  for (int i = 0; i < n; ++i)
  {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x20 || c == 0x7f) continue;
    if (c < 0x80)
    {
      out += static_cast<char>(c);
      continue;
    }
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}
}  // namespace

void X11EditorWindow::HandleQueuedEvents()
{
  while (mDisplay && !mWindowGone && XPending(mDisplay))
  {
    XEvent e;
    XNextEvent(mDisplay, &e);
    // Only the latest of a run of moves matters: the drag steps add up the same.
    while (e.type == MotionNotify && XPending(mDisplay))
    {
      XEvent next;
      XPeekEvent(mDisplay, &next);
      if (next.type != MotionNotify || next.xmotion.window != e.xmotion.window) break;
      XNextEvent(mDisplay, &e);
    }
    HandleEvent(e);
  }
}

void X11EditorWindow::HandleEvent(XEvent& e)
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  if (!pEditor) return;
  switch (e.type)
  {
    case Expose: RepaintWindow(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height); return;
    case ButtonPress: OnButtonPress(e); return;
    case ButtonRelease: OnButtonRelease(e); return;
    case MotionNotify: OnMotion(e); return;
    case KeyPress: OnKeyPress(e); return;
    case LeaveNotify:
      if (e.xcrossing.mode == NotifyNormal && !(e.xcrossing.state & kButtonsHeld)) pEditor->MouseOut();
      return;
    default: ModalOtherEvent(e); return;
  }
}

// What a window must still do while a menu or dialog holds the thread: paint, and
// notice that it is being closed.
void X11EditorWindow::ModalOtherEvent(XEvent& e)
{
  switch (e.type)
  {
    case Expose:
      if (e.xexpose.window == mWindow) RepaintWindow(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height);
      return;
    case ClientMessage:
      if (e.xclient.message_type == mProtocolsAtom && static_cast<unsigned long>(e.xclient.data.l[0]) == mDeleteAtom)
        mQuit.store(true);
      return;
    case DestroyNotify:
      if (e.xdestroywindow.window == mWindow)
      {
        mWindowGone = true;  // the host destroyed its window, and ours with it
        mQuit.store(true);
      }
      return;
    default: return;
  }
}

void X11EditorWindow::HandleModalQueued()
{
  while (mDisplay && !mWindowGone && XPending(mDisplay))
  {
    XEvent e;
    XNextEvent(mDisplay, &e);
    ModalOtherEvent(e);
  }
}

void X11EditorWindow::OnButtonPress(XEvent& e)
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  const XButtonEvent& b = e.xbutton;
  const int x = X11ToEditor(b.x, mScale), y = X11ToEditor(b.y, mScale);
  if (b.button == Button4 || b.button == Button5)
  {
    if (mEntry) CloseTextEntry(), pEditor->TextEntryDone(nullptr);  // a wheel step abandons the entry
    IMouseMod mod = X11MouseMod(b.state, 0);
    pEditor->MouseWheel(x, y, &mod, b.button == Button4 ? 1 : -1);
    return;
  }
  if (b.button != Button1 && b.button != Button3) return;
  if (mEntry)
  {
    if (mEntry->Rect().Contains(x, y))
    {
      mEntry->PlaceCaret(x);
      PresentSurface(mEntry->Rect());
      return;
    }
    CommitTextEntry();  // a click elsewhere commits, then acts as a click
    pEditor = mEditor.load();
    if (!pEditor) return;
  }
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = X11MouseMod(b.state, b.button);
  const int clicks = mClicks->Press(b.button, b.time, b.x, b.y);
  // A right click (button 3, or Ctrl with button 1) is always a press.
  if (clicks >= 2 && b.button == Button1 && !mod.R)
    pEditor->MouseDblClick(x, y, &mod);
  else
    pEditor->MouseDown(x, y, &mod);
}

void X11EditorWindow::OnButtonRelease(XEvent& e)
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  const XButtonEvent& b = e.xbutton;
  if (b.button != Button1 && b.button != Button3) return;
  const int x = X11ToEditor(b.x, mScale), y = X11ToEditor(b.y, mScale);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = X11MouseMod(b.state, b.button);
  pEditor->MouseUp(x, y, &mod);
  // Released outside the window: the pointer left during the drag.
  if (b.x < 0 || b.y < 0 || b.x >= mPixelW || b.y >= mPixelH)
    if (IGraphicsLinuxEditor* pNow = mEditor.load()) pNow->MouseOut();
}

void X11EditorWindow::OnMotion(XEvent& e)
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  const XMotionEvent& m = e.xmotion;
  const int x = X11ToEditor(m.x, mScale), y = X11ToEditor(m.y, mScale);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = X11MouseMod(m.state, 0);
  if (m.state & (Button1Mask | Button3Mask))
  {
    if (!mEntry) pEditor->MouseDrag(x, y, &mod);
  }
  else
  {
    pEditor->MouseOver(x, y, &mod);
  }
}

void X11EditorWindow::OnKeyPress(XEvent& e)
{
  if (mEntry)
  {
    TextEntryKey(e);
    return;
  }
  char buf[16];
  KeySym sym = NoSymbol;
  XLookupString(&e.xkey, buf, sizeof(buf), &sym, nullptr);
  const int code = X11KeyCode(sym);
  if (code < 0) return;
  if (IGraphicsLinuxEditor* pEditor = mEditor.load()) pEditor->KeyDown(mPrevX, mPrevY, code);
}

bool X11EditorWindow::TextEntryKey(XEvent& e)
{
  char buf[16];
  KeySym sym = NoSymbol;
  const int n = XLookupString(&e.xkey, buf, sizeof(buf), &sym, nullptr);
  switch (sym)
  {
    case XK_Return:
    case XK_KP_Enter: CommitTextEntry(); return true;
    case XK_Escape:
      CloseTextEntry();
      if (IGraphicsLinuxEditor* pEditor = mEditor.load()) pEditor->TextEntryDone(nullptr);
      return true;
    case XK_BackSpace: mEntry->Backspace(); break;
    case XK_Delete:
    case XK_KP_Delete: mEntry->Delete(); break;
    case XK_Left:
    case XK_KP_Left: mEntry->MoveLeft(); break;
    case XK_Right:
    case XK_KP_Right: mEntry->MoveRight(); break;
    case XK_Home:
    case XK_KP_Home: mEntry->MoveHome(); break;
    case XK_End:
    case XK_KP_End: mEntry->MoveEnd(); break;
    default:
      if ((e.xkey.state & ControlMask) && (sym == XK_a || sym == XK_A))
        mEntry->SelectAll();
      else if (!(e.xkey.state & ControlMask) && !mEntry->Type(Latin1ToUTF8(buf, n)))
        return false;  // refused: the entry keeps what it had
      break;
  }
  PresentSurface(mEntry->Rect());
  return true;
}
