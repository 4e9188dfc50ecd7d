#include "RenderOptions.h"

#include "RenderError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <utility>

namespace
{
RenderError Usage(const std::string& reason) { return RenderError(kExitUsage, reason + " (see --help)"); }

long long ParseInteger(const std::string& option, const std::string& text, long long lo, long long hi)
{
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < lo || v > hi)
    throw Usage(option + ": expected an integer in " + std::to_string(lo) + ".." + std::to_string(hi) + ", got '" +
                text + "'");
  return v;
}

ParameterSetting ParseSetting(const std::string& text)
{
  const size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
    throw Usage("--set: expected NAME=VALUE, got '" + text + "'");
  ParameterSetting s;
  s.mName = text.substr(0, eq);
  s.mText = text;
  const std::string value = text.substr(eq + 1);
  char* end = nullptr;
  s.mValue = std::strtod(value.c_str(), &end);
  if (*end != '\0' || !std::isfinite(s.mValue)) throw Usage("--set " + text + ": '" + value + "' is not a number");
  return s;
}

// Options that take an argument, and where it goes.
using Setter = std::function<void(RenderOptions&, const std::string&)>;

const std::map<std::string, Setter>& ValueOptions()
{
  static const std::map<std::string, Setter> options = {
    {"--set", [](RenderOptions& o, const std::string& v) { o.mSettings.push_back(ParseSetting(v)); }},
    {"--preset", [](RenderOptions& o, const std::string& v) { o.mPresetFile = v; }},
    {"--bank", [](RenderOptions& o, const std::string& v) { o.mBankFile = v; }},
    {"--save-preset", [](RenderOptions& o, const std::string& v) { o.mSavePresetFile = v; }},
    {"--state", [](RenderOptions& o, const std::string& v) { o.mStateFile = v; }},
    {"--save-state", [](RenderOptions& o, const std::string& v) { o.mSaveStateFile = v; }},
    {"--snapshot", [](RenderOptions& o, const std::string& v) { o.mSnapshotFile = v; }},
    {"--format", [](RenderOptions& o, const std::string& v) { o.mFormat = v; }},
    {"--block",
     [](RenderOptions& o, const std::string& v) {
       o.mBlock = static_cast<int>(ParseInteger("--block", v, 1, RenderOptions::kMaxBlock));
     }},
    {"--seed",
     [](RenderOptions& o, const std::string& v) {
       o.mSeed = static_cast<std::uint32_t>(ParseInteger("--seed", v, 0, 4294967295LL));
     }},
    {"--demo",
     [](RenderOptions& o, const std::string& v) {
       o.mDemo = true;
       o.mOutput = v;
     }},
  };
  return options;
}

const std::map<std::string, bool RenderOptions::*>& FlagOptions()
{
  static const std::map<std::string, bool RenderOptions::*> flags = {
    {"--compensate", &RenderOptions::mCompensate},
    {"--list-params", &RenderOptions::mListParams},
    {"--quiet", &RenderOptions::mQuiet},
    {"-q", &RenderOptions::mQuiet},
    {"--help", &RenderOptions::mHelp},
    {"-h", &RenderOptions::mHelp},
    {"--version", &RenderOptions::mVersion},
  };
  return flags;
}

void CheckFileNames(const RenderOptions& o, const std::vector<std::string>& positional)
{
  if (o.mDemo)
  {
    if (!positional.empty()) throw Usage("--demo takes no input file, got '" + positional.front() + "'");
    return;
  }
  if (positional.size() == 1) throw Usage("missing the output file after '" + positional.front() + "'");
  if (positional.size() > 2) throw Usage("too many file names ('" + positional[2] + "')");
  if (positional.size() == 2 && positional[0].empty()) throw Usage("the input file name is empty");
  if (positional.size() == 2 && positional[1].empty()) throw Usage("the output file name is empty");
  const bool saves = !o.mSavePresetFile.empty() || !o.mSaveStateFile.empty() || !o.mSnapshotFile.empty();
  if (positional.empty() && !o.mListParams && !saves)
    throw Usage("nothing to do: give INPUT OUTPUT, --demo OUT.wav, --list-params or a --save-... option");
}

// "-" is standard input and output for the audio only: the other files are read or
// written whole, and one stream cannot carry two of them.
void CheckStandardStreams(const RenderOptions& o)
{
  struct File
  {
    const char* mOption;
    const std::string* mPath;
    const char* mStream;
  };
  const File files[] = {
    {"--preset", &o.mPresetFile, "standard input"},         {"--bank", &o.mBankFile, "standard input"},
    {"--state", &o.mStateFile, "standard input"},           {"--save-preset", &o.mSavePresetFile, "standard output"},
    {"--save-state", &o.mSaveStateFile, "standard output"}, {"--snapshot", &o.mSnapshotFile, "standard output"}};
  for (const File& f : files)
    if (*f.mPath == "-")
      throw Usage(std::string(f.mOption) + ": '-' (" + f.mStream +
                  ") is only for the audio; write ./- for a file of that name");
  if (o.mListParams && o.mOutput == "-")
    throw Usage("--list-params prints to standard output, which carries the audio here");
}
}  // namespace

