#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "mutex.h"

TEST(Mutex, OwnerReentersWithoutBlockingAndUnlocksAfterLastLeave)
{
  WDL_Mutex m;
  m.Enter();
  m.Enter();  // would deadlock on a plain mutex
  {
    WDL_MutexLock nested(&m);
    EXPECT_TRUE(m.IsHeldByCurrentThread());
  }
  m.Leave();
  EXPECT_TRUE(m.IsHeldByCurrentThread());  // one entry still outstanding
  bool otherGot = true;
  std::thread([&] { otherGot = m.TryEnter(); }).join();
  EXPECT_FALSE(otherGot);
  m.Leave();
  EXPECT_FALSE(m.IsHeldByCurrentThread());
  std::thread([&] {
    otherGot = m.TryEnter();
    if (otherGot) m.Leave();
  }).join();
  EXPECT_TRUE(otherGot);
}

TEST(Mutex, ExcludesOtherThreads)
{
  WDL_Mutex m;
  std::atomic<int> inside{0};
  std::atomic<int> maxInside{0};
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i)
    {
      WDL_MutexLock lock(&m);
      WDL_MutexLock again(&m);  // re-entry on the same thread
      const int now = ++inside;
      if (now > maxInside) maxInside = now;
      ++counter;
      --inside;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
  EXPECT_EQ(maxInside.load(), 1);
}
