// The display feed: which values become waveform points and how they are limited, the
// ring, the spectra it keeps, the pushes every stored item owes, clears requested from
// another thread, and a reader that runs beside the writer. Also what the engine writes
// into it, with and without bypass.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "EngineTestSupport.h"

using namespace tesk_test;

namespace
{
constexpr int kBins = TeskDisplayFeed::kSpectrumBins;
constexpr int kPoints = TeskDisplayFeed::kWaveformPoints;

// Offers the values (both channels the same, so each is offered as it is).
void Offer(TeskDisplayFeed& feed, const std::vector<double>& values)
{
  feed.AddWaveform(values.data(), values.data(), static_cast<int>(values.size()));
}

struct Ring
{
  std::vector<double> points = std::vector<double>(kPoints);
  int writePos = -1;
  explicit Ring(const TeskDisplayFeed& feed) { writePos = feed.CopyWaveform(points.data()); }
};

// Spectrum s holds s in every bin of the left channel and 2s in the right: sum 3s.
void AddSpectrum(TeskDisplayFeed& feed, int s)
{
  std::vector<double> l(kBins, s), r(kBins, 2.0 * s);
  feed.AddSpectra(l.data(), r.data());
}

TEST(DisplayFeed, KeepsOneValueInEveryDecimationStep)
{
  auto feed = std::make_unique<TeskDisplayFeed>();
  feed->SetSampleRate(44100);
  ASSERT_EQ(feed->Decimation(), 441);
  Offer(*feed, std::vector<double>(441, 0.5));
  EXPECT_EQ(feed->PointsStored(), 0u);
  Offer(*feed, {0.25});  // value 442: kept as it is, no averaging
  EXPECT_EQ(Ring(*feed).writePos, 1);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[0], 0.25);
  Offer(*feed, std::vector<double>(440, 0.75));
  EXPECT_EQ(feed->PointsStored(), 1u);
  Offer(*feed, {-0.125});  // value 883
  EXPECT_EQ(Ring(*feed).writePos, 2);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[1], -0.125);
  // The offered value is the channels' mean.
  feed->SetSampleRate(0);
  const double l = 0.5, r = -0.25;
  feed->AddWaveform(&l, &r, 1);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[2], 0.125);
}

struct PointCase
{
  const char* name;
  double offered, stored;
};

class FeedPoints : public testing::TestWithParam<PointCase>
{
};

TEST_P(FeedPoints, StoredWithinPlusMinusOne)
{
  auto feed = std::make_unique<TeskDisplayFeed>();
  feed->SetSampleRate(99);  // below 100 Hz: every value is kept
  ASSERT_EQ(feed->Decimation(), 0);
  Offer(*feed, {GetParam().offered});
  EXPECT_EQ(Ring(*feed).writePos, 1);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[0], GetParam().stored);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
  Values, FeedPoints,
  testing::Values(PointCase{"three_is_one", 3.0, 1.0}, PointCase{"small_negative_kept", -0.25, -0.25},
                  PointCase{"large_negative_is_minus_one", -7.0, -1.0}, PointCase{"one_kept", 1.0, 1.0},
                  PointCase{"infinity_is_one", kInf, 1.0}, PointCase{"minus_infinity_is_minus_one", -kInf, -1.0},
                  PointCase{"not_a_number_is_silence", std::numeric_limits<double>::quiet_NaN(), 0.0}),
  [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayFeed, PointsDoNotDependOnHowTheValuesAreSplitIntoCalls)
{
  // Distinct values, so a point taken one value early or late shows.
  std::vector<double> values(30000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = std::sin(0.001 * static_cast<double>(i));
  auto one = std::make_unique<TeskDisplayFeed>();
  one->SetSampleRate(44100);
  for (double v : values) Offer(*one, {v});
  const Ring want(*one);
  for (const int chunk : {2, 7, 440, 441, 442, 1000, 4096, 30000})
  {
    SCOPED_TRACE(chunk);
    auto feed = std::make_unique<TeskDisplayFeed>();
    feed->SetSampleRate(44100);
    for (std::size_t i = 0; i < values.size(); i += chunk)
    {
      const int n = static_cast<int>(std::min<std::size_t>(chunk, values.size() - i));
      feed->AddWaveform(values.data() + i, values.data() + i, n);
    }
    EXPECT_EQ(feed->PointsStored(), one->PointsStored());
    const Ring got(*feed);
    EXPECT_EQ(got.writePos, want.writePos);
    EXPECT_EQ(got.points, want.points);
  }
}

TEST(DisplayFeed, RingWrapsAfterEightHundredPointsAndEachPointOwesOnePush)
{
  auto feed = std::make_unique<TeskDisplayFeed>();
  feed->SetSampleRate(0);
  Offer(*feed, std::vector<double>(799, 0.0));
  EXPECT_EQ(Ring(*feed).writePos, 799);
  Offer(*feed, {0.5});
  EXPECT_EQ(Ring(*feed).writePos, 0);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[799], 0.5);
  EXPECT_EQ(feed->TakeWaveformPushes(), 800);
  EXPECT_EQ(feed->TakeWaveformPushes(), 0);
  auto fresh = std::make_unique<TeskDisplayFeed>();
  fresh->SetSampleRate(200);  // values 3, 5, 7 and 9 of ten are kept
  Offer(*fresh, std::vector<double>(10, 0.1));
  EXPECT_EQ(fresh->TakeWaveformPushes(), 4);
}

