// The replacements behind AudioThreadWatch: each forwards to the C library and counts
// the call when the calling thread is being watched.

#include "AudioThreadWatch.h"

#include <atomic>
#include <cstddef>
#include <dlfcn.h>
#include <pthread.h>

extern "C"
{
  void* __libc_malloc(size_t);
  void* __libc_calloc(size_t, size_t);
  void* __libc_realloc(void*, size_t);
  void* __libc_memalign(size_t, size_t);
}

namespace
{
thread_local bool tWatched = false;
std::atomic<int> gAllocations{0}, gLocks{0};

void CountAllocation() noexcept
{
  if (tWatched) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

extern "C"
{
  void* malloc(size_t n)
  {
    CountAllocation();
    return __libc_malloc(n);
  }
  void* calloc(size_t n, size_t size)
  {
    CountAllocation();
    return __libc_calloc(n, size);
  }
  void* realloc(void* p, size_t n)
  {
    CountAllocation();
    return __libc_realloc(p, n);
  }
  int posix_memalign(void** p, size_t align, size_t n)
  {
    CountAllocation();
    *p = __libc_memalign(align, n);
    return *p ? 0 : 12;  // ENOMEM
  }
  void* aligned_alloc(size_t align, size_t n)
  {
    CountAllocation();
    return __libc_memalign(align, n);
  }
  int pthread_mutex_lock(pthread_mutex_t* m)
  {
    using Lock = int (*)(pthread_mutex_t*);
    static const Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (tWatched) gLocks.fetch_add(1, std::memory_order_relaxed);
    return real(m);
  }
}

namespace lv2_test
{
AudioThreadWatch::AudioThreadWatch()
{
  gAllocations.store(0);
  gLocks.store(0);
  tWatched = true;
}
AudioThreadWatch::~AudioThreadWatch() { tWatched = false; }
int AudioThreadWatch::Allocations() const { return gAllocations.load(); }
int AudioThreadWatch::Locks() const { return gLocks.load(); }
}  // namespace lv2_test
