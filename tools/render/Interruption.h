#pragma once
// How SIGINT and SIGTERM end a run, wherever it waits. The handler records the
// signal, wakes the interruptible waits below and cuts off every descriptor
// registered as one that may block: it points them at /dev/null (dup2 is safe in
// a handler), so a read blocked inside a library returns end-of-file at once and a
// write blocked on a full pipe completes into nothing. The run then sees
// Interrupted() at its next check and unwinds, removing its temporary files.
//
// Threads: tesk-render runs on one thread, and the handler runs on it.

#include <csignal>

// Installs the handlers (without SA_RESTART, so a blocked call returns) and ignores
// SIGPIPE (a reader that goes away is a write error, reported like any other).
// Once, at the start of main.
void InstallInterruptHandlers();

bool Interrupted() noexcept;
// Throws RenderError (kExitInterrupted) once a signal came.
void ThrowIfInterrupted();

// While it lives, a signal cuts fd off (see above). Destroy it before closing fd.
class InterruptCutOff final
{
public:
  explicit InterruptCutOff(int fd) noexcept;
  ~InterruptCutOff();

  InterruptCutOff(const InterruptCutOff&) = delete;
  InterruptCutOff& operator=(const InterruptCutOff&) = delete;

private:
  int mSlot = -1;
};

// Waits until fd has data or its writer has gone. Throws when interrupted.
void WaitUntilReadable(int fd);
// Waits up to milliseconds. Throws when interrupted.
void PauseInterruptibly(int milliseconds);
