#include "X11PopupMenu.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <poll.h>
#include <thread>

#include "IPopupMenu.h"
#include "X11PopupMenuLayout.h"
#include "X11Surface.h"
#include "lice.h"

struct X11PopupMenu::Level
{
  IPopupMenu* menu = nullptr;
  Window window = 0;
  int x = 0, y = 0;
  int highlighted = -1;
  int openSubmenu = -1;  // the entry whose submenu is the next level
  std::unique_ptr<X11PopupMenuLayout> layout;
  std::unique_ptr<X11Surface> image;
  std::unique_ptr<LICE_MemBitmap> pixels;
};

namespace
{
constexpr int kPollMs = 20;
// A pointer that travels this far (window pixels) from the opening press counts as a
// drag, so its release picks.
constexpr int kDragDistance = 4;
}  // namespace

X11PopupMenu::X11PopupMenu(Display* pDisplay, Visual* pVisual, int depth, int scale)
  : mDisplay(pDisplay),
    mVisual(pVisual),
    mDepth(depth),
    mScale(scale < 1 ? 1 : scale)
{
}

X11PopupMenu::~X11PopupMenu() { CloseLevelsFrom(0); }

IPopupMenu* X11PopupMenu::Run(IPopupMenu* pMenu, int rootX, int rootY, const OtherEvent& otherEvent,
                              const KeepRunning& keepRunning)
{
  if (!pMenu || pMenu->GetNItems() == 0) return nullptr;
  mResult = nullptr;
  mDone = mPressedInside = mMoved = false;
  Window root;
  int px = 0, py = 0, wx, wy;
  unsigned mask;
  Window child;
  XQueryPointer(mDisplay, DefaultRootWindow(mDisplay), &root, &child, &px, &py, &wx, &wy, &mask);
  mStartX = px;
  mStartY = py;
  OpenLevel(pMenu, rootX, rootY);

  // Another client may hold a grab for a moment (a host's own menu closing).
  const Window grabber = mLevels[0]->window;
  const unsigned events = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  for (int attempt = 0; attempt < 20; ++attempt)
  {
    if (XGrabPointer(mDisplay, grabber, True, events, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) ==
        GrabSuccess)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  XGrabKeyboard(mDisplay, grabber, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  XSync(mDisplay, False);

  auto handleQueued = [&] {
    while (!mDone && XPending(mDisplay))
    {
      XEvent e;
      XNextEvent(mDisplay, &e);
      Dispatch(e, otherEvent);
    }
  };
  while (!mDone)
  {
    handleQueued();
    if (mDone) break;
    if (!keepRunning(handleQueued))
    {
      mResult = nullptr;
      break;
    }
    if (mDone) break;
    pollfd pfd{ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&pfd, 1, kPollMs);
  }
  XUngrabKeyboard(mDisplay, CurrentTime);
  XUngrabPointer(mDisplay, CurrentTime);
  CloseLevelsFrom(0);
  XSync(mDisplay, False);
  return mResult;
}

void X11PopupMenu::OpenLevel(IPopupMenu* pMenu, int x, int y)
{
  auto level = std::make_unique<Level>();
  level->menu = pMenu;
  level->layout = std::make_unique<X11PopupMenuLayout>(pMenu, mScale);
  const int w = level->layout->Width(), h = level->layout->Height();
  const int screenW = DisplayWidth(mDisplay, DefaultScreen(mDisplay));
  const int screenH = DisplayHeight(mDisplay, DefaultScreen(mDisplay));
  level->x = std::max(0, std::min(x, screenW - w));
  level->y = std::max(0, std::min(y, screenH - h));

  XSetWindowAttributes attrs{};
  attrs.override_redirect = True;
  attrs.save_under = True;
  attrs.border_pixel = 0;
  attrs.background_pixel = 0;
  attrs.colormap = XCreateColormap(mDisplay, DefaultRootWindow(mDisplay), mVisual, AllocNone);
  attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  level->window =
    XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), level->x, level->y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h), 0, mDepth, InputOutput, mVisual,
                  CWOverrideRedirect | CWSaveUnder | CWBorderPixel | CWBackPixel | CWColormap | CWEventMask, &attrs);
  XFreeColormap(mDisplay, attrs.colormap);
  XStoreName(mDisplay, level->window, "menu");
  const Atom type = XInternAtom(mDisplay, "_NET_WM_WINDOW_TYPE", False);
  const Atom popup = XInternAtom(mDisplay, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
  XChangeProperty(mDisplay, level->window, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&popup), 1);
  level->image = std::make_unique<X11Surface>(mDisplay, mVisual, mDepth, false);
  level->image->Resize(w, h);
  level->pixels = std::make_unique<LICE_MemBitmap>(w, h, 1);
  XMapRaised(mDisplay, level->window);
  mLevels.push_back(std::move(level));
  Redraw(*mLevels.back());
}

void X11PopupMenu::CloseLevelsFrom(size_t depth)
{
  while (mLevels.size() > depth)
  {
    XDestroyWindow(mDisplay, mLevels.back()->window);
    mLevels.pop_back();
  }
  if (depth > 0 && depth <= mLevels.size()) mLevels[depth - 1]->openSubmenu = -1;
}

void X11PopupMenu::Redraw(Level& level)
{
  level.layout->Draw(level.pixels.get(), level.highlighted);
  const int w = level.layout->Width(), h = level.layout->Height();
  level.image->Convert(level.pixels->getBits(), w, h, level.pixels->getRowSpan(), 0, 0, w, h, 1);
  GC gc = XCreateGC(mDisplay, level.window, 0, nullptr);
  level.image->Put(level.window, gc, 0, 0, w, h);
  XFreeGC(mDisplay, gc);
}

