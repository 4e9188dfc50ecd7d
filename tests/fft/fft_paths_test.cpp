// The code paths: every path this machine offers gives the same bytes as the
// portable one, the engine's transforms stay within a few units in the last
// place of a direct evaluation, and the path choice follows the processor and
// TESK_FFT_PATH.

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "fft4g.h"
#include "fft4g_kernels.h"

namespace
{

using Vec = std::vector<double>;
using fft4g::Path;

std::vector<Path> availablePaths()
{
  std::vector<Path> paths;
  for (int p = 0; p < fft4g::kPathCount; ++p)
    if (fft4g::pathAvailable(static_cast<Path>(p))) paths.push_back(static_cast<Path>(p));
  return paths;
}

// Restores the path that was active when the test began.
class PathGuard final
{
public:
  PathGuard()
    : saved_(fft4g::activePath())
  {
  }
  ~PathGuard() { fft4g::forcePath(saved_); }
  PathGuard(const PathGuard&) = delete;
  PathGuard& operator=(const PathGuard&) = delete;

private:
  Path saved_;
};

// Inputs that tell paths apart: random values, impulses, a sine, values of
// wildly mixed magnitude, and the constant complex value (-0, -0.75), whose
// partial transforms all have a (-0, negative) value at offset 0: multiplying
// that by the twiddle 1 gives +0, so a path that multiplies there where another
// does not shows in the bytes.
struct Signal
{
  const char* name;
  double (*sample)(int i, int n, std::mt19937_64& rng);
};

double uniform(std::mt19937_64& rng) { return std::uniform_real_distribution<double>(-1.0, 1.0)(rng); }

const Signal kSignals[] = {
  {"random", [](int, int, std::mt19937_64& rng) { return uniform(rng); }},
  {"impulse_at_0", [](int i, int, std::mt19937_64&) { return i == 0 ? 1.0 : 0.0; }},
  {"impulse_at_7", [](int i, int n, std::mt19937_64&) { return i == 7 % n ? -0.5 : 0.0; }},
  {"sine", [](int i, int n, std::mt19937_64&) { return std::sin(2.0 * M_PI * 37.25 * i / n); }},
  {"mixed",
   [](int i, int, std::mt19937_64& rng) {
     const double x = uniform(rng);
     switch (i % 5)
     {
       case 0: return 0.0;
       case 1: return -0.0;
       case 2: return std::ldexp(x, 300);
       case 3: return std::ldexp(x, -300);
       default: return x;
     }
   }},
  {"negative_zero_real_parts", [](int i, int, std::mt19937_64&) { return (i & 1) ? -0.75 : -0.0; }},
};

Vec makeSignal(const Signal& s, int n, unsigned seed)
{
  std::mt19937_64 rng(seed);
  Vec v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = s.sample(i, n, rng);
  return v;
}

bool sameBytes(const Vec& x, const Vec& y)
{
  return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
}

// The transforms as the engine and the other callers run them. Work areas are
// sized for 8192 points and kept per test case, so that lengths below the one
// the tables were made for read them with a stride, as in the engine.
struct Transform
{
  const char* name;
  int inputExtra;  // values beyond n (dfct reads n + 1)
  void (*run)(const FFTOoura& f, int n, double* a, double* t, int* ip, double* w);
};

const Transform kTransforms[] = {
  {"rdft_forward", 0, [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.rdft(n, 1, a, ip, w); }},
  {"rdft_inverse", 0,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.rdft(n, -1, a, ip, w); }},
  {"cdft_forward", 0, [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.cdft(n, 1, a, ip, w); }},
  {"cdft_backward", 0,
   [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.cdft(n, -1, a, ip, w); }},
  {"ddct", 0, [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddct(n, -1, a, ip, w); }},
  {"ddst", 0, [](const FFTOoura& f, int n, double* a, double*, int* ip, double* w) { f.ddst(n, 1, a, ip, w); }},
  {"dfct", 1, [](const FFTOoura& f, int n, double* a, double* t, int* ip, double* w) { f.dfct(n, a, t, ip, w); }},
};

struct WorkAreas
{
  explicit WorkAreas(int largest)
    : ip(2 + static_cast<size_t>(std::sqrt(largest / 2.0)) + 1, 0),
      w(static_cast<size_t>(largest) * 5 / 4, 0.0),
      t(static_cast<size_t>(largest) / 2 + 1, 0.0)
  {
  }
  std::vector<int> ip;
  Vec w;
  Vec t;
};

