#pragma once
// Parameter values on their way to the editor from threads other than the editor's: one
// preallocated slot per parameter, holding the latest value handed over (a later value
// replaces one still waiting: what the editor shows is the latest), and a flag per slot
// that it waits. The editor thread takes them on its timer tick.
//
// Threads: Store and Replace from any thread, the audio thread included (relaxed and
// release stores, no wait, no lock, no allocation); Drain on the editor thread only.
// Construction allocates every slot; nothing allocates afterwards.

#include <atomic>
#include <cstddef>
#include <memory>

class IParamHandOff final
{
public:
  explicit IParamHandOff(int nParams)
    : mSize(nParams > 0 ? nParams : 0),
      mSlots(std::make_unique<Slot[]>(static_cast<size_t>(mSize)))
  {
  }
  IParamHandOff(const IParamHandOff&) = delete;
  IParamHandOff& operator=(const IParamHandOff&) = delete;

  // The value waits for the editor's next tick. False, and nothing waits, for an index
  // without a slot.
  bool Store(int paramIdx, double value) noexcept
  {
    if (paramIdx < 0 || paramIdx >= mSize) return false;
    Slot& s = mSlots[paramIdx];
    s.value.store(value, std::memory_order_relaxed);
    s.waiting.store(true, std::memory_order_release);
    mAnyWaiting.store(true, std::memory_order_release);
    return true;
  }

  // A value that waits for the parameter becomes this one; nothing changes when none
  // waits. For a change the editor learns otherwise, which must not be undone by an older
  // value applied later.
  void Replace(int paramIdx, double value) noexcept
  {
    if (paramIdx >= 0 && paramIdx < mSize && mSlots[paramIdx].waiting.load(std::memory_order_acquire))
      Store(paramIdx, value);
  }

  // Editor thread: apply(paramIdx, value) for every waiting value, in index order.
  template <class Apply>
  void Drain(Apply&& apply)
  {
    if (!mAnyWaiting.exchange(false, std::memory_order_acq_rel)) return;
    for (int i = 0; i < mSize; ++i)
      if (mSlots[i].waiting.exchange(false, std::memory_order_acq_rel))
        apply(i, mSlots[i].value.load(std::memory_order_relaxed));
  }

private:
  struct Slot
  {
    std::atomic<double> value{0.0};
    std::atomic<bool> waiting{false};
  };
  static_assert(std::atomic<double>::is_always_lock_free, "the hand-off must not lock");

  int mSize;
  std::unique_ptr<Slot[]> mSlots;
  std::atomic<bool> mAnyWaiting{false};
};
