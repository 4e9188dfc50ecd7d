// The X11 editor window's life: opening and closing, the two ways of driving it (host
// idle calls or its own editor thread), the timer, the copy to the screen and the
// services the graphics host asks for. Event translation is in X11EditorEvents.cpp.

#include "X11EditorWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "LinuxDesktop.h"
#include "X11Input.h"
#include "X11PopupMenu.h"
#include "X11Scale.h"
#include "X11Surface.h"
#include "X11TextEntry.h"
#include "lice.h"

struct X11EditorWindow::Task
{
  const std::function<void()>* fn;
  bool done = false;
};

namespace
{
Visual* AsVisual(void* p) { return static_cast<Visual*>(p); }
GC AsGC(void* p) { return static_cast<GC>(p); }

// The editor thread's name, as tools such as top and gdb show it.
constexpr const char* kEditorThreadName = "editor";
}  // namespace

X11EditorWindow::X11EditorWindow(IGraphicsLinuxEditor* pEditor, X11EditorWindowOptions options)
  : mEditor(pEditor),
    mOptions(std::move(options)),
    mClicks(std::make_unique<X11ClickCounter>())
{
}

X11EditorWindow::~X11EditorWindow() { Close(); }

bool X11EditorWindow::UsesSharedMemory() const noexcept { return mSurface && mSurface->UsesSharedMemory(); }

// ---- Opening and closing ----

bool X11EditorWindow::Open()
{
  if (mOpen.load()) return true;
  mThreadMode = false;
  mThreadId = std::this_thread::get_id();
  mQuit.store(false);
  return OpenOnThisThread();
}

bool X11EditorWindow::OpenOnThisThread()
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  if (!pEditor)
  {
    mError = "the editor no longer exists";
    return false;
  }
  mDisplay = XOpenDisplay(mOptions.display.empty() ? nullptr : mOptions.display.c_str());
  if (!mDisplay)
  {
    mError = "cannot open the X display \"" +
             (mOptions.display.empty() ? std::string(XDisplayName(nullptr)) : mOptions.display) + "\"";
    return false;
  }
  mScale = X11EditorScale(mDisplay, mOptions.scale);
  if (!CreateWindow() || !pEditor->AttachWindow(this))
  {
    if (mError.empty()) mError = "another window is already attached to the editor";
    mOpen.store(true);  // so that the close below releases what was made
    mEditor.store(nullptr);
    CloseOnThisThread();
    mEditor.store(pEditor);
    return false;
  }
  mOpen.store(true);
  mWindowGone = false;
  mClicks->Reset();
  mNextFrame = std::chrono::steady_clock::now();
  XMapWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
  if (mOptions.onSize) mOptions.onSize(mPixelW, mPixelH);
  pEditor->TimerStep();  // attaching marked every control dirty: the first full picture
  return true;
}

