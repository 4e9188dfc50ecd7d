// Parameters as hosts see them: list, descriptions, texts, names, groups, and values
// set and read through the selectors and through fast dispatch.

#include "AUHost.h"

#include "IGraphics.h"

using namespace au_test;

namespace
{
constexpr AudioUnitScope G = kAudioUnitScope_Global;

AudioUnitParameterInfo ParamInfo(AudioUnit unit, int id)
{
  AudioUnitParameterInfo info = {};
  UInt32 size = sizeof(info);
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterInfo, G, id, &info, &size));
  return info;
}

void ReleaseInfo(AudioUnitParameterInfo& info)
{
  if (info.cfNameString) CFRelease(info.cfNameString);
  if (info.unitName) CFRelease(info.unitName);
}

std::vector<AudioUnitEvent> gEvents;
void EventSink(void*, void*, const AudioUnitEvent* e) { gEvents.push_back(*e); }
}  // namespace

TEST_F(AUHost, ParameterListHoldsEveryID)
{
  AudioUnitParameterID ids[kNumTestParams] = {};
  UInt32 size = sizeof(ids);
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList, G, 0, ids, &size));
  EXPECT_EQ(sizeof(ids), size);
  for (int i = 0; i < kNumTestParams; ++i) EXPECT_EQ(static_cast<AudioUnitParameterID>(i), ids[i]);
}

TEST_F(AUHost, ParameterInfoDescribesEachKind)
{
  struct Row
  {
    const char* name;
    int id;
    AudioUnitParameterUnit unit;
    const char* unitName;  // custom units only
    float min, max, value;
  };
  const Row rows[] = {
    {"Gain", kGain, kAudioUnitParameterUnit_CustomUnit, "dB", -70.0f, 12.0f, 0.0f},
    {"Mode", kMode, kAudioUnitParameterUnit_Indexed, nullptr, 0.0f, 2.0f, 1.0f},
    {"Active", kActive, kAudioUnitParameterUnit_Boolean, nullptr, 0.0f, 1.0f, 1.0f},
    {"Width", kWidth, kAudioUnitParameterUnit_CustomUnit, "%", 0.0f, 100.0f, 50.0f},
    {"Spread Amount Long", kSpread, kAudioUnitParameterUnit_Generic, nullptr, 0.0f, 1.0f, 0.5f},
    {"Drive", kDrive, kAudioUnitParameterUnit_Indexed, nullptr, 0.0f, 10.0f, 3.0f},
  };
  const AudioUnitParameterOptions always = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
                                           kAudioUnitParameterFlag_HasCFNameString |
                                           kAudioUnitParameterFlag_CFNameRelease;
  for (const Row& r : rows)
  {
    AudioUnitParameterInfo info = ParamInfo(mUnit, r.id);
    EXPECT_STREQ(r.name, info.name);
    EXPECT_EQ(r.name, TakeString(static_cast<CFStringRef>(CFRetain(info.cfNameString)))) << r.name;
    EXPECT_EQ(always, info.flags & always) << r.name;
    EXPECT_EQ(r.unit, info.unit) << r.name;
    if (r.unitName)
    {
      EXPECT_EQ(r.unitName, TakeString(static_cast<CFStringRef>(CFRetain(info.unitName)))) << r.name;
    }
    else
    {
      EXPECT_EQ(nullptr, info.unitName) << r.name;
    }
    EXPECT_EQ(r.min, info.minValue) << r.name;
    EXPECT_EQ(r.max, info.maxValue) << r.name;
    EXPECT_EQ(r.value, info.defaultValue) << r.name;
    ReleaseInfo(info);
  }
  // The default the host sees is the current value.
  ASSERT_EQ(noErr, SetParam(kGain, -6.0f));
  AudioUnitParameterInfo info = ParamInfo(mUnit, kGain);
  EXPECT_EQ(-6.0f, info.defaultValue);
  ReleaseInfo(info);
}

