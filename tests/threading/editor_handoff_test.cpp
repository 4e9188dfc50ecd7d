// Values reach the editor safely: what a host sets (or the processor shows) on a thread
// other than the editor's waits for the editor's next timer tick and is applied there,
// exactly as it is applied at once on the editor thread; the thread that runs the timer
// becomes the editor thread; the processor's lock-free parameter step leaves the
// displays' pushes to the next idle slot.

#include <gtest/gtest.h>

#include <CompatHooks.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IEditorThread.h"
#include "IGraphicsHeadless.h"
#include "OnOff.h"
#include "SensKnob.h"
#include "TeskTestSupport.h"
#include "WaveformDisplay.h"
#include "lice.h"

using namespace tesk_test;

namespace
{
using Settings = std::vector<std::pair<int, double>>;

// Runs fn on a thread of its own (a host's control thread, an audio thread) and waits for it.
void OnAnotherThread(const std::function<void()>& fn)
{
  std::thread t(fn);
  t.join();
}

// The host's parameter setter, step by step as the binding takes them (Engine::Set).
void HostSets(Engine& e, const Settings& settings)
{
  for (const auto& [idx, value] : settings) e.Set(idx, value);
}

SensKnob* KnobOf(Tesk& plug)
{
  IGraphics* g = plug.GetGUI();
  for (int i = 0; i < g->NControls(); ++i)
    if (auto* k = dynamic_cast<SensKnob*>(g->GetControl(i))) return k;
  return nullptr;
}

// What each value shows on the editor, read on the editor thread (the test's own).
struct Shown
{
  double pre, modeA, knob, lowHolder, highHolder;
  std::string preText, modeAText;
  int preHandleY;

  static Shown Of(Tesk& plug)
  {
    TeskEditor& ed = EditorOf(plug);
    return {ed.GetFader(Tesk::kPre)->GetValue(),
            ed.GetFader(Tesk::kModeA)->GetValue(),
            KnobOf(plug)->GetValue(),
            ed.GetLowHolder()->GetValue(),
            ed.GetHighHolder()->GetValue(),
            ed.GetFader(Tesk::kPre)->ValueText(),
            ed.GetFader(Tesk::kModeA)->ValueText(),
            ed.GetFader(Tesk::kPre)->HandleY()};
  }
};

// Settings that reach every kind of control state a value changes: the graphics host's
// values (faders, knob, holders), the faders' refresh (text, handle) and, through
// parameter 5, the holders' band edges.
const Settings kSettings = {{Tesk::kPre, 0.5},  {Tesk::kModeA, 0.25}, {Tesk::kSensitivity, 0.7},
                            {Tesk::kLow, 0.25}, {Tesk::kHigh, 0.75},  {Tesk::kFFTDisplay, 0.0}};

void ExpectShowsTheSettings(const Shown& s)
{
  EXPECT_EQ(s.pre, 0.5);
  EXPECT_EQ(s.preText, "50");
  EXPECT_EQ(s.preHandleY, 260);
  EXPECT_EQ(s.modeA, 0.25);
  EXPECT_EQ(s.modeAText, "25");
  EXPECT_EQ(s.knob, 0.7);
  EXPECT_NEAR(s.lowHolder, 0.25, 1.0 / 219.0);
  EXPECT_NEAR(s.highHolder, 0.75, 1.0 / 219.0);
}

// Pixels of two editors' surfaces that differ.
int DifferingPixels(Tesk& a, Tesk& b)
{
  LICE_IBitmap* pa = a.GetGUI()->GetDrawBitmap();
  LICE_IBitmap* pb = b.GetGUI()->GetDrawBitmap();
  int n = 0;
  for (int y = 0; y < pa->getHeight(); ++y)
    for (int x = 0; x < pa->getWidth(); ++x)
      n += pa->getBits()[y * pa->getRowSpan() + x] != pb->getBits()[y * pb->getRowSpan() + x];
  return n;
}

IGraphicsHeadless* Headless(Tesk& plug) { return dynamic_cast<IGraphicsHeadless*>(plug.GetGUI()); }
}  // namespace

