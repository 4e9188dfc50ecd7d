// Tesk in jalv, a real LV2 host, on a JACK server of the test's own (dummy backend):
// - headless (jalv's console front end), each plug-in loads and runs for a few seconds:
//   JACK carries the latency jalv reads from the plug-in's latency port after a run, and
//   the console sets controls and applies the bundle's preset "-";
// - with jalv's GTK front end under Xvfb, the editor is embedded in jalv's window and
//   shows what the headless snapshot shows; a click on a switch moves the host's control
//   port, which jalv saves in its state (File > Save) with the plug-in's own state, and
//   jalv restores both: the restored controls are the saved ones.

#include <chrono>
#include <cstring>
#include <regex>
#include <thread>

#include "EditorPictures.h"
#include "Lv2TestSupport.h"
#include "TeskParams.h"
#include "X11TestUser.h"
#include "XvfbServer.h"

using namespace lv2_test;

namespace
{
bool Eventually(const std::function<bool()>& done, double seconds)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done())
  {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// A JACK server with the dummy backend under a name of the test's own, so it never meets
// another; its clients find it through JACK_DEFAULT_SERVER.
class JackServer final
{
public:
  bool Start(const std::filesystem::path& scratch, std::string* pError)
  {
    mName = "tesk-test-" + std::to_string(getpid());
    if (!mJack.Start({"jackd", "--no-realtime", "-n", mName, "-d", "dummy", "-r", "44100", "-p", "512"},
                     {"JACK_NO_AUDIO_RESERVATION=1"}, scratch / "jackd.log", false, pError))
      return false;
    const ProgramResult wait =
      RunHostProgram({"jack_wait", "-s", mName, "-w", "-t", "10"}, Environment(), scratch, 15.0);
    if (wait.exitCode != 0) return *pError = "jackd did not start: " + mJack.Output(), false;
    return true;
  }
  std::vector<std::string> Environment() const
  {
    return {"JACK_DEFAULT_SERVER=" + mName, "JACK_NO_START_SERVER=1", "JACK_NO_AUDIO_RESERVATION=1"};
  }
  void Stop() { mJack.Stop(); }

private:
  std::string mName;
  HostProgram mJack;
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// "symbol = value" lines as jalv prints its controls; the last value of each symbol.
std::map<std::string, double> PrintedControls(const std::string& output)
{
  std::map<std::string, double> values;
  const std::regex line(R"((?:^|\n)(?:> )?([a-z_][a-z0-9_]*) = (-?[0-9.]+))");
  for (auto it = std::sregex_iterator(output.begin(), output.end(), line); it != std::sregex_iterator(); ++it)
    values[(*it)[1]] = std::stod((*it)[2]);
  return values;
}

class JalvTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (FindHostProgram("jackd").empty() || FindHostProgram("jack_wait").empty())
      GTEST_SKIP() << "jackd is not installed (Debian package jackd2); jalv tests skipped";
    std::string error;
    ASSERT_TRUE(mJack.Start(mScratch.Path(), &error)) << error;
  }
  void TearDown() override { mJack.Stop(); }

  std::vector<std::string> Env() const { return Join(HostEnvironment(mScratch.Path()), mJack.Environment()); }

  ScratchFolder mScratch;
  JackServer mJack;
};

class JalvHeadless : public JalvTest, public ::testing::WithParamInterface<TeskLV2Variant>
{
};
}  // namespace

