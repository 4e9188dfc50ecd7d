// The parts of IPlugBase that talk to the editor, all through IPlugEditorHooks: the
// base builds and links without the graphics framework. (AttachGraphics, which needs
// the graphics host itself, is defined with it in IGraphics.cpp.)

#include "IPlugBase.h"
#include "IPlugEditorHooks.h"

void IPlugBase::DeleteGraphics()
{
  delete mEditorHooks;
  mEditorHooks = nullptr;
  mGraphics = nullptr;
}

void IPlugBase::EditorLearnsGUIChange(int idx, double normalizedValue) noexcept
{
  if (mEditorHooks) mEditorHooks->ParameterChangedFromGUI(idx, normalizedValue);
}

void IPlugBase::RedrawParamControls()
{
  if (!mEditorHooks) return;
  for (int i = 0; i < NParams(); ++i) mEditorHooks->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

bool IPlugBase::PromptForPresetFile(WDL_String* pFile, bool save, const char* ext, const char* defaultFileName)
{
  if (!mEditorHooks) return false;
  pFile->Set(defaultFileName ? defaultFileName : "");
  mEditorHooks->PromptForFile(pFile, save ? kFileSave : kFileOpen, &mPreviousPath, ext);
  return pFile->GetLength() > 0;
}
