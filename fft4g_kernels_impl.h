#pragma once

// The complex FFT and the real-transform steps, written once over a "lanes"
// type that says how many complex values one register holds (V) and supplies
// the register operations. Each code path instantiates this template with its
// own lanes type in a translation unit compiled for its instruction set.
//
// Bit-identical results on every path follow from three rules kept here:
//  - every output value is computed by the same sequence of IEEE operations on
//    the same operands, whatever V is: lanes are independent butterflies, and
//    wider registers only run more of them at once;
//  - twiddles are exact table values (quadrant folding only swaps and negates),
//    fetched in whatever way suits the path;
//  - a lanes type implements each operation with the same roundings as the
//    scalar one (x*c - y*s is the same as x*c + y*(-s), sums are commutative).
//
// Algorithm (decimation in time, radix 4, as fixed by the shared operation
// order): the input is read in bit-reversed order, a radix-2 pass runs first
// when log2 of the point count is odd, then radix-4 passes whose butterfly of
// span s at offset k multiplies its quarter blocks 1, 2, 3 by W^(2k), W^k,
// W^(3k) (W = e^(+-2 pi i/s)), except at k = 0 where nothing is multiplied.
//
// Layout of the work. With one value per register: the bit reversal on its
// own, then the passes, those up to 1024 points block by block (blockedComplex).
// With wider registers, from 256 points on: the bit reversal and the passes
// over the low index bits together on 16 x 16 tiles (tilePasses), then the
// remaining passes with offsets in the lanes (widePasses); shorter transforms
// go to the one-value path.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <utility>

#include "fft4g_kernels.h"
#include "fft4g_reverse.h"

// The including file's instruction set: a file for a wider set defines these
// as a target pragma, which then covers only this file's own code. Standard
// library code is included above, outside it, and everything below has
// internal linkage, so that no function compiled for a wider set can be
// shared with (and picked by the linker for) a narrower path.
#ifndef TESK_FFT_TARGET_BEGIN
#define TESK_FFT_TARGET_BEGIN
#define TESK_FFT_TARGET_END
#endif

// Forces the small helpers of the hot loops inline, so that a twiddle fetch's
// stride and quadrant are known where it is used.
#if defined(__GNUC__)
#define TESK_FFT_INLINE inline __attribute__((always_inline))
#else
#define TESK_FFT_INLINE inline
#endif

// Fully unrolls a loop over registers, so that they stay registers (-O2 leaves
// such loops rolled, and the arrays in memory).
#if defined(__clang__)
#define TESK_FFT_UNROLL _Pragma("clang loop unroll(full)")
#elif defined(__GNUC__)
#define TESK_FFT_UNROLL _Pragma("GCC unroll 16")
#else
#define TESK_FFT_UNROLL
#endif

TESK_FFT_TARGET_BEGIN

namespace fft4g
{
namespace
{
namespace impl
{

inline int log2Of(int n) noexcept { return std::countr_zero(static_cast<unsigned>(n)); }

// Reverses the low `bits` bits of x.
inline int reverseBitsOf(int x, int bits) noexcept
{
  int r = 0;
  for (int b = 0; b < bits; ++b) r |= ((x >> b) & 1) << (bits - 1 - b);
  return r;
}

constexpr int kReverse4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};

// The cosine/sine table with its quadrant geometry.
struct Roots
{
  explicit Roots(RootTable t) noexcept
    : w(t.w),
      points(t.points),
      shift(log2Of(std::max(t.points / 4, 1))),
      mask(t.points / 4 - 1)
  {
  }
  const double* w;
  int points;
  int shift;  // log2 of a quadrant's size
  int mask;   // quadrant size - 1
};

// e^(2 pi i idx / points) for idx < points from the first-quadrant table: the
// quadrant number rotates the tabulated value by quarter turns (exactly).
inline void rootOfUnity(const Roots& t, int idx, double& re, double& im) noexcept
{
  const int r = idx & t.mask;
  const double c = t.w[2 * r];
  const double s = t.w[2 * r + 1];
  switch (idx >> t.shift)
  {
    case 0: re = c, im = s; break;
    case 1: re = -s, im = c; break;
    case 2: re = -c, im = -s; break;
    default: re = s, im = -c; break;
  }
}

// ---- One complex value per register, plain C++ -------------------------------
// The reference every other lanes type must match operation for operation; the
// vector types also use it for the odd values at the ends of a range.
struct ScalarLanes
{
  static constexpr int V = 1;
  struct Reg
  {
    double re;
    double im;
  };
  // A twiddle as multiplied (already conjugated for backward transforms).
  struct Twiddle
  {
    double re;
    double im;
  };

