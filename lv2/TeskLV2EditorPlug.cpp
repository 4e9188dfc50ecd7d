// The parameters of Tesk's LV2 UI and the editor built on them.

#include "TeskLV2EditorPlug.h"

#include <cmath>

#include "TeskEditor.h"
#include "TeskIdentity.h"
#include "TeskParams.h"
#include "linux_window/IGraphicsLinux.h"

TeskLV2EditorPlug::TeskLV2EditorPlug(IPlugLV2EditorAccess* pPlugin)
  : IPlugBase(tesk::kNumParams, kTeskChannelIO, kTeskNumPresets, kTeskEffectName, kTeskProductName, kTeskMfrName,
              kTeskVendorVersion, kTeskFourCC, kTeskFourCC, 0, false, false, false, kAPILV2),
    mPlugin(pPlugin)
{
  for (const tesk::ParamRow& row : tesk::kParamRows)
    GetParam(row.index)->InitDouble(row.name, row.defaultValue, tesk::kParamMin, tesk::kParamMax, row.step, "", "");

  const auto* pShared = mPlugin ? static_cast<const TeskEditorShare*>(mPlugin->SharedEditorState()) : nullptr;
  mShare = pShared ? *pShared : TeskEditorShare{&mOwnMarks, nullptr};
  // The window attaches to the graphics host later (X11EditorWindow).
  RequestAttachableEditors(true);
  mEditor = std::make_unique<TeskEditor>(this, mShare);

  WDL_MutexLock lock(&mMutex);
  if (mPlugin)
  {
    // The running plug-in's values, shown as a host's setter shows them.
    for (int i = 0; i < NParams(); ++i)
    {
      GetParam(i)->Set(mPlugin->ParameterValue(i));
      GetGUI()->SetParameterFromPlug(i, GetParam(i)->Value(), false);
    }
  }
  // As a host's initialisation announces every parameter.
  OnParamReset();
}

TeskLV2EditorPlug::~TeskLV2EditorPlug()
{
  // The editor's channel points into the controls, which the base deletes with the
  // graphics host.
  mEditor.reset();
}

IGraphicsLinuxEditor* TeskLV2EditorPlug::LinuxEditor() { return dynamic_cast<IGraphicsLinux*>(GetGUI()); }

void TeskLV2EditorPlug::ConnectUIHost(IPlugLV2UIHost* pHost)
{
  mUIHost = pHost;
  if (mPlugin) mPlugin->ConnectUIHost(pHost);
}

void TeskLV2EditorPlug::ControlFromHost(int port, float value)
{
  // A control's port index is its parameter index.
  IParam* pParam = GetParam(port);
  if (!pParam || std::isnan(value)) return;
  WDL_MutexLock lock(&mMutex);
  // As a host's parameter setter does: the value, the editor, then the change itself.
  const double plain = pParam->Clamp(value);
  pParam->Set(plain);
  IGraphics* pGraphics = GetGUI();
  pGraphics->SetParameterFromPlug(port, plain, false);
  if (mPlugin) mPlugin->ControlFromHost(port, value);
  OnParamChange(port);
  // What the change showed (a switch's state, a fader's handle and the text beside it,
  // outside its own rectangle) is drawn whole at the next frame.
  pGraphics->SetAllControlsDirty();
}

void TeskLV2EditorPlug::Idle()
{
  if (mPlugin) mPlugin->EditorIdle();
}

void TeskLV2EditorPlug::OnParamChange(int idx)
{
  WDL_MutexLock lock(&mMutex);
  const IParam* pParam = GetParam(idx);
  if (!pParam) return;
  const double v = pParam->Value();
  // A running plug-in placed its marks when it took the value.
  if (!mPlugin && idx == tesk::kLow) mOwnMarks.PlaceLow(v);
  if (!mPlugin && idx == tesk::kHigh) mOwnMarks.PlaceHigh(v);
  if (mEditor) ShowParamChange(*mEditor, idx, v, *mShare.marks);
}

void TeskLV2EditorPlug::BeginInformHostOfParamChange(int idx)
{
  if (mUIHost) mUIHost->Touch(idx, true);
}

void TeskLV2EditorPlug::InformHostOfParamChange(int idx, double normalizedValue)
{
  if (mPlugin)
    mPlugin->ParameterFromEditor(idx, normalizedValue);
  else if (mUIHost)
    mUIHost->WriteControl(idx, static_cast<float>(GetParam(idx)->Value()));
}

void TeskLV2EditorPlug::EndInformHostOfParamChange(int idx)
{
  if (mUIHost) mUIHost->Touch(idx, false);
}
