// The class-info dictionary hosts keep in their documents, and the factory presets.

#include "IPlugAU.h"

#include "IPlugAUPropertyQuery.h"
#include "dfx/CFAUPreset.h"

#include <climits>

using iplug_au::GetUTF8;
using iplug_au::MakeCFString;

namespace
{
void PutNumber(CFMutableDictionaryRef dict, CFStringRef key, SInt32 value)
{
  if (CFNumberRef num = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value))
  {
    CFDictionarySetValue(dict, key, num);
    CFRelease(num);
  }
}

// The value under key when it has the wanted type, else null.
CFTypeRef GetTyped(CFDictionaryRef dict, CFStringRef key, CFTypeID type)
{
  CFTypeRef value = CFDictionaryGetValue(dict, key);
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

bool GetNumber(CFDictionaryRef dict, CFStringRef key, SInt32* pValue)
{
  auto num = static_cast<CFNumberRef>(GetTyped(dict, key, CFNumberGetTypeID()));
  return num && CFNumberGetValue(num, kCFNumberSInt32Type, pValue);
}
}  // namespace

OSStatus IPlugAU::GetComponentCodes(OSType* pType, OSType* pSubType, OSType* pManufacturer) const
{
  if (mComponentManagerInstance)
  {
    // A Component Manager instance stands for its component in GetComponentInfo.
    ComponentDescription cd = {};
    const OSErr err = GetComponentInfo(reinterpret_cast<Component>(mUnit), &cd, nullptr, nullptr, nullptr);
    if (err != noErr) return err;
    *pType = cd.componentType;
    *pSubType = cd.componentSubType;
    *pManufacturer = cd.componentManufacturer;
    return noErr;
  }
  AudioComponentDescription desc = {};
  const AudioComponent component = mUnit ? AudioComponentInstanceGetComponent(mUnit) : nullptr;
  if (!component) return kAudioUnitErr_Uninitialized;
  const OSStatus err = AudioComponentGetDescription(component, &desc);
  if (err != noErr) return err;
  *pType = desc.componentType;
  *pSubType = desc.componentSubType;
  *pManufacturer = desc.componentManufacturer;
  return noErr;
}

ComponentResult IPlugAU::GetState(CFPropertyListRef* ppPropList)
{
  ComponentDescription cd = {};
  const OSStatus err = GetComponentCodes(&cd.componentType, &cd.componentSubType, &cd.componentManufacturer);
  if (err != noErr) return err;

  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  PutNumber(dict, CFSTR(kAUPresetVersionKey), static_cast<SInt32>(mVersion));
  PutNumber(dict, CFSTR(kAUPresetTypeKey), static_cast<SInt32>(cd.componentType));
  PutNumber(dict, CFSTR(kAUPresetSubtypeKey), static_cast<SInt32>(cd.componentSubType));
  PutNumber(dict, CFSTR(kAUPresetManufacturerKey), static_cast<SInt32>(cd.componentManufacturer));
  if (CFStringRef name = MakeCFString(GetPresetName(GetCurrentPresetIdx())))
  {
    CFDictionarySetValue(dict, CFSTR(kAUPresetNameKey), name);
    CFRelease(name);
  }

  ByteChunk chunk;
  if (SerializeState(&chunk))
  {
    if (CFDataRef data = CFDataCreate(kCFAllocatorDefault, chunk.GetBytes(), chunk.Size()))
    {
      CFDictionarySetValue(dict, CFSTR(kAUPresetDataKey), data);
      CFRelease(data);
    }
  }
  *ppPropList = dict;
  return noErr;
}

ComponentResult IPlugAU::SetState(CFPropertyListRef pPropList)
{
  ComponentDescription cd = {};
  const OSStatus err = GetComponentCodes(&cd.componentType, &cd.componentSubType, &cd.componentManufacturer);
  if (err != noErr) return err;
  if (!pPropList || CFGetTypeID(pPropList) != CFDictionaryGetTypeID()) return kAudioUnitErr_InvalidPropertyValue;

  auto dict = static_cast<CFDictionaryRef>(pPropList);
  SInt32 version = 0, type = 0, subtype = 0, mfr = 0;
  auto name = static_cast<CFStringRef>(GetTyped(dict, CFSTR(kAUPresetNameKey), CFStringGetTypeID()));
  if (!GetNumber(dict, CFSTR(kAUPresetVersionKey), &version) || !GetNumber(dict, CFSTR(kAUPresetTypeKey), &type) ||
      !GetNumber(dict, CFSTR(kAUPresetSubtypeKey), &subtype) ||
      !GetNumber(dict, CFSTR(kAUPresetManufacturerKey), &mfr) || !name)
    return kAudioUnitErr_InvalidPropertyValue;
  if (static_cast<OSType>(type) != cd.componentType || static_cast<OSType>(subtype) != cd.componentSubType ||
      static_cast<OSType>(mfr) != cd.componentManufacturer)
    return kAudioUnitErr_InvalidPropertyValue;
  // Checked before anything changes: a state without data is refused whole.
  auto data = static_cast<CFDataRef>(GetTyped(dict, CFSTR(kAUPresetDataKey), CFDataGetTypeID()));
  if (!data || CFDataGetLength(data) > INT_MAX) return kAudioUnitErr_InvalidPropertyValue;

  char presetName[MAX_PRESET_NAME_LEN];
  GetUTF8(name, presetName, sizeof(presetName));
  return ApplyStateData(presetName, data);
}

// The preset named in the state is selected first, so the state's own data wins.
// Data that does not restore completely is refused and the previous state put back.
ComponentResult IPlugAU::ApplyStateData(const char* presetName, CFDataRef data)
{
  ByteChunk previous;
  const bool havePrevious = SerializeState(&previous);
  const int previousPresetIdx = mCurrentPresetIdx;

  RestorePreset(presetName);
  ByteChunk chunk;
  chunk.PutBytes(CFDataGetBytePtr(data), static_cast<int>(CFDataGetLength(data)));
  if (UnserializeState(&chunk, 0) > 0)
  {
    RedrawParamControls();
    return noErr;
  }
  if (havePrevious) UnserializeState(&previous, 0);
  mCurrentPresetIdx = previousPresetIdx;
  RedrawParamControls();
  return kAudioUnitErr_InvalidPropertyValue;
}

ComponentResult IPlugAU::AnswerFactoryPresets(PropertyQuery& q)
{
  if (!q.Answer(sizeof(CFArrayRef), false)) return noErr;
  const int n = NPresets();
  CFMutableArrayRef presets = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i)
  {
    CFStringRef name = MakeCFString(GetPresetName(i));
    CFAUPresetRef preset = CFAUPresetCreate(kCFAllocatorDefault, i, name);
    if (preset)
    {
      CFArrayAppendValue(presets, preset);
      CFAUPresetRelease(const_cast<CFAUPreset*>(preset));
    }
    if (name) CFRelease(name);
  }
  *q.Data<CFArrayRef>() = presets;
  return noErr;
}
