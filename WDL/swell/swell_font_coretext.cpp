// The font service on Apple systems, over CoreText: the same calls as swell_font.cpp
// (FreeType and fontconfig on Linux), with faces, metrics and glyph images from the system,
// so the component links nothing but the system's frameworks. Built only on Apple.

#include "swell_font.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <CoreText/CoreText.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <string>

struct SWELL_FontObject
{
  CTFontRef font = nullptr;
  std::mutex mutex;  // one glyph context per font, used by one thread at a time
  SWELL_FontMetrics metrics;
  int escapement = 0;
  bool mono = false;
  std::string family, file;
};

namespace
{
constexpr int kDefaultHeight = 13;

std::string Text(CFStringRef s)
{
  if (!s) return std::string();
  char buf[512] = "";
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? buf : "";
}

// The face for a name, weight and slant; a name the system does not know resolves to its
// closest face, as CoreText's own fallback gives it.
CTFontRef MakeFont(const char* faceName, double size, int weight, bool italic)
{
  CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, faceName && *faceName ? faceName : "Helvetica",
                                               kCFStringEncodingUTF8);
  if (!name) return nullptr;
  CTFontRef base = CTFontCreateWithName(name, size, nullptr);
  CFRelease(name);
  if (!base) return nullptr;
  CTFontSymbolicTraits traits = 0;
  if (weight >= 600) traits |= kCTFontBoldTrait;
  if (italic) traits |= kCTFontItalicTrait;
  if (!traits) return base;
  CTFontRef styled = CTFontCreateCopyWithSymbolicTraits(base, size, nullptr, traits, traits);
  if (!styled) return base;  // no such style: the plain face
  CFRelease(base);
  return styled;
}

// The size at which ascent + descent is a positive height, or the em for a negative one.
double SizeFor(const char* faceName, int height, int weight, bool italic)
{
  height = std::clamp(height, -2000, 2000);
  if (height < 0) return -height;
  CTFontRef unit = MakeFont(faceName, 100.0, weight, italic);
  if (!unit) return height;
  const double cell = CTFontGetAscent(unit) + CTFontGetDescent(unit);
  CFRelease(unit);
  return cell > 0 ? std::clamp(height * 100.0 / cell, 1.0, 2000.0) : height;
}
}  // namespace

HFONT CreateFont(int height, int /*width*/, int escapement, int /*orientation*/, int weight, char italic,
                 char /*underline*/, char /*strikeOut*/, char /*charSet*/, char /*outPrecision*/,
                 char /*clipPrecision*/, char quality, char /*pitchAndFamily*/, const char* faceName)
{
  if (height == 0) height = kDefaultHeight;
  const double size = SizeFor(faceName, height, weight, italic != 0);
  CTFontRef font = MakeFont(faceName, size, weight, italic != 0);
  if (!font) return nullptr;
  auto* f = new SWELL_FontObject;
  f->font = font;
  f->escapement = escapement;
  f->mono = quality == NONANTIALIASED_QUALITY;
  const double ascent = CTFontGetAscent(font), descent = CTFontGetDescent(font);
  if (height > 0)
  {
    f->metrics.ascent = static_cast<int>(std::lround(ascent));
    f->metrics.descent = height - f->metrics.ascent;
  }
  else
  {
    f->metrics.ascent = static_cast<int>(std::ceil(ascent));
    f->metrics.descent = static_cast<int>(std::ceil(descent));
  }
  f->metrics.lineHeight = f->metrics.ascent + f->metrics.descent;
  CFStringRef family = CTFontCopyFamilyName(font);
  f->family = Text(family);
  if (family) CFRelease(family);
  if (CFURLRef url = static_cast<CFURLRef>(CTFontCopyAttribute(font, kCTFontURLAttribute)))
  {
    char path[1024] = "";
    if (CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof(path))) f->file = path;
    CFRelease(url);
  }
  return f;
}

