// Speed of the Tesk engine, each figure against a reference measured in the same run:
//   - throughput: seconds of stereo 44.1 kHz audio processed per CPU second, in
//     512-frame blocks, editor attached, not bypassed (real time = 1);
//   - the one 32-frame block in every 2048 samples that holds both stages' frame
//     steps, against that block's real-time budget of 32 / 44100 s;
//   - the engine's cost per 2048 samples against FFTW's time for the transform work
//     the plain algorithm does in that time (twelve 8192-point and four 4096-point
//     real transforms; FFTW_MEASURE plans, input copied in first as the engine does);
//   - the share of the engine's time that our FFT would take for that plain work
//     (six 4096-point and twelve 8192-point transforms, timed alone);
//   - one full redraw of the editor against the editor's 40 ms frame period.
//
// The machine is usually shared, so by default every benchmark runs 10 short
// repetitions in random interleaving with the others (each sees the same mix of
// background load) and the summary takes the fastest one; Google Benchmark's own
// options override these defaults.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchArguments.h"
#include "BusyTesk.h"
#include "IGraphicsHeadless.h"
#include "Tesk.h"
#include "fft4g.h"

namespace
{
constexpr double kRate = 44100.0;

std::unique_ptr<Tesk> MakeBusyTesk()
{
  RequestHeadlessEditors(true);  // the redraw benchmark draws the editor itself
  return NewBusyTesk(1u);
}

// A few seconds of stereo programme-like input, reused cyclically.
struct Input
{
  std::vector<double> l, r;
  explicit Input(int n)
    : l(n),
      r(n)
  {
    TeskRandom rnd(5u);
    for (int i = 0; i < n; ++i)
    {
      const double noise = 0.1 * (2.0 * rnd.Next() / TeskRandom::kMax - 1.0);
      l[i] = 0.4 * std::sin(i * 0.031) + noise;
      r[i] = 0.4 * std::sin(i * 0.047) - noise;
    }
  }
};

// CPU time of the calling thread: other processes on the machine do not count.
double ThreadCpuSeconds()
{
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void Process(Tesk& plug, Input& in, std::vector<double>& outL, std::vector<double>& outR, size_t* pPos, int n)
{
  if (*pPos + n > in.l.size()) *pPos = 0;
  double* ins[2] = {in.l.data() + *pPos, in.r.data() + *pPos};
  double* outs[2] = {outL.data(), outR.data()};
  plug.ProcessDoubleReplacing(ins, outs, n);
  *pPos += n;
}

void BM_Throughput512(benchmark::State& state)
{
  auto plug = MakeBusyTesk();
  Input in(1 << 18);
  std::vector<double> outL(512), outR(512);
  size_t pos = 0;
  for (int i = 0; i < 64; ++i) Process(*plug, in, outL, outR, &pos, 512);  // all frames running
  for (auto _ : state)
  {
    Process(*plug, in, outL, outR, &pos, 512);
    benchmark::DoNotOptimize(outL.data());
    if ((state.iterations() & 63) == 0)
    {
      state.PauseTiming();
      plug->OnIdle();  // the editor's timer pays the displays' notifications
      state.ResumeTiming();
    }
  }
  state.counters["audio_s_per_cpu_s"] =
    benchmark::Counter(static_cast<double>(state.iterations()) * 512.0 / kRate, benchmark::Counter::kIsRate);
}

// Only the 32-frame block that holds the frame steps is timed, in thread CPU time.
void BM_FrameStepBlock32(benchmark::State& state)
{
  auto plug = MakeBusyTesk();
  Input in(1 << 18);
  std::vector<double> outL(32), outR(32);
  size_t pos = 0;
  for (int i = 0; i < 1024; ++i) Process(*plug, in, outL, outR, &pos, 32);
  for (auto _ : state)
  {
    // Run up to the block that will step: the steps fall on every 2048th sample.
    for (;;)
    {
      const auto before = plug->GetEngine().FrameSteps1();
      const double t0 = ThreadCpuSeconds();
      Process(*plug, in, outL, outR, &pos, 32);
      const double t1 = ThreadCpuSeconds();
      if (plug->GetEngine().FrameSteps1() != before)
      {
        state.SetIterationTime(t1 - t0);
        break;
      }
    }
    plug->OnIdle();
  }
  state.counters["budget_s"] = 32.0 / kRate;
}

// The transforms of one frame step of each stage: 6 of 4096 and 12 of 8192 points,
// per 2048 samples, on work areas whose tables are already built.
void BM_FFTPerHop(benchmark::State& state)
{
  FFTOoura fft;
  std::vector<int> ip(2160, 0);
  std::vector<double> w(32768), a(8192), src(8192);
  for (int i = 0; i < 8192; ++i) src[i] = std::sin(i * 0.1) * 0.5;
  fft.rdft(8192, 1, a.data(), ip.data(), w.data());
  for (auto _ : state)
  {
    for (int k = 0; k < 6; ++k)
    {
      std::copy(src.begin(), src.begin() + 4096, a.begin());
      fft.rdft(4096, k < 4 ? 1 : -1, a.data(), ip.data(), w.data());
    }
    for (int k = 0; k < 12; ++k)
    {
      std::copy(src.begin(), src.end(), a.begin());
      fft.rdft(8192, k < 8 ? 1 : -1, a.data(), ip.data(), w.data());
    }
    benchmark::DoNotOptimize(a.data());
  }
}

// FFTW doing the transform work of the plain algorithm per 2048 samples: twelve
// 8192-point real transforms (eight forward, four inverse) and four 4096-point
// forward ones, in place, each on an input copied in first.
class FftwPlan final
{
public:
  FftwPlan(int n, bool forward)
    : mN(n),
      mBuffer(static_cast<double*>(fftw_malloc((n + 2) * sizeof(double))))
  {
    auto* bins = reinterpret_cast<fftw_complex*>(mBuffer);
    mPlan = forward ? fftw_plan_dft_r2c_1d(n, mBuffer, bins, FFTW_MEASURE)
                    : fftw_plan_dft_c2r_1d(n, bins, mBuffer, FFTW_MEASURE);
  }
  ~FftwPlan()
  {
    fftw_destroy_plan(mPlan);
    fftw_free(mBuffer);
  }
  FftwPlan(const FftwPlan&) = delete;
  FftwPlan& operator=(const FftwPlan&) = delete;
  void Run(const double* source)
  {
    std::copy(source, source + mN + 2, mBuffer);
    fftw_execute(mPlan);
  }
  const double* Data() const { return mBuffer; }

private:
  int mN;
  double* mBuffer;
  fftw_plan mPlan;
};

void BM_FFTWPerHop(benchmark::State& state)
{
  FftwPlan forward8(8192, true), inverse8(8192, false), forward4(4096, true);
  std::vector<double> src(8194);
  for (int i = 0; i < 8192; ++i) src[i] = std::sin(i * 0.1) * 0.5;
  for (auto _ : state)
  {
    for (int k = 0; k < 4; ++k) forward4.Run(src.data());
    for (int k = 0; k < 8; ++k) forward8.Run(src.data());
    for (int k = 0; k < 4; ++k) inverse8.Run(src.data());
    benchmark::DoNotOptimize(inverse8.Data());
  }
}

// The engine's cost per 2048 samples in 512-frame blocks.
void BM_EnginePerHop(benchmark::State& state)
{
  auto plug = MakeBusyTesk();
  Input in(1 << 18);
  std::vector<double> outL(512), outR(512);
  size_t pos = 0;
  for (int i = 0; i < 64; ++i) Process(*plug, in, outL, outR, &pos, 512);
  for (auto _ : state)
  {
    for (int k = 0; k < 4; ++k) Process(*plug, in, outL, outR, &pos, 512);
    state.PauseTiming();
    plug->OnIdle();
    state.ResumeTiming();
  }
}

// One full redraw: every control of the editor, the displays full of spectra and points.
void BM_EditorRedraw(benchmark::State& state)
{
  auto plug = MakeBusyTesk();
  Input in(1 << 18);
  std::vector<double> outL(512), outR(512);
  size_t pos = 0;
  for (int i = 0; i < 400; ++i) Process(*plug, in, outL, outR, &pos, 512);
  plug->OnIdle();
  auto* g = dynamic_cast<IGraphicsHeadless*>(plug->EnsureGUI());
  g->OnEditorTimer();  // the displays take what the audio thread fed
  for (auto _ : state) benchmark::DoNotOptimize(g->DrawAll());
  state.counters["frame_period_s"] = 1.0 / 25.0;
}

double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_Throughput512)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_FrameStepBlock32)->UseManualTime()->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_FFTPerHop)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_FFTWPerHop)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_EnginePerHop)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_EditorRedraw)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

