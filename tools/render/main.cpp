// tesk-render: processes audio files through the Tesk plug-in, opened through its
// Audio Unit entry exactly as a host opens it. See --help.

#include "RenderError.h"
#include "RenderJob.h"
#include "RenderOptions.h"

#include <csignal>
#include <cstdio>
#include <exception>

namespace
{
extern "C" void OnInterrupt(int) { gRenderInterrupted = 1; }
}  // namespace

int main(int argc, char** argv)
{
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  try
  {
    RenderJob job(ParseRenderOptions(argc, argv));
    job.Run();
    return kExitOK;
  }
  catch (const RenderError& e)
  {
    std::fflush(stdout);
    std::fprintf(stderr, "tesk-render: %s\n", e.what());
    return e.ExitCode();
  }
  catch (const std::exception& e)
  {
    std::fflush(stdout);
    std::fprintf(stderr, "tesk-render: internal error: %s\n", e.what());
    return 1;
  }
}
