#pragma once

// Which FFT code paths this build compiles. Deliberately free of includes, so
// that a test can check the choice for other targets by running just this file
// through a cross compiler's front end.
//
// TESK_FFT_X86_KERNELS is 1 on x86-64 (SSE2 as the baseline, AVX2 and AVX-512
// kernels chosen at run time) and 0 everywhere else, where only the portable
// path is built. Defining TESK_FFT_NO_X86_KERNELS builds an x86-64 library the
// way other processors get it (the tests use that to compare against it).

#if !defined(TESK_FFT_NO_X86_KERNELS) && (defined(__x86_64__) || defined(_M_X64))
#define TESK_FFT_X86_KERNELS 1
#else
#define TESK_FFT_X86_KERNELS 0
#endif
