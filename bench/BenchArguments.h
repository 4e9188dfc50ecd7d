#pragma once
// The benchmarks' defaults for a shared machine: short repetitions in random
// interleaving (each benchmark sees the same mix of background load), aggregates only.
// The caller's own options come after the defaults, so they win.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

// Initialises Google Benchmark with the defaults and then the caller's arguments;
// false when an argument is not understood.
inline bool InitializeBenchmarks(int argc, char** argv, int repetitions, double minSeconds)
{
  static std::vector<std::string> defaults;
  defaults = {"--benchmark_repetitions=" + std::to_string(repetitions),
              "--benchmark_min_time=" + std::to_string(minSeconds), "--benchmark_enable_random_interleaving=true",
              "--benchmark_display_aggregates_only=true"};
  std::vector<char*> args{argv[0]};
  for (std::string& arg : defaults) args.push_back(arg.data());
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  return !benchmark::ReportUnrecognizedArguments(count, args.data());
}
