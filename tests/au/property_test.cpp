// Properties as a host and a validator ask for them: information and values for every
// property in every scope, with valid and invalid elements, and the sizes hosts hand over.

#include "AUHost.h"

#include <AudioUnit/AudioUnitCarbonView.h>

#include <cstring>

using namespace au_test;

namespace
{
constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input, O = kAudioUnitScope_Output,
                         GROUP = kAudioUnitScope_Group;

// Releases what a successful get handed over in the data.
using Releaser = void (*)(void* data);
void ReleaseFirst(void* d)
{
  if (*static_cast<CFTypeRef*>(d)) CFRelease(*static_cast<CFTypeRef*>(d));
}
void ReleaseParamInfo(void* d)
{
  auto* info = static_cast<AudioUnitParameterInfo*>(d);
  if (info->cfNameString) CFRelease(info->cfNameString);
  if (info->unitName) CFRelease(info->unitName);
}
void ReleasePreset(void* d)
{
  if (static_cast<AUPreset*>(d)->presetName) CFRelease(static_cast<AUPreset*>(d)->presetName);
}
void ReleaseCocoa(void* d)
{
  auto* info = static_cast<AudioUnitCocoaViewInfo*>(d);
  CFRelease(info->mCocoaAUViewBundleLocation);
  CFRelease(info->mCocoaAUViewClass[0]);
}
void ReleaseStringFromValue(void* d) { CFRelease(static_cast<AudioUnitParameterStringFromValue*>(d)->outString); }
void ReleaseIDName(void* d) { CFRelease(static_cast<AudioUnitParameterIDName*>(d)->outName); }

struct PropertyRow
{
  const char* name;
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  OSStatus info;  // result of the information request
  UInt32 size;    // size it reports
  bool writable;
  OSStatus get;  // result of a get with a zeroed buffer of that size
  Releaser release;
};

constexpr OSStatus kOK = noErr, kProp = kAudioUnitErr_InvalidProperty, kElem = kAudioUnitErr_InvalidElement,
                   kScope = kAudioUnitErr_InvalidScope, kValue = kAudioUnitErr_InvalidPropertyValue;

const PropertyRow kRows[] = {
  {"ClassInfo global", kAudioUnitProperty_ClassInfo, G, 0, kOK, 8, true, kOK, ReleaseFirst},
  {"ClassInfo input", kAudioUnitProperty_ClassInfo, I, 0, kOK, 8, true, kOK, ReleaseFirst},
  {"MakeConnection global", kAudioUnitProperty_MakeConnection, G, 0, kOK, 16, true, kOK, nullptr},
  {"MakeConnection input", kAudioUnitProperty_MakeConnection, I, 0, kOK, 16, true, kOK, nullptr},
  {"MakeConnection output", kAudioUnitProperty_MakeConnection, O, 0, kScope, 0, false, kScope, nullptr},
  {"SampleRate global", kAudioUnitProperty_SampleRate, G, 0, kOK, 8, true, kOK, nullptr},
  {"SampleRate output", kAudioUnitProperty_SampleRate, O, 0, kOK, 8, true, kOK, nullptr},
  {"ParameterList global", kAudioUnitProperty_ParameterList, G, 0, kOK, 24, false, kOK, nullptr},
  {"ParameterList input", kAudioUnitProperty_ParameterList, I, 0, kOK, 0, false, kOK, nullptr},
  {"ParameterInfo first", kAudioUnitProperty_ParameterInfo, G, 0, kOK, 104, false, kOK, ReleaseParamInfo},
  {"ParameterInfo last", kAudioUnitProperty_ParameterInfo, G, 5, kOK, 104, false, kOK, ReleaseParamInfo},
  {"ParameterInfo past end", kAudioUnitProperty_ParameterInfo, G, 6, kElem, 0, false, kElem, nullptr},
  {"ParameterInfo huge ID", kAudioUnitProperty_ParameterInfo, G, 0xFFFFFFFF, kElem, 0, false, kElem, nullptr},
  {"ParameterInfo input", kAudioUnitProperty_ParameterInfo, I, 0, kScope, 0, false, kScope, nullptr},
  {"FastDispatch render", kAudioUnitProperty_FastDispatch, G, kAudioUnitRenderSelect, kOK, 8, false, kOK, nullptr},
  {"FastDispatch setter", kAudioUnitProperty_FastDispatch, G, kAudioUnitSetParameterSelect, kOK, 8, false, kOK,
   nullptr},
  {"FastDispatch getter", kAudioUnitProperty_FastDispatch, G, kAudioUnitGetParameterSelect, kOK, 8, false, kOK,
   nullptr},
  {"FastDispatch other", kAudioUnitProperty_FastDispatch, G, kAudioUnitSetPropertySelect, kElem, 0, false, kElem,
   nullptr},
  {"StreamFormat global", kAudioUnitProperty_StreamFormat, G, 0, kOK, 40, true, kOK, nullptr},
  {"StreamFormat input", kAudioUnitProperty_StreamFormat, I, 0, kOK, 40, true, kOK, nullptr},
  {"StreamFormat output", kAudioUnitProperty_StreamFormat, O, 0, kOK, 40, true, kOK, nullptr},
  {"StreamFormat input 1", kAudioUnitProperty_StreamFormat, I, 1, kProp, 0, false, kProp, nullptr},
  {"StreamFormat output 1", kAudioUnitProperty_StreamFormat, O, 1, kProp, 0, false, kProp, nullptr},
  {"StreamFormat group", kAudioUnitProperty_StreamFormat, GROUP, 0, kProp, 0, false, kProp, nullptr},
  {"ElementCount global", kAudioUnitProperty_ElementCount, G, 0, kOK, 4, false, kOK, nullptr},
  {"ElementCount group", kAudioUnitProperty_ElementCount, GROUP, 0, kOK, 4, false, kOK, nullptr},
  {"Latency global", kAudioUnitProperty_Latency, G, 0, kOK, 8, false, kOK, nullptr},
  {"Latency input", kAudioUnitProperty_Latency, I, 0, kScope, 0, false, kScope, nullptr},
  {"SupportedNumChannels", kAudioUnitProperty_SupportedNumChannels, G, 0, kOK, 8, false, kOK, nullptr},
  {"MaximumFramesPerSlice", kAudioUnitProperty_MaximumFramesPerSlice, G, 0, kOK, 4, true, kOK, nullptr},
  {"ValueStrings enum", kAudioUnitProperty_ParameterValueStrings, G, kMode, kOK, 8, false, kOK, ReleaseFirst},
  {"ValueStrings bool", kAudioUnitProperty_ParameterValueStrings, G, kActive, kOK, 8, false, kOK, ReleaseFirst},
  {"ValueStrings none", kAudioUnitProperty_ParameterValueStrings, G, kGain, kProp, 0, false, kProp, nullptr},
  {"ValueStrings past end", kAudioUnitProperty_ParameterValueStrings, G, 6, kElem, 0, false, kElem, nullptr},
  {"GetUIComponentList", kAudioUnitProperty_GetUIComponentList, O, 0, kProp, 0, false, kProp, nullptr},
  {"AudioChannelLayout", kAudioUnitProperty_AudioChannelLayout, O, 0, kValue, 0, false, kValue, nullptr},
  {"TailTime", kAudioUnitProperty_TailTime, G, 0, kOK, 8, false, kOK, nullptr},
  {"BypassEffect", kAudioUnitProperty_BypassEffect, G, 0, kOK, 4, true, kOK, nullptr},
  {"LastRenderError", kAudioUnitProperty_LastRenderError, G, 0, kOK, 4, false, kOK, nullptr},
  {"SetRenderCallback input", kAudioUnitProperty_SetRenderCallback, I, 0, kOK, 16, true, kOK, nullptr},
  {"SetRenderCallback input 1", kAudioUnitProperty_SetRenderCallback, I, 1, kElem, 0, false, kElem, nullptr},
  {"SetRenderCallback output", kAudioUnitProperty_SetRenderCallback, O, 0, kScope, 0, false, kScope, nullptr},
  {"FactoryPresets", kAudioUnitProperty_FactoryPresets, G, 0, kOK, 8, false, kOK, ReleaseFirst},
  {"HostCallbacks", kAudioUnitProperty_HostCallbacks, G, 0, kOK, 32, true, kOK, nullptr},
  {"CurrentPreset", kAudioUnitProperty_CurrentPreset, G, 0, kOK, 16, true, kOK, ReleasePreset},
  {"PresentPreset", kAudioUnitProperty_PresentPreset, G, 0, kOK, 16, true, kOK, ReleasePreset},
  {"ElementName output", kAudioUnitProperty_ElementName, O, 0, kProp, 0, false, kOK, ReleaseFirst},
  {"CocoaUI", kAudioUnitProperty_CocoaUI, G, 0, kOK, 16, false, kOK, ReleaseCocoa},
  {"SupportedChannelLayoutTags", kAudioUnitProperty_SupportedChannelLayoutTags, O, 0, kProp, 0, false, kProp, nullptr},
  {"StringFromValue global", kAudioUnitProperty_ParameterStringFromValue, G, 0, kOK, 24, false, kOK,
   ReleaseStringFromValue},
  {"StringFromValue input", kAudioUnitProperty_ParameterStringFromValue, I, 0, kOK, 24, false, kOK, nullptr},
  {"ParameterIDName", kAudioUnitProperty_ParameterIDName, G, 0, kOK, 16, false, kOK, ReleaseIDName},
  {"ParameterClumpName", kAudioUnitProperty_ParameterClumpName, G, 0, kOK, 16, false, kAudioUnitErr_PropertyNotInUse,
   nullptr},
  {"ValueFromString", kAudioUnitProperty_ParameterValueFromString, G, 0, kOK, 24, false, kValue, nullptr},
  {"InstrumentCount (effect)", kMusicDeviceProperty_InstrumentCount, G, 0, kProp, 0, false, kProp, nullptr},
  {"private seed", kTestAUSeedProperty, G, 0, kOK, 4, true, kOK, nullptr},
  {"unknown private", kTestAUSeedProperty + 1, G, 0, kProp, 0, false, kProp, nullptr},
};

// IDs the binding does not answer at all.
const AudioUnitPropertyID kUnanswered[] = {6, 7, 9, 10, 15, 17, 25, 26, 29, 37, 39, 40, 45, 46, 50, 999, 1001};
}  // namespace

