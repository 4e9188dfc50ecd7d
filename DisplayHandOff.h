#pragma once
// The audio-to-editor hand-off both displays share: the flags and counters that let
// the audio thread store into a display without locking or calling back into the
// plug-in, while the editor's thread draws and a parameter change clears.
//
// - The audio thread is the only writer of a display's stored data. Each item it
//   stores raises the redraw flag and counts one owed push of the display's
//   parameter (Stored); the processor pays the owed pushes later, off the audio
//   thread (TakePendingPushes).
// - A clear arrives on the parameter-change thread (any thread, the audio thread
//   between renders included). It cannot touch the data the audio thread writes, so
//   it only bumps the request sequence (RequestClear); the audio thread performs it
//   before it stores the next item (TakeClearRequest, then AcknowledgeClear), and
//   until then drawing treats the data as cleared (ClearPending).
// - The editor's thread takes the redraw flag when it asks whether to redraw.
// Every member is a lock-free atomic: any thread may call any operation.

#include <atomic>

class DisplayHandOff final
{
public:
  // ==== Audio thread ====
  // One item stored: redraw, and one push owed.
  void Stored() noexcept
  {
    mRedrawPending.store(true, std::memory_order_release);
    mPendingPushes.fetch_add(1, std::memory_order_relaxed);
  }
  // True when a clear is outstanding; *pRequest is what to acknowledge once the
  // data is cleared.
  bool TakeClearRequest(unsigned* pRequest) const noexcept
  {
    *pRequest = mClearRequests.load(std::memory_order_acquire);
    return *pRequest != mClearsApplied.load(std::memory_order_relaxed);
  }
  void AcknowledgeClear(unsigned request) noexcept { mClearsApplied.store(request, std::memory_order_release); }

  // ==== Parameter-change thread ====
  // Asks the audio thread to clear; drawing shows the data as cleared from now on.
  void RequestClear() noexcept
  {
    mClearRequests.fetch_add(1, std::memory_order_release);
    mRedrawPending.store(true, std::memory_order_release);
  }

  // ==== Editor thread ====
  // Whether anything arrived since the last call.
  bool TakeRedraw() noexcept { return mRedrawPending.exchange(false, std::memory_order_acq_rel); }
  // A clear was requested and the audio thread has not performed it yet.
  bool ClearPending() const noexcept
  {
    const unsigned applied = mClearsApplied.load(std::memory_order_acquire);
    return applied != mClearRequests.load(std::memory_order_acquire);
  }

  // ==== Idle (any non-audio thread) ====
  // Items stored since the last call: the pushes the processor owes the host.
  int TakePendingPushes() noexcept { return mPendingPushes.exchange(0, std::memory_order_acq_rel); }

private:
  std::atomic<bool> mRedrawPending{false};
  std::atomic<int> mPendingPushes{0};
  std::atomic<unsigned> mClearRequests{0};
  std::atomic<unsigned> mClearsApplied{0};
};
