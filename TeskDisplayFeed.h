#pragma once
// The one feed from the audio thread to whatever shows the signal: the magnitude
// spectra of the frame steps and the waveform's points, with the pushes of the
// displays' parameters they owe the host. The processor owns it and the engine writes
// it whether or not an editor exists; an editor, when there is one, drains it on its
// timer. Preallocated at construction; every operation after that is lock-free and
// allocates nothing.
//
// What it keeps is what a display needs to show the recent signal from scratch, so an
// editor opened during playback fills at once:
// - spectra: the last kSpectrumSlots spectra, each the sum of the two channels'
//   magnitudes, numbered from 0 in the order they were stored;
// - waveform: a ring of kWaveformPoints points, one of every sampleRate / 100 values
//   offered, each limited to -1..1, and the ring's write position.
// A clear (a "Bypass" switched on) wipes the spectra stored so far and rewinds the
// ring's write position (the points stay). It is requested on the parameter-change
// thread and performed by the audio thread before it stores the next item, so the
// audio thread stays the only writer; until then a reader sees it as pending.
//
// Header-only on the reading side and made of lock-free atomics, so an editor in
// another library (an LV2 UI with instance-access) reads the processor's feed.
//
// Threads (named as in IPlugBase.h):
// - audio: SetSampleRate, AddSpectra, AddWaveform. A single writer; no allocation,
//   no locks.
// - parameter change: RequestClear. Any thread, lock-free.
// - idle: TakeSpectrumPushes, TakeWaveformPushes (the processor pays them from OnIdle).
// - editor: the reading side below; any number of readers, none of which writes.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class TeskDisplayFeed final
{
public:
  // Magnitude bins per spectrum (the engine's spectrum bins).
  static constexpr int kSpectrumBins = 2048;
  // Spectra kept: one more than the spectrum display shows (31 rows). A reader that
  // copies the oldest of them while the writer stores the next is told so
  // (CopySpectrum) and takes the newer ones at its next tick.
  static constexpr int kSpectrumSlots = 32;
  static constexpr int kWaveformPoints = 800;
  // Points per second of audio: one point every sampleRate / 100 values.
  static constexpr int kWaveformPointsPerSecond = 100;

  TeskDisplayFeed();
  TeskDisplayFeed(const TeskDisplayFeed&) = delete;
  TeskDisplayFeed& operator=(const TeskDisplayFeed&) = delete;

  // ==== Audio thread (the single writer): no allocation, no locks ====
  // The host's current sample rate (truncated), once per block: sets the decimation.
  void SetSampleRate(int sampleRate) noexcept;
  // One frame step's magnitude spectra (kSpectrumBins each), stored as their sum.
  void AddSpectra(const double* magL, const double* magR) noexcept;
  // One frame step's spectra that are all +0: the same as AddSpectra of zeros.
  void AddSilentSpectra() noexcept;
  // The output of n samples; every sample offers the value (l + r) * 0.5.
  void AddWaveform(const double* outL, const double* outR, int n) noexcept;

  // ==== Parameter change (any thread, lock-free) ====
  // Wipes the spectra and rewinds the waveform, as described at the top.
  void RequestClear() noexcept;

  // ==== Idle (any non-audio thread) ====
  // Items stored since the last call: each stands for one push of the display's
  // parameter ("FFTDisplay" per spectrum, "WaveformDisplay" per point).
  int TakeSpectrumPushes() noexcept { return mSpectrumPushes.exchange(0, std::memory_order_acq_rel); }
  int TakeWaveformPushes() noexcept { return mWaveformPushes.exchange(0, std::memory_order_acq_rel); }

  // ==== Inspection (tests; the audio thread's own value, between blocks) ====
  int Decimation() const noexcept { return mDecimation; }

  // ==== Reading (the editor thread; never writes) ====
  // Spectra stored so far; spectrum s (s < SpectraStored()) stays readable while
  // s + kSpectrumSlots > SpectraStored().
  std::uint64_t SpectraStored() const noexcept { return mSpectraStored.load(std::memory_order_acquire); }
  // The spectra numbered below this were wiped by the last clear performed.
  std::uint64_t SpectraWipedBefore() const noexcept { return mSpectraWipedBefore.load(std::memory_order_acquire); }
  // A clear is requested and the audio thread has not stored anything since.
  bool SpectrumClearPending() const noexcept { return Pending(mSpectrumClear); }
  // Copies spectrum s into sums (kSpectrumBins values); false when it is not (or no
  // longer) held whole, in which case sums holds nothing meaningful.
  bool CopySpectrum(std::uint64_t s, double* sums) const noexcept
  {
    if (s >= SpectraStored() || !Holds(s)) return false;
    const std::atomic<double>* row = mSpectra.get() + static_cast<std::size_t>(s % kSpectrumSlots) * kSpectrumBins;
    for (int k = 0; k < kSpectrumBins; ++k) sums[k] = row[k].load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    return Holds(s);
  }

  // Points stored so far (counts every point, across rewinds).
  std::uint64_t PointsStored() const noexcept { return mPointsStored.load(std::memory_order_acquire); }
  bool WaveformClearPending() const noexcept { return Pending(mWaveformClear); }
  // The ring as it stands: kWaveformPoints points and the slot the next point takes
  // (0 while a rewind is pending).
  int CopyWaveform(double* points) const noexcept
  {
    const int writePos = WaveformClearPending() ? 0 : mWritePos.load(std::memory_order_acquire);
    for (int i = 0; i < kWaveformPoints; ++i) points[i] = mPoints[i].load(std::memory_order_relaxed);
    return writePos;
  }

private:
  // Requests counted on the parameter-change thread, acknowledged by the audio thread.
  struct ClearRequests
  {
    std::atomic<unsigned> requested{0};
    std::atomic<unsigned> performed{0};
  };
  static bool Pending(const ClearRequests& c) noexcept
  {
    return c.performed.load(std::memory_order_acquire) != c.requested.load(std::memory_order_acquire);
  }
  // Audio thread: true once, for each new request; acknowledge with Performed.
  static bool TakeRequest(ClearRequests& c, unsigned* pRequest) noexcept;
  static void Performed(ClearRequests& c, unsigned request) noexcept
  {
    c.performed.store(request, std::memory_order_release);
  }
  // Spectrum s has not been overwritten, nor is it being overwritten: the writer
  // starts on spectrum s + kSpectrumSlots, in the same row, once it has counted
  // s + kSpectrumSlots spectra.
  bool Holds(std::uint64_t s) const noexcept { return SpectraStored() < s + kSpectrumSlots; }

  // Stores the spectrum that fill writes into its row and counts it. Audio thread.
  template <typename Fill>
  void StoreSpectrum(Fill&& fill) noexcept;

  // Spectra: kSpectrumSlots rows of kSpectrumBins sums; spectrum s in row s % slots.
  std::unique_ptr<std::atomic<double>[]> mSpectra;
  // Audio thread only: the rows that hold +0 in every bin, which a spectrum of zeros
  // need not store again (silence stores the same row over and over).
  std::array<bool, kSpectrumSlots> mRowIsZero;
  std::atomic<std::uint64_t> mSpectraStored{0};
  std::atomic<std::uint64_t> mSpectraWipedBefore{0};
  ClearRequests mSpectrumClear;
  std::atomic<int> mSpectrumPushes{0};

  // Waveform: the ring, its write position and the decimation (audio thread only).
  std::unique_ptr<std::atomic<double>[]> mPoints;
  std::atomic<int> mWritePos{0};
  std::atomic<std::uint64_t> mPointsStored{0};
  ClearRequests mWaveformClear;
  std::atomic<int> mWaveformPushes{0};
  int mDecimation = 0;
  int mDecimCounter = 0;
};
