// PNG decoding and encoding on Apple systems, through ImageIO: the same calls as
// lice_png.cpp (libpng on Linux), so the component links nothing but the system's
// frameworks. Built only on Apple.
#include "lice_png.h"

#include "lice_bitmap.h"
#include "lice_pixel.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <ImageIO/ImageIO.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace
{
// Images larger than this are refused rather than allocated, as on the other platform.
constexpr size_t kMaxSide = 16384;
constexpr unsigned long long kMaxPixels = 1ull << 25;

template <class T>
struct CFReleaser
{
  void operator()(T p) const
  {
    if (p) CFRelease(p);
  }
};
template <class T>
using CFHolder = std::unique_ptr<std::remove_pointer_t<T>, CFReleaser<T>>;

bool hasSignature(const unsigned char* data, size_t size)
{
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

// Stores the image's straight (not premultiplied) RGBA pixels in the bitmap.
LICE_IBitmap* store(CGImageSourceRef source, LICE_IBitmap* bmp)
{
  if (!source || CGImageSourceGetCount(source) < 1) return nullptr;
  CFHolder<CGImageRef> image(CGImageSourceCreateImageAtIndex(source, 0, nullptr));
  if (!image) return nullptr;
  const size_t w = CGImageGetWidth(image.get()), h = CGImageGetHeight(image.get());
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || static_cast<unsigned long long>(w) * h > kMaxPixels)
    return nullptr;

  // Drawn into an RGBA context, which holds premultiplied colour; divided back out below
  // (exact for opaque and fully transparent pixels, which the editor's images are made of).
  std::vector<unsigned char> rgba(w * h * 4, 0);
  CFHolder<CGColorSpaceRef> space(CGColorSpaceCreateWithName(kCGColorSpaceSRGB));
  CGContextRef ctx =
    CGBitmapContextCreate(rgba.data(), w, h, 8, w * 4, space.get(),
                          static_cast<CGBitmapInfo>(kCGImageAlphaPremultipliedLast) | kCGBitmapByteOrder32Big);
  if (!ctx) return nullptr;
  CGContextSetBlendMode(ctx, kCGBlendModeCopy);
  CGContextDrawImage(ctx, CGRectMake(0, 0, w, h), image.get());
  CGContextRelease(ctx);

  std::unique_ptr<LICE_IBitmap> owned;
  if (!bmp)
  {
    owned = std::make_unique<LICE_MemBitmap>();
    bmp = owned.get();
  }
  bmp->resize(static_cast<int>(w), static_cast<int>(h));
  LICE_pixel* bits = bmp->getBits();
  if (!bits || bmp->getWidth() != static_cast<int>(w) || bmp->getHeight() != static_cast<int>(h)) return nullptr;
  const int span = bmp->getRowSpan();
  for (size_t y = 0; y < h; ++y)
  {
    const size_t row = bmp->isFlipped() ? h - 1 - y : y;
    LICE_pixel* dst = bits + static_cast<ptrdiff_t>(row) * span;
    const unsigned char* src = &rgba[y * w * 4];
    for (size_t x = 0; x < w; ++x, src += 4)
    {
      const unsigned a = src[3];
      auto straight = [a](unsigned c) { return a ? (c * 255 + a / 2) / a : 0u; };
      dst[x] = LICE_RGBA(straight(src[0]), straight(src[1]), straight(src[2]), a);
    }
  }
  owned.release();
  return bmp;
}
}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp)
{
  if (!filename) return nullptr;
  FILE* f = std::fopen(filename, "rb");
  if (!f) return nullptr;
  unsigned char sig[8];
  const bool isPNG = std::fread(sig, 1, 8, f) == 8 && hasSignature(sig, 8);
  std::fclose(f);
  if (!isPNG) return nullptr;
  CFHolder<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(
    kCFAllocatorDefault, reinterpret_cast<const UInt8*>(filename), static_cast<CFIndex>(std::strlen(filename)), false));
  if (!url) return nullptr;
  CFHolder<CGImageSourceRef> source(CGImageSourceCreateWithURL(url.get(), nullptr));
  return store(source.get(), bmp);
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, LICE_IBitmap* bmp)
{
  if (!data || !hasSignature(static_cast<const unsigned char*>(data), size)) return nullptr;
  CFHolder<CFDataRef> bytes(CFDataCreateWithBytesNoCopy(kCFAllocatorDefault, static_cast<const UInt8*>(data),
                                                        static_cast<CFIndex>(size), kCFAllocatorNull));
  if (!bytes) return nullptr;
  CFHolder<CGImageSourceRef> source(CGImageSourceCreateWithData(bytes.get(), nullptr));
  return store(source.get(), bmp);
}

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp, bool wantAlpha)
{
  if (!filename || !bmp || !bmp->getBits() || bmp->getWidth() <= 0 || bmp->getHeight() <= 0) return false;
  const size_t w = static_cast<size_t>(bmp->getWidth()), h = static_cast<size_t>(bmp->getHeight());
  const int span = bmp->getRowSpan();
  std::vector<unsigned char> bytes(w * h * 4);
  for (size_t y = 0; y < h; ++y)
  {
    const size_t srcRow = bmp->isFlipped() ? h - 1 - y : y;
    const LICE_pixel* src = bmp->getBits() + static_cast<ptrdiff_t>(srcRow) * span;
    unsigned char* out = &bytes[y * w * 4];
    for (size_t x = 0; x < w; ++x)
    {
      *out++ = static_cast<unsigned char>(LICE_GETR(src[x]));
      *out++ = static_cast<unsigned char>(LICE_GETG(src[x]));
      *out++ = static_cast<unsigned char>(LICE_GETB(src[x]));
      *out++ = wantAlpha ? static_cast<unsigned char>(LICE_GETA(src[x])) : 255;
    }
  }
  CFHolder<CFDataRef> pixels(CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
  CFHolder<CGDataProviderRef> provider(CGDataProviderCreateWithCFData(pixels.get()));
  CFHolder<CGColorSpaceRef> space(CGColorSpaceCreateWithName(kCGColorSpaceSRGB));
  // Straight alpha, as the bitmap holds it; without alpha the fourth byte is skipped.
  const CGBitmapInfo info =
    static_cast<CGBitmapInfo>(wantAlpha ? kCGImageAlphaLast : kCGImageAlphaNoneSkipLast) | kCGBitmapByteOrder32Big;
  CFHolder<CGImageRef> image(
    CGImageCreate(w, h, 8, 32, w * 4, space.get(), info, provider.get(), nullptr, false, kCGRenderingIntentDefault));
  if (!image) return false;

  // Written beside the target and renamed into place, so a failure leaves no partial file.
  const std::string tmp = std::string(filename) + ".part";
  CFHolder<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(
    kCFAllocatorDefault, reinterpret_cast<const UInt8*>(tmp.c_str()), static_cast<CFIndex>(tmp.size()), false));
  CFHolder<CGImageDestinationRef> dest(url ? CGImageDestinationCreateWithURL(url.get(), CFSTR("public.png"), 1, nullptr)
                                           : nullptr);
  bool ok = false;
  if (dest)
  {
    CGImageDestinationAddImage(dest.get(), image.get(), nullptr);
    ok = CGImageDestinationFinalize(dest.get());
  }
  if (ok) ok = std::rename(tmp.c_str(), filename) == 0;
  if (!ok) std::remove(tmp.c_str());
  return ok;
}