  static Reg load(const double* p) noexcept { return {p[0], p[1]}; }
  static void store(double* p, Reg x) noexcept
  {
    p[0] = x.re;
    p[1] = x.im;
  }
  static Reg add(Reg x, Reg y) noexcept { return {x.re + y.re, x.im + y.im}; }
  static Reg sub(Reg x, Reg y) noexcept { return {x.re - y.re, x.im - y.im}; }
  static Reg conj(Reg x) noexcept { return {x.re, -x.im}; }
  // x times +i (forward) or -i (backward).
  template <bool Backward>
  static Reg timesJ(Reg x) noexcept
  {
    return Backward ? Reg{x.im, -x.re} : Reg{-x.im, x.re};
  }
  static Reg mul(Reg x, const Twiddle& w) noexcept { return {x.re * w.re - x.im * w.im, x.re * w.im + x.im * w.re}; }

  template <bool Backward>
  static Twiddle twiddle(double re, double im) noexcept
  {
    return {re, Backward ? -im : im};
  }
  template <bool Backward>
  static Twiddle rootTwiddles(const Roots& t, int idx0, int) noexcept
  {
    double re, im;
    rootOfUnity(t, idx0, re, im);
    return twiddle<Backward>(re, im);
  }
  // The table entry at p turned by Quadrant quarter turns (the V entries
  // p, p + 2 step, ... on wider lanes; Step is step when known at compile time).
  template <bool Backward, int Quadrant, int Step>
  static Twiddle turnedRoots(const double* p, int = Step) noexcept
  {
    const double c = p[0], s = p[1];
    switch (Quadrant)
    {
      case 0: return twiddle<Backward>(c, s);
      case 1: return twiddle<Backward>(-s, c);
      case 2: return twiddle<Backward>(-c, -s);
      default: return twiddle<Backward>(s, -c);
    }
  }
  // The real-transform factor G = (1 - sin theta)/2 + i cos(theta)/2 with
  // cos theta = c[i], sin theta = c[nc - i].
  static Twiddle realTwiddles(const double* c, int nc, int i0, int) noexcept
  {
    return {0.5 - 0.5 * c[nc - i0], 0.5 * c[i0]};
  }
  static Twiddle splat(const Twiddle& w) noexcept { return w; }
  static void transpose(Reg*) noexcept {}
  static Reg reverse(Reg x) noexcept { return x; }
  static Reg keepFirst(Reg original, Reg) noexcept { return original; }
};

template <class L>
struct Fft
{
  using R = typename L::Reg;
  using Tw = typename L::Twiddle;
  static constexpr int V = L::V;

  // ---- Butterflies -------------------------------------------------------------

  // Radix-4 butterfly on the quarter blocks' values, already multiplied by their
  // twiddles: f0 (block 0), t2 (block 1), t1 (block 2), t3 (block 3), which hold
  // the transforms of the samples r = 0, 2, 1, 3 of the bit-reversed layout.
  template <bool Backward>
  TESK_FFT_INLINE static void radix4(R& f0, R& t2, R& t1, R& t3) noexcept
  {
    const R u0 = L::add(f0, t2);
    const R u1 = L::sub(f0, t2);
    const R u2 = L::add(t1, t3);
    const R u3 = L::template timesJ<Backward>(L::sub(t1, t3));
    f0 = L::add(u0, u2);
    t2 = L::add(u1, u3);
    t1 = L::sub(u0, u2);
    t3 = L::sub(u1, u3);
  }

  TESK_FFT_INLINE static void radix2(R& x0, R& x1) noexcept
  {
    const R s = L::add(x0, x1);
    x1 = L::sub(x0, x1);
    x0 = s;
  }

