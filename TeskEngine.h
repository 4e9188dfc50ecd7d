#pragma once
// Tesk's spectral engine, apart from any plug-in binding: every engine buffer, the
// parameter working copies, the random source of the sensitivity measure and the
// per-sample path. It includes only its own headers, the FFT package and the
// standard library, so it builds (and can be reused) without a plug-in framework.
//
// The per-sample path (Process), in this order:
//   1. DelayIn1      the dry delay line (6144 samples)
//   2. MovAvt        the moving average M of the sensitivity measure S
//   3. Traitement1   stage one: frames convolved with their own mirrored magnitude
//                    spectrum, mixed with the delayed dry signal; S per frame
//                    (CalculSensitivity)
//   4. Delayt        the delay of M (6144 samples)
//   5. Traitement2   stage two: the band reduction (AppliqueReduction) turned into
//                    a zero-phase filter
//   6. the waveform feed, 7. the bypass.
// The spectra and the waveform go to a display feed (TeskDisplayFeed) that the
// processor owns; the engine calls no editor and reads nothing of one.
// Each stage cuts its input into four 4096-sample frames, staggered by 2048 samples,
// and overlap-adds their 8192-point FFT convolutions (OverlapAddFrames). Process runs
// these steps over spans of samples between the frames' changes of state, as loops
// over arrays; every sample gets the same operations in the same order as when the
// steps run one sample at a time (Traitement1, Traitement2).
//
// A frame step does less transform work than the plain algorithm, with the same
// results up to double-precision rounding (TeskSpectral.cpp): the 8192-point
// spectrum of a zero-padded frame takes its even bins from the frame's 4096-point
// spectrum, which the step measures anyway, and its odd bins from a half-length
// complex transform; stage one's kernel, symmetric by construction, is one cosine
// transform; stage two's kernel has its even bins in closed form.
//
// Threads:
// - Construction and SetDisplayFeed: the thread that builds the processor, before
//   any other call.
// - Process and everything it calls: the audio thread. No allocation, no locks, no
//   I/O; it reads the working copies with relaxed loads and never waits.
// - The parameter setters: the parameter-change thread (Tesk::ApplyParamChange: a
//   host's control thread or the editor thread under the plug-in mutex, or a
//   binding's audio thread between renders); each is one relaxed store the audio
//   thread picks up at its next read.
// - SetRandomSeed, GetRandomSeed: any thread; a new seed takes effect at the start
//   of the next processed block.
// - The inspection accessors read the audio thread's state without synchronisation:
//   for tests and tools, between blocks, on the thread that renders.

#include <array>
#include <atomic>
#include <cstdint>

#include "AlignedBuffer.h"
#include "OverlapAddFrames.h"
#include "TeskBandGrid.h"
#include "TeskRandom.h"
#include "fft4g.h"

class TeskDisplayFeed;

class TeskEngine final
{
public:
  // ==== Sizes and scales ====
  static constexpr int kFrameSize = 4096;           // samples gathered per frame
  static constexpr int kHopSize = kFrameSize / 2;   // frame spacing; spectrum bins; moving-average length
  static constexpr int kConvSize = 2 * kFrameSize;  // convolution transform length, one frame cycle
  static constexpr int kFramesPerStage = kConvSize / kHopSize;
  static constexpr int kDelaySlots = 6144;  // dry delay and delay of the moving average
  // Output scale of both stages, 2^-13: with the unnormalised 8192-point inverse
  // (which returns 4096 times the convolution) it leaves 1/2 of the convolution.
  static constexpr double kOutScale = 1.0 / 8192.0;
  // Stage one's further 2^-7: its kernel is a magnitude spectrum in the units of the
  // 4096-point transform, so 2^-20 in all brings the wet level near the dry one.
  static constexpr double kStageOneKernelScale = 1.0 / 128.0;
  // Stage two's further 1/2: it leaves a quarter of the filtered frame, which
  // cancels stage one's fourfold dry sum (one dry share per active frame).
  static constexpr double kStageTwoHalf = 0.5;
  // Magnitudes lowered per unit of "Mode A"/"Mode B" when "Auto" is off; with
  // "Auto" on the step follows the delayed average D as D * 79 * 2.
  static constexpr double kFixedReductionStep = 79.0;
  // The most samples Process runs as one span (the size of its per-span arrays).
  static constexpr int kMaxSpan = 256;