TEST(DisplayFeed, KeepsTheLastSpectraAsSumsAndEachOwesOnePush)
{
  auto feed = std::make_unique<TeskDisplayFeed>();
  std::vector<double> sums(kBins);
  EXPECT_FALSE(feed->CopySpectrum(0, sums.data()));  // nothing stored yet
  for (int s = 0; s < 100; ++s) AddSpectrum(*feed, s);
  EXPECT_EQ(feed->SpectraStored(), 100u);
  EXPECT_EQ(feed->TakeSpectrumPushes(), 100);
  ASSERT_TRUE(feed->CopySpectrum(99, sums.data()));
  EXPECT_DOUBLE_EQ(sums[0], 297.0);
  EXPECT_DOUBLE_EQ(sums[kBins - 1], 297.0);
  const std::uint64_t oldest = 100 - TeskDisplayFeed::kSpectrumSlots;
  ASSERT_TRUE(feed->CopySpectrum(oldest + 1, sums.data()));
  EXPECT_DOUBLE_EQ(sums[5], 3.0 * (oldest + 1));
  // The oldest slot is the one the next spectrum takes: no longer held whole.
  EXPECT_FALSE(feed->CopySpectrum(oldest, sums.data()));
  EXPECT_FALSE(feed->CopySpectrum(100, sums.data()));
}

TEST(DisplayFeed, SilentSpectraReadAsSpectraOfZerosInEveryRow)
{
  // Runs of silence between spectra, long enough to come back to rows that still hold
  // zeros and to rows that hold older spectra: each reads as AddSpectra of zeros does.
  const std::vector<double> zeros(kBins, 0.0);
  const int slots = TeskDisplayFeed::kSpectrumSlots;
  const struct
  {
    const char* name;
    std::vector<int> runs;  // alternating: spectra, then silent ones, ...
  } cases[] = {
    {"silence from the start", {0, 3 * slots}},
    {"one spectrum in silence", {1, slots - 1, 1, 2 * slots}},
    {"silence shorter than the ring", {slots + 5, 7, 3, slots / 2}},
    {"silence over old spectra", {2 * slots, slots + 3, slots - 2, slots}},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto silent = std::make_unique<TeskDisplayFeed>(), zeroed = std::make_unique<TeskDisplayFeed>();
    int s = 0;
    for (std::size_t r = 0; r < c.runs.size(); ++r)
      for (int i = 0; i < c.runs[r]; ++i, ++s)
      {
        if (r % 2 == 0)
        {
          AddSpectrum(*silent, s + 1);
          AddSpectrum(*zeroed, s + 1);
        }
        else
        {
          silent->AddSilentSpectra();
          zeroed->AddSpectra(zeros.data(), zeros.data());
        }
      }
    ASSERT_EQ(silent->SpectraStored(), zeroed->SpectraStored());
    EXPECT_EQ(silent->TakeSpectrumPushes(), zeroed->TakeSpectrumPushes());
    std::vector<double> got(kBins), want(kBins);
    for (std::uint64_t k = s > slots ? s - slots + 1 : 0; k < static_cast<std::uint64_t>(s); ++k)
    {
      ASSERT_TRUE(silent->CopySpectrum(k, got.data()));
      ASSERT_TRUE(zeroed->CopySpectrum(k, want.data()));
      for (int b = 0; b < kBins; ++b)
        ASSERT_EQ(std::signbit(got[b]), std::signbit(want[b])) << "spectrum " << k << " bin " << b;
      ASSERT_EQ(got, want) << "spectrum " << k;
    }
  }
}