  // Twiddles of the radix-4 butterflies at offsets k0 .. k0+V-1 of span s.
  struct Radix4Twiddles
  {
    Tw w1, w2, w3;
  };
  template <bool Backward>
  TESK_FFT_INLINE static Radix4Twiddles radix4Twiddles(const Roots& t, int span, int k0) noexcept
  {
    const int stride = t.points / span;
    return {L::template turnedRoots<Backward, 0, 0>(t.w + 2 * k0 * stride, stride),  // k0 stride < Nt/4
            L::template rootTwiddles<Backward>(t, 2 * k0 * stride, 2 * stride),
            L::template rootTwiddles<Backward>(t, 3 * k0 * stride, 3 * stride)};
  }

  // One butterfly, in place on four registers. First: the lanes start at k = 0,
  // whose lane is not multiplied.
  template <bool Backward, bool First>
  TESK_FFT_INLINE static void twiddledRadix4(R& x0, R& x1, R& x2, R& x3, const Radix4Twiddles& w) noexcept
  {
    R t2, t1, t3;
    if constexpr (First && V == 1)
    {
      t2 = x1, t1 = x2, t3 = x3;
    }
    else
    {
      t2 = L::mul(x1, w.w2);
      t1 = L::mul(x2, w.w1);
      t3 = L::mul(x3, w.w3);
      if constexpr (First)
      {
        t2 = L::keepFirst(x1, t2);
        t1 = L::keepFirst(x2, t1);
        t3 = L::keepFirst(x3, t3);
      }
    }
    radix4<Backward>(x0, t2, t1, t3);
    x1 = t2, x2 = t1, x3 = t3;
  }

  // ---- Radix-4 passes over the array -----------------------------------------

  // One butterfly of span s at offsets k0.. of the group starting at p.
  template <bool Backward, bool First>
  TESK_FFT_INLINE static void radix4At(double* p, int q2, const Radix4Twiddles& w) noexcept
  {
    R x0 = L::load(p), x1 = L::load(p + q2), x2 = L::load(p + 2 * q2), x3 = L::load(p + 3 * q2);
    twiddledRadix4<Backward, First>(x0, x1, x2, x3, w);
    L::store(p, x0);
    L::store(p + q2, x1);
    L::store(p + 2 * q2, x2);
    L::store(p + 3 * q2, x3);
  }

  // A pass with a single group (the last one, or the largest of a block). Its
  // twiddles are not reused, so they are fetched with the table stride
  // (Stride, or `stride` when Stride is 0) and the quarter turns fixed at
  // compile time: w1 stays in the first quadrant, w2 = W^2k and w3 = W^3k pass
  // into the next ones, and an offset vector straddling a quadrant edge takes
  // the general fetch.
  template <bool Backward, int Stride, int Q2, int Q3>
  TESK_FFT_INLINE static void singleGroupAt(double* p, int q2, const Roots& t, int k0, int stride) noexcept
  {
    const Radix4Twiddles w{
      L::template turnedRoots<Backward, 0, Stride>(t.w + 2 * (k0 * stride), stride),
      L::template turnedRoots<Backward, Q2, 2 * Stride>(t.w + 2 * ((2 * k0 * stride) & t.mask), 2 * stride),
      L::template turnedRoots<Backward, Q3, 3 * Stride>(t.w + 2 * ((3 * k0 * stride) & t.mask), 3 * stride)};
    radix4At<Backward, false>(p, q2, w);
  }

  template <bool Backward, int Stride>
  static void singleGroupPass(double* a, int points, const Roots& t) noexcept
  {
    const int stride = Stride != 0 ? Stride : t.points / points;
    const int quarter = points / 4;
    const int q2 = points / 2;
    radix4At<Backward, true>(a, q2, radix4Twiddles<Backward>(t, points, 0));
    for (int k0 = V; k0 < quarter; k0 += V)
    {
      double* p = a + 2 * k0;
      const int k1 = k0 + V - 1;
      const int q2First = (2 * k0 * stride) >> t.shift, q3First = (3 * k0 * stride) >> t.shift;
      const bool uniform = q2First == (2 * k1 * stride) >> t.shift && q3First == (3 * k1 * stride) >> t.shift;
      switch (uniform ? q2First * 4 + q3First : -1)
      {
        case 0: singleGroupAt<Backward, Stride, 0, 0>(p, q2, t, k0, stride); break;
        case 1: singleGroupAt<Backward, Stride, 0, 1>(p, q2, t, k0, stride); break;
        case 5: singleGroupAt<Backward, Stride, 1, 1>(p, q2, t, k0, stride); break;
        case 6: singleGroupAt<Backward, Stride, 1, 2>(p, q2, t, k0, stride); break;
        default: radix4At<Backward, false>(p, q2, radix4Twiddles<Backward>(t, points, k0)); break;
      }
    }
  }

