#pragma once
// Direct O(n^2) evaluations of the transforms' defining sums, in long double
// with exact reduction of every angle, as an independent reference.

#include <cmath>
#include <vector>

namespace direct
{

// cos and sin of pi * p / q for integers p, q > 0; p is reduced mod 2q first so
// the angle stays exact.
inline long double cospi(long long p, long long q)
{
  p %= 2 * q;
  if (p < 0) p += 2 * q;
  return std::cos(3.14159265358979323846264338327950288L * p / q);
}
inline long double sinpi(long long p, long long q)
{
  p %= 2 * q;
  if (p < 0) p += 2 * q;
  return std::sin(3.14159265358979323846264338327950288L * p / q);
}

// Packed real spectrum (isgn 1) or its unnormalised inverse (isgn -1).
inline std::vector<double> rdft(int isgn, const std::vector<double>& a)
{
  const long long n = static_cast<long long>(a.size());
  std::vector<double> out(a.size());
  if (isgn > 0)
  {
    for (long long k = 0; k <= n / 2; ++k)
    {
      long double re = 0, im = 0;
      for (long long j = 0; j < n; ++j)
      {
        re += a[j] * cospi(2 * j * k, n);
        im += a[j] * sinpi(2 * j * k, n);
      }
      if (k == 0)
        out[0] = static_cast<double>(re);
      else if (k == n / 2)
        out[1] = static_cast<double>(re);
      else
      {
        out[2 * k] = static_cast<double>(re);
        out[2 * k + 1] = static_cast<double>(im);
      }
    }
  }
  else
  {
    for (long long j = 0; j < n; ++j)
    {
      long double s = 0.5L * (a[0] + a[1] * cospi(j, 1));
      for (long long k = 1; k < n / 2; ++k) s += a[2 * k] * cospi(2 * j * k, n) + a[2 * k + 1] * sinpi(2 * j * k, n);
      out[j] = static_cast<double>(s);
    }
  }
  return out;
}

// n/2 interleaved complex values, X[k] = sum x[j] exp(isgn 2 pi i jk / (n/2)).
inline std::vector<double> cdft(int isgn, const std::vector<double>& a)
{
  const long long m = static_cast<long long>(a.size()) / 2;
  std::vector<double> out(a.size());
  for (long long k = 0; k < m; ++k)
  {
    long double re = 0, im = 0;
    for (long long j = 0; j < m; ++j)
    {
      const long double c = cospi(2 * j * k, m), s = isgn * sinpi(2 * j * k, m);
      re += a[2 * j] * c - a[2 * j + 1] * s;
      im += a[2 * j] * s + a[2 * j + 1] * c;
    }
    out[2 * k] = static_cast<double>(re);
    out[2 * k + 1] = static_cast<double>(im);
  }
  return out;
}

inline std::vector<double> ddct(int isgn, const std::vector<double>& a)
{
  const long long n = static_cast<long long>(a.size());
  std::vector<double> out(a.size());
  for (long long k = 0; k < n; ++k)
  {
    long double s = 0;
    for (long long j = 0; j < n; ++j)
      s += a[j] * (isgn < 0 ? cospi((2 * j + 1) * k, 2 * n) : cospi(j * (2 * k + 1), 2 * n));
    out[k] = static_cast<double>(s);
  }
  return out;
}

inline std::vector<double> ddst(int isgn, const std::vector<double>& a)
{
  const long long n = static_cast<long long>(a.size());
  std::vector<double> out(a.size());
  if (isgn < 0)
  {
    for (long long k = 1; k <= n; ++k)
    {
      long double s = 0;
      for (long long j = 0; j < n; ++j) s += a[j] * sinpi((2 * j + 1) * k, 2 * n);
      out[k % n] = static_cast<double>(s);
    }
  }
  else
  {
    for (long long k = 0; k < n; ++k)
    {
      long double s = 0;
      for (long long j = 1; j <= n; ++j) s += a[j % n] * sinpi(j * (2 * k + 1), 2 * n);
      out[k] = static_cast<double>(s);
    }
  }
  return out;
}

// a holds n+1 values.
inline std::vector<double> dfct(const std::vector<double>& a)
{
  const long long n = static_cast<long long>(a.size()) - 1;
  std::vector<double> out(a.size());
  for (long long k = 0; k <= n; ++k)
  {
    long double s = 0;
    for (long long j = 0; j <= n; ++j) s += a[j] * cospi(j * k, n);
    out[k] = static_cast<double>(s);
  }
  return out;
}

// a holds n values, a[0] unused; out[0] is 0.
inline std::vector<double> dfst(const std::vector<double>& a)
{
  const long long n = static_cast<long long>(a.size());
  std::vector<double> out(a.size(), 0.0);
  for (long long k = 1; k < n; ++k)
  {
    long double s = 0;
    for (long long j = 1; j < n; ++j) s += a[j] * sinpi(j * k, n);
    out[k] = static_cast<double>(s);
  }
  return out;
}

}  // namespace direct
