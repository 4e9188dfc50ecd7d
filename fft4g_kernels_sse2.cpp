// The SSE2 code path (the x86-64 baseline): one complex value per register,
// real part in the low lane.

#include "fft4g_paths.h"

#if TESK_FFT_X86_KERNELS

#include <emmintrin.h>

#include "fft4g_kernels_impl.h"

namespace fft4g
{
namespace
{

using impl::Roots;
using impl::ScalarLanes;

struct Sse2Lanes
{
  static constexpr int V = 1;
  using Reg = __m128d;
  // (re, re) and (-im, im), so that w x = x (re, re) + swap(x) (-im, im).
  struct Twiddle
  {
    __m128d re;
    __m128d im;
  };

  static Reg load(const double* p) noexcept { return _mm_loadu_pd(p); }
  static void store(double* p, Reg x) noexcept { _mm_storeu_pd(p, x); }
  static Reg add(Reg x, Reg y) noexcept { return _mm_add_pd(x, y); }
  static Reg sub(Reg x, Reg y) noexcept { return _mm_sub_pd(x, y); }
  static Reg swap(Reg x) noexcept { return _mm_shuffle_pd(x, x, 1); }
  static Reg realSign() noexcept { return _mm_set_pd(0.0, -0.0); }
  static Reg imagSign() noexcept { return _mm_set_pd(-0.0, 0.0); }
  static Reg conj(Reg x) noexcept { return _mm_xor_pd(x, imagSign()); }
  template <bool Backward>
  static Reg timesJ(Reg x) noexcept
  {
    return _mm_xor_pd(swap(x), Backward ? imagSign() : realSign());
  }
  static Reg mul(Reg x, const Twiddle& w) noexcept
  {
    return _mm_add_pd(_mm_mul_pd(x, w.re), _mm_mul_pd(swap(x), w.im));
  }

  static Twiddle splat(const ScalarLanes::Twiddle& w) noexcept { return {_mm_set1_pd(w.re), _mm_set_pd(w.im, -w.im)}; }
  // The root (c, s) turned by `quadrant` quarter turns, as a twiddle.
  template <bool Backward>
  TESK_FFT_INLINE static Twiddle turned(int quadrant, Reg cs) noexcept
  {
    switch (quadrant)
    {
      case 0: break;
      case 1: cs = timesJ<false>(cs); break;
      case 2: cs = _mm_xor_pd(cs, _mm_set1_pd(-0.0)); break;
      default: cs = timesJ<true>(cs); break;
    }
    return {_mm_unpacklo_pd(cs, cs), _mm_xor_pd(_mm_unpackhi_pd(cs, cs), Backward ? imagSign() : realSign())};
  }
  template <bool Backward>
  TESK_FFT_INLINE static Twiddle rootTwiddles(const Roots& t, int idx0, int) noexcept
  {
    return turned<Backward>(idx0 >> t.shift, _mm_loadu_pd(t.w + 2 * (idx0 & t.mask)));
  }
  template <bool Backward, int Quadrant, int Step>
  TESK_FFT_INLINE static Twiddle turnedRoots(const double* p, int = Step) noexcept
  {
    return turned<Backward>(Quadrant, _mm_loadu_pd(p));
  }
  TESK_FFT_INLINE static Twiddle realTwiddles(const double* c, int nc, int i0, int) noexcept
  {
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d gr = _mm_sub_pd(half, _mm_mul_pd(half, _mm_load1_pd(c + nc - i0)));
    const __m128d gi = _mm_mul_pd(half, _mm_load1_pd(c + i0));
    return {gr, _mm_xor_pd(gi, realSign())};
  }
  static void transpose(Reg*) noexcept {}
  static Reg reverse(Reg x) noexcept { return x; }
  static Reg keepFirst(Reg original, Reg) noexcept { return original; }
};

}  // namespace

const Kernels& sse2Kernels() noexcept
{
  static constexpr Kernels kKernels = impl::Fft<Sse2Lanes>::table();
  return kKernels;
}

}  // namespace fft4g

#endif
