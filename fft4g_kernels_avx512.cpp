// The AVX-512 code path: four complex values per 512-bit register, (re, im)
// pairs as in memory. Built for AVX-512F (no fused multiply-adds: contraction
// is off) by a target pragma around this file's own code; chosen at run time.

#include "fft4g_paths.h"

#if TESK_FFT_X86_KERNELS

// Some compiler releases report the intrinsics' deliberately undefined pass-through
// operands as uninitialized once inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>

#if defined(__clang__)
#define TESK_FFT_TARGET_BEGIN _Pragma("clang attribute push(__attribute__((target(\"avx512f\"))), apply_to = function)")
#define TESK_FFT_TARGET_END _Pragma("clang attribute pop")
#else
#define TESK_FFT_TARGET_BEGIN _Pragma("GCC push_options") _Pragma("GCC target(\"avx512f\")")
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

struct Avx512Lanes
{
  static constexpr int V = 4;
  using Reg = __m512d;
  // Per value (re, re) and (-im, im): w x = x re + swap(x) im.
  struct Twiddle
  {
    __m512d re;
    __m512d im;
  };

  // Transforms of fewer than 256 points: too short for the tiles; the SSE2
  // kernels run them one value per register (the same operations).
  template <bool Backward, bool Conj>
  static void smallComplex(int n, double* a, int* scratch, RootTable roots) noexcept
  {
    const Kernels& k = sse2Kernels();
    (Conj ? k.complexConjugateBackward : Backward ? k.complexBackward : k.complexForward)(n, a, scratch, roots);
  }