TEST(DisplayFeed, AClearWaitsForTheNextItemAndLeavesItsMark)
{
  auto feed = std::make_unique<TeskDisplayFeed>();
  feed->SetSampleRate(0);
  std::vector<double> values(810, 0.0);
  values[789] = 1.0;
  Offer(*feed, values);
  for (int s = 0; s < 5; ++s) AddSpectrum(*feed, s);

  feed->RequestClear();
  EXPECT_TRUE(feed->SpectrumClearPending());
  EXPECT_TRUE(feed->WaveformClearPending());
  EXPECT_EQ(Ring(*feed).writePos, 0);  // a reader sees the rewind at once...
  EXPECT_EQ(feed->SpectraWipedBefore(), 0u);
  EXPECT_EQ(Ring(*feed).points[789], 1.0);  // ...and the points stay

  Offer(*feed, {0.5});  // the audio thread performs the rewind, then stores
  EXPECT_FALSE(feed->WaveformClearPending());
  EXPECT_EQ(Ring(*feed).writePos, 1);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[0], 0.5);
  EXPECT_DOUBLE_EQ(Ring(*feed).points[10], 0.0);
  EXPECT_TRUE(feed->SpectrumClearPending());  // each kind on its next item
  AddSpectrum(*feed, 5);
  EXPECT_FALSE(feed->SpectrumClearPending());
  EXPECT_EQ(feed->SpectraWipedBefore(), 5u);

  // Two clears before the next item are one.
  feed->RequestClear();
  feed->RequestClear();
  AddSpectrum(*feed, 6);
  EXPECT_EQ(feed->SpectraWipedBefore(), 6u);
  EXPECT_FALSE(feed->SpectrumClearPending());
}

TEST(DisplayFeed, AReaderBesideTheWriterSeesWholeSpectraAndEveryPush)
{
  // Spectrum s holds 3s in every bin. The reader copies the newest spectra while the
  // writer goes on; every copy that succeeds is whole, and no push is lost or doubled.
  auto feed = std::make_unique<TeskDisplayFeed>();
  constexpr int kSpectra = 3000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int s = 0; s < kSpectra; ++s)
    {
      AddSpectrum(*feed, s);
      if (s % 500 == 0) feed->RequestClear();
    }
    done.store(true);
  });
  std::vector<double> sums(kBins);
  int pushes = 0;
  while (!done.load())
  {
    pushes += feed->TakeSpectrumPushes();
    const std::uint64_t stored = feed->SpectraStored();
    if (stored == 0) continue;
    const std::uint64_t s = stored - 1;
    if (!feed->CopySpectrum(s, sums.data())) continue;
    for (int k = 0; k < kBins; k += 97) ASSERT_EQ(sums[k], 3.0 * static_cast<double>(s)) << s << " " << k;
  }
  writer.join();
  pushes += feed->TakeSpectrumPushes();
  EXPECT_EQ(pushes, kSpectra);
  EXPECT_EQ(feed->SpectraWipedBefore(), 2501u);
}

TEST(DisplayFeed, TheEngineFeedsSpectraAndPointsOnlyWhileNotBypassed)
{
  const Signal in = Noise(4 * TeskEngine::kConvSize, 0.4, 3u);
  EngineRun e;
  e.RenderMono(in, 333);
  const auto steps = static_cast<int>(e->FrameSteps1() + e->FrameSteps2());
  ASSERT_GT(steps, 0);
  EXPECT_EQ(e.Feed().TakeSpectrumPushes(), steps);  // one spectrum per frame step
  // 44100 Hz: the first point at value 442, then one every 441 values.
  EXPECT_EQ(e.Feed().TakeWaveformPushes(), (static_cast<int>(in.size()) - 1) / 441);
  // The newest spectrum is stage two's last: the sum of its magnitudes before the reduction.
  std::vector<double> sums(kBins);
  ASSERT_TRUE(e.Feed().CopySpectrum(e.Feed().SpectraStored() - 1, sums.data()));
  EXPECT_GT(sums[10], 0.0);

  e->SetBypass(true);
  e.RenderMono(in, 333);
  EXPECT_EQ(e.Feed().TakeSpectrumPushes(), 0);
  EXPECT_EQ(e.Feed().TakeWaveformPushes(), 0);
}
}  // namespace