bool X11EditorWindow::CreateWindow()
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  const int screen = DefaultScreen(mDisplay);
  XVisualInfo info;
  if (!XMatchVisualInfo(mDisplay, screen, 24, TrueColor, &info))
  {
    mError = "the display offers no 24-bit TrueColor visual";
    return false;
  }
  mVisual = info.visual;
  mDepth = info.depth;
  mPixelW = pEditor->EditorWidth() * mScale;
  mPixelH = pEditor->EditorHeight() * mScale;
  const Window parent = mOptions.parent ? static_cast<Window>(mOptions.parent) : RootWindow(mDisplay, screen);

  XSetWindowAttributes attrs{};
  attrs.colormap = XCreateColormap(mDisplay, RootWindow(mDisplay, screen), info.visual, AllocNone);
  attrs.border_pixel = 0;
  attrs.background_pixel = 0;
  attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                     LeaveWindowMask | StructureNotifyMask;
  mWindow =
    XCreateWindow(mDisplay, parent, 0, 0, static_cast<unsigned>(mPixelW), static_cast<unsigned>(mPixelH), 0, mDepth,
                  InputOutput, info.visual, CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &attrs);
  XFreeColormap(mDisplay, attrs.colormap);

  // A fixed size, for window managers and for hosts that size their socket from it.
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize | PBaseSize;
  hints->min_width = hints->max_width = hints->base_width = mPixelW;
  hints->min_height = hints->max_height = hints->base_height = mPixelH;
  XSetWMNormalHints(mDisplay, mWindow, hints);
  XFree(hints);
  if (!mOptions.parent)
  {
    XStoreName(mDisplay, mWindow, mOptions.title.c_str());
    mProtocolsAtom = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    mDeleteAtom = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
    Atom del = mDeleteAtom;
    XSetWMProtocols(mDisplay, mWindow, &del, 1);
    XWMHints* wm = XAllocWMHints();
    wm->flags = InputHint;
    wm->input = True;
    XSetWMHints(mDisplay, mWindow, wm);
    XFree(wm);
  }
  mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
  mSurface = std::make_unique<X11Surface>(mDisplay, info.visual, mDepth, mOptions.sharedMemory);
  if (!mSurface->Resize(mPixelW, mPixelH))
  {
    mError = mSurface->Error();
    return false;
  }
  return true;
}

void X11EditorWindow::CloseOnThisThread()
{
  if (!mOpen.load()) return;
  mEntry.reset();
  if (IGraphicsLinuxEditor* pEditor = mEditor.load()) pEditor->DetachWindow(this);
  if (mDisplay)
  {
    mSurface.reset();
    if (mBlankCursor) XFreeCursor(mDisplay, mBlankCursor);
    if (mGC) XFreeGC(mDisplay, AsGC(mGC));
    if (mWindow && !mWindowGone) XDestroyWindow(mDisplay, mWindow);
    XCloseDisplay(mDisplay);
  }
  mBlankCursor = 0;
  mGC = nullptr;
  mDisplay = nullptr;
  mWindow = 0;
  mOpen.store(false);
}

void X11EditorWindow::Close()
{
  if (mThreadMode)
  {
    mQuit.store(true);
    if (std::this_thread::get_id() == mThreadId) return;  // from a handler: the loop ends after it
    Wake();
    if (mThread.joinable()) mThread.join();
    if (mWakeFd >= 0) close(mWakeFd);
    mWakeFd = -1;
    mThreadMode = false;
    return;
  }
  if (mInModal || mDispatching)
  {
    mQuit.store(true);  // the event loop that runs now closes the window when it returns
    return;
  }
  CloseOnThisThread();
}

void X11EditorWindow::EditorDestroyed()
{
  mEditor.store(nullptr);
  mQuit.store(true);
  if (mThreadMode)
  {
    // Joining guarantees the editor thread has left every call into the editor.
    if (std::this_thread::get_id() != mThreadId) Close();
    return;
  }
  if (!mInModal && !mDispatching && std::this_thread::get_id() == mThreadId) CloseOnThisThread();
}

// ---- Host idle mode ----

bool X11EditorWindow::Idle()
{
  if (!mOpen.load()) return false;
  if (!Closing())
  {
    ++mDispatching;
    ServiceTasks([this] { HandleQueuedEvents(); });
    HandleQueuedEvents();
    if (!Closing()) TimerIfDue();
    --mDispatching;
  }
  if (Closing()) CloseOnThisThread();
  return mOpen.load();
}

void X11EditorWindow::TimerIfDue()
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  if (!pEditor) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < mNextFrame) return;
  const auto period = std::chrono::microseconds(1000000 / std::max(1, pEditor->EditorFPS()));
  mNextFrame += period;
  if (mNextFrame < now) mNextFrame = now + period;  // fell behind: no catching up in a burst
  pEditor->TimerStep();
}

// ---- Editor thread mode ----

