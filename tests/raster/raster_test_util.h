// Small helpers shared by the raster tests.
#pragma once

#include "raster/lice.h"

#include <array>
#include <memory>
#include <string>

namespace rt
{

using Bytes = std::array<int, 4>;  // A, R, G, B as stored in memory

inline LICE_pixel px(Bytes b) { return LICE_RGBA(b[1], b[2], b[3], b[0]); }
inline Bytes bytes(LICE_pixel p)
{
  return {int(LICE_GETA(p)), int(LICE_GETR(p)), int(LICE_GETG(p)), int(LICE_GETB(p))};
}

// A bitmap filled with a distinct value per pixel, so any misplaced write shows.
void fillPattern(LICE_IBitmap* bm, unsigned seed);
// True when the two bitmaps have the same size and pixels.
bool samePixels(LICE_IBitmap* a, LICE_IBitmap* b);
// Copies the w x h area at (x, y) of `src` into a new bitmap.
std::unique_ptr<LICE_MemBitmap> crop(LICE_IBitmap* src, int x, int y, int w, int h);
std::string tempPath(const std::string& name);

}  // namespace rt
