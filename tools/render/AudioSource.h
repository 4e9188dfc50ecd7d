#pragma once
// Where the audio to render comes from: an input file or the built-in demo signal.

#include <cstdint>
#include <string>

class AudioSource
{
public:
  virtual ~AudioSource() = default;

  virtual int SampleRate() const noexcept = 0;
  virtual int Channels() const noexcept = 0;
  // -1 when not known beforehand (audio from a pipe).
  virtual std::int64_t Frames() const noexcept = 0;
  // The file's name, or a description of a generated signal, for messages.
  virtual const std::string& Name() const noexcept = 0;
  // Reads up to nFrames interleaved frames in -1..1; returns the number read, 0 at the end.
  virtual int Read(float* interleaved, int nFrames) = 0;
};
