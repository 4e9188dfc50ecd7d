#pragma once
// Desktop services of the Linux editor window: message boxes and file dialogs through
// zenity, URLs through xdg-open. Programs are started with fork/exec and an argument
// vector, never through a shell, so no text from the plug-in is ever interpreted as a
// command. When a program is not installed the service fails and says so on stderr.
//
// Threads: the editor thread (the dialogs are modal); nothing here touches X11.

#include <functional>
#include <string>
#include <vector>

namespace LinuxDesktop
{
// The full path of an executable found on $PATH (or the name itself when it holds a
// '/' and is executable); "" when there is none.
std::string FindProgram(const char* name);

struct RunResult
{
  bool started = false;  // false: not installed or could not be started (see error)
  int exitCode = -1;     // the program's exit status; -1 when killed or not started
  std::string output;    // what it wrote to its standard output
  std::string error;     // why it did not start
};

// Runs the program (argv[0], looked up on $PATH) and waits for it, reading its output.
// While it runs, `keepWaiting` is called about every 40 ms; when it returns false the
// program is terminated (SIGTERM) and the result says exit code -1.
RunResult RunProgram(const std::vector<std::string>& argv, const std::function<bool()>& keepWaiting = {});

// Starts the program without waiting for it (it is not left as a zombie); false with a
// reason when it cannot be started.
bool LaunchProgram(const std::vector<std::string>& argv, std::string* pError = nullptr);

// zenity's arguments for a message box of a type (4 yes/no, 3 yes/no/cancel, 1
// OK/cancel, any other: a note with one button), made a child of the window when
// attachTo is not 0.
std::vector<std::string> MessageBoxArguments(const char* text, const char* caption, int type, unsigned long attachTo);
// The framework's result of a message box from zenity's exit: the default (first)
// button 1, the second button 7, the third button 2, anything else 0.
int MessageBoxResult(int type, const RunResult& result);

// zenity's arguments for choosing a file to open or save, starting in the folder with
// the default name; extensions are separated by spaces ("fxp fxb").
std::vector<std::string> FileDialogArguments(bool save, const char* defaultName, const char* folder,
                                             const char* extensions, unsigned long attachTo);
// The chosen path from zenity's output; "" when cancelled.
std::string FileDialogResult(const RunResult& result);

// What is handed to xdg-open: text holding "http" as it is, anything else as a path made
// absolute (so it never reads as an option). "" (refused) for empty text and for a URL
// that starts with '-'.
std::string URLToOpen(const char* url);
}  // namespace LinuxDesktop
