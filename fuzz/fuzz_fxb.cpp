// The bank-file (.fxb) loader on a real plug-in, from memory. A bank the loader takes
// must save and load again to the same bytes; one it refuses must change nothing.

#include "FuzzHost.h"
#include "IPlugAU.h"

#include <cstring>

namespace
{
bool Same(const ByteChunk& a, const ByteChunk& b)
{
  return a.Size() == b.Size() && std::memcmp(a.GetBytes(), b.GetBytes(), a.Size()) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > (1u << 20)) return -1;
  IPlugAU* plug = fuzz::SharedPlugin().Plug();
  ByteChunk before;
  if (!plug->MakeBankFXB(&before)) fuzz::Fail("the current bank could not be saved");

  if (!plug->LoadBankFXB(data, static_cast<int>(size)))
  {
    ByteChunk after;
    plug->MakeBankFXB(&after);
    if (!Same(before, after)) fuzz::Fail("a refused bank file changed the plug-in");
    return 0;
  }
  ByteChunk saved, again;
  if (!plug->MakeBankFXB(&saved)) fuzz::Fail("a loaded bank could not be saved");
  if (!plug->LoadBankFXB(saved.GetBytes(), saved.Size())) fuzz::Fail("a saved bank was refused");
  plug->MakeBankFXB(&again);
  if (!Same(saved, again)) fuzz::Fail("a saved bank did not load back to the same bytes");
  return 0;
}
