#pragma once
// The editor's X11 window: it attaches to a graphics host (IGraphicsLinux, possibly in
// another shared object, through IGraphicsLinuxEditor) and supplies what the host needs
// from a window: a timer at the editor's frame rate that redraws what is dirty and copies
// only that to the screen (MIT-SHM when offered, XPutImage otherwise), mouse and keys
// translated into editor coordinates, an in-place text entry and a modal pop-up menu
// drawn with the raster layer, message boxes and file dialogs through zenity and URLs
// through xdg-open. At scale 2 every editor pixel becomes 2 x 2 window pixels.
//
// It is a top-level window of its own, or a child of a window a host hands over
// (options.parent, an X11 window ID: an LV2 UI's parent), and it runs in one of two ways:
//  - host idle: Open() on the host's UI thread, which then calls Idle() often (an LV2
//    UI's idle interface) and Close() at the end. Idle() handles the X events that
//    arrived and runs the timer step when it is due.
//  - editor thread: StartEditorThread() starts a thread of its own, the editor thread,
//    which opens the window, waits on the X connection with the frame period as time-out,
//    and runs until Close() or until the window is closed by the user or the graphics
//    host goes away. RunOnEditorThread() runs code there (tests read the plug-in's state
//    with it).
// Either way, one thread does all the X11 and editor work: the thread that calls Open()
// and Idle(), or the editor thread. Only Close(), RunOnEditorThread(), the destructor and
// EditorDestroyed() may be called from another thread (the owner's), and only in editor
// thread mode. The owner deletes the window; never while the plug-in is being destroyed
// on another thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "IGraphicsLinuxWindow.h"

typedef struct _XDisplay Display;
union _XEvent;
typedef union _XEvent XEvent;
class X11Surface;
class X11TextEntry;
class X11ClickCounter;

struct X11EditorWindowOptions
{
  std::string display;       // empty: $DISPLAY
  std::uint64_t parent = 0;  // a host's window to live in; 0: a top-level window
  int scale = 0;             // 1 or 2 as the host chooses; 0: decided as X11Scale.h says
  bool sharedMemory = true;  // copy through MIT-SHM when the server offers it
  std::string title = "Editor";
  // Told the window's size in pixels when it opens and whenever it changes (an embedding
  // host's resize request). On the window's thread.
  std::function<void(int w, int h)> onSize;
};

class X11EditorWindow final : public IGraphicsLinuxWindow
{
public:
  X11EditorWindow(IGraphicsLinuxEditor* pEditor, X11EditorWindowOptions options);
  ~X11EditorWindow();
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  // --- Host idle mode (the calling thread does all the work) ---
  // Opens the display and the window and attaches to the graphics host; false with
  // Error() when it cannot.
  bool Open();
  // Handles the X events that arrived and runs the timer step when due; false once the
  // window is closed.
  bool Idle();

  // --- Editor thread mode ---
  // Starts the editor thread and waits until the window is open (or failed).
  bool StartEditorThread();
  // Handles every X event the server has queued for the window so far, then runs fn, on
  // the window's thread; returns when fn has run. Runs fn directly when the window is
  // closed or in host idle mode.
  void RunOnEditorThread(const std::function<void()>& fn);

  // --- Either mode ---
  // Closes the window and detaches from the graphics host; in editor thread mode also
  // ends the thread. Nothing happens when already closed.
  void Close() override;
  bool IsOpen() const noexcept { return mOpen.load(); }
  const std::string& Error() const noexcept { return mError; }
  int Scale() const noexcept { return mScale; }
  int PixelWidth() const noexcept { return mPixelW; }
  int PixelHeight() const noexcept { return mPixelH; }
  bool UsesSharedMemory() const noexcept;
  // The window's X11 ID, 0 while closed.
  std::uint64_t NativeWindow() override { return mWindow; }
  bool IsTextEntryOpen() const noexcept { return mEntry != nullptr; }

  // --- For the graphics host (IGraphicsLinuxWindow) ---
  void PresentSurface(const IRECT& r) override;
  void EditorResized() override;
  void OpenTextEntry(const IGraphicsLinuxTextEntry& entry) override;
  void EndTextEntry() override;
  IPopupMenu* ShowPopupMenu(IPopupMenu* pMenu, const IRECT& r) override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  bool ChooseFile(bool save, const char* defaultName, const char* folder, const char* extensions, char* out,
                  int size) override;
  bool OpenURL(const char* url) override;
  void HideCursor() override;
  void ShowCursor() override;
  void EditorDestroyed() override;

private:
  struct Task;

  // Life (X11EditorWindow.cpp)
  bool OpenOnThisThread();
  void CloseOnThisThread();
  bool CreateWindow();
  bool SizeSurface();
  void ThreadMain(std::promise<bool>* pStarted);
  void TimerIfDue();
  // Runs queued tasks after handling what is queued with handleQueued; false when the
  // window must close (a modal loop then ends).
  bool ServiceTasks(const std::function<void()>& handleQueued);
  void Wake();
  bool Closing() const noexcept { return mQuit.load() || mEditor.load() == nullptr; }

  // Events (X11EditorEvents.cpp)
  void HandleQueuedEvents();
  void HandleEvent(XEvent& e);
  void OnButtonPress(XEvent& e);
  void OnButtonRelease(XEvent& e);
  void OnMotion(XEvent& e);
  void OnKeyPress(XEvent& e);
  bool TextEntryKey(XEvent& e);
  void RepaintWindow(int x, int y, int w, int h);
  void CommitTextEntry();
  void CloseTextEntry();
  void DrawTextEntry();
  // A modal wait (dialog, menu) keeps the window painted and the tasks running.
  bool KeepModal(const std::function<void()>& handleQueued);
  void ModalOtherEvent(XEvent& e);
  // Handles the queued events during a modal wait: painting and closing only.
  void HandleModalQueued();

  std::atomic<IGraphicsLinuxEditor*> mEditor;
  X11EditorWindowOptions mOptions;
  std::string mError;

  Display* mDisplay = nullptr;
  std::uint64_t mWindow = 0;
  void* mVisual = nullptr;  // Visual*
  int mDepth = 0;
  void* mGC = nullptr;  // GC
  unsigned long mDeleteAtom = 0, mProtocolsAtom = 0;
  unsigned long mBlankCursor = 0;
  int mScale = 1;
  int mPixelW = 0, mPixelH = 0;
  bool mWindowGone = false;  // destroyed by someone else (the host's parent went away)
  std::unique_ptr<X11Surface> mSurface;
  std::unique_ptr<X11TextEntry> mEntry;
  std::unique_ptr<X11ClickCounter> mClicks;
  int mPrevX = 0, mPrevY = 0;  // last mouse position, editor coordinates (for keys)
  int mCursorRootX = -1, mCursorRootY = -1;
  bool mInModal = false;
  int mDispatching = 0;  // nesting of event handling on the window's thread
  std::chrono::steady_clock::time_point mNextFrame;

  std::atomic<bool> mOpen{false};
  std::atomic<bool> mQuit{false};
  bool mThreadMode = false;
  std::thread mThread;
  std::thread::id mThreadId;
  int mWakeFd = -1;
  std::mutex mTaskMutex;
  bool mThreadRunning = false;  // guarded by mTaskMutex
  std::condition_variable mTaskDone;
  std::deque<Task*> mTasks;
};
