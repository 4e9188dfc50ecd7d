// The test host's discovery, instantiation, ports and state (see Lv2Host.h).

#include "Lv2Host.h"

#include <cmath>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

namespace lv2_test
{
namespace
{
const char* const kLv2 = "http://lv2plug.in/ns/lv2core#";

// A lilv node freed when it goes out of scope.
struct Node
{
  explicit Node(LilvNode* n)
    : p(n)
  {
  }
  ~Node() { lilv_node_free(p); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  LilvNode* p;
};

std::string Lv2(const char* term) { return std::string(kLv2) + term; }
}  // namespace

// ==== URIDs ====

UridMap::UridMap()
{
  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->Map(uri); };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID id) { return static_cast<UridMap*>(h)->Unmap(id); };
}

LV2_URID UridMap::Map(const char* uri)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mIds.find(uri);
  if (it != mIds.end()) return it->second;
  mUris.emplace_back(uri);
  const auto id = static_cast<LV2_URID>(mUris.size());
  mIds.emplace(uri, id);
  return id;
}

const char* UridMap::Unmap(LV2_URID urid)
{
  std::lock_guard<std::mutex> lock(mMutex);
  return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}

// ==== World ====

Lv2World::Lv2World(const std::string& folder)
  : mWorld(lilv_world_new())
{
  // Only the bundles of this folder, never the machine's own.
  LilvNode* path = lilv_new_string(mWorld, folder.c_str());
  lilv_world_set_option(mWorld, LILV_OPTION_LV2_PATH, path);
  lilv_node_free(path);
  lilv_world_load_all(mWorld);
}

Lv2World::~Lv2World() { lilv_world_free(mWorld); }

const LilvPlugin* Lv2World::Plugin(const char* uri) const
{
  Node n(lilv_new_uri(mWorld, uri));
  return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), n.p);
}

// ==== Plug-in ====

Lv2Plugin::Lv2Plugin(Lv2World& world, const LilvPlugin* plugin)
  : mWorld(world),
    mPlugin(plugin)
{
}

std::unique_ptr<Lv2Plugin> Lv2Plugin::Open(Lv2World& world, const char* uri, double sampleRate, std::string* pError,
                                           bool withoutUridMap, int maxBlockLength)
{
  const LilvPlugin* plugin = world.Plugin(uri);
  if (!plugin)
  {
    *pError = std::string("no plug-in ") + uri;
    return nullptr;
  }
  std::unique_ptr<Lv2Plugin> p(new Lv2Plugin(world, plugin));
  const LV2_Feature map = {LV2_URID__map, world.Urids().MapFeature()};
  const LV2_Feature unmap = {LV2_URID__unmap, world.Urids().UnmapFeature()};
  LV2_Feature options = {LV2_OPTIONS__options, nullptr};
  const LV2_Feature bounded = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
  std::vector<const LV2_Feature*> features;
  if (!withoutUridMap)
  {
    p->MakeOptions(sampleRate, maxBlockLength);
    options.data = p->mOptions.data();
    features = {&map, &unmap, &options};
  }
  if (maxBlockLength > 0) features.push_back(&bounded);
  // As hosts do: a plug-in that requires anything not offered is not instantiated.
  std::string missing;
  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  LILV_FOREACH(nodes, i, required)
  {
    const char* need = lilv_node_as_uri(lilv_nodes_get(required, i));
    bool offered = false;
    for (const LV2_Feature* f : features) offered = offered || std::strcmp(f->URI, need) == 0;
    if (!offered) missing += std::string(missing.empty() ? "" : ", ") + need;
  }
  lilv_nodes_free(required);
  if (!missing.empty())
  {
    *pError = std::string(uri) + " requires what this host does not offer: " + missing;
    return nullptr;
  }
  features.push_back(nullptr);
  p->mInstance = lilv_plugin_instantiate(plugin, sampleRate, features.data());
  if (!p->mInstance)
  {
    *pError = std::string("instantiation of ") + uri + " failed";
    return nullptr;
  }
  p->ReadPorts();
  return p;
}

