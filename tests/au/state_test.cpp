// Saved state and presets: the class-info dictionary, factory presets, the current
// preset, and the preset objects' reference counting.

#include "AUHost.h"
#include "dfx/CFAUPreset.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

using namespace au_test;

namespace
{
constexpr AudioUnitScope G = kAudioUnitScope_Global;

CFDictionaryRef SaveState(AudioUnit unit)
{
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, &size));
  return static_cast<CFDictionaryRef>(state);
}

SInt32 NumberAt(CFDictionaryRef dict, const char* key)
{
  CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  auto num = static_cast<CFNumberRef>(CFDictionaryGetValue(dict, k));
  CFRelease(k);
  SInt32 v = -1;
  if (num) CFNumberGetValue(num, kCFNumberSInt32Type, &v);
  return v;
}

// A copy of the state with keys replaced (value null: removed).
CFDictionaryRef WithKey(CFDictionaryRef state, CFStringRef key, CFTypeRef value, CFStringRef key2 = nullptr,
                        CFTypeRef value2 = nullptr)
{
  CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, state);
  if (value)
    CFDictionarySetValue(copy, key, value);
  else
    CFDictionaryRemoveValue(copy, key);
  if (key2) CFDictionarySetValue(copy, key2, value2);
  return copy;
}

OSStatus RestoreState(AudioUnit unit, CFPropertyListRef state)
{
  return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, sizeof(state));
}
}  // namespace

TEST_F(AUHost, ClassInfoHoldsTheComponentAndTheParameterValues)
{
  CFDictionaryRef state = SaveState(mUnit);
  ASSERT_NE(nullptr, state);
  EXPECT_EQ(kTestAUVersion, NumberAt(state, "version"));
  EXPECT_EQ(static_cast<SInt32>(kAudioUnitType_Effect), NumberAt(state, "type"));
  EXPECT_EQ(static_cast<SInt32>(kTestAUSubType), NumberAt(state, "subtype"));
  EXPECT_EQ(static_cast<SInt32>(kTestAUMfr), NumberAt(state, "manufacturer"));
  EXPECT_EQ("Unity", TakeString(static_cast<CFStringRef>(CFRetain(CFDictionaryGetValue(state, CFSTR("name"))))));
  auto data = static_cast<CFDataRef>(CFDictionaryGetValue(state, CFSTR("data")));
  ASSERT_NE(nullptr, data);
  EXPECT_EQ(kNumTestParams * 8, CFDataGetLength(data));
  CFRelease(state);
}

TEST_F(AUHost, ClassInfoSaveChangeRestore)
{
  ASSERT_EQ(noErr, SetParam(kGain, -9.0f));
  ASSERT_EQ(noErr, SetParam(kMode, 2.0f));
  CFDictionaryRef state = SaveState(mUnit);
  ASSERT_EQ(noErr, SetParam(kGain, 3.0f));
  ASSERT_EQ(noErr, SetParam(kMode, 0.0f));
  mPlug->mEditorValues.clear();

  ASSERT_EQ(noErr, RestoreState(mUnit, state));
  EXPECT_EQ(-9.0f, GetParam(kGain));
  EXPECT_EQ(2.0f, GetParam(kMode));
  // The editor is redrawn with the restored values.
  ASSERT_FALSE(mPlug->mEditorValues.empty());
  EXPECT_NEAR(61.0 / 82.0, mPlug->mEditorValues.back(), 1e-6);  // normalized -9 dB
  CFRelease(state);
}

TEST_F(AUHost, TheNamedPresetIsSelectedBeforeTheDataWins)
{
  CFDictionaryRef state = SaveState(mUnit);  // "Unity", gain 0
  CFDictionaryRef named = WithKey(state, CFSTR("name"), CFSTR("Quiet"));
  ASSERT_EQ(noErr, RestoreState(mUnit, named));
  EXPECT_EQ(1, mPlug->GetCurrentPresetIdx());
  EXPECT_EQ(0.0f, GetParam(kGain));  // "Quiet" has -20; the state's data says 0
  EXPECT_EQ(1.0f, GetParam(kMode));
  CFRelease(named);
  CFRelease(state);
}

