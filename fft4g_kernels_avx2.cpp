// The AVX2 code path: two complex values per 256-bit register, (re, im) pairs
// as in memory. Built for AVX2 (without FMA) by a target pragma around this
// file's own code; chosen at run time.

#include "fft4g_paths.h"

#if TESK_FFT_X86_KERNELS

#include <immintrin.h>

#if defined(__clang__)
#define TESK_FFT_TARGET_BEGIN _Pragma("clang attribute push(__attribute__((target(\"avx2\"))), apply_to = function)")
#define TESK_FFT_TARGET_END _Pragma("clang attribute pop")
#else
#define TESK_FFT_TARGET_BEGIN _Pragma("GCC push_options") _Pragma("GCC target(\"avx2\")")
#define TESK_FFT_TARGET_END _Pragma("GCC pop_options")
#endif

#include "fft4g_kernels_impl.h"

TESK_FFT_TARGET_BEGIN

namespace fft4g
{
namespace
{

using impl::Roots;
using impl::ScalarLanes;

struct Avx2Lanes
{
  static constexpr int V = 2;
  using Reg = __m256d;
  // Per value (re, re) and (-im, im): w x = x re + swap(x) im.
  struct Twiddle
  {
    __m256d re;
    __m256d im;
  };

  // Transforms of fewer than 256 points: too short for the tiles; the SSE2
  // kernels run them one value per register (the same operations).
  template <bool Backward, bool Conj>
  static void smallComplex(int n, double* a, int* scratch, RootTable roots) noexcept
  {
    const Kernels& k = sse2Kernels();
    (Conj ? k.complexConjugateBackward : Backward ? k.complexBackward : k.complexForward)(n, a, scratch, roots);
  }

  static Reg load(const double* p) noexcept { return _mm256_loadu_pd(p); }
  static void store(double* p, Reg x) noexcept { _mm256_storeu_pd(p, x); }
  static Reg add(Reg x, Reg y) noexcept { return _mm256_add_pd(x, y); }
  static Reg sub(Reg x, Reg y) noexcept { return _mm256_sub_pd(x, y); }
  static Reg swap(Reg x) noexcept { return _mm256_permute_pd(x, 0x5); }
  static Reg realSign() noexcept { return _mm256_set_pd(0.0, -0.0, 0.0, -0.0); }
  static Reg imagSign() noexcept { return _mm256_set_pd(-0.0, 0.0, -0.0, 0.0); }
  static Reg conj(Reg x) noexcept { return _mm256_xor_pd(x, imagSign()); }
  template <bool Backward>
  static Reg timesJ(Reg x) noexcept
  {
    return _mm256_xor_pd(swap(x), Backward ? imagSign() : realSign());
  }
  static Reg mul(Reg x, const Twiddle& w) noexcept
  {
    return _mm256_add_pd(_mm256_mul_pd(x, w.re), _mm256_mul_pd(swap(x), w.im));
  }

  // Twiddles from two roots (c, s) per value, conjugated when Backward.
  template <bool Backward>
  static Twiddle fromRoots(Reg r) noexcept
  {
    return {_mm256_movedup_pd(r), _mm256_xor_pd(_mm256_permute_pd(r, 0xF), Backward ? imagSign() : realSign())};
  }
  static Twiddle splat(const ScalarLanes::Twiddle& w) noexcept
  {
    return {_mm256_set1_pd(w.re), _mm256_set_pd(w.im, -w.im, w.im, -w.im)};
  }
  // Roots idx0 and idx0 + step. Within one quadrant they are two table entries
  // turned by the same quarter turns; across a quadrant edge, one at a time.
  template <bool Backward>
  TESK_FFT_INLINE static Twiddle rootTwiddles(const Roots& t, int idx0, int step) noexcept
  {
    const int quadrant = idx0 >> t.shift;
    if (((idx0 + step) >> t.shift) != quadrant)
    {
      double r0, i0, r1, i1;
      impl::rootOfUnity(t, idx0, r0, i0);
      impl::rootOfUnity(t, idx0 + step, r1, i1);
      return fromRoots<Backward>(_mm256_set_pd(i1, r1, i0, r0));
    }
    const double* p = t.w + 2 * (idx0 & t.mask);
    Reg r = step == 1 ? _mm256_loadu_pd(p) : _mm256_set_m128d(_mm_loadu_pd(p + 2 * step), _mm_loadu_pd(p));
    switch (quadrant)
    {
      case 0: break;
      case 1: r = timesJ<false>(r); break;
      case 2: r = _mm256_xor_pd(r, _mm256_set1_pd(-0.0)); break;
      default: r = timesJ<true>(r); break;
    }
    return fromRoots<Backward>(r);
  }
  // Entries p and p + 2 step of one quadrant, turned by Quadrant quarter
  // turns (Step is step when known at compile time).
  template <bool Backward, int Quadrant, int Step>
  TESK_FFT_INLINE static Twiddle turnedRoots(const double* p, int step = Step) noexcept
  {
    Reg r = Step == 1 ? _mm256_loadu_pd(p) : _mm256_set_m128d(_mm_loadu_pd(p + 2 * step), _mm_loadu_pd(p));
    switch (Quadrant)
    {
      case 0: break;
      case 1: r = timesJ<false>(r); break;
      case 2: r = _mm256_xor_pd(r, _mm256_set1_pd(-0.0)); break;
      default: r = timesJ<true>(r); break;
    }
    return fromRoots<Backward>(r);
  }
  // G for two offsets: cosines c[i], sines c[nc - i], i = i0 + l step, each
  // duplicated into both halves of its value; (-gi, gi) comes from one
  // multiplication by (-0.5, 0.5) (negating a product is exact).
  TESK_FFT_INLINE static Twiddle realTwiddles(const double* c, int nc, int i0, int step) noexcept
  {
    Reg cosines, sines;
    if (step == 1)
    {
      cosines = _mm256_permute4x64_pd(_mm256_castpd128_pd256(_mm_loadu_pd(c + i0)), 0x50);
      sines = _mm256_permute4x64_pd(_mm256_castpd128_pd256(_mm_loadu_pd(c + nc - i0 - 1)), 0x05);
    }
    else
    {
      cosines = _mm256_set_pd(c[i0 + step], c[i0 + step], c[i0], c[i0]);
      sines = _mm256_set_pd(c[nc - i0 - step], c[nc - i0 - step], c[nc - i0], c[nc - i0]);
    }
    const Reg half = _mm256_set1_pd(0.5);
    return {_mm256_sub_pd(half, _mm256_mul_pd(half, sines)),
            _mm256_mul_pd(cosines, _mm256_set_pd(0.5, -0.5, 0.5, -0.5))};
  }
  static void transpose(Reg* x) noexcept
  {
    const Reg a = x[0], b = x[1];
    x[0] = _mm256_permute2f128_pd(a, b, 0x20);
    x[1] = _mm256_permute2f128_pd(a, b, 0x31);
  }
  static Reg reverse(Reg x) noexcept { return _mm256_permute2f128_pd(x, x, 0x01); }
  static Reg keepFirst(Reg original, Reg computed) noexcept { return _mm256_blend_pd(computed, original, 0x3); }
};

}  // namespace

TESK_FFT_TARGET_END

const Kernels& avx2Kernels() noexcept
{
  static constexpr Kernels kKernels = impl::Fft<Avx2Lanes>::table();
  return kKernels;
}

}  // namespace fft4g

#endif
