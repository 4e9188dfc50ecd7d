// The processor as a host and the editor see it: its identity, its parameters, what
// a parameter change does, and the displays' deferred notifications.

#include <gtest/gtest.h>

#include <CompatHooks.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "OnOff.h"
#include "TeskTestSupport.h"
#include "WaveformDisplay.h"

using namespace tesk_test;

TEST(TeskProcessor, IdentityAsTheHostSeesIt)
{
  Engine e;
  EXPECT_STREQ(e->GetEffectName(), "Tesk");
  EXPECT_STREQ(e->GetProductName(), "");
  EXPECT_STREQ(e->GetMfrName(), "Orvanta");
  EXPECT_EQ(e->GetEffectVersion(false), 0x00010000);
  EXPECT_EQ(e->GetUniqueID(), 0x5465736B);
  EXPECT_EQ(e->GetMfrID(), 0x5465736B);
  EXPECT_EQ(e->GetLatency(), 12288);
  EXPECT_FALSE(e->DoesStateChunks());
  EXPECT_FALSE(e->IsInst());
  EXPECT_TRUE(e->LegalIO(1, 1));
  EXPECT_TRUE(e->LegalIO(2, 2));
  EXPECT_FALSE(e->LegalIO(1, 2));
  EXPECT_STREQ(e->GetBundleID(), "com.orvanta.audiounit.Tesk");
  // The view factory class this build names (IPlugObjCNames.h), Tesk_1_0_0_View by default.
  EXPECT_STREQ(e->GetCocoaViewFactoryClassName(), IPLUG_AU_VIEW_CLASS_NAME);
  ASSERT_EQ(e->NPresets(), 1);
  EXPECT_STREQ(e->GetPresetName(0), "-");
}

TEST(TeskProcessor, ThirteenParameters)
{
  struct Row
  {
    int index;
    const char* name;
    double defaultValue, step;
  };
  const Row rows[] = {
    {0, "Reduction Amount", 0, 0.0001},
    {1, "Sensitivity", 0, 0.0001},
    {2, "Low", 0, 0.0001},
    {3, "High", 1, 0.0001},
    {4, "WaveformDisplay", 0, 0.001},
    {5, "FFTDisplay", 0, 0.0001},
    {6, "Pre", 0, 0.0001},
    {7, "Auto", 0, 1},
    {8, "Residual", 0, 1},
    {9, "Inv", 0, 1},
    {10, "Mode A", 0, 0.0001},
    {11, "Mode B", 0, 0.0001},
    {12, "Bypass", 0, 1},
  };
  Engine e;
  ASSERT_EQ(e->NParams(), 13);
  for (const Row& r : rows)
  {
    const IParam* p = e->GetParam(r.index);
    EXPECT_STREQ(p->GetNameForHost(), r.name);
    EXPECT_EQ(p->Type(), IParam::kTypeDouble) << r.name;
    EXPECT_EQ(p->GetDefault(), r.defaultValue) << r.name;
    EXPECT_EQ(p->GetMin(), 0.0) << r.name;
    EXPECT_EQ(p->GetMax(), 1.0) << r.name;
    EXPECT_EQ(p->GetStep(), r.step) << r.name;
    EXPECT_STREQ(p->GetLabelForHost(), "") << r.name;
  }
}

TEST(TeskProcessor, TogglesCountAsOnOnlyAboveOneHalf)
{
  Engine e;
  struct Row
  {
    double value;
    bool on;
  };
  for (const Row& r : {Row{0.5, false}, Row{0.5001, true}, Row{1.0, true}, Row{0.0, false}})
  {
    e.Set(Tesk::kAuto, r.value);
    e.Set(Tesk::kInv, r.value);
    e.Set(Tesk::kBypass, r.value);
    EXPECT_EQ(EditorOf(*e).GetSwitch(Tesk::kAuto)->mOn.load(), r.on) << r.value;
    EXPECT_EQ(EditorOf(*e).GetSwitch(Tesk::kInv)->mOn.load(), r.on) << r.value;
    EXPECT_EQ(EditorOf(*e).GetFFTDisplay()->mInv.load(), r.on) << r.value;
    EXPECT_EQ(EditorOf(*e).GetSwitch(Tesk::kBypass)->mOn.load(), r.on) << r.value;
    EXPECT_EQ(e->GetEngine().Bypassed(), r.on) << r.value;
  }
}

