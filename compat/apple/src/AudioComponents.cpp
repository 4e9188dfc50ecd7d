// Audio components as the system keeps them: found in the components folders through each
// bundle's Info.plist (AudioComponents), loaded when the first instance is made, and opened
// through the factory function the plist names. Components registered in the process
// (AudioComponentRegister) sit beside them.
#include <AudioUnit/AudioUnit.h>
#include <CompatHooks.h>

#include "ComponentRecords.h"
#include "PropertyListXML.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <dlfcn.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
using Record = compat::ComponentRecord;

struct AudioComponentEntry final : Record
{
  AudioComponentEntry()
    : Record(kAudioComponentTag)
  {
  }
  AudioComponentDescription description{};
  std::string name;
  UInt32 version = 0;
  // Set by AudioComponentRegister, or once the bundle's executable is loaded.
  std::atomic<AudioComponentFactoryFunction> factory{nullptr};
  std::string executable;   // the bundle's executable, empty for registered factories
  std::string factoryName;  // the symbol the plist names
};

struct AudioInstanceEntry final : Record
{
  AudioInstanceEntry()
    : Record(kClosedTag)
  {
  }
  std::atomic<AudioComponentEntry*> component{nullptr};
  std::atomic<AudioComponentPlugInInterface*> plugIn{nullptr};
};

struct Registry
{
  std::mutex lock;
  std::vector<AudioComponentEntry*> components;
  std::vector<AudioInstanceEntry*> closedInstances;
  std::vector<std::string> folders;
  std::set<std::string> scanned;
};

Registry& Audio()
{
  static Registry* registry = [] {
    auto* r = new Registry;
    // The folders the system looks in for the user's and the machine's components.
    if (const char* home = std::getenv("HOME"))
      r->folders.push_back(std::string(home) + "/Library/Audio/Plug-Ins/Components");
    r->folders.push_back("/Library/Audio/Plug-Ins/Components");
    return r;
  }();
  return *registry;
}

AudioComponentEntry* ComponentOf(AudioComponent c)
{
  Record* r = Record::Of(c);
  return r && r->Is(Record::kAudioComponentTag) ? static_cast<AudioComponentEntry*>(r) : nullptr;
}

AudioInstanceEntry* InstanceOf(const void* handle)
{
  Record* r = Record::Of(handle);
  return r && r->Is(Record::kAudioInstanceTag) ? static_cast<AudioInstanceEntry*>(r) : nullptr;
}

AudioComponent AsComponent(AudioComponentEntry* e) { return reinterpret_cast<AudioComponent>(static_cast<Record*>(e)); }

// A four-character code written as text in a plist ("aufx").
bool FourCC(const compat::PlistValue* v, OSType* pCode)
{
  if (!v || v->kind != compat::PlistValue::kString || v->text.size() != 4) return false;
  *pCode = 0;
  for (unsigned char c : v->text) *pCode = (*pCode << 8) | c;
  return true;
}

const std::string* Text(const compat::PlistValue* dict, const char* key)
{
  const compat::PlistValue* v = dict->Find(key);
  return v && v->kind == compat::PlistValue::kString ? &v->text : nullptr;
}

// Registers what one bundle declares; a bundle whose plist cannot be read, or that names no
// executable, declares nothing, and so does an entry without its codes or factory.
void ScanBundle(Registry& r, const std::string& bundle)
{
  const std::string contents = bundle + "/Contents";
  const std::unique_ptr<compat::PlistValue> plist = compat::ReadXMLPropertyList(contents + "/Info.plist");
  if (!plist || plist->kind != compat::PlistValue::kDictionary) return;
  const std::string* executable = Text(plist.get(), "CFBundleExecutable");
  const compat::PlistValue* list = plist->Find("AudioComponents");
  if (!executable || !list || list->kind != compat::PlistValue::kArray) return;
  const std::string executablePath = contents + "/MacOS/" + *executable;
  if (const std::string* identifier = Text(plist.get(), "CFBundleIdentifier"))
    compat_RegisterBundle(identifier->c_str(), bundle.c_str(), executablePath.c_str(),
                          (contents + "/Resources").c_str());

  for (const compat::PlistValue& item : list->items)
  {
    if (item.kind != compat::PlistValue::kDictionary) continue;
    auto e = std::make_unique<AudioComponentEntry>();
    const std::string* factory = Text(&item, "factoryFunction");
    if (!FourCC(item.Find("type"), &e->description.componentType) ||
        !FourCC(item.Find("subtype"), &e->description.componentSubType) ||
        !FourCC(item.Find("manufacturer"), &e->description.componentManufacturer) || !factory)
      continue;
    if (const std::string* name = Text(&item, "name")) e->name = *name;
    if (const compat::PlistValue* v = item.Find("version"); v && v->kind == compat::PlistValue::kInteger)
      e->version = static_cast<UInt32>(v->integer);
    if (const compat::PlistValue* v = item.Find("sandboxSafe");
        v && v->kind == compat::PlistValue::kBoolean && v->boolean)
      e->description.componentFlags |= kAudioComponentFlag_SandboxSafe;
    e->executable = executablePath;
    e->factoryName = *factory;
    r.components.push_back(e.release());
  }
}

