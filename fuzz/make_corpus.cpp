// Writes the fuzz targets' seed corpora: a handful of small valid and edge-case inputs
// per target, made with the plug-in's own writers (so they stay valid when a format
// changes) and the input schemes the targets read.
//   make_fuzz_corpus <corpus folder> <folder of the editor's PNG images>

#include "FuzzHost.h"
#include "IPlugAU.h"
#include "PropertyScheme.h"
#include "lice_bitmap.h"
#include "lice_png.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path gRoot;

void Write(const std::string& target, const std::string& name, const Bytes& bytes)
{
  const fs::path dir = gRoot / target;
  fs::create_directories(dir);
  std::ofstream f(dir / name, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes FromChunk(const ByteChunk& c) { return Bytes(c.GetBytes(), c.GetBytes() + c.Size()); }

Bytes Cut(Bytes b, size_t n)
{
  b.resize(std::min(n, b.size()));
  return b;
}

// ---- Writers of the targets' input schemes
struct Writer
{
  Bytes b;
  Writer& U8(unsigned v)
  {
    b.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Writer& U16(unsigned v) { return U8(v & 0xFF).U8(v >> 8); }
  Writer& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Writer& Raw(const void* p, size_t n)
  {
    const auto* c = static_cast<const std::uint8_t*>(p);
    b.insert(b.end(), c, c + n);
    return *this;
  }
  template <class T>
  Writer& Value(const T& v)
  {
    return Raw(&v, sizeof(v));
  }
};

// fuzz_au_properties: one SetProperty step carrying `value`.
template <class T>
void SetProp(Writer& w, AudioUnitPropertyID id, AudioUnitScope scope, unsigned element, const T& value,
             unsigned pointerChoice = 1)
{
  const unsigned scopeIdx = scope == kAudioUnitScope_Input ? 1 : scope == kAudioUnitScope_Output ? 2 : 0;
  w.U8(fuzz::kOpSetProperty).U8(fuzz::IndexOf(id)).U8(scopeIdx).U8(element).U16(sizeof(T)).Value(value);
  w.U8(pointerChoice).U8(0);
}

void GetProp(Writer& w, AudioUnitPropertyID id, unsigned element, unsigned capacity, const Bytes& in = {})
{
  Bytes data = in;
  data.resize(capacity);
  w.U8(fuzz::kOpGetProperty).U8(fuzz::IndexOf(id)).U8(0).U8(element).U16(capacity).Raw(data.data(), data.size());
  w.U8(1).U8(0);
}

void Render(Writer& w, unsigned frames, unsigned nBuffers, unsigned shape, std::uint32_t sampleTime)
{
  w.U8(fuzz::kOpRender).U16(frames).U8(nBuffers).U8(shape).U32(sampleTime).U8(1).U8(0);
}

AudioStreamBasicDescription FloatFormat(double rate, UInt32 channels, UInt32 flags)
{
  AudioStreamBasicDescription f = {};
  f.mSampleRate = rate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = flags;
  f.mBytesPerPacket = f.mBytesPerFrame = 4;
  f.mFramesPerPacket = 1;
  f.mChannelsPerFrame = channels;
  f.mBitsPerChannel = 32;
  return f;
}

void PropertySeeds()
{
  const UInt32 floats = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  auto prepare = [&](Writer& w, double rate, UInt32 frames) {
    SetProp(w, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, rate);
    SetProp(w, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, FloatFormat(rate, 2, floats));
    SetProp(w, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, FloatFormat(rate, 2, floats));
    SetProp(w, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, frames);
  };
  {
    Writer w;
    prepare(w, 48000.0, 512u);
    SetProp(w, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, AURenderCallbackStruct{});
    SetProp(w, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, HostCallbackInfo{});
    w.U8(fuzz::kOpInitialize).U8(1);
    Render(w, 256, 2, 0, 0);
    Render(w, 256, 2, 0, 256);
    GetProp(w, kAudioUnitProperty_ClassInfo, 0, sizeof(void*));
    GetProp(w, kAudioUnitProperty_ParameterInfo, 1, sizeof(AudioUnitParameterInfo));
    GetProp(w, kAudioUnitProperty_FactoryPresets, 0, sizeof(void*));
    GetProp(w, kAudioUnitProperty_CurrentPreset, 0, sizeof(AUPreset));
    GetProp(w, kAudioUnitProperty_ParameterStringFromValue, 0, sizeof(AudioUnitParameterStringFromValue));
    GetProp(w, kAudioUnitProperty_ParameterValueFromString, 0, sizeof(AudioUnitParameterValueFromString));
    Write("fuzz_au_properties", "host_setup", w.b);
  }
  {
    Writer w;
    prepare(w, 44100.0, 1024u);
    AudioUnitConnection c = {nullptr, 0, 0};
    SetProp(w, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, c);
    w.U8(fuzz::kOpInitialize).U8(1);
    Render(w, 1024, 2, 0x03, 0);  // null buffers: the unit supplies its own
    Write("fuzz_au_properties", "upstream_connection", w.b);
  }
  {
    Writer w;
    prepare(w, 44100.0, 64u);
    w.U8(fuzz::kOpInitialize).U8(1);
    Render(w, 2048, 2, 0, 0);
    Render(w, 64, 1, 0x10, 64);  // buffers that claim less than the slice
    w.U8(0).U8(0);
    Write("fuzz_au_properties", "too_many_frames", w.b);
  }
  {
    Writer w;
    SetProp(w, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
            FloatFormat(44100.0, 2, kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked));
    SetProp(w, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, FloatFormat(44100.0, 3, floats));
    SetProp(w, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, std::numeric_limits<double>::quiet_NaN());
    SetProp(w, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, 0xFFFFFFFFu);
    w.U8(fuzz::kOpInitialize).U8(1);
    Write("fuzz_au_properties", "bad_formats", w.b);
  }
  {
    Writer w;
    SetProp(w, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, static_cast<void*>(nullptr));
    SetProp(w, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, AUPreset{0, nullptr});
    SetProp(w, kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global, 0, AUHostIdentifier{});
    SetProp(w, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, 1u);
    SetProp(w, 64000, kAudioUnitScope_Global, 0, 12345u);
    w.U8(fuzz::kOpParameter).U8(0).U8(6).U32(0x3F000000u).U8(0).U8(0).U32(0);
    w.U8(fuzz::kOpReset).U8(0).U8(0);
    w.U8(fuzz::kOpListener).U8(1).U8(fuzz::IndexOf(kAudioUnitProperty_Latency));
    Write("fuzz_au_properties", "state_presets_and_parameters", w.b);
  }
  Write("fuzz_au_properties", "empty", {});
}

// fuzz_classinfo: a start byte (odd: the unit's own state), an edit count, edits.
void ClassInfoSeeds(const Bytes& state)
{
  auto dataValue = [&](Writer& w, const Bytes& d) {
    w.U8(4).U16(static_cast<unsigned>(d.size())).Raw(d.data(), d.size());
  };
  Write("fuzz_classinfo", "own_state", Writer().U8(1).U8(0).b);
  {
    Writer w;
    w.U8(1).U8(1).U8(5);  // own state, one edit: "data"
    dataValue(w, state);
    Write("fuzz_classinfo", "own_state_new_data", w.b);
  }
  {
    Bytes nan = state;
    const double v = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(nan.data() + 6 * sizeof(double), &v, sizeof(v));
    Writer w;
    w.U8(1).U8(1).U8(5);
    dataValue(w, nan);
    Write("fuzz_classinfo", "own_state_nan_data", w.b);
  }
  Write("fuzz_classinfo", "own_state_without_data", Writer().U8(1).U8(1).U8(0x85).b);
  Write("fuzz_classinfo", "empty_dictionary", Writer().U8(0).U8(0).b);
  {
    const std::uint32_t tesk = ('T' << 24) | ('e' << 16) | ('s' << 8) | 'k';
    Writer w;
    w.U8(0).U8(6);
    w.U8(0).U8(0).U32(0x00010000u);              // version
    w.U8(1).U8(0).U32(kAudioUnitType_Effect);    // type
    w.U8(2).U8(0).U32(tesk);                     // subtype
    w.U8(3).U8(0).U32(tesk);                     // manufacturer
    w.U8(4).U8(3).U8(1).Raw("-", 1);             // name
    w.U8(5);                                     // data
    dataValue(w, Cut(state, state.size() - 8));  // one value short
    Write("fuzz_classinfo", "built_short_data", w.b);
  }
  {
    Writer w;
    w.U8(1).U8(1).U8(2).U8(0).U32(0x41424344u);  // own state with another subtype
    Write("fuzz_classinfo", "own_state_other_subtype", w.b);
  }
  {
    Writer w;
    w.U8(0).U8(0).U8(0xA5);
    dataValue(w, state);  // handed over as bare data, not a dictionary
    Write("fuzz_classinfo", "not_a_dictionary", w.b);
  }
}

// fuzz_lv2_state: variant, type choice, missing-key flag, value flags, then the value.
// The state the plug-in saves is the one the LV2 plug-in saves and restores.
void Lv2StateSeeds(const Bytes& state)
{
  auto seed = [](unsigned variant, unsigned type, unsigned missing, const Bytes& value) {
    Writer w;
    w.U8(variant).U8(type).U8(missing).U8(5);  // LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE
    w.Raw(value.data(), value.size());
    return w.b;
  };
  Write("fuzz_lv2_state", "state", seed(0, 0, 0, state));
  Write("fuzz_lv2_state", "state_mono", seed(1, 0, 0, state));
  Write("fuzz_lv2_state", "state_as_string", seed(0, 4, 0, state));
  Write("fuzz_lv2_state", "state_missing", seed(1, 0, 1, state));
  Write("fuzz_lv2_state", "state_short", seed(0, 0, 0, Cut(state, state.size() - 3)));
  {
    Bytes nan = state;
    const double v = std::numeric_limits<double>::infinity();
    std::memcpy(nan.data() + 2 * sizeof(double), &v, sizeof(v));
    Write("fuzz_lv2_state", "state_infinite", seed(1, 0, 0, nan));
  }
  Write("fuzz_lv2_state", "empty", {});
}

void PngSeeds(const fs::path& images)
{
  for (const char* name : {"smallhandles.png", "faderhandle.png", "buttonOn.png"})
  {
    std::ifstream f(images / name, std::ios::binary);
    const Bytes b{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    Write("fuzz_png", name, b);
    if (std::string(name) == "buttonOn.png") Write("fuzz_png", "truncated.png", Cut(b, b.size() / 2));
  }
  const fs::path tmp = gRoot / "tiny.tmp.png";
  LICE_MemBitmap tiny(1, 1);
  tiny.getBits()[0] = 0x80402010u;
  for (bool alpha : {true, false})
  {
    LICE_WritePNG(tmp.c_str(), &tiny, alpha);
    std::ifstream f(tmp, std::ios::binary);
    Write("fuzz_png", alpha ? "1x1_rgba.png" : "1x1_rgb.png",
          Bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()});
  }
  fs::remove(tmp);
  Write("fuzz_png", "signature_only.png", Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 3)
  {
    std::fprintf(stderr, "usage: make_fuzz_corpus <corpus folder> <image folder>\n");
    return 2;
  }
  gRoot = argv[1];

  fuzz::OpenedPlugin opened;
  IPlugAU* plug = opened.Plug();
  ByteChunk fxp, fxb, state, presets;
  plug->MakeProgramFXP(&fxp);
  plug->MakeBankFXB(&fxb);
  plug->SerializeState(&state);
  plug->SerializePresets(&presets);
  const Bytes defaultFxp = FromChunk(fxp);
  const Bytes stateBytes = FromChunk(state);

  // A program with every value away from its default.
  for (int i = 0; i < plug->NParams(); ++i)
    opened.Host().SetParameter(static_cast<AudioUnitParameterID>(i), 0.1f + 0.06f * i);
  ByteChunk busyFxp, busyFxb, busyState;
  plug->MakeProgramFXP(&busyFxp);
  plug->MakeBankFXB(&busyFxb);
  plug->SerializeState(&busyState);

  Write("fuzz_fxp", "default.fxp", defaultFxp);
  Write("fuzz_fxp", "busy.fxp", FromChunk(busyFxp));
  Write("fuzz_fxp", "header_only.fxp", Cut(defaultFxp, 56));
  Write("fuzz_fxp", "one_value_short.fxp", Cut(defaultFxp, defaultFxp.size() - 4));
  {
    Bytes nan = FromChunk(busyFxp);
    std::memset(nan.data() + 56, 0xFF, 4);  // a NaN value
    Write("fuzz_fxp", "nan_value.fxp", nan);
  }
  Write("fuzz_fxp", "empty", {});

  const Bytes bank = FromChunk(busyFxb);
  Write("fuzz_fxb", "default.fxb", FromChunk(fxb));
  Write("fuzz_fxb", "busy.fxb", bank);
  Write("fuzz_fxb", "header_only.fxb", Cut(bank, 156));
  {
    Bytes v1 = bank;
    v1[15] = 1;  // format version 1
    Write("fuzz_fxb", "version1.fxb", v1);
  }
  {
    Bytes many = bank;
    many[27] = 0x40;  // announces 64 programs
    Write("fuzz_fxb", "more_programs_than_given.fxb", many);
  }

  auto prefixed = [](unsigned which, unsigned start, const Bytes& b) {
    Writer w;
    w.U8(which).U8(start);
    for (unsigned i = 0; i < start; ++i) w.U8(0xAA);
    w.Raw(b.data(), b.size());
    return w.b;
  };
  Write("fuzz_state", "state", prefixed(0, 0, FromChunk(busyState)));
  Write("fuzz_state", "state_at_offset_3", prefixed(0, 3, FromChunk(busyState)));
  Write("fuzz_state", "state_short", prefixed(0, 0, Cut(stateBytes, stateBytes.size() - 3)));
  Write("fuzz_state", "presets", prefixed(1, 0, FromChunk(presets)));
  Write("fuzz_state", "presets_short", prefixed(1, 0, Cut(FromChunk(presets), presets.Size() / 2)));

  ClassInfoSeeds(stateBytes);
  Lv2StateSeeds(FromChunk(busyState));
  PropertySeeds();
  PngSeeds(argv[2]);
  return 0;
}
