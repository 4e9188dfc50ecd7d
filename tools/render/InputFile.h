#pragma once
// Inputs opened so that nothing can hold a run uninterruptibly: a FIFO is opened
// without blocking and waited on until its writer comes (a signal ends the wait),
// and every descriptor that may block (pipes, devices, standard input) is cut off
// by a signal (Interruption.h). "-" is standard input.
//
// Threads: the main thread.

#include "Interruption.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class InputFile final
{
public:
  // Throws FileError(exitCode) naming the file: a folder, a terminal, or a file that
  // cannot be opened; RenderError (kExitInterrupted) when a signal ends the wait.
  InputFile(const std::string& path, int exitCode);
  ~InputFile();

  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  int Fd() const noexcept { return mFd; }
  // The name for messages: the path, or "standard input".
  const std::string& Name() const noexcept { return mName; }
  bool IsRegular() const noexcept { return mRegular; }
  // A pipe or socket: read front to back only.
  bool IsPipe() const noexcept { return mPipe; }
  // The size of a regular file.
  std::int64_t Size() const noexcept { return mSize; }

private:
  // What the descriptor is; a FIFO is waited on until its writer comes.
  void Inspect(int exitCode);
  void Release() noexcept;

  std::string mName;
  int mFd = -1;
  bool mOwned = false;
  bool mRegular = false, mPipe = false;
  std::int64_t mSize = 0;
  std::optional<InterruptCutOff> mCutOff;
};

// Reads a whole preset, bank or state file of at most limit bytes. A larger file is
// refused before it is read (a regular file by its size; anything else after
// limit + 1 bytes) with "larger than " + what. Throws FileError (kExitSettingsFile),
// or RenderError (kExitInterrupted).
std::vector<unsigned char> ReadSettingsFile(const std::string& path, std::size_t limit, const std::string& what);