int X11PopupMenu::LevelAt(int rootX, int rootY) const
{
  for (int d = static_cast<int>(mLevels.size()) - 1; d >= 0; --d)
  {
    const Level& l = *mLevels[d];
    if (rootX >= l.x && rootX < l.x + l.layout->Width() && rootY >= l.y && rootY < l.y + l.layout->Height()) return d;
  }
  return -1;
}

void X11PopupMenu::Highlight(size_t depth, int item)
{
  Level& l = *mLevels[depth];
  if (l.highlighted == item) return;
  l.highlighted = item;
  Redraw(l);
}

void X11PopupMenu::OpenSubmenu(size_t depth, int item)
{
  Level& l = *mLevels[depth];
  if (l.openSubmenu == item) return;
  CloseLevelsFrom(depth + 1);
  const IPopupMenuItem* pItem = l.menu->GetItem(item);
  if (!pItem || !pItem->GetSubmenu() || !pItem->GetEnabled()) return;
  const IRECT row = l.layout->ItemRect(item);
  const int screenW = DisplayWidth(mDisplay, DefaultScreen(mDisplay));
  X11PopupMenuLayout probe(pItem->GetSubmenu(), mScale);
  int x = l.x + l.layout->Width() - 2 * mScale;
  if (x + probe.Width() > screenW) x = std::max(0, l.x - probe.Width() + 2 * mScale);
  l.openSubmenu = item;
  OpenLevel(pItem->GetSubmenu(), x, l.y + row.T - mScale);
}

void X11PopupMenu::Pick(size_t depth, int item)
{
  Level& l = *mLevels[depth];
  if (!l.layout->IsSelectable(item)) return;
  if (l.menu->GetItem(item)->GetSubmenu())
  {
    OpenSubmenu(depth, item);
    return;
  }
  l.menu->SetChosenItemIdx(item);
  mResult = l.menu;
  mDone = true;
}

void X11PopupMenu::Dispatch(XEvent& e, const OtherEvent& otherEvent)
{
  auto ownsWindow = [&](Window w) {
    return std::any_of(mLevels.begin(), mLevels.end(), [w](const auto& l) { return l->window == w; });
  };
  switch (e.type)
  {
    case Expose:
      for (auto& l : mLevels)
        if (l->window == e.xexpose.window && e.xexpose.count == 0) Redraw(*l);
      if (!ownsWindow(e.xexpose.window)) otherEvent(e);
      return;
    case MotionNotify: OnMotion(e.xmotion.x_root, e.xmotion.y_root); return;
    case ButtonPress:
      if (e.xbutton.button > 3) return;  // wheel steps neither pick nor dismiss
      if (LevelAt(e.xbutton.x_root, e.xbutton.y_root) < 0)
      {
        mResult = nullptr;
        mDone = true;
      }
      else
      {
        mPressedInside = true;
      }
      return;
    case ButtonRelease:
      if (e.xbutton.button <= 3) OnRelease(e.xbutton.x_root, e.xbutton.y_root);
      return;
    case KeyPress: OnKey(e.xkey); return;
    default:
      if (!ownsWindow(e.xany.window)) otherEvent(e);
      return;
  }
}

void X11PopupMenu::OnMotion(int rootX, int rootY)
{
  if (std::abs(rootX - mStartX) > kDragDistance || std::abs(rootY - mStartY) > kDragDistance) mMoved = true;
  const int d = LevelAt(rootX, rootY);
  if (d < 0) return;
  Level& l = *mLevels[d];
  const int item = l.layout->ItemAt(rootX - l.x, rootY - l.y);
  Highlight(d, l.layout->IsSelectable(item) ? item : -1);
  if (item >= 0 && l.menu->GetItem(item)->GetSubmenu())
    OpenSubmenu(d, item);
  else
    CloseLevelsFrom(d + 1);
}

void X11PopupMenu::OnRelease(int rootX, int rootY)
{
  const int d = LevelAt(rootX, rootY);
  if (d < 0 || !(mPressedInside || mMoved)) return;
  Level& l = *mLevels[d];
  Pick(d, l.layout->ItemAt(rootX - l.x, rootY - l.y));
}

void X11PopupMenu::OnKey(XKeyEvent& e)
{
  const KeySym sym = XLookupKeysym(&e, 0);
  const size_t d = mLevels.size() - 1;
  Level& l = *mLevels[d];
  switch (sym)
  {
    case XK_Up:
    case XK_KP_Up: Highlight(d, l.layout->NextSelectable(l.highlighted, -1)); return;
    case XK_Down:
    case XK_KP_Down: Highlight(d, l.layout->NextSelectable(l.highlighted, +1)); return;
    case XK_Right:
    case XK_KP_Right:
      if (l.highlighted >= 0 && l.menu->GetItem(l.highlighted)->GetSubmenu())
      {
        OpenSubmenu(d, l.highlighted);
        Level& sub = *mLevels.back();
        Highlight(mLevels.size() - 1, sub.layout->NextSelectable(-1, +1));
      }
      return;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      if (l.highlighted < 0) return;
      if (l.menu->GetItem(l.highlighted)->GetSubmenu())
      {
        OpenSubmenu(d, l.highlighted);
        Level& sub = *mLevels.back();
        Highlight(mLevels.size() - 1, sub.layout->NextSelectable(-1, +1));
        return;
      }
      Pick(d, l.highlighted);
      return;
    case XK_Left:
    case XK_KP_Left:
      if (d > 0) CloseLevelsFrom(d);
      return;
    case XK_Escape:
      if (d > 0)
      {
        CloseLevelsFrom(d);
        return;
      }
      mResult = nullptr;
      mDone = true;
      return;
    default: return;
  }
}