TEST_P(JalvHeadless, LoadsAndRunsWithControlsAndThePreset)
{
  LV2_REQUIRE_PROGRAM("jalv", "jalv");
  LV2_REQUIRE_PROGRAM("jack_lsp", "jackd2");
  const TeskLV2Variant& v = GetParam();
  const std::string client = "tesk-" + std::to_string(getpid());
  HostProgram jalv;
  std::string error;
  // Line-buffered, so what the console prints can be read while it runs.
  ASSERT_TRUE(jalv.Start({"stdbuf", "-oL", "jalv", "-x", "-n", client, "-c", "mode_a=0.5", v.uri}, Env(),
                         mScratch / "jalv.log", true, &error))
    << error;

  // jalv hands JACK the latency it reads from the plug-in's latency port after a run.
  const std::string out = client + (v.nOut == 2 ? ":out_l" : ":out");
  std::string ports;
  const bool latencyShown = Eventually(
    [&] {
      ports = RunHostProgram({"jack_lsp", "-l", out}, Env(), mScratch.Path()).output;
      return ports.find("port playback latency = [ 12288 12288 ]") != std::string::npos;
    },
    10.0);
  EXPECT_TRUE(latencyShown) << ports << jalv.Output();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  ASSERT_TRUE(jalv.Running()) << jalv.Output();

  jalv.Send("set pre 0.5\ncontrols\n");
  ASSERT_TRUE(Eventually(
    [&] { return PrintedControls(jalv.Output()).count("pre") && PrintedControls(jalv.Output())["pre"] == 0.5; }, 5.0))
    << jalv.Output();
  EXPECT_EQ(PrintedControls(jalv.Output())["mode_a"], 0.5);
  // The bundle's presets, then "-".
  jalv.Send("presets\n");
  ASSERT_TRUE(
    Eventually([&] { return jalv.Output().find(std::string(kTeskLV2PresetURI) + " (-)") != std::string::npos; }, 5.0))
    << jalv.Output();
  jalv.Send(std::string("preset ") + kTeskLV2PresetURI + "\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  jalv.Send("controls\n");
  ASSERT_TRUE(Eventually([&] { return PrintedControls(jalv.Output())["pre"] == 0.0; }, 5.0)) << jalv.Output();
  const std::map<std::string, double> after = PrintedControls(jalv.Output());
  EXPECT_EQ(after.at("mode_a"), 0.0);
  EXPECT_EQ(after.at("high"), 1.0);
  EXPECT_TRUE(jalv.Running()) << jalv.Output();
  jalv.CloseInput();  // jalv's console ends at the end of its input
  EXPECT_EQ(jalv.Wait(10.0), 0) << jalv.Output();
}

INSTANTIATE_TEST_SUITE_P(Variants, JalvHeadless, ::testing::ValuesIn(kTeskLV2Variants),
                         [](const auto& info) { return std::string(info.param.nIn == 2 ? "Stereo" : "Mono"); });

namespace
{
// The deepest window of the size under w (the plug-in's editor inside jalv's window).
Window FindWindowOfSize(Display* d, Window w, int width, int height)
{
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &n))
  {
    for (unsigned i = 0; i < n && !found; ++i)
    {
      found = FindWindowOfSize(d, children[i], width, height);
      XWindowAttributes wa;
      if (!found && XGetWindowAttributes(d, children[i], &wa) && wa.width == width && wa.height == height &&
          wa.map_state == IsViewable)
        found = children[i];
    }
    if (children) XFree(children);
  }
  return found;
}
}  // namespace