TEST(EditorHandOff, AValueFromAnotherThreadShowsAfterOneTimerTickAndNotBefore)
{
  Engine e;
  const Shown before = Shown::Of(*e);
  OnAnotherThread([&] { HostSets(e, kSettings); });

  const Shown waiting = Shown::Of(*e);
  EXPECT_EQ(waiting.pre, before.pre);
  EXPECT_EQ(waiting.preText, before.preText);
  EXPECT_EQ(waiting.preHandleY, before.preHandleY);
  EXPECT_EQ(waiting.modeAText, before.modeAText);
  EXPECT_EQ(waiting.knob, before.knob);
  EXPECT_EQ(waiting.lowHolder, before.lowHolder);
  EXPECT_EQ(waiting.highHolder, before.highHolder);
  // What the editor reads atomically follows at once: the handles, and the engine's band
  // (parameter 5 took its edges from the marks the handles stand on).
  EXPECT_NEAR(EditorOf(*e).GetFFTDisplay()->GetLow(), 0.25, 1.0 / 219.0);
  EXPECT_NEAR(e->GetEngine().BandLow(), 0.25, 1.0 / 219.0);

  e->GetGUI()->OnEditorTimer();
  ExpectShowsTheSettings(Shown::Of(*e));
}

TEST(EditorHandOff, AValueOnTheEditorThreadShowsAtOnce)
{
  Engine e;
  HostSets(e, kSettings);
  ExpectShowsTheSettings(Shown::Of(*e));
}

// The same settings and the same audio, set on the editor thread in one editor and from
// a host's thread in the other: after one tick both draw the same picture.
TEST(EditorHandOff, TheDeferredPathDrawsTheSamePixelsAsTheImmediateOne)
{
  Settings settings = kSettings;
  settings.insert(settings.end(), {{Tesk::kInv, 1.0}, {Tesk::kAuto, 1.0}, {Tesk::kModeB, 0.9}, {Tesk::kBypass, 1.0}});
  const Signal in = Noise(3 * 8192, 0.4);
  Engine immediate, deferred;
  for (Engine* e : {&immediate, &deferred}) e->RenderMono(in);

  HostSets(immediate, settings);
  OnAnotherThread([&] { HostSets(deferred, settings); });
  Headless(*immediate)->DrawAll();
  Headless(*deferred)->DrawAll();
  EXPECT_GT(DifferingPixels(*immediate, *deferred), 0) << "nothing waited for the tick";

  deferred->GetGUI()->OnEditorTimer();
  Headless(*deferred)->DrawAll();
  EXPECT_EQ(DifferingPixels(*immediate, *deferred), 0);
}

// The latest value wins: a later value from any thread replaces one still waiting, and a
// change the user makes on the editor is not undone by an older value applied later.
TEST(EditorHandOff, TheLatestValueOfAParameterIsTheOneShown)
{
  Engine e;
  Fader* pre = EditorOf(*e).GetFader(Tesk::kPre);
  OnAnotherThread([&] { HostSets(e, {{Tesk::kPre, 0.2}, {Tesk::kPre, 0.4}}); });
  e->GetGUI()->OnEditorTimer();
  EXPECT_EQ(pre->GetValue(), 0.4);
  EXPECT_STREQ(pre->ValueText(), "40");

  OnAnotherThread([&] { HostSets(e, {{Tesk::kPre, 0.8}}); });
  // Before the tick comes, the user grabs the handle (its top at row 276 for 40 %) and
  // drags it up 21 rows.
  IMouseMod left(true);
  IGraphics* g = e->GetGUI();
  g->OnMouseDown(60, pre->HandleY() + 5, &left);
  g->OnMouseDrag(60, pre->HandleY() + 5 - 21, &left);
  g->OnMouseUp(60, pre->HandleY() + 5, &left);
  const double dragged = e->GetParam(Tesk::kPre)->Value();
  ASSERT_NE(dragged, 0.8);
  g->OnEditorTimer();
  EXPECT_EQ(pre->GetValue(), dragged);
  EXPECT_EQ(e->GetParam(Tesk::kPre)->Value(), dragged);
}

