// The audio thread writes spectra and points into the processor's display feed while
// the editor's thread drains it into the displays and draws, and a parameter thread
// clears it: nothing is lost, the rows and points end where a sequential run puts
// them, and every stored item is owed exactly one push.

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
constexpr int kRows = 1500;
constexpr int kPointsPerRow = 7;

// Spectrum s shows the value s in every bin, point p the value p / 1e6.
void Produce(TeskDisplayFeed* feed, std::atomic<bool>* done)
{
  std::vector<double> mag(TeskDisplayFeed::kSpectrumBins), points(kPointsPerRow);
  int point = 0;
  feed->SetSampleRate(0);  // every value is a point
  for (int s = 0; s < kRows; ++s)
  {
    std::fill(mag.begin(), mag.end(), s / 5.0);
    feed->AddSpectra(mag.data(), mag.data());
    for (double& p : points) p = ++point / 1e6;
    feed->AddWaveform(points.data(), points.data(), kPointsPerRow);
  }
  done->store(true);
}

// One editor timer tick: take what the feed holds, redraw what is dirty and collect
// the owed pushes.
void Tick(EditorFixture& f, int* fftPushes, int* wavePushes)
{
  f.gfx->OnEditorTimer();
  IRECT r;
  if (f.gfx->IsDirty(&r)) f.gfx->Draw(&r);
  *fftPushes += f.tesk->GetDisplayFeed().TakeSpectrumPushes();
  *wavePushes += f.tesk->GetDisplayFeed().TakeWaveformPushes();
}

TEST(HandOff, ConcurrentDrawingLosesNothing)
{
  EditorFixture f;
  std::atomic<bool> done{false};
  int fftPushes = 0, wavePushes = 0;
  std::thread producer(Produce, &f.tesk->GetDisplayFeed(), &done);
  while (!done.load()) Tick(f, &fftPushes, &wavePushes);
  producer.join();
  Tick(f, &fftPushes, &wavePushes);

  EXPECT_EQ(fftPushes, kRows);
  EXPECT_EQ(wavePushes, kRows * kPointsPerRow);
  FFTDisplay* d = f.fft;
  EXPECT_EQ(d->WritePos(), kRows % 31);
  for (int row = 0; row < 31; ++row)
  {
    // The last spectrum that reached this row.
    int s = kRows - 1;
    while (s % 31 != row) --s;
    EXPECT_DOUBLE_EQ(d->HistoryValue(row, 0), s) << row;
    EXPECT_DOUBLE_EQ(d->HistoryValue(row, 2047), s) << row;
  }
  const int points = kRows * kPointsPerRow;
  WaveformDisplay* w = f.wave;
  EXPECT_EQ(w->WritePos(), points % 800);
  for (int back = 1; back <= 800; ++back)
  {
    const int slot = ((points - back) % 800 + 800) % 800;
    EXPECT_DOUBLE_EQ(w->Sample(slot), (points - back + 1) / 1e6) << slot;
  }
}

TEST(HandOff, ClearsFromAnotherThreadStayOrderedWithTheProducer)
{
  EditorFixture f;
  std::atomic<bool> done{false};
  int fftPushes = 0, wavePushes = 0, clears = 0;
  std::thread producer(Produce, &f.tesk->GetDisplayFeed(), &done);
  // At least one clear, however quickly the producer finishes.
  do {
    f.HostSets(kBypass, 1.0);  // clears the feed, under the plug-in mutex
    ++clears;
    Tick(f, &fftPushes, &wavePushes);
  } while (!done.load());
  producer.join();
  Tick(f, &fftPushes, &wavePushes);  // what the producer stored after the last tick
  EXPECT_EQ(fftPushes, kRows);
  EXPECT_EQ(wavePushes, kRows * kPointsPerRow);

  // A clear after the producer stopped shows at the next tick, and the next stored
  // items follow it in order. (The loop's last clear may still wait for the audio
  // thread: the spectra stored before it then pass as wiped rows.)
  FFTDisplay* d = f.fft;
  WaveformDisplay* w = f.wave;
  f.ForgetCalls();
  f.HostSets(kBypass, 1.0);
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 1u);
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 1u);
  Tick(f, &fftPushes, &wavePushes);
  for (int row = 0; row < 31; ++row) EXPECT_DOUBLE_EQ(d->HistoryValue(row, 5), 0.0);
  EXPECT_EQ(w->WritePos(), 0);
  std::vector<double> mag(TeskDisplayFeed::kSpectrumBins, 1.0), point(1, 0.5);
  f.tesk->GetDisplayFeed().AddSpectra(mag.data(), mag.data());
  f.tesk->GetDisplayFeed().AddWaveform(point.data(), point.data(), 1);
  Tick(f, &fftPushes, &wavePushes);
  const int newest = (d->WritePos() + 30) % 31;
  for (int row = 0; row < 31; ++row) EXPECT_DOUBLE_EQ(d->HistoryValue(row, 5), row == newest ? 5.0 : 0.0) << row;
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), 0.5);
  EXPECT_GT(clears, 0);
}
}  // namespace