  using Frames = OverlapAddFrames<kFrameSize, kFramesPerStage>;
  static_assert(Frames::kCycle == kConvSize && Frames::kHop == kHopSize);

  // ==== Set-up (constructor thread) ====
  // Every buffer at its final size; the random source seeded from the clock.
  TeskEngine();
  TeskEngine(const TeskEngine&) = delete;
  TeskEngine& operator=(const TeskEngine&) = delete;

  // Back to the state of a new engine: no history in any frame, delay or average,
  // and the noise restarted from the engine's seed (so a seeded engine renders the
  // same after every clear). Settings, the band marks, the display feed and the
  // transforms' tables stay. Called with processing stopped (a host's activation).
  void ClearHistory() noexcept;

  // The feed the engine writes the spectra and waveform points into; null for none.
  void SetDisplayFeed(TeskDisplayFeed* pFeed) noexcept { mFeed = pFeed; }

  // ==== Parameter working copies (parameter-change thread) ====
  void SetSensitivity(double v) noexcept { mSensitivity.store(v, std::memory_order_relaxed); }
  // "Low" and "High": the edge as set, until the band is next taken from the marks,
  // and the band mark placed on the grid for then.
  void SetBandLow(double v) noexcept
  {
    mBandLow.store(v, std::memory_order_relaxed);
    mBandMarks.PlaceLow(v);
  }
  void SetBandHigh(double v) noexcept
  {
    mBandHigh.store(v, std::memory_order_relaxed);
    mBandMarks.PlaceHigh(v);
  }
  void SetPreAmount(double v) noexcept { mPreAmount.store(v, std::memory_order_relaxed); }
  void SetAutoMode(double v) noexcept { mAutoMode.store(v, std::memory_order_relaxed); }
  void SetInvertBand(double v) noexcept { mInvertBand.store(v, std::memory_order_relaxed); }
  void SetModeA(double v) noexcept { mModeA.store(v, std::memory_order_relaxed); }
  void SetModeB(double v) noexcept { mModeB.store(v, std::memory_order_relaxed); }
  void SetBypass(bool on) noexcept { mBypass.store(on, std::memory_order_relaxed); }

  // ==== The band marks (TeskBandGrid.h) ====
  // Where the user set the band on the grid: SetBandLow and SetBandHigh place them, a
  // drag of the display's handles moves them. Any thread.
  TeskBandMarks& BandMarks() noexcept { return mBandMarks; }
  const TeskBandMarks& BandMarks() const noexcept { return mBandMarks; }
  // The band edges become the marks' ("FFTDisplay" changed). The parameter-change
  // thread; the audio thread does the same at every shown frame step.
  void TakeBandFromMarks() noexcept;

  // Restarts the sensitivity measure's draws from this seed at the next block. Any thread.
  void SetRandomSeed(std::uint32_t seed) noexcept;
  std::uint32_t GetRandomSeed() const noexcept { return mSeed.load(std::memory_order_relaxed); }

  // ==== Processing (audio thread: no allocation, no locks) ====
  // Runs the engine one sample at a time on two inputs and two outputs, which may
  // alias. sampleRate is the host's current rate, for the waveform's decimation.
  void Process(double** inputs, double** outputs, int nFrames, double sampleRate) noexcept;
  // Stage one for one sample: writes the stage's output and reads the delayed dry
  // samples. Audio thread: no allocation, no locks.
  void Traitement1(double inL, double inR, double* outL, double* outR, const double* dryL, const double* dryR) noexcept;
  // Stage two for one sample. Audio thread: no allocation, no locks.
  void Traitement2(double inL, double inR, double* outL, double* outR) noexcept;
  // The sensitivity measure of stage one's frame. Audio thread: no allocation, no locks.
  void CalculSensitivity(int frame) noexcept;
  // Lowers the bins one and two above every selected bin. Audio thread: no allocation, no locks.
  void AppliqueReduction() noexcept;

