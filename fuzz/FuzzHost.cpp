#include "FuzzHost.h"

#include <CompatHooks.h>

#include "IPlugAU.h"

#include <cstdio>
#include <cstdlib>

extern "C" ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug);

namespace fuzz
{
namespace
{
Component TeskComponent()
{
  static const Component c = [] {
    constexpr OSType kCode = ('T' << 24) | ('e' << 16) | ('s' << 8) | 'k';
    return compat_RegisterAudioUnit(reinterpret_cast<ComponentRoutineProcPtr>(Tesk_Entry), kAudioUnitType_Effect, kCode,
                                    kCode, "Orvanta: Tesk");
  }();
  return c;
}
}  // namespace

OpenedPlugin::OpenedPlugin()
{
  if (auhost::AudioUnitHost::Open(TeskComponent(), &mHost) != noErr) Fail("the plug-in did not open");
  if (mHost->Get(IPlugAU::kPlugObjectProperty, kAudioUnitScope_Global, 0, &mPlug) != noErr || !mPlug)
    Fail("the plug-in object could not be read");
}

OpenedPlugin::~OpenedPlugin()
{
  if (mHost->Close() != noErr) Fail("the plug-in did not close");
}

OpenedPlugin& SharedPlugin()
{
  static OpenedPlugin* shared = new OpenedPlugin;  // lives as long as the process
  static ByteChunk presets;
  static const bool saved = shared->Plug()->SerializePresets(&presets);
  IPlugAU* plug = shared->Plug();
  WDL_MutexLock lock(plug->GetMutex());
  if (!saved || plug->UnserializePresets(&presets, 0) <= 0 || !plug->RestorePreset(0))
    Fail("the shared instance could not be put back to its opening state");
  return *shared;
}

void Fail(const char* what)
{
  std::fprintf(stderr, "fuzz finding: %s\n", what);
  std::abort();
}
}  // namespace fuzz
