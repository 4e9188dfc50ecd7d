// Bitmaps of the raster layer: an abstract interface and two memory-backed kinds.
#pragma once

#include "lice_pixel.h"

#include <vector>

struct HDC__;
typedef HDC__* HDC;

// A rectangle of pixels. Row y starts at getBits() + y * getRowSpan() unless
// isFlipped(), when rows are stored bottom-up.
class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() = default;

  virtual LICE_pixel* getBits() = 0;
  virtual int getWidth() const = 0;
  virtual int getHeight() const = 0;
  // Pixels (not bytes) from one row to the next.
  virtual int getRowSpan() const = 0;
  virtual bool isFlipped() const { return false; }
  // Changes the size; the contents become transparent black. Returns true when the size changed.
  virtual bool resize(int w, int h) = 0;
  // The platform drawing context over the same pixels, or null where there is none.
  virtual HDC getDC() const { return nullptr; }
};

// Plain memory bitmap whose rows are padded to a multiple of `lineAlign` pixels.
class LICE_MemBitmap final : public LICE_IBitmap
{
public:
  explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int lineAlign = 4);
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() override { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  int getWidth() const override { return m_width; }
  int getHeight() const override { return m_height; }
  int getRowSpan() const override { return m_span; }
  bool resize(int w, int h) override;

private:
  std::vector<LICE_pixel> m_pixels;
  int m_width = 0, m_height = 0, m_span = 0;
  unsigned int m_align;
};

// The editor's drawing surface. On Linux it is a memory bitmap with unpadded
// rows that a window binding copies to its window (getBits/getRowSpan); there
// is no platform drawing context, so getDC() is null.
class LICE_SysBitmap final : public LICE_IBitmap
{
public:
  explicit LICE_SysBitmap(int w = 0, int h = 0);
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() override { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  int getWidth() const override { return m_width; }
  int getHeight() const override { return m_height; }
  int getRowSpan() const override { return m_width; }
  bool resize(int w, int h) override;

private:
  std::vector<LICE_pixel> m_pixels;
  int m_width = 0, m_height = 0;
};
