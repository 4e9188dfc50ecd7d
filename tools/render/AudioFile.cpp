#include "AudioFile.h"

#include "RenderError.h"

#include <sndfile.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
struct Container
{
  const char* mName;
  int mMajor;
  int mDefaultSubtype;
};

// The containers --format offers; the default sample type is used when the
// input's cannot go into the container.
constexpr Container kContainers[] = {
  {"wav", SF_FORMAT_WAV, SF_FORMAT_FLOAT},   {"aiff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
  {"aif", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},  {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
  {"caf", SF_FORMAT_CAF, SF_FORMAT_FLOAT},   {"w64", SF_FORMAT_W64, SF_FORMAT_FLOAT},
  {"rf64", SF_FORMAT_RF64, SF_FORMAT_FLOAT}, {"au", SF_FORMAT_AU, SF_FORMAT_FLOAT},
  {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
};

struct SampleType
{
  const char* mName;
  int mSubtype;
};

constexpr SampleType kSampleTypes[] = {
  {"pcm16", SF_FORMAT_PCM_16}, {"pcm24", SF_FORMAT_PCM_24},  {"pcm32", SF_FORMAT_PCM_32},
  {"float", SF_FORMAT_FLOAT},  {"double", SF_FORMAT_DOUBLE},
};

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const Container* FindContainer(const std::string& name)
{
  for (const Container& c : kContainers)
    if (name == c.mName) return &c;
  return nullptr;
}

bool Writable(int format)
{
  SF_INFO info = {};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = format;
  return sf_format_check(&info) != 0;
}

bool IsIntegerSubtype(int format)
{
  switch (format & SF_FORMAT_SUBMASK)
  {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS: return false;
    default: return true;
  }
}

std::string FormatNames()
{
  std::string names;
  for (const Container& c : kContainers) names += std::string(names.empty() ? "" : ", ") + c.mName;
  names += "; sample types:";
  for (const SampleType& t : kSampleTypes) names += std::string(" ") + t.mName;
  return names;
}
}  // namespace

// ==== Reading ====

AudioFileReader::AudioFileReader(std::string path)
  : mPath(std::move(path))
{
  SF_INFO info = {};
  mFile = sf_open(mPath.c_str(), SFM_READ, &info);
  if (!mFile)
  {
    // libsndfile's own reason when the file opened but was not understood; the
    // system's when it could not be opened at all.
    std::FILE* probe = std::fopen(mPath.c_str(), "rb");
    const std::string reason = probe ? std::string("not a readable audio file (") + sf_strerror(nullptr) + ")"
                                     : std::string("cannot read: ") + std::strerror(errno);
    if (probe) std::fclose(probe);
    throw FileError(kExitInput, mPath, reason);
  }
  mSampleRate = info.samplerate;
  mChannels = info.channels;
  mFormat = info.format;
  mFrames = info.frames;
  if (mSampleRate <= 0 || mChannels <= 0) throw FileError(kExitInput, mPath, "no audio in the file");
}

AudioFileReader::~AudioFileReader()
{
  if (mFile) sf_close(mFile);
}

int AudioFileReader::Read(float* interleaved, int nFrames)
{
  const sf_count_t n = sf_readf_float(mFile, interleaved, nFrames);
  if (n < 0 || (n < nFrames && sf_error(mFile) != SF_ERR_NO_ERROR))
    throw FileError(kExitInput, mPath, std::string("read error: ") + sf_strerror(mFile));
  return static_cast<int>(n);
}

// ==== Writing ====

AudioFileWriter::AudioFileWriter(const std::string& path, std::string displayName, int format, int sampleRate,
                                 int channels)
  : mDisplayName(std::move(displayName)),
    mChannels(channels)
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  mFile = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!mFile) throw FileError(kExitOutput, mDisplayName, std::string("cannot write: ") + sf_strerror(nullptr));
  mClips = IsIntegerSubtype(format);
  if (mClips) sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
  if (mFile) sf_close(mFile);
}

void AudioFileWriter::Write(const float* interleaved, int nFrames)
{
  if (mClips)
  {
    const std::int64_t n = static_cast<std::int64_t>(nFrames) * mChannels;
    for (std::int64_t i = 0; i < n; ++i)
      if (std::fabs(interleaved[i]) > 1.0f) ++mClipped;
  }
  if (sf_writef_float(mFile, interleaved, nFrames) != nFrames)
    throw FileError(kExitOutput, mDisplayName, std::string("write error: ") + sf_strerror(mFile));
}

void AudioFileWriter::Close()
{
  SNDFILE* f = mFile;
  mFile = nullptr;
  if (f && sf_close(f) != 0) throw FileError(kExitOutput, mDisplayName, "write error while closing the file");
}

// ==== Formats ====

int OutputFormatFromName(const std::string& text, int inputFormat)
{
  const std::string lower = Lower(text);
  const size_t colon = lower.find(':');
  const Container* c = FindContainer(lower.substr(0, colon));
  if (!c) throw RenderError(kExitUsage, "--format: unknown format '" + text + "'; formats: " + FormatNames());
  if (colon == std::string::npos)
  {
    const int keep = c->mMajor | (inputFormat & SF_FORMAT_SUBMASK);
    return (inputFormat & SF_FORMAT_SUBMASK) && Writable(keep) ? keep : c->mMajor | c->mDefaultSubtype;
  }
  const std::string sampleName = lower.substr(colon + 1);
  for (const SampleType& t : kSampleTypes)
  {
    if (sampleName != t.mName) continue;
    if (!Writable(c->mMajor | t.mSubtype))
      throw RenderError(kExitUsage, "--format: " + std::string(c->mName) + " cannot hold " + t.mName + " samples");
    return c->mMajor | t.mSubtype;
  }
  throw RenderError(kExitUsage, "--format: unknown sample type '" + sampleName + "'; formats: " + FormatNames());
}

int OutputFormatFromExtension(const std::string& path)
{
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
  {
    if (const Container* c = FindContainer(Lower(path.substr(dot + 1)))) return c->mMajor | c->mDefaultSubtype;
  }
  return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

void CheckOutputFormat(const std::string& path, int format, int sampleRate, int channels)
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  if (!sf_format_check(&info))
    throw FileError(kExitOutput, path,
                    "cannot write " + DescribeFormat(format) + " at " + std::to_string(sampleRate) + " Hz with " +
                      std::to_string(channels) + " channel(s); choose another with --format");
}

std::string DescribeFormat(int format)
{
  SF_FORMAT_INFO major = {};
  major.format = format & SF_FORMAT_TYPEMASK;
  const char* majorName = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof(major)) == 0 ? major.name : "?";
  SF_FORMAT_INFO sub = {};
  sub.format = format & SF_FORMAT_SUBMASK;
  const char* subName = sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof(sub)) == 0 ? sub.name : "?";
  return std::string(majorName) + ", " + subName;
}
