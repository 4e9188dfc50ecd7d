// Tesk on the threads a host runs it on, all at once, for a few seconds:
// - a host thread sets parameters through the Audio Unit's setter (through the component
//   entry, which gives the plug-in its idle slot afterwards, and through the fast-dispatch
//   setter), and now and then saves the state and restores it;
// - the audio thread renders through the fast-dispatch render;
// - the editor runs in an X11 window on its own editor thread, drawing on its timer, while
//   a user clicks, drags and wheels on it with real input (XTest) under an Xvfb the test
//   starts and stops.
// Built with ThreadSanitizer (-DTESK_SANITIZE=thread) this is the race test: a data race
// anywhere among the four threads is a report, and a report fails the run.

#include <gtest/gtest.h>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioUnitHost.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IGraphicsHeadless.h"
#include "Tesk.h"
#include "TeskEditor.h"
#include "X11TestUser.h"
#include "XvfbServer.h"
#include "linux_window/IGraphicsLinux.h"
#include "linux_window/X11EditorWindow.h"

namespace
{
using Clock = std::chrono::steady_clock;

constexpr UInt32 kBlock = 256;
constexpr auto kRunTime = std::chrono::seconds(3);

Component TeskComponent()
{
  static Component c = compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry),
                                                kAudioUnitType_Effect, kTeskFourCC, kTeskFourCC, "Orvanta: Tesk");
  return c;
}

// The host's input: a quiet, deterministic noise on both channels.
OSStatus RenderInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32, UInt32 nFrames,
                     AudioBufferList* io)
{
  auto state = static_cast<std::uint32_t>(ts->mSampleTime) * 2654435761u + 1u;
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
  {
    auto* p = static_cast<float*>(io->mBuffers[c].mData);
    for (UInt32 i = 0; i < nFrames; ++i)
    {
      state = state * 1664525u + 1013904223u;
      p[i] = 0.3f * (static_cast<float>(state >> 8) / 16777216.0f - 0.5f);
    }
  }
  return noErr;
}

// Which thread told the host of a parameter change: the editor's (the user's gestures) or another.
struct NotificationCounter
{
  std::atomic<std::thread::id> editor{};
  std::atomic<int> fromEditor{0}, fromOthers{0};

  static void Sink(void* user, void*, const AudioUnitEvent* e)
  {
    if (e->mEventType != kAudioUnitEvent_ParameterValueChange) return;
    auto* n = static_cast<NotificationCounter*>(user);
    (std::this_thread::get_id() == n->editor.load() ? n->fromEditor : n->fromOthers).fetch_add(1);
  }
};

int CenterX(const IRECT* r) { return (r->L + r->R) / 2; }
int CenterY(const IRECT* r) { return (r->T + r->B) / 2; }