TEST_F(AUHost, EveryPropertyAnswersInfoAndGetAsTabled)
{
  compat_RegisterBundle(kTestAUBundleID, "/tmp/TestAU.component", nullptr, nullptr);
  const CFIndex liveBefore = compat_CFLiveObjectCount();
  for (const PropertyRow& r : kRows)
  {
    UInt32 size = 12345;
    Boolean writable = !r.writable;
    EXPECT_EQ(r.info, AudioUnitGetPropertyInfo(mUnit, r.id, r.scope, r.element, &size, &writable)) << r.name;
    if (r.info == noErr)
    {
      EXPECT_EQ(r.size, size) << r.name;
      EXPECT_EQ(r.writable, writable != 0) << r.name;
    }
    // Information requests may leave out either pointer.
    EXPECT_EQ(r.info, AudioUnitGetPropertyInfo(mUnit, r.id, r.scope, r.element, nullptr, nullptr)) << r.name;

    alignas(8) unsigned char data[256] = {};
    UInt32 ioSize = r.size ? r.size : 8;
    const OSStatus got = AudioUnitGetProperty(mUnit, r.id, r.scope, r.element, data, &ioSize);
    EXPECT_EQ(r.get, got) << r.name;
    if (got == noErr && r.release) r.release(data);
  }
  EXPECT_EQ(liveBefore, compat_CFLiveObjectCount());
  compat_UnregisterBundle(kTestAUBundleID);
}