  // ==== Inspection (tests, benchmarks, tools; the rendering thread, between blocks) ====
  double DryL() const noexcept { return mDryL; }
  double DryR() const noexcept { return mDryR; }
  double SensMeasure() const noexcept { return mSensMeasure; }
  double SensAvg() const noexcept { return mSensAvg; }
  double SensAvgDelayed() const noexcept { return mSensAvgDelayed; }
  double FramePeak() const noexcept { return mFramePeak; }
  double ReductionStep() const noexcept { return mReductionStep; }
  double BandLow() const noexcept { return mBandLow.load(std::memory_order_relaxed); }
  double BandHigh() const noexcept { return mBandHigh.load(std::memory_order_relaxed); }
  bool Bypassed() const noexcept { return mBypass.load(std::memory_order_relaxed); }
  int FrameCounter1(int frame) const noexcept { return mStage1.Counter(frame); }
  int FrameCounter2(int frame) const noexcept { return mStage2.Counter(frame); }
  // The last measure's histogram: the count of each of the kHistoRefBins bins.
  const std::uint16_t* SensHisto() const noexcept { return mSensHisto.data(); }
  // Magnitudes of the last frame step (stage two's are after the reduction), and
  // stage two's magnitudes before it and its gains.
  const double* MagL() const noexcept { return mMagL.data(); }
  const double* MagR() const noexcept { return mMagR.data(); }
  const double* MagOrigL() const noexcept { return mMagOrigL.data(); }
  const double* GainL() const noexcept { return mGainL.data(); }
  const double* GainR() const noexcept { return mGainR.data(); }
  // Frame steps run so far by each stage (one per 2048 samples once all frames run).
  std::uint64_t FrameSteps1() const noexcept { return mFrameSteps1; }
  std::uint64_t FrameSteps2() const noexcept { return mFrameSteps2; }

private:
  using Buffer = AlignedBuffer<double>;

  // ---- Pipeline (TeskPipeline.cpp). Audio thread: no allocation, no locks.
  void ApplyPendingSeed() noexcept;
  // The whole pipeline over n samples (n <= kMaxSpan, no frame changes state before
  // the last one). The outputs may alias the inputs.
  void ProcessSpan(const double* inL, const double* inR, double* outL, double* outR, int n) noexcept;
  // Steps 1, 2 and 4 over a span: the dry samples into dryL/dryR, M per sample into
  // avg, and D of the span's last sample.
  void DelayIn1(const double* inL, const double* inR, double* dryL, double* dryR, int n) noexcept;
  void MovAvt(double* avg, int n) noexcept;
  void Delayt(const double* avg, int n) noexcept;
  // The stages over a span: stage one mixes dry samples and frames with the wet share
  // the averages give, stage two sums its frames. Outputs must not alias inputs.
  void StageOneSpan(const double* inL, const double* inR, double* outL, double* outR, const double* dryL,
                    const double* dryR, const double* avg, int n) noexcept;
  void StageTwoSpan(const double* inL, const double* inR, double* outL, double* outR, int n) noexcept;

  // ---- Stage steps (TeskStageOne.cpp, TeskStageTwo.cpp). Audio thread: no allocation, no locks.
  void FrameStep1(int frame) noexcept;
  void FrameStep2(int frame) noexcept;
  // Stage one's kernels: the magnitudes mirrored about the middle and zero-padded, as
  // spectra of the convolution length.
  void BuildMirrorKernels() noexcept;
  // Stage two's gain curve as a centred zero-phase impulse response in the kernels,
  // zero-padded and transformed to the convolution length.
  void BuildGainKernels() noexcept;

  // ---- Transform work both stages share (TeskSpectral.cpp). Audio thread: no allocation, no locks.
  // Hann-windowed 4096-point spectra of the frame's gathered samples into mSpectrumL/R,
  // then the magnitudes of bins 0..2047 into mMagL/mMagR.
  void MeasureFrame(const double* frameL, const double* frameR) noexcept;
  // Hann-windowed, zero-padded 8192-point spectra of the frame into the work
  // buffers, from the spectra MeasureFrame left and the odd bins.
  void TransformFrame(const double* frameL, const double* frameR) noexcept;
  // Multiplies the work spectra by the kernels and returns to the time domain.
  void ConvolveWithKernels() noexcept;
  // The frame's result: frame[k] = work[k] * first * second for the whole cycle, in
  // that order of multiplication, both channels.
  void StoreResult(double* frameL, double* frameR, double first, double second) noexcept;
  // Hands both magnitude vectors to the feed and takes the band edges from the marks
  // at once, as the push of "FFTDisplay" the spectra owe would.
  void ShowSpectra() noexcept;
  void Rdft(int n, int direction, double* data) noexcept;
  // The odd bins 1, 3, .., 4095 of the 8192-point spectrum of x[0..4095] (zero beyond)
  // packed into spectrum (the rdft layout of length 8192); its even bins untouched.
  // x is multiplied by window first when window is not null. scratch holds 4096 doubles.
  void OddBins(const double* x, const double* window, double* spectrum, double* scratch) noexcept;

