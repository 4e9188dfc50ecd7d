// Tesk's LV2 UI: the editor in an X11 window embedded in the host's window (ui:parent),
// driven by the host's idle calls (ui:idleInterface), sized through ui:resize.
//
// The UI builds the editor itself (the plug-in's library has none) on a plug-in base
// of its own that has no processor (TeskLV2EditorPlug). With instance-access the editor
// shares the running plug-in's band marks and display feed, so the displays show what
// the plug-in processes; without it the editor is driven by the control ports alone:
// the controls work, the displays stay empty.
//
// Threads: every entry point runs on the host's UI thread, which is the editor's thread.

#include <cstdint>
#include <cstring>
#include <memory>

#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "TeskLV2EditorPlug.h"
#include "TeskLV2URIs.h"
#include "linux_window/X11EditorWindow.h"
#include "lv2_binding/IPlugLV2EditorAccess.h"

namespace
{
const void* FindFeature(const LV2_Feature* const* features, const char* uri) noexcept
{
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  return nullptr;
}

bool HasFeature(const LV2_Feature* const* features, const char* uri) noexcept
{
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return true;
  return false;
}

class TeskLV2UI final : public IPlugLV2UIHost
{
public:
  TeskLV2UI(LV2UI_Write_Function write, LV2UI_Controller controller)
    : mWrite(write),
      mController(controller)
  {
  }

  ~TeskLV2UI()
  {
    if (mPlug) mPlug->ConnectUIHost(nullptr);
    if (mWindow) mWindow->Close();
    mWindow.reset();
    mPlug.reset();
  }

  TeskLV2UI(const TeskLV2UI&) = delete;
  TeskLV2UI& operator=(const TeskLV2UI&) = delete;

  // Builds the editor (for the running plug-in when the host gives access to it) and
  // opens the window; false when that fails.
  bool Open(const LV2_Feature* const* features, LV2UI_Widget* pWidget)
  {
    mResize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
    mTouch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
    auto* pPlugin =
      static_cast<IPlugLV2EditorAccess*>(const_cast<void*>(FindFeature(features, LV2_INSTANCE_ACCESS_URI)));
    mPlug = std::make_unique<TeskLV2EditorPlug>(pPlugin);
    IGraphicsLinuxEditor* pEditor = mPlug->LinuxEditor();
    if (!pEditor) return false;

    X11EditorWindowOptions options;
    options.parent = reinterpret_cast<std::uintptr_t>(FindFeature(features, LV2_UI__parent));
    options.title = "Tesk";
    options.onSize = [this](int w, int h) {
      if (mResize) mResize->ui_resize(mResize->handle, w, h);
    };
    mWindow = std::make_unique<X11EditorWindow>(pEditor, options);
    if (!mWindow->Open()) return false;
    mPlug->ConnectUIHost(this);
    *pWidget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(mWindow->NativeWindow()));
    return true;
  }

  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* pBuffer)
  {
    if (format == 0 && size == sizeof(float) && pBuffer)
      mPlug->ControlFromHost(static_cast<int>(port), *static_cast<const float*>(pBuffer));
  }

  // 0 while the window is open, 1 once it has closed.
  int Idle()
  {
    if (!mWindow || !mWindow->Idle()) return 1;
    mPlug->Idle();
    return 0;
  }

  // ==== IPlugLV2UIHost ====
  void WriteControl(int port, float value) override
  {
    mWrite(mController, static_cast<uint32_t>(port), sizeof(float), 0, &value);
  }
  void Touch(int port, bool grabbed) override
  {
    if (mTouch) mTouch->touch(mTouch->handle, static_cast<uint32_t>(port), grabbed);
  }

private:
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
  std::unique_ptr<TeskLV2EditorPlug> mPlug;
  std::unique_ptr<X11EditorWindow> mWindow;
};

LV2UI_Handle Instantiate(const LV2UI_Descriptor* /* descriptor */, const char* /* pluginURI */,
                         const char* /* bundlePath */, LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* pWidget, const LV2_Feature* const* features)
{
  if (!write || !pWidget || !HasFeature(features, LV2_UI__idleInterface)) return nullptr;
  try
  {
    auto ui = std::make_unique<TeskLV2UI>(write, controller);
    if (!ui->Open(features, pWidget)) return nullptr;
    return ui.release();
  }
  catch (...)
  {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle ui) { delete static_cast<TeskLV2UI*>(ui); }

void PortEvent(LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format, const void* pBuffer)
{
  static_cast<TeskLV2UI*>(ui)->PortEvent(port, size, format, pBuffer);
}

int Idle(LV2UI_Handle ui) { return static_cast<TeskLV2UI*>(ui)->Idle(); }

const void* ExtensionData(const char* uri)
{
  static const LV2UI_Idle_Interface kIdle = {Idle};
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kTeskLV2UIURI, Instantiate, Cleanup, PortEvent, ExtensionData};
}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  return index == 0 ? &kDescriptor : nullptr;
}