TEST_F(AUHost, ParametersOfOneGroupShareAClump)
{
  AudioUnitParameterInfo gain = ParamInfo(mUnit, kGain), drive = ParamInfo(mUnit, kDrive),
                         width = ParamInfo(mUnit, kWidth), spread = ParamInfo(mUnit, kSpread);
  EXPECT_EQ(0u, gain.flags & kAudioUnitParameterFlag_HasClump);
  EXPECT_EQ(0u, gain.clumpID);
  // Groups are numbered in the order hosts first ask about them.
  EXPECT_TRUE(drive.flags & kAudioUnitParameterFlag_HasClump);
  EXPECT_EQ(1u, drive.clumpID);
  EXPECT_EQ(2u, width.clumpID);
  EXPECT_EQ(2u, spread.clumpID);
  for (auto* p : {&gain, &drive, &width, &spread}) ReleaseInfo(*p);

  struct Row
  {
    const char* name;
    UInt32 clump;
    OSStatus result;
    const char* text;
  };
  const Row rows[] = {
    {"first group", 1, noErr, "Color"},
    {"second group", 2, noErr, "Stereo"},
    {"system clump", 0, kAudioUnitErr_PropertyNotInUse, nullptr},
    {"past the groups", 3, kAudioUnitErr_InvalidPropertyValue, nullptr},
    {"far past", 0xFFFFFFFF, kAudioUnitErr_InvalidPropertyValue, nullptr},
  };
  for (const Row& r : rows)
  {
    AudioUnitParameterNameInfo clump = {r.clump, kAudioUnitParameterName_Full, nullptr};
    EXPECT_EQ(r.result, Get(kAudioUnitProperty_ParameterClumpName, G, 0, &clump)) << r.name;
    if (r.text)
    {
      EXPECT_EQ(r.text, TakeString(clump.outName)) << r.name;
    }
    else
    {
      EXPECT_EQ(nullptr, clump.outName) << r.name;
    }
  }
}

TEST_F(AUHost, ValueStringsListTheDisplayTexts)
{
  CFArrayRef texts = nullptr;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ParameterValueStrings, G, kMode, &texts));
  ASSERT_EQ(3, CFArrayGetCount(texts));
  const char* expected[] = {"Soft", "Medium", "Hard"};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(expected[i], TakeString(static_cast<CFStringRef>(CFRetain(CFArrayGetValueAtIndex(texts, i)))));
  CFRelease(texts);

  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ParameterValueStrings, G, kActive, &texts));
  ASSERT_EQ(2, CFArrayGetCount(texts));
  EXPECT_EQ("off", TakeString(static_cast<CFStringRef>(CFRetain(CFArrayGetValueAtIndex(texts, 0)))));
  EXPECT_EQ("on", TakeString(static_cast<CFStringRef>(CFRetain(CFArrayGetValueAtIndex(texts, 1)))));
  CFRelease(texts);
}

TEST_F(AUHost, StringFromValueShowsTheDisplay)
{
  struct Row
  {
    const char* name;
    UInt32 id;
    float value;
    OSStatus result;
    const char* text;
  };
  const Row rows[] = {
    {"gain", kGain, -6.3f, noErr, "-6.3"},
    {"enum text", kMode, 2.0f, noErr, "Hard"},
    {"bool text", kActive, 0.0f, noErr, "off"},
    {"negated", kSpread, 0.25f, noErr, "-0.25"},
    {"integer", kDrive, 7.0f, noErr, "7"},
    {"past the end", kNumTestParams, 1.0f, kAudioUnitErr_InvalidParameter, nullptr},
    {"huge ID", 0xFFFFFFFF, 1.0f, kAudioUnitErr_InvalidParameter, nullptr},
  };
  for (const Row& r : rows)
  {
    AudioUnitParameterStringFromValue sfv = {r.id, &r.value, nullptr};
    EXPECT_EQ(r.result, Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &sfv)) << r.name;
    if (r.text)
    {
      EXPECT_EQ(r.text, TakeString(sfv.outString)) << r.name;
    }
    else
    {
      EXPECT_EQ(nullptr, sfv.outString) << r.name;
    }
  }
  // Without a value the current one is shown; outside the global scope nothing is written.
  AudioUnitParameterStringFromValue sfv = {kMode, nullptr, nullptr};
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &sfv));
  EXPECT_EQ("Medium", TakeString(sfv.outString));
  sfv.outString = nullptr;
  EXPECT_EQ(noErr, Get(kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Input, 0, &sfv));
  EXPECT_EQ(nullptr, sfv.outString);
}

