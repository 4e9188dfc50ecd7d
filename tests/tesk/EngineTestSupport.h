#pragma once
// Shared by the engine's tests, which link the engine alone: an engine driven as the
// processor drives it (its working values set through its own setters, blocks rendered
// through Process, a display feed to write into), and a few signal helpers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "TeskDisplayFeed.h"
#include "TeskEngine.h"

namespace tesk_test
{
using Signal = std::vector<double>;

// The output lags the input by the two 6144-sample delays.
inline constexpr int kEngineLatency = 2 * TeskEngine::kDelaySlots;

// A new engine (the parameters' defaults), with a fixed seed so runs repeat, writing
// into a display feed of its own.
class EngineRun
{
public:
  explicit EngineRun(std::uint32_t seed = 12345u)
    : mEngine(std::make_unique<TeskEngine>()),
      mFeed(std::make_unique<TeskDisplayFeed>())
  {
    mEngine->SetDisplayFeed(mFeed.get());
    mEngine->SetRandomSeed(seed);
  }

  TeskEngine& operator*() { return *mEngine; }
  TeskEngine* operator->() { return mEngine.get(); }
  TeskDisplayFeed& Feed() { return *mFeed; }
  // The rate Process is handed (for the waveform's decimation).
  void SetSampleRate(double rate) { mRate = rate; }

  // Renders the whole input in blocks of blockSize.
  void Render(const Signal& inL, const Signal& inR, Signal* pOutL, Signal* pOutR, int blockSize)
  {
    const int n = static_cast<int>(inL.size());
    pOutL->assign(n, 0.0);
    pOutR->assign(n, 0.0);
    for (int start = 0; start < n; start += blockSize)
    {
      const int len = std::min(blockSize, n - start);
      double* in[2] = {const_cast<double*>(inL.data()) + start, const_cast<double*>(inR.data()) + start};
      double* out[2] = {pOutL->data() + start, pOutR->data() + start};
      mEngine->Process(in, out, len, mRate);
    }
  }

  // Mono input feeds both channels; the left output comes back.
  Signal RenderMono(const Signal& in, int blockSize = 512)
  {
    Signal outL, outR;
    Render(in, in, &outL, &outR, blockSize);
    return outL;
  }

  // One sample through the whole pipeline.
  void Step(double inL, double inR, double* pOutL = nullptr, double* pOutR = nullptr)
  {
    double l = inL, r = inR, oL = 0.0, oR = 0.0;
    double* in[2] = {&l, &r};
    double* out[2] = {&oL, &oR};
    mEngine->Process(in, out, 1, mRate);
    if (pOutL) *pOutL = oL;
    if (pOutR) *pOutR = oR;
  }

private:
  std::unique_ptr<TeskEngine> mEngine;
  std::unique_ptr<TeskDisplayFeed> mFeed;
  double mRate = 44100.0;
};

inline Signal Sine(int n, double freq, double amp, double rate = 44100.0)
{
  Signal s(n);
  for (int i = 0; i < n; ++i) s[i] = amp * std::sin(2.0 * std::numbers::pi * freq * i / rate);
  return s;
}

// Deterministic uniform noise in [-amp, amp].
inline Signal Noise(int n, double amp, std::uint32_t seed = 7u)
{
  TeskRandom r(seed);
  Signal s(n);
  for (int i = 0; i < n; ++i) s[i] = amp * (2.0 * r.Next() / TeskRandom::kMax - 1.0);
  return s;
}

inline double Rms(const Signal& s, int from, int to)
{
  double sum = 0.0;
  for (int i = from; i < to; ++i) sum += s[i] * s[i];
  return std::sqrt(sum / (to - from));
}

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }
}  // namespace tesk_test