  // Offset vectors v0 .. v0+K-1 of every group. The twiddles are fetched once
  // and reused for every group (K is a constant, so that they can stay in
  // registers); within a group the offsets run innermost. Groups lie s values
  // apart, often a multiple of 4 KiB, and a load waits for any recent store to
  // the same low 12 address bits: walking the groups innermost would stall
  // every load, and K = 4 puts three butterflies between a group's stores and
  // the next group's loads at the same offset.
  template <bool Backward, int K, bool First>
  TESK_FFT_INLINE static void offsetBlock(double* a, int points, int span, int v0, const Roots& t) noexcept
  {
    const int q2 = span / 2;
    Radix4Twiddles w[K];
    TESK_FFT_UNROLL
    for (int j = 0; j < K; ++j) w[j] = radix4Twiddles<Backward>(t, span, (v0 + j) * V);
    for (int base = 0; base < points; base += span)
    {
      double* p = a + 2 * (base + v0 * V);
      radix4At<Backward, First>(p, q2, w[0]);
      TESK_FFT_UNROLL
      for (int j = 1; j < K; ++j) radix4At<Backward, false>(p + 2 * V * j, q2, w[j]);
    }
  }

  // The pass of span s over points values; s/4 must be a multiple of V.
  template <bool Backward>
  static void radix4Pass(double* a, int points, int span, const Roots& t) noexcept
  {
    if (span == points)
    {
      if (t.points == points) return singleGroupPass<Backward, 1>(a, points, t);
      if (t.points == 2 * points) return singleGroupPass<Backward, 2>(a, points, t);
      return singleGroupPass<Backward, 0>(a, points, t);
    }
    constexpr int K = 4;
    const int vectors = span / 4 / V;
    if (vectors % K != 0)
    {
      offsetBlock<Backward, 1, true>(a, points, span, 0, t);
      for (int v0 = 1; v0 < vectors; ++v0) offsetBlock<Backward, 1, false>(a, points, span, v0, t);
      return;
    }
    offsetBlock<Backward, K, true>(a, points, span, 0, t);
    for (int v0 = K; v0 < vectors; v0 += K) offsetBlock<Backward, K, false>(a, points, span, v0, t);
  }

  // Radix-4 passes from firstSpan up to the whole array.
  template <bool Backward>
  static void radix4Passes(double* a, int points, int firstSpan, const Roots& t) noexcept
  {
    for (int span = firstSpan; span <= points; span *= 4) radix4Pass<Backward>(a, points, span, t);
  }

  // ---- Bit reversal with the low passes, on tiles ------------------------------
  // With m index bits split as hi (4) | mid (m-8) | lo (4), reversal maps
  // (hi, mid, lo) to (rev lo, rev mid, rev hi). Read as 16 x 16 tiles (rows hi,
  // columns lo, one tile per mid), row hi of the reordered tile `mid` is column
  // rev(hi) of the original tile rev(mid), top to bottom in reversed row order.
  // The passes over the low four (odd m: three) index bits work inside such a
  // row, so they run right after the reading: V adjacent columns, one per lane,
  // are read with plain vector loads, and a V x V transpose per V outputs
  // writes them back as rows. Tiles mid and rev(mid) feed each other, so one of
  // them is saved before the other is overwritten.

  // The twiddles of the low passes, the same in every lane: W^e for the
  // exponents e = jk (j = 1, 2, 3; k = 1 .. span/4 - 1) that the butterflies
  // use, each once (W^2k of k = 1 is the same table entry as W^k of k = 2).
  static constexpr int kLowExponents[6] = {1, 2, 3, 4, 6, 9};
  static constexpr int lowSlot(int e) noexcept
  {
    int slot = 0;
    while (kLowExponents[slot] != e) ++slot;
    return slot;
  }
  struct LowTwiddles
  {
    Tw w[6];
  };

