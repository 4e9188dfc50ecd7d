#include "lice_bitmap.h"

#include <algorithm>
#include <cstddef>

namespace
{

// Sizes beyond this are refused: they would overflow the pixel count of one
// allocation and no editor surface or image comes near it.
constexpr int kMaxSide = 1 << 15;

bool validSize(int w, int h) { return w >= 0 && h >= 0 && w <= kMaxSide && h <= kMaxSide; }

int alignedSpan(int w, unsigned int align)
{
  if (align <= 1) return w;
  const unsigned int a = std::min(align, 1024u);
  return static_cast<int>((static_cast<unsigned int>(w) + a - 1) / a * a);
}

}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int lineAlign)
  : m_align(lineAlign)
{
  resize(w, h);
}

bool LICE_MemBitmap::resize(int w, int h)
{
  if (!validSize(w, h)) w = h = 0;
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  m_span = alignedSpan(w, m_align);
  m_pixels.assign(static_cast<size_t>(m_span) * static_cast<size_t>(h), 0);
  if (w == 0 || h == 0) m_pixels.clear();
  return true;
}

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { resize(w, h); }

bool LICE_SysBitmap::resize(int w, int h)
{
  if (!validSize(w, h)) w = h = 0;
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  m_pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  if (w == 0 || h == 0) m_pixels.clear();
  return true;
}
