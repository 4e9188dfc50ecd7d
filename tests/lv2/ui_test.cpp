// The bundle's LV2 UI in the test's own host, on a virtual X server, as a host embeds it:
// in a window of the host's, driven by idle calls. The UI builds the editor; with
// instance-access its displays drain the running plug-in's display feed (they show the
// recent signal as soon as the editor opens and move on while audio runs), and it can be
// closed and opened again while the audio thread keeps rendering; without it, the editor
// shows the parameters the host reports and empty displays. A click on a switch goes to the
// host as a control write, with touches around it.

#include <atomic>
#include <thread>

#include "EditorPictures.h"
#include "Lv2TestSupport.h"
#include "Lv2UIHost.h"
#include "TeskParams.h"
#include "X11TestUser.h"
#include "XvfbServer.h"

using namespace lv2_test;

namespace
{
constexpr int kEditorW = 425, kEditorH = 440;
constexpr int kHostX = 40, kHostY = 30;  // where the host's window sits on the screen

class UITest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!XvfbServer::Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); UI tests skipped";
    std::string error;
    ASSERT_TRUE(mServer.Start(&error)) << error;
    mUser = std::make_unique<X11TestUser>(mServer.Display());
    ASSERT_TRUE(mUser->Ok());
    mHostWindow = mUser->MakeHostWindow(kHostX, kHostY, kEditorW, kEditorH);
    mPlugin = Lv2Plugin::Open(mWorld, kTeskLV2URI, 44100.0, &error);
    ASSERT_TRUE(mPlugin) << error;
    mPlugin->Activate();
  }
  void TearDown() override
  {
    StopAudio();
    mPlugin.reset();
    mUser.reset();
    mServer.Stop();
  }

  // The host's audio thread: the test signal, block after block, until StopAudio.
  void StartAudio()
  {
    mAudio = std::thread([this] {
      const Channels in = TestSignal(2, 44100);
      Channels out(2, std::vector<float>(512));
      for (size_t start = 0; !mStop.load(); start = (start + 512) % (in[0].size() - 512))
      {
        const float* ins[2] = {in[0].data() + start, in[1].data() + start};
        float* outs[2] = {out[0].data(), out[1].data()};
        mPlugin->Run(ins, outs, 512);
        mBlocks.fetch_add(1);
      }
    });
  }
  void StopAudio()
  {
    mStop.store(true);
    if (mAudio.joinable()) mAudio.join();
  }

  std::unique_ptr<Lv2UIHost> OpenUI(bool instanceAccess)
  {
    std::string error;
    auto ui = Lv2UIHost::Open(kTeskLV2URI, instanceAccess ? mPlugin->Handle() : nullptr, mHostWindow, &error);
    EXPECT_TRUE(ui) << error;
    return ui;
  }

  // The editor as the screen shows it, after the UI has had time to draw.
  std::unique_ptr<LICE_IBitmap> Shown(Lv2UIHost& ui, double seconds = 0.3)
  {
    ui.IdleFor(seconds);
    return mUser->Grab(ui.Window());
  }

  XvfbServer mServer;
  std::unique_ptr<X11TestUser> mUser;
  unsigned long mHostWindow = 0;
  ScratchFolder mScratch;
  Lv2World mWorld{kBundleFolder.string()};
  std::unique_ptr<Lv2Plugin> mPlugin;
  std::thread mAudio;
  std::atomic<bool> mStop{false};
  std::atomic<long> mBlocks{0};
};
}  // namespace

