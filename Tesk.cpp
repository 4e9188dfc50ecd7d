// Tesk's set-up: construction, parameters, parameter changes, the deferred display
// notifications, the seed property, the factory and the exported entries.

#include "Tesk.h"

#include <chrono>
#include <cstring>
#include <new>

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "OnOff.h"
#include "TeskSensitivity.h"
#include "WaveformDisplay.h"

namespace
{
constexpr int kFFTIpSize = 2160;
constexpr int kFFTWSize = 32768;
constexpr int kWideBufferSize = 65536;  // kernels, stage two's magnitudes and gains, dry delay
constexpr int kConvBufferSize = 32768;  // operand copies and the moving average's delay
constexpr std::uint64_t kSeedPending = std::uint64_t{1} << 32;

std::uint32_t ClockSeed() noexcept
{
  const auto ticks = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

bool IsOn(double v) noexcept { return v > 0.5; }
}  // namespace

Tesk::Tesk(IPlugInstanceInfo info)
  : IPlugAU(info, kNumParams, "1-1 2-2", 1, "Tesk", "", "Orvanta", 0x00010000, kTeskFourCC, kTeskFourCC,
            kLatencySamples, false, false, false, 0)
{
  // Every buffer is made here at its final size: the render path never allocates.
  SetRandomSeed(ClockSeed());
  ApplyPendingSeed();
  mFFTIp.assign(kFFTIpSize, 0);
  mFFTIp[0] = 0;  // the transform tables are built by the first transform
  mFFTW.assign(kFFTWSize, 0.0);
  for (int i = 0; i < kFramesPerStage; ++i)
  {
    for (Buffer* pFrame : {&mFrames1L[i], &mFrames1R[i], &mFrames2L[i], &mFrames2R[i]}) pFrame->assign(kConvSize, 0.0);
    mFrameCounters1[i] = -i * mHopSize1;
    mFrameCounters2[i] = -i * mHopSize2;
  }
  for (Buffer* pBuf : {&mWorkL, &mWorkR}) pBuf->assign(kConvSize, 0.0);
  for (Buffer* pBuf : {&mKernelL, &mKernelR, &mMagOrigL, &mMagOrigR, &mGainL, &mGainR, &mDryDelayL, &mDryDelayR})
    pBuf->assign(kWideBufferSize, 0.0);
  for (Buffer* pBuf : {&mConvA, &mConvB, &mSensAvgDelay}) pBuf->assign(kConvBufferSize, 0.0);
  mMagL.assign(kFrameSize, 0.0);
  mMagR.assign(kFrameSize, 0.0);
  mSensHisto.assign(kHistoRefBins, 0.0);
  mSensTouched.assign(kFrameSize, 0);
  mSensAvgWindow.assign(mHopSize2, 0.0);
  mHannWindow.assign(kFrameSize, 1.0);
  mFFTPackage.fenetrage(mHannWindow.data(), kFrameSize, 0);

  InitParameters();
  BuildEditor();
  MakeDefaultPreset("-", 1);
}

Tesk::~Tesk() = default;

void Tesk::InitParameters()
{
  struct Row
  {
    int index;
    const char* name;
    double defaultValue;
    double step;
  };
  // The declaration order is fixed; it has no visible effect.
  static constexpr Row kRows[] = {
    {kReductionAmount, "Reduction Amount", 0.0, 0.0001},
    {kSensitivity, "Sensitivity", 0.0, 0.0001},
    {kLow, "Low", 0.0, 0.0001},
    {kHigh, "High", 1.0, 0.0001},
    {kAuto, "Auto", 0.0, 1.0},
    {kResidual, "Residual", 0.0, 1.0},
    {kPre, "Pre", 0.0, 0.0001},
    {kInv, "Inv", 0.0, 1.0},
    {kModeA, "Mode A", 0.0, 0.0001},
    {kModeB, "Mode B", 0.0, 0.0001},
    {kBypass, "Bypass", 0.0, 1.0},
    {kFFTDisplay, "FFTDisplay", 0.0, 0.0001},
    {kWaveformDisplay, "WaveformDisplay", 0.0, 0.001},
  };
  for (const Row& row : kRows) GetParam(row.index)->InitDouble(row.name, row.defaultValue, 0.0, 1.0, row.step, "", "");
}

void Tesk::Reset() { WDL_MutexLock lock(&mMutex); }

void Tesk::OnParamChange(int index)
{
  WDL_MutexLock lock(&mMutex);
  if (index < 0 || index >= kNumParams) return;
  const double v = GetParam(index)->Value();
  constexpr auto relaxed = std::memory_order_relaxed;

  switch (index)
  {
    case kReductionAmount: mReductionAmount.store(v, relaxed); break;
    case kSensitivity: mSensitivity.store(v, relaxed); break;
    case kLow:
      mBandLow.store(v, relaxed);
      if (mFFTDisplay) mFFTDisplay->setxm1(v);
      break;
    case kHigh:
      mBandHigh.store(v, relaxed);
      if (mFFTDisplay) mFFTDisplay->setxm2(v);
      break;
    case kWaveformDisplay: mWaveformDisplayValue.store(v, relaxed); break;
    case kFFTDisplay:
      // The spectrum display's handles are where the user sets the band: take the
      // edges from them, not from parameters 2 and 3.
      mFFTDisplayValue.store(v, relaxed);
      if (!mFFTDisplay) break;
      if (mLowHolder) mLowHolder->SetValue(mFFTDisplay->GetLow());
      if (mHighHolder) mHighHolder->SetValue(mFFTDisplay->GetHigh());
      mBandLow.store(mFFTDisplay->GetLow(), relaxed);
      mBandHigh.store(mFFTDisplay->GetHigh(), relaxed);
      break;
    case kPre:
      mPreAmount.store(v, relaxed);
      if (mFaderPre) mFaderPre->updatev();
      break;
    case kAuto:
      mAutoMode.store(v, relaxed);
      if (mSwitchAuto) mSwitchAuto->mOn = IsOn(v);
      break;
    case kResidual: mResidual.store(v, relaxed); break;
    case kInv:
      mInvertBand.store(v, relaxed);
      if (mFFTDisplay) mFFTDisplay->mInv = IsOn(v);
      if (mSwitchInv) mSwitchInv->mOn = IsOn(v);
      break;
    case kModeA:
      mModeA.store(v, relaxed);
      if (mFaderModeA) mFaderModeA->updatev();
      break;
    case kModeB:
      mModeB.store(v, relaxed);
      if (mFaderModeB) mFaderModeB->updatev();
      break;
    case kBypass:
      mBypass.store(IsOn(v), relaxed);
      if (mSwitchBypass) mSwitchBypass->mOn = IsOn(v);
      if (IsOn(v))
      {
        if (mWaveformDisplay) mWaveformDisplay->clear();
        if (mFFTDisplay) mFFTDisplay->clear();
      }
      break;
    default: break;
  }
}

void Tesk::OnIdle() { DeliverDisplayNotifications(); }

void Tesk::DeliverDisplayNotifications()
{
  WDL_MutexLock lock(&mMutex);
  // A backlog is paid with one push per display: every owed push carries the same,
  // unchanged value, so repeats tell the host nothing more, while a long render
  // without idle slots would otherwise release thousands at once under the mutex.
  // Spectra first: a spectrum push is what re-reads the band edges, and the audio
  // thread stored those before the points that followed them.
  if (mFFTDisplay && mFFTDisplay->TakePendingPushes() > 0)
    SetParameterFromGUI(kFFTDisplay, GetParam(kFFTDisplay)->GetNormalized());
  if (mWaveformDisplay && mWaveformDisplay->TakePendingPushes() > 0)
    SetParameterFromGUI(kWaveformDisplay, GetParam(kWaveformDisplay)->GetNormalized());
}

void Tesk::SetRandomSeed(std::uint32_t seed) noexcept
{
  mSeed.store(seed, std::memory_order_relaxed);
  mPendingSeed.store(kSeedPending | seed, std::memory_order_release);
}

Fader* Tesk::GetFader(int paramIdx) const noexcept
{
  switch (paramIdx)
  {
    case kPre: return mFaderPre;
    case kModeA: return mFaderModeA;
    case kModeB: return mFaderModeB;
    default: return nullptr;
  }
}

OnOff* Tesk::GetSwitch(int paramIdx) const noexcept
{
  switch (paramIdx)
  {
    case kAuto: return mSwitchAuto;
    case kInv: return mSwitchInv;
    case kBypass: return mSwitchBypass;
    default: return nullptr;
  }
}

// ==== The seed property ====

ComponentResult Tesk::GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                         UInt32* pDataSize, Boolean* pWriteable, void* pData)
{
  if (propID != kTeskSeedProperty)
    return IPlugAU::GetPrivateProperty(propID, scope, element, pDataSize, pWriteable, pData);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;
  if (pData)
  {
    if (!pDataSize || *pDataSize < sizeof(UInt32)) return kAudioUnitErr_InvalidPropertyValue;
    const UInt32 seed = GetRandomSeed();
    std::memcpy(pData, &seed, sizeof(UInt32));
  }
  if (pDataSize) *pDataSize = sizeof(UInt32);
  if (pWriteable) *pWriteable = true;
  return noErr;
}

ComponentResult Tesk::SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                         UInt32 dataSize, const void* pData)
{
  if (propID != kTeskSeedProperty) return IPlugAU::SetPrivateProperty(propID, scope, element, dataSize, pData);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;
  if (!pData || dataSize < sizeof(UInt32)) return kAudioUnitErr_InvalidPropertyValue;
  UInt32 seed = 0;
  std::memcpy(&seed, pData, sizeof(UInt32));
  SetRandomSeed(seed);
  return noErr;
}

// ==== Factory and entries ====

IPlugAU* MakePlug()
{
  static WDL_Mutex sMutex;  // serialises instance creation
  WDL_MutexLock lock(&sMutex);
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kTeskBundleID);
  info.mCocoaViewFactoryClassName.Set(kTeskViewClass);
  return new Tesk(info);
}

extern "C" ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug)
{
  return IPlugAU::IPlugAUEntry(params, pPlug);
}

extern "C" ComponentResult Tesk_ViewEntry(ComponentParameters* params, void* pView)
{
  return IPlugAU::IPlugAUCarbonViewEntry(params, pView);
}