TEST_F(AUHost, ValueFromStringParsesOrMapsTheText)
{
  struct Row
  {
    const char* name;
    UInt32 id;
    const char* text;
    OSStatus result;
    float value;  // -999: left unchanged
  };
  const Row rows[] = {
    {"number", kGain, "-12.5", noErr, -12.5f},
    {"negated number", kSpread, "0.3", noErr, -0.3f},
    {"enum text", kMode, "Hard", noErr, 2.0f},
    {"enum text wrong case", kMode, "hard", noErr, -999.0f},
    {"bool text", kActive, "on", noErr, 1.0f},
    {"past the end", kNumTestParams, "1", kAudioUnitErr_InvalidParameter, -999.0f},
  };
  for (const Row& r : rows)
  {
    AudioUnitParameterValueFromString vfs = {r.id, CFStringCreateWithCString(nullptr, r.text, kCFStringEncodingUTF8),
                                             -999.0f};
    EXPECT_EQ(r.result, Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &vfs)) << r.name;
    EXPECT_FLOAT_EQ(r.value, vfs.outValue) << r.name;
    CFRelease(vfs.inString);
  }
}

TEST_F(AUHost, IDNameIsCutToTheDesiredLength)
{
  struct Row
  {
    const char* name;
    UInt32 id;
    SInt32 length;
    OSStatus result;
    const char* text;
  };
  const Row rows[] = {
    {"full", kSpread, kAudioUnitParameterName_Full, noErr, "Spread Amount Long"},
    {"four", kSpread, 4, noErr, "Spre"},
    {"zero", kSpread, 0, noErr, ""},
    {"longer than the name", kSpread, 25, noErr, "Spread Amount Long"},
    {"longer than any name", kSpread, 1000, noErr, "Spread Amount Long"},
    {"other negative length", kGain, -7, noErr, "Gain"},
    {"past the end", kNumTestParams, 4, kAudioUnitErr_InvalidParameter, nullptr},
  };
  for (const Row& r : rows)
  {
    AudioUnitParameterIDName idName = {r.id, r.length, nullptr};
    EXPECT_EQ(r.result, Get(kAudioUnitProperty_ParameterIDName, G, 0, &idName)) << r.name;
    if (r.text)
    {
      EXPECT_EQ(r.text, TakeString(idName.outName)) << r.name;
    }
  }
}

TEST_F(AUHost, SetAndGetBySelectorAndByFastDispatch)
{
  AudioUnitGetParameterProc getter = nullptr;
  AudioUnitSetParameterProc setter = nullptr;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_FastDispatch, G, kAudioUnitGetParameterSelect, &getter));
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_FastDispatch, G, kAudioUnitSetParameterSelect, &setter));
  void* storage = compat::StorageOf(mUnit);

  mPlug->mParamChanges.clear();
  mPlug->mEditorValues.clear();
  ASSERT_EQ(noErr, SetParam(kGain, -20.0f));
  EXPECT_EQ(-20.0f, GetParam(kGain));
  ASSERT_EQ(noErr, setter(storage, kWidth, G, 0, 25.0f, 0));
  AudioUnitParameterValue v = 0;
  ASSERT_EQ(noErr, getter(storage, kWidth, G, 0, &v));
  EXPECT_EQ(25.0f, v);
  EXPECT_EQ(mPlug->mParamChanges, (std::vector<int>{kGain, kWidth}));

  // Values are limited to the range; the editor's controls get them normalized.
  ASSERT_EQ(noErr, SetParam(kGain, 100.0f));
  EXPECT_EQ(12.0f, GetParam(kGain));
  ASSERT_GE(mPlug->mEditorValues.size(), 2u);
  EXPECT_NEAR(50.0 / 82.0, mPlug->mEditorValues[0], 1e-9);
  EXPECT_EQ(1.0, mPlug->mEditorValues.back());
}

