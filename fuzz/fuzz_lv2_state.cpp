// The LV2 plug-in's state restore, reached as a host reaches it: the bundle discovered
// and instantiated through lilv, the input handed to the state interface's restore as
// the value of the plug-in's state property through the host's retrieve callback. Then
// a block runs. Input scheme:
//   byte 0   variant: even stereo, odd mono
//   byte 1   value type: 0-3 atom:Chunk (the plug-in's), 4 atom:String, 5 atom:Int,
//            6 none (0), 7 a URID the host never mapped (taken modulo 8)
//   byte 2   odd: the property is missing (retrieve answers only other keys)
//   byte 3   the value flags the host passes
//   rest     the value's bytes (copied to a buffer of exactly that size)
// What must hold: a value of another type or size, or one the plug-in refuses, changes
// nothing; an accepted one saves back with every parameter finite and in its port's
// range, restores again to the same bytes, and holds through the block; the block's
// output is finite and the latency port reports 12288.
//
// One instance per variant for the whole process (instantiation costs far more than
// most inputs), put back to its defaults through the state interface before each input.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "TeskLV2URIs.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;
constexpr int kBlock = 512;
constexpr float kLatency = 12288.0f;

[[noreturn]] void Fail(const char* what)
{
  std::fprintf(stderr, "fuzz finding: %s\n", what);
  std::abort();
}

// The host's URID map: single-threaded, as the fuzz run is.
struct Urids
{
  std::map<std::string, LV2_URID> ids;
  std::vector<std::string> uris;
  LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<Urids*>(h)->Map(uri); }};
  LV2_URID_Unmap unmap{this, [](LV2_URID_Unmap_Handle h, LV2_URID id) {
                         auto* self = static_cast<Urids*>(h);
                         return id >= 1 && id <= self->uris.size() ? self->uris[id - 1].c_str() : nullptr;
                       }};
  LV2_URID Map(const char* uri)
  {
    auto it = ids.find(uri);
    if (it != ids.end()) return it->second;
    uris.emplace_back(uri);
    return ids[uri] = static_cast<LV2_URID>(uris.size());
  }
};

// What the retrieve callback hands out for the current input.
struct Offer
{
  LV2_URID key = 0, type = 0;
  std::uint32_t flags = 0;
  const void* value = nullptr;
  size_t size = 0;
};

const void* Retrieve(LV2_State_Handle h, std::uint32_t key, size_t* size, std::uint32_t* type, std::uint32_t* flags)
{
  const auto* offer = static_cast<const Offer*>(h);
  if (key != offer->key) return nullptr;
  *size = offer->size;
  *type = offer->type;
  *flags = offer->flags;
  return offer->value;
}

LV2_State_Status Store(LV2_State_Handle h, std::uint32_t, const void* value, size_t size, std::uint32_t, std::uint32_t)
{
  const auto* p = static_cast<const std::uint8_t*>(value);
  static_cast<Bytes*>(h)->assign(p, p + size);
  return LV2_STATE_SUCCESS;
}

class Host final
{
public:
  Host()
  {
    LilvNode* path = lilv_new_string(mWorld, TESK_LV2_BUNDLE_FOLDER);
    lilv_world_set_option(mWorld, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(mWorld);
    mStateKey = mUrids.Map(kTeskLV2StateKey);
    mChunk = mUrids.Map(LV2_ATOM__Chunk);
    mWrongTypes[0] = mUrids.Map(LV2_ATOM__String);
    mWrongTypes[1] = mUrids.Map(LV2_ATOM__Int);
    mWrongTypes[2] = 0;
    mWrongTypes[3] = 0xFFFFu;  // never mapped
  }

  struct Plugin
  {
    LilvInstance* instance = nullptr;
    const LV2_State_Interface* state = nullptr;
    std::vector<float> controls;  // one per port; audio ports' entries unused
    std::vector<float> mins, maxs;
    std::vector<int> audioIn, audioOut;
    int latencyPort = -1;
    Bytes defaults;
  };

  // The variant's instance, instantiated, activated and run once on first use.
  Plugin& Get(int variant)
  {
    Plugin& p = mPlugins[variant];
    if (!p.instance) Open(kTeskLV2Variants[variant].uri, &p);
    return p;
  }

  Bytes Save(Plugin& p)
  {
    Bytes out;
    if (p.state->save(lilv_instance_get_handle(p.instance), Store, &out, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                      nullptr) != LV2_STATE_SUCCESS)
      Fail("the state could not be saved");
    return out;
  }

  LV2_State_Status Restore(Plugin& p, const Offer& offer, std::uint32_t flags = 0)
  {
    return p.state->restore(lilv_instance_get_handle(p.instance), Retrieve, const_cast<Offer*>(&offer), flags, nullptr);
  }

  Offer OfferOf(const Bytes& b) const { return {mStateKey, mChunk, LV2_STATE_IS_POD, b.data(), b.size()}; }
  LV2_URID StateKey() const { return mStateKey; }
  LV2_URID Type(unsigned choice) const { return choice < 4 ? mChunk : mWrongTypes[choice - 4]; }

  // One block of a signal that differs from call to call; the output must be finite.
  void Run(Plugin& p)
  {
    for (int c = 0; c < 2; ++c)
      for (float& s : mIn[c])
      {
        mNoise = mNoise * 1664525u + 1013904223u;
        s = static_cast<float>(static_cast<std::int32_t>(mNoise)) * (0.5f / 2147483648.0f);
      }
    for (size_t c = 0; c < p.audioIn.size(); ++c)
      lilv_instance_connect_port(p.instance, static_cast<std::uint32_t>(p.audioIn[c]), mIn[c]);
    for (size_t c = 0; c < p.audioOut.size(); ++c)
      lilv_instance_connect_port(p.instance, static_cast<std::uint32_t>(p.audioOut[c]), mOut[c]);
    lilv_instance_run(p.instance, kBlock);
    for (size_t c = 0; c < p.audioOut.size(); ++c)
      for (float s : mOut[c])
        if (!std::isfinite(s)) Fail("the output holds a sample that is not finite");
    if (p.controls[static_cast<size_t>(p.latencyPort)] != kLatency) Fail("the latency port does not report 12288");
  }

private:
  void Open(const char* uri, Plugin* p)
  {
    LilvNode* u = lilv_new_uri(mWorld, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), u);
    lilv_node_free(u);
    if (!plugin) Fail("the plug-in is not in the bundle");
    const LV2_Feature map = {LV2_URID__map, &mUrids.map}, unmap = {LV2_URID__unmap, &mUrids.unmap};
    const LV2_Feature* features[] = {&map, &unmap, nullptr};
    p->instance = lilv_plugin_instantiate(plugin, 44100.0, features);
    if (!p->instance) Fail("the plug-in did not instantiate");
    p->state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(p->instance, LV2_STATE__interface));
    if (!p->state) Fail("the plug-in offers no state interface");

