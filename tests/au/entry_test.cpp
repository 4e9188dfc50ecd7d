// The component entry as hosts reach it: open and close, the selector table,
// initialisation and its legality test, listeners, reset, and the Carbon view entry.

#include "AUHost.h"

#include <AudioUnit/AudioUnitCarbonView.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

using namespace au_test;

TEST(AUEntry, OpenAndCloseRepeatedlyLeavesNothingBehind)
{
  const CFIndex liveBefore = compat_CFLiveObjectCount();
  for (int i = 0; i < 20; ++i)
  {
    AudioUnit unit = nullptr;
    ASSERT_EQ(noErr, compat::OpenAudioUnit(TestComponent(), &unit));
    auto* plug = reinterpret_cast<TestAUPlug*>(compat::StorageOf(unit));
    ASSERT_NE(plug, nullptr);
    // Open identifies the host and drops the preset slot the plug-in left empty.
    EXPECT_EQ(plug->mHostIdentified, 1);
    EXPECT_EQ(plug->GetHost(), kHostUnknown);
    EXPECT_EQ(plug->NPresets(), 2);
    EXPECT_EQ(1, CountComponentInstances(TestComponent()));
    ASSERT_EQ(noErr, compat::CloseAudioUnit(unit));
  }
  EXPECT_EQ(0, CountComponentInstances(TestComponent()));
  EXPECT_EQ(liveBefore, compat_CFLiveObjectCount());
}

TEST(AUEntry, OpenIdentifiesTheHostFromItsBundle)
{
  compat_SetMainBundle("com.example.Logic.Pro", nullptr, nullptr);
  AudioUnit unit = nullptr;
  ASSERT_EQ(noErr, compat::OpenAudioUnit(TestComponent(), &unit));
  EXPECT_EQ(reinterpret_cast<TestAUPlug*>(compat::StorageOf(unit))->GetHost(), kHostLogic);
  compat::CloseAudioUnit(unit);
  compat_SetMainBundle(nullptr, nullptr, nullptr);
}

TEST_F(AUHost, CanDoAnswersTheSelectorTable)
{
  struct Row
  {
    const char* name;
    SInt16 select;
    ComponentResult expected;
  };
  const Row rows[] = {
    {"Initialize", 1, 1},
    {"Uninitialize", 2, 1},
    {"GetPropertyInfo", 3, 1},
    {"GetProperty", 4, 1},
    {"SetProperty", 5, 1},
    {"GetParameter", 6, 1},
    {"SetParameter", 7, 1},
    {"unused 8", 8, 0},
    {"Reset", 9, 1},
    {"AddListener", 10, 1},
    {"RemoveListener", 11, 1},
    {"unused 12", 12, 0},
    {"unused 13", 13, 0},
    {"Render", 14, 1},
    {"AddRenderNotify", 15, 1},
    {"RemoveRenderNotify", 16, 1},
    {"ScheduleParameters", 17, 1},
    {"RemoveListenerWithUserData", 18, 0},
    {"zero", 0, 0},
    {"open", -1, 0},
    {"MIDI event", 0x101, 0},
    {"large", 0x7fff, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.expected, compat::CallComponent(compat::AsComponentInstance(mUnit), kComponentCanDoSelect, r.select))
      << r.name;
}

TEST_F(AUHost, VersionIsThePackedVendorVersion)
{
  EXPECT_EQ(kTestAUVersion, GetComponentVersion(compat::AsComponentInstance(mUnit)));
}

TEST_F(AUHost, UnknownSelectorIsRefusedWithoutSideEffects)
{
  const size_t changes = mPlug->mParamChanges.size();
  EXPECT_EQ(badComponentSelector, compat::CallComponent(compat::AsComponentInstance(mUnit), 0x0013));
  EXPECT_EQ(badComponentSelector, compat::CallComponent(compat::AsComponentInstance(mUnit), 0x0200, 1L));
  EXPECT_EQ(changes, mPlug->mParamChanges.size());
  EXPECT_FALSE(mPlug->IsActive());
}

TEST_F(AUHost, InitializeAnnouncesEveryParameterAndActivates)
{
  mPlug->mParamChanges.clear();
  ASSERT_EQ(noErr, AudioUnitInitialize(mUnit));
  EXPECT_TRUE(mPlug->IsActive());
  EXPECT_EQ(mPlug->mParamChanges, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  ASSERT_FALSE(mPlug->mActivations.empty());
  EXPECT_TRUE(mPlug->mActivations.back());

  ASSERT_EQ(noErr, AudioUnitUninitialize(mUnit));
  EXPECT_FALSE(mPlug->IsActive());
  EXPECT_FALSE(mPlug->mActivations.back());
}

TEST_F(AUHost, InitializeChecksTheConnectedChannelCounts)
{
  struct Row
  {
    const char* name;
    int in, out;  // 0: leave the bus's format unset
    bool legal;
  };
  const Row rows[] = {
    {"no formats set", 0, 0, true},   {"mono", 1, 1, true},
    {"stereo", 2, 2, true},           {"mono to stereo", 1, 2, false},
    {"stereo to mono", 2, 1, false},  {"only input stereo", 2, 0, true},
    {"only output mono", 0, 1, true},
  };
  for (const Row& r : rows)
  {
    AudioUnit unit = nullptr;
    ASSERT_EQ(noErr, compat::OpenAudioUnit(TestComponent(), &unit));
    auto* plug = reinterpret_cast<TestAUPlug*>(compat::StorageOf(unit));
    AudioStreamBasicDescription f;
    if (r.in)
    {
      IPlugAU::MakeDefaultASBD(&f, 44100.0, r.in, false);
      ASSERT_EQ(noErr,
                AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, &f, sizeof(f)))
        << r.name;
    }
    if (r.out)
    {
      IPlugAU::MakeDefaultASBD(&f, 44100.0, r.out, false);
      ASSERT_EQ(noErr,
                AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &f, sizeof(f)))
        << r.name;
    }
    EXPECT_EQ(r.legal ? ComponentResult(noErr) : ComponentResult(badComponentSelector), AudioUnitInitialize(unit))
      << r.name;
    EXPECT_EQ(r.legal, plug->IsActive()) << r.name;
    compat::CloseAudioUnit(unit);
  }
}

