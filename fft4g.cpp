#include "fft4g.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Layout of the tables in w (sizes in doubles):
//   w[0 .. nw-1]       cosine/sine table: pairs (cos, sin) of 2 pi i / Nt for
//                      i < Nt/4, with Nt = 2 nw. It covers the first quadrant of
//                      the Nt-th roots of unity; complex FFTs of up to Nt points
//                      read it with a stride and fold the other quadrants.
//   w[nw .. nw+nc-1]   cosine table: cos(pi j / (2 nc)) for j < nc, a quarter
//                      wave; sines come from the mirrored index. Real transforms
//                      of up to 4 nc points and cosine transforms of up to nc
//                      points read it with a stride.
// Angles are formed as (2 pi / Nt) * i, so a table built for a larger length
// holds bit-identical values at the indices a smaller length reads.

namespace
{

constexpr double kPi = 3.14159265358979323846;

bool isPowerOfTwo(int n) noexcept { return n > 0 && (n & (n - 1)) == 0; }

int log2Of(int n) noexcept { return std::countr_zero(static_cast<unsigned>(n)); }

struct Cx
{
  double re;
  double im;
};

inline Cx mul(Cx x, Cx y) noexcept { return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re}; }

// e^(2 pi i idx / Nt) for idx < Nt, from the first-quadrant table: the quadrant
// number rotates the tabulated value by quarter turns.
inline Cx rootOfUnity(const double* w, int idx, int quarterShift, int quarterMask) noexcept
{
  const int r = idx & quarterMask;
  const double c = w[2 * r];
  const double s = w[2 * r + 1];
  switch (idx >> quarterShift)
  {
    case 0: return {c, s};
    case 1: return {-s, c};
    case 2: return {-c, -s};
    default: return {s, -c};
  }
}

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

// Moves even-indexed values to the first half and odd-indexed ones to the
// second half, keeping their order: the pair-index reversal followed by the full
// reversal rotates every index right by one bit.
void unshuffle(int n, double* a, int* scratch) noexcept
{
  const int m = log2Of(n);
  reverseBits<2, false>(m - 1, a, scratch);
  reverseBits<1, false>(m, a, scratch);
}

// Inverse of unshuffle.
void shuffle(int n, double* a, int* scratch) noexcept
{
  const int m = log2Of(n);
  reverseBits<1, false>(m, a, scratch);
  reverseBits<2, false>(m - 1, a, scratch);
}

// Reverses the order of the odd-indexed values: a[2p+1] <-> a[n-1-2p].
void reverseOdd(int n, double* a) noexcept
{
  for (int lo = 1, hi = n - 1; lo < hi; lo += 2, hi -= 2) std::swap(a[lo], a[hi]);
}

// Reverses a[first..last].
void reverseRange(double* a, int first, int last) noexcept
{
  for (; first < last; ++first, --last) std::swap(a[first], a[last]);
}

#if defined(__SSE2__)
// One complex double per register: real part in the low lane, imaginary in the
// high lane. The butterflies are the engine's hottest loops, and a complex value
// per register roughly halves their instruction count without any data reordering.

inline __m128d load(const double* p) noexcept { return _mm_loadu_pd(p); }
inline void store(double* p, __m128d x) noexcept { _mm_storeu_pd(p, x); }
inline __m128d swapHalves(__m128d x) noexcept { return _mm_shuffle_pd(x, x, 1); }

// Sign masks for flipping the real (low) or imaginary (high) lane.
inline __m128d realSign() noexcept { return _mm_set_pd(0.0, -0.0); }
inline __m128d imagSign() noexcept { return _mm_set_pd(-0.0, 0.0); }

// A twiddle prepared for multiplication: (re, re) and (-im, im), so that
// w * x = x * (re, re) + swap(x) * (-im, im) needs no horizontal operation.
struct Twiddle
{
  __m128d re;
  __m128d im;
};

inline Twiddle prepare(Cx w) noexcept { return {_mm_set1_pd(w.re), _mm_set_pd(w.im, -w.im)}; }

inline __m128d mul(__m128d x, const Twiddle& w) noexcept
{
  return _mm_add_pd(_mm_mul_pd(x, w.re), _mm_mul_pd(swapHalves(x), w.im));
}

// J d with J = +i (forward) or -i (backward).
template <bool Backward>
inline __m128d timesJ(__m128d d) noexcept
{
  return _mm_xor_pd(swapHalves(d), Backward ? imagSign() : realSign());
}