TEST_F(AUHost, UnansweredPropertiesAreInvalidInEveryScope)
{
  for (AudioUnitPropertyID id : kUnanswered)
    for (AudioUnitScope scope : {G, I, O})
    {
      UInt32 size = 0;
      EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitGetPropertyInfo(mUnit, id, scope, 0, &size, nullptr)) << id;
      UInt32 value = 0;
      EXPECT_EQ(kAudioUnitErr_InvalidProperty, Get(id, scope, 0, &value)) << id;
    }
}

TEST_F(AUHost, AGetIntoATooSmallBufferWritesNothing)
{
  for (const PropertyRow& r : kRows)
  {
    if (r.info != noErr || r.size == 0) continue;
    unsigned char data[256];
    std::memset(data, 0xAB, sizeof(data));
    UInt32 ioSize = r.size - 1;
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitGetProperty(mUnit, r.id, r.scope, r.element, data, &ioSize))
      << r.name;
    for (unsigned char b : data) ASSERT_EQ(b, 0xAB) << r.name;
  }
}

// A host releases the string a successful get hands over; outside the global scope the
// get succeeds without a string, so it must say so rather than leave the host's bytes.
TEST_F(AUHost, AStringFromValueOutsideTheGlobalScopeHandsOverNoString)
{
  for (AudioUnitScope scope : {I, O, GROUP})
  {
    AudioUnitParameterStringFromValue sfv;
    std::memset(&sfv, 0xAB, sizeof(sfv));
    sfv.inParamID = 0;
    sfv.inValue = nullptr;
    UInt32 size = sizeof(sfv);
    ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterStringFromValue, scope, 0, &sfv, &size))
      << scope;
    EXPECT_EQ(sfv.outString, nullptr) << scope;
  }
}

