#include "Interruption.h"

#include "RenderError.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace
{
// The input, the audio output and the other outputs: room for all at once.
constexpr int kCutOffSlots = 8;

volatile std::sig_atomic_t gInterrupted = 0;
// Descriptors to cut off, -1 for a free slot.
volatile std::sig_atomic_t gCutOff[kCutOffSlots] = {-1, -1, -1, -1, -1, -1, -1, -1};
// /dev/null, and the pipe the handler writes a byte into to wake a wait.
int gNull = -1;
int gWakeRead = -1, gWakeWrite = -1;

extern "C" void OnInterrupt(int)
{
  const int savedErrno = errno;
  gInterrupted = 1;
  for (int i = 0; i < kCutOffSlots; ++i)
    if (gCutOff[i] >= 0 && gNull >= 0) dup2(gNull, gCutOff[i]);
  if (gWakeWrite >= 0)
  {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(gWakeWrite, &byte, 1);
  }
  errno = savedErrno;
}

// Polls fd (or only the wake pipe when fd < 0) for up to timeout ms (-1: no limit).
void Wait(int fd, int timeout)
{
  ThrowIfInterrupted();
  pollfd fds[2] = {{gWakeRead, POLLIN, 0}, {fd, POLLIN, 0}};
  while (poll(fds, fd >= 0 ? 2 : 1, timeout) < 0 && errno == EINTR) ThrowIfInterrupted();
  ThrowIfInterrupted();
}
}  // namespace

void InstallInterruptHandlers()
{
  gNull = open("/dev/null", O_RDWR | O_CLOEXEC);
  int wake[2];
  if (pipe(wake) == 0)
  {
    for (int fd : wake)
    {
      fcntl(fd, F_SETFD, FD_CLOEXEC);
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);  // a full pipe has woken enough
    }
    gWakeRead = wake[0];
    gWakeWrite = wake[1];
  }
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  action.sa_flags = 0;  // no SA_RESTART: a blocked call returns with EINTR
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

bool Interrupted() noexcept { return gInterrupted != 0; }

void ThrowIfInterrupted()
{
  if (gInterrupted) throw RenderError(kExitInterrupted, "interrupted; no output was written");
}

InterruptCutOff::InterruptCutOff(int fd) noexcept
{
  for (int i = 0; i < kCutOffSlots && fd >= 0; ++i)
    if (gCutOff[i] < 0)
    {
      gCutOff[i] = fd;
      mSlot = i;
      break;
    }
  // A signal that came before the registration finds nothing to cut: do it now.
  if (mSlot >= 0 && gInterrupted && gNull >= 0) dup2(gNull, fd);
}

InterruptCutOff::~InterruptCutOff()
{
  if (mSlot >= 0) gCutOff[mSlot] = -1;
}

void WaitUntilReadable(int fd) { Wait(fd, -1); }

void PauseInterruptibly(int milliseconds) { Wait(-1, milliseconds); }
