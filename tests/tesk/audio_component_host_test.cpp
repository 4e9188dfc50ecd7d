// Tesk opened as a current Mac host opens it: the build's Tesk.component is found through
// its Info.plist, its executable loaded and its factory called; every request goes to a
// method the instance's Lookup answers, called through the method's exact prototype (the
// stand-in AudioUnit* calls do that, as the system's do). The Component Manager entry,
// linked into this test, must render the same bytes.

#include <gtest/gtest.h>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <vector>

#include "AudioUnitHost.h"
#include "HostBuffers.h"
#include "Tesk.h"

namespace
{
// With the six uneven slices, enough audio to come well out of the 12288-sample latency.
constexpr int kSlicesOf1024 = 24;

const AudioComponentDescription kTeskDescription = {kAudioUnitType_Effect, static_cast<OSType>(kTeskFourCC),
                                                    static_cast<OSType>(kTeskFourCC), 0, 0};

AudioComponent FindBundledTesk() { return auhost::FindAudioComponent(kTeskDescription, TESK_COMPONENT_FOLDER); }

// The host's input: two different tones with a little noise, read at the sample time.
OSStatus Input(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32, UInt32 nFrames,
               AudioBufferList* io)
{
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
  {
    auto* p = static_cast<float*>(io->mBuffers[c].mData);
    for (UInt32 i = 0; i < nFrames; ++i)
    {
      const double n = ts->mSampleTime + i;
      p[i] = static_cast<float>(0.4 * std::sin(0.031 * (c + 1) * n) + 0.05 * std::sin(1.7 * n * n));
    }
  }
  return noErr;
}

// What a host does with a unit, whichever way it was opened: formats, the input callback,
// a seed, busy settings, initialise, then renders in uneven slices past the latency.
// Returns both channels.
std::vector<float> ConfigureAndRender(auhost::AudioUnitHost& host)
{
  std::vector<float> out;
  const UInt32 maxFrames = 1024, seed = 4242;
  EXPECT_EQ(noErr, host.SetFormat(kAudioUnitScope_Input, 48000.0, 2));
  EXPECT_EQ(noErr, host.SetFormat(kAudioUnitScope_Output, 48000.0, 2));
  EXPECT_EQ(noErr, host.SetMaxFrames(maxFrames));
  EXPECT_EQ(noErr, host.Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                            AURenderCallbackStruct{Input, nullptr}));
  EXPECT_EQ(noErr, host.Set(kTeskSeedProperty, kAudioUnitScope_Global, 0, seed));
  for (auto [id, value] : {std::pair{tesk::kSensitivity, 0.6f}, std::pair{tesk::kAuto, 1.0f},
                           std::pair{tesk::kPre, 0.45f}, std::pair{tesk::kModeA, 0.7f}})
    EXPECT_EQ(noErr, host.SetParameter(id, value));
  EXPECT_EQ(noErr, host.Initialize());
  double t = 0;
  std::vector<UInt32> slices = {1024u, 333u, 1u, 700u, 1024u, 512u};
  slices.resize(slices.size() + kSlicesOf1024, 1024u);
  for (UInt32 n : slices)
  {
    auhost::HostBuffers io(2, n);
    EXPECT_EQ(noErr, host.RenderList(io.List(), n, t));
    for (int c = 0; c < 2; ++c) out.insert(out.end(), io.Samples(c).begin(), io.Samples(c).end());
    t += n;
  }
  EXPECT_EQ(noErr, host.Uninitialize());
  return out;
}

struct ListenerLog
{
  std::vector<AudioUnitPropertyID> heard;
  static void Hear(void* user, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement)
  {
    static_cast<ListenerLog*>(user)->heard.push_back(id);
  }
};

struct NotifyLog
{
  int calls = 0;
  static OSStatus Notify(void* user, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                         AudioBufferList*)
  {
    ++static_cast<NotifyLog*>(user)->calls;
    return noErr;
  }
};
}  // namespace

