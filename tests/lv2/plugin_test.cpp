// The plug-in loaded from the bundle by the test's own lilv host, as any LV2 host loads
// it: its audio path allocates and locks nothing, its output does not depend on the
// host's block size, its state is the Audio Unit's (a state saved by either binding
// restores in the other), a state it cannot take changes nothing, the preset "-" holds
// the defaults, and it works without the URID map it may be offered.

#include <cmath>
#include <cstring>
#include <mutex>
#include <sstream>

#include "AudioThreadWatch.h"
#include "Lv2TestSupport.h"
#include "TeskParams.h"

using namespace lv2_test;

namespace
{
constexpr double kRate = 44100.0;

class PluginTest : public ::testing::Test
{
protected:
  std::unique_ptr<Lv2Plugin> Open(const char* uri = kTeskLV2URI, bool withoutUridMap = false)
  {
    std::string error;
    auto p = Lv2Plugin::Open(mWorld, uri, kRate, &error, withoutUridMap);
    EXPECT_TRUE(p) << error;
    return p;
  }

  // The parameters as the Audio Unit binding reports them after restoring a state file
  // (tesk-render --state FILE --list-params).
  std::vector<double> AudioUnitParameters(const std::vector<std::uint8_t>& state)
  {
    WriteBytes(mScratch / "lv2.state", state);
    const ProgramResult r =
      RunHostProgram({kTeskRender, "--state", (mScratch / "lv2.state").string(), "--list-params"}, {}, mScratch.Path());
    EXPECT_EQ(r.exitCode, 0) << r.output;
    std::vector<double> values;
    std::istringstream lines(r.output);
    std::string line;
    std::getline(lines, line);  // heading
    while (std::getline(lines, line))
      if (!line.empty()) values.push_back(std::stod(line.substr(line.find_last_of(' ') + 1)));
    return values;
  }

  static std::vector<std::uint8_t> Doubles(const std::vector<double>& v)
  {
    std::vector<std::uint8_t> bytes(v.size() * sizeof(double));
    std::memcpy(bytes.data(), v.data(), bytes.size());
    return bytes;
  }

  ScratchFolder mScratch;
  Lv2World mWorld{kBundleFolder.string()};
};

Channels Silence(int channels, int frames)
{
  return Channels(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
}
}  // namespace

TEST_F(PluginTest, AudioPathAllocatesAndLocksNothingWhileControlsChange)
{
  auto p = Open();
  ASSERT_TRUE(p);
  p->Activate();
  const Channels in = TestSignal(2, 256);
  Channels out = Silence(2, 256);
  const float* ins[2] = {in[0].data(), in[1].data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  const std::vector<int> controls = p->ControlInputs();

  {
    // The watch sees what it counts.
    AudioThreadWatch watch;
    void* volatile p1 = std::malloc(16);
    std::free(p1);
    std::mutex m;
    m.lock();
    m.unlock();
    EXPECT_EQ(watch.Allocations(), 1);
    EXPECT_EQ(watch.Locks(), 1);
  }
  int allocations = 0, locks = 0;
  {
    AudioThreadWatch watch;
    for (int block = 0; block < 400; ++block)
    {
      // Every control moves between blocks (the displays' too), so each run takes them all.
      for (int port : controls) p->SetControl(port, static_cast<float>((block * 7 + port) % 10) / 10.0f);
      p->Run(ins, outs, 256);
    }
    allocations = watch.Allocations();
    locks = watch.Locks();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(locks, 0);
  EXPECT_EQ(p->Latency(), 12288.0f);
}

TEST_F(PluginTest, OutputDoesNotDependOnTheHostBlockSize)
{
  const Channels in = TestSignal(2, 20000);
  Channels reference;
  // Longer blocks than the processor takes at once are cut by the binding.
  for (int block : {512, 1, 37, 1024, 1500, 8192})
  {
    SCOPED_TRACE(block);
    auto p = Open();
    ASSERT_TRUE(p);
    p->SetControl(tesk::kPre, 0.6f);
    p->SetControl(tesk::kModeA, 0.5f);
    p->Activate();
    const Channels out = p->Process(in, block);
    if (reference.empty())
      reference = out;
    else
      EXPECT_EQ(MaxDifference(out, reference), 0.0);
  }
}

TEST_F(PluginTest, StateSavedByTheAudioUnitRestoresHere)
{
  // tesk-render opens the processor through its Audio Unit entry and saves the state the
  // unit's class-info dictionary holds.
  const ProgramResult saved =
    RunHostProgram({kTeskRender, "--set", "Pre=0.7", "--set", "Inv=1", "--set", "Mode B=0.25", "--set", "Low=0.1",
                    "--save-state", (mScratch / "au.state").string(), "--list-params"},
                   {}, mScratch.Path());
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const std::vector<std::uint8_t> auState = ReadBytes(mScratch / "au.state");
  ASSERT_EQ(auState.size(), tesk::kNumParams * sizeof(double));

  for (const char* uri : {kTeskLV2URI, kTeskLV2MonoURI})
  {
    SCOPED_TRACE(uri);
    auto p = Open(uri);
    ASSERT_TRUE(p);
    p->Activate();
    ASSERT_EQ(p->RestoreStateBytes(kTeskLV2StateKey, auState), LV2_STATE_SUCCESS);
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), auState);
    // The host's ports still hold the values from before the restore; running takes
    // none of them over the restored values.
    const Channels in = Silence(p->NumAudioIn(), 64);
    p->Process(in, 64);
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), auState);
    // A port the host moves afterwards applies as usual.
    p->SetControl(tesk::kModeA, 0.5f);
    p->Process(in, 64);
    std::vector<double> expected(tesk::kNumParams);
    std::memcpy(expected.data(), auState.data(), auState.size());
    expected[tesk::kModeA] = 0.5;
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), Doubles(expected));
  }
}

