// System facts: only the system version, which decides whether a Cocoa view is offered.
#include <CarbonCore/Gestalt.h>
#include <CompatHooks.h>

#include <atomic>

namespace
{
std::atomic<SInt32> gSystemVersion{0x1068};

int Digit(SInt32 bcd, int shift) { return (bcd >> shift) & 0xF; }
}  // namespace

extern "C"
{

  void compat_SetGestaltSystemVersion(SInt32 bcdVersion)
  {
    gSystemVersion.store(bcdVersion, std::memory_order_relaxed);
  }

  OSErr Gestalt(OSType selector, SInt32* response)
  {
    if (!response) return paramErr;
    const SInt32 v = gSystemVersion.load(std::memory_order_relaxed);
    switch (selector)
    {
      case gestaltSystemVersion: *response = v; return noErr;
      case gestaltSystemVersionMajor: *response = Digit(v, 12) * 10 + Digit(v, 8); return noErr;
      case gestaltSystemVersionMinor: *response = Digit(v, 4); return noErr;
      case gestaltSystemVersionBugFix: *response = Digit(v, 0); return noErr;
      default: return gestaltUndefSelectorErr;
    }
  }

}  // extern "C"
