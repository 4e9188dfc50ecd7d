#pragma once
// Which thread is the editor thread (IPlugBase.h names the threads): the one thread that
// writes the editor's state (control values, dirty flags, texts) and draws it. It is the
// thread that built the editor until another claims it: whoever runs the editor's timer
// (a window's own editor thread, a host's idle calls driving a window, the Mac view's
// timer) or attaches a window to the editor.
//
// Code that may run on any thread and has something to show opens an Access: on the
// editor thread it is granted and the code writes the editor's state at once, as the
// editor's own code does; on any other thread it is refused and the code hands the value
// over to the editor's next timer tick instead (IGraphics::OnEditorTimer).
//
// A claim by a new thread waits until the former editor thread has left any Access it is
// inside, so the two never write at the same time. The editor's own work (events,
// drawing, the timer) needs no Access: one binding drives an editor at a time, on the
// thread that claimed it.
//
// Threads: Access and IsCurrent from any thread, the audio thread included (no wait, no
// lock, no allocation); Claim from the thread that takes the editor over.

#include <atomic>
#include <thread>

class IEditorThread final
{
public:
  // The calling thread is the editor thread to begin with.
  IEditorThread() noexcept
    : mOwner(std::this_thread::get_id())
  {
  }
  IEditorThread(const IEditorThread&) = delete;
  IEditorThread& operator=(const IEditorThread&) = delete;

  // Granted on the editor thread only; the right to write lasts as long as the object.
  class Access final
  {
  public:
    explicit Access(IEditorThread& thread) noexcept
      : mThread(thread),
        mGranted(thread.Enter())
    {
    }
    ~Access()
    {
      if (mGranted) mThread.Leave();
    }
    Access(const Access&) = delete;
    Access& operator=(const Access&) = delete;
    explicit operator bool() const noexcept { return mGranted; }

  private:
    IEditorThread& mThread;
    const bool mGranted;
  };

  // The calling thread becomes the editor thread. Nothing happens when it already is;
  // otherwise it waits while the former editor thread is inside an Access.
  void Claim() noexcept
  {
    const std::thread::id me = std::this_thread::get_id();
    if (mOwner.load(std::memory_order_relaxed) == me) return;
    mOwner.store(me, std::memory_order_seq_cst);
    // Every Access that saw the former owner was entered before the store above; each
    // leaves after a few writes. One that starts now sees the new owner and is refused.
    while (mInside.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
  }

  bool IsCurrent() const noexcept { return mOwner.load(std::memory_order_seq_cst) == std::this_thread::get_id(); }

private:
  // Announce first, then look: with Claim's store-then-look, one of the two sees the other.
  bool Enter() noexcept
  {
    mInside.fetch_add(1, std::memory_order_seq_cst);
    if (mOwner.load(std::memory_order_seq_cst) == std::this_thread::get_id()) return true;
    mInside.fetch_sub(1, std::memory_order_release);
    return false;
  }
  void Leave() noexcept { mInside.fetch_sub(1, std::memory_order_release); }

  std::atomic<std::thread::id> mOwner;
  std::atomic<int> mInside{0};  // threads between Enter and Leave (or about to be refused)
  static_assert(std::atomic<std::thread::id>::is_always_lock_free, "the editor thread's owner must not lock");
};