// Keeps the per-benchmark times and counters for the summary.
class SummaryReporter final : public benchmark::ConsoleReporter
{
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
    {
      // Single runs, or the "min" statistic of repeated ones.
      const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
      const bool fastest = r.run_type == Run::RT_Aggregate && r.aggregate_name == "min";
      if (!single && !fastest) continue;
      Entry& e = mEntries[r.run_name.function_name];
      e.cpuSeconds = r.GetAdjustedCPUTime() / 1e6;  // reported in microseconds
      e.realSeconds = r.GetAdjustedRealTime() / 1e6;
      for (const auto& [name, c] : r.counters) e.counters[name] = c.value;
    }
  }

  void PrintSummary()
  {
    std::printf("\nTesk engine summary (each figure against a reference from the same run)\n");
    if (Has("BM_Throughput512"))
    {
      // The counter is a rate: audio seconds per CPU second of the fastest repetition.
      const double perBlock = mEntries["BM_Throughput512"].cpuSeconds;
      std::printf("  throughput, 512-frame blocks:      %8.1f s of stereo 44.1 kHz audio per CPU second\n",
                  512.0 / kRate / perBlock);
    }
    if (Has("BM_FrameStepBlock32"))
    {
      const double t = mEntries["BM_FrameStepBlock32"].realSeconds;
      std::printf("  frame-step block of 32 frames:     %8.1f us CPU = %5.1f %% of its %.1f us budget\n", t * 1e6,
                  100.0 * t / (32.0 / kRate), 32.0 / kRate * 1e6);
    }
    if (Has("BM_EnginePerHop") && Has("BM_FFTWPerHop"))
    {
      const double w = mEntries["BM_FFTWPerHop"].cpuSeconds, e = mEntries["BM_EnginePerHop"].cpuSeconds;
      std::printf("  engine per 2048 samples vs FFTW:   %8.2f x (%.1f us against %.1f us for 12 x 8192 + 4 x 4096)\n",
                  e / w, e * 1e6, w * 1e6);
    }
    if (Has("BM_FFTPerHop") && Has("BM_EnginePerHop"))
    {
      const double f = mEntries["BM_FFTPerHop"].cpuSeconds, e = mEntries["BM_EnginePerHop"].cpuSeconds;
      std::printf("  plain transform work, our FFT:     %8.1f %% of the engine's time (%.1f us of %.1f us)\n",
                  100.0 * f / e, f * 1e6, e * 1e6);
    }
    if (Has("BM_EditorRedraw"))
    {
      const double t = mEntries["BM_EditorRedraw"].cpuSeconds;
      std::printf("  full editor redraw:                %8.1f us = %5.1f %% of the 40 ms frame period\n", t * 1e6,
                  100.0 * t / 0.04);
    }
  }

private:
  struct Entry
  {
    double cpuSeconds = 0.0, realSeconds = 0.0;
    std::map<std::string, double> counters;
  };
  bool Has(const std::string& name) const { return mEntries.count(name) != 0; }
  std::map<std::string, Entry> mEntries;
};
}  // namespace

int main(int argc, char** argv)
{
  if (!InitializeBenchmarks(argc, argv, 10, 0.1)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  fftw_cleanup();
  return 0;
}