// Calls `step` until `done` holds or about two seconds pass.
bool Until(const std::function<bool()>& done, const std::function<void()>& step = {})
{
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (!done())
  {
    if (Clock::now() > deadline) return false;
    if (step) step();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class HostThreads : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!XvfbServer::Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); race test skipped";
    std::string error;
    ASSERT_TRUE(mServer.Start(&error)) << error;
    mUser = std::make_unique<X11TestUser>(mServer.Display());
    ASSERT_TRUE(mUser->Ok()) << "no XTest extension on " << mServer.Display();

    // The editor's graphics host is the platform's: the server above is the display.
    RequestHeadlessEditors(false);
    ASSERT_NE(TeskComponent(), nullptr);
    ASSERT_EQ(noErr, auhost::AudioUnitHost::Open(TeskComponent(), &mHost));
    mUnit = mHost->Unit();
    mStorage = mHost->ComponentStorage();
    IPlugAU* pPlug = nullptr;
    ASSERT_EQ(noErr, mHost->Get(IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &pPlug));
    mPlug = static_cast<Tesk*>(pPlug);
    ASSERT_NE(mPlug, nullptr);
    // As the host's view asks for it.
    mGraphics = dynamic_cast<IGraphicsLinux*>(mPlug->EnsureGUI());
    ASSERT_NE(mGraphics, nullptr) << "the editor's graphics host is not the Linux one";
    Configure();
  }

  void TearDown() override
  {
    if (mHost)
    {
      EXPECT_EQ(noErr, mHost->Close());
    }
    mUser.reset();
    mServer.Stop();
  }

  void Configure()
  {
    ASSERT_EQ(noErr, mHost->SetFormat(kAudioUnitScope_Input, 44100.0, 2));
    ASSERT_EQ(noErr, mHost->SetFormat(kAudioUnitScope_Output, 44100.0, 2));
    ASSERT_EQ(noErr, mHost->SetMaxFrames(kBlock));
    ASSERT_EQ(noErr, mHost->Set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                AURenderCallbackStruct{RenderInput, nullptr}));
    ASSERT_EQ(noErr, mHost->Initialize());
    // The audio thread renders through the fast-dispatch render function.
    ASSERT_EQ(noErr, mHost->UseRenderCall(auhost::RenderCall::kFastDispatch));
    ASSERT_EQ(noErr, mHost->Get(kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitSetParameterSelect,
                                &mSetParam));
  }

  // The host's control thread: every parameter in turn, through the entry and the fast
  // setter by turns, with "Bypass" on now and then; every 40th step a state round trip.
  void HostLoop(const std::atomic<bool>& stop, std::atomic<int>* pSets)
  {
    for (int i = 0; !stop.load(); ++i)
    {
      const int idx = i % Tesk::kNumParams;
      float value = static_cast<float>((i * 37) % 101) / 100.0f;
      if (idx == Tesk::kBypass) value = (i / Tesk::kNumParams) % 6 == 0 ? 1.0f : 0.0f;
      const auto id = static_cast<AudioUnitParameterID>(idx);
      const OSStatus r = (i & 1) ? AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0)
                                 : mSetParam(mStorage, id, kAudioUnitScope_Global, 0, value, 0);
      EXPECT_EQ(r, noErr);
      if (i % 40 == 39) StateRoundTrip();
      pSets->fetch_add(1);
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
  }

  void StateRoundTrip()
  {
    CFPropertyListRef state = nullptr;
    ASSERT_EQ(noErr, mHost->CopyClassInfo(&state));
    EXPECT_EQ(noErr, mHost->SetClassInfo(state));
    CFRelease(state);
  }

  // The audio thread: one block after another through the fast-dispatch render.
  void AudioLoop(const std::atomic<bool>& stop, std::atomic<int>* pBlocks)
  {
    auhost::HostBuffers out(2, kBlock);
    for (Float64 t = 0; !stop.load(); t += kBlock)
    {
      EXPECT_EQ(noErr, mHost->RenderList(out.List(), kBlock, t));
      pBlocks->fetch_add(1);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  // The user: Bypass, the Pre fader, the knob's wheel, the band's low handle, then away.
  void Gestures()
  {
    const IRECT* bypass = ControlOf(Tesk::kBypass)->GetRECT();
    const IRECT* pre = ControlOf(Tesk::kPre)->GetRECT();
    const IRECT* knob = ControlOf(Tesk::kSensitivity)->GetRECT();
    const IRECT* band = ControlOf(Tesk::kFFTDisplay)->GetRECT();
    mUser->Click(CenterX(bypass), CenterY(bypass));
    // A drag in the middle of the fader's travel (rows 176..344): it moves the handle when
    // the handle lies there, and pushes the fader's value either way.
    mUser->Drag(CenterX(pre), 260, CenterX(pre), 230);
    mUser->MoveTo(CenterX(knob), CenterY(knob));
    for (int i = 0; i < 3; ++i) mUser->Click(CenterX(knob), CenterY(knob), i == 2 ? 5 : 4);
    mUser->Drag(band->L + 12, CenterY(band), band->L + 40, CenterY(band));
    mUser->MoveTo(1000, 700);
  }

  // The first control bound to the parameter that the mouse can reach (rectangles never change).
  IControl* ControlOf(int paramIdx)
  {
    for (int i = 0; i < mGraphics->NControls(); ++i)
    {
      IControl* c = mGraphics->GetControl(i);
      if (c->ParamIdx() == paramIdx && !c->GetTargetRECT()->Empty()) return c;
    }
    return nullptr;
  }

  XvfbServer mServer;
  std::unique_ptr<X11TestUser> mUser;
  std::unique_ptr<auhost::AudioUnitHost> mHost;
  AudioUnit mUnit = nullptr;
  void* mStorage = nullptr;  // the instance as the fast-dispatch procedures take it
  Tesk* mPlug = nullptr;
  IGraphicsLinux* mGraphics = nullptr;
  AudioUnitSetParameterProc mSetParam = nullptr;
};
}  // namespace

