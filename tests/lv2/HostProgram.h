#pragma once
// The host programs the LV2 tests run (lv2ls, lv2apply, jackd, jalv, ardour7-lua, ...):
// each started with fork/exec and an argument vector (never a shell), its output going
// to a file in the test's scratch folder, and stopped by its own process ID: SIGTERM,
// then SIGKILL when it does not end in time. The destructor stops whatever still runs,
// so no test leaves a process behind.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lv2_test
{
// The full path of a program on $PATH; "" when it is not installed.
std::string FindHostProgram(const char* name);

class HostProgram final
{
public:
  HostProgram() = default;
  ~HostProgram() { Stop(); }
  HostProgram(const HostProgram&) = delete;
  HostProgram& operator=(const HostProgram&) = delete;

  // The folder the next Start runs the program in (default: the test's own).
  void SetWorkingFolder(const std::filesystem::path& folder) { mFolder = folder; }
  // Starts argv[0] (looked up on $PATH) with the extra environment entries
  // ("NAME=value"), standard output and error to `log`, standard input from a pipe the
  // test writes to (Send) or /dev/null. False with a reason when it cannot start.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::filesystem::path& log, bool withInput, std::string* pError);
  // Writes to the program's standard input.
  bool Send(const std::string& text);
  // Closes its standard input.
  void CloseInput();
  // True while it runs.
  bool Running();
  // Waits up to `seconds` for it to end; its exit code, or -1 when it did not end, was
  // killed by a signal or never started.
  int Wait(double seconds);
  // Stops it: SIGTERM, up to five seconds, then SIGKILL; waits for it either way.
  void Stop();
  pid_t Pid() const noexcept { return mPid; }
  // What it has written so far.
  std::string Output() const;

private:
  pid_t mPid = -1;
  int mInput = -1;
  int mStatus = -1;
  bool mEnded = false;
  std::filesystem::path mLog, mFolder;
};

struct ProgramResult
{
  int exitCode = -1;  // -1: killed, timed out or not started
  std::string output;
};

// Runs a program to its end (at most `seconds`, then it is stopped) and returns its
// exit code and output.
ProgramResult RunHostProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                             const std::filesystem::path& scratch, double seconds = 60.0);

// A scratch folder for one test, removed with everything in it at the end.
class ScratchFolder final
{
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const noexcept { return mPath; }
  std::filesystem::path operator/(const std::string& name) const { return mPath / name; }

private:
  std::filesystem::path mPath;
};
}  // namespace lv2_test
