// Tesk's set-up, parameter changes and the displays' deferred notifications:
// everything of the processor that is the same for every binding.

#include "Tesk.h"

#include "IGraphics.h"
#include "TeskEditor.h"
#include "TeskEditorLink.h"

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
  mEditor = std::make_unique<TeskEditor>(this);
  mEngine.SetEditor(mEditor.get());
  MakeDefaultPreset(kTeskDefaultPresetName, kTeskNumPresets);
}

Tesk::~Tesk()
{
  // A window's editor thread may be pushing a value into the processor right now: it
  // stops before the editor's channel, the engine or the binding go.
  if (IGraphics* pGraphics = GetGUI()) pGraphics->PlugInDestroying();
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
  TeskEditorLink* pEditor = mEditor.get();

  switch (index)
  {
    case kSensitivity: mEngine.SetSensitivity(v); break;
    case kLow:
      mEngine.SetBandLow(v);
      if (pEditor) pEditor->ShowBandLow(v);
      break;
    case kHigh:
      mEngine.SetBandHigh(v);
      if (pEditor) pEditor->ShowBandHigh(v);
      break;
    case kFFTDisplay:
      // The spectrum display's handles are where the user sets the band: take the
      // edges from them, not from parameters 2 and 3.
      if (pEditor)
      {
        const double low = pEditor->BandLow(), high = pEditor->BandHigh();
        pEditor->ShowBandEdges(low, high);
        mEngine.SetBandLow(low);
        mEngine.SetBandHigh(high);
      }
      break;
    case kPre:
      mEngine.SetPreAmount(v);
      if (pEditor) pEditor->RefreshFader(kPre);
      break;
    case kAuto:
      mEngine.SetAutoMode(v);
      if (pEditor) pEditor->ShowSwitch(kAuto, IsOn(v));
      break;
    case kInv:
      mEngine.SetInvertBand(v);
      if (pEditor)
      {
        pEditor->ShowInvertedBand(IsOn(v));
        pEditor->ShowSwitch(kInv, IsOn(v));
      }
      break;
    case kModeA:
      mEngine.SetModeA(v);
      if (pEditor) pEditor->RefreshFader(kModeA);
      break;
    case kModeB:
      mEngine.SetModeB(v);
      if (pEditor) pEditor->RefreshFader(kModeB);
      break;
    case kBypass:
      mEngine.SetBypass(IsOn(v));
      if (pEditor)
      {
        pEditor->ShowSwitch(kBypass, IsOn(v));
        if (IsOn(v))
        {
          pEditor->ClearDisplays();
          mClearPushesOwed.store(true, std::memory_order_release);
        }
      }
      break;
    // "Reduction Amount", "WaveformDisplay" and "Residual": no processing step reads
    // them; the host, the state and the editor use the parameter itself.
    default: break;
  }
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
  if (!mEditor) return;
  // A backlog is paid with one push per display: every owed push carries the same,
  // unchanged value, so repeats tell the host nothing more, while a long render
  // without idle slots would otherwise release thousands at once under the mutex.
  // Spectra first: a spectrum push is what re-reads the band edges, and the audio
  // thread stored those before the points that followed them.
  if (mEditor->TakeSpectrumPushes() > 0) SetParameterFromGUI(kFFTDisplay, GetParam(kFFTDisplay)->GetNormalized());
  if (mEditor->TakeWaveformPushes() > 0)
    SetParameterFromGUI(kWaveformDisplay, GetParam(kWaveformDisplay)->GetNormalized());
}

void Tesk::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept
{
  mEngine.Process(inputs, outputs, nFrames, GetSampleRate());
}
