#pragma once
// Tesk: the stereo spectral effect. One processor per plug-in instance: it declares
// the thirteen host parameters, owns every buffer of the spectral engine, builds the
// editor and turns parameter changes into the engine's working values and into
// updates of the editor's controls.
//
// The engine runs sample by sample (the steps of ProcessDoubleReplacing):
//   dry delay -> moving average of the sensitivity measure -> stage one (frames
//   convolved with their own mirrored magnitude spectrum, mixed with the dry signal)
//   -> delay of the moving average -> stage two (band reduction turned into a
//   zero-phase filter) -> waveform feed -> bypass.
// Each stage cuts its input into four 4096-sample frames, staggered by 2048 samples,
// and overlap-adds their 8192-point FFT convolutions. The output lags the input by
// kLatencySamples: 6144 in stage one's dry path plus 6144 in stage two.
//
// Threads: the render path (ProcessDoubleReplacing and every step it calls) runs on
// the audio thread and neither allocates nor locks. OnParamChange and Reset run under
// the plug-in mutex on whichever thread delivers the change; the working copies they
// write are relaxed atomics the audio thread reads. The displays' pushes of
// parameters 4 and 5 that the audio thread causes are delivered later, from OnIdle.

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "IPlugAU.h"
#include "TeskRandom.h"
#include "fft4g.h"

class FFTDisplay;
class WaveformDisplay;
class Fader;
class OnOff;
class Ctrlo;

// The bundle the plug-in ships in; images are looked up through it.
inline constexpr const char* kTeskBundleID = "com.orvanta.audiounit.Tesk";
inline constexpr const char* kTeskViewClass = "Tesk_View";
// Four-character code of both the subtype and the maker: 'T' 'e' 's' 'k'.
inline constexpr int kTeskFourCC = ('T' << 24) | ('e' << 16) | ('s' << 8) | 'k';
// Private Audio Unit property: a UInt32 seed for the sensitivity measure's draws, so a
// render can be reproduced. Global scope, readable and writable.
inline constexpr AudioUnitPropertyID kTeskSeedProperty = 64000;

class Tesk final : public IPlugAU
{
public:
  // ==== What a host sees ====
  enum EParams
  {
    kReductionAmount = 0,
    kSensitivity,
    kLow,
    kHigh,
    kWaveformDisplay,
    kFFTDisplay,
    kPre,
    kAuto,
    kResidual,
    kInv,
    kModeA,
    kModeB,
    kBypass,
    kNumParams
  };

  static constexpr int kFrameSize = 4096;  // samples gathered per frame
  static constexpr int kHopSize = 2048;    // spacing of the four frames; spectrum bins
  static constexpr int kConvSize = 8192;   // convolution transform length, one frame cycle
  static constexpr int kFramesPerStage = 4;
  static constexpr int kDelaySlots = 6144;  // dry delay and delay of the moving average
  static constexpr int kLatencySamples = 12288;
  static constexpr double kFixedReductionStep = 79.0;

  // ==== Set-up (host control thread) ====
  // Sets up the engine, declares the parameters, builds the editor and stores the
  // default preset "-". The random source is seeded from the clock.
  explicit Tesk(IPlugInstanceInfo info);
  ~Tesk() override;

  // Takes and releases the plug-in mutex; the engine's history is kept on purpose,
  // so a host reset never interrupts the running frames.
  void Reset() override;
  // Stores the working copy of parameter index and drives the editor's controls.
  // Any non-audio thread; takes the plug-in mutex. Indices outside 0..12 are ignored.
  void OnParamChange(int index) override;
  // Delivers the displays' deferred pushes. Editor timer or host control thread.
  void OnIdle() override;
  // When the audio thread stored spectra or waveform points since the last call,
  // pushes the display's parameter (5 or 4) once through SetParameterFromGUI, as a
  // push made on the user-interface thread would. Never on the audio thread.
  void DeliverDisplayNotifications();
  // Restarts the sensitivity measure's draws from this seed; takes effect at the next
  // rendered block. Any thread.
  void SetRandomSeed(std::uint32_t seed) noexcept;
  std::uint32_t GetRandomSeed() const noexcept { return mSeed.load(std::memory_order_relaxed); }

  // ==== Processing (audio thread: no allocation, no locks) ====
  // Runs the engine one sample at a time; two inputs and two outputs, which may alias.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override;
  // Stage one for one sample: writes the stage's output and reads the delayed dry
  // samples. Audio thread: no allocation, no locks.
  void Traitement1(double inL, double inR, double* outL, double* outR, double* dryL, double* dryR) noexcept;
  // Stage two for one sample. Audio thread: no allocation, no locks.
  void Traitement2(double inL, double inR, double* outL, double* outR) noexcept;
  // The sensitivity measure of stage one's frame. Audio thread: no allocation, no locks.
  void CalculSensitivity(int frame) noexcept;
  // Lowers the bins one and two above every selected bin. Audio thread: no allocation, no locks.
  void AppliqueReduction() noexcept;