TEST_F(JalvTest, GtkFrontEndShowsTheEditorAndSavesAndRestoresWhatItsSwitchSet)
{
  LV2_REQUIRE_PROGRAM("jalv.gtk3", "jalv");
  LV2_REQUIRE_PROGRAM("jalv", "jalv");
  if (!XvfbServer::Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
  XvfbServer server;
  std::string error;
  ASSERT_TRUE(server.Start(&error)) << error;
  X11TestUser user(server.Display());
  ASSERT_TRUE(user.Ok());
  const Box autoSwitch = SwitchBox(mScratch.Path(), "Auto");
  const auto expected = TeskSnapshot(mScratch.Path(), {"Pre=0.25", "Mode B=0.5"});
  ASSERT_FALSE(autoSwitch.Empty());
  ASSERT_TRUE(expected);

  HostProgram gtk;
  gtk.SetWorkingFolder(mScratch.Path());  // where its Save dialog starts
  ASSERT_TRUE(gtk.Start({"jalv.gtk3", "-c", "pre=0.25", "-c", "mode_b=0.5", kTeskLV2URI},
                        Join(Env(), {"DISPLAY=" + server.Display()}), mScratch / "jalv-gtk.log", false, &error))
    << error;
  Window editor = 0;
  ASSERT_TRUE(Eventually(
    [&] {
      XSync(user.Display(), False);
      editor = FindWindowOfSize(user.Display(), DefaultRootWindow(user.Display()), expected->getWidth(),
                                expected->getHeight());
      return editor != 0;
    },
    15.0))
    << gtk.Output();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  // What jalv shows is the headless snapshot of the same settings (the displays have
  // only had JACK's silence).
  auto shown = user.Grab(editor);
  SavePicture(shown.get(), "jalv_gtk3_editor.png");
  EXPECT_EQ(DifferingPixels(shown.get(), expected.get()), 0);

  int x = 0, y = 0;
  user.Position(editor, &x, &y);
  user.MoveTo(x + autoSwitch.CentreX(), y + autoSwitch.CentreY());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  user.Click(x + autoSwitch.CentreX(), y + autoSwitch.CentreY());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  // File > Save (Ctrl+S over jalv's menu bar, where GTK has the keyboard), the name
  // "saved" in the dialog, which opens in jalv's working folder.
  const std::filesystem::path saved = mScratch / "saved" / "state.ttl";
  user.MoveTo(x + expected->getWidth() - 20, y - 12);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  user.Key(XK_Control_L, true);
  user.Tap(XK_s);
  user.Key(XK_Control_L, false);
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  user.Type("saved");
  // The dialog may take a first Return for its name completion.
  for (int i = 0; i < 4 && !std::filesystem::exists(saved); ++i)
  {
    user.Tap(XK_Return);
    Eventually([&] { return std::filesystem::exists(saved); }, 1.5);
  }
  ASSERT_TRUE(std::filesystem::exists(saved)) << gtk.Output();
  gtk.Stop();

  // The saved state, read as lilv reads it: the host's ports and the plug-in's bytes.
  Lv2World world(kBundleFolder.string());
  auto plugin = Lv2Plugin::Open(world, kTeskLV2URI, 44100.0, &error);
  ASSERT_TRUE(plugin) << error;
  ASSERT_TRUE(plugin->RestoreFromFile(saved.string()));
  EXPECT_EQ(plugin->Control(tesk::kAuto), 1.0f) << "the host's port followed the click";
  EXPECT_EQ(plugin->Control(tesk::kPre), 0.25f);
  EXPECT_EQ(plugin->Control(tesk::kModeB), 0.5f);
  const std::vector<std::uint8_t> bytes = plugin->SaveStateBytes(kTeskLV2StateKey);
  ASSERT_EQ(bytes.size(), tesk::kNumParams * sizeof(double));
  std::vector<double> restored(tesk::kNumParams);
  std::memcpy(restored.data(), bytes.data(), bytes.size());
  for (int i = 0; i < tesk::kNumParams; ++i)
    EXPECT_EQ(restored[static_cast<size_t>(i)], plugin->Control(i)) << "parameter " << i;

  // jalv restores the saved folder: its controls are the saved ones.
  HostProgram console;
  ASSERT_TRUE(console.Start({"stdbuf", "-oL", "jalv", "-l", (mScratch / "saved").string(), kTeskLV2URI}, Env(),
                            mScratch / "jalv-restore.log", true, &error))
    << error;
  console.Send("controls\n");
  ASSERT_TRUE(Eventually([&] { return PrintedControls(console.Output()).size() == tesk::kNumParams; }, 10.0))
    << console.Output();
  const std::map<std::string, double> printed = PrintedControls(console.Output());
  for (int i = 0; i < tesk::kNumParams; ++i)
  {
    const std::string symbol = plugin->Ports()[static_cast<size_t>(i)].symbol;
    EXPECT_EQ(printed.at(symbol), plugin->Control(i)) << symbol;
  }
  console.CloseInput();
  EXPECT_EQ(console.Wait(10.0), 0) << console.Output();
}
