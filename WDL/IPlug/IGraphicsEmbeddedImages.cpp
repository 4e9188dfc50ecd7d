#include "IGraphicsEmbeddedImages.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>

#include "lice.h"

namespace
{
struct ImageData
{
  const unsigned char* mData;
  size_t mSize;
};

// Created on first use: registrations run from static constructors of other
// translation units, whose order relative to ours is unspecified.
struct ImageRegistry
{
  std::mutex mMutex;
  std::map<std::string, ImageData> mImages;
};

ImageRegistry& Registry()
{
  static ImageRegistry registry;
  return registry;
}

// The resource name: the last path component without its extension; empty when
// the text after the whole name's last '.' is not "png" in some case.
std::string ImageKey(const char* fileName)
{
  if (!fileName) return {};
  const char* dot = std::strrchr(fileName, '.');
  const char* ext = dot ? dot + 1 : fileName;
  if (strcasecmp(ext, "png") != 0) return {};
  const char* slash = std::strrchr(fileName, '/');
  const char* base = slash ? slash + 1 : fileName;
  const char* baseDot = std::strrchr(base, '.');
  return baseDot ? std::string(base, static_cast<size_t>(baseDot - base)) : std::string(base);
}

bool Lookup(const char* fileName, ImageData* pOut)
{
  const std::string key = ImageKey(fileName);
  if (key.empty()) return false;
  ImageRegistry& reg = Registry();
  std::lock_guard<std::mutex> lock(reg.mMutex);
  const auto it = reg.mImages.find(key);
  if (it == reg.mImages.end()) return false;
  if (pOut) *pOut = it->second;
  return true;
}
}  // namespace

bool RegisterEmbeddedImage(const char* fileName, const unsigned char* data, size_t size)
{
  const std::string key = ImageKey(fileName);
  if (key.empty() || !data) return false;
  ImageRegistry& reg = Registry();
  std::lock_guard<std::mutex> lock(reg.mMutex);
  reg.mImages[key] = ImageData{data, size};
  return true;
}

bool HasEmbeddedImage(const char* fileName) { return Lookup(fileName, nullptr); }

LICE_IBitmap* LoadEmbeddedImage(const char* fileName)
{
  ImageData image{};
  if (!Lookup(fileName, &image)) return nullptr;
  return LICE_LoadPNGFromMemory(image.mData, image.mSize);
}
