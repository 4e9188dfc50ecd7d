// Component Manager stand-in: request block layout, instances and their storage, component info.
#include <AudioUnit/AudioUnit.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <ComponentCall.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using compat::ComponentArg;

/* The last request a recording entry received, copied out of the block. */
struct Captured
{
  SInt16 what = 0;
  int paramSize = 0;
  std::vector<long> slots;
  Handle storage = nullptr;
  ComponentParameters* Block() { return reinterpret_cast<ComponentParameters*>(bytes.data()); }
  std::vector<unsigned char> bytes;
};
Captured gLast;
int gStorageToken = 0;

ComponentResult RecordingEntry(ComponentParameters* p, Handle storage)
{
  gLast.what = p->what;
  gLast.paramSize = p->paramSize;
  gLast.storage = storage;
  const size_t n = static_cast<size_t>(p->paramSize) / sizeof(long) + 1;
  const size_t size = offsetof(ComponentParameters, params) + n * sizeof(long);
  gLast.bytes.assign(reinterpret_cast<unsigned char*>(p), reinterpret_cast<unsigned char*>(p) + size);
  gLast.slots.assign(p->params, p->params + n);
  if (p->what == kComponentOpenSelect)
  {
    SetComponentInstanceStorage(compat::ComponentSelf(p, 1), reinterpret_cast<Handle>(&gStorageToken));
  }
  if (p->what == kComponentVersionSelect) return 0x00010203;
  if (p->what == kComponentCanDoSelect) return ComponentArg<SInt16>(p, 0, 1) == kAudioUnitRenderSelect;
  return noErr;
}

const OSType kSubtype = 0x5465736B;  // 'Tesk'

class ComponentTest : public testing::Test
{
protected:
  void SetUp() override
  {
    component = compat_RegisterAudioUnit(RecordingEntry, kAudioUnitType_Effect, kSubtype, kSubtype, "Orvanta: Tesk");
    ASSERT_NE(component, nullptr);
    ASSERT_EQ(OpenAComponent(component, &unit), noErr);
  }
  void TearDown() override
  {
    if (unit)
    {
      EXPECT_EQ(CloseComponent(unit), noErr);
    }
    EXPECT_EQ(UnregisterComponent(component), noErr);
  }
  Component component = nullptr;
  ComponentInstance unit = nullptr;
};

TEST_F(ComponentTest, OpenStoresStorageThatEveryLaterRequestReceives)
{
  EXPECT_EQ(GetComponentInstanceStorage(unit), reinterpret_cast<Handle>(&gStorageToken));
  EXPECT_EQ(CountComponentInstances(component), 1);
  AudioUnitReset(reinterpret_cast<AudioUnit>(unit), kAudioUnitScope_Global, 0);
  EXPECT_EQ(gLast.storage, reinterpret_cast<Handle>(&gStorageToken));
  EXPECT_EQ(compat::ComponentSelf(gLast.Block(), 2), unit);

  EXPECT_EQ(CloseComponent(unit), noErr);
  EXPECT_EQ(gLast.what, kComponentCloseSelect);
  EXPECT_EQ(gLast.storage, reinterpret_cast<Handle>(&gStorageToken));
  EXPECT_EQ(CountComponentInstances(component), 0);
  unit = nullptr;
}

TEST_F(ComponentTest, ComponentInfoComesFromTheRegistrationAlsoThroughAnInstance)
{
  ComponentDescription cd{};
  Handle name = NewHandle(0);
  ASSERT_EQ(GetComponentInfo(reinterpret_cast<Component>(unit), &cd, name, nullptr, nullptr), noErr);
  EXPECT_EQ(cd.componentType, static_cast<OSType>(kAudioUnitType_Effect));
  EXPECT_EQ(cd.componentSubType, kSubtype);
  EXPECT_EQ(cd.componentManufacturer, kSubtype);
  ASSERT_EQ(GetHandleSize(name), 14);
  EXPECT_EQ(std::string(*name + 1, static_cast<size_t>((*name)[0])), "Orvanta: Tesk");
  DisposeHandle(name);

  ComponentDescription looking = {kAudioUnitType_Effect, kSubtype, 0, 0, 0};
  EXPECT_EQ(FindNextComponent(nullptr, &looking), component);
  EXPECT_EQ(FindNextComponent(component, &looking), nullptr);
  EXPECT_EQ(UnregisterComponent(component), validInstancesExist);
}

TEST_F(ComponentTest, StandardRequestsReachTheEntry)
{
  EXPECT_EQ(GetComponentVersion(unit), 0x00010203);
  EXPECT_EQ(ComponentFunctionImplemented(unit, kAudioUnitRenderSelect), 1);
  EXPECT_EQ(ComponentFunctionImplemented(unit, 8), 0);
  EXPECT_EQ(compat::CallComponent(unit, kComponentCanDoSelect, static_cast<SInt16>(-1)), 0);
  EXPECT_EQ(ComponentArg<SInt16>(gLast.Block(), 0, 1), -1);
}