TEST_F(PluginTest, StateSavedHereRestoresInTheAudioUnit)
{
  auto p = Open(kTeskLV2MonoURI);
  ASSERT_TRUE(p);
  const std::vector<std::pair<int, float>> settings = {
    {tesk::kPre, 0.375f}, {tesk::kAuto, 1.0f}, {tesk::kHigh, 0.5f}, {tesk::kBypass, 1.0f}};
  for (const auto& [port, v] : settings) p->SetControl(port, v);
  p->Activate();
  p->Process(Silence(1, 32), 32);
  const std::vector<std::uint8_t> state = p->SaveStateBytes(kTeskLV2StateKey);
  ASSERT_EQ(state.size(), tesk::kNumParams * sizeof(double));

  const std::vector<double> au = AudioUnitParameters(state);
  ASSERT_EQ(au.size(), static_cast<size_t>(tesk::kNumParams));
  for (int i = 0; i < tesk::kNumParams; ++i)
  {
    double expected = p->Ports()[static_cast<size_t>(i)].def;
    for (const auto& [port, v] : settings)
      if (port == i) expected = v;
    EXPECT_EQ(au[static_cast<size_t>(i)], expected) << "parameter " << i;
  }
}

// A host saves its controls beside the plug-in's state, often with no block run since a
// control moved (a stopped engine, a session saved right after loading). The state must
// agree with those controls, or the restored session plays other values than it shows.
TEST_F(PluginTest, AStateSavedBeforeTheNextRunHoldsTheMovedControls)
{
  for (const char* uri : {kTeskLV2URI, kTeskLV2MonoURI})
  {
    SCOPED_TRACE(uri);
    auto p = Open(uri);
    ASSERT_TRUE(p);
    std::vector<double> expected(tesk::kNumParams);
    for (int i = 0; i < tesk::kNumParams; ++i)
      expected[static_cast<size_t>(i)] = p->Ports()[static_cast<size_t>(i)].def;
    // Before activation, and after a run.
    p->SetControl(tesk::kInv, 1.0f);
    expected[tesk::kInv] = 1.0;
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), Doubles(expected));
    p->Activate();
    p->Process(Silence(p->NumAudioIn(), 64), 64);
    p->SetControl(tesk::kPre, 0.375f);
    p->SetControl(tesk::kModeA, 7.0f);  // out of range: the run would limit it
    expected[tesk::kPre] = 0.375;
    expected[tesk::kModeA] = 1.0;
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), Doubles(expected));
    // The run that follows takes exactly those values.
    p->Process(Silence(p->NumAudioIn(), 64), 64);
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), Doubles(expected));
  }
}

