// Compiled with -fsyntax-only for other targets by CTest (see CMakeLists.txt):
// x86-64 targets build the x86-64 kernels, every other target builds none of
// them, and there the kernel files compile to nothing (no x86 header is
// reached). Includes nothing from the standard library, so that no target
// headers are needed.

#include "fft4g_paths.h"

#if defined(TESK_EXPECT_X86_KERNELS)
static_assert(TESK_FFT_X86_KERNELS == 1, "x86-64 builds compile the SSE2, AVX2 and AVX-512 kernels");
#else
static_assert(TESK_FFT_X86_KERNELS == 0, "builds for other processors compile only the portable path");
#include "fft4g_kernels_avx2.cpp"
#include "fft4g_kernels_avx512.cpp"
#include "fft4g_kernels_sse2.cpp"
#endif
