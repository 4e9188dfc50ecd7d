#pragma once
// Runs the built tesk-render as a subprocess in a scratch folder and reads and
// writes the small audio files the tests use.

#include <gtest/gtest.h>

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace render_test
{
struct RunResult
{
  int mExitCode = -1;      // the exit status, or 128 + the signal that ended the process
  bool mExited = false;    // it ended by exiting, not by a signal
  bool mTimedOut = false;  // it did not end in time and was killed
  std::string mOut, mErr;
};

// Where the subprocess's standard streams go. By default standard input is
// /dev/null and standard output and error are captured to files (so neither is a
// terminal); a descriptor given here is used instead (the caller keeps its own copy).
struct RunIo
{
  int mStdin = -1;
  int mStdout = -1;
};

// A tesk-render started in folder and not yet waited for.
class RenderProcess final
{
public:
  RenderProcess(const std::filesystem::path& folder, const std::vector<std::string>& args, RunIo io = {});
  ~RenderProcess();

  pid_t Pid() const { return mPid; }
  // True once the process has installed handlers for both SIGINT and SIGTERM
  // (from /proc); waits up to timeoutSeconds.
  bool WaitForSignalHandlers(double timeoutSeconds) const;
  // Waits for the end; after timeoutSeconds the process is killed and mTimedOut set.
  RunResult Finish(double timeoutSeconds);

private:
  pid_t mPid = -1;
  std::filesystem::path mOutPath, mErrPath;
  bool mCaptureOut = true;
};

// Runs tesk-render with args in folder and waits for it.
RunResult RunRender(const std::filesystem::path& folder, const std::vector<std::string>& args, RunIo io = {});

struct Audio
{
  int mChannels = 0;
  int mSampleRate = 0;
  int mFormat = 0;              // libsndfile's format code
  std::vector<float> mSamples;  // interleaved

  long long Frames() const { return mChannels ? static_cast<long long>(mSamples.size()) / mChannels : 0; }
  float At(long long frame, int channel) const { return mSamples[static_cast<size_t>(frame * mChannels + channel)]; }
  // The frame of the largest absolute sample of one channel.
  long long PeakFrame(int channel) const;
};

// Writes frames of audio made by sample(frame, channel).
void WriteAudio(const std::filesystem::path& path, int channels, long long frames, int format,
                const std::function<float(long long, int)>& sample, int sampleRate = 44100);
// Reads a whole file; frames up to the end of the data when the header does not say.
Audio ReadAudio(const std::filesystem::path& path);

// A broadband test signal: a few partials and deterministic noise, different per channel.
float MusicLike(long long frame, int channel);

// The file names in folder, sorted.
std::vector<std::string> FolderListing(const std::filesystem::path& folder);
// Everything under folder: relative path -> the file's bytes, or "<folder>",
// "<fifo>", "<socket>", "-> TARGET" for a symbolic link.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// A fresh scratch folder per test, removed afterwards.
class RenderTest : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path Path(const std::string& name) const { return mFolder / name; }
  RunResult Run(const std::vector<std::string>& args, RunIo io = {}) const { return RunRender(mFolder, args, io); }

  std::filesystem::path mFolder;
};
}  // namespace render_test