bool DeleteObject(HFONT font)
{
  if (!font) return false;
  if (font->font) CFRelease(font->font);
  delete font;
  return true;
}

bool SWELL_GetFontMetrics(HFONT font, SWELL_FontMetrics* out)
{
  if (!font || !out) return false;
  *out = font->metrics;
  return true;
}

bool SWELL_RenderGlyph(HFONT font, uint32_t codePoint, SWELL_GlyphImage* out)
{
  if (!font || !out) return false;
  std::lock_guard<std::mutex> lock(font->mutex);
  UniChar chars[2];
  CFIndex nChars = 1;
  if (codePoint > 0xFFFF)
  {
    const uint32_t v = codePoint - 0x10000;
    chars[0] = static_cast<UniChar>(0xD800 + (v >> 10));
    chars[1] = static_cast<UniChar>(0xDC00 + (v & 0x3FF));
    nChars = 2;
  }
  else
  {
    chars[0] = static_cast<UniChar>(codePoint);
  }
  CGGlyph glyphs[2] = {0, 0};
  CTFontGetGlyphsForCharacters(font->font, chars, glyphs, nChars);  // a missing glyph stays 0 (.notdef)

  // Rotation by the escapement, counter-clockwise, as on the other platform.
  const double angle = font->escapement / 10.0 * std::numbers::pi / 180.0;
  const CGAffineTransform rotation = CGAffineTransformMakeRotation(angle);
  CGSize advance = CGSizeZero;
  CTFontGetAdvancesForGlyphs(font->font, kCTFontOrientationHorizontal, glyphs, &advance, 1);
  const CGRect box = CGRectApplyAffineTransform(
    CTFontGetBoundingRectsForGlyphs(font->font, kCTFontOrientationHorizontal, glyphs, nullptr, 1), rotation);

  // Coverage rows with a pixel of margin around the glyph's box (y upward from the baseline).
  const int left = static_cast<int>(std::floor(box.origin.x)) - 1;
  const int bottom = static_cast<int>(std::floor(box.origin.y)) - 1;
  const int right = static_cast<int>(std::ceil(box.origin.x + box.size.width)) + 1;
  const int top = static_cast<int>(std::ceil(box.origin.y + box.size.height)) + 1;
  out->width = std::max(0, right - left);
  out->height = std::max(0, top - bottom);
  out->left = left;
  out->top = top;
  const CGPoint pen = CGPointApplyAffineTransform(CGPointMake(advance.width, 0), rotation);
  out->advanceX = static_cast<int32_t>(std::lround(pen.x * 64.0));
  out->advanceY = static_cast<int32_t>(std::lround(-pen.y * 64.0));  // y downward in the result
  out->coverage.assign(static_cast<size_t>(out->width) * out->height, 0);
  if (out->width == 0 || out->height == 0) return true;

  CGContextRef ctx = CGBitmapContextCreate(out->coverage.data(), out->width, out->height, 8, out->width, nullptr,
                                           static_cast<CGBitmapInfo>(kCGImageAlphaOnly));
  if (!ctx) return false;
  CGContextSetShouldAntialias(ctx, !font->mono);
  CGContextSetShouldSmoothFonts(ctx, false);
  // The context's origin is its bottom-left pixel, and its first byte is its top row.
  CGContextTranslateCTM(ctx, -left, -bottom);
  CGContextConcatCTM(ctx, rotation);
  const CGPoint origin = CGPointZero;
  CTFontDrawGlyphs(font->font, glyphs, &origin, 1, ctx);
  CGContextRelease(ctx);
  return true;
}

int32_t SWELL_GetKerning(HFONT, uint32_t, uint32_t) { return 0; }

int SWELL_GetFontEscapement(HFONT font) { return font ? font->escapement : 0; }

const char* SWELL_GetFontFamily(HFONT font) { return font ? font->family.c_str() : ""; }

const char* SWELL_GetFontFile(HFONT font) { return font ? font->file.c_str() : ""; }
