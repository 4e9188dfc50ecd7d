#pragma once
// A small LV2 host in the test process, built on lilv as Linux hosts are: it discovers
// the plug-ins of one folder of bundles (as LV2_PATH would), instantiates one with a
// URID map, connects its ports to buffers of its own, runs it, and saves and restores
// its state through the plug-in's state interface. Written so that another suite (the
// validator, through its plug-in-under-test interface) can drive the plug-in through it
// as through any binding: Prepare is Open at the rate, then Activate (Deactivate and
// Activate reset it); SetParameter/GetParameter are the control ports (SetControl,
// Control: the host's values, read by the plug-in at the next Run); Render is Run;
// LatencySamples is Latency after a Run; SaveState/RestoreState are SaveStateBytes and
// RestoreStateBytes under the plug-in's state key. The library is lv2_test_host.
//
// Threads: Run is the audio thread; everything else is the host's control thread and
// never runs during Run, except SaveState, which LV2 allows then.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

namespace lv2_test
{
// URIs to integers and back, for everything a host hands a plug-in or UI.
class UridMap final
{
public:
  UridMap();
  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID urid);
  LV2_URID_Map* MapFeature() noexcept { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() noexcept { return &mUnmap; }

private:
  std::mutex mMutex;
  std::map<std::string, LV2_URID> mIds;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

// The bundles of one folder, loaded as a host discovers them.
class Lv2World final
{
public:
  explicit Lv2World(const std::string& folder);
  ~Lv2World();
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  const LilvPlugin* Plugin(const char* uri) const;
  LilvWorld* World() const noexcept { return mWorld; }
  UridMap& Urids() noexcept { return mUrids; }

private:
  LilvWorld* mWorld;
  UridMap mUrids;
};

struct PortInfo
{
  int index = 0;
  std::string symbol, name;
  bool input = false, audio = false, control = false;
  float min = 0, max = 0, def = 0;
  bool toggled = false, reportsLatency = false;
};

class Lv2Plugin final
{
public:
  // Null with a reason when the plug-in is not found, requires a feature this host does
  // not offer, or does not instantiate. Offered: the URID map and unmap (unless
  // withoutUridMap is set; the options then too, whose keys are URIDs), the options
  // (sample rate; with maxBlockLength above 0 the block lengths) and, with
  // maxBlockLength above 0, the promise of bounded blocks of at most that length.
  static std::unique_ptr<Lv2Plugin> Open(Lv2World& world, const char* uri, double sampleRate, std::string* pError,
                                         bool withoutUridMap = false, int maxBlockLength = 0);
  ~Lv2Plugin();
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  const std::vector<PortInfo>& Ports() const noexcept { return mPorts; }
  int NumAudioIn() const noexcept { return static_cast<int>(mAudioIn.size()); }
  int NumAudioOut() const noexcept { return static_cast<int>(mAudioOut.size()); }
  // The port of a symbol; -1 when there is none.
  int PortIndex(const std::string& symbol) const;
  // The control inputs in index order (what a host shows as parameters).
  std::vector<int> ControlInputs() const;

  // The host's value of a control port (inputs: what the host set; outputs: what the
  // plug-in wrote at its last run).
  void SetControl(int port, float value) { mControls.at(static_cast<size_t>(port)) = value; }
  float Control(int port) const { return mControls.at(static_cast<size_t>(port)); }
  // The latency output's value; -1 without one.
  float Latency() const;

  void Activate();
  void Deactivate();
  // in[c], out[c] hold nFrames samples of audio input and output c.
  void Run(const float* const* in, float* const* out, int nFrames);
  // The whole signal through the plug-in in blocks of `block` frames; channels
  // de-interleaved, one vector each.
  std::vector<std::vector<float>> Process(const std::vector<std::vector<float>>& in, int block);

  // Through the state interface: the values the plug-in stored, by key URI.
  struct StoredValue
  {
    std::string type;
    uint32_t flags = 0;
    std::vector<std::uint8_t> bytes;
  };
  LV2_State_Status SaveState(std::map<std::string, StoredValue>* pOut);
  LV2_State_Status RestoreState(const std::map<std::string, StoredValue>& values);
  // The bytes under one key, empty when the save failed or stored nothing there.
  std::vector<std::uint8_t> SaveStateBytes(const char* key);
  LV2_State_Status RestoreStateBytes(const char* key, const std::vector<std::uint8_t>& bytes,
                                     const char* type = "http://lv2plug.in/ns/ext/atom#Chunk");
  // Restores a state saved by a host (a state.ttl of a saved folder) as lilv does.
  bool RestoreFromFile(const std::string& stateTtl);

  LV2_Handle Handle() const;
  const LV2_Descriptor* Descriptor() const;
  const char* Uri() const;

private:
  Lv2Plugin(Lv2World& world, const LilvPlugin* plugin);
  void ReadPorts();
  // The options a host hands over at instantiation; they live as long as the instance.
  void MakeOptions(double sampleRate, int maxBlockLength);

  Lv2World& mWorld;
  const LilvPlugin* mPlugin;
  LilvInstance* mInstance = nullptr;
  bool mActive = false;
  std::vector<PortInfo> mPorts;
  std::vector<float> mControls;  // one per port; audio ports' entries unused
  std::vector<int> mAudioIn, mAudioOut;
  float mOptionRate = 0.0f;
  std::int32_t mOptionMinBlock = 0, mOptionMaxBlock = 0;
  std::vector<LV2_Options_Option> mOptions;
};
}  // namespace lv2_test