  static Reg load(const double* p) noexcept { return _mm512_loadu_pd(p); }
  static void store(double* p, Reg x) noexcept { _mm512_storeu_pd(p, x); }
  static Reg add(Reg x, Reg y) noexcept { return _mm512_add_pd(x, y); }
  static Reg sub(Reg x, Reg y) noexcept { return _mm512_sub_pd(x, y); }
  static Reg bitXor(Reg x, Reg y) noexcept
  {
    return _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(x), _mm512_castpd_si512(y)));
  }
  static Reg swap(Reg x) noexcept { return _mm512_permute_pd(x, 0x55); }
  static Reg realSign() noexcept { return _mm512_set_pd(0.0, -0.0, 0.0, -0.0, 0.0, -0.0, 0.0, -0.0); }
  static Reg imagSign() noexcept { return _mm512_set_pd(-0.0, 0.0, -0.0, 0.0, -0.0, 0.0, -0.0, 0.0); }
  static Reg conj(Reg x) noexcept { return bitXor(x, imagSign()); }
  template <bool Backward>
  static Reg timesJ(Reg x) noexcept
  {
    return bitXor(swap(x), Backward ? imagSign() : realSign());
  }
  static Reg mul(Reg x, const Twiddle& w) noexcept
  {
    return _mm512_add_pd(_mm512_mul_pd(x, w.re), _mm512_mul_pd(swap(x), w.im));
  }

  static Twiddle splat(const ScalarLanes::Twiddle& w) noexcept
  {
    return {_mm512_set1_pd(w.re), _mm512_set_pd(w.im, -w.im, w.im, -w.im, w.im, -w.im, w.im, -w.im)};
  }
  static Reg fromPairs(__m128d p0, __m128d p1, __m128d p2, __m128d p3) noexcept
  {
    return _mm512_insertf64x4(_mm512_zextpd256_pd512(_mm256_set_m128d(p1, p0)), _mm256_set_m128d(p3, p2), 1);
  }
  static __m512i indices(long long a, long long b, long long c, long long d) noexcept
  {
    return _mm512_set_epi64(d, d, c, c, b, b, a, a);
  }

  // The twiddles of four roots in one quadrant, given each root's tabulated
  // cosines and sines already duplicated into both halves of their value:
  // the quadrant turns (c, s) into (c, s), (-s, c), (-c, -s) or (s, -c).
  template <bool Backward>
  TESK_FFT_INLINE static Twiddle turned(int quadrant, Reg cosines, Reg sines) noexcept
  {
    const Reg minus = _mm512_set1_pd(-0.0);
    const Reg imSign = Backward ? imagSign() : realSign();
    switch (quadrant)
    {
      case 0: return {cosines, bitXor(sines, imSign)};
      case 1: return {bitXor(sines, minus), bitXor(cosines, imSign)};
      case 2: return {bitXor(cosines, minus), bitXor(sines, bitXor(imSign, minus))};
      default: return {sines, bitXor(cosines, bitXor(imSign, minus))};
    }
  }

  // Roots idx0 + l step, l < 4. Within one quadrant they are table entries at a
  // stride, picked from whole-register loads (masked, so nothing is read past
  // the last entry used); across a quadrant edge, one at a time.
  template <bool Backward>
  TESK_FFT_INLINE static Twiddle rootTwiddles(const Roots& t, int idx0, int step) noexcept
  {
    const int quadrant = idx0 >> t.shift;
    if (((idx0 + 3 * step) >> t.shift) != quadrant)
    {
      alignas(64) double roots[8];
      for (int l = 0; l < 4; ++l) impl::rootOfUnity(t, idx0 + l * step, roots[2 * l], roots[2 * l + 1]);
      const Reg r = _mm512_load_pd(roots);
      return turned<Backward>(0, _mm512_movedup_pd(r), _mm512_permute_pd(r, 0xFF));
    }
    const double* p = t.w + 2 * (idx0 & t.mask);
    switch (step)
    {
      case 1: return turnedRootsAt<Backward, -1, 1>(p, quadrant, 1);
      case 2: return turnedRootsAt<Backward, -1, 2>(p, quadrant, 2);
      case 3: return turnedRootsAt<Backward, -1, 3>(p, quadrant, 3);
      default: return turnedRootsAt<Backward, -1, 0>(p, quadrant, step);
    }
  }

  // The entries p + 2 l Step, l < 4, of one quadrant, turned by Quadrant
  // quarter turns (-1: by `quadrant`; Step 0: at the stride `step`). They are
  // picked from whole-register loads, masked so that nothing is read past the
  // last entry used.
  template <bool Backward, int Quadrant, int Step>
  TESK_FFT_INLINE static Twiddle turnedRootsAt(const double* p, int quadrant, int step) noexcept
  {
    Reg cosines, sines;
    if constexpr (Step == 2)
    {
      const Reg r0 = _mm512_loadu_pd(p), r1 = _mm512_maskz_loadu_pd(0x3F, p + 8);
      cosines = _mm512_permutex2var_pd(r0, indices(0, 4, 8, 12), r1);
      sines = _mm512_permutex2var_pd(r0, indices(1, 5, 9, 13), r1);
    }
    else if constexpr (Step == 3)
    {
      const Reg r0 = _mm512_loadu_pd(p), r1 = _mm512_loadu_pd(p + 8), r2 = _mm512_maskz_loadu_pd(0x0F, p + 16);
      cosines = _mm512_mask_permutexvar_pd(_mm512_permutex2var_pd(r0, indices(0, 6, 12, 12), r1), 0xC0,
                                           indices(2, 2, 2, 2), r2);
      sines = _mm512_mask_permutexvar_pd(_mm512_permutex2var_pd(r0, indices(1, 7, 13, 13), r1), 0xC0,
                                         indices(3, 3, 3, 3), r2);
    }
    else
    {
      const Reg r = Step == 1 ? _mm512_loadu_pd(p)
                              : fromPairs(_mm_loadu_pd(p), _mm_loadu_pd(p + 2 * step), _mm_loadu_pd(p + 4 * step),
                                          _mm_loadu_pd(p + 6 * step));
      cosines = _mm512_movedup_pd(r);
      sines = _mm512_permute_pd(r, 0xFF);
    }
    return turned<Backward>(Quadrant >= 0 ? Quadrant : quadrant, cosines, sines);
  }
  template <bool Backward, int Quadrant, int Step>
  TESK_FFT_INLINE static Twiddle turnedRoots(const double* p, int step = Step) noexcept
  {
    return turnedRootsAt<Backward, Quadrant, (Step <= 3 ? Step : 0)>(p, Quadrant, step);
  }

  // G for four offsets: cosines c[i], sines c[nc - i], i = i0 + l step, each
  // duplicated into both halves of its value; (-gi, gi) comes from one
  // multiplication by (-0.5, 0.5) (negating a product is exact).
  TESK_FFT_INLINE static Twiddle realTwiddles(const double* c, int nc, int i0, int step) noexcept
  {
    Reg cosines, sines;
    if (step == 1)
    {
      cosines = _mm512_permutexvar_pd(indices(0, 1, 2, 3), _mm512_zextpd256_pd512(_mm256_loadu_pd(c + i0)));
      sines = _mm512_permutexvar_pd(indices(3, 2, 1, 0), _mm512_zextpd256_pd512(_mm256_loadu_pd(c + nc - i0 - 3)));
    }
    else
    {
      cosines = _mm512_set_pd(c[i0 + 3 * step], c[i0 + 3 * step], c[i0 + 2 * step], c[i0 + 2 * step], c[i0 + step],
                              c[i0 + step], c[i0], c[i0]);
      sines = _mm512_set_pd(c[nc - i0 - 3 * step], c[nc - i0 - 3 * step], c[nc - i0 - 2 * step], c[nc - i0 - 2 * step],
                            c[nc - i0 - step], c[nc - i0 - step], c[nc - i0], c[nc - i0]);
    }
    const Reg half = _mm512_set1_pd(0.5);
    return {_mm512_sub_pd(half, _mm512_mul_pd(half, sines)),
            _mm512_mul_pd(cosines, _mm512_set_pd(0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5, -0.5))};
  }
  static void transpose(Reg* x) noexcept
  {
    const Reg t0 = _mm512_shuffle_f64x2(x[0], x[1], 0x44), t1 = _mm512_shuffle_f64x2(x[0], x[1], 0xEE);
    const Reg t2 = _mm512_shuffle_f64x2(x[2], x[3], 0x44), t3 = _mm512_shuffle_f64x2(x[2], x[3], 0xEE);
    x[0] = _mm512_shuffle_f64x2(t0, t2, 0x88);
    x[1] = _mm512_shuffle_f64x2(t0, t2, 0xDD);
    x[2] = _mm512_shuffle_f64x2(t1, t3, 0x88);
    x[3] = _mm512_shuffle_f64x2(t1, t3, 0xDD);
  }
  static Reg reverse(Reg x) noexcept { return _mm512_shuffle_f64x2(x, x, 0x1B); }
  static Reg keepFirst(Reg original, Reg computed) noexcept { return _mm512_mask_blend_pd(0x03, computed, original); }
};

}  // namespace

TESK_FFT_TARGET_END

const Kernels& avx512Kernels() noexcept
{
  static constexpr Kernels kKernels = impl::Fft<Avx512Lanes>::table();
  return kKernels;
}

}  // namespace fft4g

#endif