TEST(MacHostPath, TheBundleDeclaresTheComponentItsExecutableMakes)
{
  const AudioComponent c = FindBundledTesk();
  ASSERT_NE(c, nullptr) << "no component in " TESK_COMPONENT_FOLDER "/Tesk.component";
  CFStringRef name = nullptr;
  ASSERT_EQ(noErr, AudioComponentCopyName(c, &name));
  char text[64] = "";
  CFStringGetCString(name, text, sizeof(text), kCFStringEncodingUTF8);
  CFRelease(name);
  EXPECT_STREQ("Orvanta: Tesk", text);
  UInt32 version = 0;
  ASSERT_EQ(noErr, AudioComponentGetVersion(c, &version));
  EXPECT_EQ(static_cast<UInt32>(kTeskVendorVersion), version);
  AudioComponentDescription d = {};
  ASSERT_EQ(noErr, AudioComponentGetDescription(c, &d));
  EXPECT_EQ(static_cast<UInt32>(kAudioComponentFlag_SandboxSafe), d.componentFlags);

  // The factory the plist names, looked up in the bundle's executable as the system does.
  void* image = dlopen(TESK_COMPONENT_FOLDER "/Tesk.component/Contents/MacOS/Tesk", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(image, nullptr) << dlerror();
  auto factory = reinterpret_cast<AudioComponentFactoryFunction>(dlsym(image, "Tesk_Factory"));
  ASSERT_NE(factory, nullptr);
  AudioComponentPlugInInterface* plugIn = factory(&kTeskDescription);
  ASSERT_NE(plugIn, nullptr);
  ASSERT_NE(plugIn->Open, nullptr);
  ASSERT_NE(plugIn->Close, nullptr);
  ASSERT_NE(plugIn->Lookup, nullptr);
  // A method for each selector the base classes of the platform answer; none for others.
  for (SInt16 selector : {kAudioUnitInitializeSelect, kAudioUnitUninitializeSelect, kAudioUnitGetPropertyInfoSelect,
                          kAudioUnitGetPropertySelect, kAudioUnitSetPropertySelect, kAudioUnitAddPropertyListenerSelect,
                          kAudioUnitRemovePropertyListenerSelect, kAudioUnitRemovePropertyListenerWithUserDataSelect,
                          kAudioUnitAddRenderNotifySelect, kAudioUnitRemoveRenderNotifySelect,
                          kAudioUnitGetParameterSelect, kAudioUnitSetParameterSelect,
                          kAudioUnitScheduleParametersSelect, kAudioUnitRenderSelect, kAudioUnitResetSelect})
    EXPECT_NE(plugIn->Lookup(selector), nullptr) << selector;
  for (SInt16 selector :
       {SInt16{0}, SInt16{8}, SInt16{kAudioUnitComplexRenderSelect}, SInt16{kAudioUnitProcessSelect},
        SInt16{kMusicDeviceMIDIEventSelect}, SInt16{kComponentOpenSelect}, SInt16{kComponentVersionSelect}})
    EXPECT_EQ(plugIn->Lookup(selector), nullptr) << selector;
  // A record that was never opened is freed by its Close. The image stays loaded, as the
  // system keeps bundles it has loaded.
  EXPECT_EQ(noErr, plugIn->Close(plugIn));
}

TEST(MacHostPath, OpensRendersAndSavesThroughTheMethodsItsLookupAnswers)
{
  const AudioComponent c = FindBundledTesk();
  ASSERT_NE(c, nullptr);
  std::unique_ptr<auhost::AudioUnitHost> host;
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(c, &host));
  const AudioUnit unit = host->Unit();
  EXPECT_EQ(c, AudioComponentInstanceGetComponent(unit));
  EXPECT_TRUE(AudioComponentInstanceCanDo(unit, kAudioUnitRenderSelect));
  EXPECT_FALSE(AudioComponentInstanceCanDo(unit, kMusicDeviceMIDIEventSelect));
  // The Component Manager knows nothing of it.
  EXPECT_EQ(nullptr, compat::StorageOf(unit));

  // Listeners with user data: two registrations of one function, removed one at a time.
  ListenerLog a, b;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_SampleRate, ListenerLog::Hear, &a));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, ListenerLog::Hear, &b));
  const Float64 rate = 48000.0;
  ASSERT_EQ(noErr,
            AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof(rate)));
  ASSERT_EQ(noErr,
            AudioUnitRemovePropertyListenerWithUserData(unit, kAudioUnitProperty_SampleRate, ListenerLog::Hear, &a));
  ASSERT_EQ(noErr,
            AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof(rate)));
  EXPECT_EQ(std::vector<AudioUnitPropertyID>{kAudioUnitProperty_SampleRate}, a.heard);
  ASSERT_EQ(noErr, AudioUnitRemovePropertyListener(unit, kAudioUnitProperty_BypassEffect, ListenerLog::Hear));

  // A float argument arrives as the float it was: a call through a variadic pointer
  // would pass it promoted to a double, which the method would misread.
  for (float value : {0.3f, 0.0625f, 1.0f})
  {
    ASSERT_EQ(noErr, AudioUnitSetParameter(unit, tesk::kLow, kAudioUnitScope_Global, 0, value, 0));
    AudioUnitParameterValue got = -1.0f;
    ASSERT_EQ(noErr, AudioUnitGetParameter(unit, tesk::kLow, kAudioUnitScope_Global, 0, &got));
    EXPECT_EQ(value, got);
  }
  AudioUnitParameterEvent scheduled = {};
  scheduled.scope = kAudioUnitScope_Global;
  scheduled.parameter = tesk::kHigh;
  scheduled.eventType = kParameterEvent_Immediate;
  scheduled.eventValues.immediate.value = 0.75f;
  ASSERT_EQ(noErr, AudioUnitScheduleParameters(unit, &scheduled, 1));
  AudioUnitParameterValue high = 0.0f;
  ASSERT_EQ(noErr, AudioUnitGetParameter(unit, tesk::kHigh, kAudioUnitScope_Global, 0, &high));
  EXPECT_EQ(0.75f, high);
  EXPECT_EQ(noErr, AudioUnitReset(unit, kAudioUnitScope_Global, 0));

  // Property info and a render notification around the renders.
  UInt32 size = 0;
  Boolean writable = false;
  ASSERT_EQ(noErr,
            AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &size, &writable));
  EXPECT_EQ(sizeof(CFPropertyListRef), size);
  EXPECT_TRUE(writable);
  NotifyLog notes;
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(unit, NotifyLog::Notify, &notes));
  const std::vector<float> rendered = ConfigureAndRender(*host);
  EXPECT_EQ(2 * (6 + kSlicesOf1024), notes.calls);  // before and after each of the slices
  ASSERT_EQ(noErr, AudioUnitRemoveRenderNotify(unit, NotifyLog::Notify, &notes));
  // No fast-dispatch functions: they would need component storage.
  AudioUnitRenderProc fast = nullptr;
  size = sizeof(fast);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect,
                                 &fast, &size));

  // The class-info dictionary names the component and restores the parameters.
  CFPropertyListRef state = nullptr;
  size = sizeof(state);
  ASSERT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, &size));
  SInt32 subtype = 0;
  CFNumberGetValue(
    static_cast<CFNumberRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), CFSTR("subtype"))),
    kCFNumberSInt32Type, &subtype);
  EXPECT_EQ(kTeskFourCC, subtype);
  ASSERT_EQ(noErr, AudioUnitSetParameter(unit, tesk::kPre, kAudioUnitScope_Global, 0, 0.0f, 0));
  ASSERT_EQ(noErr,
            AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, sizeof(state)));
  CFRelease(state);
  AudioUnitParameterValue pre = 0.0f;
  ASSERT_EQ(noErr, AudioUnitGetParameter(unit, tesk::kPre, kAudioUnitScope_Global, 0, &pre));
  EXPECT_EQ(0.45f, pre);
  ASSERT_EQ(noErr, host->Close());

  // The Component Manager entry, given the same requests, renders the same bytes.
  const Component cm = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry),
                                                kAudioUnitType_Effect, kTeskFourCC, kTeskFourCC, "Orvanta: Tesk");
  std::unique_ptr<auhost::AudioUnitHost> cmHost;
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(cm, &cmHost));
  ASSERT_TRUE(cmHost->IsComponentManagerInstance());
  ASSERT_EQ(noErr, cmHost->SetSampleRate(48000.0));
  ASSERT_EQ(noErr, cmHost->SetParameter(tesk::kLow, 1.0f));
  ASSERT_EQ(noErr, cmHost->SetParameter(tesk::kHigh, 0.75f));
  const std::vector<float> reference = ConfigureAndRender(*cmHost);
  ASSERT_EQ(noErr, cmHost->Close());
  UnregisterComponent(cm);
  ASSERT_EQ(reference.size(), rendered.size());
  EXPECT_EQ(0, std::memcmp(reference.data(), rendered.data(), rendered.size() * sizeof(float)));
  // And it is not silence: the comparison means something.
  double energy = 0;
  for (float v : rendered) energy += double(v) * v;
  EXPECT_GT(energy, 1.0);
}

