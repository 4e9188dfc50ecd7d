// Audio Unit host requests on an opened instance: a sequence of SetProperty and
// GetProperty (and GetPropertyInfo) calls with arbitrary IDs, scopes, elements, sizes
// and bytes, mixed with parameter calls, initialise, uninitialise, reset and renders.
//
// Every byte a host could get wrong is the input's, except the pointers some
// properties carry: a host hands over valid objects or null (a garbage pointer is no
// bug of the plug-in's), so the pointer fields of those properties are set to null or
// to one of the harness's own objects, chosen by the input. Objects the unit hands back
// are released as a host releases them, so the leak checker sees the unit's own leaks.

#include "FuzzHost.h"
#include "IPlugAU.h"
#include "PropertyScheme.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstring>

namespace
{

constexpr UInt32 kMaxData = 512;
constexpr UInt32 kMaxFrames = 2048;
constexpr int kMaxChannels = 4;

// ---- The harness's own objects that pointer fields may point at.
const AudioUnitParameterValue kSomeValue = 0.375f;

OSStatus SupplyInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                     AudioBufferList* io)
{
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    if (auto* p = static_cast<float*>(io->mBuffers[c].mData))
      for (UInt32 i = 0; i < nFrames && i < io->mBuffers[c].mDataByteSize / sizeof(float); ++i)
        p[i] = static_cast<float>((i * 7919u + c) % 200) / 100.0f - 1.0f;
  return noErr;
}

OSStatus BeatAndTempo(void*, Float64* beat, Float64* tempo)
{
  if (beat) *beat = 3.5;
  if (tempo) *tempo = 133.0;
  return noErr;
}

OSStatus TransportState(void*, Boolean* playing, Boolean* changed, Float64* sample, Boolean* cycling,
                        Float64* cycleStart, Float64* cycleEnd)
{
  if (playing) *playing = true;
  if (changed) *changed = false;
  if (sample) *sample = 12345.0;
  if (cycling) *cycling = false;
  if (cycleStart) *cycleStart = 0.0;
  if (cycleEnd) *cycleEnd = 16.0;
  return noErr;
}

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}

OSStatus RenderNotify(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  return noErr;
}

struct Harness
{
  AudioUnit unit;
  AudioUnit upstream;  // another instance, as a host's graph connects one
  CFStringRef text;
  CFTypeRef ownState;
};

void Put(void* dst, size_t offset, const void* value, size_t n, UInt32 size)
{
  if (offset + n <= size) std::memcpy(static_cast<char*>(dst) + offset, value, n);
}