TEST_F(AUHost, ResetReachesTheProcessor)
{
  const int before = mPlug->mResets;
  EXPECT_EQ(noErr, AudioUnitReset(mUnit, kAudioUnitScope_Global, 0));
  EXPECT_EQ(before + 1, mPlug->mResets);
}

namespace
{
struct ListenerLog
{
  std::vector<AudioUnitPropertyID> ids;
  std::vector<AudioUnitScope> scopes;
};

void LogListener(void* ref, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
  EXPECT_EQ(element, 0u);
  static_cast<ListenerLog*>(ref)->ids.push_back(id);
  static_cast<ListenerLog*>(ref)->scopes.push_back(scope);
}

void OtherListener(void* ref, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
  LogListener(ref, unit, id, scope, element);
}
}  // namespace

TEST_F(AUHost, PropertyListenersHearEverySetAttemptOnce)
{
  ListenerLog a, b;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_SampleRate, LogListener, &a));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_SampleRate, LogListener, &a));  // kept once
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_StreamFormat, OtherListener, &b));

  EXPECT_EQ(noErr, Set(kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, Float64(48000.0)));
  EXPECT_EQ(a.ids.size(), 1u);
  // A refused format still reaches the listener, with the scope it was set in.
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, SetChannels(kAudioUnitScope_Input, 3));
  ASSERT_EQ(b.ids.size(), 1u);
  EXPECT_EQ(b.scopes[0], static_cast<AudioUnitScope>(kAudioUnitScope_Input));

  ASSERT_EQ(noErr, AudioUnitRemovePropertyListener(mUnit, kAudioUnitProperty_SampleRate, LogListener));
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, Float64(44100.0)));
  EXPECT_EQ(a.ids.size(), 1u);
}

TEST_F(AUHost, RemovingWithUserDataMatchesTheUserData)
{
  ListenerLog a, b;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_Latency, LogListener, &a));
  // The wrong user data removes nothing.
  ASSERT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_Latency, LogListener, &b));
  mPlug->SetLatency(512);
  EXPECT_EQ(a.ids.size(), 1u);
  ASSERT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_Latency, LogListener, &a));
  mPlug->SetLatency(256);
  EXPECT_EQ(a.ids.size(), 1u);
  EXPECT_EQ(mPlug->GetLatency(), 256);
}

TEST_F(AUHost, ProgramChangeAndInformListenersReachTheirListeners)
{
  ListenerLog presets, custom;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_PresentPreset, LogListener, &presets));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_ParameterList, LogListener, &custom));
  mPlug->InformHostOfProgramChange();
  mPlug->InformListeners(kAudioUnitProperty_ParameterList, kAudioUnitScope_Output);
  ASSERT_EQ(presets.ids.size(), 1u);
  EXPECT_EQ(presets.scopes[0], static_cast<AudioUnitScope>(kAudioUnitScope_Global));
  ASSERT_EQ(custom.ids.size(), 1u);
  EXPECT_EQ(custom.scopes[0], static_cast<AudioUnitScope>(kAudioUnitScope_Output));
}

TEST_F(AUHost, MusicDeviceSelectorsAnswerForAnEffectToo)
{
  EXPECT_EQ(noErr, MusicDeviceMIDIEvent(mUnit, 0x90, 60, 100, 0));
  const UInt8 sysex[] = {0xF0, 0x7E, 0xF7};
  EXPECT_EQ(noErr, MusicDeviceSysEx(mUnit, sysex, sizeof(sysex)));
  MusicDeviceNoteParams note = {2, 64.7f, 100.0f, {}};
  NoteInstanceID noteID = 0;
  EXPECT_EQ(noErr, MusicDeviceStartNote(mUnit, 0, 0, &noteID, 0, &note));
  EXPECT_EQ(noteID, 64u);
  EXPECT_EQ(noErr, MusicDeviceStopNote(mUnit, 0, noteID, 0));
}

