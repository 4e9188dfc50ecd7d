#pragma once
// Elementary functions that give the same result on every platform and compiler.
//
// The platform's maths library may round its cosine or logarithm differently from
// one system (or processor feature) to another, and where such a value decides an
// output sample, two machines would render different bytes. These routines use
// nothing but IEEE additions, subtractions, multiplications and divisions (the build
// forbids fused multiply-adds) and integer operations, so they return the same
// double everywhere.
//
// Each result is the exact value rounded to the nearest double whenever the routine
// can prove it: it evaluates in double-double arithmetic, carries a bound on its own
// error, and checks that the whole interval the bound allows rounds to one double.
// The *Checked forms tell whether that proof succeeded; the tests run them over
// every argument the FFT tables, the windows and the sensitivity measure use. Where
// the check fails (about once in 2^40 arguments) the value is still within one unit
// in the last place, and still the same on every platform.
//
// Any thread: no allocation, no locks, no errno, no dependence on the rounding or
// flush-to-zero modes for the arguments the engine passes (no intermediate value
// there is subnormal).

namespace portable_math
{

// A double and whether it is proven to be the exact value rounded to nearest.
struct Checked
{
  double value;
  bool correctlyRounded;
};

// Cosine and sine of |x| < 2^26 (larger arguments give NaN, as do infinities).
double Cos(double x) noexcept;
double Sin(double x) noexcept;
Checked CosChecked(double x) noexcept;
Checked SinChecked(double x) noexcept;

// Natural and decimal logarithms: -inf at 0, NaN below 0 and for NaN.
double Log(double x) noexcept;
double Log10(double x) noexcept;
Checked LogChecked(double x) noexcept;
Checked Log10Checked(double x) noexcept;

// e^x: +inf above about 709.78, 0 below about -745.13.
double Exp(double x) noexcept;
Checked ExpChecked(double x) noexcept;

// x^y for x > 0 (x = 0, x < 0 and infinite x or y give NaN; y = 0 gives 1).
double Pow(double x, double y) noexcept;
Checked PowChecked(double x, double y) noexcept;

}  // namespace portable_math
