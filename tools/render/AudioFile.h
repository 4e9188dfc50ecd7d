#pragma once
// Audio files through libsndfile: every format it reads as input, from a file, a
// pipe or standard input; output into a descriptor (a temporary file, a device or
// a pipe) in the format chosen for it (AudioFormats.h).
//
// Threads: the main thread.

#include "AudioSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;
class InputFile;

class AudioFileReader final : public AudioSource
{
public:
  // path "-" is standard input. Throws RenderError (kExitInput) naming the file:
  // unreadable, not audio, a format libsndfile does not know or cannot read from a
  // pipe; RenderError (kExitInterrupted) when a signal ends a wait for the data.
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader() override;

  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  int SampleRate() const noexcept override { return mSampleRate; }
  int Channels() const noexcept override { return mChannels; }
  // -1 from a pipe, whose header need not know.
  std::int64_t Frames() const noexcept override { return mFrames; }
  const std::string& Name() const noexcept override { return mName; }
  // libsndfile's format code (container | sample type).
  int Format() const noexcept { return mFormat; }
  // A one-line warning about the file (without the file's name), or empty: audio
  // that the header does not announce and that is therefore not read.
  const std::string& Warning() const noexcept { return mWarning; }
  // Throws RenderError (kExitInput) when the file cannot be read further, or
  // (kExitInterrupted) when a signal came.
  int Read(float* interleaved, int nFrames) override;

private:
  struct CloseFile
  {
    void operator()(sf_private_tag* f) const noexcept;
  };

  std::unique_ptr<InputFile> mInput;
  std::string mName;
  std::unique_ptr<sf_private_tag, CloseFile> mFile;  // closed before mInput
  int mSampleRate = 0, mChannels = 0, mFormat = 0;
  std::int64_t mFrames = 0;
  std::string mWarning;
};

class AudioFileWriter final
{
public:
  // Writes into fd (left open; readable too for the formats that seek); messages
  // name name. Integer sample types clip instead of wrapping. The PEAK chunk of
  // float WAV and AIFF files gets 0 for the time of writing, so identical renders
  // give identical files. Throws RenderError (kExitOutput).
  AudioFileWriter(int fd, std::string name, int format, int sampleRate, int channels);
  ~AudioFileWriter();

  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Samples that are not finite are written as they are where the sample type holds
  // them (float, double) and as 0 elsewhere; either way they are counted. Throws
  // RenderError (kExitOutput), e.g. when the disk is full.
  void Write(const float* interleaved, int nFrames);
  // Completes the header. Throws RenderError (kExitOutput).
  void Close();

  // Samples beyond -1..1 written to an integer sample type (they were clipped).
  std::int64_t ClippedSamples() const noexcept { return mClipped; }
  // Samples that were NaN or infinite.
  std::int64_t NonFiniteSamples() const noexcept { return mNonFinite; }
  // True when those were written as they were, false when they were written as 0.
  bool KeepsNonFinite() const noexcept { return mKeepsNonFinite; }

private:
  std::string mName;
  int mFd = -1;
  sf_private_tag* mFile = nullptr;
  int mChannels = 0;
  bool mCountsClipping = false;
  bool mKeepsNonFinite = false;
  std::int64_t mClipped = 0, mNonFinite = 0;
  std::vector<float> mCleaned;  // a slice with its non-finite samples set to 0
};
