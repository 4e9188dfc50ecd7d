// Starting, feeding and stopping the host programs (see HostProgram.h).

#include "HostProgram.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lv2_test
{
std::string FindHostProgram(const char* name)
{
  if (std::strchr(name, '/')) return access(name, X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');)
  {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

bool HostProgram::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                        const std::filesystem::path& log, bool withInput, std::string* pError)
{
  const std::string program = FindHostProgram(argv.at(0).c_str());
  if (program.empty()) return *pError = argv[0] + " is not installed", false;
  // Everything the child needs is prepared before fork: it only calls async-signal-safe
  // functions afterwards.
  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
  for (const std::string& add : env)
  {
    const std::string name = add.substr(0, add.find('=') + 1);
    std::erase_if(envStrings, [&](const std::string& s) { return s.rfind(name, 0) == 0; });
    envStrings.push_back(add);
  }
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) return *pError = "cannot write " + log.string(), false;
  int in[2] = {-1, -1};
  if (withInput ? pipe2(in, O_CLOEXEC) != 0 : (in[0] = open("/dev/null", O_RDONLY | O_CLOEXEC)) < 0)
  {
    close(out);
    return *pError = "no pipe for standard input", false;
  }
  mLog = log;
  const std::string folder = mFolder.string();
  mPid = fork();
  if (mPid == 0)
  {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    dup2(in[0], STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    execve(program.c_str(), args.data(), envp.data());
    _exit(127);
  }
  close(out);
  close(in[0]);
  mInput = in[1];
  if (mPid < 0)
  {
    CloseInput();
    return *pError = "fork failed", false;
  }
  mEnded = false;
  return true;
}

bool HostProgram::Send(const std::string& text)
{
  if (mInput < 0) return false;
  // A program that has gone away must not end the test with SIGPIPE.
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previous);
  const bool ok = write(mInput, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  sigaction(SIGPIPE, &previous, nullptr);
  return ok;
}

void HostProgram::CloseInput()
{
  if (mInput >= 0) close(mInput);
  mInput = -1;
}

bool HostProgram::Running()
{
  if (mPid <= 0 || mEnded) return false;
  int status = 0;
  if (waitpid(mPid, &status, WNOHANG) == mPid)
  {
    mEnded = true;
    mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
  }
  return true;
}

int HostProgram::Wait(double seconds)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (Running())
  {
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return mEnded ? mStatus : -1;
}

void HostProgram::Stop()
{
  CloseInput();
  if (mPid <= 0) return;
  if (Running())
  {
    kill(mPid, SIGTERM);
    if (Wait(5.0) < 0 && Running())
    {
      kill(mPid, SIGKILL);
      int status = 0;
      waitpid(mPid, &status, 0);
      mEnded = true;
      mStatus = -1;
    }
  }
  mPid = -1;
}

std::string HostProgram::Output() const
{
  std::ifstream f(mLog);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

ProgramResult RunHostProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                             const std::filesystem::path& scratch, double seconds)
{
  static int counter = 0;
  HostProgram p;
  std::string error;
  const std::filesystem::path log = scratch / ("run" + std::to_string(++counter) + ".log");
  if (!p.Start(argv, env, log, false, &error)) return {-1, error};
  ProgramResult r;
  r.exitCode = p.Wait(seconds);
  p.Stop();
  r.output = p.Output();
  std::filesystem::remove(log);
  return r;
}

ScratchFolder::ScratchFolder()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "tesk-lv2-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  mPath = pattern;
}

ScratchFolder::~ScratchFolder()
{
  std::error_code ec;
  std::filesystem::remove_all(mPath, ec);
}
}  // namespace lv2_test
