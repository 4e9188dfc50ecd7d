#include "AudioFile.h"

#include "AudioFormats.h"
#include "ChunkLayout.h"
#include "InputFile.h"
#include "RenderError.h"

#include <sndfile.h>

#include <cerrno>
#include <cmath>
#include <cstring>

// ==== Reading ====

AudioFileReader::AudioFileReader(const std::string& path)
  : mInput(std::make_unique<InputFile>(path, kExitInput)),
    mName(mInput->Name())
{
  SF_INFO info = {};
  mFile.reset(sf_open_fd(mInput->Fd(), SFM_READ, &info, SF_FALSE));
  ThrowIfInterrupted();
  if (!mFile)
    throw FileError(kExitInput, mName,
                    std::string("not a readable audio file (") + sf_strerror(nullptr) + ")" +
                      (mInput->IsPipe() ? "; from a pipe only WAV, AIFF, AU and Ogg files can be read" : ""));
  mSampleRate = info.samplerate;
  mChannels = info.channels;
  mFormat = info.format;
  mFrames = mInput->IsPipe() ? -1 : info.frames;
  if (mSampleRate <= 0 || mChannels <= 0) throw FileError(kExitInput, mName, "no audio in the file");
  if (mInput->IsPipe() && !ReadsFromPipe(mFormat))
    throw FileError(kExitInput, mName,
                    DescribeFormat(mFormat) + " cannot be read from a pipe; give the file itself (from a pipe only "
                                              "WAV, AIFF, AU and Ogg files can be read)");
  if (mInput->IsRegular() && IsWave(mFormat))
    if (const std::int64_t hidden = UnannouncedWaveBytes(mInput->Fd(), mInput->Size()))
      mWarning = "warning: " + std::to_string(hidden) + " bytes after the " + std::to_string(mFrames) +
                 " frames the header announces belong to no chunk; the header may understate the audio, and only "
                 "the announced frames are rendered";
}

AudioFileReader::~AudioFileReader() = default;

void AudioFileReader::CloseFile::operator()(sf_private_tag* f) const noexcept { sf_close(f); }

int AudioFileReader::Read(float* interleaved, int nFrames)
{
  const sf_count_t n = sf_readf_float(mFile.get(), interleaved, nFrames);
  ThrowIfInterrupted();  // a cut-off input ends like the file
  if (n < 0 || (n < nFrames && sf_error(mFile.get()) != SF_ERR_NO_ERROR))
    throw FileError(kExitInput, mName, std::string("read error: ") + sf_strerror(mFile.get()));
  return static_cast<int>(n);
}

// ==== Writing ====

AudioFileWriter::AudioFileWriter(int fd, std::string name, int format, int sampleRate, int channels)
  : mName(std::move(name)),
    mFd(fd),
    mChannels(channels),
    mCountsClipping(HasIntegerSamples(format)),
    mKeepsNonFinite(HoldsNonFiniteSamples(format))
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  mFile = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
  if (!mFile) throw FileError(kExitOutput, mName, std::string("cannot write: ") + sf_strerror(nullptr));
  if (mCountsClipping) sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
  if (mFile) sf_close(mFile);
}

void AudioFileWriter::Write(const float* interleaved, int nFrames)
{
  const size_t n = static_cast<size_t>(nFrames) * static_cast<size_t>(mChannels);
  size_t firstNonFinite = n;
  for (size_t i = 0; i < n; ++i)
  {
    if (!std::isfinite(interleaved[i]))
    {
      ++mNonFinite;
      if (firstNonFinite == n) firstNonFinite = i;
    }
    else if (mCountsClipping && std::fabs(interleaved[i]) > 1.0f)
      ++mClipped;
  }
  const float* data = interleaved;
  if (firstNonFinite < n && !mKeepsNonFinite)
  {
    mCleaned.assign(interleaved, interleaved + n);
    for (size_t i = firstNonFinite; i < n; ++i)
      if (!std::isfinite(mCleaned[i])) mCleaned[i] = 0.0f;
    data = mCleaned.data();
  }
  if (sf_writef_float(mFile, data, nFrames) != nFrames)
  {
    // libsndfile names system errors; an encoder that refuses samples leaves none.
    const bool named = sf_error(mFile) != SF_ERR_NO_ERROR;
    throw FileError(kExitOutput, mName,
                    std::string("write error: ") +
                      (named ? sf_strerror(mFile) : "the encoder did not take the samples"));
  }
}

void AudioFileWriter::Close()
{
  SNDFILE* f = mFile;
  mFile = nullptr;
  if (!f) return;
  const int error = sf_close(f);
  if (error != 0)
    throw FileError(kExitOutput, mName, std::string("write error while closing the file: ") + sf_error_number(error));
  if (!ClearPeakTimestamp(mFd))
    throw FileError(kExitOutput, mName, std::string("write error while closing the file: ") + std::strerror(errno));
}
