// The framework's state restore on a real plug-in: UnserializeState (the parameter
// state a host saves) or UnserializePresets (the preset list), chosen by the first
// byte, from a start position given by the second, over the rest of the input. What
// restores must save, restore and save again to the same bytes.

#include "FuzzHost.h"
#include "IPlugAU.h"

#include <cstring>

namespace
{
bool Same(const ByteChunk& a, const ByteChunk& b)
{
  return a.Size() == b.Size() && std::memcmp(a.GetBytes(), b.GetBytes(), a.Size()) == 0;
}

template <class Save, class Restore>
void CheckRoundTrip(Save save, Restore restore)
{
  ByteChunk saved, again;
  if (!save(&saved)) fuzz::Fail("a restored state could not be saved");
  if (restore(&saved) <= 0) fuzz::Fail("a saved state was refused");
  save(&again);
  if (!Same(saved, again)) fuzz::Fail("a saved state did not restore to the same bytes");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > (1u << 20)) return -1;
  fuzz::Reader in(data, size);
  const bool presets = in.Byte() & 1;
  const int startPos = in.Byte() % 16;
  const std::uint8_t* bytes = nullptr;
  const size_t n = in.Take(size, &bytes);

  IPlugAU* plug = fuzz::SharedPlugin().Plug();
  ByteChunk chunk;
  chunk.PutBytes(bytes, static_cast<int>(n));
  WDL_MutexLock lock(plug->GetMutex());  // as the bindings call it
  if (presets)
  {
    if (plug->UnserializePresets(&chunk, startPos) > 0)
      CheckRoundTrip([&](ByteChunk* c) { return plug->SerializePresets(c); },
                     [&](ByteChunk* c) { return plug->UnserializePresets(c, 0); });
  }
  else if (plug->UnserializeState(&chunk, startPos) > 0)
  {
    CheckRoundTrip([&](ByteChunk* c) { return plug->SerializeState(c); },
                   [&](ByteChunk* c) { return plug->UnserializeState(c, 0); });
  }
  return 0;
}
