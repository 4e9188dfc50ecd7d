// The per-sample pipeline: block-size independence, level and latency at the
// defaults, the dry delay, the moving average and its delay, bypass, empty blocks,
// and recovery from non-finite input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "FFTDisplay.h"
#include "TeskTestSupport.h"
#include "WaveformDisplay.h"

using namespace tesk_test;

namespace
{
// A setting that exercises every step: wet share driven by the measure, reduction
// on a narrow inverted band, both modes.
void UseBusySettings(Engine& e)
{
  e.Set(Tesk::kPre, 0.6);
  e.Set(Tesk::kAuto, 1.0);
  e.Set(Tesk::kSensitivity, 0.7);
  e.Set(Tesk::kModeA, 0.8);
  e.Set(Tesk::kModeB, 0.4);
  e.Set(Tesk::kLow, 0.05);
  e.Set(Tesk::kHigh, 0.2);
  e.Set(Tesk::kInv, 1.0);
}
}  // namespace

TEST(TeskPipeline, AnyBlockSizeGivesBitIdenticalOutput)
{
  const int n = 40000;
  Signal inL = Noise(n, 0.3, 1u), inR = Sine(n, 440.0, 0.4);
  for (int i = 0; i < n; ++i) inL[i] += 0.2 * std::sin(i * 0.01);

  Signal refL, refR;
  {
    Engine e;
    UseBusySettings(e);
    e.Render(inL, inR, &refL, &refR, 1);
  }
  for (int block : {7, 64, 2048, 4099})
  {
    Engine e;
    UseBusySettings(e);
    Signal outL, outR;
    e.Render(inL, inR, &outL, &outR, block);
    EXPECT_EQ(0, std::memcmp(refL.data(), outL.data(), n * sizeof(double))) << "block " << block;
    EXPECT_EQ(0, std::memcmp(refR.data(), outR.data(), n * sizeof(double))) << "block " << block;
  }
}

TEST(TeskPipeline, DefaultsPassASteadySineAtUnityGainDelayedByTheLatency)
{
  const int n = 65536;
  const Signal in = Sine(n, 997.0, 0.5);
  Engine e;
  const Signal out = e.RenderMono(in);
  const int lat = e->GetLatency();
  ASSERT_EQ(lat, Tesk::kLatencySamples);

  const int from = 3 * lat, to = n;
  EXPECT_NEAR(Db(Rms(out, from, to) / Rms(in, from - lat, to - lat)), 0.0, 0.1);
  // Sample for sample: only the Hann overlap ripple and the zeroed Nyquist term remain.
  double worst = 0.0;
  for (int i = from; i < to; ++i) worst = std::max(worst, std::fabs(out[i] - in[i - lat]));
  EXPECT_LT(worst, 0.002);
}

TEST(TeskPipeline, AnImpulsePeaksExactlyAtTheReportedLatency)
{
  for (int t0 : {0, 20000, 20001 + 1024})
  {
    const int n = t0 + 3 * Tesk::kLatencySamples;
    Signal in(n, 0.0);
    in[t0] = 1.0;
    Engine e;
    const Signal out = e.RenderMono(in, 333);
    int peak = 0;
    for (int i = 1; i < n; ++i)
      if (std::fabs(out[i]) > std::fabs(out[peak])) peak = i;
    EXPECT_EQ(peak - t0, e->GetLatency()) << "impulse at " << t0;
    EXPECT_NEAR(out[peak], 1.0, 0.01) << "impulse at " << t0;
  }
}

TEST(TeskPipeline, TheDryPathLagsTheInputBy6144Samples)
{
  Engine e;
  const int t0 = 100;
  for (int i = 0; i < t0 + TeskEngine::kDelaySlots + 50; ++i)
  {
    e.Step(i == t0 ? 1.0 : 0.0, i == t0 ? -0.5 : 0.0);
    const bool arrives = i == t0 + TeskEngine::kDelaySlots;
    ASSERT_EQ(e->GetEngine().DryL(), arrives ? 1.0 : 0.0) << "sample " << i;
    ASSERT_EQ(e->GetEngine().DryR(), arrives ? -0.5 : 0.0) << "sample " << i;
  }
}

TEST(TeskPipeline, TheMovingAverageFollowsTheMeasureAndItsDelay6144SamplesLater)
{
  // With "Sensitivity" at 0 the measure becomes 1 at the first frame step (sample
  // 4095) and the average counts it in from the next sample on.
  Engine e;
  const Signal in = Noise(13000, 0.5);
  for (int i = 0; i < 13000; ++i)
  {
    e.Step(in[i], in[i]);
    const double expectedM = i < 4096 ? 0.0 : std::min(1.0, (i - 4095) / 2048.0);
    ASSERT_DOUBLE_EQ(e->GetEngine().SensAvg(), expectedM) << "sample " << i;
    const int j = i - TeskEngine::kDelaySlots;
    const double expectedD = j < 4096 ? 0.0 : std::min(1.0, (j - 4095) / 2048.0);
    ASSERT_DOUBLE_EQ(e->GetEngine().SensAvgDelayed(), expectedD) << "sample " << i;
  }
  EXPECT_EQ(e->GetEngine().SensAvg(), 1.0);
  EXPECT_EQ(e->GetEngine().SensAvgDelayed(), 1.0);
}

