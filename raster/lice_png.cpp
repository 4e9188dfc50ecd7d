// PNG decoding and encoding over libpng.
//
// libpng reports errors by longjmp. Each function that calls setjmp keeps only
// plain data in its own frame and lets the caller own every C++ object, so a
// jump never skips a destructor.
#include "lice_png.h"

#include "lice_bitmap.h"
#include "lice_pixel.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Images larger than this are refused rather than allocated (a corrupt header
// must not make us reserve gigabytes).
constexpr png_uint_32 kMaxSide = 16384;
constexpr unsigned long long kMaxPixels = 1ull << 25;

struct MemoryReader
{
  const unsigned char* data;
  size_t size;
  size_t pos;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
  auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (!r || length > r->size - r->pos) png_error(png, "read past the end of the image");
  std::memcpy(out, r->data + r->pos, length);
  r->pos += length;
}

void silentWarning(png_structp, png_const_charp) {}

void failOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Decoded RGBA rows (owned by the caller of decodeRgba, outside the jump frame).
struct Decoded
{
  png_uint_32 width = 0, height = 0;
  std::vector<unsigned char> rgba;
  std::vector<png_bytep> rows;
};

// Sets up the transforms that turn any colour type and bit depth into 8-bit RGBA.
void requestRgba(png_structp png, png_infop info)
{
  const int colorType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// Reads the whole image into `out`; returns false on any libpng error.
bool decodeRgba(png_structp png, png_infop info, Decoded* out)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);
  out->width = png_get_image_width(png, info);
  out->height = png_get_image_height(png, info);
  if (out->width == 0 || out->height == 0) return false;
  if (static_cast<unsigned long long>(out->width) * out->height > kMaxPixels) return false;
  requestRgba(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(out->width) * 4) return false;
  out->rgba.resize(static_cast<size_t>(out->width) * out->height * 4);
  out->rows.resize(out->height);
  for (png_uint_32 y = 0; y < out->height; ++y) out->rows[y] = &out->rgba[static_cast<size_t>(y) * out->width * 4];
  png_read_image(png, out->rows.data());
  png_read_end(png, nullptr);
  return true;
}

struct ReadStructs
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

LICE_IBitmap* storeDecoded(const Decoded& img, LICE_IBitmap* bmp)
{
  std::unique_ptr<LICE_IBitmap> owned;
  if (!bmp)
  {
    owned = std::make_unique<LICE_MemBitmap>();
    bmp = owned.get();
  }
  bmp->resize(static_cast<int>(img.width), static_cast<int>(img.height));
  LICE_pixel* bits = bmp->getBits();
  if (!bits || bmp->getWidth() != static_cast<int>(img.width) || bmp->getHeight() != static_cast<int>(img.height))
    return nullptr;
  const int span = bmp->getRowSpan();
  for (png_uint_32 y = 0; y < img.height; ++y)
  {
    const int row = bmp->isFlipped() ? static_cast<int>(img.height - 1 - y) : static_cast<int>(y);
    LICE_pixel* dst = bits + static_cast<ptrdiff_t>(row) * span;
    const unsigned char* src = img.rows[y];
    for (png_uint_32 x = 0; x < img.width; ++x, src += 4) dst[x] = LICE_RGBA(src[0], src[1], src[2], src[3]);
  }
  owned.release();
  return bmp;
}

// Shared by the file and memory loaders once `setupInput` has attached the input.
template <class SetupInput>
LICE_IBitmap* loadWith(SetupInput setupInput, LICE_IBitmap* bmp)
{
  ReadStructs rs;
  rs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failOnError, silentWarning);
  if (!rs.png) return nullptr;
  rs.info = png_create_info_struct(rs.png);
  if (!rs.info) return nullptr;
  setupInput(rs.png);
  Decoded img;
  if (!decodeRgba(rs.png, rs.info, &img)) return nullptr;
  return storeDecoded(img, bmp);
}

bool hasSignature(const unsigned char* data, size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

struct FileCloser
{
  void operator()(FILE* f) const
  {
    if (f) std::fclose(f);
  }
};

}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp)
{
  if (!filename) return nullptr;
  std::unique_ptr<FILE, FileCloser> f(std::fopen(filename, "rb"));
  if (!f) return nullptr;
  unsigned char sig[8];
  if (std::fread(sig, 1, 8, f.get()) != 8 || !hasSignature(sig, 8)) return nullptr;
  FILE* fp = f.get();
  return loadWith(
    [fp](png_structp png) {
      png_init_io(png, fp);
      png_set_sig_bytes(png, 8);
    },
    bmp);
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, LICE_IBitmap* bmp)
{
  if (!data || !hasSignature(static_cast<const unsigned char*>(data), size)) return nullptr;
  MemoryReader reader{static_cast<const unsigned char*>(data), size, 0};
  return loadWith([&reader](png_structp png) { png_set_read_fn(png, &reader, readFromMemory); }, bmp);
}

namespace
{

struct WriteStructs
{
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool encode(png_structp png, png_infop info, FILE* fp, png_uint_32 w, png_uint_32 h, bool wantAlpha, png_bytepp rows)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, fp);
  png_set_IHDR(png, info, w, h, 8, wantAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp, bool wantAlpha)
{
  if (!filename || !bmp || !bmp->getBits() || bmp->getWidth() <= 0 || bmp->getHeight() <= 0) return false;
  const int w = bmp->getWidth(), h = bmp->getHeight(), span = bmp->getRowSpan();
  const int channels = wantAlpha ? 4 : 3;
  std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * channels);
  std::vector<png_bytep> rows(h);
  for (int y = 0; y < h; ++y)
  {
    const int srcRow = bmp->isFlipped() ? h - 1 - y : y;
    const LICE_pixel* src = bmp->getBits() + static_cast<ptrdiff_t>(srcRow) * span;
    unsigned char* out = &bytes[static_cast<size_t>(y) * w * channels];
    rows[y] = out;
    for (int x = 0; x < w; ++x)
    {
      *out++ = static_cast<unsigned char>(LICE_GETR(src[x]));
      *out++ = static_cast<unsigned char>(LICE_GETG(src[x]));
      *out++ = static_cast<unsigned char>(LICE_GETB(src[x]));
      if (wantAlpha) *out++ = static_cast<unsigned char>(LICE_GETA(src[x]));
    }
  }
  // Written beside the target and renamed into place, so a failure leaves no partial file.
  const std::string tmp = std::string(filename) + ".part";
  bool ok = false;
  {
    std::unique_ptr<FILE, FileCloser> f(std::fopen(tmp.c_str(), "wb"));
    if (!f) return false;
    WriteStructs ws;
    ws.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failOnError, silentWarning);
    if (ws.png) ws.info = png_create_info_struct(ws.png);
    if (ws.png && ws.info) ok = encode(ws.png, ws.info, f.get(), w, h, wantAlpha, rows.data());
    if (ok) ok = std::fflush(f.get()) == 0 && !std::ferror(f.get());
    FILE* raw = f.release();
    ok = (std::fclose(raw) == 0) && ok;
  }
  if (ok) ok = std::rename(tmp.c_str(), filename) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}
