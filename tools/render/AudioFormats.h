#pragma once
// The audio formats tesk-render writes, how an output's format is chosen, and what
// can go through a pipe. Formats are libsndfile's codes (container | sample type).

#include <string>

// The format of the output named output ("-" is standard output): the one --format
// names ("NAME[:SAMPLES]") when given, else the one the output's extension names,
// as .wav, .aiff or .flac. The sample type is the one --format names, else the
// input's (inputFormat; 0 when there is no input file) when the container can hold
// it, else the container's own. Throws RenderError (kExitUsage) listing the formats.
int ChooseOutputFormat(const std::string& output, const std::string& formatOption, int inputFormat);

// Throws RenderError (kExitOutput) naming the output when libsndfile cannot write
// this format with this rate and channel count.
void CheckOutputFormat(const std::string& name, int format, int sampleRate, int channels);

// libsndfile writes these front to back, so they can go into a pipe or a device
// that cannot seek; the others complete their header at the end.
bool WritesFrontToBack(int format);
// libsndfile reads these front to back correctly, so they can come from a pipe.
bool ReadsFromPipe(int format);
// "au, flac, ogg": the containers that can be written into a pipe.
std::string FrontToBackFormatNames();

// Float and double samples hold any value; integer and compressed ones do not.
bool HoldsNonFiniteSamples(int format);
// Integer samples, which libsndfile clips to full scale.
bool HasIntegerSamples(int format);
// A RIFF WAVE file.
bool IsWave(int format);

// "WAV (Microsoft), Signed 24 bit PCM" and the like, for messages.
std::string DescribeFormat(int format);
