#include "X11Scale.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>

namespace
{
// The value of "Xft.dpi:" in a resource string ("Xft.dpi:\t192\n..."), 0 when absent.
double XftDpi(const char* resources)
{
  if (!resources) return 0.0;
  for (const char* line = resources; line && *line;)
  {
    if (std::strncmp(line, "Xft.dpi:", 8) == 0) return std::atof(line + 8);
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return 0.0;
}

// A whole positive number, 0 for anything else.
int WholeNumber(const char* text)
{
  if (!text || !*text) return 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  return (*end == '\0' && v > 0 && v < 1000) ? static_cast<int>(v) : 0;
}
}  // namespace

int ChooseEditorScale(int hostScale, const char* gdkScale, const char* xResources)
{
  if (hostScale == 1 || hostScale == 2) return hostScale;
  if (const int gdk = WholeNumber(gdkScale)) return gdk >= 2 ? 2 : 1;
  return XftDpi(xResources) >= 144.0 ? 2 : 1;
}

int X11EditorScale(Display* pDisplay, int hostScale)
{
  return ChooseEditorScale(hostScale, std::getenv("GDK_SCALE"), pDisplay ? XResourceManagerString(pDisplay) : nullptr);
}
