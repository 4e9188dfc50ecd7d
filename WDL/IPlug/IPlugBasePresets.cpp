// State chunks and the preset list of IPlugBase. These run on the host's control
// thread (the binding holds the instance mutex around them) or during construction.

#include "IPlugBase.h"

#include "base64encdec.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{
const char kUserPresetName[] = "user preset";
// Marks parameters that MakePresetFromNamedParams was not given.
constexpr double kUnnamedParam = 9.999e-8;
}  // namespace

// ---- Parameter state ----

bool IPlugBase::SerializeParams(ByteChunk* pChunk)
{
  WDL_MutexLock lock(&mMutex);
  bool savedOK = true;
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->Value();
    savedOK &= (pChunk->Put(&v) > 0);
  }
  return savedOK;
}

// True when every value a restore from startPos would read is a finite number. Limiting
// to the range leaves a NaN a NaN, so such a state would reach the processor as it is.
bool IPlugBase::RestoredValuesAreFinite(const ByteChunk* pChunk, int startPos) const
{
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    if (pos >= 0 && !std::isfinite(v)) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(const ByteChunk* pChunk, int startPos)
{
  WDL_MutexLock lock(&mMutex);
  // A value that is not finite refuses the whole state before anything changes.
  if (!RestoredValuesAreFinite(pChunk, startPos)) return -1;
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    IParam* param = GetParam(i);
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    param->Set(param->Clamp(v));
  }
  // The editor learns every restored value before any OnParamChange runs: a plug-in's
  // reaction to one parameter may make a control push its own value into another
  // (clearing a display does), which must be the restored value, not the old one.
  RedrawParamControls();
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
  return pos;
}

bool IPlugBase::SerializeState(ByteChunk* pChunk) { return SerializeParams(pChunk); }

int IPlugBase::UnserializeState(const ByteChunk* pChunk, int startPos) { return UnserializeParams(pChunk, startPos); }

bool IPlugBase::CompareState(const unsigned char* incomingState, int startPos)
{
  for (int i = 0; i < NParams(); ++i)
  {
    double stored;
    std::memcpy(&stored, incomingState + (static_cast<size_t>(startPos) + static_cast<size_t>(i)) * sizeof(double),
                sizeof(double));
    const float a = static_cast<float>(stored);
    const float b = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(a - b) < 0.00001f)) return false;
  }
  return true;
}

// ---- Preset slots ----

IPreset* IPlugBase::FirstUninitializedPreset() noexcept
{
  for (int i = 0; i < NPresets(); ++i)
    if (!mPresets.Get(i)->mInitialized) return mPresets.Get(i);
  return nullptr;
}

bool IPlugBase::CaptureStateInto(IPreset* pPreset, const char* name)
{
  pPreset->mInitialized = true;
  pPreset->SetName(name);
  pPreset->mChunk.Clear();
  return SerializeState(&pPreset->mChunk);
}

void IPlugBase::MakeDefaultUserPresetName(const WDL_PtrList<IPreset>* pPresets, char* str)
{
  int nDefaultNames = 0;
  for (int i = 0; i < pPresets->GetSize(); ++i)
    if (std::strstr(pPresets->Get(i)->mName, kUserPresetName)) ++nDefaultNames;
  std::snprintf(str, MAX_PRESET_NAME_LEN, "%s %d", kUserPresetName, nDefaultNames + 1);
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* preset = FirstUninitializedPreset();
    if (!preset) return;
    CaptureStateInto(preset, name ? name : "Empty");
  }
}

void IPlugBase::MakePreset(const char* name, ...)
{
  IPreset* preset = FirstUninitializedPreset();
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.Clear();
  va_list vp;
  va_start(vp, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->Type() == IParam::kTypeDouble ? va_arg(vp, double) : va_arg(vp, int);
    preset->mChunk.Put(&v);
  }
  va_end(vp);
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* preset = FirstUninitializedPreset();
  if (!preset) return;
  WDL_TypedBuf<double> vals;
  double* v = vals.Resize(NParams());
  if (!v && NParams() > 0) return;  // out of memory: the slot stays free
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.Clear();
  for (int i = 0; i < NParams(); ++i) v[i] = kUnnamedParam;

  va_list vp;
  va_start(vp, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i)
  {
    const int paramIdx = va_arg(vp, int);
    // The type of the value after an unknown index is unknown too, so nothing after
    // it can be read safely: the list ends there.
    IParam* param = GetParam(paramIdx);
    if (!param) break;
    v[paramIdx] = param->Type() == IParam::kTypeDouble ? va_arg(vp, double) : va_arg(vp, int);
  }
  va_end(vp);

  for (int i = 0; i < NParams(); ++i)
  {
    const double value = v[i] == kUnnamedParam ? GetParam(i)->Value() : v[i];
    preset->mChunk.Put(&value);
  }
}

