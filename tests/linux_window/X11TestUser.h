#pragma once
// The user at the X server, on a connection of its own: real input through the XTest
// extension (the server turns it into the events a mouse and keyboard would give), the
// window's pixels through XGetImage, the menus on the screen, and a window manager's
// request to close a window.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <memory>
#include <string>
#include <vector>

#include "lice.h"

class X11TestUser final
{
public:
  explicit X11TestUser(const std::string& display)
    : mDisplay(XOpenDisplay(display.c_str()))
  {
  }
  ~X11TestUser()
  {
    if (mDisplay) XCloseDisplay(mDisplay);
  }
  X11TestUser(const X11TestUser&) = delete;
  X11TestUser& operator=(const X11TestUser&) = delete;

  bool Ok() const
  {
    int ev, err, major, minor;
    return mDisplay && XTestQueryExtension(mDisplay, &ev, &err, &major, &minor);
  }
  ::Display* Display() const noexcept { return mDisplay; }

  // --- Input (root-window coordinates); each call reaches the server before it returns ---
  void MoveTo(int x, int y)
  {
    XTestFakeMotionEvent(mDisplay, -1, x, y, CurrentTime);
    XSync(mDisplay, False);
  }
  void Button(unsigned button, bool down)
  {
    XTestFakeButtonEvent(mDisplay, button, down ? True : False, CurrentTime);
    XSync(mDisplay, False);
  }
  void Click(int x, int y, unsigned button = 1)
  {
    MoveTo(x, y);
    Button(button, true);
    Button(button, false);
  }
  void Drag(int x0, int y0, int x1, int y1)
  {
    MoveTo(x0, y0);
    Button(1, true);
    MoveTo(x1, y1);
    Button(1, false);
  }
  void Key(KeySym sym, bool down)
  {
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, sym), down ? True : False, CurrentTime);
    XSync(mDisplay, False);
  }
  void Tap(KeySym sym)
  {
    Key(sym, true);
    Key(sym, false);
  }
  // Characters that need no shift on a US keyboard: digits, lower-case letters, '.', '-'.
  void Type(const char* text)
  {
    for (const char* p = text; *p; ++p)
    {
      const char c = *p;
      Tap(c == '.' ? XK_period : c == '-' ? XK_minus : static_cast<KeySym>(c));
    }
  }

  // --- What the screen shows ---
  // The window's pixels as raster-layer pixels (opaque).
  std::unique_ptr<LICE_MemBitmap> Grab(Window w)
  {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(mDisplay, w, &wa)) return nullptr;
    XImage* img = XGetImage(mDisplay, w, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                            AllPlanes, ZPixmap);
    if (!img) return nullptr;
    auto out = std::make_unique<LICE_MemBitmap>(wa.width, wa.height, 1);
    for (int y = 0; y < wa.height; ++y)
      for (int x = 0; x < wa.width; ++x)
      {
        const unsigned long p = XGetPixel(img, x, y);
        out->getBits()[y * out->getRowSpan() + x] = LICE_RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
      }
    XDestroyImage(img);
    return out;
  }

  // Viewable override-redirect windows on the root (menus), bottom to top.
  std::vector<Window> Menus()
  {
    std::vector<Window> menus;
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    XSync(mDisplay, False);
    if (!XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &n)) return menus;
    // A menu may close between the two requests.
    XErrorHandler previous = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    for (unsigned i = 0; i < n; ++i)
    {
      XWindowAttributes wa;
      if (XGetWindowAttributes(mDisplay, children[i], &wa) && wa.override_redirect && wa.map_state == IsViewable)
        menus.push_back(children[i]);
    }
    XSync(mDisplay, False);
    XSetErrorHandler(previous);
    if (children) XFree(children);
    return menus;
  }
  // A window's top-left corner on the root.
  void Position(Window w, int* pX, int* pY)
  {
    Window child;
    XTranslateCoordinates(mDisplay, w, DefaultRootWindow(mDisplay), 0, 0, pX, pY, &child);
  }
  Window Parent(Window w)
  {
    Window root, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (XQueryTree(mDisplay, w, &root, &parent, &children, &n) && children) XFree(children);
    return parent;
  }
  // Whether the window still exists on the server.
  bool Exists(Window w)
  {
    XSync(mDisplay, False);
    XErrorHandler previous = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    XWindowAttributes wa;
    const Status ok = XGetWindowAttributes(mDisplay, w, &wa);
    XSync(mDisplay, False);
    XSetErrorHandler(previous);
    return ok != 0;
  }

  // What a window manager sends when the user closes a top-level window.
  void RequestClose(Window w)
  {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(mDisplay, w, False, NoEventMask, &e);
    XSync(mDisplay, False);
  }

  // A host's window to embed an editor in.
  Window MakeHostWindow(int x, int y, int w, int h)
  {
    const Window win = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, static_cast<unsigned>(w),
                                           static_cast<unsigned>(h), 0, 0, 0x303030);
    XMapWindow(mDisplay, win);
    XSync(mDisplay, False);
    return win;
  }
  void DestroyWindow(Window w)
  {
    XDestroyWindow(mDisplay, w);
    XSync(mDisplay, False);
  }

private:
  ::Display* mDisplay;
};