TEST_F(AUHost, ParameterAccessOutsideTheListTouchesNothing)
{
  AudioUnitSetParameterProc setter = nullptr;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_FastDispatch, G, kAudioUnitSetParameterSelect, &setter));
  void* storage = compat::StorageOf(mUnit);
  mPlug->mParamChanges.clear();
  struct Row
  {
    const char* name;
    AudioUnitParameterID id;
    AudioUnitScope scope;
    OSStatus result;
  };
  const Row rows[] = {
    {"ID at the count", kNumTestParams, G, kAudioUnitErr_InvalidParameter},
    {"huge ID", 0x80000000u, G, kAudioUnitErr_InvalidParameter},
    {"input scope", kGain, kAudioUnitScope_Input, kAudioUnitErr_InvalidProperty},
  };
  for (const Row& r : rows)
  {
    EXPECT_EQ(r.result, AudioUnitSetParameter(mUnit, r.id, r.scope, 0, 1.0f, 0)) << r.name;
    EXPECT_EQ(r.result, setter(storage, r.id, r.scope, 0, 1.0f, 0)) << r.name;
    AudioUnitParameterValue v = -5.0f;
    EXPECT_EQ(r.result, AudioUnitGetParameter(mUnit, r.id, r.scope, 0, &v)) << r.name;
    EXPECT_EQ(-5.0f, v) << r.name;
  }
  EXPECT_TRUE(mPlug->mParamChanges.empty());
  EXPECT_EQ(0.0f, GetParam(kGain));
  // A value that is not a number never reaches the processor.
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetParam(kGain, std::nanf("")));
  EXPECT_EQ(0.0f, GetParam(kGain));
}

TEST_F(AUHost, ScheduledImmediateEventsSetParameters)
{
  AudioUnitParameterEvent events[3] = {};
  events[0] = {G, 0, kGain, kParameterEvent_Immediate, {}};
  events[0].eventValues.immediate = {0, -3.0f};
  events[1] = {G, 0, kWidth, kParameterEvent_Ramped, {}};
  events[1].eventValues.ramp = {0, 64, 0.0f, 80.0f};
  events[2] = {G, 0, kDrive, kParameterEvent_Immediate, {}};
  events[2].eventValues.immediate = {0, 9.0f};
  EXPECT_EQ(noErr, AudioUnitScheduleParameters(mUnit, events, 3));
  EXPECT_EQ(-3.0f, GetParam(kGain));
  EXPECT_EQ(50.0f, GetParam(kWidth));  // ramps are not followed
  EXPECT_EQ(9.0f, GetParam(kDrive));

  // The first failing event stops the rest.
  events[0].parameter = kNumTestParams;
  events[2].eventValues.immediate.value = 1.0f;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter, AudioUnitScheduleParameters(mUnit, events, 3));
  EXPECT_EQ(9.0f, GetParam(kDrive));
}

TEST_F(AUHost, EditorChangesReachTheHostAsParameterEvents)
{
  gEvents.clear();
  compat_AddAUEventSink(EventSink, nullptr);
  mPlug->BeginInformHostOfParamChange(kWidth);
  mPlug->SetParameterFromGUI(kWidth, 0.75);
  mPlug->EndInformHostOfParamChange(kWidth);
  compat_RemoveAUEventSink(EventSink, nullptr);

  ASSERT_EQ(3u, gEvents.size());
  const AudioUnitEventType expected[] = {kAudioUnitEvent_BeginParameterChangeGesture,
                                         kAudioUnitEvent_ParameterValueChange,
                                         kAudioUnitEvent_EndParameterChangeGesture};
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(expected[i], gEvents[i].mEventType);
    EXPECT_EQ(mUnit, gEvents[i].mArgument.mParameter.mAudioUnit);
    EXPECT_EQ(static_cast<AudioUnitParameterID>(kWidth), gEvents[i].mArgument.mParameter.mParameterID);
    EXPECT_EQ(static_cast<AudioUnitScope>(G), gEvents[i].mArgument.mParameter.mScope);
  }
  // Listeners read the value back through the getter.
  EXPECT_EQ(75.0f, GetParam(kWidth));
}
