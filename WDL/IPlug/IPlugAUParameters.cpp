// Parameters as the host sees them: their descriptions, texts, groups, and the
// fast-dispatch getter and setter.

#include "IPlugAU.h"

#include "IPlugAUPropertyQuery.h"

#include <cstdlib>
#include <cstring>
#include <new>

using iplug_au::GetUTF8;
using iplug_au::MakeCFString;

ComponentResult IPlugAU::AnswerParameterProperty(PropertyQuery& q)
{
  switch (q.mID)
  {
    case kAudioUnitProperty_ParameterInfo: return AnswerParameterInfo(q);
    case kAudioUnitProperty_ParameterValueStrings: return AnswerParameterValueStrings(q);
    case kAudioUnitProperty_ParameterStringFromValue:
    {
      if (!q.Answer(sizeof(AudioUnitParameterStringFromValue), false)) return noErr;
      auto* pSFV = q.Data<AudioUnitParameterStringFromValue>();
      // Answered in every scope, with a string in the global one only: the host releases
      // what it is handed, so the other scopes hand over none rather than its own bytes.
      if (!q.IsGlobal())
      {
        pSFV->outString = nullptr;
        return noErr;
      }
      const IParam* pParam = GetParam(static_cast<int>(pSFV->inParamID));
      if (!pParam || pSFV->inParamID >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidParameter;
      const double v = pSFV->inValue ? *pSFV->inValue : pParam->Value();
      pParam->GetDisplayForHost(v, false, mParamValueString, true);
      pSFV->outString = MakeCFString(mParamValueString);
      return noErr;
    }
    case kAudioUnitProperty_ParameterIDName:
    {
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (!q.Answer(sizeof(AudioUnitParameterIDName), false)) return noErr;
      auto* pIDName = q.Data<AudioUnitParameterIDName>();
      const IParam* pParam = GetParam(static_cast<int>(pIDName->inID));
      if (!pParam || pIDName->inID >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidParameter;
      char name[MAX_PARAM_NAME_LEN];
      CopyBounded(name, pParam->GetNameForHost(), MAX_PARAM_NAME_LEN);
      // A negative length other than "full" cannot cut anything: the whole name is given.
      const SInt32 len = pIDName->inDesiredLength;
      if (len >= 0 && len < MAX_PARAM_NAME_LEN - 1) name[len] = 0;
      pIDName->outName = MakeCFString(name);
      return noErr;
    }
    case kAudioUnitProperty_ParameterClumpName:
    {
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (!q.Answer(sizeof(AudioUnitParameterNameInfo), false)) return noErr;
      auto* pClump = q.Data<AudioUnitParameterNameInfo>();
      if (pClump->inID < 1) return kAudioUnitErr_PropertyNotInUse;
      if (pClump->inID > static_cast<UInt32>(NParamGroups())) return kAudioUnitErr_InvalidPropertyValue;
      pClump->outName = MakeCFString(GetParamGroupName(static_cast<int>(pClump->inID) - 1));
      return noErr;
    }
    case kAudioUnitProperty_ParameterValueFromString:
    {
      if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
      if (!q.Answer(sizeof(AudioUnitParameterValueFromString), false)) return noErr;
      auto* pVFS = q.Data<AudioUnitParameterValueFromString>();
      const IParam* pParam = GetParam(static_cast<int>(pVFS->inParamID));
      if (!pParam || pVFS->inParamID >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidParameter;
      if (!pVFS->inString) return kAudioUnitErr_InvalidPropertyValue;
      char text[128];
      GetUTF8(pVFS->inString, text, sizeof(text));
      if (pParam->GetNDisplayTexts() == 0)
      {
        const double v = std::strtod(text, nullptr);
        pVFS->outValue = static_cast<AudioUnitParameterValue>(pParam->GetNegateDisplay() ? -v : v);
      }
      else
      {
        int v = 0;
        if (pParam->MapDisplayText(text, &v)) pVFS->outValue = static_cast<AudioUnitParameterValue>(v);
      }
      return noErr;
    }
    default: return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPlugAU::AnswerParameterInfo(PropertyQuery& q)
{
  if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
  IParam* pParam = GetParam(static_cast<int>(q.mElement));
  if (!pParam || q.mElement >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidElement;
  if (!q.Answer(sizeof(AudioUnitParameterInfo), false)) return noErr;

  AudioUnitParameterInfo* pInfo = q.Data<AudioUnitParameterInfo>();
  std::memset(pInfo, 0, sizeof(*pInfo));
  pInfo->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
                 kAudioUnitParameterFlag_CFNameRelease;
  if (pParam->GetCanAutomate()) pInfo->flags |= kAudioUnitParameterFlag_IsWritable;

  const char* name = pParam->GetNameForHost();
  pInfo->cfNameString = MakeCFString(name);
  CopyBounded(pInfo->name, name, sizeof(pInfo->name));

  switch (pParam->Type())
  {
    case IParam::kTypeInt:
    case IParam::kTypeEnum: pInfo->unit = kAudioUnitParameterUnit_Indexed; break;
    case IParam::kTypeBool: pInfo->unit = kAudioUnitParameterUnit_Boolean; break;
    default:
    {
      const char* label = pParam->GetLabelForHost();
      if (pParam->Type() == IParam::kTypeDouble && label && *label)
      {
        pInfo->unit = kAudioUnitParameterUnit_CustomUnit;
        pInfo->unitName = MakeCFString(label);
      }
      else
      {
        pInfo->unit = kAudioUnitParameterUnit_Generic;
      }
    }
  }

  double lo = 0.0, hi = 1.0;
  pParam->GetBounds(&lo, &hi);
  pInfo->minValue = static_cast<AudioUnitParameterValue>(lo);
  pInfo->maxValue = static_cast<AudioUnitParameterValue>(hi);
  pInfo->defaultValue = static_cast<AudioUnitParameterValue>(pParam->Value());

  const char* group = pParam->GetParamGroupForHost();
  if (group && *group)
  {
    pInfo->flags |= kAudioUnitParameterFlag_HasClump;
    pInfo->clumpID = static_cast<UInt32>(ClumpIDForGroup(group));
  }
  return noErr;
}

// A group's clump ID is its 1-based position in the group list; new groups are appended.
int IPlugAU::ClumpIDForGroup(const char* group)
{
  for (int i = NParamGroups() - 1; i >= 0; --i)
  {
    const char* known = GetParamGroupName(i);
    if (known && !std::strcmp(known, group)) return i + 1;
  }
  return AddParamGroup(group);
}

ComponentResult IPlugAU::AnswerParameterValueStrings(PropertyQuery& q)
{
  if (!q.IsGlobal()) return kAudioUnitErr_InvalidScope;
  const IParam* pParam = GetParam(static_cast<int>(q.mElement));
  if (!pParam || q.mElement >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidElement;
  const int n = pParam->GetNDisplayTexts();
  if (n == 0)
  {
    q.Answer(0, false);
    q.mTooSmall = false;
    return kAudioUnitErr_InvalidProperty;
  }
  if (!q.Answer(sizeof(CFArrayRef), false)) return noErr;

  CFMutableArrayRef texts = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  if (!texts) return coreFoundationUnknownErr;
  for (int v = 0; v < n; ++v)
  {
    CFStringRef text = MakeCFString(pParam->GetDisplayText(v));
    if (!text)
    {
      CFRelease(texts);
      return coreFoundationUnknownErr;
    }
    CFArrayAppendValue(texts, text);
    CFRelease(text);
  }
  *q.Data<CFArrayRef>() = texts;
  return noErr;
}

// ==== Fast-dispatch parameter access ====

OSStatus IPlugAU::GetParamProc(void* pPlug, AudioUnitParameterID paramID, AudioUnitScope scope, AudioUnitElement,
                               AudioUnitParameterValue* pValue)
{
  auto* _this = static_cast<IPlugAU*>(pPlug);
  if (!_this) return badComponentInstance;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (paramID >= static_cast<UInt32>(_this->NParams())) return kAudioUnitErr_InvalidParameter;
  if (!pValue) return kAudioUnitErr_InvalidPropertyValue;
  WDL_MutexLock lock(&_this->mMutex);
  *pValue = static_cast<AudioUnitParameterValue>(_this->GetParam(static_cast<int>(paramID))->Value());
  return noErr;
}

OSStatus IPlugAU::SetParamProc(void* pPlug, AudioUnitParameterID paramID, AudioUnitScope scope, AudioUnitElement,
                               AudioUnitParameterValue value, UInt32)
{
  auto* _this = static_cast<IPlugAU*>(pPlug);
  if (!_this) return badComponentInstance;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (paramID >= static_cast<UInt32>(_this->NParams())) return kAudioUnitErr_InvalidParameter;
  if (value != value) return kAudioUnitErr_InvalidPropertyValue;  // NaN would poison the processor's state
  const int idx = static_cast<int>(paramID);
  WDL_MutexLock lock(&_this->mMutex);
  IParam* pParam = _this->GetParam(idx);
  pParam->Set(pParam->Clamp(value));
  try  // a host calls this through a bare function pointer: no exception may cross it
  {
    _this->SendParamValueToEditor(idx, value);
    _this->OnParamChange(idx);
  }
  catch (const std::bad_alloc&)
  {
    return memFullErr;
  }
  catch (...)
  {
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
  return noErr;
}
