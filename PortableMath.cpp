// Cosine, sine, logarithm and exponential in double-double arithmetic with a
// proven final rounding (see PortableMath.h).
//
// Error bookkeeping, with u = 2^-53: every double-double operation below has a
// relative error of at most 8 u^2 = 2^-103 (the published bounds of these
// algorithms are 2 u^2 for a double added to a double-double, 3 u^2 + 13 u^3 for two
// double-doubles added, 7 u^2 for two multiplied); the series are summed without
// cancellation (each partial sum stays above half its first term), so a Horner
// scheme of n steps errs by at most 2 n (8 u^2 + 8 u^2) relative. The series'
// higher terms, each below 2^-54 of the sum, are summed in plain double, which adds
// at most 2^-104. Every bound passed to the final rounding check is several times
// the sum of these, so the check errs only on the safe side.

#include "PortableMath.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

// The evaluation relies on each operation rounding on its own.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

namespace portable_math
{
namespace
{
// ---- Double-double arithmetic -----------------------------------------------------
// A value hi + lo with |lo| <= half an ulp of hi.
struct DD
{
  double hi, lo;
};

constexpr double Abs(double x) noexcept { return x < 0.0 ? -x : x; }
constexpr DD Neg(DD a) noexcept { return {-a.hi, -a.lo}; }

// a + b = s + e exactly.
constexpr DD TwoSum(double a, double b) noexcept
{
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// The same when |a| >= |b| (or a = 0).
constexpr DD FastTwoSum(double a, double b) noexcept
{
  const double s = a + b;
  return {s, b - (s - a)};
}

// a * b = p + e exactly (Dekker's product: the halves of 26 bits multiply exactly).
constexpr DD TwoProd(double a, double b) noexcept
{
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ta = kSplitter * a, tb = kSplitter * b;
  const double ah = ta - (ta - a), bh = tb - (tb - b);
  const double al = a - ah, bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr DD AddFP(DD a, double b) noexcept
{
  const DD s = TwoSum(a.hi, b);
  return FastTwoSum(s.hi, a.lo + s.lo);
}

constexpr DD Add(DD a, DD b) noexcept
{
  const DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  const DD v = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(v.hi, t.lo + v.lo);
}

constexpr DD MulFP(DD a, double b) noexcept
{
  const DD p = TwoProd(a.hi, b);
  return FastTwoSum(p.hi, p.lo + a.lo * b);
}

constexpr DD Mul(DD a, DD b) noexcept
{
  const DD p = TwoProd(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DD Div(DD a, DD b) noexcept
{
  const double q1 = a.hi / b.hi;
  const DD r1 = Add(a, Neg(MulFP(b, q1)));
  const double q2 = r1.hi / b.hi;
  const DD r2 = Add(r1, Neg(MulFP(b, q2)));
  const double q3 = r2.hi / b.hi;
  return AddFP(FastTwoSum(q1, q2), q3);
}

// The nearest integer to |t| < 2^51 (ties to even), as a double.
double RoundToInteger(double t) noexcept
{
  constexpr double kShifter = 0x1.8p52;
  return (t + kShifter) - kShifter;
}

// v * 2^k; exact while the result is a normal number.
double Scale(double v, int k) noexcept
{
  auto power = [](int e) { return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52); };
  if (k > 1023) return v * power(1023) * power(k - 1023);
  if (k < -1022) return v * power(-1022) * power(k + 1022);
  return v * power(k);
}

// The rounding check: v approximates y with |v - y| <= relErr |v|. When both ends
// of that interval round to the same double, so does y, and that double is the
// result. (The ends are formed with roundings far below the bound's margin.)
Checked Round(DD v, double relErr) noexcept
{
  const double e = Abs(v.hi) * relErr;
  const double below = v.hi + (v.lo - e);
  const double above = v.hi + (v.lo + e);
  return {below, below == above};
}

// ---- Constants --------------------------------------------------------------------

// pi/2 in pieces of 26 bits: q times a piece is exact for |q| < 2^27. What the
// pieces leave out is below 2^-253.
constexpr std::array<double, 9> kHalfPi = {0x1.921fb50000000p+0,   0x1.110b460000000p-26,  0x1.1a62630000000p-54,
                                           0x1.8a2e030000000p-81,  0x1.c1cd128000000p-107, 0x1.024e088000000p-135,
                                           0x1.4cf98e8000000p-164, 0x1.05df530000000p-198, 0x1.d89cd90000000p-226};
constexpr double kHalfPiRest = 0x1p-250;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kTrigLimit = 0x1p26;

// log 2 in pieces of 42 bits: k times a piece is exact for |k| < 2^11. What they
// leave out is below 2^-130.
constexpr double kLn2[3] = {0x1.62e42fefa3800p-1, 0x1.ef35793c76000p-45, 0x1.cc01f97b57800p-87};
constexpr double kLn2Rest = 0x1p-130;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
constexpr DD kInvLn10 = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;

// Series coefficients, each formed from the previous one by one double-double
// division (relative error below 2^-100 for every one of them).
constexpr int kFactorials = 31;
constexpr std::array<DD, kFactorials> MakeInverseFactorials()
{
  std::array<DD, kFactorials> c{};
  c[0] = {1.0, 0.0};
  for (int k = 1; k < kFactorials; ++k) c[k] = Div(c[k - 1], {static_cast<double>(k), 0.0});
  return c;
}
constexpr std::array<DD, kFactorials> kInvFactorial = MakeInverseFactorials();

constexpr int kOddTerms = 21;
constexpr std::array<DD, kOddTerms> MakeInverseOdds()
{
  std::array<DD, kOddTerms> c{};
  for (int k = 0; k < kOddTerms; ++k) c[k] = Div({1.0, 0.0}, {2.0 * k + 1.0, 0.0});
  return c;
}
constexpr std::array<DD, kOddTerms> kInvOdd = MakeInverseOdds();

// The budget for the series' own rounding, truncation and coefficients (all below
// 2^-98 together).
constexpr double kSeriesError = 0x1p-96;

// Sum c[first + step i] (sign)^i z^i for i = 0 .. count - 1 by Horner's scheme; the
// terms from `dd` on are summed in double (each below 2^-54 of the sum there).
template <std::size_t N>
DD Series(const std::array<DD, N>& c, int first, int step, int count, bool alternate, DD z, int dd) noexcept
{
  auto coef = [&](int i) {
    const DD v = c[first + step * i];
    return alternate && (i & 1) ? Neg(v) : v;
  };
  double tail = 0.0;
  for (int i = count - 1; i >= dd; --i) tail = tail * z.hi + coef(i).hi;
  DD p = {tail, 0.0};
  for (int i = dd - 1; i >= 0; --i) p = Add(coef(i), Mul(z, p));
  return p;
}

// ---- Cosine and sine --------------------------------------------------------------

// x = q pi/2 + r with |r| <= pi/4 (a hair more at the quadrant edges).
struct Reduced
{
  DD r;
  int quadrant;   // q mod 4
  double rError;  // bound of |r - (x - q pi/2)|
};

Reduced ReduceByHalfPi(double x) noexcept
{
  const double q = RoundToInteger(x * kTwoOverPi);
  // Exact: q times the first piece is exact, and lies within a factor 2 of x.
  DD r = {x - q * kHalfPi[0], 0.0};
  double sizes = 0.0;
  for (std::size_t i = 1; i < kHalfPi.size(); ++i)
  {
    r = AddFP(r, -(q * kHalfPi[i]));
    sizes += Abs(r.hi);
  }
  const auto quadrant = static_cast<int>(static_cast<std::int64_t>(q) & 3);
  return {r, quadrant, sizes * 0x1p-103 + Abs(q) * kHalfPiRest};
}

// sin r = r (1 - r^2/3! + r^4/5! - ...) and cos r = 1 - r^2/2! + ..., for |r| <= pi/4
// with terms up to r^27 and r^28: the first one left out is below 2^-110.
DD SinOfReduced(DD r) noexcept
{
  const DD z = Mul(r, r);
  return Mul(r, Series(kInvFactorial, 1, 2, 14, true, z, 8));
}
DD CosOfReduced(DD r) noexcept
{
  const DD z = Mul(r, r);
  return Series(kInvFactorial, 0, 2, 15, true, z, 9);
}

// The cosine (or, with sine set, the sine) of x, with its error bound.
Checked Trig(double x, bool sine) noexcept
{
  if (!(Abs(x) < kTrigLimit)) return {std::numeric_limits<double>::quiet_NaN(), false};
  if (x == 0.0) return {sine ? x : 1.0, true};
  const Reduced red = ReduceByHalfPi(x);
  // sin x, in quadrants 0..3: sin r, cos r, -sin r, -cos r; cos x: cos r, -sin r,
  // -cos r, sin r.
  const int quadrant = (red.quadrant + (sine ? 0 : 1)) & 3;
  const bool useSine = (quadrant & 1) == 0;
  DD v;
  double relErr;
  if (useSine)
  {
    v = SinOfReduced(red.r);
    // The sine's relative error follows r's (|r cot r| <= 1 there).
    relErr = kSeriesError + 2.0 * red.rError / Abs(red.r.hi);
  }
  else
  {
    v = CosOfReduced(red.r);
    // An error d in r moves the cosine by at most |sin r| d <= 0.71 d, and cos r >= 0.7.
    relErr = kSeriesError + 2.0 * red.rError;
  }
  if (quadrant >= 2) v = Neg(v);
  return Round(v, relErr);
}

// ---- Logarithm --------------------------------------------------------------------

// log x for a finite x > 0 as a double-double, within relErr relative.
DD LogOfPositive(double x, double& relErr) noexcept
{
  int e = 0;
  if (x < 0x1p-1022)  // subnormal: scale into the normal range first
  {
    x *= 0x1p54;
    e = -54;
  }
  const auto bits = std::bit_cast<std::uint64_t>(x);
  e += static_cast<int>(bits >> 52) - 1023;
  double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
  if (m > kSqrt2)
  {
    m *= 0.5;
    ++e;
  }
  // log m = 2 atanh(s) = 2 s (1 + s^2/3 + s^4/5 + ...), s = (m - 1)/(m + 1), |s| <=
  // 0.1716; terms up to s^40, the first one left out is below 2^-112. m - 1 is exact.
  const double f = m - 1.0;
  const DD s = Div({f, 0.0}, TwoSum(2.0, f));
  const DD series = Series(kInvOdd, 0, 1, kOddTerms, false, Mul(s, s), 10);
  DD logM = Mul(s, series);
  logM = {2.0 * logM.hi, 2.0 * logM.lo};
  if (e == 0)
  {
    relErr = kSeriesError;
    return logM;
  }
  // e log 2, exact but for the pieces' rest; |e log 2| >= 0.69 >= 2 |log m|, so the sum
  // keeps at least half of its larger part and at most doubles the relative errors.
  const double k = e;
  const DD eLn2 = AddFP(TwoSum(k * kLn2[0], k * kLn2[1]), k * kLn2[2]);
  relErr = 2.0 * kSeriesError + Abs(k) * kLn2Rest;
  return Add(eLn2, logM);
}

// ---- Exponential ------------------------------------------------------------------

// e^a for |a.hi| <= 746 as 2^k times a double-double in [0.7, 1.42], and the error
// bound of that double-double (not counting any error of a itself).
DD ExpOf(DD a, int& k, double& relErr) noexcept
{
  const double kd = RoundToInteger(a.hi * kInvLn2);
  k = static_cast<int>(kd);
  // a - k log 2 = r, |r| <= 0.3466 + |a.lo|. The first difference is exact (k log 2's
  // first piece is exact and lies within a factor 2 of a.hi when k != 0).
  DD r = TwoSum(a.hi - kd * kLn2[0], -(kd * kLn2[1]));
  r = AddFP(r, a.lo);
  r = AddFP(r, -(kd * kLn2[2]));
  const double rError = Abs(r.hi) * 0x1p-102 + Abs(kd) * kLn2Rest;
  // e^r = sum r^n/n!, n up to 22: the first term left out is below 2^-109; the terms
  // from n = 14 on are below 2^-57.
  const DD v = Series(kInvFactorial, 0, 1, 23, false, r, 14);
  // An error d in r is a relative error d in e^r.
  relErr = kSeriesError + 2.0 * rError;
  return v;
}

constexpr double kExpOverflow = 709.79;
constexpr double kExpUnderflow = -745.2;

Checked ExpFromDD(DD a, double aError) noexcept
{
  if (a.hi > kExpOverflow) return {std::numeric_limits<double>::infinity(), true};
  if (a.hi < kExpUnderflow) return {0.0, true};
  int k = 0;
  double relErr = 0.0;
  const DD v = ExpOf(a, k, relErr);
  // An absolute error d in the argument is a relative error of about d in the result.
  Checked c = Round(v, relErr + 2.0 * aError);
  const double scaled = Scale(c.value, k);
  // Below the normal range the scaling rounds a second time.
  const bool normal = Abs(scaled) >= 0x1p-1022 && Abs(scaled) <= std::numeric_limits<double>::max();
  return {scaled, c.correctlyRounded && normal};
}
}  // namespace

Checked CosChecked(double x) noexcept { return Trig(x, false); }
Checked SinChecked(double x) noexcept { return Trig(x, true); }
double Cos(double x) noexcept { return Trig(x, false).value; }
double Sin(double x) noexcept { return Trig(x, true).value; }

Checked LogChecked(double x) noexcept
{
  if (x != x || x < 0.0) return {std::numeric_limits<double>::quiet_NaN(), true};
  if (x == 0.0) return {-std::numeric_limits<double>::infinity(), true};
  if (x == std::numeric_limits<double>::infinity()) return {x, true};
  double relErr = 0.0;
  const DD v = LogOfPositive(x, relErr);
  if (v.hi == 0.0) return {0.0, true};  // log 1
  return Round(v, relErr);
}
double Log(double x) noexcept { return LogChecked(x).value; }

Checked Log10Checked(double x) noexcept
{
  if (!(x > 0.0) || x == std::numeric_limits<double>::infinity()) return LogChecked(x);
  double relErr = 0.0;
  const DD v = LogOfPositive(x, relErr);
  if (v.hi == 0.0) return {0.0, true};
  return Round(Mul(v, kInvLn10), relErr + 0x1p-100);
}
double Log10(double x) noexcept { return Log10Checked(x).value; }

Checked ExpChecked(double x) noexcept
{
  if (x != x) return {x, true};
  return ExpFromDD({x, 0.0}, 0.0);
}
double Exp(double x) noexcept { return ExpChecked(x).value; }

Checked PowChecked(double x, double y) noexcept
{
  constexpr double kInf = std::numeric_limits<double>::infinity();
  if (y == 0.0) return {1.0, true};
  if (!(x > 0.0) || x == kInf || !(Abs(y) < kInf)) return {std::numeric_limits<double>::quiet_NaN(), false};
  if (x == 1.0) return {1.0, true};
  double logErr = 0.0;
  const DD l = LogOfPositive(x, logErr);
  const DD t = MulFP(l, y);
  // y log x, with the logarithm's error scaled up and the product's own rounding.
  const double tError = Abs(t.hi) * (logErr + 0x1p-102);
  return ExpFromDD(t, tError);
}
double Pow(double x, double y) noexcept { return PowChecked(x, y).value; }

}  // namespace portable_math
