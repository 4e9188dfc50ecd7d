// Every transform against a direct evaluation of its defining sum, plus the
// properties the engine relies on: the packed real layout, the n/2 scale of the
// inverse and one set of work areas serving several lengths in any order.

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "direct_transforms.h"
#include "fft4g.h"

namespace
{

using Vec = std::vector<double>;

struct WorkAreas
{
  WorkAreas(int ipSize, int wSize)
    : ip(static_cast<size_t>(ipSize), 0),
      w(static_cast<size_t>(wSize), 0.0)
  {
  }
  std::vector<int> ip;
  Vec w;
};

// The smallest bit-reversal area a caller may pass for length n.
int ipSizeFor(int n) { return 2 + static_cast<int>(std::ceil(std::sqrt(n / 2.0))); }

Vec randomVector(int size, unsigned seed)
{
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  Vec v(static_cast<size_t>(size));
  for (double& x : v) x = dist(rng);
  return v;
}

double maxAbs(const Vec& v)
{
  double m = 0.0;
  for (double x : v) m = std::max(m, std::fabs(x));
  return m;
}

// Largest error relative to the reference's largest magnitude.
double relativeError(const Vec& got, const Vec& want)
{
  double e = 0.0;
  for (size_t i = 0; i < want.size(); ++i) e = std::max(e, std::fabs(got[i] - want[i]));
  return e / maxAbs(want);
}

// Rounding grows with the number of butterfly passes.
double tolerance(int n) { return 2.0 * DBL_EPSILON * (std::log2(std::max(n, 2)) + 1.0); }

struct TransformCase
{
  const char* name;
  int minN;
  int (*inputLength)(int n);
  int (*wSize)(int n);
  int (*tSize)(int n);
  void (*run)(const FFTOoura& f, int n, double* a, double* t, int* ip, double* w);
  Vec (*reference)(const Vec& a);
};

int lengthN(int n) { return n; }
int lengthNPlus1(int n) { return n + 1; }
int none(int) { return 0; }

const TransformCase kCases[] = {
  {"rdft_forward", 2, lengthN, [](int n) { return n / 2; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.rdft(n, 1, a, ip, w); },
   [](const Vec& a) { return direct::rdft(1, a); }},
  {"rdft_inverse", 2, lengthN, [](int n) { return n / 2; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.rdft(n, -1, a, ip, w); },
   [](const Vec& a) { return direct::rdft(-1, a); }},
  {"cdft_forward", 2, lengthN, [](int n) { return n / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.cdft(n, 1, a, ip, w); },
   [](const Vec& a) { return direct::cdft(1, a); }},
  {"cdft_backward", 2, lengthN, [](int n) { return n / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.cdft(n, -1, a, ip, w); },
   [](const Vec& a) { return direct::cdft(-1, a); }},
  {"ddct_forward", 2, lengthN, [](int n) { return n * 5 / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddct(n, -1, a, ip, w); },
   [](const Vec& a) { return direct::ddct(-1, a); }},
  {"ddct_inverse", 2, lengthN, [](int n) { return n * 5 / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddct(n, 1, a, ip, w); },
   [](const Vec& a) { return direct::ddct(1, a); }},
  {"ddst_forward", 2, lengthN, [](int n) { return n * 5 / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddst(n, -1, a, ip, w); },
   [](const Vec& a) { return direct::ddst(-1, a); }},
  {"ddst_inverse", 2, lengthN, [](int n) { return n * 5 / 4; }, none,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddst(n, 1, a, ip, w); },
   [](const Vec& a) { return direct::ddst(1, a); }},
  {"dfct", 2, lengthNPlus1, [](int n) { return n * 5 / 8; }, [](int n) { return n / 2 + 1; },
   [](const FFTOoura& f, int n, double* a, double* t, int* ip, double* w) { f.dfct(n, a, t, ip, w); },
   [](const Vec& a) { return direct::dfct(a); }},
  {"dfst", 2, lengthN, [](int n) { return n * 5 / 8; }, [](int n) { return n / 2; },
   [](const FFTOoura& f, int n, double* a, double* t, int* ip, double* w) { f.dfst(n, a, t, ip, w); },
   [](const Vec& a) { return direct::dfst(a); }},
};

