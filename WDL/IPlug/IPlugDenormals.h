#pragma once
// Subnormal numbers cost some processors many times the time of normal ones and mean
// nothing in audio. While one of these objects lives, the current thread's floating-point
// unit flushes subnormal results to zero and reads subnormal operands as zero; the
// previous mode comes back when it goes. Normal numbers compute exactly as before.
// Mode() reads the thread's current mode (not the sticky exception flags), so a test can
// check that the caller's mode is restored.
//
// Audio thread: a binding holds one around each processing call. No allocation, no locks.

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64) || defined(__SSE2__)
#include <xmmintrin.h>

class ScopedFlushDenormals final
{
public:
  ScopedFlushDenormals() noexcept
    : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero);
  }
  ~ScopedFlushDenormals() { _mm_setcsr(mSaved); }
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

  static std::uint64_t Mode() noexcept { return _mm_getcsr() & ~0x3Fu; }  // MXCSR less its flags

private:
  static constexpr unsigned kFlushToZero = 0x8000;       // MXCSR.FZ
  static constexpr unsigned kDenormalsAreZero = 0x0040;  // MXCSR.DAZ
  unsigned mSaved;
};

#elif defined(__aarch64__)

class ScopedFlushDenormals final
{
public:
  ScopedFlushDenormals() noexcept
  {
    asm volatile("mrs %0, fpcr" : "=r"(mSaved));
    const std::uint64_t flushing = mSaved | kFlushToZero;
    asm volatile("msr fpcr, %0" : : "r"(flushing));
  }
  ~ScopedFlushDenormals() { asm volatile("msr fpcr, %0" : : "r"(mSaved)); }
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

  static std::uint64_t Mode() noexcept  // FPCR holds the mode only (the flags are in FPSR)
  {
    std::uint64_t fpcr;
    asm volatile("mrs %0, fpcr" : "=r"(fpcr));
    return fpcr;
  }

private:
  static constexpr std::uint64_t kFlushToZero = std::uint64_t{1} << 24;  // FPCR.FZ (inputs and results)
  std::uint64_t mSaved = 0;
};

#else
// No portable control of the mode: processing runs as it is.
class ScopedFlushDenormals final
{
public:
  ScopedFlushDenormals() noexcept = default;
  static std::uint64_t Mode() noexcept { return 0; }
};
#endif