TEST(Component, OpenFailureLeavesNoInstance)
{
  Component c = compat_RegisterAudioUnit([](ComponentParameters*, Handle) -> ComponentResult { return memFullErr; },
                                         kAudioUnitType_Effect, 0x62616420, kSubtype, nullptr);
  ComponentInstance ci = reinterpret_cast<ComponentInstance>(1);
  EXPECT_EQ(OpenAComponent(c, &ci), memFullErr);
  EXPECT_EQ(ci, nullptr);
  EXPECT_EQ(CountComponentInstances(c), 0);
  EXPECT_EQ(UnregisterComponent(c), noErr);
  EXPECT_EQ(OpenAComponent(c, &ci), invalidComponentID);
}

/* One host call per row: the entry must find each argument, with its own type, in the slot the
   platform puts it in. */
struct LayoutCase
{
  const char* name;
  std::function<void(AudioUnit)> call;
  SInt16 what;
  int count;
  std::function<void(const ComponentParameters*)> check;
};

UInt32 gSize;
Boolean gWritable;
AudioUnitParameterValue gValue;
AudioTimeStamp gStamp;
AudioUnitRenderActionFlags gFlags;
AudioBufferList gList;
AudioUnitParameterEvent gEvents[2];
void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}
OSStatus Notify(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  return noErr;
}

template <typename T>
T Arg(const ComponentParameters* p, int i, int n)
{
  return ComponentArg<T>(p, i, n);
}

const LayoutCase kLayoutCases[] = {
  {"Initialize", [](AudioUnit u) { AudioUnitInitialize(u); }, kAudioUnitInitializeSelect, 0,
   [](const ComponentParameters*) {}},
  {"GetPropertyInfo",
   [](AudioUnit u) {
     AudioUnitGetPropertyInfo(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, &gSize, &gWritable);
   },
   kAudioUnitGetPropertyInfoSelect, 5,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitPropertyID>(p, 0, 5), 8u);
     EXPECT_EQ(Arg<AudioUnitScope>(p, 1, 5), 1u);
     EXPECT_EQ(Arg<AudioUnitElement>(p, 2, 5), 1u);
     EXPECT_EQ(Arg<UInt32*>(p, 3, 5), &gSize);
     EXPECT_EQ(Arg<Boolean*>(p, 4, 5), &gWritable);
   }},
  {"GetProperty",
   [](AudioUnit u) { AudioUnitGetProperty(u, kAudioUnitProperty_ParameterInfo, 0, 12, &gValue, &gSize); },
   kAudioUnitGetPropertySelect, 5,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitPropertyID>(p, 0, 5), 4u);
     EXPECT_EQ(Arg<AudioUnitElement>(p, 2, 5), 12u);
     EXPECT_EQ(Arg<void*>(p, 3, 5), &gValue);
     EXPECT_EQ(Arg<UInt32*>(p, 4, 5), &gSize);
   }},
  {"SetProperty", [](AudioUnit u) { AudioUnitSetProperty(u, 46, 0, 0, &gStamp, 16); }, kAudioUnitSetPropertySelect, 5,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitPropertyID>(p, 0, 5), 46u);
     EXPECT_EQ(Arg<const void*>(p, 3, 5), &gStamp);
     EXPECT_EQ(Arg<UInt32>(p, 4, 5), 16u);
   }},
  {"GetParameter", [](AudioUnit u) { AudioUnitGetParameter(u, 3, 0, 0, &gValue); }, kAudioUnitGetParameterSelect, 4,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitParameterID>(p, 0, 4), 3u);
     EXPECT_EQ(Arg<AudioUnitParameterValue*>(p, 3, 4), &gValue);
   }},
  {"SetParameter", [](AudioUnit u) { AudioUnitSetParameter(u, 12, 0, 0, 0.75f, 64); }, kAudioUnitSetParameterSelect, 5,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitParameterID>(p, 0, 5), 12u);
     EXPECT_EQ(Arg<AudioUnitParameterValue>(p, 3, 5), 0.75f);
     EXPECT_EQ(Arg<UInt32>(p, 4, 5), 64u);
   }},
  {"Reset", [](AudioUnit u) { AudioUnitReset(u, kAudioUnitScope_Output, 2); }, kAudioUnitResetSelect, 2,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitScope>(p, 0, 2), 2u);
     EXPECT_EQ(Arg<AudioUnitElement>(p, 1, 2), 2u);
   }},
  {"AddPropertyListener", [](AudioUnit u) { AudioUnitAddPropertyListener(u, 36, Listener, &gSize); },
   kAudioUnitAddPropertyListenerSelect, 3,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitPropertyID>(p, 0, 3), 36u);
     EXPECT_EQ(Arg<AudioUnitPropertyListenerProc>(p, 1, 3), &Listener);
     EXPECT_EQ(Arg<void*>(p, 2, 3), &gSize);
   }},
  {"RemovePropertyListenerWithUserData",
   [](AudioUnit u) { AudioUnitRemovePropertyListenerWithUserData(u, 12, Listener, &gValue); },
   kAudioUnitRemovePropertyListenerWithUserDataSelect, 3,
   [](const ComponentParameters* p) { EXPECT_EQ(Arg<void*>(p, 2, 3), &gValue); }},
  {"AddRenderNotify", [](AudioUnit u) { AudioUnitAddRenderNotify(u, Notify, &gFlags); },
   kAudioUnitAddRenderNotifySelect, 2,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AURenderCallback>(p, 0, 2), &Notify);
     EXPECT_EQ(Arg<void*>(p, 1, 2), &gFlags);
   }},
  {"Render", [](AudioUnit u) { AudioUnitRender(u, &gFlags, &gStamp, 1, 512, &gList); }, kAudioUnitRenderSelect, 5,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<AudioUnitRenderActionFlags*>(p, 0, 5), &gFlags);
     EXPECT_EQ(Arg<const AudioTimeStamp*>(p, 1, 5), &gStamp);
     EXPECT_EQ(Arg<UInt32>(p, 2, 5), 1u);
     EXPECT_EQ(Arg<UInt32>(p, 3, 5), 512u);
     EXPECT_EQ(Arg<AudioBufferList*>(p, 4, 5), &gList);
   }},
  {"ScheduleParameters", [](AudioUnit u) { AudioUnitScheduleParameters(u, gEvents, 2); },
   kAudioUnitScheduleParametersSelect, 2,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<const AudioUnitParameterEvent*>(p, 0, 2), gEvents);
     EXPECT_EQ(Arg<UInt32>(p, 1, 2), 2u);
   }},
  {"MIDIEvent", [](AudioUnit u) { MusicDeviceMIDIEvent(u, 0x90, 60, 100, 7); }, kMusicDeviceMIDIEventSelect, 4,
   [](const ComponentParameters* p) {
     EXPECT_EQ(Arg<UInt32>(p, 0, 4), 0x90u);
     EXPECT_EQ(Arg<UInt32>(p, 3, 4), 7u);
   }},
  {"StopNote", [](AudioUnit u) { MusicDeviceStopNote(u, 1, 60, 5); }, kMusicDeviceStopNoteSelect, 3,
   [](const ComponentParameters* p) { EXPECT_EQ(Arg<NoteInstanceID>(p, 1, 3), 60u); }},
  {"CarbonViewCreate",
   [](AudioUnit u) {
     ControlRef out = nullptr;
     AudioUnitCarbonViewCreate(compat::AsComponentInstance(u), u, nullptr, nullptr, nullptr, nullptr, &out);
   },
   kAudioUnitCarbonViewCreateSelect, 6,
   [](const ComponentParameters* p) {
     EXPECT_EQ(compat::AsComponentInstance(Arg<AudioUnit>(p, 0, 6)), compat::ComponentSelf(p, 6));
     EXPECT_NE(Arg<ControlRef*>(p, 5, 6), nullptr);
   }},
};

