// Component Manager: registered entries with their descriptions, open instances with their
// storage, and the requests every component answers.
#include <CarbonCore/MacMemory.h>
#include <ComponentCall.h>

#include "ComponentRecords.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace
{

using Record = compat::ComponentRecord;

struct ComponentEntry final : Record
{
  ComponentEntry()
    : Record(kComponentTag)
  {
  }
  ComponentDescription description{};
  ComponentRoutineProcPtr entry = nullptr;
  std::string name;
  std::atomic<long> refcon{0};
  std::atomic<long> instances{0};
  bool registered = true;
};

struct InstanceEntry final : Record
{
  InstanceEntry()
    : Record(kClosedTag)
  {
  }
  std::atomic<ComponentEntry*> component{nullptr};
  std::atomic<Handle> storage{nullptr};
  std::atomic<OSErr> error{noErr};
};

struct Registry
{
  std::mutex lock;
  std::vector<ComponentEntry*> components;
  std::vector<InstanceEntry*> closedInstances;
  long seed = 1;
};

Registry& Components()
{
  static Registry* registry = new Registry;
  return *registry;
}

Record* RecordOf(const void* p) { return Record::Of(p); }

/* A component, or the component of an open instance (hosts pass instances cast to Component).
   Audio components and their instances are not the Component Manager's: null. */
ComponentEntry* ComponentOf(Component c)
{
  Record* r = RecordOf(c);
  if (!r) return nullptr;
  if (r->tag == Record::kComponentTag) return static_cast<ComponentEntry*>(r);
  if (r->tag == Record::kInstanceTag) return static_cast<InstanceEntry*>(r)->component.load();
  return nullptr;
}

/* An open Component Manager instance, else null (an audio component instance too).
   audio thread: no allocation, no locks. */
InstanceEntry* InstanceOf(ComponentInstance ci)
{
  Record* r = RecordOf(ci);
  return r && r->tag == Record::kInstanceTag ? static_cast<InstanceEntry*>(r) : nullptr;
}

Component AsComponent(ComponentEntry* e) { return reinterpret_cast<Component>(static_cast<Record*>(e)); }
ComponentInstance AsInstance(InstanceEntry* e) { return reinterpret_cast<ComponentInstance>(static_cast<Record*>(e)); }

InstanceEntry* NewInstance(ComponentEntry* component)
{
  Registry& r = Components();
  InstanceEntry* instance = nullptr;
  {
    std::lock_guard<std::mutex> hold(r.lock);
    if (!r.closedInstances.empty())
    {
      instance = r.closedInstances.back();
      r.closedInstances.pop_back();
    }
  }
  if (!instance) instance = new InstanceEntry;
  instance->component.store(component);
  instance->storage.store(nullptr);
  instance->error.store(noErr);
  instance->tag.store(Record::kInstanceTag);
  component->instances.fetch_add(1);
  return instance;
}

void RetireInstance(InstanceEntry* instance)
{
  instance->tag.store(Record::kClosedTag);
  instance->component.load()->instances.fetch_sub(1);
  instance->component.store(nullptr);
  instance->storage.store(nullptr);
  Registry& r = Components();
  std::lock_guard<std::mutex> hold(r.lock);
  r.closedInstances.push_back(instance);
}

bool Matches(const ComponentDescription& d, const ComponentDescription* looking)
{
  if (!looking) return true;
  if (looking->componentType && looking->componentType != d.componentType) return false;
  if (looking->componentSubType && looking->componentSubType != d.componentSubType) return false;
  if (looking->componentManufacturer && looking->componentManufacturer != d.componentManufacturer) return false;
  const UInt32 mask = looking->componentFlagsMask;
  return (d.componentFlags & mask) == (looking->componentFlags & mask);
}

bool SameDescription(const ComponentDescription& a, const ComponentDescription& b)
{
  return a.componentType == b.componentType && a.componentSubType == b.componentSubType &&
         a.componentManufacturer == b.componentManufacturer;
}

std::string PascalText(Handle h)
{
  if (!h || !*h) return std::string();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(*h);
  return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void WritePascal(Handle h, const std::string& text)
{
  const size_t n = text.size() < 255 ? text.size() : 255;
  SetHandleSize(h, static_cast<Size>(n + 1));
  if (MemError() != noErr) return;
  (*h)[0] = static_cast<char>(n);
  std::memcpy(*h + 1, text.data(), n);
}

}  // namespace

extern "C"
{

  Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint, SInt16 global,
                              Handle componentName, Handle componentInfo, Handle componentIcon)
  {
    (void)componentInfo;
    (void)componentIcon;
    if (!cd || !componentEntryPoint) return nullptr;
    Registry& r = Components();
    std::lock_guard<std::mutex> hold(r.lock);
    if (global & registerComponentNoDuplicates)
    {
      for (ComponentEntry* e : r.components)
        if (e->registered && SameDescription(e->description, *cd)) return nullptr;
    }
    auto* e = new ComponentEntry;
    e->description = *cd;
    e->description.componentFlagsMask = 0;
    e->entry = componentEntryPoint;
    e->name = PascalText(componentName);
    r.components.push_back(e);
    ++r.seed;
    return AsComponent(e);
  }

  OSErr UnregisterComponent(Component aComponent)
  {
    Registry& r = Components();
    std::lock_guard<std::mutex> hold(r.lock);
    ComponentEntry* e = ComponentOf(aComponent);
    if (!e || !e->registered || RecordOf(aComponent)->tag != Record::kComponentTag) return invalidComponentID;
    if (e->instances.load() > 0) return validInstancesExist;
    e->registered = false;
    ++r.seed;
    return noErr;
  }

  Component FindNextComponent(Component aComponent, ComponentDescription* looking)
  {
    Registry& r = Components();
    std::lock_guard<std::mutex> hold(r.lock);
    size_t start = 0;
    if (aComponent)
    {
      ComponentEntry* previous = ComponentOf(aComponent);
      for (size_t i = 0; i < r.components.size(); ++i)
        if (r.components[i] == previous) start = i + 1;
    }
    for (size_t i = start; i < r.components.size(); ++i)
      if (r.components[i]->registered && Matches(r.components[i]->description, looking))
        return AsComponent(r.components[i]);
    return nullptr;
  }

  long CountComponents(ComponentDescription* looking)
  {
    Registry& r = Components();
    std::lock_guard<std::mutex> hold(r.lock);
    long n = 0;
    for (ComponentEntry* e : r.components)
      if (e->registered && Matches(e->description, looking)) ++n;
    return n;
  }

  OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                         Handle componentIcon)
  {
    ComponentEntry* e = ComponentOf(aComponent);
    if (!e) return invalidComponentID;
    if (cd) *cd = e->description;
    if (componentName) WritePascal(componentName, e->name);
    if (componentInfo) SetHandleSize(componentInfo, 0);
    if (componentIcon) SetHandleSize(componentIcon, 0);
    return noErr;
  }

  long GetComponentListModSeed(void)
  {
    Registry& r = Components();
    std::lock_guard<std::mutex> hold(r.lock);
    return r.seed;
  }

  OSErr OpenAComponent(Component aComponent, ComponentInstance* ci)
  {
    if (!ci) return paramErr;
    *ci = nullptr;
    Record* rec = RecordOf(aComponent);
    ComponentEntry* e = rec && rec->tag == Record::kComponentTag ? static_cast<ComponentEntry*>(rec) : nullptr;
    if (!e || !e->registered) return invalidComponentID;
    InstanceEntry* instance = NewInstance(e);
    const ComponentInstance self = AsInstance(instance);
    // The entry stores its own state with SetComponentInstanceStorage while it opens.
    const ComponentResult result = compat::CallEntry(e->entry, nullptr, self, kComponentOpenSelect, self);
    if (result != noErr)
    {
      RetireInstance(instance);
      return static_cast<OSErr>(result);
    }
    *ci = self;
    return noErr;
  }

  ComponentInstance OpenComponent(Component aComponent)
  {
    ComponentInstance ci = nullptr;
    return OpenAComponent(aComponent, &ci) == noErr ? ci : nullptr;
  }

  OSErr CloseComponent(ComponentInstance aComponentInstance)
  {
    InstanceEntry* instance = InstanceOf(aComponentInstance);
    if (!instance) return invalidComponentID;  // badComponentInstance does not fit an OSErr
    const ComponentResult result = compat::CallEntry(instance->component.load()->entry, instance->storage.load(),
                                                     aComponentInstance, kComponentCloseSelect, aComponentInstance);
    RetireInstance(instance);
    return static_cast<OSErr>(result);
  }

  OSErr GetComponentInstanceError(ComponentInstance aComponentInstance)
  {
    InstanceEntry* instance = InstanceOf(aComponentInstance);
    return instance ? instance->error.exchange(noErr) : static_cast<OSErr>(invalidComponentID);
  }

  void SetComponentInstanceError(ComponentInstance aComponentInstance, OSErr theError)
  {
    if (InstanceEntry* instance = InstanceOf(aComponentInstance)) instance->error.store(theError);
  }

  Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance)
  {
    InstanceEntry* instance = InstanceOf(aComponentInstance);
    return instance ? instance->storage.load(std::memory_order_acquire) : nullptr;
  }

  void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage)
  {
    if (InstanceEntry* instance = InstanceOf(aComponentInstance))
      instance->storage.store(theStorage, std::memory_order_release);
  }

  long CountComponentInstances(Component aComponent)
  {
    ComponentEntry* e = ComponentOf(aComponent);
    return e ? e->instances.load() : 0;
  }

  long GetComponentRefcon(Component aComponent)
  {
    ComponentEntry* e = ComponentOf(aComponent);
    return e ? e->refcon.load() : 0;
  }

  void SetComponentRefcon(Component aComponent, long theRefcon)
  {
    if (ComponentEntry* e = ComponentOf(aComponent)) e->refcon.store(theRefcon);
  }

  long ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber)
  {
    return compat::CallComponent(ci, kComponentCanDoSelect, ftnNumber);
  }

  long GetComponentVersion(ComponentInstance ci) { return compat::CallComponent(ci, kComponentVersionSelect); }

  ComponentResult CallComponentFunctionWithStorage(Handle storage, ComponentParameters* params,
                                                   ComponentFunctionUPP func)
  {
    return func ? func(params, storage) : static_cast<ComponentResult>(badComponentSelector);
  }

  /* audio thread: no allocation, no locks (renders of a connected source come through here). */
  ComponentResult compat_CallComponent(ComponentInstance ci, ComponentParameters* params)
  {
    InstanceEntry* instance = InstanceOf(ci);
    if (!instance || !params) return badComponentInstance;
    ComponentEntry* component = instance->component.load(std::memory_order_acquire);
    if (!component) return badComponentInstance;
    return component->entry(params, instance->storage.load(std::memory_order_acquire));
  }

  Component compat_RegisterAudioUnit(ComponentRoutineProcPtr entry, OSType type, OSType subType, OSType manufacturer,
                                     const char* name)
  {
    ComponentDescription cd = {type, subType, manufacturer, 0, 0};
    Handle nameHandle = nullptr;
    if (name)
    {
      nameHandle = NewHandle(0);
      WritePascal(nameHandle, name);
    }
    Component c = RegisterComponent(&cd, entry, 0, nameHandle, nullptr, nullptr);
    if (nameHandle) DisposeHandle(nameHandle);
    return c;
  }

}  // extern "C"