RenderOptions ParseRenderOptions(int argc, const char* const* argv)
{
  RenderOptions o;
  std::vector<std::string> positional;
  std::map<std::string, std::string> given;  // options of one value, with it
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i)
  {
    std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-')
    {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--")
    {
      optionsEnded = true;
      continue;
    }
    std::string value;
    bool hasInlineValue = false;
    if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos)
    {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInlineValue = true;
    }
    if (auto flag = FlagOptions().find(arg); flag != FlagOptions().end())
    {
      if (hasInlineValue) throw Usage(arg + " takes no value");
      o.*(flag->second) = true;
      continue;
    }
    auto opt = ValueOptions().find(arg);
    if (opt == ValueOptions().end()) throw Usage("unknown option '" + arg + "'");
    if (!hasInlineValue)
    {
      if (i + 1 >= argc) throw Usage(arg + " needs a value");
      value = argv[++i];
    }
    if (value.empty()) throw Usage(arg + " needs a value");
    if (arg != "--set")
    {
      const auto [first, isNew] = given.emplace(arg, value);
      if (!isNew) throw Usage(arg + " given twice ('" + first->second + "' and '" + value + "'); it takes one value");
    }
    opt->second(o, value);
  }
  if (o.mHelp || o.mVersion) return o;

  CheckFileNames(o, positional);
  if (positional.size() == 2)
  {
    o.mInput = positional[0];
    o.mOutput = positional[1];
  }
  CheckStandardStreams(o);
  if (o.mDemo)
  {
    // The demo's output lines up with its signal, and its editor is part of it
    // (beside a file; on standard output only where --snapshot says).
    o.mCompensate = true;
    if (o.mSnapshotFile.empty() && o.mOutput != "-")
    {
      o.mSnapshotFile = SnapshotPathBeside(o.mOutput);
      o.mSnapshotBesideDemo = true;
    }
  }
  return o;
}

std::string SnapshotPathBeside(const std::string& audioPath)
{
  const size_t slash = audioPath.rfind('/');
  const size_t dot = audioPath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? audioPath.substr(0, dot) : audioPath) + ".png";
}

const char* RenderUsage()
{
  return R"(Usage: tesk-render [options] INPUT OUTPUT
       tesk-render --demo OUT.wav [options]
       tesk-render --list-params [options]

Processes an audio file through the Tesk plug-in, driving it through its Audio Unit
entry as a host does. Mono files use the 1-1 configuration, stereo files 2-2.
INPUT and OUTPUT may be '-' for standard input and output.

Settings (applied in this order: bank, preset, state, then every --set):
  --set NAME=VALUE     set a parameter by name (case-insensitive; '_' or '-' may stand
                       for a space) or by index; VALUE is a plain value within the
                       parameter's range (0..1 for every Tesk parameter); repeatable
  --bank FILE.fxb      load a bank file (at most 1 MiB)
  --preset FILE.fxp    load a program file (at most 1 MiB)
  --state FILE         restore a state saved with --save-state
  --seed N             seed the sensitivity measure's noise (0..4294967295), so a
                       render with Sensitivity above 0 can be repeated exactly

Rendering:
  --block N            host block size, 1..4096 (default 512); the output does not
                       depend on it
  --compensate         remove the plug-in's reported latency and render its tail, so
                       the output lines up with the input and has its length
  --format F[:S]       output file format (default: the one OUTPUT's extension
                       names): wav, aiff, flac, caf, w64, rf64, au, ogg; sample type
                       S (default: the input's when the format holds it): pcm16,
                       pcm24, pcm32, float, double. Into a pipe: au, flac, ogg

Outputs (files are written to a temporary file and renamed when complete; devices
such as /dev/null, FIFOs and standard output are written in place):
  --save-preset FILE.fxp   the settings as a program file
  --save-state FILE        the host-visible state (the plug-in's state bytes)
  --snapshot FILE.png      the editor as it stands after rendering
  --demo OUT.wav           render the built-in 8-second demo signal with audible
                           settings, latency compensated; also writes the
                           snapshot OUT.png (or the --snapshot file)

Other:
  --list-params        list the parameters (index, name, range, value) and exit
  --quiet, -q          no progress bar and no summary
  --help, -h           this text
  --version            the program's and the plug-in's versions

Options other than --set may be given once. An output may not be the same file as
an input or another output.

Exit codes: 0 done, 2 bad option, parameter, format or file name, 3 input audio
unreadable or not supported, 4 output not writable, 5 preset, bank or state file
unreadable, malformed or too large, 6 the plug-in refused a request, 130
interrupted (SIGINT or SIGTERM).
)";
}
