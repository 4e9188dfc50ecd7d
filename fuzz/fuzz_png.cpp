// The raster layer's PNG loader, from memory. A decoded image has the size its header
// gives and every pixel in place.

#include "lice_bitmap.h"
#include "lice_png.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNGFromMemory(data, size, nullptr));
  if (!bmp) return 0;
  const int w = bmp->getWidth(), h = bmp->getHeight();
  if (w <= 0 || h <= 0 || !bmp->getBits()) std::abort();
  // Touch the corners, so a short allocation shows.
  volatile LICE_pixel sum = 0;
  const LICE_pixel* bits = bmp->getBits();
  const int span = bmp->getRowSpan();
  sum = sum + bits[0] + bits[w - 1] + bits[static_cast<size_t>(h - 1) * span] +
        bits[static_cast<size_t>(h - 1) * span + w - 1];
  return 0;
}
