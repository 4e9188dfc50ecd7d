// The per-sample pipeline: block-size independence, level and latency at the
// defaults, the dry delay, the moving average and its delay, bypass, empty blocks,
// and recovery from non-finite input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "EngineTestSupport.h"

using namespace tesk_test;

namespace
{
// A setting that exercises every step: wet share driven by the measure, reduction
// on a narrow inverted band, both modes.
void UseBusySettings(EngineRun& e)
{
  e->SetPreAmount(0.6);
  e->SetAutoMode(1.0);
  e->SetSensitivity(0.7);
  e->SetModeA(0.8);
  e->SetModeB(0.4);
  e->SetBandLow(0.05);
  e->SetBandHigh(0.2);
  e->SetInvertBand(1.0);
}
}  // namespace

TEST(TeskPipeline, AnyBlockSizeGivesBitIdenticalOutput)
{
  const int n = 40000;
  Signal inL = Noise(n, 0.3, 1u), inR = Sine(n, 440.0, 0.4);
  for (int i = 0; i < n; ++i) inL[i] += 0.2 * std::sin(i * 0.01);

  Signal refL, refR;
  {
    EngineRun e;
    UseBusySettings(e);
    e.Render(inL, inR, &refL, &refR, 1);
  }
  for (int block : {7, 64, 2048, 4099})
  {
    EngineRun e;
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
  EngineRun e;
  const Signal out = e.RenderMono(in);
  const int lat = kEngineLatency;

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
    const int n = t0 + 3 * kEngineLatency;
    Signal in(n, 0.0);
    in[t0] = 1.0;
    EngineRun e;
    const Signal out = e.RenderMono(in, 333);
    int peak = 0;
    for (int i = 1; i < n; ++i)
      if (std::fabs(out[i]) > std::fabs(out[peak])) peak = i;
    EXPECT_EQ(peak - t0, kEngineLatency) << "impulse at " << t0;
    EXPECT_NEAR(out[peak], 1.0, 0.01) << "impulse at " << t0;
  }
}

TEST(TeskPipeline, TheDryPathLagsTheInputBy6144Samples)
{
  EngineRun e;
  const int t0 = 100;
  for (int i = 0; i < t0 + TeskEngine::kDelaySlots + 50; ++i)
  {
    e.Step(i == t0 ? 1.0 : 0.0, i == t0 ? -0.5 : 0.0);
    const bool arrives = i == t0 + TeskEngine::kDelaySlots;
    ASSERT_EQ(e->DryL(), arrives ? 1.0 : 0.0) << "sample " << i;
    ASSERT_EQ(e->DryR(), arrives ? -0.5 : 0.0) << "sample " << i;
  }
}

TEST(TeskPipeline, TheMovingAverageFollowsTheMeasureAndItsDelay6144SamplesLater)
{
  // With "Sensitivity" at 0 the measure becomes 1 at the first frame step (sample
  // 4095) and the average counts it in from the next sample on.
  EngineRun e;
  const Signal in = Noise(13000, 0.5);
  for (int i = 0; i < 13000; ++i)
  {
    e.Step(in[i], in[i]);
    const double expectedM = i < 4096 ? 0.0 : std::min(1.0, (i - 4095) / 2048.0);
    ASSERT_DOUBLE_EQ(e->SensAvg(), expectedM) << "sample " << i;
    const int j = i - TeskEngine::kDelaySlots;
    const double expectedD = j < 4096 ? 0.0 : std::min(1.0, (j - 4095) / 2048.0);
    ASSERT_DOUBLE_EQ(e->SensAvgDelayed(), expectedD) << "sample " << i;
  }
  EXPECT_EQ(e->SensAvg(), 1.0);
  EXPECT_EQ(e->SensAvgDelayed(), 1.0);
}

TEST(TeskPipeline, BypassCopiesTheInputWhileTheEngineRunsOn)
{
  const int n = 30000, switchAt = 17000;
  const Signal in = Noise(n, 0.5, 3u);
  EngineRun plain, bypassed;
  for (EngineRun* p : {&plain, &bypassed}) (*p)->SetModeA(0.5);
  bypassed->SetBypass(true);

  Signal a = plain.RenderMono(Signal(in.begin(), in.begin() + switchAt));
  Signal b = bypassed.RenderMono(Signal(in.begin(), in.begin() + switchAt));
  for (int i = 0; i < switchAt; ++i) ASSERT_EQ(b[i], in[i]) << "sample " << i;
  EXPECT_EQ(bypassed->FrameSteps1(), plain->FrameSteps1());
  EXPECT_EQ(bypassed->FrameSteps2(), plain->FrameSteps2());
  EXPECT_EQ(bypassed.Feed().TakeWaveformPushes(), 0);
  EXPECT_EQ(bypassed.Feed().TakeSpectrumPushes(), 0);
  EXPECT_GT(plain.Feed().TakeSpectrumPushes(), 0);

  // Switched off, it continues from fully formed history: the same output as an
  // engine that was never bypassed.
  bypassed->SetBypass(false);
  a = plain.RenderMono(Signal(in.begin() + switchAt, in.end()));
  b = bypassed.RenderMono(Signal(in.begin() + switchAt, in.end()));
  EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(double)));
}

TEST(TeskPipeline, AnEmptyBlockOnlyUpdatesTheWaveformDecimation)
{
  EngineRun e;
  double* none[2] = {nullptr, nullptr};
  e->Process(none, none, 0, 48000.0);
  EXPECT_EQ(e.Feed().Decimation(), 480);
  for (int i = 0; i < TeskEngine::kFramesPerStage; ++i) EXPECT_EQ(e->FrameCounter1(i), -i * TeskEngine::kHopSize);
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
    EngineRun e;
    UseBusySettings(e);
    const int start = 20000, last = start + c.length - 1, n = last + kClearAfter + 3 * TeskEngine::kConvSize;
    Signal in = Noise(n, 0.4, 9u);
    for (int i = start; i <= last; ++i) in[i] = c.value;
    const Signal out = e.RenderMono(in, 500);
    bool poisoned = false;
    for (int i = start; i < last + kClearAfter; ++i) poisoned = poisoned || !std::isfinite(out[i]);
    EXPECT_TRUE(poisoned) << c.name << ": the burst should have reached the output";
    for (int i = last + kClearAfter; i < n; ++i) ASSERT_TRUE(std::isfinite(out[i])) << c.name << " at " << i - last;
    EXPECT_TRUE(std::isfinite(e->SensAvg())) << c.name;
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
    EngineRun fresh(77u);
    UseBusySettings(fresh);
    fresh.Render(inL, inR, &refL, &refR, 512);
  }
  EngineRun used(77u);
  UseBusySettings(used);
  Signal loud = Noise(n, 0.9, 6u), outL, outR;
  for (int i = 1000; i < 1100; ++i) loud[i] = std::numeric_limits<double>::quiet_NaN();
  used.Render(loud, loud, &outL, &outR, 300);
  used->ClearHistory();  // the draws restart from the seed, 77
  used.Render(inL, inR, &outL, &outR, 512);
  EXPECT_EQ(0, std::memcmp(refL.data(), outL.data(), n * sizeof(double)));
  EXPECT_EQ(0, std::memcmp(refR.data(), outR.data(), n * sizeof(double)));
}
