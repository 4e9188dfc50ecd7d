#pragma once
// The one kind of failure tesk-render reports: a one-line message (naming the file
// and the reason where a file is involved) and the exit code the program ends with.

#include <stdexcept>
#include <string>

// Exit codes, documented in --help; scripts may rely on them.
enum RenderExit
{
  kExitOK = 0,
  kExitUsage = 2,         // a bad option, parameter name or value, file name or format; one file named twice
  kExitInput = 3,         // the input audio cannot be read, or its format or channel count is not supported
  kExitOutput = 4,        // an output file cannot be written
  kExitSettingsFile = 5,  // a preset, bank or state file cannot be read, is malformed or too large
  kExitPlugin = 6,        // the plug-in refused a request
  kExitInterrupted = 130  // stopped by a signal; nothing was written
};

class RenderError final : public std::runtime_error
{
public:
  RenderError(int exitCode, const std::string& message)
    : std::runtime_error(message),
      mExitCode(exitCode)
  {
  }
  int ExitCode() const noexcept { return mExitCode; }

private:
  int mExitCode;
};

// "FILE: reason", the shape of every file-related message.
inline RenderError FileError(int exitCode, const std::string& path, const std::string& reason)
{
  return RenderError(exitCode, path + ": " + reason);
}