// The complex value v prepared for multiplication, conjugated when Backward.
template <bool Backward>
inline Twiddle prepareVector(__m128d v) noexcept
{
  return {_mm_unpacklo_pd(v, v), _mm_xor_pd(_mm_unpackhi_pd(v, v), Backward ? imagSign() : realSign())};
}

// rootOfUnity prepared for multiplication, conjugated when Backward; built
// from one vector load, as the widest passes fetch three twiddles per butterfly.
template <bool Backward>
inline Twiddle preparedRoot(const double* w, int idx, int quarterShift, int quarterMask) noexcept
{
  const __m128d cs = load(w + 2 * (idx & quarterMask));
  switch (idx >> quarterShift)
  {
    case 0: return prepareVector<Backward>(cs);
    case 1: return prepareVector<Backward>(timesJ<false>(cs));
    case 2: return prepareVector<Backward>(_mm_xor_pd(cs, _mm_set1_pd(-0.0)));
    default: return prepareVector<Backward>(timesJ<true>(cs));
  }
}

// Radix-4 butterfly on four complex values already multiplied by their
// twiddles, passed as the quarter blocks hold them: the transforms of samples
// r = 0, 2, 1, 3.
template <bool Backward>
inline void radix4(double* p0, double* p1, double* p2, double* p3, __m128d f0, __m128d t2, __m128d t1,
                   __m128d t3) noexcept
{
  const __m128d u0 = _mm_add_pd(f0, t2);
  const __m128d u1 = _mm_sub_pd(f0, t2);
  const __m128d u2 = _mm_add_pd(t1, t3);
  const __m128d u3 = timesJ<Backward>(_mm_sub_pd(t1, t3));
  store(p0, _mm_add_pd(u0, u2));
  store(p1, _mm_add_pd(u1, u3));
  store(p2, _mm_sub_pd(u0, u2));
  store(p3, _mm_sub_pd(u1, u3));
}
#endif

}  // namespace

// ---- Tables -------------------------------------------------------------------

void FFTOoura::makewt(int nw, int* ip, double* w) const noexcept
{
  ip[0] = nw;
  ip[1] = 0;  // the cosine table behind this one has been displaced
  const double step = 2.0 * kPi / (2.0 * nw);
  for (int i = 0; i < nw / 2; ++i)
  {
    w[2 * i] = std::cos(step * i);
    w[2 * i + 1] = std::sin(step * i);
  }
}

void FFTOoura::makect(int nc, int* ip, double* c) const noexcept
{
  ip[1] = nc;
  const double step = 0.5 * kPi / nc;
  for (int j = 0; j < nc; ++j) c[j] = std::cos(step * j);
}

void FFTOoura::ensureTables(int nwNeeded, int ncNeeded, int* ip, double* w) const noexcept
{
  if (nwNeeded > ip[0]) makewt(nwNeeded, ip, w);
  if (ncNeeded > ip[1]) makect(ncNeeded, ip, w + ip[0]);
}

// ---- Complex FFT ----------------------------------------------------------------
// Decimation in time on bit-reversed input. A radix-2 first pass when log2 of
// the point count is odd, then radix-4 passes. Binary bit reversal places the
// sub-transforms of the samples 4j+r in the quarter blocks 0, 2, 1, 3 for
// r = 0, 1, 2, 3, which the butterfly reads accordingly.

void FFTOoura::bitrv2(int n, int* scratch, double* a) const noexcept
{
  reverseBits<2, false>(log2Of(n / 2), a, scratch);
}

void FFTOoura::bitrv2conj(int n, int* scratch, double* a) const noexcept
{
  reverseBits<2, true>(log2Of(n / 2), a, scratch);
}