// Sets the pointer fields of a SetProperty block to null or a valid object.
void FixSetPointers(const Harness& h, AudioUnitPropertyID id, std::uint8_t choice, void* data, UInt32 size)
{
  const void* none = nullptr;
  const bool valid = choice & 1;
  switch (id)
  {
    case kAudioUnitProperty_ClassInfo:
    {
      const void* p = valid ? h.ownState : (choice & 2) ? static_cast<const void*>(h.text) : none;
      Put(data, 0, &p, sizeof(p), size);
      break;
    }
    case kAudioUnitProperty_MakeConnection:
      Put(data, offsetof(AudioUnitConnection, sourceAudioUnit), valid ? static_cast<const void*>(&h.upstream) : &none,
          sizeof(void*), size);
      break;
    case kAudioUnitProperty_SetRenderCallback:
    {
      const AURenderCallback proc = valid ? SupplyInput : nullptr;
      Put(data, offsetof(AURenderCallbackStruct, inputProc), &proc, sizeof(proc), size);
      Put(data, offsetof(AURenderCallbackStruct, inputProcRefCon), &none, sizeof(none), size);
      break;
    }
    case kAudioUnitProperty_HostCallbacks:
    {
      HostCallbackInfo info = {};
      if (valid) info = {nullptr, BeatAndTempo, nullptr, TransportState};
      std::memcpy(data, &info, size < sizeof(info) ? size : sizeof(info));
      break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      Put(data, offsetof(AUPreset, presetName), valid ? static_cast<const void*>(&h.text) : &none, sizeof(void*), size);
      break;
    case kAudioUnitProperty_AUHostIdentifier:
      Put(data, offsetof(AUHostIdentifier, hostName), valid ? static_cast<const void*>(&h.text) : &none, sizeof(void*),
          size);
      break;
    // The binding's file properties take a CFData, its picture a CFString path: hand them
    // objects of other types or none (a valid path would write files).
    case IPlugAU::kProgramFileProperty:
    case IPlugAU::kBankFileProperty:
    case IPlugAU::kEditorSnapshotProperty:
    {
      const void* p = valid ? h.ownState : none;
      if (id != IPlugAU::kEditorSnapshotProperty && (choice & 2)) p = h.text;
      Put(data, 0, &p, sizeof(p), size);
      break;
    }
    default: break;
  }
}

// The input pointer fields of a GetProperty block.
void FixGetPointers(const Harness& h, AudioUnitPropertyID id, std::uint8_t choice, void* data, UInt32 size)
{
  const void* none = nullptr;
  const void* value = &kSomeValue;
  if (id == kAudioUnitProperty_ParameterStringFromValue)
    Put(data, offsetof(AudioUnitParameterStringFromValue, inValue), (choice & 1) ? &value : &none, sizeof(void*), size);
  if (id == kAudioUnitProperty_ParameterValueFromString)
    Put(data, offsetof(AudioUnitParameterValueFromString, inString),
        (choice & 1) ? static_cast<const void*>(&h.text) : &none, sizeof(void*), size);
}

void ReleaseIf(const void* p)
{
  if (p) CFRelease(p);
}

// Releases what an answered GetProperty handed over, as a host does.
void ReleaseAnswer(AudioUnitPropertyID id, const void* data, UInt32 size)
{
  auto at = [&](size_t offset) {
    const void* p = nullptr;
    if (offset + sizeof(p) <= size) std::memcpy(&p, static_cast<const char*>(data) + offset, sizeof(p));
    return p;
  };
  switch (id)
  {
    case kAudioUnitProperty_ClassInfo:
    case IPlugAU::kProgramFileProperty:
    case IPlugAU::kBankFileProperty:
    case kAudioUnitProperty_FactoryPresets:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_ElementName: ReleaseIf(at(0)); break;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: ReleaseIf(at(offsetof(AUPreset, presetName))); break;
    case kAudioUnitProperty_CocoaUI:
      ReleaseIf(at(offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewBundleLocation)));
      ReleaseIf(at(offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewClass)));
      break;
    case kAudioUnitProperty_ParameterInfo:
    {
      AudioUnitParameterInfo info;
      if (size < sizeof(info)) break;
      std::memcpy(&info, data, sizeof(info));
      if (info.flags & kAudioUnitParameterFlag_CFNameRelease) ReleaseIf(info.cfNameString);
      break;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
      ReleaseIf(at(offsetof(AudioUnitParameterStringFromValue, outString)));
      break;
    case kAudioUnitProperty_ParameterIDName: ReleaseIf(at(offsetof(AudioUnitParameterIDName, outName))); break;
    case kAudioUnitProperty_ParameterClumpName: ReleaseIf(at(offsetof(AudioUnitParameterNameInfo, outName))); break;
    default: break;
  }
}

AudioUnitPropertyID PickID(fuzz::Reader& in)
{
  const std::uint8_t b = in.Byte();
  if (b < 0xF0) return fuzz::kKnownIDs[b % fuzz::kNumKnownIDs];
  return in.U32();
}

AudioUnitScope PickScope(fuzz::Reader& in)
{
  const std::uint8_t b = in.Byte();
  return b < 0xF0 ? fuzz::kScopes[b % fuzz::kNumScopes] : in.U32();
}

AudioUnitElement PickElement(fuzz::Reader& in)
{
  const std::uint8_t b = in.Byte();
  return b < 0xF0 ? b % 4 : in.U32();
}

void SetPropertyOp(const Harness& h, fuzz::Reader& in)
{
  const AudioUnitPropertyID id = PickID(in);
  const AudioUnitScope scope = PickScope(in);
  const AudioUnitElement element = PickElement(in);
  const UInt32 size = in.U16() % (kMaxData + 1);
  alignas(16) std::uint8_t data[kMaxData] = {};
  const std::uint8_t* bytes = nullptr;
  const size_t given = in.Take(size, &bytes);
  std::memcpy(data, bytes, given);
  FixSetPointers(h, id, in.Byte(), data, size);
  AudioUnitSetProperty(h.unit, id, scope, element, (in.Byte() == 0xEE) ? nullptr : data, size);
}