TEST(MacHostPath, AUnitRendersFromAnAudioComponentInstanceItIsConnectedTo)
{
  const AudioComponent c = FindBundledTesk();
  ASSERT_NE(c, nullptr);
  std::unique_ptr<auhost::AudioUnitHost> source, effect;
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(c, &source));
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(c, &effect));
  for (auhost::AudioUnitHost* h : {source.get(), effect.get()})
    ASSERT_EQ(noErr, h->Set(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, UInt32{1}));
  ASSERT_EQ(noErr, source->Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                               AURenderCallbackStruct{Input, nullptr}));
  ASSERT_EQ(noErr, effect->Set(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                               AudioUnitConnection{source->Unit(), 0, 0}));
  ASSERT_EQ(noErr, source->Initialize());
  ASSERT_EQ(noErr, effect->Initialize());
  auhost::HostBuffers io(2, 256), expected(2, 256);
  ASSERT_EQ(noErr, effect->RenderList(io.List(), 256, 0.0));
  // Both bypassed: the effect's output is the source's input.
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  Input(nullptr, nullptr, &ts, 0, 256, expected.List());
  for (int ch = 0; ch < 2; ++ch) EXPECT_EQ(expected.Samples(ch), io.Samples(ch)) << ch;
  effect.reset();
}

TEST(MacHostPath, TheEditorIsBuiltOnlyWhenAHostAsksForIt)
{
  // A host that renders and never shows the editor never has one built; the view is
  // still offered, and a picture of the editor builds it.
  const AudioComponent c = FindBundledTesk();
  ASSERT_NE(c, nullptr);
  std::unique_ptr<auhost::AudioUnitHost> host;
  ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(c, &host));
  IPlugAU* pPlug = nullptr;
  ASSERT_EQ(noErr, host->Get(IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &pPlug));
  ASSERT_NE(pPlug, nullptr);
  ConfigureAndRender(*host);
  EXPECT_EQ(nullptr, pPlug->GetGUI());
  UInt32 size = 0;
  EXPECT_EQ(noErr, host->GetInfo(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &size));
  EXPECT_EQ(sizeof(AudioUnitCocoaViewInfo), size);
  EXPECT_EQ(nullptr, pPlug->GetGUI());

  const std::string path = ::testing::TempDir() + "tesk_component_editor.png";
  CFStringRef file = CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
  EXPECT_EQ(noErr, host->SetObject(IPlugAU::kEditorSnapshotProperty, file));
  CFRelease(file);
  EXPECT_NE(nullptr, pPlug->GetGUI());
  FILE* fp = std::fopen(path.c_str(), "rb");
  ASSERT_NE(fp, nullptr);
  unsigned char signature[8] = {};
  EXPECT_EQ(8u, std::fread(signature, 1, 8, fp));
  std::fclose(fp);
  std::remove(path.c_str());
  EXPECT_EQ(0, std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(noErr, host->Close());
}
