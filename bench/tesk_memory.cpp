// Resident memory of Tesk instances: 16 processors made in one process (as a host opens
// them: no editor until one is shown), then each run through 30 s of stereo audio with
// every engine path busy, then each one's editor built and drawn once. The growth of the process's
// resident set at each stage, divided by 16, is the memory one instance costs; the
// process before the first instance is the comparison.
//
// Usage: bench_tesk_memory [instances]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BusyTesk.h"
#include "IGraphicsHeadless.h"
#include "Tesk.h"
#include "TeskRandom.h"

namespace
{
// Resident set size of this process in KiB, from /proc/self/status.
long ResidentKiB()
{
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key)
  {
    if (key == "VmRSS:")
    {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return -1;
}
}  // namespace

int main(int argc, char** argv)
{
  const int count = argc > 1 ? std::atoi(argv[1]) : 16;
  if (count < 1) return 2;
  constexpr int kBlock = 512;
  constexpr int kBlocks = 30 * 44100 / kBlock;

  // Everything the run needs besides the instances, made first.
  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  std::vector<std::unique_ptr<Tesk>> plugs;
  plugs.reserve(count);
  TeskRandom noise(3u);
  const long base = ResidentKiB();

  for (int i = 0; i < count; ++i) plugs.push_back(NewBusyTesk(static_cast<std::uint32_t>(i + 1)));
  const long made = ResidentKiB();

  for (auto& plug : plugs)
    for (int b = 0; b < kBlocks; ++b)
    {
      for (int k = 0; k < kBlock; ++k)
      {
        const double n = 0.1 * (2.0 * noise.Next() / TeskRandom::kMax - 1.0);
        inL[k] = 0.3 * ((b * kBlock + k) % 300 < 150 ? 1.0 : -1.0) + n;
        inR[k] = n;
      }
      double* ins[2] = {inL.data(), inR.data()};
      double* outs[2] = {outL.data(), outR.data()};
      plug->ProcessDoubleReplacing(ins, outs, kBlock);
      if (b % 64 == 0) plug->OnIdle();
    }
  const long processed = ResidentKiB();

  for (auto& plug : plugs)
    if (auto* g = dynamic_cast<IGraphicsHeadless*>(plug->EnsureGUI()))
    {
      g->OnEditorTimer();  // the displays take what the audio thread fed
      g->DrawAll();
    }
  const long drawn = ResidentKiB();

  std::printf("Resident memory, %d Tesk instances in one process (KiB)\n", count);
  std::printf("  process before the instances:   %8ld\n", base);
  std::printf("  after making them:              %8ld  (+%ld per instance)\n", made, (made - base) / count);
  std::printf("  after 30 s of audio each:       %8ld  (+%ld per instance since before)\n", processed,
              (processed - base) / count);
  std::printf("  after each editor built, drawn: %8ld  (+%ld per instance since before)\n", drawn,
              (drawn - base) / count);
  return 0;
}