TEST(TeskPipeline, BypassCopiesTheInputWhileTheEngineRunsOn)
{
  const int n = 30000, switchAt = 17000;
  const Signal in = Noise(n, 0.5, 3u);
  Engine plain, bypassed;
  for (Engine* p : {&plain, &bypassed}) p->Set(Tesk::kModeA, 0.5);
  bypassed.Set(Tesk::kBypass, 1.0);

  Signal a = plain.RenderMono(Signal(in.begin(), in.begin() + switchAt));
  Signal b = bypassed.RenderMono(Signal(in.begin(), in.begin() + switchAt));
  for (int i = 0; i < switchAt; ++i) ASSERT_EQ(b[i], in[i]) << "sample " << i;
  EXPECT_EQ(bypassed->GetEngine().FrameSteps1(), plain->GetEngine().FrameSteps1());
  EXPECT_EQ(bypassed->GetEngine().FrameSteps2(), plain->GetEngine().FrameSteps2());
  EXPECT_EQ(EditorOf(*bypassed).GetWaveformDisplay()->TakePendingPushes(), 0);
  EXPECT_EQ(EditorOf(*bypassed).GetFFTDisplay()->TakePendingPushes(), 0);

  // Switched off, it continues from fully formed history: the same output as an
  // engine that was never bypassed.
  bypassed.Set(Tesk::kBypass, 0.0);
  a = plain.RenderMono(Signal(in.begin() + switchAt, in.end()));
  b = bypassed.RenderMono(Signal(in.begin() + switchAt, in.end()));
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(double)));
}

TEST(TeskPipeline, AnEmptyBlockOnlyUpdatesTheWaveformDecimation)
{
  Engine e;
  e->SetSampleRate(48000.0);
  double* none[2] = {nullptr, nullptr};
  e->ProcessDoubleReplacing(none, none, 0);
  EXPECT_EQ(EditorOf(*e).GetWaveformDisplay()->Decimation(), 480);
  for (int i = 0; i < TeskEngine::kFramesPerStage; ++i)
    EXPECT_EQ(e->GetEngine().FrameCounter1(i), -i * TeskEngine::kHopSize);
}

TEST(TeskPipeline, NonFiniteInputLeavesTheOutputOnceItHasPassedBothStages)
{
  // A sample enters at most two frames of stage one, whose results are emitted up to
  // 12287 samples after it; stage two adds as much again. From 24575 samples after
  // the burst's last sample on, nothing of it can remain.
  constexpr int kClearAfter = 2 * (TeskEngine::kConvSize + TeskEngine::kFrameSize) - 1;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case
  {
    const char* name;
    double value;
    int length;
  };
  for (const Case& c : {Case{"NaN burst", nan, 300}, Case{"one infinity", inf, 1}, Case{"-inf burst", -inf, 5000}})
  {
    Engine e;
    UseBusySettings(e);
    const int start = 20000, last = start + c.length - 1, n = last + kClearAfter + 3 * TeskEngine::kConvSize;
    Signal in = Noise(n, 0.4, 9u);
    for (int i = start; i <= last; ++i) in[i] = c.value;
    const Signal out = e.RenderMono(in, 500);
    bool poisoned = false;
    for (int i = start; i < last + kClearAfter; ++i) poisoned = poisoned || !std::isfinite(out[i]);
    EXPECT_TRUE(poisoned) << c.name << ": the burst should have reached the output";
    for (int i = last + kClearAfter; i < n; ++i) ASSERT_TRUE(std::isfinite(out[i])) << c.name << " at " << i - last;
    EXPECT_TRUE(std::isfinite(e->GetEngine().SensAvg())) << c.name;
  }
}

TEST(TeskPipeline, ClearingTheHistoryRendersAsANewEngineDoes)
{
  // Loud noise and a NaN burst leave history in every frame, delay and average; after
  // ClearHistory (with the same seed) nothing of it may reach the next render.
  const int n = 3 * TeskEngine::kConvSize + 777;
  Signal inL = Noise(n, 0.4, 5u), inR = Sine(n, 321.0, 0.5);
  Signal refL, refR;
  {
    Engine fresh(77u);
    UseBusySettings(fresh);
    fresh.Render(inL, inR, &refL, &refR, 512);
  }
  Engine used(77u);
  UseBusySettings(used);
  Signal loud = Noise(n, 0.9, 6u), outL, outR;
  for (int i = 1000; i < 1100; ++i) loud[i] = std::numeric_limits<double>::quiet_NaN();
  used.Render(loud, loud, &outL, &outR, 300);
  {
    WDL_MutexLock lock(used->GetMutex());
    used->GetEngine().ClearHistory();  // the draws restart from the seed, 77
  }
  used.Render(inL, inR, &outL, &outR, 512);
  EXPECT_EQ(0, std::memcmp(refL.data(), outL.data(), n * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(refR.data(), outR.data(), n * sizeof(double)));
}
