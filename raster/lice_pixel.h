// The raster layer's pixel: 32 bits, alpha in bits 0-7, red 8-15, green 16-23,
// blue 24-31, so the bytes in memory read A, R, G, B on a little-endian machine.
// Colours are straight (not premultiplied) alpha.
#pragma once

#include <bit>
#include <cstdint>

typedef uint32_t LICE_pixel;
typedef unsigned char LICE_pixel_chan;

static_assert(std::endian::native == std::endian::little,
              "pixel byte order A, R, G, B assumes a little-endian machine");

// Byte offsets of the channels inside a pixel in memory.
constexpr int LICE_PIXEL_A = 0;
constexpr int LICE_PIXEL_R = 1;
constexpr int LICE_PIXEL_G = 2;
constexpr int LICE_PIXEL_B = 3;

constexpr LICE_pixel LICE_RGBA(unsigned r, unsigned g, unsigned b, unsigned a)
{
  return (a & 255u) | (r & 255u) << 8 | (g & 255u) << 16 | (b & 255u) << 24;
}
constexpr LICE_pixel LICE_RGB(unsigned r, unsigned g, unsigned b) { return LICE_RGBA(r, g, b, 255); }
constexpr unsigned LICE_GETA(LICE_pixel v) { return v & 255u; }
constexpr unsigned LICE_GETR(LICE_pixel v) { return (v >> 8) & 255u; }
constexpr unsigned LICE_GETG(LICE_pixel v) { return (v >> 16) & 255u; }
constexpr unsigned LICE_GETB(LICE_pixel v) { return (v >> 24) & 255u; }

// Mode word of every blit, fill, point and shape call.
// Low byte: the operation.
constexpr int LICE_BLIT_MODE_MASK = 0xff;
constexpr int LICE_BLIT_MODE_COPY = 0;
constexpr int LICE_BLIT_MODE_ADD = 1;
constexpr int LICE_BLIT_MODE_DODGE = 2;
constexpr int LICE_BLIT_MODE_MUL = 3;
constexpr int LICE_BLIT_MODE_OVERLAY = 4;
constexpr int LICE_BLIT_MODE_HSVADJ = 5;
// Low byte 0xF0 or above: single-channel copy (here: treated as a plain copy).
constexpr int LICE_BLIT_MODE_CHANCOPY = 0xf0;
// Scaled and rotated blits interpolate between source pixels.
constexpr int LICE_BLIT_FILTER_BILINEAR = 0x100;
// Weight each source pixel (blits) or the colour (fills and shapes) by its alpha.
constexpr int LICE_BLIT_USE_ALPHA = 0x10000;
