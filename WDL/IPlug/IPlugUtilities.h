#pragma once
// Small helpers of the plug-in framework: packed versions, text and timing.

#include <ctime>

// Versions are packed as major << 16 | minor << 8 | bug-fix.
void GetVersionParts(int version, int* pMajor, int* pMinor, int* pBugFix);
// major * 10000 + minor * 100 + bug-fix.
int GetDecimalVersion(int version);
// "v%d.%d.%d" into str, which must hold MAX_VERSION_STR_LEN (32) characters.
void GetVersionStr(int version, char* str);

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
  Timer() : mStart(std::clock()) {}
  // True (and restarts) once more than seconds have passed.
  bool Every(double seconds);

private:
  std::clock_t mStart;
};
