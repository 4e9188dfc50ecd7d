// Chooses the FFT code path: the widest one the processor runs, unless the
// environment variable TESK_FFT_PATH names another available one, or a test
// forces one.

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "fft4g_kernels.h"

namespace fft4g
{
namespace
{

bool cpuRuns(Path path) noexcept
{
#if TESK_FFT_X86_KERNELS
  __builtin_cpu_init();
  switch (path)
  {
    case Path::Portable:
    case Path::Sse2: return true;
    case Path::Avx2: return __builtin_cpu_supports("avx2");
    case Path::Avx512: return __builtin_cpu_supports("avx512f");
  }
  return false;
#else
  return path == Path::Portable;
#endif
}

const Kernels& kernelsOf(Path path) noexcept
{
  switch (path)
  {
#if TESK_FFT_X86_KERNELS
    case Path::Sse2: return sse2Kernels();
    case Path::Avx2: return avx2Kernels();
    case Path::Avx512: return avx512Kernels();
#endif
    default: return portableKernels();
  }
}

// -1 until the first transform (or a test) picks a path. Choosing twice gives
// the same answer, so a race between two first callers is harmless.
std::atomic<int> gActive{-1};

// Chooses at load time, so that the audio thread's first transform finds the
// choice made (reading the environment once is all the choice costs).
const Path kChosenAtLoad = activePath();

}  // namespace

const char* pathName(Path path) noexcept
{
  switch (path)
  {
    case Path::Portable: return "portable";
    case Path::Sse2: return "sse2";
    case Path::Avx2: return "avx2";
    case Path::Avx512: return "avx512";
  }
  return "unknown";
}

Path preferredPath(const char* request) noexcept
{
  for (int p = 0; request != nullptr && p < kPathCount; ++p)
    if (std::strcmp(request, pathName(static_cast<Path>(p))) == 0 && pathAvailable(static_cast<Path>(p)))
      return static_cast<Path>(p);
  for (int p = kPathCount - 1; p > 0; --p)
    if (pathAvailable(static_cast<Path>(p))) return static_cast<Path>(p);
  return Path::Portable;
}

bool pathAvailable(Path path) noexcept
{
  if (path == Path::Portable) return true;
  return TESK_FFT_X86_KERNELS && cpuRuns(path);
}

Path activePath() noexcept
{
  int p = gActive.load(std::memory_order_relaxed);
  if (p < 0)
  {
    p = static_cast<int>(preferredPath(std::getenv("TESK_FFT_PATH")));
    gActive.store(p, std::memory_order_relaxed);
  }
  return static_cast<Path>(p);
}

const Kernels& activeKernels() noexcept { return kernelsOf(activePath()); }

bool forcePath(Path path) noexcept
{
  if (!pathAvailable(path)) return false;
  gActive.store(static_cast<int>(path), std::memory_order_relaxed);
  return true;
}

}  // namespace fft4g