TEST_F(AUHost, ASetWithLessDataThanThePropertyIsRefused)
{
  struct Row
  {
    const char* name;
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 size;
  };
  const Row rows[] = {
    {"ClassInfo", kAudioUnitProperty_ClassInfo, G, 4},
    {"MakeConnection", kAudioUnitProperty_MakeConnection, I, 12},
    {"SampleRate", kAudioUnitProperty_SampleRate, G, 4},
    {"StreamFormat", kAudioUnitProperty_StreamFormat, I, 39},
    {"MaximumFramesPerSlice", kAudioUnitProperty_MaximumFramesPerSlice, G, 2},
    {"BypassEffect", kAudioUnitProperty_BypassEffect, G, 1},
    {"SetRenderCallback", kAudioUnitProperty_SetRenderCallback, I, 8},
    {"HostCallbacks", kAudioUnitProperty_HostCallbacks, G, 8},
    {"CurrentPreset", kAudioUnitProperty_CurrentPreset, G, 8},
    {"OfflineRender", kAudioUnitProperty_OfflineRender, G, 0},
    {"AUHostIdentifier", kAudioUnitProperty_AUHostIdentifier, G, 8},
  };
  const double sampleRate = mPlug->GetSampleRate();
  const int blockSize = mPlug->GetBlockSize();
  for (const Row& r : rows)
  {
    alignas(8) unsigned char data[64] = {};
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitSetProperty(mUnit, r.id, r.scope, 0, data, r.size))
      << r.name;
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitSetProperty(mUnit, r.id, r.scope, 0, nullptr, 64)) << r.name;
  }
  EXPECT_EQ(sampleRate, mPlug->GetSampleRate());
  EXPECT_EQ(blockSize, mPlug->GetBlockSize());
  EXPECT_EQ(2, Channels(I));
}

TEST_F(AUHost, SetOfAnUnsettablePropertyIsInvalid)
{
  const UInt32 value = 1;
  const AudioUnitPropertyID ids[] = {kAudioUnitProperty_ParameterList, kAudioUnitProperty_Latency,
                                     kAudioUnitProperty_ElementCount, kAudioUnitProperty_CocoaUI, 999};
  for (AudioUnitPropertyID id : ids) EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(id, G, 0, value)) << id;
}

TEST_F(AUHost, SampleRateAndBlockSizeAreSetAndReset)
{
  const int resets = mPlug->mResets;
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_SampleRate, G, 0, Float64(96000.0)));
  EXPECT_EQ(96000.0, mPlug->GetSampleRate());
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, UInt32(512)));
  EXPECT_EQ(512, mPlug->GetBlockSize());
  EXPECT_EQ(resets + 2, mPlug->mResets);
  // Rates and sizes no render could use are refused and change nothing.
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Set(kAudioUnitProperty_SampleRate, G, 0, Float64(0.0)));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Set(kAudioUnitProperty_SampleRate, G, 0, Float64(-44100.0)));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, UInt32(0)));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            Set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, UInt32(0x80000000u)));
  EXPECT_EQ(96000.0, mPlug->GetSampleRate());
  EXPECT_EQ(512, mPlug->GetBlockSize());
}