TEST_F(AUHost, ForeignOrIncompleteStatesAreRefusedAndChangeNothing)
{
  ASSERT_EQ(noErr, SetParam(kGain, -9.0f));
  CFDictionaryRef state = SaveState(mUnit);
  ASSERT_EQ(noErr, SetParam(kGain, -1.0f));

  SInt32 otherSubtype = 'Othr';
  CFNumberRef other = CFNumberCreate(nullptr, kCFNumberSInt32Type, &otherSubtype);
  const unsigned char shortBytes[20] = {};
  CFDataRef shortData = CFDataCreate(nullptr, shortBytes, sizeof(shortBytes));
  CFDataRef emptyData = CFDataCreate(nullptr, shortBytes, 0);
  // The saved values with one of them replaced by a NaN.
  CFDataRef saved = static_cast<CFDataRef>(CFDictionaryGetValue(state, CFSTR("data")));
  std::vector<unsigned char> nanBytes(CFDataGetBytePtr(saved), CFDataGetBytePtr(saved) + CFDataGetLength(saved));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ASSERT_GE(nanBytes.size(), 2 * sizeof(double));
  std::memcpy(nanBytes.data() + sizeof(double), &nan, sizeof(double));
  CFDataRef nanData = CFDataCreate(nullptr, nanBytes.data(), static_cast<CFIndex>(nanBytes.size()));
  struct Row
  {
    const char* name;
    CFDictionaryRef state;
  };
  const Row rows[] = {
    {"another subtype", WithKey(state, CFSTR("subtype"), other)},
    {"another manufacturer", WithKey(state, CFSTR("manufacturer"), other)},
    {"missing data", WithKey(state, CFSTR("data"), nullptr)},
    {"missing name", WithKey(state, CFSTR("name"), nullptr)},
    {"missing version", WithKey(state, CFSTR("version"), nullptr)},
    {"name of the wrong type", WithKey(state, CFSTR("name"), other)},
    {"data of the wrong type", WithKey(state, CFSTR("data"), CFSTR("bytes"))},
    {"truncated data", WithKey(state, CFSTR("data"), shortData)},
    {"empty data", WithKey(state, CFSTR("data"), emptyData)},
    {"renamed and truncated", WithKey(state, CFSTR("data"), shortData, CFSTR("name"), CFSTR("Quiet"))},
    {"a value that is not a number", WithKey(state, CFSTR("data"), nanData)},
  };
  const size_t changesBefore = mPlug->mParamChanges.size();
  for (const Row& r : rows)
  {
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RestoreState(mUnit, r.state)) << r.name;
    EXPECT_EQ(-1.0f, GetParam(kGain)) << r.name;
    EXPECT_EQ(1.0f, GetParam(kMode)) << r.name;
    EXPECT_EQ(0, mPlug->GetCurrentPresetIdx()) << r.name;
    CFRelease(r.state);
  }
  EXPECT_LE(changesBefore, mPlug->mParamChanges.size());
  // Not a dictionary at all.
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RestoreState(mUnit, CFSTR("state")));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RestoreState(mUnit, nullptr));
  CFRelease(other);
  CFRelease(shortData);
  CFRelease(emptyData);
  CFRelease(nanData);
  CFRelease(state);
}

TEST_F(AUHost, FactoryPresetsListEveryPresetSlot)
{
  const CFIndex liveBefore = compat_CFLiveObjectCount();
  CFArrayRef presets = nullptr;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_FactoryPresets, G, 0, &presets));
  ASSERT_EQ(2, CFArrayGetCount(presets));
  const char* names[] = {"Unity", "Quiet"};
  for (int i = 0; i < 2; ++i)
  {
    auto* p = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
    EXPECT_EQ(i, p->presetNumber);
    EXPECT_EQ(names[i], TakeString(static_cast<CFStringRef>(CFRetain(p->presetName))));
  }
  CFRelease(presets);
  EXPECT_EQ(liveBefore, compat_CFLiveObjectCount());
}

TEST_F(AUHost, CurrentAndPresentPresetSelectAndReport)
{
  for (AudioUnitPropertyID id : {kAudioUnitProperty_PresentPreset, kAudioUnitProperty_CurrentPreset})
  {
    AUPreset preset = {1, nullptr};
    ASSERT_EQ(noErr, Set(id, G, 0, preset)) << id;
    EXPECT_EQ(-20.0f, GetParam(kGain)) << id;
    EXPECT_EQ(2.0f, GetParam(kMode)) << id;
    AUPreset current = {};
    ASSERT_EQ(noErr, Get(id, G, 0, &current)) << id;
    EXPECT_EQ(1, current.presetNumber);
    EXPECT_EQ("Quiet", TakeString(current.presetName));

    preset.presetNumber = 0;
    ASSERT_EQ(noErr, Set(id, G, 0, preset));
    EXPECT_EQ(0.0f, GetParam(kGain));
    // An unknown number is answered with noErr and changes nothing.
    preset.presetNumber = 7;
    EXPECT_EQ(noErr, Set(id, G, 0, preset));
    EXPECT_EQ(0, mPlug->GetCurrentPresetIdx());
  }
}

