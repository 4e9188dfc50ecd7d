#pragma once
// The fuzz targets' host: opens the plug-in through its exported Audio Unit entry, as an
// older host does, with the shared Audio Unit host (tools/auhost/), and hands out the
// instance and the plug-in object behind it (for the framework's loaders, which a host
// reaches through the plug-in's own editor).
// Opening an instance costs far more than most inputs, so the loaders' targets share one
// per process and put it back to its opening state before each input (SharedPlugin).

#include <AudioUnit/AudioUnit.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "AudioUnitHost.h"

class IPlugAU;

namespace fuzz
{
class OpenedPlugin final
{
public:
  OpenedPlugin();
  ~OpenedPlugin();
  OpenedPlugin(const OpenedPlugin&) = delete;
  OpenedPlugin& operator=(const OpenedPlugin&) = delete;

  auhost::AudioUnitHost& Host() const { return *mHost; }
  AudioUnit Unit() const { return mHost->Unit(); }
  // The plug-in object, read once through the binding's plug-in object property.
  IPlugAU* Plug() const { return mPlug; }

private:
  std::unique_ptr<auhost::AudioUnitHost> mHost;
  IPlugAU* mPlug = nullptr;
};

// The process's shared instance, with its presets, current preset and parameters as
// they were when it opened.
OpenedPlugin& SharedPlugin();

// Reads the fuzz input front to back; past the end everything reads as zero.
class Reader final
{
public:
  Reader(const std::uint8_t* data, size_t size)
    : mData(data),
      mSize(size)
  {
  }
  bool Empty() const { return mPos >= mSize; }
  std::uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  std::uint16_t U16()
  {
    const std::uint16_t lo = Byte();
    return static_cast<std::uint16_t>(lo | (Byte() << 8));
  }
  std::uint64_t U64()
  {
    const std::uint64_t lo = U32();
    return lo | (static_cast<std::uint64_t>(U32()) << 32);
  }
  std::uint32_t U32()
  {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return v;
  }
  // Up to n bytes (fewer at the end); returns how many were taken.
  size_t Take(size_t n, const std::uint8_t** pBytes)
  {
    const size_t left = mPos < mSize ? mSize - mPos : 0;
    const size_t k = n < left ? n : left;
    *pBytes = mData + mPos;
    mPos += k;
    return k;
  }

private:
  const std::uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// Stops the run as a finding: an invariant the target checks did not hold.
[[noreturn]] void Fail(const char* what);
}  // namespace fuzz
