#pragma once
// The plug-in as a validator sees it: opened, configured, driven and saved the way one
// host binding does it. The checks talk only to this interface, so every binding that
// can open the plug-in (the Audio Unit entry, the LV2 bundle) runs the same checks.
//
// Threads: Render runs on the caller's thread as the host's audio thread; SetParameter
// may run on another thread at the same time (as a host's automation does). Everything
// else is the host's control thread and never overlaps a render.

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
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
// The plug-in is prepared with mChannels inputs and outputs: the first channels of the
// checks' stereo signals go in, and the output channels past them stay silent.
struct Binding
{
  std::string mName;
  std::function<std::unique_ptr<PluginUnderTest>()> mOpen;
  int mChannels = 2;
};

// For test names and messages: the binding's name.
inline std::string BindingName(const Binding& b) { return b.mName; }
inline void PrintTo(const Binding& b, std::ostream* os) { *os << b.mName; }

}  // namespace validator
