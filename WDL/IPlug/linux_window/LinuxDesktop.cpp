#include "LinuxDesktop.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace LinuxDesktop
{
namespace
{
std::vector<char*> ArgvOf(const std::vector<std::string>& args, const std::string& program)
{
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (size_t i = 1; i < args.size(); ++i) argv.push_back(const_cast<char*>(args[i].c_str()));
  argv.push_back(nullptr);
  return argv;
}

// In the child after fork: only async-signal-safe calls. Reports errno through the
// close-on-exec pipe when exec fails.
[[noreturn]] void ExecChild(const char* path, char* const* argv, int outFd, int reportFd)
{
  const int devNull = open("/dev/null", O_RDWR);
  if (devNull >= 0)
  {
    dup2(devNull, STDIN_FILENO);
    if (outFd < 0) dup2(devNull, STDOUT_FILENO);
  }
  if (outFd >= 0) dup2(outFd, STDOUT_FILENO);
  execve(path, argv, environ);
  const int err = errno;
  [[maybe_unused]] const ssize_t n = write(reportFd, &err, sizeof(err));
  _exit(127);
}

// The errno the child reported before exiting, or 0 when exec succeeded (the pipe closed).
int ReadExecError(int reportFd)
{
  int err = 0;
  ssize_t n;
  do n = read(reportFd, &err, sizeof(err));
  while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(sizeof(err)) ? err : 0;
}

void WaitChild(pid_t pid, int* pStatus)
{
  while (waitpid(pid, pStatus, 0) < 0 && errno == EINTR)
  {
  }
}

std::string Trimmed(std::string s)
{
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}
}  // namespace

std::string FindProgram(const char* name)
{
  if (!name || !*name) return "";
  if (std::strchr(name, '/')) return access(name, X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size())
  {
    const size_t end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (dir.empty()) dir.push_back('.');  // an empty entry means the current folder
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return "";
}

RunResult RunProgram(const std::vector<std::string>& args, const std::function<bool()>& keepWaiting)
{
  RunResult result;
  if (args.empty()) return result;
  const std::string program = FindProgram(args[0].c_str());
  if (program.empty())
  {
    result.error = args[0] + " is not installed";
    return result;
  }
  std::vector<char*> argv = ArgvOf(args, program);
  int out[2], report[2];
  if (pipe2(out, O_CLOEXEC) != 0) return result.error = std::strerror(errno), result;
  if (pipe2(report, O_CLOEXEC) != 0)
  {
    close(out[0]), close(out[1]);
    return result.error = std::strerror(errno), result;
  }
  const pid_t pid = fork();
  if (pid == 0) ExecChild(program.c_str(), argv.data(), out[1], report[1]);
  close(out[1]);
  close(report[1]);
  if (pid < 0)
  {
    close(out[0]), close(report[0]);
    return result.error = std::strerror(errno), result;
  }
  const int execError = ReadExecError(report[0]);
  close(report[0]);

  bool stopped = false;
  char buf[4096];
  for (;;)
  {
    pollfd pfd{out[0], POLLIN, 0};
    const int ready = poll(&pfd, 1, 40);
    if (ready > 0)
    {
      const ssize_t n = read(out[0], buf, sizeof(buf));
      if (n > 0)
      {
        if (result.output.size() < (1u << 20)) result.output.append(buf, static_cast<size_t>(n));
        continue;
      }
      if (n == 0 || errno != EINTR) break;  // the program closed its output
    }
    if (ready == 0 && keepWaiting && !keepWaiting())
    {
      kill(pid, SIGTERM);
      stopped = true;
      break;
    }
  }
  close(out[0]);
  int status = 0;
  WaitChild(pid, &status);
  if (execError != 0)
  {
    result.error = args[0] + ": " + std::strerror(execError);
    return result;
  }
  result.started = true;
  result.exitCode = (!stopped && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  return result;
}

bool LaunchProgram(const std::vector<std::string>& args, std::string* pError)
{
  auto fail = [&](const std::string& why) {
    if (pError) *pError = why;
    return false;
  };
  if (args.empty()) return fail("nothing to start");
  const std::string program = FindProgram(args[0].c_str());
  if (program.empty()) return fail(args[0] + " is not installed");
  std::vector<char*> argv = ArgvOf(args, program);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return fail(std::strerror(errno));
  // The middle child exits at once, so the program is adopted by init and never
  // left as a zombie of the host process.
  const pid_t middle = fork();
  if (middle == 0)
  {
    setsid();
    const pid_t pid = fork();
    if (pid == 0) ExecChild(program.c_str(), argv.data(), -1, report[1]);
    _exit(pid < 0 ? 1 : 0);
  }
  close(report[1]);
  if (middle < 0)
  {
    close(report[0]);
    return fail(std::strerror(errno));
  }
  int status = 0;
  WaitChild(middle, &status);
  const int execError = ReadExecError(report[0]);
  close(report[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return fail("could not start " + args[0]);
  if (execError != 0) return fail(args[0] + ": " + std::strerror(execError));
  return true;
}

std::vector<std::string> MessageBoxArguments(const char* text, const char* caption, int type, unsigned long attachTo)
{
  std::vector<std::string> args{"zenity"};
  args.push_back(type == 4 || type == 3 || type == 1 ? "--question" : "--info");
  args.push_back("--no-markup");
  args.push_back(std::string("--title=") + (caption ? caption : ""));
  args.push_back(std::string("--text=") + (text ? text : ""));
  if (type == 4 || type == 3)
  {
    args.push_back("--ok-label=Yes");
    args.push_back("--cancel-label=No");
    if (type == 3) args.push_back("--extra-button=Cancel");
  }
  else if (type == 1)
  {
    args.push_back("--ok-label=OK");
    args.push_back("--cancel-label=Cancel");
  }
  if (attachTo) args.push_back("--attach=" + std::to_string(attachTo));
  return args;
}

int MessageBoxResult(int type, const RunResult& result)
{
  if (!result.started) return 0;
  if (result.exitCode == 0) return 1;
  if (result.exitCode != 1 || !(type == 4 || type == 3 || type == 1)) return 0;
  // zenity prints an extra button's label and exits with 1, as for the second button.
  if (type == 3 && Trimmed(result.output) == "Cancel") return 2;
  return 7;
}

std::vector<std::string> FileDialogArguments(bool save, const char* defaultName, const char* folder,
                                             const char* extensions, unsigned long attachTo)
{
  std::vector<std::string> args{"zenity", "--file-selection"};
  args.push_back(save ? "--title=Save" : "--title=Open");
  if (save) args.push_back("--save");
  std::string start = folder ? folder : "";
  if (!start.empty() && start.back() != '/') start += '/';
  start += defaultName ? defaultName : "";
  if (!start.empty()) args.push_back("--filename=" + start);
  std::string patterns;
  for (const char* p = extensions ? extensions : ""; *p;)
  {
    while (*p == ' ') ++p;
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (end > p) patterns += (patterns.empty() ? "*." : " *.") + std::string(p, end);
    p = end;
  }
  if (!patterns.empty()) args.push_back("--file-filter=" + patterns);
  if (attachTo) args.push_back("--attach=" + std::to_string(attachTo));
  return args;
}

std::string FileDialogResult(const RunResult& result)
{
  if (!result.started || result.exitCode != 0) return "";
  return Trimmed(result.output);
}

std::string URLToOpen(const char* url)
{
  if (!url || !*url) return "";
  if (std::strstr(url, "http")) return *url == '-' ? "" : url;
  if (*url == '/') return url;
  char cwd[4096];
  if (!getcwd(cwd, sizeof(cwd))) return "";
  return std::string(cwd) + "/" + url;
}
}  // namespace LinuxDesktop
