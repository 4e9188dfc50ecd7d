// Speed of the real FFT: ours against FFTW's double-precision real plans
// (FFTW_MEASURE) at the engine's lengths, measured in the same run, and how our
// cost per n log2 n scales from 256 to 65536 points.
//
// Every timed iteration copies a fixed input into the work buffer and then
// transforms it in place, for both libraries alike, as the engine does (its
// frames are copied into a work buffer before each transform). The cost of the
// copy alone is measured too.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "fft4g.h"

namespace
{

constexpr int kEngineLengths[] = {4096, 8192};
constexpr int kSmallestScaled = 256;
constexpr int kLargestScaled = 65536;

std::vector<double> randomSignal(int n)
{
  std::mt19937_64 rng(static_cast<unsigned>(n));
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> v(static_cast<size_t>(n));
  for (double& x : v) x = dist(rng);
  return v;
}

struct OurWorkAreas
{
  explicit OurWorkAreas(int n)
    : ip(2 + static_cast<size_t>(std::sqrt(n / 2.0)) + 1, 0),
      w(static_cast<size_t>(n / 2))
  {
  }
  std::vector<int> ip;
  std::vector<double> w;
};

void copyOnly(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> source = randomSignal(n);
  std::vector<double> work(source.size());
  for (auto _ : state)
  {
    std::memcpy(work.data(), source.data(), source.size() * sizeof(double));
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void oursForward(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const FFTOoura fft;
  OurWorkAreas areas(n);
  const std::vector<double> source = randomSignal(n);
  std::vector<double> work(source.size());
  for (auto _ : state)
  {
    std::memcpy(work.data(), source.data(), source.size() * sizeof(double));
    fft.rdft(n, 1, work.data(), areas.ip.data(), areas.w.data());
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void oursInverse(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const FFTOoura fft;
  OurWorkAreas areas(n);
  std::vector<double> source = randomSignal(n);
  fft.rdft(n, 1, source.data(), areas.ip.data(), areas.w.data());  // a packed spectrum
  std::vector<double> work(source.size());
  for (auto _ : state)
  {
    std::memcpy(work.data(), source.data(), source.size() * sizeof(double));
    fft.rdft(n, -1, work.data(), areas.ip.data(), areas.w.data());
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

// In-place FFTW transform of n+2 doubles (n/2+1 complex bins).
class FftwInPlace final
{
public:
  FftwInPlace(int n, bool forward)
    : size_(static_cast<size_t>(n) + 2)
  {
    buffer_ = static_cast<double*>(fftw_malloc(size_ * sizeof(double)));
    auto* bins = reinterpret_cast<fftw_complex*>(buffer_);
    plan_ = forward ? fftw_plan_dft_r2c_1d(n, buffer_, bins, FFTW_MEASURE)
                    : fftw_plan_dft_c2r_1d(n, bins, buffer_, FFTW_MEASURE);
  }
  ~FftwInPlace()
  {
    fftw_destroy_plan(plan_);
    fftw_free(buffer_);
  }
  FftwInPlace(const FftwInPlace&) = delete;
  FftwInPlace& operator=(const FftwInPlace&) = delete;

  double* buffer() { return buffer_; }
  size_t size() const { return size_; }
  void execute() { fftw_execute(plan_); }

private:
  size_t size_;
  double* buffer_;
  fftw_plan plan_;
};

void fftwForward(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  FftwInPlace fft(n, true);  // planning overwrites the buffer, so plan first
  std::vector<double> source = randomSignal(n);
  source.resize(fft.size(), 0.0);
  for (auto _ : state)
  {
    std::memcpy(fft.buffer(), source.data(), static_cast<size_t>(n) * sizeof(double));
    fft.execute();
    benchmark::DoNotOptimize(fft.buffer());
    benchmark::ClobberMemory();
  }
}

void fftwInverse(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  FftwInPlace inverse(n, false);
  FftwInPlace forward(n, true);
  const std::vector<double> signal = randomSignal(n);
  std::copy(signal.begin(), signal.end(), forward.buffer());
  forward.execute();
  const std::vector<double> source(forward.buffer(), forward.buffer() + forward.size());  // the bins
  for (auto _ : state)
  {
    std::memcpy(inverse.buffer(), source.data(), source.size() * sizeof(double));
    inverse.execute();
    benchmark::DoNotOptimize(inverse.buffer());
    benchmark::ClobberMemory();
  }
}

// Prints the usual table, keeps the best CPU time per iteration of every
// benchmark, and prints the comparison and scaling summaries at the end.
class SummaryReporter final : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
    {
      if (run.run_type != Run::RT_Iteration) continue;
      const double ns = run.GetAdjustedCPUTime();  // every benchmark reports in ns
      auto [it, inserted] = bestNs_.emplace(run.benchmark_name(), ns);
      if (!inserted) it->second = std::min(it->second, ns);
    }
  }

  void printSummary() const
  {
    std::printf("\nReal FFT, CPU time per transform (input copy included; best run)\n");
    std::printf("%6s  %-8s  %10s  %10s  %10s  %9s\n", "n", "dir", "ours [us]", "fftw [us]", "copy [us]", "ours/fftw");
    for (int n : kEngineLengths)
    {
      const double copy = find("copy_only", n);
      printRow(n, "forward", find("ours_rdft_forward", n), find("fftw_r2c_measure", n), copy);
      printRow(n, "inverse", find("ours_rdft_inverse", n), find("fftw_c2r_measure", n), copy);
    }
    std::printf("\nOur forward real FFT, cost per n*log2(n) (copy included)\n");
    std::printf("%6s  %10s  %14s\n", "n", "time [us]", "ns/(n log2 n)");
    for (int n = kSmallestScaled; n <= kLargestScaled; n *= 2)
    {
      const double ns = find("ours_rdft_forward", n);
      if (ns < 0) continue;
      std::printf("%6d  %10.2f  %14.4f\n", n, ns / 1000.0, ns / (n * std::log2(static_cast<double>(n))));
    }
  }

private:
  double find(const char* family, int n) const
  {
    const auto it = bestNs_.find(std::string(family) + "/" + std::to_string(n));
    return it == bestNs_.end() ? -1.0 : it->second;
  }

  static void printRow(int n, const char* dir, double ours, double fftw, double copy)
  {
    if (ours < 0 || fftw < 0) return;
    std::printf("%6d  %-8s  %10.2f  %10.2f  %10.2f  %9.2f\n", n, dir, ours / 1000.0, fftw / 1000.0, copy / 1000.0,
                ours / fftw);
  }

  std::map<std::string, double> bestNs_;
};

void registerBenchmarks()
{
  auto* forward = benchmark::RegisterBenchmark("ours_rdft_forward", oursForward)->Unit(benchmark::kNanosecond);
  for (int n = kSmallestScaled; n <= kLargestScaled; n *= 2) forward->Arg(n);
  for (int n : kEngineLengths)
  {
    benchmark::RegisterBenchmark("ours_rdft_inverse", oursInverse)->Arg(n)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("fftw_r2c_measure", fftwForward)->Arg(n)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("fftw_c2r_measure", fftwInverse)->Arg(n)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("copy_only", copyOnly)->Arg(n)->Unit(benchmark::kNanosecond);
  }
}

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  registerBenchmarks();
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  fftw_cleanup();
  return 0;
}