  // ==== Engine state ====
  Frames mStage1, mStage2;
  // Work: the 8192-point spectra and results; kernels: the spectra they are multiplied
  // by; spectra: the frames' 4096-point spectra; scratch: odd-bin transforms.
  Buffer mWorkL, mWorkR, mKernelL, mKernelR, mSpectrumL, mSpectrumR, mScratch;
  Buffer mMagL, mMagR, mMagOrigL, mMagOrigR, mGainL, mGainR;
  AlignedBuffer<std::uint16_t> mSensHisto, mSensBins;  // counts per bin; each sample's bin
  // The bins the last measure counted into, so clearing and comparing visit at most
  // one bin per sample instead of the whole 65536-bin table.
  AlignedBuffer<int> mSensTouched;
  int mSensTouchedCount = 0;
  double mFramePeak = 0.0, mSensMeasure = 0.0;
  Buffer mSensAvgWindow;
  int mSensAvgPos = 0;
  double mSensAvgSum = 0.0, mSensAvg = 0.0;
  Buffer mSensAvgDelay;
  int mSensAvgDelayPos = 0;
  double mSensAvgDelayed = 0.0;
  Buffer mDryDelayL, mDryDelayR;
  int mDryDelayPos = 0;
  double mDryL = 0.0, mDryR = 0.0;
  double mReductionStep = 0.0;
  AlignedBuffer<int> mFFTIp, mDctIp;
  Buffer mFFTW, mDctW;
  FFTOoura mFFTPackage;
  Buffer mHannWindow;   // fenetrage type 0 over kFrameSize samples
  Buffer mOddTwiddle;   // e^(i pi m / 4096), m = 0..2047, as (cos, sin) pairs
  Buffer mMirrorPhase;  // 2 e^(i pi f 4095 / 8192), f = 0..4095, as (cos, sin) pairs
  std::uint64_t mFrameSteps1 = 0, mFrameSteps2 = 0;

  // Per-span arrays of Process: inputs, dry samples, the average M, stage one's and
  // stage two's outputs.
  struct SpanArrays
  {
    alignas(64) double inL[kMaxSpan], inR[kMaxSpan], dryL[kMaxSpan], dryR[kMaxSpan], avg[kMaxSpan];
    alignas(64) double oneL[kMaxSpan], oneR[kMaxSpan], outL[kMaxSpan], outR[kMaxSpan];
  };
  AlignedBuffer<SpanArrays> mSpan;

  // The sensitivity measure's random source; a requested seed waits in mPendingSeed
  // (bit 32 set) until the audio thread takes it at the start of a block.
  TeskRandom mRandom;
  std::atomic<std::uint32_t> mSeed{0};
  std::atomic<std::uint64_t> mPendingSeed{0};

  // ==== Parameter working copies (written on the parameter-change thread, read by
  // the audio thread). "Reduction Amount", "WaveformDisplay", "FFTDisplay" and
  // "Residual" have none: no processing step reads them, and their values live in
  // the host-visible parameters themselves. ====
  // A new engine runs as the parameters' defaults say: the full band, everything else 0.
  std::atomic<double> mSensitivity{0.0}, mBandLow{0.0}, mBandHigh{1.0}, mPreAmount{0.0}, mAutoMode{0.0};
  std::atomic<double> mInvertBand{0.0}, mModeA{0.0}, mModeB{0.0};
  std::atomic<bool> mBypass{false};
  TeskBandMarks mBandMarks;

  // Where the spectra and waveform points go; null for nowhere. Set before processing.
  TeskDisplayFeed* mFeed = nullptr;
};