bool X11EditorWindow::StartEditorThread()
{
  if (mOpen.load()) return true;
  if (mThread.joinable()) Close();
  mThreadMode = true;
  mQuit.store(false);
  mWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  std::promise<bool> started;
  std::future<bool> ok = started.get_future();
  {
    std::lock_guard<std::mutex> lock(mTaskMutex);
    mThreadRunning = true;
  }
  mThread = std::thread(&X11EditorWindow::ThreadMain, this, &started);
  if (ok.get()) return true;
  mThread.join();
  close(mWakeFd);
  mWakeFd = -1;
  mThreadMode = false;
  return false;
}

// The editor thread: everything the window does happens here until it closes.
void X11EditorWindow::ThreadMain(std::promise<bool>* pStarted)
{
  pthread_setname_np(pthread_self(), kEditorThreadName);
  mThreadId = std::this_thread::get_id();
  const bool ok = OpenOnThisThread();
  pStarted->set_value(ok);
  while (ok && mOpen.load() && !Closing())
  {
    const auto wait =
      std::chrono::duration_cast<std::chrono::milliseconds>(mNextFrame - std::chrono::steady_clock::now()).count();
    pollfd fds[2] = {{ConnectionNumber(mDisplay), POLLIN, 0}, {mWakeFd, POLLIN, 0}};
    poll(fds, 2, static_cast<int>(std::clamp<long long>(wait, 0, 1000)));
    std::uint64_t drained;
    while (read(mWakeFd, &drained, sizeof(drained)) > 0)
    {
    }
    ++mDispatching;
    ServiceTasks([this] { HandleQueuedEvents(); });
    HandleQueuedEvents();
    if (!Closing()) TimerIfDue();
    --mDispatching;
  }
  if (ok) CloseOnThisThread();
  // Whoever still waits for a task gets it run on a closed window.
  std::unique_lock<std::mutex> lock(mTaskMutex);
  mThreadRunning = false;
  for (Task* t : mTasks)
  {
    (*t->fn)();
    t->done = true;
  }
  mTasks.clear();
  mTaskDone.notify_all();
}

void X11EditorWindow::Wake()
{
  if (mWakeFd < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(mWakeFd, &one, sizeof(one));
}

void X11EditorWindow::RunOnEditorThread(const std::function<void()>& fn)
{
  if (mThreadMode && std::this_thread::get_id() != mThreadId)
  {
    Task task{&fn};
    bool queued = false;
    {
      std::lock_guard<std::mutex> lock(mTaskMutex);
      if (mThreadRunning)
      {
        mTasks.push_back(&task);
        queued = true;
      }
    }
    if (queued)
    {
      Wake();
      std::unique_lock<std::mutex> lock(mTaskMutex);
      mTaskDone.wait(lock, [&] { return task.done; });
      return;
    }
    fn();
    return;
  }
  if (mDisplay && mOpen.load() && !mInModal)
  {
    XSync(mDisplay, False);
    HandleQueuedEvents();
  }
  fn();
}

bool X11EditorWindow::ServiceTasks(const std::function<void()>& handleQueued)
{
  {
    std::lock_guard<std::mutex> lock(mTaskMutex);
    if (mTasks.empty()) return !Closing();
  }
  // Tasks see every event that reached the server before they were queued. A modal
  // loop entered from here runs the tasks itself.
  if (mDisplay)
  {
    XSync(mDisplay, False);
    handleQueued();
  }
  std::unique_lock<std::mutex> lock(mTaskMutex);
  while (!mTasks.empty())
  {
    Task* t = mTasks.front();
    mTasks.pop_front();
    lock.unlock();
    (*t->fn)();
    lock.lock();
    t->done = true;
  }
  mTaskDone.notify_all();
  return !Closing();
}

bool X11EditorWindow::KeepModal(const std::function<void()>& handleQueued)
{
  mClicks->Reset();
  return ServiceTasks(handleQueued);
}

// ---- The picture ----

void X11EditorWindow::PresentSurface(const IRECT& r)
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  if (!pEditor || !mSurface || !mDisplay) return;
  const IGraphicsLinuxSurface s = pEditor->GetSurface();
  const IRECT area = IRECT(0, 0, s.width, s.height).Intersect(&r);
  if (area.W() <= 0 || area.H() <= 0) return;
  mSurface->Convert(s.bits, s.width, s.height, s.span, area.L, area.T, area.W(), area.H(), mScale);
  IRECT put(area.L * mScale, area.T * mScale, area.R * mScale, area.B * mScale);
  if (mEntry && mEntry->Rect().Intersects(&area))
  {
    DrawTextEntry();
    const IRECT entry = mEntry->WindowRect();
    put = put.Union(&entry);
  }
  mSurface->Put(mWindow, AsGC(mGC), put.L, put.T, put.W(), put.H());
}