void Lv2Plugin::MakeOptions(double sampleRate, int maxBlockLength)
{
  UridMap& u = mWorld.Urids();
  const LV2_URID intType = u.Map(LV2_ATOM__Int), floatType = u.Map(LV2_ATOM__Float);
  mOptionRate = static_cast<float>(sampleRate);
  mOptionMinBlock = 1;
  mOptionMaxBlock = maxBlockLength;
  mOptions = {{LV2_OPTIONS_INSTANCE, 0, u.Map(LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &mOptionRate}};
  if (maxBlockLength > 0)
  {
    mOptions.push_back(
      {LV2_OPTIONS_INSTANCE, 0, u.Map(LV2_BUF_SIZE__minBlockLength), sizeof(std::int32_t), intType, &mOptionMinBlock});
    mOptions.push_back(
      {LV2_OPTIONS_INSTANCE, 0, u.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t), intType, &mOptionMaxBlock});
  }
  mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
}

Lv2Plugin::~Lv2Plugin()
{
  if (!mInstance) return;
  if (mActive) lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

void Lv2Plugin::ReadPorts()
{
  LilvWorld* w = mWorld.World();
  Node input(lilv_new_uri(w, Lv2("InputPort").c_str())), audio(lilv_new_uri(w, Lv2("AudioPort").c_str()));
  Node control(lilv_new_uri(w, Lv2("ControlPort").c_str())), toggled(lilv_new_uri(w, Lv2("toggled").c_str()));
  Node latency(lilv_new_uri(w, Lv2("reportsLatency").c_str()));
  const uint32_t n = lilv_plugin_get_num_ports(mPlugin);
  mControls.assign(n, 0.0f);
  for (uint32_t i = 0; i < n; ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    PortInfo info;
    info.index = static_cast<int>(i);
    info.symbol = lilv_node_as_string(lilv_port_get_symbol(mPlugin, port));
    Node name(lilv_port_get_name(mPlugin, port));
    info.name = name.p ? lilv_node_as_string(name.p) : "";
    info.input = lilv_port_is_a(mPlugin, port, input.p);
    info.audio = lilv_port_is_a(mPlugin, port, audio.p);
    info.control = lilv_port_is_a(mPlugin, port, control.p);
    info.toggled = lilv_port_has_property(mPlugin, port, toggled.p);
    info.reportsLatency = lilv_port_has_property(mPlugin, port, latency.p);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(mPlugin, port, &def, &min, &max);
    info.def = def ? lilv_node_as_float(def) : 0.0f;
    info.min = min ? lilv_node_as_float(min) : 0.0f;
    info.max = max ? lilv_node_as_float(max) : 0.0f;
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    if (info.control)
    {
      mControls[i] = info.def;
      lilv_instance_connect_port(mInstance, i, &mControls[i]);
    }
    if (info.audio) (info.input ? mAudioIn : mAudioOut).push_back(info.index);
    mPorts.push_back(info);
  }
}

int Lv2Plugin::PortIndex(const std::string& symbol) const
{
  for (const PortInfo& p : mPorts)
    if (p.symbol == symbol) return p.index;
  return -1;
}

std::vector<int> Lv2Plugin::ControlInputs() const
{
  std::vector<int> out;
  for (const PortInfo& p : mPorts)
    if (p.control && p.input) out.push_back(p.index);
  return out;
}

float Lv2Plugin::Latency() const
{
  for (const PortInfo& p : mPorts)
    if (p.reportsLatency) return mControls[static_cast<size_t>(p.index)];
  return -1.0f;
}

void Lv2Plugin::Activate()
{
  if (!mActive) lilv_instance_activate(mInstance);
  mActive = true;
}

void Lv2Plugin::Deactivate()
{
  if (mActive) lilv_instance_deactivate(mInstance);
  mActive = false;
}

void Lv2Plugin::Run(const float* const* in, float* const* out, int nFrames)
{
  for (size_t c = 0; c < mAudioIn.size(); ++c)
    lilv_instance_connect_port(mInstance, static_cast<uint32_t>(mAudioIn[c]), const_cast<float*>(in[c]));
  for (size_t c = 0; c < mAudioOut.size(); ++c)
    lilv_instance_connect_port(mInstance, static_cast<uint32_t>(mAudioOut[c]), out[c]);
  lilv_instance_run(mInstance, static_cast<uint32_t>(nFrames));
}

std::vector<std::vector<float>> Lv2Plugin::Process(const std::vector<std::vector<float>>& in, int block)
{
  const size_t frames = in.empty() ? 0 : in[0].size();
  std::vector<std::vector<float>> out(mAudioOut.size(), std::vector<float>(frames));
  std::vector<const float*> ins(mAudioIn.size());
  std::vector<float*> outs(mAudioOut.size());
  for (size_t start = 0; start < frames; start += static_cast<size_t>(block))
  {
    const int n = static_cast<int>(std::min(frames - start, static_cast<size_t>(block)));
    for (size_t c = 0; c < ins.size(); ++c) ins[c] = in[c].data() + start;
    for (size_t c = 0; c < outs.size(); ++c) outs[c] = out[c].data() + start;
    Run(ins.data(), outs.data(), n);
  }
  return out;
}

// ==== State ====

namespace
{
struct StoreContext
{
  UridMap* urids;
  std::map<std::string, Lv2Plugin::StoredValue>* out;
};

struct RetrieveContext
{
  UridMap* urids;
  const std::map<std::string, Lv2Plugin::StoredValue>* values;
};
}  // namespace

LV2_State_Status Lv2Plugin::SaveState(std::map<std::string, StoredValue>* pOut)
{
  const auto* iface =
    static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (!iface) return LV2_STATE_ERR_NO_FEATURE;
  StoreContext ctx{&mWorld.Urids(), pOut};
  auto store = [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                  uint32_t flags) -> LV2_State_Status {
    auto* c = static_cast<StoreContext*>(h);
    StoredValue v;
    v.type = c->urids->Unmap(type) ? c->urids->Unmap(type) : "";
    v.flags = flags;
    v.bytes.assign(static_cast<const std::uint8_t*>(value), static_cast<const std::uint8_t*>(value) + size);
    (*c->out)[c->urids->Unmap(key) ? c->urids->Unmap(key) : ""] = std::move(v);
    return LV2_STATE_SUCCESS;
  };
  return iface->save(lilv_instance_get_handle(mInstance), store, &ctx, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                     nullptr);
}

LV2_State_Status Lv2Plugin::RestoreState(const std::map<std::string, StoredValue>& values)
{
  const auto* iface =
    static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (!iface) return LV2_STATE_ERR_NO_FEATURE;
  RetrieveContext ctx{&mWorld.Urids(), &values};
  auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void* {
    auto* c = static_cast<RetrieveContext*>(h);
    const char* uri = c->urids->Unmap(key);
    auto it = uri ? c->values->find(uri) : c->values->end();
    if (it == c->values->end()) return nullptr;
    *size = it->second.bytes.size();
    *type = c->urids->Map(it->second.type.c_str());
    *flags = it->second.flags;
    return it->second.bytes.data();
  };
  return iface->restore(lilv_instance_get_handle(mInstance), retrieve, &ctx, 0, nullptr);
}

std::vector<std::uint8_t> Lv2Plugin::SaveStateBytes(const char* key)
{
  std::map<std::string, StoredValue> values;
  if (SaveState(&values) != LV2_STATE_SUCCESS) return {};
  auto it = values.find(key);
  return it == values.end() ? std::vector<std::uint8_t>{} : it->second.bytes;
}

LV2_State_Status Lv2Plugin::RestoreStateBytes(const char* key, const std::vector<std::uint8_t>& bytes, const char* type)
{
  std::map<std::string, StoredValue> values;
  values[key] = StoredValue{type, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, bytes};
  return RestoreState(values);
}

bool Lv2Plugin::RestoreFromFile(const std::string& stateTtl)
{
  LilvState* state = lilv_state_new_from_file(mWorld.World(), mWorld.Urids().MapFeature(), nullptr, stateTtl.c_str());
  if (!state) return false;
  auto setValue = [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
    auto* self = static_cast<Lv2Plugin*>(data);
    const int idx = self->PortIndex(symbol);
    if (idx >= 0 && size == sizeof(float) && type == self->mWorld.Urids().Map("http://lv2plug.in/ns/ext/atom#Float"))
      self->SetControl(idx, *static_cast<const float*>(value));
  };
  lilv_state_restore(state, mInstance, setValue, this, 0, nullptr);
  lilv_state_free(state);
  return true;
}

LV2_Handle Lv2Plugin::Handle() const { return lilv_instance_get_handle(mInstance); }
const LV2_Descriptor* Lv2Plugin::Descriptor() const { return lilv_instance_get_descriptor(mInstance); }
const char* Lv2Plugin::Uri() const { return lilv_node_as_uri(lilv_plugin_get_uri(mPlugin)); }
}  // namespace lv2_test
