#pragma once

// Internal to the FFT package: the complex FFT and the real-transform steps
// behind FFTOoura, built once per instruction set ("code path").
//
// Every path computes the same operations on the same operands in the same
// order; they differ only in how many values one instruction handles. Their
// results are therefore bit-identical (no fused multiply-adds anywhere, the
// build keeps -ffp-contract=off), and the path choice is a matter of speed only.
//
// The path is chosen once, on first use, from what the processor offers; the
// environment variable TESK_FFT_PATH (portable, sse2, avx2 or avx512) forces a
// path when the machine has it, and tests switch paths with forcePath.

#include "fft4g_paths.h"

namespace fft4g
{

enum class Path : int
{
  Portable = 0,  // plain C++, every platform
  Sse2 = 1,      // x86-64 baseline: one complex value per register
  Avx2 = 2,      // two complex values per register
  Avx512 = 3,    // four complex values per register
};
constexpr int kPathCount = 4;

const char* pathName(Path path) noexcept;

// Cosine/sine table of the complex FFT: (cos, sin) of 2 pi i / points for
// i < points / 4, points = 2 nw (nw = ip[0]).
struct RootTable
{
  const double* w;
  int points;
};

// Cosine table of the real transforms: cos(pi j / (2 nc)) for j < nc.
struct CosineTable
{
  const double* c;
  int nc;
};

struct Kernels
{
  // In-place complex FFT of n/2 interleaved points (n doubles, n >= 4), bit
  // reversal included: forward (twiddles e^+), backward (e^-), and backward on
  // the conjugated input (conjugated while reordering).
  // scratch: bit-reversal work area (ip + 2).
  void (*complexForward)(int n, double* a, int* scratch, RootTable roots) noexcept;
  void (*complexBackward)(int n, double* a, int* scratch, RootTable roots) noexcept;
  void (*complexConjugateBackward)(int n, double* a, int* scratch, RootTable roots) noexcept;
  // Real-transform post-processing after a forward complex FFT of n/2 points
  // (n >= 2): packed spectrum from the transform of the even/odd samples.
  void (*realForwardStep)(int n, double* a, CosineTable cosines) noexcept;
  // Its transpose before a backward complex FFT; leaves the conjugate, which
  // complexConjugateBackward's reorder undoes.
  void (*realBackwardStep)(int n, double* a, CosineTable cosines) noexcept;
};

// The kernels of the active path. Any thread; no locks, no allocation.
const Kernels& activeKernels() noexcept;
Path activePath() noexcept;

// The path chosen for a TESK_FFT_PATH value (nullptr: unset): the named path
// when it is available, otherwise the widest available one.
Path preferredPath(const char* request) noexcept;

// True when this build holds the path and this processor can run it.
bool pathAvailable(Path path) noexcept;

// Makes path the active one if it is available (returns false otherwise).
// For tests and benchmarks: call it while no transform is running.
bool forcePath(Path path) noexcept;

// Per-path kernel tables, defined in fft4g_kernels_<path>.cpp.
const Kernels& portableKernels() noexcept;
#if TESK_FFT_X86_KERNELS
const Kernels& sse2Kernels() noexcept;
const Kernels& avx2Kernels() noexcept;
const Kernels& avx512Kernels() noexcept;
#endif

}  // namespace fft4g
