// The Audio Unit's own parts of Tesk: the private seed property, the factory the
// binding calls when an instance opens, and the exported entries. Compiled into the
// Audio Unit target only.

#include <cstring>

#include "Tesk.h"

#ifndef IPLUG_API_AU
#error "TeskAU.cpp belongs to the Audio Unit target (IPLUG_API_AU)"
#endif

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
  return new Tesk(TeskInstanceInfo());
}

extern "C" AudioComponentPlugInInterface* Tesk_Factory(const AudioComponentDescription* pDesc)
{
  return IPlugAU::IPlugAUFactory(pDesc);
}

extern "C" ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug)
{
  return IPlugAU::IPlugAUEntry(params, pPlug);
}

extern "C" ComponentResult Tesk_ViewEntry(ComponentParameters* params, void* pView)
{
  return IPlugAU::IPlugAUCarbonViewEntry(params, pView);
}