  template <bool Backward>
  static LowTwiddles lowTwiddles(const Roots& t, bool oddBits) noexcept
  {
    LowTwiddles lt{};
    const int stride = t.points / (oddBits ? 8 : 16);
    for (int slot = 0; slot < (oddBits ? 3 : 6); ++slot)
    {
      double re, im;
      rootOfUnity(t, kLowExponents[slot] * stride, re, im);
      lt.w[slot] = L::splat(ScalarLanes::twiddle<Backward>(re, im));
    }
    return lt;
  }

  template <bool Backward, int K>
  TESK_FFT_INLINE static void butterflyWith(R& x0, R& x1, R& x2, R& x3, const LowTwiddles& lt) noexcept
  {
    R t2 = L::mul(x1, lt.w[lowSlot(2 * K)]), t1 = L::mul(x2, lt.w[lowSlot(K)]), t3 = L::mul(x3, lt.w[lowSlot(3 * K)]);
    radix4<Backward>(x0, t2, t1, t3);
    x1 = t2, x2 = t1, x3 = t3;
  }

  template <bool Backward>
  TESK_FFT_INLINE static void lowPasses(R* x, const LowTwiddles& lt, bool oddBits) noexcept
  {
    if (oddBits)
    {
      TESK_FFT_UNROLL
      for (int i = 0; i < 16; i += 2) radix2(x[i], x[i + 1]);
      TESK_FFT_UNROLL
      for (int b = 0; b < 16; b += 8)
      {
        radix4<Backward>(x[b], x[b + 2], x[b + 4], x[b + 6]);
        butterflyWith<Backward, 1>(x[b + 1], x[b + 3], x[b + 5], x[b + 7], lt);
      }
      return;
    }
    TESK_FFT_UNROLL
    for (int g = 0; g < 16; g += 4) radix4<Backward>(x[g], x[g + 1], x[g + 2], x[g + 3]);
    radix4<Backward>(x[0], x[4], x[8], x[12]);
    butterflyWith<Backward, 1>(x[1], x[5], x[9], x[13], lt);
    butterflyWith<Backward, 2>(x[2], x[6], x[10], x[14], lt);
    butterflyWith<Backward, 3>(x[3], x[7], x[11], x[15], lt);
  }

  // Rows of the reordered tile from the columns of src (row stride srcRow
  // doubles), written to dst (row stride dstRow). Narrow lanes run several
  // column groups at once, so that every line read is read whole: at 8192
  // points the sixteen rows share a cache set and evict one another.
  template <bool Backward, bool Conj>
  static void tileRows(const double* src, std::ptrdiff_t srcRow, double* dst, std::ptrdiff_t dstRow,
                       const LowTwiddles& lt, bool oddBits) noexcept
  {
    constexpr int kGroups = V >= 4 ? 1 : 4 / V;  // column groups per 64-byte line
    for (int c0 = 0; c0 < 16; c0 += V * kGroups)
    {
      R x[kGroups][16];
      TESK_FFT_UNROLL
      for (int l = 0; l < 16; ++l)
      {
        TESK_FFT_UNROLL
        for (int g = 0; g < kGroups; ++g)
        {
          x[g][l] = L::load(src + srcRow * kReverse4[l] + 2 * (c0 + g * V));
          if constexpr (Conj) x[g][l] = L::conj(x[g][l]);
        }
      }
      TESK_FFT_UNROLL
      for (int g = 0; g < kGroups; ++g)
      {
        lowPasses<Backward>(x[g], lt, oddBits);
        TESK_FFT_UNROLL
        for (int l0 = 0; l0 < 16; l0 += V)
        {
          L::transpose(x[g] + l0);
          TESK_FFT_UNROLL
          for (int lane = 0; lane < V; ++lane)
            L::store(dst + dstRow * kReverse4[c0 + g * V + lane] + 2 * l0, x[g][l0 + lane]);
        }
      }
    }
  }