namespace
{
// An allocator that counts what passes through it.
struct CountingAllocator
{
  int allocs = 0, frees = 0;
  static void* Allocate(CFIndex size, CFOptionFlags, void* info)
  {
    ++static_cast<CountingAllocator*>(info)->allocs;
    return std::malloc(static_cast<size_t>(size));
  }
  static void Deallocate(void* p, void* info)
  {
    ++static_cast<CountingAllocator*>(info)->frees;
    std::free(p);
  }
};
}  // namespace

TEST(CFAUPresetObjects, RetainReleaseFollowTheCountAndReturnTheMemory)
{
  CountingAllocator counts;
  CFAllocatorContext ctx = {
    0,      &counts, nullptr, nullptr, nullptr, CountingAllocator::Allocate, nullptr, CountingAllocator::Deallocate,
    nullptr};
  CFAllocatorRef allocator = CFAllocatorCreate(kCFAllocatorDefault, &ctx);
  ASSERT_NE(nullptr, allocator);
  const CFIndex liveBefore = compat_CFLiveObjectCount();

  CFAUPresetRef preset = CFAUPresetCreate(allocator, 3, CFSTR("Bright"));
  ASSERT_NE(nullptr, preset);
  const int presetAllocs = counts.allocs;
  EXPECT_EQ(1, preset->retainCount);
  EXPECT_EQ(0u, preset->version);
  EXPECT_EQ(preset, CFAUPresetRetain(const_cast<CFAUPreset*>(preset)));
  EXPECT_EQ(2, preset->retainCount);
  EXPECT_EQ(nullptr, CFAUPresetRetain(nullptr));

  CFStringRef description = CFAUPresetCopyDescription(preset);
  EXPECT_EQ("AUPreset:\npreset number = 3\npreset name = Bright", TakeString(description));

  CFAUPresetRelease(const_cast<CFAUPreset*>(preset));
  EXPECT_EQ(1, preset->retainCount);
  const int freesBefore = counts.frees;
  CFAUPresetRelease(const_cast<CFAUPreset*>(preset));
  EXPECT_GT(counts.frees, freesBefore);  // the memory went back to the allocator
  EXPECT_GE(presetAllocs, 1);
  EXPECT_EQ(liveBefore, compat_CFLiveObjectCount());
  CFRelease(allocator);
}

TEST(CFAUPresetObjects, ReleaseAtZeroDoesNothing)
{
  CFAUPreset preset = {{5, nullptr}, 0, nullptr, 0};
  CFAUPresetRelease(&preset);
  EXPECT_EQ(0, preset.retainCount);
  EXPECT_EQ(5, preset.auPreset.presetNumber);
  CFAUPresetRelease(nullptr);
}

TEST(CFAUPresetObjects, EqualityComparesNumbersThenNames)
{
  CFAUPresetRef a = CFAUPresetCreate(nullptr, 1, CFSTR("One"));
  CFAUPresetRef b = CFAUPresetCreate(nullptr, 1, CFSTR("One"));
  CFAUPresetRef c = CFAUPresetCreate(nullptr, 2, CFSTR("One"));
  CFAUPresetRef d = CFAUPresetCreate(nullptr, 1, CFSTR("Two"));
  EXPECT_TRUE(CFAUPresetEqual(a, b));
  EXPECT_FALSE(CFAUPresetEqual(a, c));
  EXPECT_FALSE(CFAUPresetEqual(a, d));
  // An array with the preset callbacks retains its elements and finds them by equality.
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFAUPresetArrayCallBacks);
  CFArrayAppendValue(array, a);
  EXPECT_EQ(2, a->retainCount);
  EXPECT_TRUE(CFArrayContainsValue(array, CFRangeMake(0, 1), b));
  CFRelease(array);
  EXPECT_EQ(1, a->retainCount);
  for (CFAUPresetRef p : {a, b, c, d}) CFAUPresetRelease(const_cast<CFAUPreset*>(p));
}