TEST_F(PluginTest, AStateItCannotTakeChangesNothing)
{
  auto p = Open();
  ASSERT_TRUE(p);
  p->SetControl(tesk::kPre, 0.4f);
  p->Activate();
  p->Process(Silence(2, 16), 16);
  const std::vector<std::uint8_t> before = p->SaveStateBytes(kTeskLV2StateKey);
  ASSERT_FALSE(before.empty());

  std::vector<double> nan(tesk::kNumParams, 0.5);
  nan[3] = std::nan("");
  struct Bad
  {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* type;
  };
  const std::vector<Bad> cases = {
    {"short", std::vector<std::uint8_t>(before.begin(), before.end() - 8), "http://lv2plug.in/ns/ext/atom#Chunk"},
    {"long",
     [&] {
       auto b = before;
       b.resize(b.size() + 8);
       return b;
     }(),
     "http://lv2plug.in/ns/ext/atom#Chunk"},
    {"not finite", Doubles(nan), "http://lv2plug.in/ns/ext/atom#Chunk"},
    {"other type", Doubles(std::vector<double>(tesk::kNumParams, 0.5)), "http://lv2plug.in/ns/ext/atom#String"},
    {"empty", {}, "http://lv2plug.in/ns/ext/atom#Chunk"},
  };
  for (const Bad& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_NE(p->RestoreStateBytes(kTeskLV2StateKey, c.bytes, c.type), LV2_STATE_SUCCESS);
    EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), before);
  }
  // No value under the key at all.
  EXPECT_EQ(p->RestoreStateBytes("urn:orvanta:tesk#other", before), LV2_STATE_ERR_NO_PROPERTY);
  EXPECT_EQ(p->SaveStateBytes(kTeskLV2StateKey), before);
}

TEST_F(PluginTest, PresetDashHoldsTheDefaults)
{
  auto p = Open();
  ASSERT_TRUE(p);
  for (int port : p->ControlInputs()) p->SetControl(port, 0.9f);
  LilvWorld* w = mWorld.World();
  LilvNode* preset = lilv_new_uri(w, kTeskLV2PresetURI);
  lilv_world_load_resource(w, preset);
  LilvState* state = lilv_state_new_from_world(w, mWorld.Urids().MapFeature(), preset);
  lilv_node_free(preset);
  ASSERT_NE(state, nullptr);
  EXPECT_STREQ(lilv_state_get_label(state), "-");
  lilv_state_restore(
    state, nullptr,
    [](const char* symbol, void* data, const void* value, uint32_t, uint32_t) {
      auto* plug = static_cast<Lv2Plugin*>(data);
      plug->SetControl(plug->PortIndex(symbol), *static_cast<const float*>(value));
    },
    p.get(), 0, nullptr);
  lilv_state_free(state);
  for (int port : p->ControlInputs())
    EXPECT_EQ(p->Control(port), p->Ports()[static_cast<size_t>(port)].def) << p->Ports()[port].symbol;
}

TEST_F(PluginTest, WorksWithoutAUridMapButHasNoStateThen)
{
  auto p = Open(kTeskLV2URI, /* withoutUridMap */ true);
  ASSERT_TRUE(p);
  p->Activate();
  const Channels out = p->Process(TestSignal(2, 4096), 512);
  EXPECT_EQ(p->Latency(), 12288.0f);
  std::map<std::string, Lv2Plugin::StoredValue> values;
  EXPECT_EQ(p->SaveState(&values), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_TRUE(values.empty());
}