  // The saved tile takes 4 KiB of stack.
  template <bool Backward, bool Conj>
  static void tilePasses(int m, double* a, const Roots& t) noexcept
  {
    const bool oddBits = m & 1;
    const LowTwiddles lt = lowTwiddles<Backward>(t, oddBits);
    const int midBits = m - 8;
    const std::ptrdiff_t row = std::ptrdiff_t{2} << (m - 4);
    alignas(64) double saved[2 * 256];
    for (int mid = 0; mid < (1 << midBits); ++mid)
    {
      const int revMid = reverseBitsOf(mid, midBits);
      if (revMid < mid) continue;
      double* tile = a + 2 * (mid << 4);
      double* partner = a + 2 * (revMid << 4);
      for (int r = 0; r < 16; ++r)
      {
        TESK_FFT_UNROLL
        for (int c = 0; c < 16; c += V) L::store(saved + 32 * r + 2 * c, L::load(tile + r * row + 2 * c));
      }
      if (revMid != mid) tileRows<Backward, Conj>(partner, row, tile, row, lt, oddBits);
      tileRows<Backward, Conj>(saved, 32, partner, row, lt, oddBits);
    }
  }

  // ---- One value per register, and small transforms ---------------------------
  // The bit reversal on its own, then the passes; those up to a block of
  // kCacheBlockPoints run block by block while the block stays in the
  // first-level cache. (With one value per register the tiles' column reads
  // would fetch every line four times.)

  static constexpr int kCacheBlockPoints = 1024;  // 16 KiB of complex doubles
  static constexpr int kFirstLevelPoints = 2048;  // 32 KiB, the first-level data cache

  // The radix-2 or twiddle-free radix-4 first pass over points values, one
  // value per register.
  template <bool Backward, bool OddBits>
  static void firstPass(double* a, int points) noexcept
  {
    static_assert(V == 1);
    if constexpr (OddBits)
    {
      for (double* p = a; p < a + 2 * points; p += 4)
      {
        R x0 = L::load(p), x1 = L::load(p + 2);
        radix2(x0, x1);
        L::store(p, x0);
        L::store(p + 2, x1);
      }
    }
    else
    {
      for (double* p = a; p < a + 2 * points; p += 8)
      {
        R x0 = L::load(p), x1 = L::load(p + 2), x2 = L::load(p + 4), x3 = L::load(p + 6);
        radix4<Backward>(x0, x1, x2, x3);
        L::store(p, x0);
        L::store(p + 2, x1);
        L::store(p + 4, x2);
        L::store(p + 6, x3);
      }
    }
  }

  template <bool Backward, bool Conj>
  static void blockedComplex(int m, double* a, int* scratch, const Roots& t) noexcept
  {
    const int points = 1 << m;
    reverseBits<2, Conj>(m, a, scratch);
    const bool oddBits = m & 1;
    const int firstSpan = oddBits ? 8 : 16;
    const int block = std::min(points, kCacheBlockPoints);
    for (int b = 0; b < points; b += block)
    {
      if (oddBits)
        firstPass<Backward, true>(a + 2 * b, block);
      else
        firstPass<Backward, false>(a + 2 * b, block);
      for (int span = firstSpan; span <= block; span *= 4) radix4Pass<Backward>(a + 2 * b, block, span, t);
    }
    int span = firstSpan;
    while (span <= block) span *= 4;
    for (; span <= points; span *= 4) radix4Pass<Backward>(a, points, span, t);
  }

  // ---- Complex FFT -----------------------------------------------------------------

  template <bool Backward, bool Conj>
  static void complexFft(int n, double* a, int* scratch, RootTable table) noexcept
  {
    const Roots t(table);
    const int points = n / 2;
    const int m = log2Of(points);
    if constexpr (V == 1)
    {
      blockedComplex<Backward, Conj>(m, a, scratch, t);
    }
    else if (m < 8)
    {
      L::template smallComplex<Backward, Conj>(n, a, scratch, table);
    }
    else
    {
      tilePasses<Backward, Conj>(m, a, t);
      widePasses<Backward>(a, points, (m & 1) ? 32 : 64, t);
    }
  }

  // The radix-4 passes after the tiles. Arrays larger than the first-level
  // cache run the passes up to kCacheBlockPoints block by block, then the wider
  // ones over the whole array.
  template <bool Backward>
  static void widePasses(double* a, int points, int firstSpan, const Roots& t) noexcept
  {
    if (points <= kFirstLevelPoints)
    {
      radix4Passes<Backward>(a, points, firstSpan, t);
      return;
    }
    for (int b = 0; b < points; b += kCacheBlockPoints)
      for (int span = firstSpan; span <= kCacheBlockPoints; span *= 4)
        radix4Pass<Backward>(a + 2 * b, kCacheBlockPoints, span, t);
    int span = firstSpan;
    while (span <= kCacheBlockPoints) span *= 4;
    for (; span <= points; span *= 4) radix4Pass<Backward>(a, points, span, t);
  }