// First pass over n doubles: radix 2 when the whole transform has an odd number
// of index bits, otherwise a radix-4 pass without twiddles.
template <bool Backward>
void FFTOoura::cft1st(int n, double* a, bool radix2) const noexcept
{
  if (radix2)
  {
#if defined(__SSE2__)
    for (int j = 0; j < n; j += 4)
    {
      const __m128d x0 = load(a + j), x1 = load(a + j + 2);
      store(a + j, _mm_add_pd(x0, x1));
      store(a + j + 2, _mm_sub_pd(x0, x1));
    }
#else
    for (int j = 0; j < n; j += 4)
    {
      const double xr = a[j + 2], xi = a[j + 3];
      a[j + 2] = a[j] - xr;
      a[j + 3] = a[j + 1] - xi;
      a[j] += xr;
      a[j + 1] += xi;
    }
#endif
    return;
  }
  // Quarter blocks hold the transforms of samples r = 0, 2, 1, 3.
#if defined(__SSE2__)
  for (int j = 0; j < n; j += 8)
    radix4<Backward>(a + j, a + j + 2, a + j + 4, a + j + 6, load(a + j), load(a + j + 2), load(a + j + 4),
                     load(a + j + 6));
#else
  for (int j = 0; j < n; j += 8)
  {
    const double f0r = a[j], f0i = a[j + 1], f2r = a[j + 2], f2i = a[j + 3];
    const double f1r = a[j + 4], f1i = a[j + 5], f3r = a[j + 6], f3i = a[j + 7];
    const double u0r = f0r + f2r, u0i = f0i + f2i, u1r = f0r - f2r, u1i = f0i - f2i;
    const double u2r = f1r + f3r, u2i = f1i + f3i, dr = f1r - f3r, di = f1i - f3i;
    // u3 = J (f1 - f3), J = +i forward, -i backward.
    const double u3r = Backward ? di : -di, u3i = Backward ? -dr : dr;
    a[j] = u0r + u2r;
    a[j + 1] = u0i + u2i;
    a[j + 2] = u1r + u3r;
    a[j + 3] = u1i + u3i;
    a[j + 4] = u0r - u2r;
    a[j + 5] = u0i - u2i;
    a[j + 6] = u1r - u3r;
    a[j + 7] = u1i - u3i;
  }
#endif
}

template <bool Backward>
void FFTOoura::cftmdl(int n, int span, double* a, const int* ip, const double* w) const noexcept
{
  const int points = n / 2;
  const int quarter = span / 4;
  const int tablePoints = 2 * ip[0];
  const int stride = tablePoints / span;
  const int quarterShift = log2Of(tablePoints / 4);
  const int quarterMask = tablePoints / 4 - 1;
  const int q2 = 2 * quarter;  // quarter block distance in doubles
#if defined(__SSE2__)
  // k = 0 has unit twiddles: a plain radix-4 pass saves a quarter of the
  // multiplications of the narrow passes.
  for (int base = 0; base < points; base += span)
  {
    double* p0 = a + 2 * base;
    radix4<Backward>(p0, p0 + q2, p0 + 2 * q2, p0 + 3 * q2, load(p0), load(p0 + q2), load(p0 + 2 * q2),
                     load(p0 + 3 * q2));
  }
  for (int k = 1; k < quarter; ++k)
  {
    const Twiddle v1 = prepareVector<Backward>(load(w + 2 * k * stride));  // k * stride < Nt/4
    const Twiddle v2 = preparedRoot<Backward>(w, 2 * k * stride, quarterShift, quarterMask);
    const Twiddle v3 = preparedRoot<Backward>(w, 3 * k * stride, quarterShift, quarterMask);
    for (int base = k; base < points; base += span)
    {
      double* p0 = a + 2 * base;
      double* p1 = p0 + q2;
      double* p2 = p1 + q2;
      double* p3 = p2 + q2;
      radix4<Backward>(p0, p1, p2, p3, load(p0), mul(load(p1), v2), mul(load(p2), v1), mul(load(p3), v3));
    }
  }
#else
  for (int k = 0; k < quarter; ++k)
  {
    Cx w1{w[2 * k * stride], w[2 * k * stride + 1]};  // k * stride < Nt/4
    Cx w2 = rootOfUnity(w, 2 * k * stride, quarterShift, quarterMask);
    Cx w3 = rootOfUnity(w, 3 * k * stride, quarterShift, quarterMask);
    if constexpr (Backward)
    {
      w1.im = -w1.im;
      w2.im = -w2.im;
      w3.im = -w3.im;
    }
    for (int base = k; base < points; base += span)
    {
      double* p0 = a + 2 * base;
      double* p1 = p0 + q2;
      double* p2 = p1 + q2;
      double* p3 = p2 + q2;
      const Cx f0{p0[0], p0[1]};
      const Cx t2 = mul(w2, Cx{p1[0], p1[1]});
      const Cx t1 = mul(w1, Cx{p2[0], p2[1]});
      const Cx t3 = mul(w3, Cx{p3[0], p3[1]});
      const double u0r = f0.re + t2.re, u0i = f0.im + t2.im;
      const double u1r = f0.re - t2.re, u1i = f0.im - t2.im;
      const double u2r = t1.re + t3.re, u2i = t1.im + t3.im;
      const double dr = t1.re - t3.re, di = t1.im - t3.im;
      const double u3r = Backward ? di : -di, u3i = Backward ? -dr : dr;
      p0[0] = u0r + u2r;
      p0[1] = u0i + u2i;
      p1[0] = u1r + u3r;
      p1[1] = u1i + u3i;
      p2[0] = u0r - u2r;
      p2[1] = u0i - u2i;
      p3[0] = u1r - u3r;
      p3[1] = u1i - u3i;
    }
  }
#endif
}

