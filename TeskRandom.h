#pragma once
// The random source of the sensitivity measure: a small permuted congruential
// generator giving values 0..2^31-1. Each processor owns one, so instances never
// share (or race on) a process-wide generator, and a caller that sets the seed gets
// the same draws, and therefore the same output, on every run.

#include <cstdint>

class TeskRandom final
{
public:
  static constexpr std::uint32_t kMax = 0x7FFFFFFFu;  // largest value Next returns

  explicit TeskRandom(std::uint32_t seed = 1u) noexcept { Seed(seed); }

  // Restarts the sequence; the same seed always gives the same sequence.
  // Audio thread: no allocation, no locks.
  void Seed(std::uint32_t seed) noexcept
  {
    mState = 0u;
    Step();
    mState += 0x853C49E6748FEA9Bull ^ seed;
    Step();
  }

  // The next value, uniform in 0..kMax. Audio thread: no allocation, no locks.
  std::uint32_t Next() noexcept
  {
    const std::uint64_t old = mState;
    Step();
    const auto xorShifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    const std::uint32_t r = (xorShifted >> rot) | (xorShifted << ((32u - rot) & 31u));
    return r >> 1;  // 31 bits
  }

private:
  void Step() noexcept { mState = mState * 6364136223846793005ull + 1442695040888963407ull; }

  std::uint64_t mState = 0u;
};
