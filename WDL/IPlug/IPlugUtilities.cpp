#include "IPlugUtilities.h"

#include "IPlugStructs.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pBugFix)
{
  const unsigned v = static_cast<unsigned>(version);
  *pMajor = static_cast<int>((v >> 16) & 0xFFFF);
  *pMinor = static_cast<int>((v >> 8) & 0xFF);
  *pBugFix = static_cast<int>(v & 0xFF);
}

int GetDecimalVersion(int version)
{
  int major, minor, bugFix;
  GetVersionParts(version, &major, &minor, &bugFix);
  return major * 10000 + minor * 100 + bugFix;
}

void GetVersionStr(int version, char* str)
{
  int major, minor, bugFix;
  GetVersionParts(version, &major, &minor, &bugFix);
  std::snprintf(str, MAX_VERSION_STR_LEN, "v%d.%d.%d", major, minor, bugFix);
}

bool IsWhitespace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

void ToLower(char* out, const char* in)
{
  while (*in) *out++ = static_cast<char>(std::tolower(static_cast<unsigned char>(*in++)));
  *out = 0;
}

const char* CurrentTime()
{
  static thread_local char buf[64];
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const int n = static_cast<int>(std::strftime(buf, sizeof(buf), "%Y%m%d %H:%M ", &local));
  const long offsetMin = local.tm_gmtoff / 60;
  const long absMin = offsetMin < 0 ? -offsetMin : offsetMin;
  std::snprintf(buf + n, sizeof(buf) - static_cast<size_t>(n), "%c%02d%02d", offsetMin < 0 ? '-' : '+',
                static_cast<int>(absMin / 60), static_cast<int>(absMin % 60));
  return buf;
}

bool Timer::Every(double seconds)
{
  const std::clock_t now = std::clock();
  if (static_cast<double>(now - mStart) > seconds * 1000000.0)
  {
    mStart = now;
    return true;
  }
  return false;
}