// A pass of span s only mixes values inside aligned blocks of s points, so all
// passes up to kCacheBlockPoints run block by block while the block stays in the
// first-level cache; only the wider passes sweep the whole array.
namespace
{
constexpr int kCacheBlockPoints = 1024;  // 16 KiB of complex doubles
}

template <bool Backward>
void FFTOoura::cftsub(int n, double* a, const int* ip, const double* w) const noexcept
{
  const int points = n / 2;
  if (points < 2) return;
  const bool oddBits = log2Of(points) & 1;
  const int firstSpan = oddBits ? 8 : 16;
  const int blockPoints = std::min(points, kCacheBlockPoints);
  for (int block = 0; block < points; block += blockPoints)
  {
    double* b = a + 2 * block;
    cft1st<Backward>(2 * blockPoints, b, oddBits);
    for (int span = firstSpan; span <= blockPoints; span *= 4) cftmdl<Backward>(2 * blockPoints, span, b, ip, w);
  }
  int span = firstSpan;
  while (span <= blockPoints) span *= 4;
  for (; span <= points; span *= 4) cftmdl<Backward>(n, span, a, ip, w);
}

void FFTOoura::cftfsub(int n, double* a, const int* ip, const double* w) const noexcept { cftsub<false>(n, a, ip, w); }

void FFTOoura::cftbsub(int n, double* a, const int* ip, const double* w) const noexcept { cftsub<true>(n, a, ip, w); }

// ---- Real transforms ------------------------------------------------------------
// The n real values are read as N = n/2 complex values z[q] = a[2q] + i a[2q+1]
// with transform Z. The spectra of the even and odd samples are
// E[k] = (Z[k] + conj Z[N-k]) / 2 and O[k] = (Z[k] - conj Z[N-k]) / 2i, and
// X[k] = E[k] + W^k O[k], W = e^(2 pi i/n). Per pair (k, N-k), with
// D = Z[k] - conj Z[N-k] and G = (1 + i W^k) / 2:
//   X[k] = Z[k] - D G,   X[N-k] = Z[N-k] + conj(D G).

void FFTOoura::rftfsub(int n, double* a, int nc, const double* c) const noexcept
{
  const int points = n / 2;
  const int stride = 4 * nc / n;
  for (int k = 1; k < points / 2; ++k)
  {
    const int i = k * stride;
    const double gr = 0.5 - 0.5 * c[nc - i];  // (1 - sin theta) / 2
    const double gi = 0.5 * c[i];             // cos theta / 2
    double* x = a + 2 * k;
    double* y = a + n - 2 * k;
#if defined(__SSE2__)
    // D = x - conj y; x -= D G; y += conj(D G).
    const __m128d vx = load(x), vy = load(y);
    const __m128d dg = mul(_mm_sub_pd(vx, _mm_xor_pd(vy, imagSign())), prepare(Cx{gr, gi}));
    store(x, _mm_sub_pd(vx, dg));
    store(y, _mm_add_pd(vy, _mm_xor_pd(dg, imagSign())));
#else
    const double dr = x[0] - y[0];
    const double di = x[1] + y[1];
    const double yr = dr * gr - di * gi;
    const double yi = dr * gi + di * gr;
    x[0] -= yr;
    x[1] -= yi;
    y[0] += yr;
    y[1] -= yi;
#endif
  }
  const double z0r = a[0], z0i = a[1];
  a[0] = z0r + z0i;
  a[1] = z0r - z0i;
}