void X11EditorWindow::RepaintWindow(int x, int y, int w, int h)
{
  if (mSurface) mSurface->Put(mWindow, AsGC(mGC), x, y, w, h);
}

void X11EditorWindow::EditorResized()
{
  IGraphicsLinuxEditor* pEditor = mEditor.load();
  if (!pEditor || !mDisplay) return;
  mEntry.reset();
  mPixelW = pEditor->EditorWidth() * mScale;
  mPixelH = pEditor->EditorHeight() * mScale;
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize | PBaseSize;
  hints->min_width = hints->max_width = hints->base_width = mPixelW;
  hints->min_height = hints->max_height = hints->base_height = mPixelH;
  XSetWMNormalHints(mDisplay, mWindow, hints);
  XFree(hints);
  XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(mPixelW), static_cast<unsigned>(mPixelH));
  if (!mSurface->Resize(mPixelW, mPixelH)) std::fprintf(stderr, "editor window: %s\n", mSurface->Error().c_str());
  if (mOptions.onSize) mOptions.onSize(mPixelW, mPixelH);
  pEditor->RedrawAll();
}

// ---- Text entry ----

void X11EditorWindow::OpenTextEntry(const IGraphicsLinuxTextEntry& entry)
{
  if (mEntry || !mDisplay) return;
  mEntry = std::make_unique<X11TextEntry>(entry.rect, entry.style, entry.text, entry.allow, entry.maxLength, mScale);
  DrawTextEntry();
  const IRECT r = mEntry->WindowRect();
  mSurface->Put(mWindow, AsGC(mGC), r.L, r.T, r.W(), r.H());
  // Keys go to the window while the entry is open, as a field takes the focus.
  XWindowAttributes wa;
  if (XGetWindowAttributes(mDisplay, mWindow, &wa) && wa.map_state == IsViewable)
    XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
}

void X11EditorWindow::DrawTextEntry()
{
  const IRECT r = mEntry->WindowRect();
  if (r.W() <= 0 || r.H() <= 0) return;
  LICE_MemBitmap pixels(r.W(), r.H(), 1);
  mEntry->Draw(&pixels);
  mSurface->Convert(pixels.getBits(), r.W(), r.H(), pixels.getRowSpan(), 0, 0, r.W(), r.H(), 1, r.L, r.T);
}

// Removes the entry and shows the editor under it again.
void X11EditorWindow::CloseTextEntry()
{
  if (!mEntry) return;
  const IRECT r = mEntry->Rect();
  mEntry.reset();
  PresentSurface(r);
}

void X11EditorWindow::CommitTextEntry()
{
  if (!mEntry) return;
  const std::string text = mEntry->Text();
  CloseTextEntry();
  if (IGraphicsLinuxEditor* pEditor = mEditor.load()) pEditor->TextEntryDone(text.c_str());
}

void X11EditorWindow::EndTextEntry() { CloseTextEntry(); }

// ---- Pop-up menu ----