    LilvNode* audio = lilv_new_uri(mWorld, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(mWorld, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(mWorld, LV2_CORE__InputPort);
    LilvNode* latency = lilv_new_uri(mWorld, LV2_CORE__reportsLatency);
    const std::uint32_t n = lilv_plugin_get_num_ports(plugin);
    p->controls.assign(n, 0.0f);
    std::vector<float> defs(n), mins(n), maxs(n);
    lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defs.data());
    for (std::uint32_t i = 0; i < n; ++i)
    {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
      const bool in = lilv_port_is_a(plugin, port, input);
      if (lilv_port_is_a(plugin, port, audio)) (in ? p->audioIn : p->audioOut).push_back(static_cast<int>(i));
      if (!lilv_port_is_a(plugin, port, control)) continue;
      if (lilv_port_has_property(plugin, port, latency)) p->latencyPort = static_cast<int>(i);
      if (in)
      {
        p->controls[i] = defs[i];
        p->mins.push_back(mins[i]);
        p->maxs.push_back(maxs[i]);
      }
      lilv_instance_connect_port(p->instance, i, &p->controls[i]);
    }
    for (LilvNode* node : {audio, control, input, latency}) lilv_node_free(node);
    if (p->latencyPort < 0) Fail("the plug-in has no latency port");

    lilv_instance_activate(p->instance);
    Run(*p);
    p->defaults = Save(*p);
  }

  LilvWorld* mWorld = lilv_world_new();
  Urids mUrids;
  LV2_URID mStateKey = 0, mChunk = 0, mWrongTypes[4] = {};
  Plugin mPlugins[kTeskLV2NumVariants];
  float mIn[2][kBlock] = {}, mOut[2][kBlock] = {};
  std::uint32_t mNoise = 1u;
};

Host& TheHost()
{
  static Host* host = new Host;  // lives as long as the process
  return *host;
}

// The parameters a saved state holds: one double each.
void CheckInRange(const Bytes& state, const Host::Plugin& p)
{
  if (state.size() != p.mins.size() * sizeof(double)) Fail("a saved state has another size");
  for (size_t i = 0; i < p.mins.size(); ++i)
  {
    double v = 0.0;
    std::memcpy(&v, state.data() + i * sizeof(double), sizeof(double));
    if (!std::isfinite(v) || v < p.mins[i] || v > p.maxs[i]) Fail("a restored parameter is outside its port's range");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > (1u << 16)) return -1;
  const std::uint8_t header[4] = {size > 0 ? data[0] : std::uint8_t{0}, size > 1 ? data[1] : std::uint8_t{0},
                                  size > 2 ? data[2] : std::uint8_t{0}, size > 3 ? data[3] : std::uint8_t{0}};
  const size_t n = size > 4 ? size - 4 : 0;
  // Exactly the value's bytes, so that a read past them is a sanitizer report.
  std::unique_ptr<std::uint8_t[]> value(new std::uint8_t[n ? n : 1]);
  if (n) std::memcpy(value.get(), data + 4, n);

  Host& host = TheHost();
  Host::Plugin& p = host.Get(header[0] & 1);
  if (host.Restore(p, host.OfferOf(p.defaults)) != LV2_STATE_SUCCESS || host.Save(p) != p.defaults)
    Fail("the defaults did not restore");

  const unsigned typeChoice = header[1] % 8;
  Offer offer = {host.StateKey(), host.Type(typeChoice), header[3], value.get(), n};
  if (header[2] & 1) offer.key = host.StateKey() + 1000;  // a key the plug-in never asks for
  const LV2_State_Status status = host.Restore(p, offer, header[3]);
  const Bytes saved = host.Save(p);
  const bool mayTake = typeChoice < 4 && !(header[2] & 1) && n == p.defaults.size();
  if (status != LV2_STATE_SUCCESS)
  {
    if (saved != p.defaults) Fail("a refused state changed the plug-in");
  }
  else
  {
    if (!mayTake) Fail("a state of another type or size, or none, was accepted");
    CheckInRange(saved, p);
    if (host.Restore(p, host.OfferOf(saved)) != LV2_STATE_SUCCESS || host.Save(p) != saved)
      Fail("a saved state did not restore to the same bytes");
  }
  host.Run(p);
  if (host.Save(p) != saved) Fail("the block changed the state the host did not touch");
  return 0;
}
