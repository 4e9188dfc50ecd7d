#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "PortableMath.h"

namespace
{
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// An A minor ninth spread over three octaves, slightly detuned between the
// channels so the stereo image moves.
constexpr double kChordHz[] = {110.0, 164.81, 220.0, 261.63, 329.63, 493.88};
constexpr double kChordGain[] = {0.10, 0.07, 0.08, 0.06, 0.05, 0.035};

// When the transients strike (seconds) and how loud.
struct Hit
{
  double mTime;
  double mGain;
  double mPan;  // 0 left .. 1 right
};
constexpr Hit kHits[] = {{0.50, 0.9, 0.5}, {1.75, 0.6, 0.2}, {3.00, 0.8, 0.8},
                         {4.25, 0.7, 0.5}, {5.50, 0.9, 0.3}, {6.75, 0.6, 0.7}};

// Fades in and out over the first and last quarter second, so the file starts and
// ends in silence rather than with a click.
double Edges(double t) noexcept
{
  const double total = static_cast<double>(DemoSignal::kFrames) / DemoSignal::kSampleRate;
  return std::clamp(std::min(t, total - t) / 0.25, 0.0, 1.0);
}
}  // namespace

const std::string& DemoSignal::Name() const noexcept
{
  static const std::string name = "built-in demo signal";
  return name;
}

int DemoSignal::Read(float* interleaved, int nFrames)
{
  const int n = static_cast<int>(std::min<std::int64_t>(nFrames, kFrames - mPos));
  for (int i = 0; i < n; ++i, ++mPos) Frame(mPos, &interleaved[2 * i], &interleaved[2 * i + 1]);
  return n;
}

void DemoSignal::Frame(std::int64_t n, float* pLeft, float* pRight) noexcept
{
  const double t = static_cast<double>(n) / kSampleRate;
  const double edges = Edges(t);
  const double chord = Chord(t);
  const double sweep = Sweep(t);
  const double hit = Transients(t);
  // Two independent, gently low-passed noise beds.
  mPinkL += 0.05 * (Noise() - mPinkL);
  mPinkR += 0.05 * (Noise() - mPinkR);
  const double bed = 0.12;
  // The transients pan by their own table; the sweep wanders from left to right.
  const double sweepPan = t / (static_cast<double>(kFrames) / kSampleRate);
  double pan = 0.5;
  for (const Hit& h : kHits)
    if (t >= h.mTime) pan = h.mPan;
  const double left = chord + bed * mPinkL + sweep * (1.0 - sweepPan) + hit * (1.0 - pan);
  const double right = chord * 0.95 + bed * mPinkR + sweep * sweepPan + hit * pan;
  *pLeft = static_cast<float>(edges * left);
  *pRight = static_cast<float>(edges * right);
}

double DemoSignal::Chord(double t) const noexcept
{
  // Swells twice over the eight seconds.
  const double swell = 0.75 + 0.25 * portable_math::Sin(kTwoPi * t / 4.0);
  double v = 0.0;
  for (size_t k = 0; k < std::size(kChordHz); ++k)
    v += kChordGain[k] * portable_math::Sin(kTwoPi * kChordHz[k] * t + 0.7 * static_cast<double>(k));
  return swell * v;
}

double DemoSignal::Sweep(double t) noexcept
{
  // An exponential sweep from 80 Hz to 12 kHz over the whole signal.
  const double total = static_cast<double>(kFrames) / kSampleRate;
  const double hz = 80.0 * portable_math::Pow(12000.0 / 80.0, t / total);
  mSweepPhase = std::fmod(mSweepPhase + kTwoPi * hz / kSampleRate, kTwoPi);
  return 0.08 * portable_math::Sin(mSweepPhase);
}

double DemoSignal::Transients(double t) noexcept
{
  double v = 0.0;
  for (const Hit& h : kHits)
  {
    const double age = t - h.mTime;
    if (age < 0.0 || age > 0.4) continue;
    // A pitched thump under a burst of noise, both decaying fast.
    const double thump = portable_math::Sin(kTwoPi * 60.0 * age * (1.0 + 2.0 * portable_math::Exp(-age * 30.0)));
    v += h.mGain * portable_math::Exp(-age * 18.0) * (0.6 * thump + 0.4 * Noise());
  }
  return v;
}

double DemoSignal::Noise() noexcept
{
  // A 32-bit linear congruential generator: fixed, so the demo is the same everywhere
  // (as are its sines and exponentials, from PortableMath).
  mNoiseState = mNoiseState * 1664525u + 1013904223u;
  return static_cast<double>(mNoiseState >> 8) / static_cast<double>(1u << 23) - 1.0;
}