IPopupMenu* X11EditorWindow::ShowPopupMenu(IPopupMenu* pMenu, const IRECT& r)
{
  if (!mDisplay || !pMenu || mInModal) return nullptr;
  // The menu drops from the bottom-left corner of what it belongs to, a little lower.
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(mDisplay, mWindow, DefaultRootWindow(mDisplay), r.L * mScale, (r.B + 4) * mScale, &rootX,
                        &rootY, &child);
  X11PopupMenu menu(mDisplay, AsVisual(mVisual), mDepth, mScale);
  mInModal = true;
  IPopupMenu* pChosen = menu.Run(
    pMenu, rootX, rootY, [this](XEvent& e) { ModalOtherEvent(e); },
    [this](const std::function<void()>& handleQueued) { return KeepModal(handleQueued); });
  mInModal = false;
  mClicks->Reset();  // the clicks in the menu were the menu's: the next press starts anew
  return pChosen;
}

// ---- Desktop services ----

int X11EditorWindow::ShowMessageBox(const char* text, const char* caption, int type)
{
  if (!mDisplay || mInModal) return 0;
  const auto args = LinuxDesktop::MessageBoxArguments(text, caption, type, mOptions.parent ? 0 : mWindow);
  mInModal = true;
  const auto result = LinuxDesktop::RunProgram(args, [this] { return KeepModal([this] { HandleModalQueued(); }); });
  mInModal = false;
  if (!result.started) std::fprintf(stderr, "editor window: no message box (%s)\n", result.error.c_str());
  return LinuxDesktop::MessageBoxResult(type, result);
}

bool X11EditorWindow::ChooseFile(bool save, const char* defaultName, const char* folder, const char* extensions,
                                 char* out, int size)
{
  if (!mDisplay || mInModal || !out || size <= 0) return false;
  const auto args =
    LinuxDesktop::FileDialogArguments(save, defaultName, folder, extensions, mOptions.parent ? 0 : mWindow);
  mInModal = true;
  const auto result = LinuxDesktop::RunProgram(args, [this] { return KeepModal([this] { HandleModalQueued(); }); });
  mInModal = false;
  if (!result.started) std::fprintf(stderr, "editor window: no file dialog (%s)\n", result.error.c_str());
  const std::string path = LinuxDesktop::FileDialogResult(result);
  if (path.empty() || path.size() >= static_cast<size_t>(size)) return false;
  std::memcpy(out, path.c_str(), path.size() + 1);
  return true;
}

bool X11EditorWindow::OpenURL(const char* url)
{
  const std::string target = LinuxDesktop::URLToOpen(url);
  if (target.empty()) return false;
  std::string error;
  if (LinuxDesktop::LaunchProgram({"xdg-open", target}, &error)) return true;
  std::fprintf(stderr, "editor window: cannot open %s (%s)\n", target.c_str(), error.c_str());
  return false;
}

// ---- Cursor ----

void X11EditorWindow::HideCursor()
{
  if (!mDisplay) return;
  if (!mBlankCursor)
  {
    static const char empty[1] = {0};
    const Pixmap pixmap = XCreateBitmapFromData(mDisplay, mWindow, empty, 1, 1);
    XColor black{};
    mBlankCursor = XCreatePixmapCursor(mDisplay, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(mDisplay, pixmap);
  }
  Window root, child;
  int wx, wy;
  unsigned mask;
  XQueryPointer(mDisplay, mWindow, &root, &child, &mCursorRootX, &mCursorRootY, &wx, &wy, &mask);
  XDefineCursor(mDisplay, mWindow, mBlankCursor);
  XFlush(mDisplay);
}

void X11EditorWindow::ShowCursor()
{
  if (!mDisplay) return;
  XUndefineCursor(mDisplay, mWindow);
  if (mCursorRootX >= 0)
    XWarpPointer(mDisplay, None, DefaultRootWindow(mDisplay), 0, 0, 0, 0, mCursorRootX, mCursorRootY);
  XFlush(mDisplay);
}
