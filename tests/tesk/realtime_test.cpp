// The render path allocates nothing, also while it feeds both displays and while the
// user-interface thread draws them and the control thread changes parameters.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "IGraphicsHeadless.h"
#include "TeskTestSupport.h"

// The replacements pair malloc with free on purpose; the compiler cannot see that
// every operator new here is this one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace
{
thread_local bool tCounting = false;
std::atomic<int> gAllocations{0};
}  // namespace

// Counts every allocation made by a thread that asked to be watched.
void* operator new(std::size_t size)
{
  if (tCounting) gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace tesk_test;

TEST(TeskRealtime, RenderingAllocatesNothingWhileTheEditorAndHostAreBusy)
{
  Engine e;
  e.Set(Tesk::kAuto, 1.0);
  e.Set(Tesk::kSensitivity, 0.5);
  e.Set(Tesk::kModeA, 0.5);
  const Signal in = Noise(8 * TeskEngine::kConvSize, 0.5);
  Signal outL(in.size()), outR(in.size());

  std::atomic<bool> stop{false};
  std::thread ui([&] {
    auto* g = dynamic_cast<IGraphicsHeadless*>(e->GetGUI());
    while (!stop.load())
    {
      e->OnIdle();
      g->DrawAll();
    }
  });
  // The host's control thread changes parameters the engine reads on every sample.
  std::thread control([&] {
    for (int i = 0; !stop.load(); ++i)
    {
      WDL_MutexLock lock(e->GetMutex());
      for (int idx : {Tesk::kSensitivity, Tesk::kAuto, Tesk::kLow})
      {
        e->GetParam(idx)->Set((i % 100) / 100.0);
        e->OnParamChange(idx);
      }
    }
  });

  tCounting = true;
  for (size_t start = 0; start < in.size(); start += 256)
  {
    double* ins[2] = {const_cast<double*>(in.data()) + start, const_cast<double*>(in.data()) + start};
    double* outs[2] = {outL.data() + start, outR.data() + start};
    e->ProcessDoubleReplacing(ins, outs, 256);
  }
  tCounting = false;
  stop.store(true);
  ui.join();
  control.join();
  EXPECT_EQ(gAllocations.load(), 0);
  EXPECT_GT(e->GetEngine().FrameSteps1(), 20u);
}
