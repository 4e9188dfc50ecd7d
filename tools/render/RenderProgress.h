#pragma once
// What the user sees while and after rendering: a progress bar on standard error
// (only when it is a terminal, so logs and pipes stay clean) and a one-line summary.

#include <cstdint>
#include <string>

class ProgressBar final
{
public:
  // enabled: draw at all (standard error is a terminal and --quiet was not given).
  ProgressBar(bool enabled, std::int64_t totalFrames);
  ~ProgressBar();

  // Redraws when the shown percentage changes.
  void Update(std::int64_t doneFrames);
  // Clears the bar's line, leaving the terminal as it was.
  void Finish();

private:
  bool mEnabled;
  bool mShown = false;
  std::int64_t mTotal;
  int mLastPercent = -1;
};

// True when standard error is a terminal.
bool StandardErrorIsTerminal();

// CPU time this process has used so far, in seconds.
double ProcessCpuSeconds();

struct RenderSummary
{
  std::string mSource, mOutput;
  std::int64_t mFrames = 0;  // frames written
  int mSampleRate = 0, mChannels = 0;
  double mCpuSeconds = 0.0;
  int mLatencyRemoved = 0;      // samples, with --compensate
  std::int64_t mClipped = 0;    // samples clipped to an integer sample type
  std::int64_t mNonFinite = 0;  // NaN or infinite samples
  bool mNonFiniteKept = false;  // written as they were (float formats), not as 0
};

// "in.wav -> out.wav: 8.00 s of audio (44100 Hz, stereo), 0.52 s CPU, 15.4x real time",
// then what the output could not hold as it was: clipped or non-finite samples.
std::string SummaryLine(const RenderSummary& s);
