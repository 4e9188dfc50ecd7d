// The loadable plug-in: a host finds the audio component factory and both Component
// Manager entries in the component's executable by their plain names and can call them;
// nothing else of the plug-in is there to find.

#include <gtest/gtest.h>

#include <AudioUnit/AudioUnit.h>
#include <ComponentCall.h>
#include <dlfcn.h>

TEST(TeskPluginLibrary, ExportsItsEntriesUnderTheirPlainNames)
{
  void* lib = dlopen(TESK_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<ComponentRoutineProcPtr>(dlsym(lib, "Tesk_Entry"));
  auto viewEntry = reinterpret_cast<ComponentRoutineProcPtr>(dlsym(lib, "Tesk_ViewEntry"));
  auto factory = reinterpret_cast<AudioComponentFactoryFunction>(dlsym(lib, "Tesk_Factory"));
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(viewEntry, nullptr);
  ASSERT_NE(factory, nullptr);
  // The plug-in's own factory and the framework stay inside.
  EXPECT_EQ(nullptr, dlsym(lib, "MakePlug"));
  EXPECT_EQ(nullptr, dlsym(lib, "_Z8MakePlugv"));

  // Before an instance exists the entry answers what it can do.
  EXPECT_EQ(1, compat::CallEntry(entry, nullptr, nullptr, kComponentCanDoSelect, SInt16{kAudioUnitRenderSelect}));
  EXPECT_EQ(0, compat::CallEntry(entry, nullptr, nullptr, kComponentCanDoSelect, SInt16{18}));
  EXPECT_EQ(badComponentSelector, compat::CallEntry(viewEntry, nullptr, nullptr, SInt16{0x7777}));
  dlclose(lib);
}
