// The audio thread hands spectra and points to the displays while the
// user-interface thread draws and a parameter thread clears them: nothing is lost,
// the rows and points end where a sequential run puts them, and every stored item
// is owed exactly one push.

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
constexpr int kRows = 1500;
constexpr int kPointsPerRow = 7;

// Row s holds the value s in every bin, point p the value p / 1e6.
void Produce(FFTDisplay* fft, WaveformDisplay* wave, std::atomic<bool>* done)
{
  std::vector<double> a(4096), b(4096, 0.0);
  int point = 0;
  wave->setMaxCountDisplay(0);
  for (int s = 0; s < kRows; ++s)
  {
    std::fill(a.begin(), a.end(), s / 2.5);
    fft->addFFT(a.data(), b.data(), 2048);
    for (int i = 0; i < kPointsPerRow; ++i) wave->add(++point / 1e6);
  }
  done->store(true);
}

// One editor timer tick: redraw what is dirty and collect the owed pushes.
void Tick(EditorFixture& f, int* fftPushes, int* wavePushes)
{
  IRECT r;
  if (f.gfx->IsDirty(&r)) f.gfx->Draw(&r);
  *fftPushes += f.fft->TakePendingPushes();
  *wavePushes += f.wave->TakePendingPushes();
}

TEST(HandOff, ConcurrentDrawingLosesNothing)
{
  EditorFixture f;
  std::atomic<bool> done{false};
  int fftPushes = 0, wavePushes = 0;
  std::thread producer(Produce, f.fft, f.wave, &done);
  while (!done.load()) Tick(f, &fftPushes, &wavePushes);
  producer.join();
  Tick(f, &fftPushes, &wavePushes);

  EXPECT_EQ(fftPushes, kRows);
  EXPECT_EQ(wavePushes, kRows * kPointsPerRow);
  FFTDisplay* d = f.fft;
  EXPECT_EQ(d->WritePos(), kRows % 31);
  for (int row = 0; row < 31; ++row)
  {
    // The last spectrum written to this row.
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
  std::thread producer(Produce, f.fft, f.wave, &done);
  // At least one clear, however quickly the producer finishes.
  do {
    {
      // As the processor does on "Bypass": under the plug-in mutex.
      WDL_MutexLock lock(f.tesk->GetMutex());
      f.wave->clear();
      f.fft->clear();
      ++clears;
    }
    Tick(f, &fftPushes, &wavePushes);
  } while (!done.load());
  producer.join();
  Tick(f, &fftPushes, &wavePushes);  // what the producer stored after the last tick
  EXPECT_EQ(fftPushes, kRows);
  EXPECT_EQ(wavePushes, kRows * kPointsPerRow);

  // A clear after the producer stopped shows at once, and the next stored items
  // follow it in order.
  FFTDisplay* d = f.fft;
  WaveformDisplay* w = f.wave;
  const int pos = d->WritePos();
  f.ForgetCalls();
  d->clear();
  w->clear();
  EXPECT_EQ(f.PushesOf(kFFTDisplay).size(), 1u);
  EXPECT_EQ(f.PushesOf(kWaveformDisplay).size(), 1u);
  for (int row = 0; row < 31; ++row) EXPECT_DOUBLE_EQ(d->HistoryValue(row, 5), 0.0);
  EXPECT_EQ(w->WritePos(), 0);
  std::vector<double> a(4096, 2.0), b(4096, 0.0);
  d->addFFT(a.data(), b.data(), 2048);
  EXPECT_EQ(d->WritePos(), (pos + 1) % 31);
  EXPECT_DOUBLE_EQ(d->HistoryValue(pos, 5), 5.0);
  EXPECT_DOUBLE_EQ(d->HistoryValue((pos + 1) % 31, 5), 0.0);
  w->add(0.5);
  EXPECT_EQ(w->WritePos(), 1);
  EXPECT_DOUBLE_EQ(w->Sample(0), 0.5);
  EXPECT_GT(clears, 0);
}
}  // namespace
