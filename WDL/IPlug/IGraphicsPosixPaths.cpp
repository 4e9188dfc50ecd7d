#include "IGraphicsPosixPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "wdlstring.h"

void PosixFolderOf(const char* path, WDL_String* pFolder)
{
  const char* slash = std::strrchr(path, '/');
  if (slash)
    pFolder->Set(path, static_cast<int>(slash - path) + 1);
  else
    pFolder->Set("");
}

void PosixExecutablePath(WDL_String* pPath)
{
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return;
  buf[n] = '\0';
  pPath->Set(buf);
}

void PosixDesktopPath(WDL_String* pPath)
{
  const char* home = std::getenv("HOME");
  pPath->Set(home ? home : "");
  pPath->Append("/Desktop/");
}
