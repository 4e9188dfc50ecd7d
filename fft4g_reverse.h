#pragma once

// Internal to the FFT package: the bit-reversal permutation. It only moves
// values (and negates the imaginary parts when asked), so it is exact on every
// code path. Internal linkage: each including file has its own copy, compiled
// for that file's instruction set.

#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fft4g
{
namespace
{

// Swaps the elements of E doubles at p and q; Conj also negates the second
// double of both (complex conjugate).
template <int E, bool Conj>
inline void swapElements(double* p, double* q) noexcept
{
#if defined(__SSE2__)
  if constexpr (E == 2)
  {
    const __m128d flip = Conj ? _mm_set_pd(-0.0, 0.0) : _mm_setzero_pd();
    const __m128d x = _mm_loadu_pd(p);
    const __m128d y = _mm_loadu_pd(q);
    _mm_storeu_pd(p, _mm_xor_pd(y, flip));
    _mm_storeu_pd(q, _mm_xor_pd(x, flip));
    return;
  }
#endif
  for (int e = 0; e < E; ++e) std::swap(p[e], q[e]);
  if constexpr (Conj)
  {
    p[1] = -p[1];
    q[1] = -q[1];
  }
}

// Swaps element j with element rev(j) for all 2^m elements of E doubles each,
// rev reversing the m-bit index. The index is split hi | mid | lo, hi and lo of
// h bits, so the scratch table holds only 2^h <= sqrt(2^m / 2) reversed values.
// Writing lo = rev(y) and hi = x, the partner of (x, mid, rev(y)) is
// (y, rev(mid), rev(x)); visiting only x < y (and x = y for the middle bits)
// walks every pair once without a comparison per element.
// Conj also negates the second double of every element (complex conjugate).
template <int E, bool Conj>
void reverseBits(int m, double* a, int* table) noexcept
{
  if (m < 1)
  {
    if constexpr (Conj) a[1] = -a[1];
    return;
  }
  const int h = (m - 1) / 2;
  const int midBits = m - 2 * h;  // 1 or 2
  const int hiShift = m - h;
  table[0] = 0;
  for (int b = 0; b < h; ++b)
    for (int x = 0; x < (1 << b); ++x) table[x + (1 << b)] = table[x] | (1 << (h - 1 - b));
  const int count = 1 << h;
  const int mids = 1 << midBits;
  // Offsets of the middle bits and of their reversal.
  int midOffset[4], revMidOffset[4];
  for (int mid = 0; mid < mids; ++mid)
  {
    const int rmid = midBits == 1 ? mid : ((mid & 1) << 1) | (mid >> 1);
    midOffset[mid] = E * (mid << h);
    revMidOffset[mid] = E * (rmid << h);
  }
  // The middle bits vary fastest. Partners of consecutive y lie 2^hiShift
  // elements apart, so every second or fourth one shares its low 12 address
  // bits with a just-stored one, and the load stalls on that false dependency;
  // the middle-bit swaps in between give the earlier stores time to drain
  // (twice as fast at the engine's lengths).
  for (int x = 0; x < count; ++x)
  {
    const int revX = table[x];
    for (int y = x + 1; y < count; ++y)
    {
      double* p = a + E * ((x << hiShift) | table[y]);
      double* q = a + E * ((y << hiShift) | revX);
      for (int mid = 0; mid < mids; ++mid) swapElements<E, Conj>(p + midOffset[mid], q + revMidOffset[mid]);
    }
    // x = y: the element is its own partner when the middle bits are too.
    double* p = a + E * ((x << hiShift) | revX);
    for (int mid = 0; mid < mids; ++mid)
    {
      if (midOffset[mid] < revMidOffset[mid])
        swapElements<E, Conj>(p + midOffset[mid], p + revMidOffset[mid]);
      else if (midOffset[mid] == revMidOffset[mid] && Conj)
        p[midOffset[mid] + 1] = -p[midOffset[mid] + 1];
    }
  }
}

}  // namespace
}  // namespace fft4g
