// The Linux graphics host without a window (it links no X11): it draws what the headless
// host draws, its prompts fail cleanly, and it tells whether a display can be tried; the
// plug-in's factory makes it where one can.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "IPopupMenu.h"
#include "TeskTestSupport.h"
#include "WindowTestSupport.h"
#include "linux_window/IGraphicsLinux.h"
#include "wdlstring.h"

using namespace window_test;

namespace
{
// Sets an environment variable for the scope of a test.
class ScopedEnv
{
public:
  ScopedEnv(const char* name, const char* value)
    : mName(name)
  {
    if (const char* old = std::getenv(name)) mOld = old, mHad = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv()
  {
    if (mHad)
      setenv(mName.c_str(), mOld.c_str(), 1);
    else
      unsetenv(mName.c_str());
  }

private:
  std::string mName, mOld;
  bool mHad = false;
};

// The editor on the Linux graphics host, as the plug-in makes it while a display can be
// tried (the fixture's server), with no window attached to it.
class IGraphicsLinuxAlone : public XvfbTest
{
};
}  // namespace

TEST_F(IGraphicsLinuxAlone, DrawsAsTheHeadlessHost)
{
  TeskUnderTest t;
  TeskReference ref;
  t.graphics->RedrawAll();
  t.graphics->TimerStep();
  EXPECT_EQ(DifferingPixels(t.graphics->GetDrawBitmap(), ref.Picture(), 1), 0);
  EXPECT_STREQ(t.graphics->GetGUIAPI(), "X11");
}

TEST_F(IGraphicsLinuxAlone, PromptsFailCleanly)
{
  TeskUnderTest t;
  IGraphicsLinux* g = t.graphics;
  IControl* c = g->GetControl(1);
  IPopupMenu menu;
  menu.AddItem("a");
  IRECT r(0, 0, 10, 10);
  EXPECT_EQ(g->CreateIPopupMenu(&menu, &r), nullptr);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  g->CreateTextEntry(c, c->GetText(), &r, "1", c->GetParam());
  EXPECT_FALSE(g->IsTextEntryOpen());
  EXPECT_EQ(g->ShowMessageBox("text", "caption", 4), 0);
  WDL_String file("old.fxp"), dir("");
  g->PromptForFile(&file, kFileOpen, &dir, "fxp");
  EXPECT_STREQ(file.Get(), "");
  EXPECT_NE(std::string(dir.Get()).find("/Desktop/"), std::string::npos);  // the default folder is kept
  IColor color;
  EXPECT_FALSE(g->PromptForColor(&color));
  EXPECT_FALSE(g->OpenURL("https://example.org"));
  EXPECT_EQ(g->OpenWindow(nullptr), nullptr);
  EXPECT_FALSE(g->WindowIsOpen());
  g->HideMouseCursor();
  EXPECT_FALSE(g->IsCursorHidden());
  g->CloseWindow();
  g->ForceEndUserEdit();
}

TEST_F(IGraphicsLinuxAlone, PathsOfTheProgram)
{
  TeskUnderTest t;
  WDL_String host, plugin, desktop;
  t.graphics->HostPath(&host);
  t.graphics->PluginPath(&plugin);
  EXPECT_TRUE(std::filesystem::exists(host.Get()));
  EXPECT_EQ(std::string(plugin.Get()), std::filesystem::path(host.Get()).parent_path().string() + "/");
  ScopedEnv home("HOME", "/home/someone");
  t.graphics->DesktopPath(&desktop);
  EXPECT_STREQ(desktop.Get(), "/home/someone/Desktop/");
}

TEST(IGraphicsLinux, DisplayAvailability)
{
  const std::string dir = "/tmp/.X11-unix";
  std::filesystem::create_directories(dir);
  const int free = 900 + static_cast<int>(getpid() % 90);
  struct Case
  {
    const char* name;
    std::string display;
    bool unset;
    bool available;
  };
  const Case cases[] = {
    {"unset", "", true, false},
    {"empty", "", false, false},
    {"local display without its socket", ":" + std::to_string(free), false, false},
    {"unix display without its socket", "unix:" + std::to_string(free) + ".0", false, false},
    {"a remote display can only be tried", "somehost:0", false, true},
  };
  for (const Case& c : cases)
  {
    ScopedEnv display("DISPLAY", c.unset ? nullptr : c.display.c_str());
    EXPECT_EQ(LinuxDisplayAvailable(), c.available) << c.name;
  }
}

TEST_F(XvfbTest, DisplayAvailableWhileTheServerRuns)
{
  EXPECT_TRUE(LinuxDisplayAvailable());
  mUser.reset();  // a client whose server goes away is ended by Xlib
  mServer.Stop();
  EXPECT_FALSE(LinuxDisplayAvailable());
}

// The plug-in's factory of its graphics host: the Linux host while a display can be
// tried, the headless one without a display or when a caller asked for it.
TEST_F(XvfbTest, MakeGraphicsChoosesThePlatformsHost)
{
  struct Case
  {
    const char* name;
    bool withDisplay;
    bool headlessRequested;
    const char* api;
  };
  const Case cases[] = {
    {"a display", true, false, "X11"},
    {"a display, headless asked for", true, true, "Headless"},
    {"no display", false, false, "Headless"},
    {"no display, headless asked for", false, true, "Headless"},
  };
  for (const Case& c : cases)
  {
    ScopedEnv display("DISPLAY", c.withDisplay ? mServer.Display().c_str() : nullptr);
    RequestHeadlessEditors(c.headlessRequested);
    auto plug = tesk_test::MakeTesk();
    IGraphics* g = plug->GetGUI();
    ASSERT_NE(g, nullptr) << c.name;
    EXPECT_STREQ(g->GetGUIAPI(), c.api) << c.name;
    EXPECT_EQ(g->Width(), 425) << c.name;
    EXPECT_EQ(g->Height(), 440) << c.name;
    EXPECT_EQ(g->FPS(), 25) << c.name;
    if (auto* headless = dynamic_cast<IGraphicsHeadless*>(g))
    {
      EXPECT_STREQ(headless->GetBundleID(), "com.orvanta.audiounit.Tesk") << c.name;
    }
  }
  RequestHeadlessEditors(false);
}