TEST_F(HostThreads, HostAudioAndEditorThreadsShareThePluginWithoutARace)
{
  X11EditorWindow window(mGraphics, X11EditorWindowOptions{});
  ASSERT_TRUE(window.StartEditorThread()) << window.Error();
  NotificationCounter notes;
  window.RunOnEditorThread([&] { notes.editor.store(std::this_thread::get_id()); });
  compat_AddAUEventSink(NotificationCounter::Sink, &notes);

  std::atomic<bool> stop{false};
  std::atomic<int> sets{0}, blocks{0};
  std::thread host([&] { HostLoop(stop, &sets); });
  std::thread audio([&] { AudioLoop(stop, &blocks); });
  const auto deadline = Clock::now() + kRunTime;
  int gestures = 0;
  while (Clock::now() < deadline)
  {
    Gestures();
    ++gestures;
  }
  stop.store(true);
  host.join();
  audio.join();

  EXPECT_GT(sets.load(), 100);
  EXPECT_GT(blocks.load(), 100);
  EXPECT_GT(gestures, 3);
  EXPECT_GT(notes.fromEditor.load(), 0) << "the user's gestures reached the plug-in from the editor thread";
  EXPECT_GT(notes.fromOthers.load(), 0);

  // A value the host sets last reaches the fader on the editor's thread (once the editor
  // has handled the user's input: a later drag of the fader would win).
  window.RunOnEditorThread([] {});
  ASSERT_EQ(noErr, AudioUnitSetParameter(mUnit, Tesk::kPre, kAudioUnitScope_Global, 0, 0.37f, 0));
  auto* pre = dynamic_cast<Fader*>(ControlOf(Tesk::kPre));
  ASSERT_NE(pre, nullptr);
  std::string shown;
  EXPECT_TRUE(Until([&] {
    window.RunOnEditorThread([&] { shown = pre->ValueText(); });
    return shown == "37";
  }))
    << shown;

  compat_RemoveAUEventSink(NotificationCounter::Sink, &notes);
  window.Close();
  EXPECT_FALSE(window.IsOpen());
}

// The host closes the plug-in while its window is open and the user is clicking in it: the
// editor thread stops before any part of the processor goes (a click's push into the
// processor on the editor thread would otherwise meet a half-destroyed processor).
TEST_F(HostThreads, ClosingThePlugInWithTheWindowOpenStopsTheEditorThreadFirst)
{
  X11EditorWindow window(mGraphics, X11EditorWindowOptions{});
  ASSERT_TRUE(window.StartEditorThread()) << window.Error();
  NotificationCounter notes;
  window.RunOnEditorThread([&] { notes.editor.store(std::this_thread::get_id()); });
  compat_AddAUEventSink(NotificationCounter::Sink, &notes);
  const IRECT bypass = *ControlOf(Tesk::kBypass)->GetRECT();  // the control goes with the plug-in
  std::atomic<bool> stop{false};
  std::thread user([&] {
    X11TestUser clicker(mServer.Display());
    while (!stop.load()) clicker.Click(CenterX(&bypass), CenterY(&bypass));
  });
  EXPECT_TRUE(Until([&] { return notes.fromEditor.load() > 4; })) << "the clicks reach the plug-in";
  ASSERT_EQ(noErr, mHost->Close());
  mHost.reset();
  mUnit = nullptr;
  EXPECT_FALSE(window.IsOpen());
  stop.store(true);
  user.join();
  compat_RemoveAUEventSink(NotificationCounter::Sink, &notes);
}
