// The parts of IPlugBase that talk to the editor. They live apart so that the rest
// of the framework builds without the graphics framework.

#include "IGraphics.h"
#include "IPlugBase.h"

void IPlugBase::DeleteGraphics()
{
  delete mGraphics;
  mGraphics = nullptr;
}

void IPlugBase::EditorLearnsGUIChange(int idx, double normalizedValue) noexcept
{
  if (mGraphics) mGraphics->ParameterChangedFromGUI(idx, normalizedValue);
}

void IPlugBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  // The base owns its editor: a replaced one would otherwise never be freed.
  if (mGraphics != pGraphics) delete mGraphics;
  mGraphics = pGraphics;
}

void IPlugBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

bool IPlugBase::PromptForPresetFile(WDL_String* pFile, bool save, const char* ext, const char* defaultFileName)
{
  if (!mGraphics) return false;
  pFile->Set(defaultFileName ? defaultFileName : "");
  mGraphics->PromptForFile(pFile, save ? kFileSave : kFileOpen, &mPreviousPath, ext);
  return pFile->GetLength() > 0;
}