class ComponentLayoutTest : public ComponentTest, public testing::WithParamInterface<LayoutCase>
{
};

TEST_P(ComponentLayoutTest, EntryReadsEveryArgumentBack)
{
  const LayoutCase& c = GetParam();
  c.call(reinterpret_cast<AudioUnit>(unit));
  EXPECT_EQ(gLast.what, c.what);
  EXPECT_EQ(gLast.paramSize, c.count * static_cast<int>(sizeof(long)));
  EXPECT_EQ(compat::ComponentSelf(gLast.Block(), c.count), unit);
#if __LP64__
  EXPECT_EQ(gLast.slots[0], reinterpret_cast<long>(unit));  // the platform's 64-bit layout
#endif
  c.check(gLast.Block());
}

INSTANTIATE_TEST_SUITE_P(HostCalls, ComponentLayoutTest, testing::ValuesIn(kLayoutCases),
                         [](const testing::TestParamInfo<LayoutCase>& i) { return std::string(i.param.name); });

TEST(ComponentRequest, NegativeIntegersFillTheWholeSlot)
{
  compat::ComponentRequest<2> request(nullptr, kAudioUnitSetParameterSelect, static_cast<SInt32>(-10878), 2.5f);
  const ComponentParameters* p = request.Params();
  const long* slots = p->params;  // the block holds more slots than the declared array
  EXPECT_EQ(slots[compat::ComponentRequest<2>::ArgumentSlot(0)], -10878L);
  EXPECT_EQ(ComponentArg<SInt32>(p, 0, 2), -10878);
  EXPECT_EQ(ComponentArg<Float32>(p, 1, 2), 2.5f);
  EXPECT_EQ(p->paramSize, 2 * sizeof(long));
}

}  // namespace
