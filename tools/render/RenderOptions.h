#pragma once
// tesk-render's command line: what the user asked for, checked for form only.
// Whether a parameter name exists or a value is within its range is for the host
// to decide once the plug-in is open (the names are the plug-in's).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ParameterSetting
{
  std::string mName;  // the name as the host sees it, or an index
  double mValue = 0.0;
  std::string mText;  // the option's argument, for messages
};

struct RenderOptions
{
  static constexpr int kDefaultBlock = 512;
  static constexpr int kMaxBlock = 4096;

  std::string mInput;   // audio file to process ("-": standard input); empty with --demo
  std::string mOutput;  // processed audio file ("-": standard output)
  bool mDemo = false;   // render the built-in demo signal instead of an input file

  std::vector<ParameterSetting> mSettings;  // --set, in order
  std::string mPresetFile, mBankFile, mStateFile;
  std::string mSavePresetFile, mSaveStateFile, mSnapshotFile;
  bool mSnapshotBesideDemo = false;  // mSnapshotFile is the one --demo writes beside its audio
  std::string mFormat;               // --format FORMAT[:SAMPLES]; empty: the output's extension says
  int mBlock = kDefaultBlock;
  std::optional<std::uint32_t> mSeed;
  bool mCompensate = false;
  bool mListParams = false;
  bool mQuiet = false;
  bool mHelp = false;
  bool mVersion = false;

  // True when there is audio to render (an input file or the demo).
  bool Renders() const noexcept { return mDemo || !mInput.empty(); }
};

// Reads the command line. Options that take one value may be given once (--set
// as often as wanted). Throws RenderError (kExitUsage) with a one-line reason.
RenderOptions ParseRenderOptions(int argc, const char* const* argv);

// The --help text.
const char* RenderUsage();

// "out.wav" -> "out.png": the snapshot that --demo writes beside its audio.
std::string SnapshotPathBeside(const std::string& audioPath);
