#pragma once
// The built-in demo signal: about eight seconds of stereo audio at 44.1 kHz made in
// the program, so the renderer has something to show on a machine with no audio
// files. It holds what makes the effect and the displays worth looking at: a
// sustained chord, a noise bed, a few transients and a slow sweep. The same
// samples every time (the noise comes from a fixed-seed generator).

#include "AudioSource.h"

#include <cstdint>

class DemoSignal final : public AudioSource
{
public:
  static constexpr int kSampleRate = 44100;
  static constexpr int kChannels = 2;
  static constexpr std::int64_t kFrames = 8 * kSampleRate;

  int SampleRate() const noexcept override { return kSampleRate; }
  int Channels() const noexcept override { return kChannels; }
  std::int64_t Frames() const noexcept override { return kFrames; }
  const std::string& Name() const noexcept override;
  int Read(float* interleaved, int nFrames) override;

private:
  // One stereo frame at time index n.
  void Frame(std::int64_t n, float* pLeft, float* pRight) noexcept;
  double Chord(double t) const noexcept;
  double Sweep(double t) noexcept;
  double Transients(double t) noexcept;
  double Noise() noexcept;

  std::int64_t mPos = 0;
  std::uint32_t mNoiseState = 0x12345678u;
  double mSweepPhase = 0.0;
  double mPinkL = 0.0, mPinkR = 0.0;
};

// Settings that make the effect plain to hear and the displays worth a look: stage
// one half wet, a band over the lower mids reduced hard, the sensitivity measure
// audible and following the signal.
struct DemoSetting
{
  const char* mName;
  double mValue;
};
inline constexpr DemoSetting kDemoSettings[] = {
  {"Pre", 0.6}, {"Sensitivity", 0.5}, {"Low", 0.01}, {"High", 0.2}, {"Mode A", 0.8}, {"Mode B", 0.5},
};
// The demo's noise is seeded, so the demo renders the same every time.
inline constexpr std::uint32_t kDemoSeed = 1;