TEST_F(AUHost, LatencyAndTailTimeAreTheConstructionLatencyInSeconds)
{
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_SampleRate, G, 0, Float64(48000.0)));
  Float64 latency = 0, tail = 0;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_Latency, G, 0, &latency));
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_TailTime, G, 0, &tail));
  EXPECT_DOUBLE_EQ(kTestAULatency / 48000.0, latency);
  EXPECT_DOUBLE_EQ(latency, tail);
  mPlug->SetLatency(4800);
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_Latency, G, 0, &latency));
  EXPECT_DOUBLE_EQ(0.1, latency);
}

TEST_F(AUHost, ElementCountsAndSupportedChannels)
{
  UInt32 n = 0;
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ElementCount, G, 0, &n));
  EXPECT_EQ(1u, n);
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ElementCount, I, 0, &n));
  EXPECT_EQ(1u, n);
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ElementCount, O, 0, &n));
  EXPECT_EQ(1u, n);
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_ElementCount, GROUP, 0, &n));
  EXPECT_EQ(0u, n);

  AUChannelInfo pairs[2] = {};
  UInt32 size = sizeof(pairs);
  ASSERT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_SupportedNumChannels, G, 0, pairs, &size));
  EXPECT_EQ(sizeof(pairs), size);
  EXPECT_EQ(1, pairs[0].inChannels);
  EXPECT_EQ(1, pairs[0].outChannels);
  EXPECT_EQ(2, pairs[1].inChannels);
  EXPECT_EQ(2, pairs[1].outChannels);
}

TEST_F(AUHost, StreamFormatDescribesFloatNonInterleavedBuses)
{
  AudioStreamBasicDescription f = {};
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_StreamFormat, O, 0, &f));
  EXPECT_EQ(44100.0, f.mSampleRate);
  EXPECT_EQ(static_cast<UInt32>(kAudioFormatLinearPCM), f.mFormatID);
  EXPECT_EQ(0x29u, f.mFormatFlags);
  EXPECT_EQ(4u, f.mBytesPerPacket);
  EXPECT_EQ(1u, f.mFramesPerPacket);
  EXPECT_EQ(4u, f.mBytesPerFrame);
  EXPECT_EQ(32u, f.mBitsPerChannel);
  EXPECT_EQ(2u, f.mChannelsPerFrame);  // the plug-in's channels while the host has not said

  IPlugAU::MakeDefaultASBD(&f, 22050.0, 3, true);
  EXPECT_EQ(9u, f.mFormatFlags);
  EXPECT_EQ(12u, f.mBytesPerFrame);
  EXPECT_EQ(12u, f.mBytesPerPacket);
  EXPECT_EQ(3u, f.mChannelsPerFrame);
}

TEST_F(AUHost, StreamFormatLegalityBeforeAndAfterInitialisation)
{
  struct Row
  {
    const char* name;
    bool initialised;
    int inFirst, outFirst;  // formats set before the checked one (0 = none)
    AudioUnitScope scope;
    int channels;
    bool accepted;
  };
  const Row rows[] = {
    {"input 1 before init", false, 0, 0, I, 1, true},
    {"input 2 before init", false, 0, 0, I, 2, true},
    {"input 3 before init", false, 0, 0, I, 3, false},
    {"input 0 before init", false, 0, 0, I, 0, false},
    {"output 2 before init with input 1", false, 1, 0, O, 2, true},
    {"output 1 after init with stereo", true, 2, 2, O, 1, false},
    {"input 1 after init with stereo", true, 2, 2, I, 1, false},
    {"output 2 after init with stereo", true, 2, 2, O, 2, true},
    {"output 3 after init", true, 2, 2, O, 3, false},
  };
  for (const Row& r : rows)
  {
    SwapHost(OpenAnother());  // a fresh instance for each row
    if (r.inFirst)
    {
      ASSERT_EQ(noErr, SetChannels(I, r.inFirst)) << r.name;
    }
    if (r.outFirst)
    {
      ASSERT_EQ(noErr, SetChannels(O, r.outFirst)) << r.name;
    }
    if (r.initialised)
    {
      ASSERT_EQ(noErr, AudioUnitInitialize(mUnit)) << r.name;
    }
    EXPECT_EQ(r.accepted ? OSStatus(noErr) : OSStatus(kAudioUnitErr_InvalidProperty), SetChannels(r.scope, r.channels))
      << r.name;
    // A refused format leaves the bus at no host channels.
    EXPECT_EQ(r.accepted ? r.channels : 0, Channels(r.scope)) << r.name;
  }
}

