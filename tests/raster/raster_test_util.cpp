#include "raster_test_util.h"

#include <cstdlib>
#include <unistd.h>

namespace rt
{

void fillPattern(LICE_IBitmap* bm, unsigned seed)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      unsigned v = (seed + 1) * 2654435761u ^ (unsigned(x) * 40503u + unsigned(y) * 9973u);
      v ^= v >> 13;
      v *= 0x5bd1e995u;
      bm->getBits()[y * bm->getRowSpan() + x] = v ^ (v >> 15);
    }
}

bool samePixels(LICE_IBitmap* a, LICE_IBitmap* b)
{
  if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return false;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (LICE_GetPixel(a, x, y) != LICE_GetPixel(b, x, y)) return false;
  return true;
}

std::unique_ptr<LICE_MemBitmap> crop(LICE_IBitmap* src, int x, int y, int w, int h)
{
  auto out = std::make_unique<LICE_MemBitmap>(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out->getBits()[j * out->getRowSpan() + i] = LICE_GetPixel(src, x + i, y + j);
  return out;
}

std::string tempPath(const std::string& name)
{
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/raster_test_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace rt
