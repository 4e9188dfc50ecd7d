#pragma once
// The UI side of the test's LV2 host: loads the bundle's UI library as a host does
// (dlopen, lv2ui_descriptor), instantiates the editor in a window of the host's (ui:parent)
// with the idle interface, ui:resize and ui:touch, and with instance-access when given the
// plug-in's handle. What the UI sends the host (control writes, touches, size requests)
// is recorded.
//
// Threads: everything on the thread that opened it, the host's UI thread.

#include <memory>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

namespace lv2_test
{
class Lv2UIHost final
{
public:
  struct Write
  {
    int port;
    float value;
  };
  struct Touch
  {
    int port;
    bool grabbed;
  };

  // instance: the running plug-in's handle, or null to offer no instance-access.
  static std::unique_ptr<Lv2UIHost> Open(const char* pluginUri, LV2_Handle instance, unsigned long parentWindow,
                                         std::string* pError);
  ~Lv2UIHost();
  Lv2UIHost(const Lv2UIHost&) = delete;
  Lv2UIHost& operator=(const Lv2UIHost&) = delete;

  // The host's idle call; false once the UI says it has closed.
  bool Idle();
  // Calls Idle for about `seconds`, every 5 ms.
  void IdleFor(double seconds);
  void PortEvent(int port, float value);
  // The UI's window (its widget).
  unsigned long Window() const noexcept { return mWidget; }

  const std::vector<Write>& Writes() const noexcept { return mWrites; }
  const std::vector<Touch>& Touches() const noexcept { return mTouches; }
  // The sizes the UI asked for through ui:resize.
  const std::vector<std::pair<int, int>>& SizeRequests() const noexcept { return mSizes; }

private:
  Lv2UIHost() = default;

  void* mLibrary = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  LV2UI_Handle mUI = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  unsigned long mWidget = 0;
  LV2UI_Resize mResize{};
  LV2UI_Touch mTouch{};
  std::vector<Write> mWrites;
  std::vector<Touch> mTouches;
  std::vector<std::pair<int, int>> mSizes;
};
}  // namespace lv2_test
