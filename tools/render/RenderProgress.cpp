#include "RenderProgress.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace
{
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(bool enabled, std::int64_t totalFrames)
  : mEnabled(enabled && totalFrames > 0),
    mTotal(totalFrames)
{
}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(std::int64_t doneFrames)
{
  if (!mEnabled) return;
  const int percent = static_cast<int>(doneFrames * 100 / mTotal);
  if (percent == mLastPercent) return;
  mLastPercent = percent;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '-';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
  std::fflush(stderr);
  mShown = true;
}

void ProgressBar::Finish()
{
  if (!mShown) return;
  std::fprintf(stderr, "\r%*s\r", kBarWidth + 20, "");
  std::fflush(stderr);
  mShown = false;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

double ProcessCpuSeconds()
{
  timespec ts = {};
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts) != 0) return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

std::string SummaryLine(const RenderSummary& s)
{
  const auto fixed = [](double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, v);
    return std::string(text);
  };
  const double seconds = s.mSampleRate > 0 ? static_cast<double>(s.mFrames) / s.mSampleRate : 0.0;
  const char* layout = s.mChannels == 1 ? "mono" : s.mChannels == 2 ? "stereo" : "multichannel";
  std::string line = s.mSource + " -> " + s.mOutput + ": " + fixed(seconds, 2) + " s of audio (" +
                     std::to_string(s.mSampleRate) + " Hz, " + layout + "), " + fixed(s.mCpuSeconds, 2) + " s CPU";
  if (s.mCpuSeconds > 0.0) line += ", " + fixed(seconds / s.mCpuSeconds, 1) + "x real time";
  if (s.mLatencyRemoved > 0) line += ", latency of " + std::to_string(s.mLatencyRemoved) + " samples removed";
  if (s.mClipped > 0) line += ", " + std::to_string(s.mClipped) + " samples clipped";
  if (s.mNonFinite > 0)
    line += ", " + std::to_string(s.mNonFinite) + " samples not finite (" +
            (s.mNonFiniteKept ? "kept" : "written as 0") + ")";
  return line;
}