// The render path reads one buffer of native-endian 32-bit floats per channel; any
// other sample format would be misread, so it is refused with the format error.
TEST_F(AUHost, StreamFormatRefusesWhatTheRenderPathCannotCarry)
{
  struct Row
  {
    const char* name;
    void (*change)(AudioStreamBasicDescription*);
  };
  const Row rows[] = {
    {"not linear PCM", [](AudioStreamBasicDescription* f) { f->mFormatID = 'aac '; }},
    {"packed integers",
     [](AudioStreamBasicDescription* f) {
       f->mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
     }},
    {"16-bit integers",
     [](AudioStreamBasicDescription* f) {
       f->mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsNonInterleaved;
       f->mBitsPerChannel = 16;
     }},
    {"no sample type at all",
     [](AudioStreamBasicDescription* f) { f->mFormatFlags = kAudioFormatFlagIsNonInterleaved; }},
    {"64-bit floats", [](AudioStreamBasicDescription* f) { f->mBitsPerChannel = 64; }},
    {"interleaved stereo",
     [](AudioStreamBasicDescription* f) { f->mFormatFlags &= ~kAudioFormatFlagIsNonInterleaved; }},
    {"foreign byte order", [](AudioStreamBasicDescription* f) { f->mFormatFlags ^= kAudioFormatFlagIsBigEndian; }},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    AudioStreamBasicDescription f;
    IPlugAU::MakeDefaultASBD(&f, 44100.0, 2, false);
    row.change(&f);
    EXPECT_EQ(kAudioUnitErr_FormatNotSupported, Set(kAudioUnitProperty_StreamFormat, I, 0, f));
    EXPECT_EQ(0, mPlug->GetInBus(0)->mNHostChannels);
  }
  // Interleaving does not matter for a single channel.
  IPlugInstanceInfo info;
  TestAUPlug mono(info, "1-1", false);
  AudioStreamBasicDescription f;
  IPlugAU::MakeDefaultASBD(&f, 44100.0, 1, true);
  EXPECT_EQ(noErr, mono.SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, sizeof(f), &f));
  // A positive sample rate in an accepted format is applied; zero is left alone.
  IPlugAU::MakeDefaultASBD(&f, 48000.0, 2, false);
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_StreamFormat, I, 0, f));
  EXPECT_EQ(48000.0, mPlug->GetSampleRate());
  IPlugAU::MakeDefaultASBD(&f, 0.0, 2, false);
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_StreamFormat, O, 0, f));
  EXPECT_EQ(48000.0, mPlug->GetSampleRate());
}

TEST(AUWideBus, MoreHostChannelsThanABufferListHoldsAreRefusedAtFormatTime)
{
  IPlugInstanceInfo info;
  TestAUPlug plug(info, "129-129 128-128", false);
  AudioStreamBasicDescription f;
  IPlugAU::MakeDefaultASBD(&f, 44100.0, 129, false);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            plug.SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, sizeof(f), &f));
  EXPECT_EQ(0, plug.GetInBus(0)->mNHostChannels);
  IPlugAU::MakeDefaultASBD(&f, 44100.0, 128, false);
  EXPECT_EQ(noErr, plug.SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, sizeof(f), &f));
  EXPECT_EQ(128, plug.GetInBus(0)->mNHostChannels);
}

TEST_F(AUHost, ElementNamesOfTheBuses)
{
  struct Row
  {
    const char* name;
    AudioUnitScope scope;
    AudioUnitElement element;
    OSStatus result;
    const char* text;
  };
  const Row rows[] = {
    {"output 0", O, 0, noErr, "output"},
    {"output past the buses", O, 1, kAudioUnitErr_InvalidElement, nullptr},
    {"output far past", O, 1000, kAudioUnitErr_InvalidElement, nullptr},
    {"input 0", I, 0, noErr, "input"},
    {"input 1", I, 1, noErr, "aux input"},
    {"input 2", I, 2, kAudioUnitErr_InvalidElement, nullptr},
    {"global", G, 0, kAudioUnitErr_InvalidScope, nullptr},
  };
  for (const Row& r : rows)
  {
    CFStringRef name = nullptr;
    EXPECT_EQ(r.result, Get(kAudioUnitProperty_ElementName, r.scope, r.element, &name)) << r.name;
    if (r.text)
    {
      EXPECT_EQ(r.text, TakeString(name)) << r.name;
    }
  }
}