TEST(TeskProcessor, EveryBypassAboveOneHalfClearsBothDisplays)
{
  Engine e;
  WaveformDisplay* pWave = EditorOf(*e).GetWaveformDisplay();
  FFTDisplay* pSpectrum = EditorOf(*e).GetFFTDisplay();
  TeskDisplayFeed& feed = e->GetDisplayFeed();
  const std::vector<double> spectrum(4096, 50.0), points(10, 0.5);
  const int newestRow = pSpectrum->InnerH() - 1;  // after one spectrum per round, drawn last
  for (double bypass : {1.0, 1.0, 0.75})          // also when it already was on
  {
    // Give both displays something to lose, as the audio thread would.
    feed.SetSampleRate(100);
    feed.AddWaveform(points.data(), points.data(), 10);
    feed.AddSpectra(spectrum.data(), spectrum.data());
    e->GetGUI()->OnEditorTimer();
    ASSERT_GT(pWave->WritePos(), 0);
    ASSERT_GT(pSpectrum->HistoryValue((pSpectrum->WritePos() + newestRow) % pSpectrum->InnerH(), 10), 0.0);

    e.Set(Tesk::kBypass, bypass);
    e->GetGUI()->OnEditorTimer();
    EXPECT_EQ(pWave->WritePos(), 0) << bypass;
    for (int r = 0; r < pSpectrum->InnerH(); ++r) ASSERT_EQ(pSpectrum->HistoryValue(r, 10), 0.0) << bypass;
    e->OnIdle();
  }
}

TEST(TeskProcessor, TheFFTDisplayParameterTakesTheBandFromTheMarks)
{
  Engine e;
  e.Set(Tesk::kLow, 0.25);
  e.Set(Tesk::kHigh, 0.75);
  EXPECT_EQ(e->GetEngine().BandLow(), 0.25);  // parameters 2 and 3 set the engine directly...
  FFTDisplay* pDisplay = EditorOf(*e).GetFFTDisplay();

  // ...but a change of parameter 5 reads the marks (where the handles stand), whatever
  // 2 and 3 hold.
  e->GetParam(Tesk::kLow)->Set(0.9);
  e.Set(Tesk::kFFTDisplay, 0.0);
  EXPECT_EQ(e->GetEngine().BandLow(), pDisplay->GetLow());
  EXPECT_EQ(e->GetEngine().BandHigh(), pDisplay->GetHigh());
  EXPECT_NEAR(e->GetEngine().BandLow(), 0.25, 1.0 / 219.0);
  EXPECT_NEAR(e->GetEngine().BandHigh(), 0.75, 1.0 / 219.0);
  EXPECT_EQ(EditorOf(*e).GetLowHolder()->GetValue(), pDisplay->GetLow());
  EXPECT_EQ(EditorOf(*e).GetHighHolder()->GetValue(), pDisplay->GetHigh());
}

TEST(TeskProcessor, IndicesOutsideTheTableChangeNothing)
{
  Engine e;
  e.Set(Tesk::kLow, 0.3);
  e.Set(Tesk::kPre, 0.4);
  const double low = e->GetEngine().BandLow();
  for (int index : {13, -1, 1000})
  {
    e->OnParamChange(index);
    EXPECT_EQ(e->GetEngine().BandLow(), low) << index;
    EXPECT_FALSE(e->GetEngine().Bypassed()) << index;
  }
}

TEST(TeskProcessor, FadersFollowTheirParameters)
{
  Engine e;
  for (int idx : {Tesk::kPre, Tesk::kModeA, Tesk::kModeB})
  {
    Fader* pFader = EditorOf(*e).GetFader(idx);
    ASSERT_NE(pFader, nullptr);
    const int atZero = pFader->HandleY();
    e.Set(idx, 1.0);
    EXPECT_LT(pFader->HandleY(), atZero) << idx;  // the handle rose
    e.Set(idx, 0.0);
    EXPECT_EQ(pFader->HandleY(), atZero) << idx;
  }
}