namespace
{
Component ViewComponent()
{
  static Component c =
    compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(TestAU_ViewEntry),
                             kAudioUnitCarbonViewComponentType, kTestAUSubType, kTestAUMfr, "TestMaker: TestAU View");
  return c;
}
}  // namespace

TEST_F(AUHost, CarbonViewEntryOpensTheEditorOfItsAudioUnit)
{
  AudioUnitCarbonView view = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(ViewComponent(), &view));
  ASSERT_NE(GetComponentInstanceStorage(view), nullptr);

  int sentinel = 0;
  ControlRef control = reinterpret_cast<ControlRef>(&sentinel);
  const Float32Point where = {0, 0}, size = {100, 80};
  EXPECT_EQ(noErr, AudioUnitCarbonViewCreate(view, mUnit, nullptr, nullptr, &where, &size, &control));
  EXPECT_EQ(control, nullptr);  // no window binding here offers a Carbon view: the editor gives none
  EXPECT_EQ(badComponentSelector, compat::CallComponent(view, kAudioUnitCarbonViewSetEventListenerSelect, 0L, 0L));
  EXPECT_EQ(noErr, CloseComponent(view));
}

namespace
{
// A component that opens without storing anything: an instance with no plug-in behind it.
ComponentResult EmptyEntry(ComponentParameters* params, Handle)
{
  const bool lifecycle = params->what == kComponentOpenSelect || params->what == kComponentCloseSelect;
  return lifecycle ? ComponentResult(noErr) : ComponentResult(badComponentSelector);
}
}  // namespace

TEST(AUEntry, CarbonViewCreateWithoutAPlugInIsRefused)
{
  static Component empty = compat_RegisterAudioUnit(EmptyEntry, kAudioUnitType_Effect, 'Empt', kTestAUMfr, nullptr);
  AudioUnit unit = nullptr;
  ASSERT_EQ(noErr, compat::OpenAudioUnit(empty, &unit));
  AudioUnitCarbonView view = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(ViewComponent(), &view));
  ControlRef control = nullptr;
  const Float32Point where = {0, 0}, size = {100, 80};
  EXPECT_EQ(badComponentSelector, AudioUnitCarbonViewCreate(view, unit, nullptr, nullptr, &where, &size, &control));
  EXPECT_EQ(noErr, CloseComponent(view));
  EXPECT_EQ(noErr, compat::CloseAudioUnit(unit));
}

// No C++ exception crosses the component boundary: a factory or handler that throws
// gives the host an error code, and the instance stays usable (the mutex was released).
TEST(AUEntry, AFactoryThatThrowsGivesAnErrorCode)
{
  struct Row
  {
    const char* name;
    std::function<IPlugAU*()> factory;
    ComponentResult expected;
  };
  const Row rows[] = {
    {"out of memory", []() -> IPlugAU* { throw std::bad_alloc(); }, memFullErr},
    {"any other failure", []() -> IPlugAU* { throw std::runtime_error("no"); }, kAudioUnitErr_FailedInitialization},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    gTestAUFactory = row.factory;
    AudioUnit unit = nullptr;
    EXPECT_EQ(row.expected, compat::OpenAudioUnit(TestComponent(), &unit));
    gTestAUFactory = nullptr;
    EXPECT_EQ(0, CountComponentInstances(TestComponent()));
  }
}

TEST_F(AUHost, HandlersThatThrowGiveErrorCodesAndLeaveTheInstanceUsable)
{
  mPlug->mHookBeforeHandlers = [] { throw std::runtime_error("handler failed"); };
  UInt32 seed = 0;
  EXPECT_EQ(kAudioUnitErr_CannotDoInCurrentContext, Get(kTestAUSeedProperty, kAudioUnitScope_Global, 0, &seed));
  EXPECT_EQ(kAudioUnitErr_CannotDoInCurrentContext,
            AudioUnitSetParameter(mUnit, kGain, kAudioUnitScope_Global, 0, 3.0f, 0));
  mPlug->mHookBeforeHandlers = [] { throw std::bad_alloc(); };
  EXPECT_EQ(memFullErr, AudioUnitSetParameter(mUnit, kGain, kAudioUnitScope_Global, 0, 3.0f, 0));

  // The mutex was released on the way out: another thread can still take it.
  mPlug->mHookBeforeHandlers = nullptr;
  std::thread other([this] { WDL_MutexLock lock(mPlug->GetMutex()); });
  other.join();
  EXPECT_EQ(noErr, Get(kTestAUSeedProperty, kAudioUnitScope_Global, 0, &seed));
}