  // ==== Inspection (tests, benchmarks, tools) ====
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
  int FrameCounter1(int frame) const noexcept { return mFrameCounters1[frame]; }
  int FrameCounter2(int frame) const noexcept { return mFrameCounters2[frame]; }
  const double* SensHisto() const noexcept { return mSensHisto.data(); }
  // Magnitudes of the last frame step (stage two's are after the reduction) and
  // stage two's magnitudes before it and its gains.
  const double* MagL() const noexcept { return mMagL.data(); }
  const double* MagR() const noexcept { return mMagR.data(); }
  const double* MagOrigL() const noexcept { return mMagOrigL.data(); }
  const double* GainL() const noexcept { return mGainL.data(); }
  const double* GainR() const noexcept { return mGainR.data(); }
  // Frame steps run so far by each stage (one per 2048 samples once all frames run).
  std::uint64_t FrameSteps1() const noexcept { return mFrameSteps1; }
  std::uint64_t FrameSteps2() const noexcept { return mFrameSteps2; }
  FFTDisplay* GetFFTDisplay() const noexcept { return mFFTDisplay; }
  WaveformDisplay* GetWaveformDisplay() const noexcept { return mWaveformDisplay; }
  Fader* GetFader(int paramIdx) const noexcept;
  OnOff* GetSwitch(int paramIdx) const noexcept;
  Ctrlo* GetLowHolder() const noexcept { return mLowHolder; }
  Ctrlo* GetHighHolder() const noexcept { return mHighHolder; }

protected:
  ComponentResult GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32* pDataSize, Boolean* pWriteable, void* pData) override;
  ComponentResult SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32 dataSize, const void* pData) override;

private:
  using Buffer = std::vector<double>;

  // ---- Set-up (Tesk.cpp, TeskEditor.cpp)
  void InitParameters();
  // Creates the editor, its bitmaps and controls, and keeps the ten control pointers.
  void BuildEditor();

  // ---- Pipeline (TeskPipeline.cpp). Audio thread: no allocation, no locks.
  void ApplyPendingSeed() noexcept;
  void DelayIn1(double inL, double inR) noexcept;
  void MovAvt() noexcept;
  void Delayt() noexcept;

  // ---- Stage steps (TeskStageOne.cpp, TeskStageTwo.cpp). Audio thread: no allocation, no locks.
  void FrameStep1(int frame) noexcept;
  void FrameStep2(int frame) noexcept;
  // Hann-windowed 4096-point spectrum of the frame's gathered samples into the work
  // buffers, then the magnitudes of bins 0..2047 into mMagL/mMagR.
  void MeasureFrame(const Buffer& frameL, const Buffer& frameR) noexcept;
  // Hann-windowed, zero-padded 8192-point spectra of the frame into the work buffers.
  void TransformFrame(const Buffer& frameL, const Buffer& frameR) noexcept;
  // Multiplies the first kFrameSize entries by the Hann window. The window is the FFT
  // package's own type 0, computed once at construction: the same products, without
  // the cosines on the audio thread. Audio thread: no allocation, no locks.
  void ApplyHannWindow(double* data) const noexcept;
  // Multiplies the work spectra by the kernels and returns to the time domain.
  void ConvolveWithKernels() noexcept;
  // Hands both magnitude vectors to the spectrum display and takes the band edges
  // from its handles at once, as the display's push would.
  void ShowSpectra() noexcept;

  // ==== Engine state ====
  const int mFrameSize1 = kFrameSize, mHopSize1 = kHopSize;
  const int mFrameSize2 = kFrameSize, mHopSize2 = kHopSize;
  const double mOutScale1 = 1.0 / 8192.0, mOutScale2 = 1.0 / 8192.0;
  std::array<int, kFramesPerStage> mFrameCounters1{}, mFrameCounters2{};
  std::array<Buffer, kFramesPerStage> mFrames1L, mFrames1R, mFrames2L, mFrames2R;
  Buffer mWorkL, mWorkR, mKernelL, mKernelR, mConvA, mConvB, mMagL, mMagR;
  Buffer mMagOrigL, mMagOrigR, mGainL, mGainR;
  Buffer mSensHisto;
  // The bins the last measure counted into, so clearing and comparing visit at most
  // one bin per sample instead of the whole 65536-bin table.
  std::vector<int> mSensTouched;
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
  std::vector<int> mFFTIp;
  Buffer mFFTW;
  FFTOoura mFFTPackage;
  Buffer mHannWindow;  // fenetrage type 0 over kFrameSize samples
  std::uint64_t mFrameSteps1 = 0, mFrameSteps2 = 0;

  // The sensitivity measure's random source; a requested seed waits in mPendingSeed
  // (bit 32 set) until the audio thread takes it at the start of a block.
  TeskRandom mRandom;
  std::atomic<std::uint32_t> mSeed{0};
  std::atomic<std::uint64_t> mPendingSeed{0};

  // ==== Parameter working copies (written under the mutex, read by the audio thread) ====
  std::atomic<double> mReductionAmount{0.0}, mSensitivity{0.0}, mBandLow{0.0}, mBandHigh{0.0};
  std::atomic<double> mWaveformDisplayValue{0.0}, mFFTDisplayValue{0.0}, mPreAmount{0.0}, mAutoMode{0.0};
  std::atomic<double> mResidual{0.0}, mInvertBand{0.0}, mModeA{0.0}, mModeB{0.0};
  std::atomic<bool> mBypass{false};

  // ==== Editor controls (owned by the editor; never deleted here) ====
  WaveformDisplay* mWaveformDisplay = nullptr;
  FFTDisplay* mFFTDisplay = nullptr;
  Ctrlo* mLowHolder = nullptr;
  Ctrlo* mHighHolder = nullptr;
  Fader* mFaderPre = nullptr;
  Fader* mFaderModeA = nullptr;
  Fader* mFaderModeB = nullptr;
  OnOff* mSwitchAuto = nullptr;
  OnOff* mSwitchInv = nullptr;
  OnOff* mSwitchBypass = nullptr;
};

// The editor's graphics object for the plug-in: the headless host where no window
// binding exists yet. Constructor thread.
class IGraphics;
IGraphics* MakeGraphics(IPlugBase* pPlug, int w, int h, int fps);

extern "C"
{
  // The component entries, exported under the plug-in's own unmangled names.
  __attribute__((visibility("default"))) ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug);
  __attribute__((visibility("default"))) ComponentResult Tesk_ViewEntry(ComponentParameters* params, void* pView);
}