TEST_F(AUHost, CocoaUINamesTheBundleAndTheViewFactory)
{
  AudioUnitCocoaViewInfo info = {};
  // Without the bundle installed there is no view factory to offer.
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Get(kAudioUnitProperty_CocoaUI, G, 0, &info));

  ASSERT_TRUE(compat_RegisterBundle(kTestAUBundleID, "/tmp/TestAU.component", nullptr, nullptr));
  ASSERT_EQ(noErr, Get(kAudioUnitProperty_CocoaUI, G, 0, &info));
  EXPECT_EQ(kTestAUViewClass, TakeString(info.mCocoaAUViewClass[0]));
  CFStringRef path = CFURLCopyFileSystemPath(info.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_EQ("/tmp/TestAU.component", TakeString(path));
  CFRelease(info.mCocoaAUViewBundleLocation);

  // Offered whatever the system version says: no current system lacks the protocol.
  compat_SetGestaltSystemVersion(0x1049);
  UInt32 size = 0;
  EXPECT_EQ(noErr, AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_CocoaUI, G, 0, &size, nullptr));
  EXPECT_EQ(sizeof(AudioUnitCocoaViewInfo), size);
  compat_SetGestaltSystemVersion(0x1068);
  compat_UnregisterBundle(kTestAUBundleID);
}

TEST_F(AUHost, NoCarbonViewIsOffered)
{
  ComponentDescription cd = {};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Get(kAudioUnitProperty_GetUIComponentList, G, 0, &cd));
  EXPECT_EQ(0u, cd.componentType);
}

TEST(AUNoEditor, ViewPropertiesNeedAnEditor)
{
  IPlugInstanceInfo info;
  TestAUPlug plug(info, "1-1 2-2", false);
  UInt32 size = 0;
  Boolean writable = false;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            plug.GetProperty(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &size, &writable, nullptr));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, plug.GetProperty(kAudioUnitProperty_GetUIComponentList,
                                                            kAudioUnitScope_Global, 0, &size, &writable, nullptr));
}

TEST_F(AUHost, HostIdentifierPacksTheVersionNibbles)
{
  struct Row
  {
    const char* name;
    const char* host;
    UInt8 major, minorAndBug;
    EHost code;
    int packed;
  };
  const Row rows[] = {
    {"Logic 9.1.8", "Logic Pro", 9, 0x18, kHostLogic, 0x090108},
    {"Live 8.2.0", "Ableton Live", 8, 0x20, kHostAbletonLive, 0x080200},
    {"high nibbles only", "GarageBand", 10, 0xF0, kHostGarageBand, 0x0A0F00},
    {"unknown host", "SomeHost", 1, 0x01, kHostUnknown, 0x010001},
  };
  for (const Row& r : rows)
  {
    const int identified = mPlug->mHostIdentified;
    AUHostIdentifier id = {CFSTR(""), {0, 0, r.minorAndBug, r.major}};
    id.hostName = CFStringCreateWithCString(nullptr, r.host, kCFStringEncodingUTF8);
    EXPECT_EQ(noErr, Set(kAudioUnitProperty_AUHostIdentifier, G, 0, id)) << r.name;
    CFRelease(id.hostName);
    EXPECT_EQ(r.code, mPlug->GetHost()) << r.name;
    EXPECT_EQ(r.packed, mPlug->GetHostVersion(false)) << r.name;
    EXPECT_EQ(identified + 1, mPlug->mHostIdentified) << r.name;
  }
}

TEST_F(AUHost, PrivatePropertiesReachThePlugIn)
{
  EXPECT_EQ(noErr, Set(kTestAUSeedProperty, G, 0, UInt32(12345)));
  EXPECT_EQ(12345u, mPlug->mSeed);
  UInt32 seed = 0;
  EXPECT_EQ(noErr, Get(kTestAUSeedProperty, G, 0, &seed));
  EXPECT_EQ(12345u, seed);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kTestAUSeedProperty + 1, G, 0, UInt32(1)));
}

