// Audio components as the system serves them: found through bundles' Info.plists, made
// through their factories, reached only through the methods their Lookup answers, and
// unknown to the Component Manager.

#include <gtest/gtest.h>

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
// What the fake plug-in's methods received last (a host cannot reach the record).
int gInitialized = 0;
AudioUnitParameterValue gLastValue = 0.0f;
UInt32 gLastOffset = 0;

// A plug-in with two methods: initialise and the parameter setter.
struct FakePlugIn
{
  AudioComponentPlugInInterface interface;
  AudioComponentInstance instance = nullptr;

  static OSStatus Open(void* self, AudioComponentInstance instance)
  {
    static_cast<FakePlugIn*>(self)->instance = instance;
    return noErr;
  }
  static OSStatus Close(void* self)
  {
    delete static_cast<FakePlugIn*>(self);
    return noErr;
  }
  static OSStatus Initialize(void* self)
  {
    if (!static_cast<FakePlugIn*>(self)->instance) return kAudioUnitErr_Uninitialized;
    ++gInitialized;
    return noErr;
  }
  static OSStatus SetParameter(void*, AudioUnitParameterID, AudioUnitScope, AudioUnitElement,
                               AudioUnitParameterValue value, UInt32 offset)
  {
    gLastValue = value;
    gLastOffset = offset;
    return noErr;
  }
  static AudioComponentMethod Lookup(SInt16 selector)
  {
    if (selector == kAudioUnitInitializeSelect)
      return reinterpret_cast<AudioComponentMethod>(static_cast<AudioUnitInitializeProc>(Initialize));
    if (selector == kAudioUnitSetParameterSelect)
      return reinterpret_cast<AudioComponentMethod>(static_cast<AudioUnitSetParameterProc>(SetParameter));
    return nullptr;
  }
  static AudioComponentPlugInInterface* Factory(const AudioComponentDescription*)
  {
    auto* p = new FakePlugIn;
    p->interface = {Open, Close, Lookup, nullptr};
    return &p->interface;
  }
};

const AudioComponentDescription kFakeDescription = {'aufx', 'Fake', 'Test', 0, 0};

class AudioComponentTest : public testing::Test
{
protected:
  static AudioComponent Fake()
  {
    static AudioComponent c =
      AudioComponentRegister(&kFakeDescription, CFSTR("Test: Fake"), 0x20304, FakePlugIn::Factory);
    return c;
  }
  void SetUp() override
  {
    ASSERT_NE(Fake(), nullptr);
    ASSERT_EQ(noErr, AudioComponentInstanceNew(Fake(), &unit));
  }
  void TearDown() override
  {
    if (unit)
    {
      EXPECT_EQ(noErr, AudioComponentInstanceDispose(unit));
    }
  }
  AudioUnit unit = nullptr;
};

TEST_F(AudioComponentTest, RequestsReachOnlyTheMethodsLookupAnswers)
{
  const int before = gInitialized;
  EXPECT_EQ(noErr, AudioUnitInitialize(unit));
  EXPECT_EQ(before + 1, gInitialized);
  // Not answered: the request fails without reaching the plug-in.
  EXPECT_EQ(badComponentSelector, AudioUnitUninitialize(unit));
  EXPECT_EQ(badComponentSelector, AudioUnitReset(unit, kAudioUnitScope_Global, 0));
  EXPECT_TRUE(AudioComponentInstanceCanDo(unit, kAudioUnitInitializeSelect));
  EXPECT_FALSE(AudioComponentInstanceCanDo(unit, kAudioUnitRenderSelect));
  EXPECT_EQ(Fake(), AudioComponentInstanceGetComponent(unit));
  AudioComponentDescription d = {};
  ASSERT_EQ(noErr, AudioComponentGetDescription(Fake(), &d));
  EXPECT_EQ(kFakeDescription.componentSubType, d.componentSubType);
}

TEST_F(AudioComponentTest, AFloatArgumentReachesItsMethodUnchanged)
{
  // Through the method's own prototype the float stays a float; through a variadic call it
  // would arrive promoted to a double.
  for (float value : {0.1f, -3.5f, 1e-20f})
  {
    ASSERT_EQ(noErr, AudioUnitSetParameter(unit, 0, kAudioUnitScope_Global, 0, value, 17));
    EXPECT_EQ(value, gLastValue);
    EXPECT_EQ(17u, gLastOffset);
  }
}