constexpr int kLargestTested = 1024;

// Fresh work areas of exactly the documented minimum size, so a sanitizer build
// catches any access beyond them.
TEST(FftTransforms, MatchDefinitionsWithMinimalWorkAreas)
{
  const FFTOoura fft;
  for (const TransformCase& c : kCases)
  {
    for (int n = c.minN; n <= kLargestTested; n *= 2)
    {
      SCOPED_TRACE(std::string(c.name) + " n=" + std::to_string(n));
      const Vec input = randomVector(c.inputLength(n), static_cast<unsigned>(n));
      Vec a = input;
      Vec t(static_cast<size_t>(c.tSize(n)));
      WorkAreas work(ipSizeFor(n), c.wSize(n));
      c.run(fft, n, a.data(), t.data(), work.ip.data(), work.w.data());
      EXPECT_LE(relativeError(a, c.reference(input)), tolerance(n));
    }
  }
}

// One work area sized for the largest length serves every transform and
// length in any order: tables grow on the way up (the cosine table moving behind
// a grown cosine/sine table) and are reused on the way down.
TEST(FftTransforms, OneWorkAreaServesAllTransformsAndLengths)
{
  const FFTOoura fft;
  constexpr int largest = 512;
  WorkAreas work(ipSizeFor(largest), largest * 5 / 4);
  Vec t(largest / 2 + 1);
  std::vector<int> lengths;
  for (int n = 2; n <= largest; n *= 2) lengths.push_back(n);
  for (int n = largest / 2; n >= 2; n /= 2) lengths.push_back(n);
  for (int n : lengths)
  {
    for (const TransformCase& c : kCases)
    {
      SCOPED_TRACE(std::string(c.name) + " n=" + std::to_string(n));
      const Vec input = randomVector(c.inputLength(n), static_cast<unsigned>(3 * n + 1));
      Vec a = input;
      c.run(fft, n, a.data(), t.data(), work.ip.data(), work.w.data());
      EXPECT_LE(relativeError(a, c.reference(input)), tolerance(n));
    }
  }
}

