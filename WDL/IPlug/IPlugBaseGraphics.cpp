// The parts of IPlugBase that talk to the editor, all through IPlugEditorHooks: the
// base builds and links without the graphics framework. (AttachGraphics, which needs
// the graphics host itself, is defined with it in IGraphics.cpp.)

#include "IPlugBase.h"
#include "IPlugEditorHooks.h"

#include <limits>

void IPlugBase::DeleteGraphics()
{
  delete mEditorHooks;
  mEditorHooks = nullptr;
  mGraphics = nullptr;
}

IGraphics* IPlugBase::EnsureGUI()
{
  WDL_MutexLock lock(&mMutex);
  if (!mGraphics && OffersGUI()) MakeGUI();
  return mGraphics;
}

void IPlugBase::EditorLearnsGUIChange(int idx, double normalizedValue) noexcept
{
  if (mEditorHooks) mEditorHooks->ParameterChangedFromGUI(idx, normalizedValue);
}

void IPlugBase::SendParamValueToEditor(int idx, double value)
{
  if (idx < 0 || idx >= NParams()) return;
  if (mEditorHooks)
    mEditorHooks->SetParameterFromPlug(idx, value, false);
  else if (OffersGUI())
    mEditorOwedValues.Get()[idx] = value;
}

void IPlugBase::SendOwedValueToEditor(int idx)
{
  if (idx < 0 || idx >= NParams() || !mEditorHooks) return;
  double& owed = mEditorOwedValues.Get()[idx];
  if (owed != owed) return;  // NaN: nothing was sent
  mEditorHooks->SetParameterFromPlug(idx, owed, false);
  owed = std::numeric_limits<double>::quiet_NaN();
}

void IPlugBase::RedrawParamControls()
{
  for (int i = 0; i < NParams(); ++i) SendParamValueToEditor(i, GetParam(i)->Value());
}

bool IPlugBase::PromptForPresetFile(WDL_String* pFile, bool save, const char* ext, const char* defaultFileName)
{
  if (!mEditorHooks) return false;
  pFile->Set(defaultFileName ? defaultFileName : "");
  mEditorHooks->PromptForFile(pFile, save ? kFileSave : kFileOpen, &mPreviousPath, ext);
  return pFile->GetLength() > 0;
}
