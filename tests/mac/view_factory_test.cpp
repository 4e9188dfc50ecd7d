// The Cocoa view factory's answers, with Tesk opened as hosts open it (an audio component
// instance, as current hosts make, and a Component Manager instance), and the bundle
// identity the build gives the factory and the Info.plist.

#include <gtest/gtest.h>

#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>
#include <ComponentCall.h>

#include <memory>

#include "AudioUnitHost.h"
#include "IGraphics.h"
#include "IGraphicsHeadless.h"
#include "IPlugAU_ViewFactoryLogic.h"
#include "IPlugHostless.h"
#include "Tesk.h"

using namespace mac_services;

namespace
{
Component TeskComponent()
{
  static Component c = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry),
                                                kAudioUnitType_Effect, kTeskFourCC, kTeskFourCC, "Orvanta: Tesk");
  return c;
}

// The factory linked into this test, registered as its bundle would declare it: the view
// factory must find the plug-in in the same image.
AudioComponent TeskAudioComponent()
{
  static AudioComponent c = [] {
    const AudioComponentDescription d = {kAudioUnitType_Effect, static_cast<OSType>(kTeskFourCC),
                                         static_cast<OSType>(kTeskFourCC), 0, 0};
    return AudioComponentRegister(&d, CFSTR("Orvanta: Tesk"), kTeskVendorVersion, Tesk_Factory);
  }();
  return c;
}

struct OpenedUnit
{
  const char* name;
  std::unique_ptr<auhost::AudioUnitHost> (*open)();
};

template <class C>
std::unique_ptr<auhost::AudioUnitHost> OpenInstance(C component)
{
  std::unique_ptr<auhost::AudioUnitHost> host;
  EXPECT_EQ(noErr, auhost::AudioUnitHost::Open(component, &host));
  return host;
}

const OpenedUnit kUnits[] = {
  {"AudioComponentInstance", [] { return OpenInstance(TeskAudioComponent()); }},
  {"ComponentManagerInstance", [] { return OpenInstance(TeskComponent()); }},
};

// A plug-in that never built an editor.
class NoEditorPlug final : public IPlugHostless
{
public:
  NoEditorPlug()
    : IPlugHostless(1, "1-1 2-2", 1, "NoEditor", "", "Test", 0x10000, 'NoEd', 'Test', 0, false, false, false, kAPIAU)
  {
  }
  void ProcessDoubleReplacing(double**, double**, int) override {}
};

TEST(MacViewFactory, AnAudioUnitWithAnEditorGetsANewEditorView)
{
  // The Mac host opens its view when asked; here the headless host stands in for it (the
  // Linux one only shows a window that attaches itself).
  RequestHeadlessEditors(true);
  for (const OpenedUnit& u : kUnits)
  {
    SCOPED_TRACE(u.name);
    const std::unique_ptr<auhost::AudioUnitHost> host = u.open();
    ASSERT_NE(nullptr, host);
    const AudioUnit unit = host->Unit();
    IPlugAU* pPlug = PlugOfAudioUnit(unit);
    ASSERT_NE(nullptr, pPlug);
    EXPECT_EQ(unit, pPlug->GetAudioUnit());
    EXPECT_EQ(nullptr, pPlug->GetGUI()) << "no editor before a host asks for its view";

    void* pView = EditorViewForAudioUnit(unit);
    EXPECT_NE(nullptr, pView);
    IGraphics* pGraphics = pPlug->GetGUI();
    ASSERT_NE(nullptr, pGraphics) << "the view's request built the editor";
    EXPECT_EQ(pGraphics->GetWindow(), pView) << "the view handed out is the editor's open view";
    EXPECT_TRUE(pGraphics->WindowIsOpen());

    pGraphics->CloseWindow();
    EXPECT_EQ(noErr, host->Close());
  }
}

// What the factory did before it asked the unit: the instance's component storage. An audio
// component instance has none, so on the system a current host runs it found no plug-in.
TEST(MacViewFactory, ComponentStorageFindsNoPlugInBehindAnAudioComponentInstance)
{
  const std::unique_ptr<auhost::AudioUnitHost> host = kUnits[0].open();
  ASSERT_NE(nullptr, host);
  EXPECT_EQ(nullptr, compat::StorageOf(host->Unit()));
  EXPECT_NE(nullptr, PlugOfAudioUnit(host->Unit()));
  EXPECT_EQ(noErr, host->Close());
}

TEST(MacViewFactory, NoEditorOrNoPlugInGivesNoView)
{
  NoEditorPlug plug;
  EXPECT_EQ(nullptr, EditorViewForPlug(&plug));
  EXPECT_EQ(nullptr, EditorViewForPlug(nullptr));
  EXPECT_EQ(nullptr, EditorViewForAudioUnit(nullptr));
  EXPECT_EQ(nullptr, PlugOfAudioUnit(nullptr));
  EXPECT_EQ(0u, kCocoaViewInterfaceVersion);
}

TEST(MacViewFactory, TheSystemVersionComesFromGestalt)
{
  for (SInt32 v : {0x1068, 0x1050, 0x1049})
  {
    compat_SetGestaltSystemVersion(v);
    EXPECT_EQ(v, UserOSVersion());
  }
  compat_SetGestaltSystemVersion(0x1068);
}

TEST(MacViewFactory, TheCocoaUIPropertyNamesTheFactoryClassThisBuildDefines)
{
  // The factory class is compiled under the name the build makes (IPlugObjCNames.h); the
  // Cocoa UI property must name that very class, in the bundle the images come from.
  EXPECT_STREQ(IPLUG_AU_VIEW_CLASS_NAME, TESK_BUILD_VIEW_CLASS);
  EXPECT_STREQ("Tesk View", TESK_BUILD_VIEW_DESCRIPTION);
  EXPECT_STREQ(kTeskBundleID, TESK_BUILD_BUNDLE_ID) << "images and the view factory are found by this identifier";

  RequestHeadlessEditors(true);
  ASSERT_TRUE(compat_RegisterBundle(kTeskBundleID, "/tmp/Tesk.component", nullptr, nullptr));
  const std::unique_ptr<auhost::AudioUnitHost> host = kUnits[0].open();
  ASSERT_NE(nullptr, host);
  AudioUnitCocoaViewInfo info = {};
  ASSERT_EQ(noErr, host->Get(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &info));
  char name[128] = "";
  CFStringGetCString(info.mCocoaAUViewClass[0], name, sizeof(name), kCFStringEncodingUTF8);
  EXPECT_STREQ(TESK_BUILD_VIEW_CLASS, name);
  CFRelease(info.mCocoaAUViewClass[0]);
  CFRelease(info.mCocoaAUViewBundleLocation);
  EXPECT_EQ(noErr, host->Close());
  compat_UnregisterBundle(kTeskBundleID);
}
}  // namespace
