#pragma once
// A processor set the way the benchmarks measure it: Auto mixing driven by the
// sensitivity measure and a reduction on part of the spectrum, so every engine path
// is busy. The seed fixes the measure's draws.

#include <cstdint>
#include <memory>
#include <utility>

#include "Tesk.h"

inline std::unique_ptr<Tesk> NewBusyTesk(std::uint32_t seed)
{
  auto plug = std::make_unique<Tesk>(TeskInstanceInfo());
  plug->OnParamReset();
  plug->SetRandomSeed(seed);
  const std::pair<int, double> settings[] = {{Tesk::kPre, 0.5},   {Tesk::kAuto, 1.0},  {Tesk::kSensitivity, 0.5},
                                             {Tesk::kModeA, 0.5}, {Tesk::kModeB, 0.3}, {Tesk::kLow, 0.05},
                                             {Tesk::kHigh, 0.4}};
  for (auto [idx, value] : settings)
  {
    plug->GetParam(idx)->Set(value);
    plug->OnParamChange(idx);
  }
  return plug;
}
