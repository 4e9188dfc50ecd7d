#include "IPlugAU_ViewFactoryLogic.h"

#include "IGraphics.h"
#include "IPlugAU.h"
#include "Log.h"

namespace mac_services
{
void* EditorViewForPlug(IPlugBase* pPlug)
{
  IGraphics* pGraphics = pPlug ? pPlug->EnsureGUI() : nullptr;
  return pGraphics ? pGraphics->OpenWindow(nullptr) : nullptr;
}

IPlugAU* PlugOfAudioUnit(AudioUnit unit)
{
  // Asked as any host asks a unit: an audio component instance has no component storage.
  IPlugAU* pPlug = nullptr;
  UInt32 size = sizeof(pPlug);
  if (!unit ||
      AudioUnitGetProperty(unit, IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &pPlug, &size) != noErr ||
      size != sizeof(pPlug))
    return nullptr;
  return pPlug;
}

void* EditorViewForAudioUnit(AudioUnit unit) { return EditorViewForPlug(PlugOfAudioUnit(unit)); }

int UserOSVersion()
{
  SInt32 version = 0;
  if (Gestalt(gestaltSystemVersion, &version) != noErr) version = 0;
  Trace("GetUserOSVersion", __LINE__, "%x", static_cast<unsigned>(version));
  return static_cast<int>(version);
}
}  // namespace mac_services
