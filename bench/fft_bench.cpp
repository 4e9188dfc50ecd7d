// Speed of the real FFT: ours against FFTW's double-precision real plans
// (FFTW_MEASURE) at the engine's lengths, measured in the same run, and how our
// cost per n log2 n scales from 256 to 65536 points.
//
// Every timed iteration copies a fixed input into the work buffer and then
// transforms it in place, for both libraries alike, as the engine does (its
// frames are copied into a work buffer before each transform). The cost of the
// copy alone is measured too.
//
// The machine is usually shared, so by default every benchmark runs 20 short
// repetitions in random interleaving with the others (each sees the same mix
// of background load) and the summary takes the fastest one; Google
// Benchmark's own options override these defaults.
//
// Both libraries transform buffers from the same allocator (fftw_malloc). The
// wide code paths are sensitive to where a buffer starts: ours is measured
// also on a buffer 16 bytes past a 64-byte boundary, where a std::vector of
// this size often starts, so that the summary shows that cost as well.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BenchArguments.h"
#include "fft4g.h"
#include "fft4g_kernels.h"

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

// Offset from p (fftw_malloc's, at least 16-byte aligned) to the next address
// 16 bytes past a 64-byte boundary.
size_t offsetTo16Mod64(const void* p)
{
  const auto address = reinterpret_cast<uintptr_t>(p);
  return (16 + 64 - address % 64) % 64;
}

// n doubles from fftw_malloc, or (at16) from 16 bytes past a 64-byte boundary
// inside such a block.
class WorkBuffer final
{
public:
  WorkBuffer(size_t n, bool at16)
    : raw_(static_cast<double*>(fftw_malloc(n * sizeof(double) + 64))),
      data_(reinterpret_cast<double*>(reinterpret_cast<char*>(raw_) + (at16 ? offsetTo16Mod64(raw_) : 0)))
  {
  }
  ~WorkBuffer() { fftw_free(raw_); }
  WorkBuffer(const WorkBuffer&) = delete;
  WorkBuffer& operator=(const WorkBuffer&) = delete;
  double* data() { return data_; }

private:
  double* raw_;
  double* data_;
};

void copyOnly(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> source = randomSignal(n);
  WorkBuffer work(source.size(), false);
  for (auto _ : state)
  {
    std::memcpy(work.data(), source.data(), source.size() * sizeof(double));
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

// Our transform in one direction; misaligned: on a buffer 16 bytes past a
// 64-byte boundary.
void ours(benchmark::State& state, int isgn, bool misaligned)
{
  const int n = static_cast<int>(state.range(0));
  const FFTOoura fft;
  OurWorkAreas areas(n);
  std::vector<double> source = randomSignal(n);
  if (isgn < 0) fft.rdft(n, 1, source.data(), areas.ip.data(), areas.w.data());  // a packed spectrum
  WorkBuffer work(source.size(), misaligned);
  for (auto _ : state)
  {
    std::memcpy(work.data(), source.data(), source.size() * sizeof(double));
    fft.rdft(n, isgn, work.data(), areas.ip.data(), areas.w.data());
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void oursForward(benchmark::State& state) { ours(state, 1, false); }
void oursInverse(benchmark::State& state) { ours(state, -1, false); }
void oursForwardMisaligned(benchmark::State& state) { ours(state, 1, true); }
void oursInverseMisaligned(benchmark::State& state) { ours(state, -1, true); }

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

// Prints the usual table, keeps the fastest CPU time per iteration of every
// benchmark, and prints the comparison and scaling summaries at the end.
class SummaryReporter final : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
    {
      // Single runs, or the "min" statistic of repeated ones.
      const bool single = run.run_type == Run::RT_Iteration;
      const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
      if (!single && !fastest) continue;
      const double ns = run.GetAdjustedCPUTime();  // every benchmark reports in ns
      const std::string name = run.run_name.function_name + "/" + run.run_name.args;
      auto [it, inserted] = bestNs_.emplace(name, ns);
      if (!inserted) it->second = std::min(it->second, ns);
    }
  }

  void printSummary() const
  {
    std::printf("\nReal FFT, CPU time per transform (input copy included; fastest run; code path %s)\n",
                fft4g::pathName(fft4g::activePath()));
    std::printf("%6s  %-8s  %10s  %10s  %10s  %9s  %12s  %9s\n", "n", "dir", "ours [us]", "fftw [us]", "copy [us]",
                "ours/fftw", "ours@16 [us]", "ratio");
    for (int n : kEngineLengths)
    {
      const double copy = find("copy_only", n);
      printRow(n, "forward", find("ours_rdft_forward", n), find("fftw_r2c_measure", n), copy,
               find("ours_rdft_forward_at16", n));
      printRow(n, "inverse", find("ours_rdft_inverse", n), find("fftw_c2r_measure", n), copy,
               find("ours_rdft_inverse_at16", n));
    }
    std::printf("(ours@16: our buffer 16 bytes past a 64-byte boundary; ratio against fftw)\n");
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

  static void printRow(int n, const char* dir, double ours, double fftw, double copy, double oursAt16)
  {
    if (ours < 0 || fftw < 0) return;
    std::printf("%6d  %-8s  %10.2f  %10.2f  %10.2f  %9.2f  %12.2f  %9.2f\n", n, dir, ours / 1000.0, fftw / 1000.0,
                copy / 1000.0, ours / fftw, oursAt16 / 1000.0, oursAt16 / fftw);
  }

  std::map<std::string, double> bestNs_;
};

double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void registerBenchmarks()
{
  auto add = [](const char* name, void (*fn)(benchmark::State&)) {
    return benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kNanosecond)->ComputeStatistics("min", fastest);
  };
  auto* forward = add("ours_rdft_forward", oursForward);
  for (int n = kSmallestScaled; n <= kLargestScaled; n *= 2) forward->Arg(n);
  for (int n : kEngineLengths)
  {
    add("ours_rdft_inverse", oursInverse)->Arg(n);
    add("ours_rdft_forward_at16", oursForwardMisaligned)->Arg(n);
    add("ours_rdft_inverse_at16", oursInverseMisaligned)->Arg(n);
    add("fftw_r2c_measure", fftwForward)->Arg(n);
    add("fftw_c2r_measure", fftwInverse)->Arg(n);
    add("copy_only", copyOnly)->Arg(n);
  }
}

}  // namespace

int main(int argc, char** argv)
{
  if (!InitializeBenchmarks(argc, argv, 20, 0.05)) return 1;
  registerBenchmarks();
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  fftw_cleanup();
  return 0;
}
