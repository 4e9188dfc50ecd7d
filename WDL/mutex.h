#pragma once
// A mutex that the owning thread can re-enter: a plain (non-recursive) mutex plus
// the owner's thread id and an entry count. Entering from the owner only counts;
// entering from another thread locks and takes ownership with the count at 0;
// leaving counts down and unlocks once the count drops below 0.

#include <atomic>
#include <mutex>
#include <thread>

class WDL_Mutex final
{
public:
  WDL_Mutex() = default;
  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter()
  {
    const std::thread::id self = std::this_thread::get_id();
    if (m_owner.load(std::memory_order_acquire) == self)
    {
      ++m_count;
      return;
    }
    m_mutex.lock();
    m_owner.store(self, std::memory_order_release);
    m_count = 0;
  }

  // Takes the mutex only if that needs no waiting; true when entered.
  bool TryEnter()
  {
    const std::thread::id self = std::this_thread::get_id();
    if (m_owner.load(std::memory_order_acquire) == self)
    {
      ++m_count;
      return true;
    }
    if (!m_mutex.try_lock()) return false;
    m_owner.store(self, std::memory_order_release);
    m_count = 0;
    return true;
  }

  void Leave()
  {
    if (--m_count < 0)
    {
      m_owner.store(std::thread::id(), std::memory_order_release);
      m_mutex.unlock();
    }
  }

  bool IsHeldByCurrentThread() const noexcept
  {
    return m_owner.load(std::memory_order_acquire) == std::this_thread::get_id();
  }

private:
  std::mutex m_mutex;
  std::atomic<std::thread::id> m_owner{};
  int m_count = 0;  // only touched by the owner
};

// Enters on construction and leaves on destruction; a null mutex is ignored.
class WDL_MutexLock final
{
public:
  explicit WDL_MutexLock(WDL_Mutex* m)
    : m_mutex(m)
  {
    if (m_mutex) m_mutex->Enter();
  }
  ~WDL_MutexLock()
  {
    if (m_mutex) m_mutex->Leave();
  }
  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
  WDL_Mutex* m_mutex;
};