TEST_F(AUHost, OfflineRenderFlag)
{
  EXPECT_FALSE(mPlug->IsRenderingOffline());
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_OfflineRender, G, 0, UInt32(1)));
  EXPECT_TRUE(mPlug->IsRenderingOffline());
  EXPECT_EQ(noErr, Set(kAudioUnitProperty_OfflineRender, G, 0, UInt32(0)));
  EXPECT_FALSE(mPlug->IsRenderingOffline());
}

TEST_F(AUHost, HostCallbacksFeedTheTransportQueries)
{
  struct Transport
  {
    static OSStatus BeatAndTempo(void*, Float64* beat, Float64* tempo)
    {
      *beat = 12.5;
      *tempo = 98.0;
      return noErr;
    }
    static OSStatus Musical(void*, UInt32*, Float32* num, UInt32* den, Float64* downBeat)
    {
      *num = 7.9f;
      *den = 8;
      *downBeat = 8.0;
      return noErr;
    }
    static OSStatus State(void*, Boolean* playing, Boolean*, Float64* pos, Boolean* cycling, Float64* start,
                          Float64* end)
    {
      *playing = true;
      *pos = 1000.6;
      *cycling = true;
      *start = 4.0;
      *end = 0.0;
      return noErr;
    }
  };
  EXPECT_EQ(120.0, mPlug->GetTempo());
  EXPECT_EQ(0, mPlug->GetSamplePos());
  int num = -5, den = -5;
  mPlug->GetTimeSig(&num, &den);
  EXPECT_EQ(-5, num);

  const HostCallbackInfo cbs = {nullptr, Transport::BeatAndTempo, Transport::Musical, Transport::State};
  ASSERT_EQ(noErr, Set(kAudioUnitProperty_HostCallbacks, G, 0, cbs));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Set(kAudioUnitProperty_HostCallbacks, I, 0, cbs));
  EXPECT_EQ(98.0, mPlug->GetTempo());
  EXPECT_EQ(1001, mPlug->GetSamplePos());
  mPlug->GetTimeSig(&num, &den);
  EXPECT_EQ(7, num);
  EXPECT_EQ(8, den);

  ITimeInfo t;
  mPlug->GetTime(&t);
  EXPECT_EQ(98.0, t.mTempo);
  EXPECT_EQ(12.5, t.mPPQPos);
  EXPECT_EQ(1000.6, t.mSamplePos);
  EXPECT_EQ(4.0, t.mCycleStart);
  EXPECT_EQ(-1.0, t.mCycleEnd);  // not positive: left as the caller set it
  EXPECT_TRUE(t.mTransportIsRunning);
  EXPECT_TRUE(t.mTransportLoopEnabled);
  EXPECT_EQ(7, t.mNumerator);
  EXPECT_EQ(8, t.mDenominator);
  EXPECT_EQ(8.0, t.mLastBar);

  // An older host's shorter record: the callbacks it leaves out read as absent.
  ASSERT_EQ(noErr, AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, G, 0, &cbs, 2 * sizeof(void*)));
  EXPECT_EQ(0, mPlug->GetSamplePos());

  // A size ending inside the last callback keeps the whole ones and drops the cut one.
  ASSERT_EQ(noErr, AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, G, 0, &cbs, 3 * sizeof(void*) + 4));
  EXPECT_EQ(0, mPlug->GetSamplePos());
  num = den = -5;
  mPlug->GetTimeSig(&num, &den);
  EXPECT_EQ(7, num);
}

TEST(AUTags, ChannelCountsMapToLayoutTags)
{
  EXPECT_EQ(static_cast<AudioChannelLayoutTag>(kAudioChannelLayoutTag_Mono), IPlugAU::GetTagForNumChannels(1));
  EXPECT_EQ(static_cast<AudioChannelLayoutTag>(kAudioChannelLayoutTag_Stereo), IPlugAU::GetTagForNumChannels(2));
  EXPECT_EQ(static_cast<AudioChannelLayoutTag>(kAudioChannelLayoutTag_Unknown), IPlugAU::GetTagForNumChannels(0));
  EXPECT_EQ(static_cast<AudioChannelLayoutTag>(kAudioChannelLayoutTag_Unknown), IPlugAU::GetTagForNumChannels(6));
}
