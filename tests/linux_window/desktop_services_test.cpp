// Message boxes, file dialogs and URLs: the arguments handed to zenity and xdg-open, the
// results read back, and the program runner, which never goes through a shell.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "linux_window/LinuxDesktop.h"

using namespace LinuxDesktop;

namespace
{
bool Has(const std::vector<std::string>& args, const std::string& arg)
{
  return std::find(args.begin(), args.end(), arg) != args.end();
}
RunResult Exited(int code, const char* output = "")
{
  RunResult r;
  r.started = true;
  r.exitCode = code;
  r.output = output;
  return r;
}
}  // namespace

TEST(LinuxDesktop, MessageBoxButtonsAndResults)
{
  struct Case
  {
    const char* name;
    int type;
    const char* buttons;  // the arguments that choose the dialog and its buttons
    int yes, no, third, closedWithError;
  };
  const Case cases[] = {
    {"yes/no", 4, "--question --ok-label=Yes --cancel-label=No", 1, 7, 7, 0},
    {"yes/no/cancel", 3, "--question --ok-label=Yes --cancel-label=No --extra-button=Cancel", 1, 7, 2, 0},
    {"OK/cancel", 1, "--question --ok-label=OK --cancel-label=Cancel", 1, 7, 7, 0},
    {"a note", 0, "--info", 1, 0, 0, 0},
  };
  for (const Case& c : cases)
  {
    const auto args = MessageBoxArguments("Text; $(rm -rf ~) <b>", "Caption", c.type, 42);
    EXPECT_EQ(args[0], "zenity") << c.name;
    std::string joined;
    for (const auto& a : args)
      if (a.rfind("--question", 0) == 0 || a.rfind("--info", 0) == 0 || a.rfind("--ok", 0) == 0 ||
          a.rfind("--cancel", 0) == 0 || a.rfind("--extra", 0) == 0)
        joined += (joined.empty() ? "" : " ") + a;
    EXPECT_EQ(joined, c.buttons) << c.name;
    // The text is one argument, shown as it is (no markup).
    EXPECT_TRUE(Has(args, "--text=Text; $(rm -rf ~) <b>")) << c.name;
    EXPECT_TRUE(Has(args, "--no-markup")) << c.name;
    EXPECT_TRUE(Has(args, "--title=Caption")) << c.name;
    EXPECT_TRUE(Has(args, "--attach=42")) << c.name;
    EXPECT_EQ(MessageBoxResult(c.type, Exited(0)), c.yes) << c.name;
    EXPECT_EQ(MessageBoxResult(c.type, Exited(1)), c.no) << c.name;
    EXPECT_EQ(MessageBoxResult(c.type, Exited(1, "Cancel\n")), c.third) << c.name;
    EXPECT_EQ(MessageBoxResult(c.type, Exited(255)), c.closedWithError) << c.name;
    EXPECT_EQ(MessageBoxResult(c.type, RunResult{}), 0) << c.name;  // zenity missing
  }
  EXPECT_FALSE(Has(MessageBoxArguments("t", "c", 4, 0), "--attach=0"));
}

TEST(LinuxDesktop, FileDialogArgumentsAndResult)
{
  const auto open = FileDialogArguments(false, "preset.fxp", "/home/u/Presets", "fxp  fxb", 0);
  EXPECT_TRUE(Has(open, "--file-selection"));
  EXPECT_FALSE(Has(open, "--save"));
  EXPECT_TRUE(Has(open, "--filename=/home/u/Presets/preset.fxp"));
  EXPECT_TRUE(Has(open, "--file-filter=*.fxp *.fxb"));
  const auto save = FileDialogArguments(true, "", "/tmp/", "", 7);
  EXPECT_TRUE(Has(save, "--save"));
  EXPECT_TRUE(Has(save, "--filename=/tmp/"));
  EXPECT_TRUE(Has(save, "--attach=7"));
  EXPECT_EQ(std::count_if(save.begin(), save.end(), [](const auto& a) { return a.rfind("--file-filter", 0) == 0; }), 0);

  EXPECT_EQ(FileDialogResult(Exited(0, "/tmp/a b.fxp\n")), "/tmp/a b.fxp");
  EXPECT_EQ(FileDialogResult(Exited(1)), "");  // cancelled
  EXPECT_EQ(FileDialogResult(RunResult{}), "");
}

TEST(LinuxDesktop, WhatIsHandedToXdgOpen)
{
  const std::string cwd = std::filesystem::current_path().string();
  struct Case
  {
    const char* url;
    std::string opened;
  };
  const Case cases[] = {
    {"https://example.org/a?b=c&d", "https://example.org/a?b=c&d"},
    {"/usr/share/doc/x.html", "/usr/share/doc/x.html"},
    {"manual.pdf", cwd + "/manual.pdf"},
    {"-e http://x", ""},  // would read as an option
    {"--help", cwd + "/--help"},
    {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(URLToOpen(c.url), c.opened) << c.url;
  EXPECT_EQ(URLToOpen(nullptr), "");
}

TEST(LinuxDesktop, ProgramsGetTheirArgumentsVerbatim)
{
  const std::string tricky = "$(touch /tmp/never) `id` ; | & \"quoted\" 'single' \\ *";
  const RunResult r = RunProgram({"printf", "%s", tricky});
  ASSERT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, tricky);
  EXPECT_EQ(RunProgram({"sh", "-c", "exit 3"}).exitCode, 3);
}

TEST(LinuxDesktop, MissingProgramsFailClearly)
{
  const RunResult r = RunProgram({"no-such-program-here", "x"});
  EXPECT_FALSE(r.started);
  EXPECT_NE(r.error.find("no-such-program-here is not installed"), std::string::npos);
  std::string why;
  EXPECT_FALSE(LaunchProgram({"no-such-program-here"}, &why));
  EXPECT_NE(why.find("not installed"), std::string::npos);
  EXPECT_EQ(FindProgram("no-such-program-here"), "");
  EXPECT_NE(FindProgram("sh"), "");
}

TEST(LinuxDesktop, AWaitCanBeCutShort)
{
  int calls = 0;
  const auto start = std::chrono::steady_clock::now();
  const RunResult r = RunProgram({"sleep", "10"}, [&] { return ++calls < 3; });
  EXPECT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, -1);
  EXPECT_EQ(calls, 3);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(LinuxDesktop, LaunchedProgramsLeaveNoChild)
{
  const std::string marker = std::filesystem::temp_directory_path() / ("launch_" + std::to_string(getpid()));
  std::filesystem::remove(marker);
  ASSERT_TRUE(LaunchProgram({"touch", marker}));
  for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i) usleep(10000);
  EXPECT_TRUE(std::filesystem::exists(marker));
  std::filesystem::remove(marker);
  // Nothing of ours is left to reap.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