// The inverse step, Z[k] = X[k] - D' conj(G) with D' = X[k] - conj X[N-k], is
// the forward step applied to conj X. That is how it is computed here, so it
// leaves conj Z; bitrv2conj turns it back while reordering.
void FFTOoura::rftbsub(int n, double* a, int nc, const double* c) const noexcept
{
  const int points = n / 2;
  const int stride = 4 * nc / n;
  for (int k = 1; k < points / 2; ++k)
  {
    const int i = k * stride;
    const double gr = 0.5 - 0.5 * c[nc - i];
    const double gi = 0.5 * c[i];
    double* x = a + 2 * k;
    double* y = a + n - 2 * k;
#if defined(__SSE2__)
    // D' = conj x - y; x <- conj x - D' G; y <- conj(y + D' G).
    const __m128d cx = _mm_xor_pd(load(x), imagSign()), vy = load(y);
    const __m128d dg = mul(_mm_sub_pd(cx, vy), prepare(Cx{gr, gi}));
    store(x, _mm_sub_pd(cx, dg));
    store(y, _mm_xor_pd(_mm_add_pd(vy, dg), imagSign()));
#else
    const double dr = x[0] - y[0];
    const double di = -x[1] - y[1];
    const double yr = dr * gr - di * gi;
    const double yi = dr * gi + di * gr;
    x[0] -= yr;
    x[1] = -x[1] - yi;
    y[0] += yr;
    y[1] = -y[1] - yi;
#endif
  }
  if (points >= 2) a[points + 1] = -a[points + 1];  // bin N/2 maps onto itself
  const double x0 = a[0], xn = a[1];
  a[0] = 0.5 * (x0 + xn);
  a[1] = -0.5 * (x0 - xn);
}

void FFTOoura::rftForward(int n, double* a, int* ip, double* w) const noexcept
{
  if (n > 2)
  {
    bitrv2(n, ip + 2, a);
    cftfsub(n, a, ip, w);
  }
  rftfsub(n, a, ip[1], w + ip[0]);
}

void FFTOoura::rftBackward(int n, double* a, int* ip, double* w) const noexcept
{
  rftbsub(n, a, ip[1], w + ip[0]);
  bitrv2conj(n, ip + 2, a);
  if (n > 2) cftbsub(n, a, ip, w);
}

void FFTOoura::rdft(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (n < 2 || !isPowerOfTwo(n)) return;
  ensureTables(n / 4, n / 4, ip, w);
  if (isgn >= 0)
    rftForward(n, a, ip, w);
  else
    rftBackward(n, a, ip, w);
}

void FFTOoura::cdft(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (n <= 2 || !isPowerOfTwo(n)) return;
  ensureTables(n / 4, 0, ip, w);
  bitrv2(n, ip + 2, a);
  if (isgn >= 0)
    cftfsub(n, a, ip, w);
  else
    cftbsub(n, a, ip, w);
}

// ---- Cosine and sine transforms -------------------------------------------------
// The cosine transform reorders the input to v[p] = a[2p], v[n-1-p] = a[2p+1],
// whose real spectrum V gives C[k] = Re(e^(-i phi_k) conj V[k]) with
// phi_k = pi k / 2n, taken for k and n-k together. The inverse direction is the
// transpose of every step, in reverse order.

// isgn = -1: packed spectrum (R, I) in (2k, 2k+1) -> (C[k], C[n-k]);
// isgn =  1: (a[k], a[n-k]) in (2k, 2k+1) -> packed spectrum for the inverse.
void FFTOoura::dctsub(int n, int isgn, double* a, int nc, const double* c) const noexcept
{
  const int stride = nc / n;
  const double diagonal = c[nc / 2];  // cos(pi / 4)
  for (int k = 1; k < n / 2; ++k)
  {
    const double cs = c[k * stride];
    const double sn = c[nc - k * stride];
    const double x = a[2 * k], y = a[2 * k + 1];
    if (isgn < 0)
    {
      a[2 * k] = x * cs - y * sn;
      a[2 * k + 1] = x * sn + y * cs;
    }
    else
    {
      a[2 * k] = x * cs + y * sn;
      a[2 * k + 1] = y * cs - x * sn;
    }
  }
  if (isgn < 0)
  {
    a[1] *= diagonal;
  }
  else
  {
    a[0] *= 2.0;
    a[1] *= 2.0 * diagonal;
  }
}

