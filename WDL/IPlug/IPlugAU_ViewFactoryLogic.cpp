#include "IPlugAU_ViewFactoryLogic.h"

#include "IGraphics.h"
#include "IPlugAU.h"
#include "Log.h"

namespace mac_services
{
void* EditorViewForPlug(IPlugBase* pPlug)
{
  IGraphics* pGraphics = pPlug ? pPlug->GetGUI() : nullptr;
  return pGraphics ? pGraphics->OpenWindow(nullptr) : nullptr;
}

IPlugAU* PlugOfAudioUnit(AudioUnit unit)
{
  // The component entry stores the plug-in as the instance's storage when it opens it.
  return unit ? reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit)) : nullptr;
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
