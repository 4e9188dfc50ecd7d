#include "fft4g.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

#include "PortableMath.h"
#include "fft4g_kernels.h"
#include "fft4g_reverse.h"

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
// holds bit-identical values at the indices a smaller length reads. Their cosines
// and sines come from PortableMath, so the tables are the same on every platform.
//
// The complex FFT and the real-transform steps run in the kernels of
// fft4g_kernels.h, one set per instruction set, all with identical results.

namespace
{

constexpr double kPi = 3.14159265358979323846;

bool isPowerOfTwo(int n) noexcept { return n > 0 && (n & (n - 1)) == 0; }

int log2Of(int n) noexcept { return std::countr_zero(static_cast<unsigned>(n)); }

// Moves even-indexed values to the first half and odd-indexed ones to the
// second half, keeping their order: the pair-index reversal followed by the full
// reversal rotates every index right by one bit.
void unshuffle(int n, double* a, int* scratch) noexcept
{
  const int m = log2Of(n);
  fft4g::reverseBits<2, false>(m - 1, a, scratch);
  fft4g::reverseBits<1, false>(m, a, scratch);
}

// Inverse of unshuffle.
void shuffle(int n, double* a, int* scratch) noexcept
{
  const int m = log2Of(n);
  fft4g::reverseBits<1, false>(m, a, scratch);
  fft4g::reverseBits<2, false>(m - 1, a, scratch);
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

fft4g::RootTable rootTable(const int* ip, const double* w) noexcept { return {w, 2 * ip[0]}; }
fft4g::CosineTable cosineTable(const int* ip, const double* w) noexcept { return {w + ip[0], ip[1]}; }

}  // namespace

// ---- Tables -------------------------------------------------------------------

void FFTOoura::makewt(int nw, int* ip, double* w) const noexcept
{
  ip[0] = nw;
  ip[1] = 0;  // the cosine table behind this one has been displaced
  const double step = 2.0 * kPi / (2.0 * nw);
  for (int i = 0; i < nw / 2; ++i)
  {
    w[2 * i] = portable_math::Cos(step * i);
    w[2 * i + 1] = portable_math::Sin(step * i);
  }
}

void FFTOoura::makect(int nc, int* ip, double* c) const noexcept
{
  ip[1] = nc;
  const double step = 0.5 * kPi / nc;
  for (int j = 0; j < nc; ++j) c[j] = portable_math::Cos(step * j);
}

void FFTOoura::ensureTables(int nwNeeded, int ncNeeded, int* ip, double* w) const noexcept
{
  if (nwNeeded > ip[0]) makewt(nwNeeded, ip, w);
  if (ncNeeded > ip[1]) makect(ncNeeded, ip, w + ip[0]);
}

// ---- Real and complex transforms ---------------------------------------------------

void FFTOoura::rftForward(int n, double* a, int* ip, double* w) const noexcept
{
  const fft4g::Kernels& k = fft4g::activeKernels();
  if (n > 2) k.complexForward(n, a, ip + 2, rootTable(ip, w));
  k.realForwardStep(n, a, cosineTable(ip, w));
}

void FFTOoura::rftBackward(int n, double* a, int* ip, double* w) const noexcept
{
  const fft4g::Kernels& k = fft4g::activeKernels();
  k.realBackwardStep(n, a, cosineTable(ip, w));
  if (n > 2)
    k.complexConjugateBackward(n, a, ip + 2, rootTable(ip, w));
  else
    a[1] = -a[1];
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
  const fft4g::Kernels& k = fft4g::activeKernels();
  if (isgn >= 0)
    k.complexForward(n, a, ip + 2, rootTable(ip, w));
  else
    k.complexBackward(n, a, ip + 2, rootTable(ip, w));
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
      case 0: weight = 0.5 + 0.5 * portable_math::Cos(kPi * (1.0 - x)); break;
      case 1: weight = 0.46 * (1.0 + portable_math::Cos(kPi * (1.0 - x))) + 0.08; break;
      case 2:
        weight = 0.35875 - 0.48829 * portable_math::Cos(kPi * x) + 0.14128 * portable_math::Cos(2.0 * kPi * x) -
                 0.01168 * portable_math::Cos(3.0 * kPi * x);
        break;
      default:
        weight = 0.3635819 - 0.4891775 * portable_math::Cos(kPi * x) + 0.1365995 * portable_math::Cos(2.0 * kPi * x) -
                 0.0106411 * portable_math::Cos(3.0 * kPi * x);
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