// The Component Manager's calls, as code written for its instances makes them by casting an
// Audio Unit: on an audio component instance each fails as on the original platform.
TEST_F(AudioComponentTest, TheComponentManagerRefusesAnAudioComponentInstance)
{
  const auto ci = compat::AsComponentInstance(unit);
  EXPECT_EQ(nullptr, GetComponentInstanceStorage(ci));
  ComponentDescription cd = {};
  EXPECT_EQ(invalidComponentID, GetComponentInfo(reinterpret_cast<Component>(unit), &cd, nullptr, nullptr, nullptr));
  EXPECT_EQ(invalidComponentID, GetComponentInfo(reinterpret_cast<Component>(Fake()), &cd, nullptr, nullptr, nullptr));
  EXPECT_EQ(badComponentInstance, GetComponentVersion(ci));
  EXPECT_EQ(invalidComponentID, CloseComponent(ci));
  // And the other way round: a Component Manager instance is no audio component instance.
  EXPECT_EQ(nullptr, AudioComponentInstanceGetComponent(nullptr));
  EXPECT_EQ(paramErr, AudioComponentInstanceDispose(nullptr));
}

// Bundles in a components folder, each declaring what its Info.plist says.
TEST(AudioComponentBundles, AreFoundThroughTheirInfoPlist)
{
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("audio_component_test_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  auto bundle = [&](const char* name, const std::string& plist) {
    fs::create_directories(folder / name / "Contents");
    std::ofstream(folder / name / "Contents" / "Info.plist") << plist;
  };
  auto declaring = [](const char* subtype, const char* extra) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist>\n<plist version=\"1.0\"><dict>"
                       "<key>CFBundleExecutable</key><string>Missing</string>"
                       "<key>CFBundleIdentifier</key><string>com.example.") +
           subtype +
           "</string><key>AudioComponents</key><array><dict>"
           "<key>type</key><string>aufx</string><key>subtype</key><string>" +
           subtype +
           "</string><key>manufacturer</key><string>Exmp</string>"
           "<key>name</key><string>Example &amp; Co: " +
           subtype + "</string><key>version</key><integer>65539</integer>" + extra + "</dict></array></dict></plist>";
  };
  bundle("Good.component", declaring("Good", "<key>factoryFunction</key><string>GoodFactory</string>"
                                             "<key>sandboxSafe</key><true/><key>tags</key><array>"
                                             "<string>Effects</string></array>"));
  bundle("NoFactory.component", declaring("NoFa", ""));
  bundle("Broken.component", declaring("Brok", "<key>factoryFunction</key><string>F</string>").substr(0, 200));
  bundle("NotABundle", declaring("NotA", "<key>factoryFunction</key><string>F</string>"));
  compat_AddAudioComponentFolder(folder.c_str());

  struct Row
  {
    const char* subtype;
    bool found;
  };
  for (const Row& r : {Row{"Good", true}, Row{"NoFa", false}, Row{"Brok", false}, Row{"NotA", false}})
  {
    AudioComponentDescription d = {'aufx', 0, 'Exmp', 0, 0};
    std::memcpy(&d.componentSubType, r.subtype, 4);
    d.componentSubType = __builtin_bswap32(d.componentSubType);
    EXPECT_EQ(r.found, AudioComponentFindNext(nullptr, &d) != nullptr) << r.subtype;
  }

  const AudioComponentDescription good = {'aufx', 'Good', 'Exmp', 0, 0};
  const AudioComponent c = AudioComponentFindNext(nullptr, &good);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(nullptr, AudioComponentFindNext(c, &good));
  CFStringRef name = nullptr;
  ASSERT_EQ(noErr, AudioComponentCopyName(c, &name));
  char text[64] = "";
  CFStringGetCString(name, text, sizeof(text), kCFStringEncodingUTF8);
  CFRelease(name);
  EXPECT_STREQ("Example & Co: Good", text);
  UInt32 version = 0;
  ASSERT_EQ(noErr, AudioComponentGetVersion(c, &version));
  EXPECT_EQ(65539u, version);
  AudioComponentDescription d = {};
  ASSERT_EQ(noErr, AudioComponentGetDescription(c, &d));
  EXPECT_EQ(static_cast<UInt32>(kAudioComponentFlag_SandboxSafe), d.componentFlags);
  // The bundle is known by its identifier, as installed bundles are.
  EXPECT_NE(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.example.Good")));
  // Its executable is missing: no instance.
  AudioUnit unit = nullptr;
  EXPECT_EQ(kAudioUnitErr_FailedInitialization, AudioComponentInstanceNew(c, &unit));
  EXPECT_EQ(nullptr, unit);
  fs::remove_all(folder);
}
}  // namespace