void GetPropertyOp(const Harness& h, fuzz::Reader& in)
{
  const AudioUnitPropertyID id = PickID(in);
  const AudioUnitScope scope = PickScope(in);
  const AudioUnitElement element = PickElement(in);
  const UInt32 capacity = in.U16() % (kMaxData + 1);
  alignas(16) std::uint8_t data[kMaxData] = {};
  const std::uint8_t* bytes = nullptr;
  const size_t given = in.Take(capacity, &bytes);
  std::memcpy(data, bytes, given);
  FixGetPointers(h, id, in.Byte(), data, capacity);
  if (in.Byte() & 1)
  {
    UInt32 size = 0;
    Boolean writable = false;
    AudioUnitGetPropertyInfo(h.unit, id, scope, element, (in.Byte() & 1) ? &size : nullptr, &writable);
    return;
  }
  UInt32 size = capacity;
  if (AudioUnitGetProperty(h.unit, id, scope, element, data, &size) != noErr) return;
  if (size > capacity) fuzz::Fail("GetProperty answered more than the buffer holds");
  ReleaseAnswer(id, data, size);
}

void RenderOp(const Harness& h, fuzz::Reader& in)
{
  static float buffers[kMaxChannels][kMaxFrames];
  const UInt32 frames = in.U16() % (kMaxFrames + 1);
  const UInt32 nBuffers = in.Byte() % (kMaxChannels + 1);
  const std::uint8_t shape = in.Byte();
  alignas(16) std::uint8_t listBytes[offsetof(AudioBufferList, mBuffers) + kMaxChannels * sizeof(AudioBuffer)] = {};
  auto* list = reinterpret_cast<AudioBufferList*>(listBytes);
  list->mNumberBuffers = nBuffers;
  for (UInt32 c = 0; c < nBuffers; ++c)
  {
    // Null data (the unit supplies its own), or a buffer that may claim less than the slice.
    const bool null = (shape >> c) & 1;
    const UInt32 bytes = ((shape >> 4) & 1) ? (in.Byte() * 16u) % (kMaxFrames * 4 + 1) : frames * 4u;
    list->mBuffers[c] = {1, null ? 0u : bytes, null ? nullptr : buffers[c]};
  }
  AudioTimeStamp ts = {};
  ts.mSampleTime = in.U32();
  ts.mFlags = (in.Byte() & 7) ? kAudioTimeStampSampleTimeValid : 0;
  AudioUnitRenderActionFlags flags = 0;
  const UInt32 bus = in.Byte() % 3;
  AudioUnitRender(h.unit, &flags, &ts, bus, frames, list);
}

void Step(const Harness& h, fuzz::Reader& in)
{
  switch (in.Byte() % fuzz::kNumOps)
  {
    case 0:
    case 1:
    case 2: SetPropertyOp(h, in); break;
    case 3:
    case 4: GetPropertyOp(h, in); break;
    case 5:
    {
      const AudioUnitParameterID id = in.Byte() < 0xF0 ? in.Byte() % 16u : in.U32();
      const UInt32 bits = in.U32();
      float v;
      std::memcpy(&v, &bits, sizeof(v));
      const AudioUnitScope scope = PickScope(in);
      const AudioUnitElement element = PickElement(in);
      AudioUnitSetParameter(h.unit, id, scope, element, v, in.U32());
      AudioUnitParameterValue read = 0.0f;
      AudioUnitGetParameter(h.unit, id, scope, element, &read);
      break;
    }
    case 6: (in.Byte() & 1) ? AudioUnitInitialize(h.unit) : AudioUnitUninitialize(h.unit); break;
    case 7:
    {
      const AudioUnitScope scope = PickScope(in);
      AudioUnitReset(h.unit, scope, PickElement(in));
      break;
    }
    case 8: RenderOp(h, in); break;
    case 9:
      if (in.Byte() & 1)
        AudioUnitAddPropertyListener(h.unit, PickID(in), Listener, nullptr);
      else
        AudioUnitAddRenderNotify(h.unit, RenderNotify, nullptr);
      break;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > 4096) return -1;
  fuzz::OpenedPlugin upstream;
  fuzz::OpenedPlugin opened;
  Harness h{opened.Unit(), upstream.Unit(), CFSTR("Fuzz Host 1.0"), nullptr};
  CFPropertyListRef own = nullptr;
  if (opened.Host().CopyClassInfo(&own) != noErr || !own) fuzz::Fail("the unit's own state could not be read");
  h.ownState = own;

  fuzz::Reader in(data, size);
  for (int steps = 0; steps < 64 && !in.Empty(); ++steps) Step(h, in);
  CFRelease(own);
  return 0;
}
