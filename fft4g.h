#pragma once

// FFTOoura: the engine's transform toolbox. Real, complex, cosine and sine
// transforms of power-of-two lengths built on one radix-4 complex FFT, plus the
// analysis window and a few packing wrappers.
//
// Work areas belong to the caller and are passed to every transform:
//   ip  ints.  ip[0] = size (in doubles) of the cosine/sine table at the start
//              of w, ip[1] = size of the cosine table placed right behind it;
//              ip[2..] is bit-reversal scratch (2 + sqrt(n/2) ints in all are
//              enough for length n). Set ip[0] = 0 before the first call so the
//              tables get built.
//   w   doubles holding both tables. A table made for a length serves every
//              smaller power-of-two length, so one ip/w pair sized for the
//              largest length serves all lengths in any order.
// Table sizes needed for length n:
//   rdft, cdft:  n/4 + n/4  doubles (cdft needs only the first n/4)
//   ddct, ddst:  n/4 + n    doubles
//   dfct, dfst:  n/8 + n/2  doubles
// Lengths must be powers of two; any other length leaves the data unchanged.
//
// The transforms run on the widest instruction set the processor offers
// (fft4g_kernels.h), with bit-identical results on every one. Data buffers
// starting on a 64-byte boundary are the fastest (10-30 % faster than others
// at the engine's lengths).

// A complex value as used by the packing wrappers: real part, then imaginary part.
struct ComplexNumber
{
  double re;
  double im;
};

class FFTOoura final
{
public:
  // ---- Transforms (all unnormalised, in place) ------------------------------

  // Real FFT of a[0..n-1], n >= 2.
  // isgn = 1: packed spectrum, a[0] = R[0], a[1] = R[n/2], a[2k] = R[k],
  //   a[2k+1] = I[k] for 0 < k < n/2, where R[k] = sum a[j] cos(2 pi jk/n) and
  //   I[k] = sum a[j] sin(2 pi jk/n).
  // isgn = -1: inverse of the packed spectrum scaled by n/2:
  //   a[j] = (R[0] + R[n/2] cos(pi j))/2 + sum_{0<k<n/2} R[k] cos(2 pi jk/n) + I[k] sin(2 pi jk/n).
  // Audio thread: no allocation, no locks; about 6 KiB of stack.
  void rdft(int n, int isgn, double* a, int* ip, double* w) const noexcept;

  // Complex FFT of the n/2 complex values interleaved in a[0..n-1]:
  // X[k] = sum x[j] exp(isgn * 2 pi i jk/(n/2)).
  // Audio thread: no allocation, no locks.
  void cdft(int n, int isgn, double* a, int* ip, double* w) const noexcept;

  // Cosine transform of a[0..n-1].
  // isgn = -1: C[k] = sum_j a[j] cos(pi (j+1/2) k/n).
  // isgn =  1: C[k] = sum_j a[j] cos(pi j (k+1/2)/n).
  // Halving a[0], applying isgn = 1 and scaling by 2/n undoes isgn = -1.
  // Audio thread: no allocation, no locks.
  void ddct(int n, int isgn, double* a, int* ip, double* w) const noexcept;

  // Sine transform of a[0..n-1].
  // isgn = -1: S[k] = sum_j a[j] sin(pi (j+1/2) k/n) for 0 < k <= n, stored as
  //   a[k] = S[k] for 0 < k < n and a[0] = S[n].
  // isgn =  1: S[k] = sum_{j=1..n} A[j] sin(pi j (k+1/2)/n) for 0 <= k < n, where
  //   A[j] = a[j] for 0 < j < n and A[n] = a[0].
  // Audio thread: no allocation, no locks.
  void ddst(int n, int isgn, double* a, int* ip, double* w) const noexcept;

  // Symmetric cosine transform of the n+1 values a[0..n]:
  // C[k] = sum_{j=0..n} a[j] cos(pi jk/n). Work area t holds n/2+1 doubles.
  // Audio thread: no allocation, no locks.
  void dfct(int n, double* a, double* t, int* ip, double* w) const noexcept;

  // Symmetric sine transform of a[1..n-1]: S[k] = sum_{j=1..n-1} a[j] sin(pi jk/n);
  // a[0] is work space (left 0). Work area t holds n/2 doubles.
  // Audio thread: no allocation, no locks.
  void dfst(int n, double* a, double* t, int* ip, double* w) const noexcept;

  // ---- Window ---------------------------------------------------------------

  // Multiplies data[0..n-1] by a symmetric window: 0 Hann, 1 Hamming,
  // 2 four-term Blackman-Harris, 3 Blackman-Nuttall. Other types and n <= 1
  // leave the data unchanged.
  // Audio thread: no allocation, no locks.
  void fenetrage(double* data, int n, int type) const noexcept;

  // ---- Wrappers -------------------------------------------------------------

  // Forward real FFT with split single-precision output of n/2+1 bins each,
  // imaginary parts in the exp(-i...) sign convention.
  // Audio thread: no allocation, no locks.
  void fft(int n, int* ip, double* w, double* a, float* re, float* im) const noexcept;

  // Inverse of fft, normalised: fft then ifft restores a[0..n-1].
  // Audio thread: no allocation, no locks.
  void ifft(int n, int* ip, double* w, double* a, const float* re, const float* im) const noexcept;

  // spectrum[k] = (frame[k], 0) for k < n.
  void copy_to_spectrum(int n, const double* frame, ComplexNumber* spectrum) const noexcept;
  // frame[k] = spectrum[k].re for k < n.
  void copy_to_frame(int n, const ComplexNumber* spectrum, double* frame) const noexcept;

  // Complex FFT (exp(+...)) of the n/2 real values frame[0..n/2-1] into
  // spectrum[0..n/2-1]. Allocates its own work areas: not for the audio thread.
  void nami_fft(int n, const double* frame, ComplexNumber* spectrum) const;
  // Inverse of nami_fft on spectrum[0..n/2-1] (transformed in place, real parts
  // scaled by 2/n), real parts copied to frame[0..n/2-1]. Not for the audio thread.
  void nami_ifft(int n, ComplexNumber* spectrum, double* frame) const;

private:
  // Tables.
  void makewt(int nw, int* ip, double* w) const noexcept;
  void makect(int nc, int* ip, double* c) const noexcept;
  void ensureTables(int nwNeeded, int ncNeeded, int* ip, double* w) const noexcept;

  // Real transforms on built tables (the complex FFT and its pre- and
  // post-processing, run by the kernels of the active code path).
  void rftForward(int n, double* a, int* ip, double* w) const noexcept;
  void rftBackward(int n, double* a, int* ip, double* w) const noexcept;

  // Cosine/sine transform steps.
  void dctsub(int n, int isgn, double* a, int nc, const double* c) const noexcept;
  void dstsub(int n, double* a) const noexcept;
  void dctCore(int n, int isgn, double* a, int* ip, double* w) const noexcept;
  void dstCore(int n, int isgn, double* a, int* ip, double* w) const noexcept;
  void dfctCore(int n, double* a, double* t, int* ip, double* w) const noexcept;
  void dfstCore(int n, double* a, double* t, int* ip, double* w) const noexcept;
};
