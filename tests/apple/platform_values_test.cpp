// Record layouts and constant values that units and hosts exchange: they must equal the platform's.
#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <CoreServices/CoreServices.h>
#include <gtest/gtest.h>

#include <cstddef>

namespace
{

static_assert(sizeof(ComponentDescription) == 20);
static_assert(offsetof(ComponentParameters, params) == (sizeof(long) == 8 ? 8 : 4));
static_assert(sizeof(AudioStreamBasicDescription) == 40);
static_assert(sizeof(AudioUnitParameterInfo) == 104);
static_assert(sizeof(AudioUnitConnection) == 16);
static_assert(sizeof(AURenderCallbackStruct) == 16);
static_assert(sizeof(HostCallbackInfo) == 32);
static_assert(sizeof(AUPreset) == 16);
static_assert(sizeof(AudioUnitCocoaViewInfo) == 16);
static_assert(sizeof(AudioUnitParameterStringFromValue) == 24);
static_assert(sizeof(AudioUnitParameterIDName) == 16);
static_assert(sizeof(AudioUnitParameterValueFromString) == 24);
static_assert(sizeof(AUChannelInfo) == 4);
static_assert(sizeof(AudioTimeStamp) == 64);
static_assert(sizeof(SMPTETime) == 24);
static_assert(offsetof(AudioBufferList, mBuffers) == 8);
static_assert(sizeof(AudioBuffer) == 16);
static_assert(offsetof(AUHostIdentifier, hostVersion) == 8);
static_assert(offsetof(AudioUnitEvent, mArgument) == 8);

struct ValueCase
{
  const char* name;
  long long actual;
  long long expected;
};

class PlatformValueTest : public testing::TestWithParam<ValueCase>
{
};

TEST_P(PlatformValueTest, EqualsThePlatformValue) { EXPECT_EQ(GetParam().actual, GetParam().expected); }

#define ROW(constant, value)                                                                                           \
  ValueCase { #constant, static_cast < long long>(constant), value }

INSTANTIATE_TEST_SUITE_P(
  Constants, PlatformValueTest,
  testing::Values(ROW(kAudioUnitErr_InvalidProperty, -10879), ROW(kAudioUnitErr_InvalidParameter, -10878),
                  ROW(kAudioUnitErr_InvalidElement, -10877), ROW(kAudioUnitErr_InvalidScope, -10866),
                  ROW(kAudioUnitErr_InvalidPropertyValue, -10851), ROW(kAudioUnitErr_PropertyNotInUse, -10850),
                  ROW(coreFoundationUnknownErr, -4960), ROW(badComponentSelector, -2147450878LL),
                  ROW(kComponentOpenSelect, -1), ROW(kComponentVersionSelect, -4), ROW(kAudioUnitRenderSelect, 14),
                  ROW(kAudioUnitRemovePropertyListenerWithUserDataSelect, 18), ROW(kMusicDeviceStopNoteSelect, 0x106),
                  ROW(kAudioUnitCarbonViewCreateSelect, 0x301), ROW(kAudioUnitProperty_CocoaUI, 31),
                  ROW(kAudioUnitProperty_ParameterValueFromString, 38), ROW(kAudioUnitProperty_AUHostIdentifier, 46),
                  ROW(kMusicDeviceProperty_InstrumentCount, 1000), ROW(kAudioUnitType_Effect, 0x61756678),
                  ROW(kAudioUnitCarbonViewComponentType, 0x61757677), ROW(kAudioFormatLinearPCM, 0x6C70636D),
                  ValueCase{"NonInterleavedFloatFlags",
                            kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved,
                            0x29},
                  ROW(kAudioChannelLayoutTag_Stereo, (101 << 16) | 2),
                  ROW(kAudioChannelLayoutTag_Unknown, 0xFFFF0000LL),
                  ROW(kAudioUnitParameterFlag_IsWritable, 0x80000000LL), ROW(kAudioUnitParameterFlag_HasClump, 1 << 20),
                  ROW(kAudioUnitParameterUnit_CustomUnit, 26), ROW(kAudioUnitRenderAction_PostRender, 8),
                  ROW(kParameterEvent_Immediate, 1), ROW(kAudioUnitEvent_EndParameterChangeGesture, 2),
                  ROW(gestaltSystemVersion, 0x73797376)),
  [](const testing::TestParamInfo<ValueCase>& i) { return std::string(i.param.name); });

}  // namespace
