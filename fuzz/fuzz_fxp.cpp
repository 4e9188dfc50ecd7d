// The program-file (.fxp) loader on a real plug-in, from memory. A file the loader
// takes must save and load again to the same bytes; one it refuses must change nothing.

#include "FuzzHost.h"
#include "IPlugAU.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  if (size > (1u << 20)) return -1;
  IPlugAU* plug = fuzz::SharedPlugin().Plug();
  ByteChunk before;
  if (!plug->MakeProgramFXP(&before)) fuzz::Fail("the current program could not be saved");

  if (!plug->LoadProgramFXP(data, static_cast<int>(size)))
  {
    ByteChunk after;
    plug->MakeProgramFXP(&after);
    if (after.Size() != before.Size() || std::memcmp(after.GetBytes(), before.GetBytes(), after.Size()) != 0)
      fuzz::Fail("a refused program file changed the plug-in");
    return 0;
  }
  ByteChunk saved, again;
  if (!plug->MakeProgramFXP(&saved)) fuzz::Fail("a loaded program could not be saved");
  if (!plug->LoadProgramFXP(saved.GetBytes(), saved.Size())) fuzz::Fail("a saved program was refused");
  plug->MakeProgramFXP(&again);
  if (again.Size() != saved.Size() || std::memcmp(again.GetBytes(), saved.GetBytes(), saved.Size()) != 0)
    fuzz::Fail("a saved program did not load back to the same bytes");
  return 0;
}
