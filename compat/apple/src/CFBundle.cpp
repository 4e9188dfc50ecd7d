// Bundles: the host program's own and those registered by identifier, each a folder with an
// optional executable and resources folder.
#include "CFObject.h"

#include <CompatHooks.h>

#include <climits>
#include <map>
#include <mutex>
#include <unistd.h>
#include <vector>

struct __CFBundle final : compat::CFObject
{
  __CFBundle()
    : CFObject(compat::kTypeBundle, nullptr, true)
  {
  }
  std::string Describe() const override { return "<CFBundle " + folder + ">"; }
  std::string identifier;  // empty: none
  std::string folder;
  std::string executable;  // empty: unknown
  std::string resources;   // empty: the folder itself
  CFStringRef identifierObject = nullptr;
};

namespace
{

/* Bundles are never freed: callers keep the pointers the lookups give them. */
struct BundleTable
{
  std::mutex lock;
  std::map<std::string, __CFBundle*> byIdentifier;
  std::vector<__CFBundle*> unregistered;
  __CFBundle* main = nullptr;
};

BundleTable& Table()
{
  static BundleTable* table = new BundleTable;
  return *table;
}

std::string ProgramPath()
{
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return std::string();
  return std::string(path, static_cast<size_t>(n));
}

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SetIdentifier(__CFBundle* b, const char* identifier)
{
  b->identifier = identifier ? identifier : "";
  // The old identifier string is kept alive: callers may still hold it under the get rule.
  b->identifierObject = identifier ? __CFStringMakeConstantString(identifier) : nullptr;
}

__CFBundle* MainBundleLocked(BundleTable& t)
{
  if (!t.main)
  {
    t.main = new __CFBundle;
    t.main->executable = ProgramPath();
    t.main->folder = FolderOf(t.main->executable);
  }
  return t.main;
}

const __CFBundle* BundleOf(CFBundleRef bundle, const char* function)
{
  return compat::Checked<const __CFBundle>(bundle, compat::kTypeBundle, function);
}

CFURLRef FileURL(const std::string& path, bool isDirectory)
{
  if (path.empty()) return nullptr;
  return CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(path.c_str()),
                                                 static_cast<CFIndex>(path.size()), isDirectory);
}

/* A copy of one field, taken under the table lock since registration may change it. */
std::string Field(CFBundleRef bundle, std::string __CFBundle::*field, const char* function)
{
  const __CFBundle* b = BundleOf(bundle, function);
  std::lock_guard<std::mutex> hold(Table().lock);
  return b->*field;
}

}  // namespace

extern "C"
{

  const CFStringRef kCFBundleIdentifierKey = __CFStringMakeConstantString("CFBundleIdentifier");
  const CFStringRef kCFBundleNameKey = __CFStringMakeConstantString("CFBundleName");
  const CFStringRef kCFBundleVersionKey = __CFStringMakeConstantString("CFBundleVersion");
  const CFStringRef kCFBundleExecutableKey = __CFStringMakeConstantString("CFBundleExecutable");

  Boolean compat_RegisterBundle(const char* identifier, const char* bundlePath, const char* executablePath,
                                const char* resourcesPath)
  {
    if (!identifier || !*identifier || !bundlePath || !*bundlePath) return false;
    BundleTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    __CFBundle*& b = t.byIdentifier[identifier];
    if (!b)
    {
      b = new __CFBundle;
      SetIdentifier(b, identifier);
    }
    b->folder = bundlePath;
    b->executable = executablePath ? executablePath : "";
    b->resources = resourcesPath ? resourcesPath : "";
    return true;
  }

  void compat_UnregisterBundle(const char* identifier)
  {
    if (!identifier) return;
    BundleTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    // The object itself stays valid for anyone who still holds it; it just cannot be found.
    auto found = t.byIdentifier.find(identifier);
    if (found == t.byIdentifier.end()) return;
    t.unregistered.push_back(found->second);
    t.byIdentifier.erase(found);
  }

  void compat_SetMainBundle(const char* identifier, const char* bundlePath, const char* executablePath)
  {
    BundleTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    __CFBundle* b = MainBundleLocked(t);
    SetIdentifier(b, identifier);
    if (bundlePath) b->folder = bundlePath;
    if (executablePath) b->executable = executablePath;
  }

  CFTypeID CFBundleGetTypeID(void) { return compat::kTypeBundle; }

  CFBundleRef CFBundleGetMainBundle(void)
  {
    BundleTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    return MainBundleLocked(t);
  }

  CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID)
  {
    const std::string& id = compat::StringUTF8(bundleID, "CFBundleGetBundleWithIdentifier");
    BundleTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    auto found = t.byIdentifier.find(id);
    if (found != t.byIdentifier.end()) return found->second;
    __CFBundle* main = MainBundleLocked(t);
    return !id.empty() && main->identifier == id ? main : nullptr;
  }

  CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
  {
    const __CFBundle* b = BundleOf(bundle, "CFBundleGetIdentifier");
    std::lock_guard<std::mutex> hold(Table().lock);
    return b->identifierObject;
  }

  CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
  {
    return FileURL(Field(bundle, &__CFBundle::folder, "CFBundleCopyBundleURL"), true);
  }

  CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
  {
    return FileURL(Field(bundle, &__CFBundle::executable, "CFBundleCopyExecutableURL"), false);
  }

  CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
  {
    std::string resources = Field(bundle, &__CFBundle::resources, "CFBundleCopyResourcesDirectoryURL");
    if (resources.empty()) resources = Field(bundle, &__CFBundle::folder, "CFBundleCopyResourcesDirectoryURL");
    return FileURL(resources, true);
  }

  CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                   CFStringRef subDirName)
  {
    if (!resourceName) return nullptr;
    std::string path = Field(bundle, &__CFBundle::resources, "CFBundleCopyResourceURL");
    if (path.empty()) path = Field(bundle, &__CFBundle::folder, "CFBundleCopyResourceURL");
    if (subDirName) path += "/" + compat::StringUTF8(subDirName, "CFBundleCopyResourceURL");
    path += "/" + compat::StringUTF8(resourceName, "CFBundleCopyResourceURL");
    if (resourceType)
    {
      const std::string& type = compat::StringUTF8(resourceType, "CFBundleCopyResourceURL");
      if (!type.empty()) path += (type[0] == '.' ? "" : ".") + type;
    }
    if (access(path.c_str(), F_OK) != 0) return nullptr;
    return FileURL(path, false);
  }

  CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
  {
    if (!key) return nullptr;
    if (CFEqual(key, kCFBundleIdentifierKey)) return CFBundleGetIdentifier(bundle);
    if (CFEqual(key, kCFBundleExecutableKey))
    {
      const std::string exe = Field(bundle, &__CFBundle::executable, "CFBundleGetValueForInfoDictionaryKey");
      if (exe.empty()) return nullptr;
      return __CFStringMakeConstantString(exe.substr(exe.rfind('/') + 1).c_str());
    }
    return nullptr;
  }

}  // extern "C"
