#pragma once
// The random source of the sensitivity measure: a small permuted congruential
// generator giving values 0..2^31-1. Each processor owns one, so instances never
// share (or race on) a process-wide generator, and a caller that sets the seed gets
// the same draws, and therefore the same output, on every run.
//
// The state advances by a linear congruence, so k steps at once are one
// multiplication and one addition: Fill computes several values side by side from
// states that many steps apart, and gives the values Next gives, in the same order,
// and Discard passes over any number of values without computing them.

#include <cstdint>

#if defined(__GNUC__)
#define TESK_RANDOM_INLINE __attribute__((always_inline)) inline
#else
#define TESK_RANDOM_INLINE inline
#endif

namespace tesk_random
{
constexpr std::uint64_t kMultiplier = 6364136223846793005ull;
constexpr std::uint64_t kIncrement = 1442695040888963407ull;

// state -> state * multiplier + increment, taken some number of steps at once.
struct Jump
{
  std::uint64_t multiplier, increment;
};
// n steps as one: steps compose as x -> m2 (m1 x + c1) + c2; squaring a power of
// two steps gives the next one.
constexpr Jump Steps(std::uint64_t n) noexcept
{
  Jump total{1u, 0u}, power{kMultiplier, kIncrement};  // power: 2^i steps
  for (; n != 0; n >>= 1)
  {
    if (n & 1u) total = {total.multiplier * power.multiplier, total.increment * power.multiplier + power.increment};
    power = {power.multiplier * power.multiplier, power.increment * (power.multiplier + 1u)};
  }
  return total;
}
}  // namespace tesk_random

class TeskRandom final
{
public:
  static constexpr std::uint32_t kMax = 0x7FFFFFFFu;  // largest value Next returns
  static constexpr int kLanes = 8;                    // values Fill computes side by side

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
    return Output(old);
  }

  // The next n values (n a multiple of kLanes), as n calls of Next give them.
  // Inlined, so that a caller compiled for wider vectors runs the lanes on them.
  // Audio thread: no allocation, no locks.
  TESK_RANDOM_INLINE void Fill(std::uint32_t* out, int n) noexcept
  {
    constexpr tesk_random::Jump kJump = tesk_random::Steps(kLanes);
    std::uint64_t lane[kLanes];
    lane[0] = mState;
    for (int j = 1; j < kLanes; ++j) lane[j] = Advance(lane[j - 1]);
    for (int k = 0; k < n; k += kLanes)
    {
      std::uint64_t old[kLanes];
      for (int j = 0; j < kLanes; ++j)
      {
        old[j] = lane[j];
        lane[j] = lane[j] * kJump.multiplier + kJump.increment;
      }
      for (int j = 0; j < kLanes; ++j) out[k + j] = Output(old[j]);
    }
    mState = lane[0];  // n steps on
  }

  // The next 2 n values as n pairs: first[k] and second[k] are the values 2 k and
  // 2 k + 1 that Next would give (n a multiple of kLanes). Each lane runs the values of
  // one pair, so neither output needs reordering. Inlined, as Fill.
  // Audio thread: no allocation, no locks.
  TESK_RANDOM_INLINE void FillPairs(std::uint32_t* first, std::uint32_t* second, int n) noexcept
  {
    constexpr tesk_random::Jump kJump = tesk_random::Steps(2 * kLanes);
    std::uint64_t even[kLanes], odd[kLanes];
    std::uint64_t state = mState;
    for (int j = 0; j < kLanes; ++j)
    {
      even[j] = state;
      odd[j] = Advance(state);
      state = Advance(odd[j]);
    }
    for (int k = 0; k < n; k += kLanes)
    {
      for (int j = 0; j < kLanes; ++j)
      {
        first[k + j] = Output(even[j]);
        second[k + j] = Output(odd[j]);
        even[j] = even[j] * kJump.multiplier + kJump.increment;
        odd[j] = odd[j] * kJump.multiplier + kJump.increment;
      }
    }
    mState = even[0];  // 2 n steps on
  }

  // Passes over the next n values as if Next had been called n times, in a number of
  // steps that grows with the bits of n only. Audio thread: no allocation, no locks.
  void Discard(std::uint64_t n) noexcept
  {
    const tesk_random::Jump jump = tesk_random::Steps(n);
    mState = mState * jump.multiplier + jump.increment;
  }

  // Whether two sources give the same values from here on.
  bool operator==(const TeskRandom& other) const noexcept = default;

private:
  static constexpr std::uint64_t Advance(std::uint64_t state) noexcept
  {
    return state * tesk_random::kMultiplier + tesk_random::kIncrement;
  }

  static constexpr std::uint32_t Output(std::uint64_t old) noexcept
  {
    const auto xorShifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    const std::uint32_t r = (xorShifted >> rot) | (xorShifted << ((32u - rot) & 31u));
    return r >> 1;  // 31 bits
  }

  void Step() noexcept { mState = Advance(mState); }

  std::uint64_t mState = 0u;
};