TEST(TeskProcessor, DisplayPushesFromTheAudioThreadAreDeliveredLater)
{
  // Every spectrum (two per frame step) and every stored waveform point owes the
  // host a change of parameter 5 or 4; OnIdle pays them through the normal path.
  Engine e;
  e.Set(Tesk::kLow, 0.1);
  const int n = 5 * TeskEngine::kHopSize + 4095;
  e.RenderMono(Noise(n, 0.3), 100);
  const auto spectra = static_cast<int>(e->GetEngine().FrameSteps1() + e->GetEngine().FrameSteps2());
  ASSERT_GT(spectra, 0);

  // The engine took the band from the marks at once; the holders wait for OnIdle.
  EXPECT_EQ(e->GetEngine().BandLow(), EditorOf(*e).GetFFTDisplay()->GetLow());
  EXPECT_NE(EditorOf(*e).GetLowHolder()->GetValue(), EditorOf(*e).GetFFTDisplay()->GetLow());

  e->OnIdle();
  EXPECT_EQ(EditorOf(*e).GetLowHolder()->GetValue(), EditorOf(*e).GetFFTDisplay()->GetLow());
  EXPECT_EQ(e->GetDisplayFeed().TakeSpectrumPushes(), 0);
  EXPECT_EQ(e->GetDisplayFeed().TakeWaveformPushes(), 0);
}

TEST(TeskProcessor, WithoutAnEditorTheOutputAndTheHostsNotificationsStayTheSame)
{
  // A processor whose editor was never asked for (tesk-render without --snapshot, a
  // host that never opens the view) renders the same bytes and owes the host the same
  // pushes of parameters 4 and 5, through a band set while bypassed, a clear and the
  // re-read of the band.
  struct Run
  {
    Signal out;
    std::vector<int> notified;
    static void Sink(void* user, void*, const AudioUnitEvent* ev)
    {
      if (ev->mEventType == kAudioUnitEvent_ParameterValueChange)
        static_cast<Run*>(user)->notified.push_back(static_cast<int>(ev->mArgument.mParameter.mParameterID));
    }
  };
  const Signal in = Noise(60000, 0.4, 12u);
  auto render = [&](bool withEditor) {
    Run run;
    Engine e(99u, withEditor);
    EXPECT_EQ(e->GetEditorLink() != nullptr, withEditor);
    compat_AddAUEventSink(Run::Sink, &run);
    const std::pair<int, double> steps[] = {{Tesk::kLow, 0.0123}, {Tesk::kHigh, 0.3791},   {Tesk::kModeA, 0.9},
                                            {Tesk::kModeB, 0.4},  {Tesk::kBypass, 1.0},    {Tesk::kLow, 0.1117},
                                            {Tesk::kBypass, 0.0}, {Tesk::kFFTDisplay, 0.3}};
    for (int chunk = 0; chunk < 10; ++chunk)
    {
      if (chunk < 8) e.Set(steps[chunk].first, steps[chunk].second);
      const Signal part(in.begin() + chunk * 6000, in.begin() + (chunk + 1) * 6000);
      const Signal out = e.RenderMono(part, 1000);
      run.out.insert(run.out.end(), out.begin(), out.end());
      e->OnIdle();
    }
    compat_RemoveAUEventSink(Run::Sink, &run);
    return run;
  };
  const Run with = render(true), without = render(false);
  ASSERT_EQ(with.out.size(), without.out.size());
  EXPECT_EQ(0, std::memcmp(with.out.data(), without.out.data(), with.out.size() * sizeof(double)));
  EXPECT_EQ(with.notified, without.notified);
  EXPECT_NE(std::count(with.notified.begin(), with.notified.end(), Tesk::kWaveformDisplay), 0);
  EXPECT_NE(std::count(with.notified.begin(), with.notified.end(), Tesk::kFFTDisplay), 0);
}