// Every *.component bundle of the folders not scanned yet, in name order. Lock held.
void ScanFolders(Registry& r)
{
  for (const std::string& folder : r.folders)
  {
    if (!r.scanned.insert(folder).second) continue;
    DIR* dir = opendir(folder.c_str());
    if (!dir) continue;
    std::vector<std::string> bundles;
    while (const dirent* d = readdir(dir))
    {
      const std::string name = d->d_name;
      const std::string suffix = ".component";
      if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        bundles.push_back(folder + "/" + name);
    }
    closedir(dir);
    std::sort(bundles.begin(), bundles.end());
    for (const std::string& b : bundles) ScanBundle(r, b);
  }
}

bool Matches(const AudioComponentDescription& d, const AudioComponentDescription* looking)
{
  if (!looking) return true;
  if (looking->componentType && looking->componentType != d.componentType) return false;
  if (looking->componentSubType && looking->componentSubType != d.componentSubType) return false;
  if (looking->componentManufacturer && looking->componentManufacturer != d.componentManufacturer) return false;
  const UInt32 mask = looking->componentFlagsMask;
  return (d.componentFlags & mask) == (looking->componentFlags & mask);
}

// The component's factory, loading its bundle's executable the first time.
AudioComponentFactoryFunction FactoryOf(AudioComponentEntry* e)
{
  if (AudioComponentFactoryFunction f = e->factory.load()) return f;
  Registry& r = Audio();
  std::lock_guard<std::mutex> hold(r.lock);
  if (AudioComponentFactoryFunction f = e->factory.load()) return f;
  // Bundles stay loaded for the life of the process, as on the original platform.
  void* image = dlopen(e->executable.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!image) return nullptr;
  auto f = reinterpret_cast<AudioComponentFactoryFunction>(dlsym(image, e->factoryName.c_str()));
  e->factory.store(f);
  return f;
}

AudioInstanceEntry* NewInstance()
{
  Registry& r = Audio();
  std::lock_guard<std::mutex> hold(r.lock);
  if (r.closedInstances.empty()) return new AudioInstanceEntry;
  AudioInstanceEntry* instance = r.closedInstances.back();
  r.closedInstances.pop_back();
  return instance;
}

void RetireInstance(AudioInstanceEntry* instance)
{
  instance->tag.store(Record::kClosedTag, std::memory_order_release);
  instance->plugIn.store(nullptr);
  instance->component.store(nullptr);
  Registry& r = Audio();
  std::lock_guard<std::mutex> hold(r.lock);
  r.closedInstances.push_back(instance);
}
}  // namespace

namespace compat
{
AudioComponentPlugInInterface* PlugInOf(const void* handle)
{
  AudioInstanceEntry* instance = InstanceOf(handle);
  return instance ? instance->plugIn.load(std::memory_order_acquire) : nullptr;
}
}  // namespace compat

