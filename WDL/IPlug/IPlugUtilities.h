#pragma once
// Small helpers of the plug-in framework: packed versions, text and timing.

#include <cmath>
#include <ctime>
#include <limits>

// Versions are packed as major << 16 | minor << 8 | bug-fix.
void GetVersionParts(int version, int* pMajor, int* pMinor, int* pBugFix);
// major * 10000 + minor * 100 + bug-fix.
int GetDecimalVersion(int version);
// "v%d.%d.%d" into str, which must hold MAX_VERSION_STR_LEN (32) characters.
void GetVersionStr(int version, char* str);

// Truncation toward zero that stays defined for values no int can hold: NaN gives 0
// and values beyond the int range give its ends. For pixel positions and counts
// derived from values a host or a drag may push anywhere.
inline int TruncateToInt(double v) noexcept
{
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// True for tab, line feed, carriage return and space.
bool IsWhitespace(char c);
// Lower-cases in into out (which may equal in) and terminates out.
void ToLower(char* out, const char* in);
// Local time as "%Y%m%d %H:%M +hhmm" (sign and offset from UTC), in a per-thread buffer.
const char* CurrentTime();

// Measures processor time from its construction or its last restart.
class Timer final
{
public:
  Timer()
    : mStart(std::clock())
  {
  }
  // True (and restarts) once more than seconds have passed.
  bool Every(double seconds);

private:
  std::clock_t mStart;
};
