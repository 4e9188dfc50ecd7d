#pragma once
// Shared by the window tests: an Xvfb server with a user at it (the fixture), the real
// Tesk processor with its editor on the Linux graphics host (made by the plug-in's own
// factory while the server runs) and a second one on the headless host as the reference
// picture, controls found through the graphics host, and pixel comparisons.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "FFTDisplay.h"
#include "Fader.h"
#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "IParam.h"
#include "TeskTestSupport.h"
#include "X11TestUser.h"
#include "XvfbServer.h"
#include "lice.h"
#include "linux_window/IGraphicsLinux.h"
#include "linux_window/X11EditorWindow.h"

namespace window_test
{
// Starts a virtual X server for the test, or skips the test when Xvfb is absent.
class XvfbTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!XvfbServer::Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); window tests skipped";
    std::string error;
    ASSERT_TRUE(mServer.Start(&error)) << error;
    mUser = std::make_unique<X11TestUser>(mServer.Display());
    ASSERT_TRUE(mUser->Ok()) << "no XTest extension on " << mServer.Display();
  }
  void TearDown() override
  {
    mUser.reset();
    mServer.Stop();
  }

  XvfbServer mServer;
  std::unique_ptr<X11TestUser> mUser;
};

// The real processor with its editor on the Linux graphics host, as its factory makes it
// where a display can be tried (the fixture's server is one).
struct TeskUnderTest
{
  TeskUnderTest()
    : plug(MakeOnThePlatformsHost()),
      graphics(dynamic_cast<IGraphicsLinux*>(plug->GetGUI()))
  {
    if (!graphics) throw std::runtime_error("the editor's graphics host is not the Linux one: no display to try");
    plug->OnParamReset();
    // Every control starts from its parameter's value, as after a host restored a state.
    plug->RedrawParamControls();
    plug->SetRandomSeed(12345u);
  }
  static std::unique_ptr<Tesk> MakeOnThePlatformsHost()
  {
    RequestHeadlessEditors(false);
    return tesk_test::MakeTesk();
  }
  double Value(int idx) { return plug->GetParam(idx)->GetNormalized(); }

  std::unique_ptr<Tesk> plug;
  IGraphicsLinux* graphics;  // owned by the plug-in
};

// The same processor on the headless host: what the window must show.
struct TeskReference
{
  TeskReference()
    : plug(tesk_test::MakeHeadlessTesk()),
      graphics(dynamic_cast<IGraphicsHeadless*>(plug->GetGUI()))
  {
    plug->OnParamReset();
    plug->RedrawParamControls();
    plug->SetRandomSeed(12345u);
  }
  LICE_IBitmap* Picture()
  {
    graphics->DrawAll();
    return graphics->GetDrawBitmap();
  }
  double Value(int idx) { return plug->GetParam(idx)->GetNormalized(); }

  std::unique_ptr<Tesk> plug;
  IGraphicsHeadless* graphics;
};

// The first control bound to the parameter that the mouse can reach.
inline IControl* ControlOf(IGraphics* g, int paramIdx)
{
  for (int i = 0; i < g->NControls(); ++i)
  {
    IControl* c = g->GetControl(i);
    if (c->ParamIdx() == paramIdx && !c->GetTargetRECT()->Empty()) return c;
  }
  return nullptr;
}

// Pixels of the grab that differ from the picture doubled `scale` times (alpha ignored).
inline int DifferingPixels(LICE_IBitmap* grab, LICE_IBitmap* picture, int scale)
{
  if (!grab || grab->getWidth() != picture->getWidth() * scale || grab->getHeight() != picture->getHeight() * scale)
    return -1;
  int differing = 0;
  for (int y = 0; y < grab->getHeight(); ++y)
    for (int x = 0; x < grab->getWidth(); ++x)
    {
      const LICE_pixel a = grab->getBits()[y * grab->getRowSpan() + x];
      const LICE_pixel b = picture->getBits()[(y / scale) * picture->getRowSpan() + x / scale];
      if ((a & 0xFFFFFF00u) != (b & 0xFFFFFF00u)) ++differing;
    }
  return differing;
}

// Written beside the test binary, for a person to look at.
inline void SaveForViewing(LICE_IBitmap* bitmap, const std::string& name)
{
  const std::filesystem::path dir = std::filesystem::path(TESK_WINDOW_SHOTS_DIR);
  std::filesystem::create_directories(dir);
  if (bitmap) LICE_WritePNG((dir / name).string().c_str(), bitmap, false);
}

// Calls `step` until `done` holds or about two seconds pass.
inline bool Until(const std::function<bool()>& done, const std::function<void()>& step = {})
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done())
  {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (step) step();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Handles what reached the window, redraws what is dirty and waits until the server
// has shown it, so a grab sees the editor's current state.
inline void Settle(X11EditorWindow& w, IGraphicsLinux* g)
{
  w.RunOnEditorThread([g] { g->TimerStep(); });
  w.RunOnEditorThread([] {});
}
}  // namespace window_test