TEST_F(UITest, OpensClosesAndReopensWhileAudioRunsAndShowsThePluginsDisplays)
{
  const auto idle = TeskSnapshot(mScratch.Path(), {});
  ASSERT_TRUE(idle);
  StartAudio();
  for (int round = 0; round < 3; ++round)
  {
    SCOPED_TRACE(round);
    auto ui = OpenUI(true);
    ASSERT_TRUE(ui);
    EXPECT_EQ(mUser->Parent(ui->Window()), mHostWindow) << "embedded in the host's window";
    ASSERT_FALSE(ui->SizeRequests().empty());
    EXPECT_EQ(ui->SizeRequests().back(), std::make_pair(kEditorW, kEditorH));
    const long before = mBlocks.load();
    auto shown = Shown(*ui, 1.0);
    EXPECT_GT(mBlocks.load(), before + 20) << "the audio thread kept running";
    ASSERT_TRUE(shown);
    SavePicture(shown.get(), "ui_instance_access_" + std::to_string(round) + ".png");
    // The waveform and the spectrum are drawn from what the plug-in processes, and
    // they move on.
    EXPECT_GT(DifferingPixels(shown.get(), idle.get()), 2000);
    auto later = Shown(*ui, 0.5);
    EXPECT_GT(DifferingPixels(shown.get(), later.get()), 100);
    const unsigned long window = ui->Window();
    ui.reset();
    EXPECT_FALSE(mUser->Exists(window)) << "closing the UI removes its window";
  }
  StopAudio();
  EXPECT_EQ(mPlugin->Latency(), 12288.0f);
}

TEST_F(UITest, WithoutInstanceAccessTheEditorShowsHostValuesAndEmptyDisplays)
{
  StartAudio();  // the plug-in runs, but this UI cannot reach it
  auto ui = OpenUI(false);
  ASSERT_TRUE(ui);
  auto shown = Shown(*ui, 0.5);
  SavePicture(shown.get(), "ui_own_plugin.png");
  auto idle = TeskSnapshot(mScratch.Path(), {});
  EXPECT_EQ(DifferingPixels(shown.get(), idle.get()), 0);

  // Values the host reports arrive through port events and show as they would had the
  // processor been set before initialisation.
  ui->PortEvent(tesk::kPre, 0.5f);
  ui->PortEvent(tesk::kAuto, 1.0f);
  ui->PortEvent(tesk::kModeB, 0.25f);
  shown = Shown(*ui);
  auto expected = TeskSnapshot(mScratch.Path(), {"Pre=0.5", "Auto=1", "Mode B=0.25"});
  SavePicture(shown.get(), "ui_own_plugin_port_events.png");
  SavePicture(expected.get(), "ui_own_plugin_port_events_expected.png");
  EXPECT_EQ(DifferingPixels(shown.get(), expected.get()), 0);
  EXPECT_TRUE(ui->Writes().empty()) << "the host's own values are not written back";
}

class UIClick : public UITest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(UIClick, ASwitchClickedIsWrittenToTheHostWithTouches)
{
  const Box autoSwitch = SwitchBox(mScratch.Path(), "Auto");
  ASSERT_FALSE(autoSwitch.Empty());
  StartAudio();
  auto ui = OpenUI(GetParam());
  ASSERT_TRUE(ui);
  ui->IdleFor(0.2);
  mUser->Click(kHostX + autoSwitch.CentreX(), kHostY + autoSwitch.CentreY());
  ui->IdleFor(0.3);
  // (With instance-access the displays' own pushes go to the host too, on their ports.)
  std::vector<Lv2UIHost::Write> writes;
  for (const Lv2UIHost::Write& w : ui->Writes())
    if (w.port != tesk::kFFTDisplay && w.port != tesk::kWaveformDisplay) writes.push_back(w);
  // The switch re-sends its value on the press and flips on the release.
  ASSERT_FALSE(writes.empty());
  for (const Lv2UIHost::Write& w : writes) EXPECT_EQ(w.port, tesk::kAuto);
  EXPECT_EQ(writes.back().value, 1.0f);
  ASSERT_EQ(ui->Touches().size(), 2u);
  EXPECT_EQ(ui->Touches()[0].port, tesk::kAuto);
  EXPECT_TRUE(ui->Touches()[0].grabbed);
  EXPECT_EQ(ui->Touches()[1].port, tesk::kAuto);
  EXPECT_FALSE(ui->Touches()[1].grabbed);
}

INSTANTIATE_TEST_SUITE_P(Access, UIClick, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "InstanceAccess" : "OwnPlugin"); });