void IPlugBase::MakePresetFromChunk(const char* name, const ByteChunk* pChunk)
{
  IPreset* preset = FirstUninitializedPreset();
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.Clear();
  preset->mChunk.PutChunk(pChunk);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  ByteChunk chunk;
  const int size = sizeOfChunk > 0 ? sizeOfChunk : 0;
  if (chunk.Resize(size) != size) return;  // out of memory: no preset rather than a short one
  if (blob && size > 0) wdl_base64decode(blob, chunk.GetBytes(), size);
  MakePresetFromChunk(name, &chunk);
}

bool IPlugBase::RestorePreset(int idx)
{
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  if (!preset->mInitialized)
  {
    char name[MAX_PRESET_NAME_LEN];
    MakeDefaultUserPresetName(&mPresets, name);
    if (!CaptureStateInto(preset, name)) return false;
  }
  else if (UnserializeState(&preset->mChunk, 0) < 1)
  {
    return false;
  }
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name)
{
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

const char* IPlugBase::GetPresetName(int idx) const noexcept
{
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  // The slot now holds a state, so it counts as initialised (a later RestorePreset
  // must apply it rather than rename the slot as a new user preset).
  preset->mInitialized = true;
  if (name && name[0]) preset->SetName(name);
}

void IPlugBase::EnsureDefaultPreset()
{
  for (int i = 0; i < NPresets(); ++i)
    if (!mPresets.Get(i)->mInitialized) CaptureStateInto(mPresets.Get(i), "Empty");
}

void IPlugBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
}

// ---- The preset list ----

bool IPlugBase::SerializePresets(ByteChunk* pChunk)
{
  bool savedOK = true;
  for (int i = 0; i < NPresets(); ++i)
  {
    const IPreset* preset = mPresets.Get(i);
    pChunk->PutStr(preset->mName);
    pChunk->PutBool(preset->mInitialized);
    if (preset->mInitialized) savedOK &= (pChunk->PutChunk(&preset->mChunk) > 0);
  }
  return savedOK;
}

int IPlugBase::UnserializePresets(const ByteChunk* pChunk, int startPos)
{
  WDL_String name;
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    IPreset* preset = mPresets.Get(i);
    pos = pChunk->GetStr(&name, pos);
    preset->SetName(name.Get());
    pos = pChunk->GetBool(&preset->mInitialized, pos);
    if (pos >= 0 && preset->mInitialized)
    {
      pos = UnserializeState(pChunk, pos);
      if (pos > 0)
      {
        preset->mChunk.Clear();
        SerializeState(&preset->mChunk);
      }
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

// ---- Developer dumps ----

bool IPlugBase::DumpPresetSrcCode(const char* filename, const char* paramEnumNames[])
{
  FILE* fp = std::fopen(filename, "w");
  if (!fp) return false;
  // The dump is a template to paste into a constructor: the developer fills in the name.
  std::fprintf(fp, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    char value[64];
    switch (param->Type())
    {
      case IParam::kTypeBool:
        std::snprintf(value, sizeof(value), "%s", param->Value() >= 0.5 ? "true" : "false");
        break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum: std::snprintf(value, sizeof(value), "%d", param->Int()); break;
      default: std::snprintf(value, sizeof(value), "%.6f", param->Value()); break;
    }
    const char* enumName = (paramEnumNames && paramEnumNames[i]) ? paramEnumNames[i] : "";
    std::fprintf(fp, ",\n    %s, %s", enumName, value);
  }
  std::fprintf(fp, ");\n");
  return std::fclose(fp) == 0;
}

bool IPlugBase::DumpPresetBlob(const char* filename)
{
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return false;
  const int size = preset->mChunk.Size();
  WDL_TypedBuf<char> text;
  char* encoded = text.Resize(wdl_base64encodedsize(size) + 1);
  if (!encoded) return false;  // out of memory: no file rather than one with an empty blob
  if (size > 0)
    wdl_base64encode(preset->mChunk.GetBytes(), encoded, size);
  else
    encoded[0] = 0;
  FILE* fp = std::fopen(filename, "w");
  if (!fp) return false;
  std::fprintf(fp, "MakePresetFromBlob(\"name\", \"%s\", %i);\n", encoded, size);
  return std::fclose(fp) == 0;
}
