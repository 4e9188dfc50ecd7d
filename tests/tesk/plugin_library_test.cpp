// The loadable plug-in: a host finds both component entries in the shared library by
// their plain names and can call them.

#include <gtest/gtest.h>

#include <AudioUnit/AudioUnit.h>
#include <ComponentCall.h>
#include <dlfcn.h>

TEST(TeskPluginLibrary, ExportsBothEntriesUnderTheirPlainNames)
{
  void* lib = dlopen(TESK_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<ComponentRoutineProcPtr>(dlsym(lib, "Tesk_Entry"));
  auto viewEntry = reinterpret_cast<ComponentRoutineProcPtr>(dlsym(lib, "Tesk_ViewEntry"));
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(viewEntry, nullptr);

  // Before an instance exists the entry answers what it can do.
  EXPECT_EQ(1, compat::CallEntry(entry, nullptr, nullptr, kComponentCanDoSelect, SInt16{kAudioUnitRenderSelect}));
  EXPECT_EQ(0, compat::CallEntry(entry, nullptr, nullptr, kComponentCanDoSelect, SInt16{18}));
  EXPECT_EQ(badComponentSelector, compat::CallEntry(viewEntry, nullptr, nullptr, SInt16{0x7777}));
  dlclose(lib);
}