extern "C"
{
  AudioComponent AudioComponentFindNext(AudioComponent inComponent, const AudioComponentDescription* inDesc)
  {
    Registry& r = Audio();
    std::lock_guard<std::mutex> hold(r.lock);
    ScanFolders(r);
    size_t start = 0;
    if (inComponent)
    {
      const auto found = std::find(r.components.begin(), r.components.end(), ComponentOf(inComponent));
      if (found == r.components.end()) return nullptr;
      start = static_cast<size_t>(found - r.components.begin()) + 1;
    }
    for (size_t i = start; i < r.components.size(); ++i)
      if (Matches(r.components[i]->description, inDesc)) return AsComponent(r.components[i]);
    return nullptr;
  }

  UInt32 AudioComponentCount(const AudioComponentDescription* inDesc)
  {
    Registry& r = Audio();
    std::lock_guard<std::mutex> hold(r.lock);
    ScanFolders(r);
    return static_cast<UInt32>(
      std::count_if(r.components.begin(), r.components.end(),
                    [&](const AudioComponentEntry* e) { return Matches(e->description, inDesc); }));
  }

  OSStatus AudioComponentCopyName(AudioComponent inComponent, CFStringRef* outName)
  {
    AudioComponentEntry* e = ComponentOf(inComponent);
    if (!e || !outName) return paramErr;
    *outName = CFStringCreateWithCString(kCFAllocatorDefault, e->name.c_str(), kCFStringEncodingUTF8);
    return *outName ? noErr : static_cast<OSStatus>(coreFoundationUnknownErr);
  }

  OSStatus AudioComponentGetDescription(AudioComponent inComponent, AudioComponentDescription* outDesc)
  {
    AudioComponentEntry* e = ComponentOf(inComponent);
    if (!e || !outDesc) return paramErr;
    *outDesc = e->description;
    return noErr;
  }

  OSStatus AudioComponentGetVersion(AudioComponent inComponent, UInt32* outVersion)
  {
    AudioComponentEntry* e = ComponentOf(inComponent);
    if (!e || !outVersion) return paramErr;
    *outVersion = e->version;
    return noErr;
  }

  OSStatus AudioComponentInstanceNew(AudioComponent inComponent, AudioComponentInstance* outInstance)
  {
    if (!outInstance) return paramErr;
    *outInstance = nullptr;
    AudioComponentEntry* e = ComponentOf(inComponent);
    if (!e) return paramErr;
    const AudioComponentFactoryFunction factory = FactoryOf(e);
    if (!factory) return kAudioUnitErr_FailedInitialization;
    AudioComponentPlugInInterface* plugIn = factory(&e->description);
    if (!plugIn || !plugIn->Open || !plugIn->Close || !plugIn->Lookup) return kAudioUnitErr_FailedInitialization;

    AudioInstanceEntry* instance = NewInstance();
    instance->component.store(e);
    instance->plugIn.store(plugIn);
    instance->tag.store(Record::kAudioInstanceTag, std::memory_order_release);
    const auto handle = reinterpret_cast<AudioComponentInstance>(static_cast<Record*>(instance));
    const OSStatus result = plugIn->Open(plugIn, handle);
    if (result != noErr)
    {
      plugIn->Close(plugIn);  // the record is the plug-in's to free
      RetireInstance(instance);
      return result;
    }
    *outInstance = handle;
    return noErr;
  }

  OSStatus AudioComponentInstanceDispose(AudioComponentInstance inInstance)
  {
    AudioInstanceEntry* instance = InstanceOf(inInstance);
    if (!instance) return paramErr;
    AudioComponentPlugInInterface* plugIn = instance->plugIn.load();
    const OSStatus result = plugIn->Close(plugIn);
    RetireInstance(instance);
    return result;
  }

  AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance inInstance)
  {
    AudioInstanceEntry* instance = InstanceOf(inInstance);
    return instance ? AsComponent(instance->component.load()) : nullptr;
  }

  Boolean AudioComponentInstanceCanDo(AudioComponentInstance inInstance, SInt16 inSelectorID)
  {
    AudioComponentPlugInInterface* plugIn = compat::PlugInOf(inInstance);
    return plugIn && plugIn->Lookup(inSelectorID) != nullptr;
  }

  AudioComponent AudioComponentRegister(const AudioComponentDescription* inDesc, CFStringRef inName, UInt32 inVersion,
                                        AudioComponentFactoryFunction inFactory)
  {
    if (!inDesc || !inFactory) return nullptr;
    auto* e = new AudioComponentEntry;
    e->description = *inDesc;
    e->description.componentFlagsMask = 0;
    e->version = inVersion;
    e->factory.store(inFactory);
    char name[256] = "";
    if (inName && CFStringGetCString(inName, name, sizeof(name), kCFStringEncodingUTF8)) e->name = name;
    Registry& r = Audio();
    std::lock_guard<std::mutex> hold(r.lock);
    r.components.push_back(e);
    return AsComponent(e);
  }

  void compat_AddAudioComponentFolder(const char* folder)
  {
    if (!folder) return;
    Registry& r = Audio();
    std::lock_guard<std::mutex> hold(r.lock);
    if (std::find(r.folders.begin(), r.folders.end(), folder) == r.folders.end()) r.folders.push_back(folder);
  }
}  // extern "C"
