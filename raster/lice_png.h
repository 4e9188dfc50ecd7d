// PNG images: decode any colour type and bit depth into the pixel format, encode
// a bitmap for snapshots and generated artwork. Any thread (no shared state).
#pragma once

#include <cstddef>

class LICE_IBitmap;

// Decodes a PNG file. With `bmp` the image is decoded into it (resized) and
// `bmp` is returned; without, a new LICE_MemBitmap is returned that the caller
// owns. A missing, truncated, corrupt or absurdly large image gives null and
// leaves `bmp` unchanged.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
// The same for an image held in memory (images compiled into the program).
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, LICE_IBitmap* bmp = nullptr);

// Writes the bitmap as an 8-bit RGBA PNG (RGB when !wantAlpha). Returns false on
// any failure (no pixels, unwritable file); a failed write leaves no partial file.
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp, bool wantAlpha = true);
