// tesk-render: processes audio files through the Tesk plug-in, opened through its
// Audio Unit entry exactly as a host opens it. See --help.

#include "Interruption.h"
#include "RenderError.h"
#include "RenderJob.h"
#include "RenderOptions.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

namespace
{
// Every failure is one line, whatever a library put into its reason.
int Fail(const std::string& message, int exitCode)
{
  std::string line = "tesk-render: " + message;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", line.c_str());
  return exitCode;
}
}  // namespace

int main(int argc, char** argv)
{
  InstallInterruptHandlers();
  try
  {
    RenderJob job(ParseRenderOptions(argc, argv));
    job.Run();
    return kExitOK;
  }
  catch (const RenderError& e)
  {
    // A failure that a signal caused (a cut-off pipe) is the interruption.
    return Interrupted() ? Fail("interrupted; no output was written", kExitInterrupted) : Fail(e.what(), e.ExitCode());
  }
  catch (const std::exception& e)
  {
    return Fail(std::string("internal error: ") + e.what(), 1);
  }
}
