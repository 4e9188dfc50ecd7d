// Tesk's set-up, parameter changes and the displays' deferred notifications:
// everything of the processor that is the same for every binding.

#include "Tesk.h"

#include "TeskEditorLink.h"
#if TESK_PROCESSOR_BUILDS_EDITOR
#include "IGraphics.h"
#include "TeskEditor.h"
#endif

using tesk::IsOn;

IPlugInstanceInfo TeskInstanceInfo()
{
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kTeskBundleID);
#ifdef IPLUG_API_AU
  // The view factory class this build defines (IPlugObjCNames.h), which the Cocoa UI property names.
  info.mCocoaViewFactoryClassName.Set(IPLUG_AU_VIEW_CLASS_NAME);
#endif
  return info;
}

Tesk::Tesk(IPlugInstanceInfo info)
  : IPlugAPI(info, kNumParams, kTeskChannelIO, kTeskNumPresets, kTeskEffectName, kTeskProductName, kTeskMfrName,
             kTeskVendorVersion, kTeskFourCC, kTeskFourCC, kLatencySamples, false, false, false, 0)
{
  InitParameters();
  mEngine.SetDisplayFeed(&mFeed);
  mShare = {&mEngine.BandMarks(), &mFeed};
  MakeDefaultPreset(kTeskDefaultPresetName, kTeskNumPresets);
}

Tesk::~Tesk()
{
#if TESK_PROCESSOR_BUILDS_EDITOR
  // A window's editor thread may be pushing a value into the processor right now: it
  // stops before the editor's channel, the engine or the binding go.
  if (IGraphics* pGraphics = GetGUI()) pGraphics->PlugInDestroying();
#endif
}

bool Tesk::OffersGUI() const noexcept { return TESK_PROCESSOR_BUILDS_EDITOR; }

void Tesk::MakeGUI()
{
#if TESK_PROCESSOR_BUILDS_EDITOR
  if (mEditor) return;
  mEditor = std::make_unique<TeskEditor>(this, mShare);
  const std::uint32_t shown = mChangesOwedToEditor.exchange(0, std::memory_order_relaxed);
  for (int i = 0; i < kNumParams; ++i)
  {
    SendOwedValueToEditor(i);
    if (shown & (1u << i)) ShowParamChange(*mEditor, i, GetParam(i)->Value(), mEngine.BandMarks());
  }
#endif
}

void Tesk::InitParameters()
{
  for (const tesk::ParamRow& row : tesk::kParamRows)
    GetParam(row.index)->InitDouble(row.name, row.defaultValue, tesk::kParamMin, tesk::kParamMax, row.step, "", "");
}

void Tesk::Reset() { WDL_MutexLock lock(&mMutex); }

void Tesk::OnParamChange(int index)
{
  WDL_MutexLock lock(&mMutex);
  ApplyParamChange(index);
  PayClearPushes();
}

void Tesk::ApplyParamChange(int index) noexcept
{
  const IParam* pParam = index >= 0 && index < kNumParams ? GetParam(index) : nullptr;
  if (!pParam) return;
  const double v = pParam->Value();

  switch (index)
  {
    case kSensitivity: mEngine.SetSensitivity(v); break;
    case kLow: mEngine.SetBandLow(v); break;
    case kHigh: mEngine.SetBandHigh(v); break;
    // The marks are where the user sets the band (a drag of the handles moves them):
    // take the edges from them, not from parameters 2 and 3.
    case kFFTDisplay: mEngine.TakeBandFromMarks(); break;
    case kPre: mEngine.SetPreAmount(v); break;
    case kAuto: mEngine.SetAutoMode(v); break;
    case kInv: mEngine.SetInvertBand(v); break;
    case kModeA: mEngine.SetModeA(v); break;
    case kModeB: mEngine.SetModeB(v); break;
    case kBypass:
      mEngine.SetBypass(IsOn(v));
      if (IsOn(v))
      {
        // The waveform rewinds and the spectra are wiped; each display owes its
        // parameter a push for it.
        mFeed.RequestClear();
        mClearPushesOwed.store(true, std::memory_order_release);
      }
      break;
    // "Reduction Amount", "WaveformDisplay" and "Residual": no processing step reads
    // them; the host, the state and the editor use the parameter itself.
    default: break;
  }
  if (TeskEditorLink* pEditor = mEditor.get())
    ShowParamChange(*pEditor, index, v, mEngine.BandMarks());
  else
    mChangesOwedToEditor.fetch_or(1u << index, std::memory_order_relaxed);
}

void Tesk::PayClearPushes()
{
  if (!mClearPushesOwed.exchange(false, std::memory_order_acq_rel)) return;
  // Each display's own parameter, unchanged: what the display's control holds, as every
  // value the host sets reaches the control too.
  SetParameterFromGUI(kWaveformDisplay, GetParam(kWaveformDisplay)->GetNormalized());
  SetParameterFromGUI(kFFTDisplay, GetParam(kFFTDisplay)->GetNormalized());
}

void Tesk::OnIdle() { DeliverDisplayNotifications(); }

void Tesk::DeliverDisplayNotifications()
{
  WDL_MutexLock lock(&mMutex);
  PayClearPushes();
  // A backlog is paid with one push per display: every owed push carries the same,
  // unchanged value, so repeats tell the host nothing more, while a long render
  // without idle slots would otherwise release thousands at once under the mutex.
  // Spectra first: a spectrum push is what re-reads the band edges, and the audio
  // thread stored those before the points that followed them.
  if (mFeed.TakeSpectrumPushes() > 0) SetParameterFromGUI(kFFTDisplay, GetParam(kFFTDisplay)->GetNormalized());
  if (mFeed.TakeWaveformPushes() > 0)
    SetParameterFromGUI(kWaveformDisplay, GetParam(kWaveformDisplay)->GetNormalized());
}

void Tesk::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept
{
  mEngine.Process(inputs, outputs, nFrames, GetSampleRate());
}
