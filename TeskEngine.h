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
// One channel or two: a mono processor runs the left channel alone, and its output is
// the left output two channels would give with a silent right input, byte for byte.
// The right channel only ever reaches the left one through the sensitivity measure
// (which sums the channels and takes the peak of both), and there a silent channel
// adds exactly nothing.
//
// Work that gives exactly zero is skipped, with the same output bytes:
// - a frame that gathered only zeros (+0 or -0) has zeros for spectrum, kernel and
//   result, so its frame step stores zeros without a transform; a span in which
//   every frame emits zeros and the dry signal is silent mixes nothing;
// - the measure of a frame without a non-zero sample puts every sample in bin 0, and
//   "Sensitivity" 0 makes S exactly 1 whatever the histogram: both skip the draws'
//   arithmetic and pass over the draws in closed form (TeskRandom::Discard), so the
//   sequence of every later measure stays the same;
// - a moving average whose window holds one value and whose sum no longer changes
//   stays where it is.
//
// The measure's noise depends on the random source alone, not on the frame: it is
// prepared in the blocks before the frame step that needs it (PrepareNoise), so a
// frame step spends only the sample-dependent part of the measure.
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
  static constexpr int kMaxChannels = 2;
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
  static_assert(Frames::kMaxChannels == kMaxChannels);

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
  // Runs the engine one sample at a time on `channels` inputs and outputs (1 or 2),
  // which may alias. With one channel only inputs[0] and outputs[0] are used, and the
  // output is the left output of two channels whose right input is silent. A change of
  // the channel count drops the right channel's history (it restarts from silence).
  // sampleRate is the host's current rate, for the waveform's decimation.
  void Process(double** inputs, double** outputs, int nFrames, double sampleRate, int channels = 2) noexcept;
  // Stage one for one sample of two channels: writes the stage's output and reads the
  // delayed dry samples. Audio thread: no allocation, no locks.
  void Traitement1(double inL, double inR, double* outL, double* outR, const double* dryL, const double* dryR) noexcept;
  // Stage two for one sample of two channels. Audio thread: no allocation, no locks.
  void Traitement2(double inL, double inR, double* outL, double* outR) noexcept;
  // Lowers the bins one and two above every selected bin. Audio thread: no allocation, no locks.
  void AppliqueReduction() noexcept;
  // Whether the reduction leaves magnitudes of +0 as they are: its steps are 0 or more.
  bool ReductionKeepsZeros() const noexcept;

  // ==== Inspection (tests, benchmarks, tools; the rendering thread, between blocks) ====
  double DryL() const noexcept { return mDry[0]; }
  double DryR() const noexcept { return mDry[1]; }
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
  // The histogram the measure last counted: the count of each of the kHistoRefBins
  // bins. With "Sensitivity" at 0 the measure counts nothing (S is 1 whatever it holds).
  const std::uint16_t* SensHisto() const noexcept { return mSensHisto.data(); }
  // Magnitudes of the last frame step (stage two's are after the reduction), and
  // stage two's magnitudes before it and its gains.
  const double* MagL() const noexcept { return mMag[0].data(); }
  const double* MagR() const noexcept { return mMag[1].data(); }
  const double* MagOrigL() const noexcept { return mMagOrig[0].data(); }
  const double* GainL() const noexcept { return mGain[0].data(); }
  const double* GainR() const noexcept { return mGain[1].data(); }
  // Frame steps run so far by each stage (one per 2048 samples once all frames run),
  // and how many of them skipped their transforms on a silent frame.
  std::uint64_t FrameSteps1() const noexcept { return mFrameSteps1; }
  std::uint64_t FrameSteps2() const noexcept { return mFrameSteps2; }
  std::uint64_t SilentFrameSteps() const noexcept { return mSilentFrameSteps; }
  // Samples of the next measure's noise prepared so far (0 .. kFrameSize).
  int NoisePrepared() const noexcept { return mNoiseReady; }

