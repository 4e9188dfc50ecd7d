// Test-only, compiled in syntax-only mode as plain C++: what the plug-in's MakeGraphics does on
// Apple. IGraphicsMac.h must need no Objective-C, and IGraphicsMac must supply every platform
// operation (an abstract class cannot be created with new).
#include "IGraphicsMac.h"

IGraphics* MakeMacGraphics(IPlugBase* pPlug, int w, int h, int fps)
{
  auto* pGraphics = new IGraphicsMac(pPlug, w, h, fps);
  pGraphics->SetBundleID("com.orvanta.audiounit.Tesk");
  return pGraphics;
}