  static void complexForward(int n, double* a, int* scratch, RootTable t) noexcept
  {
    complexFft<false, false>(n, a, scratch, t);
  }
  static void complexBackward(int n, double* a, int* scratch, RootTable t) noexcept
  {
    complexFft<true, false>(n, a, scratch, t);
  }
  static void complexConjugateBackward(int n, double* a, int* scratch, RootTable t) noexcept
  {
    complexFft<true, true>(n, a, scratch, t);
  }

  // ---- Real-transform steps ----------------------------------------------------
  // The n real values are read as N = n/2 complex values z[q] = a[2q] + i a[2q+1]
  // with transform Z. The spectra of the even and odd samples are
  // E[k] = (Z[k] + conj Z[N-k]) / 2 and O[k] = (Z[k] - conj Z[N-k]) / 2i, and
  // X[k] = E[k] + W^k O[k], W = e^(2 pi i/n). Per pair (k, N-k), with
  // D = Z[k] - conj Z[N-k] and G = (1 + i W^k) / 2:
  //   X[k] = Z[k] - D G,   X[N-k] = Z[N-k] + conj(D G).
  // The pair is processed V at a time: lanes k.. ascending, and the partners
  // N-k.. read as one block and reversed.

  template <class P>
  static void forwardPair(double* x, double* y, const typename P::Twiddle& g) noexcept
  {
    const typename P::Reg vx = P::load(x), vy = P::reverse(P::load(y));
    const typename P::Reg dg = P::mul(P::sub(vx, P::conj(vy)), g);
    P::store(x, P::sub(vx, dg));
    P::store(y, P::reverse(P::add(vy, P::conj(dg))));
  }

  // The inverse, Z[k] = X[k] - D' conj(G) with D' = X[k] - conj X[N-k], is the
  // forward step applied to conj X, which leaves conj Z.
  template <class P>
  static void backwardPair(double* x, double* y, const typename P::Twiddle& g) noexcept
  {
    const typename P::Reg cx = P::conj(P::load(x)), vy = P::reverse(P::load(y));
    const typename P::Reg dg = P::mul(P::sub(cx, vy), g);
    P::store(x, P::sub(cx, dg));
    P::store(y, P::reverse(P::conj(P::add(vy, dg))));
  }

  template <bool Forward>
  static void realStep(int n, double* a, CosineTable ct) noexcept
  {
    const int points = n / 2;
    const int stride = 4 * ct.nc / n;
    int k = 1;
    for (; k + V <= points / 2; k += V)
    {
      const Tw g = L::realTwiddles(ct.c, ct.nc, k * stride, stride);
      double* x = a + 2 * k;
      double* y = a + 2 * (points - k - (V - 1));
      if constexpr (Forward)
        forwardPair<L>(x, y, g);
      else
        backwardPair<L>(x, y, g);
    }
    for (; k < points / 2; ++k)
    {
      const ScalarLanes::Twiddle g = ScalarLanes::realTwiddles(ct.c, ct.nc, k * stride, stride);
      if constexpr (Forward)
        forwardPair<ScalarLanes>(a + 2 * k, a + 2 * (points - k), g);
      else
        backwardPair<ScalarLanes>(a + 2 * k, a + 2 * (points - k), g);
    }
  }

  static void realForwardStep(int n, double* a, CosineTable ct) noexcept
  {
    realStep<true>(n, a, ct);
    const double z0r = a[0], z0i = a[1];
    a[0] = z0r + z0i;
    a[1] = z0r - z0i;
  }

  static void realBackwardStep(int n, double* a, CosineTable ct) noexcept
  {
    const int points = n / 2;
    realStep<false>(n, a, ct);
    if (points >= 2) a[points + 1] = -a[points + 1];  // bin N/2 maps onto itself
    const double x0 = a[0], xn = a[1];
    a[0] = 0.5 * (x0 + xn);
    a[1] = -0.5 * (x0 - xn);
  }

  static constexpr Kernels table() noexcept
  {
    return {complexForward, complexBackward, complexConjugateBackward, realForwardStep, realBackwardStep};
  }
};

}  // namespace impl
}  // namespace
}  // namespace fft4g

TESK_FFT_TARGET_END
