// The platform-independent elementary functions: correctly rounded on every argument
// the FFT's tables, the windows, the engine's rotations and the sensitivity measure
// pass them, in agreement with a wider reference where they differ from the platform's
// library, and right at the special values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "PortableMath.h"

namespace
{
using portable_math::Checked;

constexpr double kPi = 3.14159265358979323846;

struct Failures
{
  long count = 0;
  std::string first;
  void Note(const char* what, double x)
  {
    if (count++ == 0) first = std::string(what) + " at " + std::to_string(x);
  }
};

// Every angle whose cosine or sine a table of the FFT package or the engine holds:
// the complex roots (2 pi / (2 nw)) i, i < nw/2, and the quarter-wave cosines
// (pi / (2 nc)) j, j < nc, for every power-of-two size up to 2^16 (the engine's are
// 1024 .. 4096); the engine's odd-bin rotations pi m / 4096 and kernel phases pi t /
// 8192; the four windows of 4096 points.
std::vector<std::pair<double, bool>> TableAngles()  // angle, sine wanted too
{
  std::vector<std::pair<double, bool>> angles;
  for (int n = 2; n <= (1 << 16); n *= 2)
  {
    const double rootStep = 2.0 * kPi / (2.0 * n);
    for (int i = 0; i < n / 2; ++i) angles.push_back({rootStep * i, true});
    const double cosineStep = 0.5 * kPi / n;
    for (int j = 0; j < n; ++j) angles.push_back({cosineStep * j, false});
  }
  for (int m = 0; m < 2048; ++m) angles.push_back({std::numbers::pi * m / 4096, true});
  for (int t = 0; t < 16384; ++t) angles.push_back({std::numbers::pi * t / 8192, true});
  for (int i = 0; i < 4096; ++i)
  {
    const double x = 2.0 * i / 4095.0;
    for (double a : {kPi * (1.0 - x), kPi * x, 2.0 * kPi * x, 3.0 * kPi * x}) angles.push_back({a, false});
  }
  return angles;
}

TEST(PortableMath, EveryTableAngleIsCorrectlyRounded)
{
  Failures cosines, sines;
  for (auto [angle, sine] : TableAngles())
  {
    if (!portable_math::CosChecked(angle).correctlyRounded) cosines.Note("cos", angle);
    if (sine && !portable_math::SinChecked(angle).correctlyRounded) sines.Note("sin", angle);
  }
  EXPECT_EQ(cosines.count, 0) << cosines.first;
  EXPECT_EQ(sines.count, 0) << sines.first;
}

// The sensitivity measure's draws: u1 = float(d) 2^-31 for a 31-bit draw d, whose
// logarithm it takes, and the angle float(float(d) 2^-31) * 6.2831855f, whose cosine
// it takes. These are every single-precision integer up to 2^31, scaled; a sample of
// them by default, all 75 million with TESK_MATH_EXHAUSTIVE=1 (about a minute).
TEST(PortableMath, EveryDrawOfTheMeasureIsCorrectlyRounded)
{
  const bool exhaustive = std::getenv("TESK_MATH_EXHAUSTIVE") != nullptr;
  Failures logs, cosines;
  long values = 0;
  std::uint64_t d = 0;
  while (d <= (std::uint64_t{1} << 31))
  {
    const float u = static_cast<float>(d) * (1.0f / 2147483648.0f);
    const double angle = static_cast<float>(u * 6.2831855f);
    if (!portable_math::CosChecked(angle).correctlyRounded) cosines.Note("cos", angle);
    if (u > 0.0f && !portable_math::LogChecked(u).correctlyRounded) logs.Note("log", u);
    ++values;
    // Consecutive single-precision integers; the sample strides over them.
    const int bits = 64 - __builtin_clzll(d | 1);
    const std::uint64_t spacing = bits > 24 ? std::uint64_t{1} << (bits - 24) : 1;
    d += exhaustive ? spacing : spacing * 293;
  }
  EXPECT_EQ(cosines.count, 0) << cosines.first;
  EXPECT_EQ(logs.count, 0) << logs.first;
  EXPECT_GT(values, exhaustive ? 75000000 : 250000);
}

// The reciprocals of the measure's fast logarithm: 1/(1 + (j + 0.5)/128) to 20 bits.
TEST(PortableMath, TheFastLogarithmsReciprocalsAreCorrectlyRounded)
{
  for (int j = 0; j < 128; ++j)
  {
    const double centre = 1.0 + (j + 0.5) / 128.0;
    const double reciprocal = std::ldexp(std::nearbyint(std::ldexp(1.0 / centre, 20)), -20);
    EXPECT_TRUE(portable_math::LogChecked(reciprocal).correctlyRounded) << j;
  }
}

// Where the platform's function gives another double, a wider reference must lie
// closer to ours (or as close: a tie within the reference's own precision). The
// reference is the platform's long double function, used only where long double is
// wider than double.
template <class Ours, class Library, class Wide>
void ExpectDisagreementsFavourUs(const char* name, const std::vector<double>& args, Ours ours, Library library,
                                 Wide wide, double largestShare = 0.01)
{
  if (std::numeric_limits<long double>::digits <= std::numeric_limits<double>::digits)
    GTEST_SKIP() << "long double is no wider than double here";
  long disagreements = 0;
  for (double x : args)
  {
    const double mine = ours(x), theirs = library(x);
    if (mine == theirs || (mine != mine && theirs != theirs)) continue;
    ++disagreements;
    const long double reference = wide(static_cast<long double>(x));
    const long double myDistance = std::fabs(static_cast<long double>(mine) - reference);
    const long double theirDistance = std::fabs(static_cast<long double>(theirs) - reference);
    // Both within an ulp: the reference decides unless it lies within its own
    // precision of the midpoint.
    const long double ulp = std::fabs(static_cast<long double>(mine) - static_cast<long double>(theirs));
    EXPECT_LE(myDistance, theirDistance + ulp * 0x1p-8L) << name << "(" << std::hexfloat << x << ")";
    EXPECT_LE(ulp, std::fabs(static_cast<long double>(std::nextafter(mine, theirs)) - mine))
      << name << "(" << std::hexfloat << x << "): more than one ulp apart";
  }
  // The library disagrees on a small share of arguments only (a wrong constant or
  // quadrant of ours would show as disagreement everywhere).
  EXPECT_LT(static_cast<double>(disagreements), largestShare * static_cast<double>(args.size())) << name;
}

std::vector<double> Uniform(double lo, double hi, int n, unsigned seed)
{
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> dist(lo, hi);
  std::vector<double> v(static_cast<size_t>(n));
  for (double& x : v) x = dist(rng);
  return v;
}

std::vector<double> LogUniform(double lo, double hi, int n, unsigned seed)
{
  std::vector<double> v = Uniform(std::log(lo), std::log(hi), n, seed);
  for (double& x : v) x = std::exp(x);
  return v;
}

TEST(PortableMath, DisagreementsWithTheLibraryAreTheLibrarysRounding)
{
  constexpr int kN = 1 << 16;
  ExpectDisagreementsFavourUs(
    "cos", Uniform(-30000.0, 30000.0, kN, 1), portable_math::Cos, [](double x) { return std::cos(x); },
    [](long double x) { return std::cos(x); });
  ExpectDisagreementsFavourUs(
    "sin", Uniform(-8.0, 8.0, kN, 2), portable_math::Sin, [](double x) { return std::sin(x); },
    [](long double x) { return std::sin(x); });
  ExpectDisagreementsFavourUs(
    "log", LogUniform(1e-300, 1e300, kN, 3), portable_math::Log, [](double x) { return std::log(x); },
    [](long double x) { return std::log(x); });
  ExpectDisagreementsFavourUs(
    "log10", LogUniform(1e-30, 1e30, kN, 4), portable_math::Log10, [](double x) { return std::log10(x); },
    [](long double x) { return std::log10(x); }, 0.05);  // the library's log10 errs more often
  ExpectDisagreementsFavourUs(
    "exp", Uniform(-700.0, 700.0, kN, 5), portable_math::Exp, [](double x) { return std::exp(x); },
    [](long double x) { return std::exp(x); });
  // The demo's sweep: 150^y for y in [0, 1].
  ExpectDisagreementsFavourUs(
    "pow", Uniform(0.0, 1.0, kN, 6), [](double y) { return portable_math::Pow(150.0, y); },
    [](double y) { return std::pow(150.0, y); }, [](long double y) { return std::pow(150.0L, y); });
}

struct SpecialCase
{
  const char* name;
  Checked got;
  double expected;
};

TEST(PortableMath, SpecialValues)
{
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const SpecialCase cases[] = {
    {"cos 0", portable_math::CosChecked(0.0), 1.0},
    {"sin -0", portable_math::SinChecked(-0.0), -0.0},
    // The reduction by pi/2 keeps its accuracy where almost everything cancels.
    {"sin of pi", portable_math::SinChecked(std::numbers::pi), 0x1.1a62633145c07p-53},
    {"cos of pi/2", portable_math::CosChecked(std::numbers::pi / 2), 0x1.1a62633145c07p-54},
    {"cos of 2^26 (outside)", portable_math::CosChecked(0x1p26), kNaN},
    {"cos inf", portable_math::CosChecked(kInf), kNaN},
    {"log 1", portable_math::LogChecked(1.0), 0.0},
    {"log 0", portable_math::LogChecked(0.0), -kInf},
    {"log -1", portable_math::LogChecked(-1.0), kNaN},
    {"log inf", portable_math::LogChecked(kInf), kInf},
    {"log of the least subnormal", portable_math::LogChecked(0x1p-1074), -0x1.74385446d71c3p+9},
    {"log 2", portable_math::LogChecked(2.0), 0x1.62e42fefa39efp-1},
    {"log10 1000", portable_math::Log10Checked(1000.0), 3.0},
    {"exp 0", portable_math::ExpChecked(0.0), 1.0},
    {"exp 1", portable_math::ExpChecked(1.0), 0x1.5bf0a8b145769p+1},
    {"exp 710", portable_math::ExpChecked(710.0), kInf},
    {"exp -746", portable_math::ExpChecked(-746.0), 0.0},
    {"pow 2^0.5", portable_math::PowChecked(2.0, 0.5), 0x1.6a09e667f3bcdp+0},
    {"pow 10^2", portable_math::PowChecked(10.0, 2.0), 100.0},
    {"pow 150^1", portable_math::PowChecked(150.0, 1.0), 150.0},
    {"pow x^0", portable_math::PowChecked(-3.0, 0.0), 1.0},
    {"pow of a negative base", portable_math::PowChecked(-2.0, 0.5), kNaN},
  };
  for (const SpecialCase& c : cases)
  {
    if (c.expected != c.expected)
    {
      EXPECT_TRUE(c.got.value != c.got.value) << c.name;
      continue;
    }
    EXPECT_EQ(c.got.value, c.expected) << c.name << ": " << std::hexfloat << c.got.value;
    EXPECT_EQ(std::signbit(c.got.value), std::signbit(c.expected)) << c.name;
    EXPECT_TRUE(c.got.correctlyRounded) << c.name;
  }
}
}  // namespace
