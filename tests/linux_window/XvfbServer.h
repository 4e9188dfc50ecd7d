#pragma once
// A virtual X server for one test: picks a free display number, starts
// `Xvfb :N -screen 0 1280x1024x24 -nolisten tcp` (tall
// enough for the editor at scale 2, whose pixels can only be read while on the screen), waits until it accepts clients (it
// writes its display number to a pipe when ready), points $DISPLAY at it, and stops it
// by its PID at the end.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "linux_window/LinuxDesktop.h"

class XvfbServer final
{
public:
  XvfbServer() = default;
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  static bool Installed() { return !LinuxDesktop::FindProgram("Xvfb").empty(); }

  // Tries display numbers until one starts; false with a reason when none does.
  bool Start(std::string* pError)
  {
    const std::string xvfb = LinuxDesktop::FindProgram("Xvfb");
    if (xvfb.empty()) return *pError = "Xvfb is not installed", false;
    const int first = 200 + static_cast<int>(getpid() % 500);
    for (int n = first; n < first + 40; ++n)
    {
      if (InUse(n)) continue;
      if (Launch(xvfb, n)) return true;
    }
    *pError = "Xvfb did not start on any display number";
    return false;
  }

  void Stop()
  {
    if (mPid <= 0) return;
    kill(mPid, SIGTERM);
    for (int i = 0; i < 200; ++i)
    {
      if (waitpid(mPid, nullptr, WNOHANG) == mPid)
      {
        mPid = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(mPid, SIGKILL);
    waitpid(mPid, nullptr, 0);
    mPid = -1;
  }

  const std::string& Display() const noexcept { return mDisplay; }

private:
  static bool InUse(int n)
  {
    struct stat st;
    return stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0 ||
           stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0;
  }

  bool Launch(const std::string& xvfb, int n)
  {
    int ready[2];
    if (pipe(ready) != 0) return false;
    const std::string display = ":" + std::to_string(n);
    const std::string fd = std::to_string(ready[1]);
    const pid_t pid = fork();
    if (pid == 0)
    {
      close(ready[0]);
      const int devNull = open("/dev/null", O_RDWR);
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
      execl(xvfb.c_str(), "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-displayfd",
            fd.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    if (pid < 0)
    {
      close(ready[0]);
      return false;
    }
    // The server writes its display number once it accepts clients; an early end of
    // the pipe means it exited (the number was taken meanwhile).
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (answer.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
    {
      pollfd pfd{ready[0], POLLIN, 0};
      if (poll(&pfd, 1, 100) <= 0) continue;
      char buf[32];
      const ssize_t got = read(ready[0], buf, sizeof(buf));
      if (got <= 0) break;
      answer.append(buf, static_cast<size_t>(got));
    }
    close(ready[0]);
    if (answer.find('\n') == std::string::npos)
    {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return false;
    }
    mPid = pid;
    mDisplay = display;
    setenv("DISPLAY", display.c_str(), 1);
    return true;
  }

  pid_t mPid = -1;
  std::string mDisplay;
};
