#pragma once
// The plug-in as a validator sees it: opened, configured, driven and saved the way one
// host binding does it. The checks talk only to this interface, so every binding that
// can open the plug-in (the Audio Unit entry now) runs the same checks.
//
// Threads: Render runs on the caller's thread as the host's audio thread; SetParameter
// may run on another thread at the same time (as a host's automation does). Everything
// else is the host's control thread and never overlaps a render.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace validator
{

struct ParameterRange
{
  float mMin = 0.0f, mMax = 1.0f;
};

enum class RenderStatus
{
  kRendered,
  kRefused,  // the binding answered with an error and rendered nothing
};

class PluginUnderTest
{
public:
  virtual ~PluginUnderTest() = default;

  // The ranges of the host-visible parameters, by index.
  virtual std::vector<ParameterRange> Parameters() = 0;
  // Through the setter a host uses. False when the binding refused it.
  virtual bool SetParameter(int index, float value) = 0;
  virtual float GetParameter(int index) = 0;
  // Makes the plug-in's random draws repeatable.
  virtual bool SetSeed(std::uint32_t seed) = 0;

  // Sample rate, channel count, the largest block the host will render, the input
  // supply; then activation. False when the plug-in refused any of it.
  virtual bool Prepare(double sampleRate, int channels, int maxFrames) = 0;
  virtual bool Deactivate() = 0;
  virtual bool Activate() = 0;
  virtual bool Reset() = 0;
  // The reported latency in samples at the prepared rate.
  virtual int LatencySamples() = 0;
  // One block: input[c] and output[c] hold nFrames samples of channel c.
  virtual RenderStatus Render(const float* const* input, float* const* output, int nFrames) = 0;
  // The host's error code of the last refused render, for messages.
  virtual long LastError() const = 0;

  // The state a host keeps in its document, as bytes in a form the binding defines;
  // empty when the plug-in gave none.
  virtual std::vector<std::uint8_t> SaveState() = 0;
  virtual bool RestoreState(const std::vector<std::uint8_t>& state) = 0;
};

// One way of opening the plug-in. Open returns null when the plug-in did not open.
struct Binding
{
  std::string mName;
  std::function<std::unique_ptr<PluginUnderTest>()> mOpen;
};

// For test names: the binding's name.
inline std::string BindingName(const Binding& b) { return b.mName; }

}  // namespace validator