// The undo recipes that go with each transform restore the input.
TEST(FftTransforms, DocumentedInversesRestoreInput)
{
  const FFTOoura fft;
  constexpr int n = 256;
  struct Case
  {
    const char* name;
    int length;
    void (*roundTrip)(const FFTOoura& f, double* a, double* t, int* ip, double* w);
  };
  const Case cases[] = {
    {"ddct", n,
     [](const FFTOoura& f, double* a, double*, int* ip, double* w) {
       f.ddct(n, -1, a, ip, w);
       a[0] *= 0.5;
       f.ddct(n, 1, a, ip, w);
       for (int j = 0; j < n; ++j) a[j] *= 2.0 / n;
     }},
    {"ddst", n,
     [](const FFTOoura& f, double* a, double*, int* ip, double* w) {
       f.ddst(n, -1, a, ip, w);
       a[0] *= 0.5;
       f.ddst(n, 1, a, ip, w);
       for (int j = 0; j < n; ++j) a[j] *= 2.0 / n;
     }},
    {"dfct", n + 1,
     [](const FFTOoura& f, double* a, double* t, int* ip, double* w) {
       a[0] *= 0.5;
       a[n] *= 0.5;
       f.dfct(n, a, t, ip, w);
       a[0] *= 0.5;
       a[n] *= 0.5;
       f.dfct(n, a, t, ip, w);
       for (int j = 0; j <= n; ++j) a[j] *= 2.0 / n;
     }},
    {"dfst", n,
     [](const FFTOoura& f, double* a, double* t, int* ip, double* w) {
       f.dfst(n, a, t, ip, w);
       f.dfst(n, a, t, ip, w);
       for (int j = 1; j < n; ++j) a[j] *= 2.0 / n;
     }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Vec input = randomVector(c.length, 7);
    if (std::string(c.name) == "dfst") input[0] = 0.0;  // work space, not data
    Vec a = input;
    Vec t(n / 2 + 1);
    WorkAreas work(ipSizeFor(n), n * 5 / 4);
    c.roundTrip(fft, a.data(), t.data(), work.ip.data(), work.w.data());
    EXPECT_LE(relativeError(a, input), tolerance(n));
  }
}

// The engine's lengths against direct sums at a sample of bins (forward) or
// samples (inverse), including both ends and the middle of the packed layout.
TEST(FftTransforms, EngineLengthsMatchDirectSumsAtSampledBins)
{
  const FFTOoura fft;
  for (int n : {4096, 8192})
  {
    SCOPED_TRACE("n=" + std::to_string(n));
    const Vec input = randomVector(n, 11);
    WorkAreas work(ipSizeFor(n), n / 2);
    std::vector<int> picks = {0, 1, 2, 3, n / 4, n / 4 + 1, n / 2 - 1, n / 2, n / 2 + 1, n - 2, n - 1};
    std::mt19937 rng(5);
    for (int i = 0; i < 40; ++i) picks.push_back(static_cast<int>(rng() % static_cast<unsigned>(n)));

    Vec forward = input;
    fft.rdft(n, 1, forward.data(), work.ip.data(), work.w.data());
    for (int entry : picks)
    {
      // Entry 0: R[0]; entry 1: R[n/2]; entry 2k / 2k+1: R[k] / I[k].
      const long long k = entry == 1 ? n / 2 : entry / 2;
      const bool imaginary = entry > 1 && (entry & 1);
      long double want = 0;
      for (long long j = 0; j < n; ++j)
        want += input[j] * (imaginary ? direct::sinpi(2 * j * k, n) : direct::cospi(2 * j * k, n));
      EXPECT_NEAR(forward[entry], static_cast<double>(want), tolerance(n) * std::sqrt(n)) << "entry " << entry;
    }

    Vec inverse = input;
    fft.rdft(n, -1, inverse.data(), work.ip.data(), work.w.data());
    for (int j : picks)
    {
      long double want = 0.5L * (input[0] + input[1] * direct::cospi(j, 1));
      for (long long k = 1; k < n / 2; ++k)
        want += input[2 * k] * direct::cospi(2 * j * k, n) + input[2 * k + 1] * direct::sinpi(2 * j * k, n);
      EXPECT_NEAR(inverse[j], static_cast<double>(want), tolerance(n) * std::sqrt(n)) << "sample " << j;
    }
  }
}

// The complex transform at lengths whose passes run in several cache blocks.
TEST(FftTransforms, LongComplexTransformsMatchDirectSumsAtSampledBins)
{
  const FFTOoura fft;
  for (int n : {4096, 8192})
  {
    for (int isgn : {1, -1})
    {
      SCOPED_TRACE("n=" + std::to_string(n) + " isgn=" + std::to_string(isgn));
      const long long points = n / 2;
      const Vec input = randomVector(n, 37);
      Vec a = input;
      WorkAreas work(ipSizeFor(n), n / 4);
      fft.cdft(n, isgn, a.data(), work.ip.data(), work.w.data());
      std::mt19937 rng(41);
      for (int i = 0; i < 24; ++i)
      {
        const long long k =
          i < 4 ? i * (points / 4) + i : static_cast<long long>(rng() % static_cast<unsigned>(points));
        long double re = 0, im = 0;
        for (long long j = 0; j < points; ++j)
        {
          const long double c = direct::cospi(2 * j * k, points), s = isgn * direct::sinpi(2 * j * k, points);
          re += input[2 * j] * c - input[2 * j + 1] * s;
          im += input[2 * j] * s + input[2 * j + 1] * c;
        }
        EXPECT_NEAR(a[2 * k], static_cast<double>(re), tolerance(n) * std::sqrt(n)) << "bin " << k;
        EXPECT_NEAR(a[2 * k + 1], static_cast<double>(im), tolerance(n) * std::sqrt(n)) << "bin " << k;
      }
    }
  }
}

TEST(FftTransforms, UnitImpulseGivesFlatPackedSpectrum)
{
  const FFTOoura fft;
  for (int n : {2, 4, 8, 64, 4096, 8192})
  {
    SCOPED_TRACE("n=" + std::to_string(n));
    Vec a(static_cast<size_t>(n), 0.0);
    a[0] = 1.0;
    WorkAreas work(ipSizeFor(n), n / 2);
    fft.rdft(n, 1, a.data(), work.ip.data(), work.w.data());
    for (int i = 0; i < n; ++i) EXPECT_DOUBLE_EQ(a[i], (i < 2 || i % 2 == 0) ? 1.0 : 0.0) << "entry " << i;
  }
}

TEST(FftTransforms, ForwardThenInverseScalesByHalfTheLength)
{
  const FFTOoura fft;
  for (int n : {2, 8, 128, 4096, 8192})
  {
    SCOPED_TRACE("n=" + std::to_string(n));
    const Vec input = randomVector(n, 13);
    Vec a = input;
    WorkAreas work(ipSizeFor(n), n / 2);
    fft.rdft(n, 1, a.data(), work.ip.data(), work.w.data());
    fft.rdft(n, -1, a.data(), work.ip.data(), work.w.data());
    for (double& x : a) x /= n / 2;
    EXPECT_LE(relativeError(a, input), tolerance(n));
  }
}

// The engine's order: 4096, then 8192, then 4096 again with one ip/w pair. The
// tables grow once, then serve the smaller length with the very values a table
// made for it would hold, so results equal those of fresh work areas.
TEST(FftTransforms, TablesGrowOnceAndServeSmallerLengths)
{
  const FFTOoura fft;
  struct Step
  {
    int n;
    int isgn;
    int tableSizeAfter;  // ip[0] and ip[1]
  };
  const Step steps[] = {{4096, 1, 1024}, {8192, 1, 2048}, {4096, 1, 2048}, {4096, -1, 2048}, {8192, -1, 2048}};
  WorkAreas shared(ipSizeFor(8192), 8192 / 2);
  for (const Step& s : steps)
  {
    SCOPED_TRACE("n=" + std::to_string(s.n) + " isgn=" + std::to_string(s.isgn));
    const Vec input = randomVector(s.n, 17);
    Vec viaShared = input;
    Vec viaFresh = input;
    WorkAreas fresh(ipSizeFor(s.n), s.n / 2);
    fft.rdft(s.n, s.isgn, viaShared.data(), shared.ip.data(), shared.w.data());
    fft.rdft(s.n, s.isgn, viaFresh.data(), fresh.ip.data(), fresh.w.data());
    EXPECT_EQ(shared.ip[0], s.tableSizeAfter);
    EXPECT_EQ(shared.ip[1], s.tableSizeAfter);
    EXPECT_EQ(viaShared, viaFresh);
  }
}

// Lengths that are not powers of two (or too small) leave data and work areas
// untouched instead of reading or writing out of bounds.
TEST(FftTransforms, InvalidLengthsLeaveDataUnchanged)
{
  const FFTOoura fft;
  struct Case
  {
    const char* name;
    void (*run)(const FFTOoura& f, double* a, double* t, int* ip, double* w);
  };
  const Case cases[] = {
    {"rdft 12", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.rdft(12, 1, a, ip, w); }},
    {"rdft 1", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.rdft(1, 1, a, ip, w); }},
    {"rdft -8", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.rdft(-8, -1, a, ip, w); }},
    {"cdft 24", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.cdft(24, 1, a, ip, w); }},
    {"ddct 0", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.ddct(0, -1, a, ip, w); }},
    {"ddst 6", [](const FFTOoura& f, double* a, double*, int* ip, double* w) { f.ddst(6, 1, a, ip, w); }},
    {"dfct 10", [](const FFTOoura& f, double* a, double* t, int* ip, double* w) { f.dfct(10, a, t, ip, w); }},
    {"dfst 3", [](const FFTOoura& f, double* a, double* t, int* ip, double* w) { f.dfst(3, a, t, ip, w); }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Vec input = randomVector(32, 19);
    Vec a = input;
    Vec t(32, 0.0);
    WorkAreas work(16, 64);
    c.run(fft, a.data(), t.data(), work.ip.data(), work.w.data());
    EXPECT_EQ(a, input);
    EXPECT_EQ(work.ip[0], 0);
  }
}

}  // namespace