// Sine transforms are cosine transforms read backwards: sin(pi (j+1/2) k/n) =
// (-1)^j cos(pi (j+1/2)(n-k)/n). This is the reflection a[k] <-> a[n-k].
void FFTOoura::dstsub(int n, double* a) const noexcept { reverseRange(a, 1, n - 1); }

void FFTOoura::dctCore(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (n < 2) return;
  int* scratch = ip + 2;
  if (isgn < 0)
  {
    reverseOdd(n, a);
    unshuffle(n, a, scratch);
    rftForward(n, a, ip, w);
    dctsub(n, isgn, a, ip[1], w + ip[0]);
    unshuffle(n, a, scratch);
    reverseRange(a, n / 2 + 1, n - 1);
  }
  else
  {
    reverseRange(a, n / 2 + 1, n - 1);
    shuffle(n, a, scratch);
    dctsub(n, isgn, a, ip[1], w + ip[0]);
    rftBackward(n, a, ip, w);
    shuffle(n, a, scratch);
    reverseOdd(n, a);
  }
}

void FFTOoura::dstCore(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (n < 2) return;
  if (isgn < 0)
  {
    for (int j = 1; j < n; j += 2) a[j] = -a[j];
    dctCore(n, isgn, a, ip, w);
    dstsub(n, a);
  }
  else
  {
    dstsub(n, a);
    dctCore(n, isgn, a, ip, w);
    for (int k = 1; k < n; k += 2) a[k] = -a[k];
  }
}

void FFTOoura::ddct(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (!isPowerOfTwo(n)) return;
  ensureTables(n / 4, n, ip, w);
  dctCore(n, isgn, a, ip, w);
}

void FFTOoura::ddst(int n, int isgn, double* a, int* ip, double* w) const noexcept
{
  if (!isPowerOfTwo(n)) return;
  ensureTables(n / 4, n, ip, w);
  dstCore(n, isgn, a, ip, w);
}

// Even outputs of the symmetric cosine transform are the same transform of
// half length on a[j] + a[n-j]; odd outputs are the inverse-direction cosine
// transform of a[j] - a[n-j]. The half-length problem works in the upper half
// of a, which the butterflies have freed.
void FFTOoura::dfctCore(int n, double* a, double* t, int* ip, double* w) const noexcept
{
  if (n == 1)
  {
    const double x = a[0], y = a[1];
    a[0] = x + y;
    a[1] = x - y;
    return;
  }
  const int h = n / 2;
  for (int j = 0; j < h; ++j)
  {
    const double x = a[j], y = a[n - j];
    t[j] = x + y;
    a[j] = x - y;
  }
  t[h] = a[h];
  dctCore(h, 1, a, ip, w);
  dfctCore(h, t, a + h, ip, w);
  for (int m = h - 1; m >= 0; --m) a[2 * m + 1] = a[m];
  for (int m = 0; m <= h; ++m) a[2 * m] = t[m];
}

// Even outputs of the symmetric sine transform are the same transform of half
// length on a[j] - a[n-j]; odd outputs are the inverse-direction sine transform
// of a[j] + a[n-j] with a[n/2] as its last input.
void FFTOoura::dfstCore(int n, double* a, double* t, int* ip, double* w) const noexcept
{
  if (n < 2) return;
  const int h = n / 2;
  for (int j = 1; j < h; ++j)
  {
    const double x = a[j], y = a[n - j];
    t[j] = x - y;
    a[j] = x + y;
  }
  a[0] = a[h];
  dstCore(h, 1, a, ip, w);
  dfstCore(h, t, a + h, ip, w);
  for (int m = h - 1; m >= 0; --m) a[2 * m + 1] = a[m];
  for (int m = 1; m < h; ++m) a[2 * m] = t[m];
  a[0] = 0.0;
}

void FFTOoura::dfct(int n, double* a, double* t, int* ip, double* w) const noexcept
{
  if (!isPowerOfTwo(n)) return;
  ensureTables(n / 8, n / 2, ip, w);
  dfctCore(n, a, t, ip, w);
}

void FFTOoura::dfst(int n, double* a, double* t, int* ip, double* w) const noexcept
{
  if (!isPowerOfTwo(n)) return;
  ensureTables(n / 8, n / 2, ip, w);
  dfstCore(n, a, t, ip, w);
}

// ---- Window -----------------------------------------------------------------------

