#include "Lv2UnderTest.h"

#include <gtest/gtest.h>

#include "Lv2Host.h"
#include "TeskLV2Seed.h"
#include "TeskLV2URIs.h"

#include <atomic>
#include <cstring>

namespace validator
{
namespace
{
// One world per process, as a host keeps one: the build's bundle folder only.
lv2_test::Lv2World& World()
{
  static lv2_test::Lv2World world(TESK_LV2_BUNDLE_FOLDER);
  return world;
}

class Lv2UnderTest final : public PluginUnderTest
{
public:
  Lv2UnderTest(const char* uri, std::unique_ptr<lv2_test::Lv2Plugin> plugin)
    : mUri(uri),
      mPlugin(std::move(plugin)),
      mControls(mPlugin->ControlInputs()),
      mValues(mControls.size())
  {
    for (size_t i = 0; i < mControls.size(); ++i) mValues[i].store(mPlugin->Ports()[mControls[i]].def);
  }

  std::vector<ParameterRange> Parameters() override
  {
    std::vector<ParameterRange> ranges;
    for (int port : mControls) ranges.push_back({mPlugin->Ports()[port].min, mPlugin->Ports()[port].max});
    return ranges;
  }

  // What a host's automation does: the value waits in the host until the audio thread
  // writes it into the control port before the next run (LV2 ports are plain floats
  // the plug-in reads during run()).
  bool SetParameter(int index, float value) override
  {
    if (index < 0 || index >= static_cast<int>(mValues.size())) return false;
    mValues[static_cast<size_t>(index)].store(value, std::memory_order_relaxed);
    return true;
  }

  float GetParameter(int index) override
  {
    if (index < 0 || index >= static_cast<int>(mValues.size())) return 0.0f;
    return mValues[static_cast<size_t>(index)].load(std::memory_order_relaxed);
  }

  // Through the plug-in's own seed extension, asked for by URI as hosts ask for any.
  bool SetSeed(std::uint32_t seed) override
  {
    const auto* seeding =
      static_cast<const TeskLV2SeedInterface*>(mPlugin->Descriptor()->extension_data(kTeskLV2SeedURI));
    if (!seeding) return false;
    seeding->set(mPlugin->Handle(), seed);
    return seeding->get(mPlugin->Handle()) == seed;
  }

  // LV2 fixes the rate at instantiation: a host instantiates anew for another rate and
  // block bound, then connects the ports and activates.
  bool Prepare(double sampleRate, int channels, int maxFrames) override
  {
    std::string error;
    std::unique_ptr<lv2_test::Lv2Plugin> p =
      lv2_test::Lv2Plugin::Open(World(), mUri, sampleRate, &error, /* withoutUridMap */ false, maxFrames);
    if (!p || p->NumAudioIn() != channels || p->NumAudioOut() != channels) return false;
    mPlugin = std::move(p);
    mChannels = channels;
    return Activate();
  }

  bool Deactivate() override
  {
    mPlugin->Deactivate();
    return true;
  }

  bool Activate() override
  {
    WriteControls();
    mPlugin->Activate();
    mRanSinceActivation = false;
    return true;
  }

  // LV2 has no reset of its own: hosts deactivate and activate.
  bool Reset() override { return Deactivate() && Activate(); }

  // The plug-in writes its latency port at every run; before any audio a host runs an
  // empty block to read it.
  int LatencySamples() override
  {
    if (!mRanSinceActivation)
    {
      float none[2] = {};
      const float* in[2] = {none, none};
      float* out[2] = {none, none};
      WriteControls();
      mPlugin->Run(in, out, 0);
      mRanSinceActivation = true;
    }
    const float latency = mPlugin->Latency();
    return latency >= 0.0f ? static_cast<int>(latency + 0.5f) : -1;
  }

  // LV2's run() has no error to give: every block renders.
  RenderStatus Render(const float* const* input, float* const* output, int nFrames) override
  {
    WriteControls();
    mPlugin->Run(input, output, nFrames);
    mRanSinceActivation = true;
    return RenderStatus::kRendered;
  }
  long LastError() const override { return 0; }

  // The host's controls are in its ports when it saves (no render runs meanwhile here),
  // whether or not a block has run since they moved.
  std::vector<std::uint8_t> SaveState() override
  {
    WriteControls();
    return mPlugin->SaveStateBytes(kTeskLV2StateKey);
  }

  // A host restoring a document restores the plug-in's state and sets its controls to
  // the values the document holds; the state's bytes are those values, one double per
  // parameter in the native byte order.
  bool RestoreState(const std::vector<std::uint8_t>& state) override
  {
    if (mPlugin->RestoreStateBytes(kTeskLV2StateKey, state) != LV2_STATE_SUCCESS) return false;
    if (state.size() == mValues.size() * sizeof(double))
      for (size_t i = 0; i < mValues.size(); ++i)
      {
        double v = 0.0;
        std::memcpy(&v, state.data() + i * sizeof(double), sizeof(double));
        mValues[i].store(static_cast<float>(v), std::memory_order_relaxed);
      }
    return true;
  }

private:
  // Audio thread (or the control thread while no run can happen): the host's values
  // into the ports.
  void WriteControls()
  {
    for (size_t i = 0; i < mControls.size(); ++i)
      mPlugin->SetControl(mControls[i], mValues[i].load(std::memory_order_relaxed));
  }

  const char* mUri;
  std::unique_ptr<lv2_test::Lv2Plugin> mPlugin;
  std::vector<int> mControls;  // the control inputs' port indices: the parameters in order
  std::vector<std::atomic<float>> mValues;
  int mChannels = 0;
  bool mRanSinceActivation = false;
};
}  // namespace

std::unique_ptr<PluginUnderTest> OpenLv2(const char* uri)
{
  std::string error;
  // Opened at a host's usual rate; Prepare instantiates again at the rate it is given.
  std::unique_ptr<lv2_test::Lv2Plugin> p = lv2_test::Lv2Plugin::Open(World(), uri, 44100.0, &error);
  if (!p)
  {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return std::make_unique<Lv2UnderTest>(uri, std::move(p));
}

Binding Lv2Binding()
{
  return {"LV2", [] { return OpenLv2(kTeskLV2URI); }, 2};
}
Binding Lv2MonoBinding()
{
  return {"LV2Mono", [] { return OpenLv2(kTeskLV2MonoURI); }, 1};
}

}  // namespace validator