Vec transformed(const Transform& tr, int n, const Vec& input, WorkAreas& work)
{
  Vec a = input;
  tr.run(FFTOoura(), n, a.data(), work.t.data(), work.ip.data(), work.w.data());
  return a;
}

// The engine's case: 4096 and 8192 points, both directions, with work areas
// made for each length and with one pair made for 8192 serving both.
TEST(FftPaths, EngineTransformsGiveTheSameBytesOnEveryPath)
{
  const PathGuard guard;
  const std::vector<Path> paths = availablePaths();
  for (int n : {4096, 8192})
  {
    for (int isgn : {1, -1})
    {
      for (const Signal& s : kSignals)
      {
        for (bool shared : {false, true})
        {
          SCOPED_TRACE(std::string(s.name) + " n=" + std::to_string(n) + " isgn=" + std::to_string(isgn) +
                       (shared ? " (tables for 8192)" : " (tables for n)"));
          const Vec input = makeSignal(s, n, static_cast<unsigned>(n + isgn));
          Vec reference;
          for (Path path : paths)
          {
            ASSERT_TRUE(fft4g::forcePath(path));
            WorkAreas work(8192);
            if (shared)
            {
              Vec scratch(8192, 0.0);
              FFTOoura().rdft(8192, 1, scratch.data(), work.ip.data(), work.w.data());
            }
            Vec a = input;
            FFTOoura().rdft(n, isgn, a.data(), work.ip.data(), work.w.data());
            if (path == Path::Portable)
              reference = a;
            else
              EXPECT_TRUE(sameBytes(a, reference)) << fft4g::pathName(path) << " differs from portable";
          }
        }
      }
    }
  }
}

// Every transform, every length from 2 to 16384, on every path.
TEST(FftPaths, AllTransformsAndLengthsGiveTheSameBytesOnEveryPath)
{
  const PathGuard guard;
  const std::vector<Path> paths = availablePaths();
  for (const Transform& tr : kTransforms)
  {
    for (int n = 2; n <= 16384; n *= 2)
    {
      for (const Signal& s : {kSignals[0], kSignals[2], kSignals[4], kSignals[5]})
      {
        SCOPED_TRACE(std::string(tr.name) + " " + s.name + " n=" + std::to_string(n));
        const Vec input = makeSignal(s, n + tr.inputExtra, static_cast<unsigned>(3 * n));
        Vec reference;
        for (Path path : paths)
        {
          ASSERT_TRUE(fft4g::forcePath(path));
          WorkAreas work(16384);
          const Vec a = transformed(tr, n, input, work);
          if (path == Path::Portable)
            reference = a;
          else
            EXPECT_TRUE(sameBytes(a, reference)) << fft4g::pathName(path) << " differs from portable";
        }
      }
    }
  }
}

// The full direct transform in long double, angles reduced exactly.
Vec directRdft(int isgn, const Vec& a)
{
  const int n = static_cast<int>(a.size());
  const long double pi = 3.14159265358979323846264338327950288L;
  std::vector<long double> c(static_cast<size_t>(n)), s(static_cast<size_t>(n));
  for (int j = 0; j < n; ++j)
  {
    c[static_cast<size_t>(j)] = std::cos(2 * pi * j / n);
    s[static_cast<size_t>(j)] = std::sin(2 * pi * j / n);
  }
  auto at = [n](long long j, long long k) { return static_cast<size_t>(j * k % n); };
  Vec out(static_cast<size_t>(n));
  if (isgn > 0)
  {
    for (int k = 0; k <= n / 2; ++k)
    {
      long double re = 0, im = 0;
      for (int j = 0; j < n; ++j)
      {
        re += a[static_cast<size_t>(j)] * c[at(j, k)];
        im += a[static_cast<size_t>(j)] * s[at(j, k)];
      }
      if (k == 0)
        out[0] = static_cast<double>(re);
      else if (k == n / 2)
        out[1] = static_cast<double>(re);
      else
      {
        out[2 * static_cast<size_t>(k)] = static_cast<double>(re);
        out[2 * static_cast<size_t>(k) + 1] = static_cast<double>(im);
      }
    }
    return out;
  }
  for (int j = 0; j < n; ++j)
  {
    long double x = 0.5L * (a[0] + ((j & 1) ? -a[1] : a[1]));
    for (int k = 1; k < n / 2; ++k)
      x += a[2 * static_cast<size_t>(k)] * c[at(j, k)] + a[2 * static_cast<size_t>(k) + 1] * s[at(j, k)];
    out[static_cast<size_t>(j)] = static_cast<double>(x);
  }
  return out;
}

