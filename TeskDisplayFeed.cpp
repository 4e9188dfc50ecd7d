// The display feed's writing side: the audio thread stores spectra and waveform points
// and performs the clears requested of it.

#include "TeskDisplayFeed.h"

#include <algorithm>
#include <cmath>

namespace
{
// A stored point lies in -1..1. A value that is not a number is kept as silence (it
// would otherwise poison a display's coordinates); an infinite one is limited like any
// other large value. Audio thread: no allocation, no locks.
double LimitPoint(double v) noexcept
{
  if (std::isnan(v)) return 0.0;
  if (std::fabs(v) > 1.0) return std::copysign(1.0, v);
  return v;
}
}  // namespace

static_assert(std::atomic<double>::is_always_lock_free && std::atomic<std::uint64_t>::is_always_lock_free,
              "the feed must not lock");

TeskDisplayFeed::TeskDisplayFeed()
  : mSpectra(std::make_unique<std::atomic<double>[]>(static_cast<std::size_t>(kSpectrumSlots) * kSpectrumBins)),
    mPoints(std::make_unique<std::atomic<double>[]>(kWaveformPoints))
{
  for (int i = 0; i < kSpectrumSlots * kSpectrumBins; ++i) mSpectra[i].store(0.0, std::memory_order_relaxed);
  mRowIsZero.fill(true);
  for (int i = 0; i < kWaveformPoints; ++i) mPoints[i].store(0.0, std::memory_order_relaxed);
}

bool TeskDisplayFeed::TakeRequest(ClearRequests& c, unsigned* pRequest) noexcept
{
  *pRequest = c.requested.load(std::memory_order_acquire);
  return *pRequest != c.performed.load(std::memory_order_relaxed);
}

void TeskDisplayFeed::RequestClear() noexcept
{
  mWaveformClear.requested.fetch_add(1, std::memory_order_release);
  mSpectrumClear.requested.fetch_add(1, std::memory_order_release);
}

// ---- Spectra ----

template <typename Fill>
void TeskDisplayFeed::StoreSpectrum(Fill&& fill) noexcept
{
  const std::uint64_t s = mSpectraStored.load(std::memory_order_relaxed);
  unsigned request = 0;
  if (TakeRequest(mSpectrumClear, &request))
  {
    // Everything stored so far is wiped; published before the acknowledgement, so a
    // reader that sees the clear performed sees where it took effect.
    mSpectraWipedBefore.store(s, std::memory_order_release);
    Performed(mSpectrumClear, request);
  }
  // A reader that reads any of the new values sees s counted before them (Holds).
  std::atomic_thread_fence(std::memory_order_release);
  const int slot = static_cast<int>(s % kSpectrumSlots);
  fill(mSpectra.get() + static_cast<std::size_t>(slot) * kSpectrumBins, mRowIsZero[slot]);
  mSpectraStored.store(s + 1, std::memory_order_release);
  mSpectrumPushes.fetch_add(1, std::memory_order_relaxed);
}

void TeskDisplayFeed::AddSpectra(const double* magL, const double* magR) noexcept
{
  StoreSpectrum([&](std::atomic<double>* row, bool& rowIsZero) {
    for (int k = 0; k < kSpectrumBins; ++k) row[k].store(magL[k] + magR[k], std::memory_order_relaxed);
    rowIsZero = false;
  });
}

void TeskDisplayFeed::AddSilentSpectra() noexcept
{
  StoreSpectrum([](std::atomic<double>* row, bool& rowIsZero) {
    if (rowIsZero) return;
    for (int k = 0; k < kSpectrumBins; ++k) row[k].store(0.0, std::memory_order_relaxed);
    rowIsZero = true;
  });
}

// ---- Waveform ----

void TeskDisplayFeed::SetSampleRate(int sampleRate) noexcept { mDecimation = sampleRate / kWaveformPointsPerSecond; }

// One value in every mDecimation + 1 is kept at first, then one in every mDecimation;
// no averaging or peak picking: the point is the value offered at that call.
void TeskDisplayFeed::AddWaveform(const double* outL, const double* outR, int n) noexcept
{
  for (int t = 0; t < n;)
  {
    // The values offered before the next kept one only count.
    if (mDecimCounter < mDecimation)
    {
      const int skipped = std::min(mDecimation - mDecimCounter, n - t);
      mDecimCounter += skipped;
      t += skipped;
      continue;
    }
    int pos = mWritePos.load(std::memory_order_relaxed);
    unsigned request = 0;
    if (TakeRequest(mWaveformClear, &request))
    {
      // The rewind is published before it is acknowledged, so a reader never pairs
      // a performed clear with the position from before it.
      pos = 0;
      mWritePos.store(0, std::memory_order_release);
      Performed(mWaveformClear, request);
    }
    mPoints[pos].store(LimitPoint((outL[t] + outR[t]) * 0.5), std::memory_order_relaxed);
    mWritePos.store(pos + 1 >= kWaveformPoints ? 0 : pos + 1, std::memory_order_release);
    mPointsStored.fetch_add(1, std::memory_order_release);
    mWaveformPushes.fetch_add(1, std::memory_order_relaxed);
    mDecimCounter = 1;
    ++t;
  }
}
