// Loading, driving and closing the bundle's UI (see Lv2UIHost.h).

#include "Lv2UIHost.h"

#include <chrono>
#include <cstdint>
#include <dlfcn.h>
#include <thread>

#include <lv2/instance-access/instance-access.h>

#include "Lv2TestSupport.h"

namespace lv2_test
{
std::unique_ptr<Lv2UIHost> Lv2UIHost::Open(const char* pluginUri, LV2_Handle instance, unsigned long parentWindow,
                                           std::string* pError)
{
  std::unique_ptr<Lv2UIHost> h(new Lv2UIHost());
  const std::string library = (kBundle / kTeskLV2UIBinary).string();
  h->mLibrary = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h->mLibrary) return *pError = dlerror(), nullptr;
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(h->mLibrary, "lv2ui_descriptor"));
  h->mDescriptor = entry ? entry(0) : nullptr;
  if (!h->mDescriptor) return *pError = "no UI descriptor", nullptr;

  h->mResize = {h.get(), [](LV2UI_Feature_Handle self, int w, int hgt) {
                  static_cast<Lv2UIHost*>(self)->mSizes.emplace_back(w, hgt);
                  return 0;
                }};
  h->mTouch = {h.get(), [](LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
                 static_cast<Lv2UIHost*>(self)->mTouches.push_back({static_cast<int>(port), grabbed});
               }};
  const LV2_Feature parent = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parentWindow))};
  const LV2_Feature idle = {LV2_UI__idleInterface, nullptr};
  const LV2_Feature resize = {LV2_UI__resize, &h->mResize};
  const LV2_Feature touch = {LV2_UI__touch, &h->mTouch};
  const LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, instance};
  std::vector<const LV2_Feature*> features = {&parent, &idle, &resize, &touch};
  if (instance) features.push_back(&access);
  features.push_back(nullptr);

  auto write = [](LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format == 0 && size == sizeof(float))
      static_cast<Lv2UIHost*>(self)->mWrites.push_back({static_cast<int>(port), *static_cast<const float*>(buffer)});
  };
  LV2UI_Widget widget = nullptr;
  h->mUI = h->mDescriptor->instantiate(h->mDescriptor, pluginUri, (kBundle.string() + "/").c_str(), write, h.get(),
                                       &widget, features.data());
  if (!h->mUI) return *pError = "the UI did not instantiate", nullptr;
  h->mWidget = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(widget));
  h->mIdle = static_cast<const LV2UI_Idle_Interface*>(h->mDescriptor->extension_data(LV2_UI__idleInterface));
  if (!h->mIdle) return *pError = "no idle interface", nullptr;
  return h;
}

Lv2UIHost::~Lv2UIHost()
{
  if (mUI) mDescriptor->cleanup(mUI);
  if (mLibrary) dlclose(mLibrary);
}

bool Lv2UIHost::Idle() { return mIdle->idle(mUI) == 0; }

void Lv2UIHost::IdleFor(double seconds)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end && Idle()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void Lv2UIHost::PortEvent(int port, float value)
{
  mDescriptor->port_event(mUI, static_cast<uint32_t>(port), sizeof(float), 0, &value);
}
}  // namespace lv2_test