// Largest error relative to the largest value of the exact result.
double peakRelativeError(const Vec& got, const Vec& want)
{
  double error = 0.0, peak = 0.0;
  for (size_t i = 0; i < want.size(); ++i)
  {
    error = std::max(error, std::fabs(got[i] - want[i]));
    peak = std::max(peak, std::fabs(want[i]));
  }
  return error / peak;
}

// Double precision throughout: errors of at most a few units in the last place
// of the spectrum's (or signal's) largest value, against every value of the
// direct transform. (Measured: up to about 2.2 units.)
TEST(FftPaths, EngineTransformsMatchTheDirectTransformToRounding)
{
  const PathGuard guard;
  for (Path path : {Path::Portable, fft4g::preferredPath(nullptr)})
  {
    ASSERT_TRUE(fft4g::forcePath(path));
    for (int n : {4096, 8192})
    {
      for (int isgn : {1, -1})
      {
        for (const Signal& s : {kSignals[0], kSignals[2], kSignals[3]})
        {
          SCOPED_TRACE(std::string(fft4g::pathName(path)) + " " + s.name + " n=" + std::to_string(n) +
                       " isgn=" + std::to_string(isgn));
          const Vec input = makeSignal(s, n, 29);
          WorkAreas work(n);
          Vec a = input;
          FFTOoura().rdft(n, isgn, a.data(), work.ip.data(), work.w.data());
          EXPECT_LE(peakRelativeError(a, directRdft(isgn, input)), 4.0 * DBL_EPSILON);
        }
      }
    }
  }
}

TEST(FftPaths, PreferredPathIsTheRequestedOneWhenAvailableElseTheWidest)
{
  Path widest = Path::Portable;
  for (Path p : availablePaths()) widest = p;
  EXPECT_EQ(fft4g::preferredPath(nullptr), widest);
  EXPECT_EQ(fft4g::preferredPath("no such path"), widest);
  EXPECT_EQ(fft4g::preferredPath(""), widest);
  for (int p = 0; p < fft4g::kPathCount; ++p)
  {
    const Path path = static_cast<Path>(p);
    SCOPED_TRACE(fft4g::pathName(path));
    EXPECT_EQ(fft4g::preferredPath(fft4g::pathName(path)), fft4g::pathAvailable(path) ? path : widest);
  }
}

TEST(FftPaths, ForcingAPathTheMachineLacksIsRefused)
{
  const PathGuard guard;
  ASSERT_TRUE(fft4g::forcePath(Path::Portable));
  for (int p = 0; p < fft4g::kPathCount; ++p)
  {
    const Path path = static_cast<Path>(p);
    SCOPED_TRACE(fft4g::pathName(path));
    EXPECT_EQ(fft4g::forcePath(path), fft4g::pathAvailable(path));
    EXPECT_EQ(fft4g::activePath(), fft4g::pathAvailable(path) ? path : Path::Portable);
    ASSERT_TRUE(fft4g::forcePath(Path::Portable));
  }
}

// Run by CTest once per path name with TESK_FFT_PATH set (see CMakeLists.txt):
// the first transform of a process takes the path the environment names.
TEST(FftPaths, EnvironmentChoosesThePath)
{
  const char* request = std::getenv("TESK_FFT_PATH");
  if (request == nullptr) GTEST_SKIP() << "TESK_FFT_PATH is not set";
  for (int p = 0; p < fft4g::kPathCount; ++p)
  {
    const Path path = static_cast<Path>(p);
    if (std::strcmp(request, fft4g::pathName(path)) != 0) continue;
    if (!fft4g::pathAvailable(path)) GTEST_SKIP() << request << " is not available on this machine";
    EXPECT_EQ(fft4g::activePath(), path);
    return;
  }
  FAIL() << "unknown path name " << request;
}

// A build without the x86-64 kernels (every other processor's build) has the
// portable path only.
TEST(FftPaths, BuildsWithoutX86KernelsOfferOnlyThePortablePath)
{
  if (TESK_FFT_X86_KERNELS) GTEST_SKIP() << "this library has the x86-64 kernels";
  EXPECT_EQ(availablePaths(), std::vector<Path>{Path::Portable});
  EXPECT_EQ(fft4g::activePath(), Path::Portable);
}

}  // namespace
