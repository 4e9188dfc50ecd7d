#include "AudioFormats.h"

#include "FileIdentity.h"
#include "RenderError.h"

#include <sndfile.h>

#include <cctype>

namespace
{
struct Container
{
  const char* mName;
  int mMajor;
  int mDefaultSubtype;
};

// The containers tesk-render writes, by --format name and extension; the default
// sample type is used when the input's cannot go into the container.
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

std::string FormatNames()
{
  std::string names;
  for (const Container& c : kContainers) names += std::string(names.empty() ? "" : ", ") + c.mName;
  names += "; sample types:";
  for (const SampleType& t : kSampleTypes) names += std::string(" ") + t.mName;
  return names;
}

// The container's format with the input's sample type when it fits, else its own.
int WithInputSamples(const Container& c, int inputFormat)
{
  const int keep = c.mMajor | (inputFormat & SF_FORMAT_SUBMASK);
  return (inputFormat & SF_FORMAT_SUBMASK) && Writable(keep) ? keep : c.mMajor | c.mDefaultSubtype;
}

int FormatFromOption(const std::string& text, int inputFormat)
{
  const std::string lower = Lower(text);
  const size_t colon = lower.find(':');
  const Container* c = FindContainer(lower.substr(0, colon));
  if (!c) throw RenderError(kExitUsage, "--format: unknown format '" + text + "'; formats: " + FormatNames());
  if (colon == std::string::npos) return WithInputSamples(*c, inputFormat);
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

int FormatFromExtension(const std::string& output, int inputFormat)
{
  const std::string names = "; the extension or --format names one of: " + FormatNames();
  if (output == "-")
    throw RenderError(kExitUsage, "standard output has no extension; --format names one of: " + FormatNames());
  const std::string name = BaseNameOf(output);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
    throw FileError(kExitUsage, output, "no extension names the output format" + names);
  const std::string extension = name.substr(dot);
  const Container* c = FindContainer(Lower(extension.substr(1)));
  if (!c) throw FileError(kExitUsage, output, "unknown output format '" + extension + "'" + names);
  return WithInputSamples(*c, inputFormat);
}
}  // namespace

int ChooseOutputFormat(const std::string& output, const std::string& formatOption, int inputFormat)
{
  return formatOption.empty() ? FormatFromExtension(output, inputFormat) : FormatFromOption(formatOption, inputFormat);
}

void CheckOutputFormat(const std::string& name, int format, int sampleRate, int channels)
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  if (!sf_format_check(&info))
    throw FileError(kExitOutput, name,
                    "cannot write " + DescribeFormat(format) + " at " + std::to_string(sampleRate) + " Hz with " +
                      std::to_string(channels) + " channel(s); choose another with --format");
}

bool WritesFrontToBack(int format)
{
  switch (format & SF_FORMAT_TYPEMASK)
  {
    case SF_FORMAT_AU:
    case SF_FORMAT_FLAC:
    case SF_FORMAT_OGG: return true;
    default: return false;
  }
}

std::string FrontToBackFormatNames() { return "au, flac, ogg"; }

bool ReadsFromPipe(int format)
{
  switch (format & SF_FORMAT_TYPEMASK)
  {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_AU:
    case SF_FORMAT_OGG: return true;
    default: return false;
  }
}

bool HoldsNonFiniteSamples(int format)
{
  const int subtype = format & SF_FORMAT_SUBMASK;
  return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

bool HasIntegerSamples(int format)
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

bool IsWave(int format)
{
  const int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
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
