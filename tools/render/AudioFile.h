#pragma once
// Audio files through libsndfile: every format it reads as input; output in the
// input's format or one named on the command line.

#include "AudioSource.h"

#include <cstdint>
#include <string>

struct sf_private_tag;

class AudioFileReader final : public AudioSource
{
public:
  // Throws RenderError (kExitInput) naming the file: unreadable, not audio, or a
  // format libsndfile does not know.
  explicit AudioFileReader(std::string path);
  ~AudioFileReader() override;

  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int SampleRate() const noexcept override { return mSampleRate; }
  int Channels() const noexcept override { return mChannels; }
  std::int64_t Frames() const noexcept override { return mFrames; }
  const std::string& Name() const noexcept override { return mPath; }
  // libsndfile's format code (container | sample type).
  int Format() const noexcept { return mFormat; }
  // Throws RenderError (kExitInput) when the file cannot be read further.
  int Read(float* interleaved, int nFrames) override;

private:
  std::string mPath;
  sf_private_tag* mFile = nullptr;
  int mSampleRate = 0, mChannels = 0, mFormat = 0;
  std::int64_t mFrames = 0;
};

class AudioFileWriter final
{
public:
  // Opens path (the temporary file of the output) for writing; messages name
  // displayName (the output as the user gave it). Integer sample types clip
  // instead of wrapping. Throws RenderError (kExitOutput).
  AudioFileWriter(const std::string& path, std::string displayName, int format, int sampleRate, int channels);
  ~AudioFileWriter();

  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Throws RenderError (kExitOutput), e.g. when the disk is full.
  void Write(const float* interleaved, int nFrames);
  // Completes the header. Throws RenderError (kExitOutput).
  void Close();

  // Samples beyond -1..1 written to an integer sample type (they were clipped).
  std::int64_t ClippedSamples() const noexcept { return mClipped; }

private:
  std::string mDisplayName;
  sf_private_tag* mFile = nullptr;
  int mChannels = 0;
  bool mClips = false;
  std::int64_t mClipped = 0;
};

// The output format for --format "NAME[:SAMPLES]", keeping the input's sample
// type when the new container can hold it. Throws RenderError (kExitUsage) listing
// the names when the text is unknown.
int OutputFormatFromName(const std::string& text, int inputFormat);
// The format a file name's extension suggests (".wav" -> 32-bit float WAV, ".flac"
// -> 24-bit FLAC, ...); WAV when the extension says nothing.
int OutputFormatFromExtension(const std::string& path);
// Throws RenderError (kExitOutput) naming path when libsndfile cannot write this
// format with this rate and channel count.
void CheckOutputFormat(const std::string& path, int format, int sampleRate, int channels);
// "WAV, 24-bit" and the like, for the summary.
std::string DescribeFormat(int format);
