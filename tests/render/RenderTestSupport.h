#pragma once
// Runs the built tesk-render as a subprocess in a scratch folder and reads and
// writes the small audio files the tests use.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace render_test
{
struct RunResult
{
  int mExitCode = -1;
  std::string mOut, mErr;
};

// Runs tesk-render with args in folder; standard output and error are captured
// (so standard error is not a terminal).
RunResult RunRender(const std::filesystem::path& folder, const std::vector<std::string>& args);

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
Audio ReadAudio(const std::filesystem::path& path);

// A broadband test signal: a few partials and deterministic noise, different per channel.
float MusicLike(long long frame, int channel);

// The file names in folder, sorted.
std::vector<std::string> FolderListing(const std::filesystem::path& folder);

// A fresh scratch folder per test, removed afterwards.
class RenderTest : public ::testing::Test
{
protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path Path(const std::string& name) const { return mFolder / name; }
  RunResult Run(const std::vector<std::string>& args) const { return RunRender(mFolder, args); }

  std::filesystem::path mFolder;
};
}  // namespace render_test