private:
  using Buffer = AlignedBuffer<double>;

  // ---- Pipeline (TeskPipeline.cpp). Audio thread: no allocation, no locks.
  void ApplyPendingSeed() noexcept;
  // Starts running `channels` channels; from two to one the right channel's history goes.
  void UseChannels(int channels) noexcept;
  // The whole pipeline over n samples (n <= kMaxSpan, no frame changes state before
  // the last one). The outputs may alias the inputs.
  void ProcessSpan(const double* const* in, double* const* out, int n) noexcept;
  // Steps 1, 2 and 4 over a span: the dry samples into dry[ch], M per sample into
  // avg, and D of the span's last sample.
  void DelayIn1(const double* const* in, double* const* dry, int n) noexcept;
  void MovAvt(double* avg, int n) noexcept;
  void Delayt(const double* avg, int n) noexcept;
  // The stages over a span of `channels` channels: stage one mixes dry samples and
  // frames with the wet share the averages give, stage two sums its frames. Outputs
  // must not alias inputs.
  void StageOneSpan(const double* const* in, double* const* out, const double* const* dry, const double* avg,
                    int channels, int n) noexcept;
  void StageTwoSpan(const double* const* in, double* const* out, int channels, int n) noexcept;

  // ---- Stage steps (TeskStageOne.cpp, TeskStageTwo.cpp). Audio thread: no allocation, no locks.
  // Each returns whether it left a result of zeros; silent: the frame gathered only zeros.
  bool FrameStep1(int frame, bool silent) noexcept;
  bool FrameStep2(int frame, bool silent) noexcept;
  // Stage one's kernel of one channel: the magnitudes mirrored about the middle and
  // zero-padded, as a spectrum of the convolution length.
  void BuildMirrorKernel(int ch) noexcept;
  // Stage two's gain curve of one channel as a centred zero-phase impulse response in
  // the kernel, zero-padded and transformed to the convolution length.
  void BuildGainKernel(int ch) noexcept;
  // The result a silent frame leaves: zeros. Its gathered half holds zeros already.
  void StoreSilentResult(Frames& stage, int frame) noexcept;

  // ---- The sensitivity measure (TeskSensitivity.cpp). Audio thread: no allocation, no locks.
  // The measure of stage one's frame; silent: the frame holds no non-zero sample.
  void CalculSensitivity(int frame, bool silent) noexcept;
  // Prepares the next `count` samples of the next measure's noise (from where the
  // random source stands after the measures so far).
  void PrepareNoise(int count) noexcept;
  // Spreads the noise of the next measure over the samples before its frame step:
  // called before a span of n samples.
  void SpreadNoise(int n) noexcept;
  // The measure's result for a histogram with `occupied` bins and a summed
  // difference diff from the reference.
  void StoreMeasure(double sensitivity, int occupied, double diff) noexcept;

  // ---- Transform work both stages share (TeskSpectral.cpp). Audio thread: no allocation, no locks.
  // The Hann-windowed 4096-point spectrum of the frame's gathered samples into
  // mSpectrum[ch], then the magnitudes of bins 0..2047 into mMag[ch].
  void MeasureFrame(int ch, const double* frame) noexcept;
  // Hann-windowed, zero-padded 8192-point spectrum of the frame into mWork[ch], from
  // the spectrum MeasureFrame left and the odd bins.
  void TransformFrame(int ch, const double* frame) noexcept;
  // Multiplies the work spectrum by the kernel and returns to the time domain.
  void ConvolveWithKernel(int ch) noexcept;
  // The frame's result: frame[k] = work[k] * first * second for the whole cycle, in
  // that order of multiplication.
  void StoreResult(int ch, double* frame, double first, double second) noexcept;
  // Hands both magnitude vectors to the feed (a silent right channel in mono) and
  // takes the band edges from the marks at once, as the push of "FFTDisplay" the
  // spectra owe would.
  void ShowSpectra() noexcept;
  // A frame of zeros: sets every channel's magnitudes to +0 (nothing to do while they
  // still are), and ShowSpectra for those zeros.
  void ZeroMagnitudes() noexcept;
  void ShowSilentSpectra() noexcept;
  void Rdft(int n, int direction, double* data) noexcept;
  // The odd bins 1, 3, .., 4095 of the 8192-point spectrum of x[0..4095] (zero beyond)
  // packed into spectrum (the rdft layout of length 8192); its even bins untouched.
  // x is multiplied by window first when window is not null. scratch holds 4096 doubles.
  void OddBins(const double* x, const double* window, double* spectrum, double* scratch) noexcept;

  // ==== Engine state ====
  Frames mStage1, mStage2;
  int mChannels = 2;
  // Per channel. Work: the 8192-point spectra and results; kernels: the spectra they
  // are multiplied by; spectra: the frames' 4096-point spectra.
  std::array<Buffer, kMaxChannels> mWork, mKernel, mSpectrum, mMag, mMagOrig, mGain;
  Buffer mScratch;                                     // odd-bin transforms
  AlignedBuffer<std::uint16_t> mSensHisto, mSensBins;  // counts per bin; each sample's bin
  // The bins the last measure counted into, so clearing and comparing visit at most
  // one bin per sample instead of the whole 65536-bin table.
  AlignedBuffer<int> mSensTouched;
  int mSensTouchedCount = 0;
  double mFramePeak = 0.0, mSensMeasure = 0.0;
  // The next measure's noise, sample by sample: lower and upper bounds of the noise
  // the stated arithmetic gives, for the first mNoiseReady samples. They were drawn
  // from mNoiseStart, which must equal mRandom for them to count; mNoiseNext stands
  // after the draws made so far.
  Buffer mNoiseLo, mNoiseHi;
  int mNoiseReady = 0;
  Buffer mSensAvgWindow;
  int mSensAvgPos = 0;
  double mSensAvgSum = 0.0, mSensAvg = 0.0;
  // How many of the latest window entries hold mSensMeasure's very bits.
  std::int64_t mSensAvgSameRun = kHopSize;
  Buffer mSensAvgDelay;
  int mSensAvgDelayPos = 0;
  double mSensAvgDelayed = 0.0;
  std::array<Buffer, kMaxChannels> mDryDelay;
  int mDryDelayPos = 0;
  double mDry[kMaxChannels] = {0.0, 0.0};
  double mReductionStep = 0.0;
  // Audio thread: every channel's magnitudes 0..kHopSize-1 are +0 (a silent frame's),
  // and so are the unreduced magnitudes and the gains (after a silent stage-two step).
  // Cleared by whatever writes other values there.
  bool mMagIsZero = false, mGainIsZero = false;
  AlignedBuffer<int> mFFTIp, mDctIp;
  Buffer mFFTW, mDctW;
  FFTOoura mFFTPackage;
  Buffer mHannWindow;   // fenetrage type 0 over kFrameSize samples
  Buffer mOddTwiddle;   // e^(i pi m / 4096), m = 0..2047, as (cos, sin) pairs
  Buffer mMirrorPhase;  // 2 e^(i pi f 4095 / 8192), f = 0..4095, as (cos, sin) pairs
  std::uint64_t mFrameSteps1 = 0, mFrameSteps2 = 0, mSilentFrameSteps = 0;

  // Per-span arrays of Process: inputs, dry samples, the average M, stage one's and
  // stage two's outputs, per channel, and a span of zeros (a mono engine's silent
  // right channel where both channels are shown).
  struct SpanArrays
  {
    alignas(64) double in[kMaxChannels][kMaxSpan], dry[kMaxChannels][kMaxSpan], avg[kMaxSpan];
    alignas(64) double one[kMaxChannels][kMaxSpan], out[kMaxChannels][kMaxSpan], zeros[kMaxSpan];
  };
  AlignedBuffer<SpanArrays> mSpan;

  // The sensitivity measure's random source; a requested seed waits in mPendingSeed
  // (bit 32 set) until the audio thread takes it at the start of a block.
  TeskRandom mRandom, mNoiseStart, mNoiseNext;
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