void FFTOoura::fenetrage(double* data, int n, int type) const noexcept
{
  // One sample is the window's centre, where every window weighs 1.
  if (n <= 1 || type < 0 || type > 3) return;
  const double span = n - 1;
  for (int i = 0; i < n; ++i)
  {
    const double x = 2.0 * i / span;
    double weight = 1.0;
    switch (type)
    {
      case 0: weight = 0.5 + 0.5 * std::cos(kPi * (1.0 - x)); break;
      case 1: weight = 0.46 * (1.0 + std::cos(kPi * (1.0 - x))) + 0.08; break;
      case 2:
        weight =
          0.35875 - 0.48829 * std::cos(kPi * x) + 0.14128 * std::cos(2.0 * kPi * x) - 0.01168 * std::cos(3.0 * kPi * x);
        break;
      default:
        weight = 0.3635819 - 0.4891775 * std::cos(kPi * x) + 0.1365995 * std::cos(2.0 * kPi * x) -
                 0.0106411 * std::cos(3.0 * kPi * x);
        break;
    }
    data[i] *= weight;
  }
}

// ---- Wrappers ---------------------------------------------------------------------

void FFTOoura::fft(int n, int* ip, double* w, double* a, float* re, float* im) const noexcept
{
  if (n < 2 || !isPowerOfTwo(n)) return;
  rdft(n, 1, a, ip, w);
  for (int k = 0; k < n / 2; ++k)
  {
    re[k] = static_cast<float>(a[2 * k]);
    im[k] = static_cast<float>(-a[2 * k + 1]);
  }
  re[n / 2] = static_cast<float>(a[1]);
  im[0] = 0.0f;
  im[n / 2] = 0.0f;
}

void FFTOoura::ifft(int n, int* ip, double* w, double* a, const float* re, const float* im) const noexcept
{
  if (n < 2 || !isPowerOfTwo(n)) return;
  for (int k = 0; k < n / 2; ++k)
  {
    a[2 * k] = re[k];
    a[2 * k + 1] = -im[k];
  }
  a[1] = re[n / 2];
  rdft(n, -1, a, ip, w);
  const double scale = 2.0 / n;
  for (int j = 0; j < n; ++j) a[j] *= scale;
}

void FFTOoura::copy_to_spectrum(int n, const double* frame, ComplexNumber* spectrum) const noexcept
{
  for (int k = 0; k < n; ++k) spectrum[k] = {frame[k], 0.0};
}

void FFTOoura::copy_to_frame(int n, const ComplexNumber* spectrum, double* frame) const noexcept
{
  for (int k = 0; k < n; ++k) frame[k] = spectrum[k].re;
}

namespace
{

// Call-local work areas of the sizes the nami wrappers promise.
struct LocalWorkAreas
{
  explicit LocalWorkAreas(int h)
    : ip(static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(h)))) + 2, 0),
      w(static_cast<size_t>(h) + 1, 0.0),
      data(2 * static_cast<size_t>(h), 0.0)
  {
  }
  std::vector<int> ip;
  std::vector<double> w;
  std::vector<double> data;  // interleaved copy, so no struct is read as a double array
};

}  // namespace

void FFTOoura::nami_fft(int n, const double* frame, ComplexNumber* spectrum) const
{
  const int h = n / 2;
  if (h < 1) return;
  LocalWorkAreas work(h);
  for (int k = 0; k < h; ++k) work.data[2 * k] = frame[k];
  cdft(2 * h, 1, work.data.data(), work.ip.data(), work.w.data());
  for (int k = 0; k < h; ++k) spectrum[k] = {work.data[2 * k], work.data[2 * k + 1]};
}

void FFTOoura::nami_ifft(int n, ComplexNumber* spectrum, double* frame) const
{
  const int h = n / 2;
  if (h < 1) return;
  LocalWorkAreas work(h);
  for (int k = 0; k < h; ++k)
  {
    work.data[2 * k] = spectrum[k].re;
    work.data[2 * k + 1] = spectrum[k].im;
  }
  cdft(2 * h, -1, work.data.data(), work.ip.data(), work.w.data());
  const double scale = 1.0 / h;
  for (int k = 0; k < h; ++k)
  {
    spectrum[k] = {work.data[2 * k] * scale, work.data[2 * k + 1]};
    frame[k] = spectrum[k].re;
  }
}