// The thread that runs the timer is the editor thread from then on: there values show at
// once, on the thread that built the editor they wait.
TEST(EditorHandOff, TheTimersThreadBecomesTheEditorThread)
{
  Engine e;
  IGraphics* g = e->GetGUI();
  EXPECT_TRUE(g->EditorThread().IsCurrent());
  Fader* pre = EditorOf(*e).GetFader(Tesk::kPre);
  std::string shownThere;
  OnAnotherThread([&] {
    g->OnEditorTimer();
    EXPECT_TRUE(g->EditorThread().IsCurrent());
    HostSets(e, {{Tesk::kPre, 0.6}});
    shownThere = pre->ValueText();
  });
  EXPECT_EQ(shownThere, "60");
  EXPECT_FALSE(g->EditorThread().IsCurrent());
  HostSets(e, {{Tesk::kPre, 0.3}});
  EXPECT_STREQ(pre->ValueText(), "60");
  g->OnEditorTimer();  // the test's thread takes the editor back
  EXPECT_STREQ(pre->ValueText(), "30");
}

TEST(EditorThread, AccessIsGrantedOnTheEditorThreadOnly)
{
  IEditorThread editor;
  {
    IEditorThread::Access access(editor);
    EXPECT_TRUE(access);
  }
  bool grantedThere = true, grantedAfterClaim = false;
  OnAnotherThread([&] { grantedThere = static_cast<bool>(IEditorThread::Access(editor)); });
  EXPECT_FALSE(grantedThere);
  OnAnotherThread([&] {
    editor.Claim();
    grantedAfterClaim = static_cast<bool>(IEditorThread::Access(editor));
  });
  EXPECT_TRUE(grantedAfterClaim);
  EXPECT_FALSE(IEditorThread::Access(editor));
}

// A claim waits until the former editor thread has left the section it writes in.
TEST(EditorThread, AClaimWaitsForTheFormerEditorThreadToLeave)
{
  IEditorThread editor;
  std::atomic<bool> claimed{false};
  std::thread claimer;
  {
    IEditorThread::Access access(editor);
    ASSERT_TRUE(access);
    claimer = std::thread([&] {
      editor.Claim();
      claimed.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(claimed.load());
  }
  claimer.join();
  EXPECT_TRUE(claimed.load());
}

// A binding's audio thread applies parameter changes itself, between renders and
// without the mutex: the processor's lock-free step. "Bypass" clears the display feed at
// once (the displays show it at the editor's next tick); the pushes the clear owes the
// host (parameter 4, then 5) come with the next idle slot, off the audio thread.
// OnParamChange pays them at once.
TEST(ApplyParamChange, TheClearsPushesWaitForIdleOffTheAudioThread)
{
  struct Notes
  {
    std::vector<int> params;
    static void Sink(void* user, void*, const AudioUnitEvent* ev)
    {
      if (ev->mEventType == kAudioUnitEvent_ParameterValueChange)
        static_cast<Notes*>(user)->params.push_back(static_cast<int>(ev->mArgument.mParameter.mParameterID));
    }
  } notes;
  Engine e;
  e.RenderMono(Noise(3 * 8192, 0.4));  // something on the displays to clear
  e->OnIdle();                         // and the pushes it owed paid
  e->GetGUI()->OnEditorTimer();
  ASSERT_GT(EditorOf(*e).GetWaveformDisplay()->WritePos(), 0);
  compat_AddAUEventSink(Notes::Sink, &notes);
  e->GetParam(Tesk::kBypass)->Set(1.0);
  OnAnotherThread([&] { e->ApplyParamChange(Tesk::kBypass); });
  EXPECT_TRUE(e->GetEngine().Bypassed());
  e->GetGUI()->OnEditorTimer();
  EXPECT_EQ(EditorOf(*e).GetWaveformDisplay()->WritePos(), 0);
  EXPECT_TRUE(notes.params.empty());
  e->OnIdle();
  EXPECT_EQ(notes.params, (std::vector<int>{Tesk::kWaveformDisplay, Tesk::kFFTDisplay}));
  e->OnIdle();
  EXPECT_EQ(notes.params.size(), 2u);

  notes.params.clear();
  e->OnParamChange(Tesk::kBypass);
  EXPECT_EQ(notes.params, (std::vector<int>{Tesk::kWaveformDisplay, Tesk::kFFTDisplay}));
  compat_RemoveAUEventSink(Notes::Sink, &notes);
}
