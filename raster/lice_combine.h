// Pixel combining shared by blits, fills, points, lines and shapes (internal).
//
// Every rule works on the four bytes of a pixel separately, with signed integer
// arithmetic whose divisions truncate toward zero; the exact rounding matters,
// because drawn images are compared byte for byte.
#pragma once

#include "lice_bitmap.h"
#include "lice_pixel.h"

#include <algorithm>
#include <cstddef>

namespace lice
{

// Row access that hides bottom-up bitmaps.
struct View
{
  LICE_pixel* bits = nullptr;
  int w = 0, h = 0;
  ptrdiff_t span = 0;

  explicit operator bool() const { return bits && w > 0 && h > 0; }
  LICE_pixel* row(int y) const { return bits + span * y; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

inline View viewOf(LICE_IBitmap* bm)
{
  View v;
  if (!bm) return v;
  v.bits = bm->getBits();
  v.w = bm->getWidth();
  v.h = bm->getHeight();
  v.span = bm->getRowSpan();
  if (v.bits && bm->isFlipped() && v.h > 0)
  {
    v.bits += v.span * (v.h - 1);
    v.span = -v.span;
  }
  return v;
}

inline int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int byteOf(LICE_pixel p, int i) { return static_cast<int>((p >> (8 * i)) & 255u); }
inline LICE_pixel withByte(LICE_pixel p, int i, int v)
{
  return (p & ~(255u << (8 * i))) | (static_cast<LICE_pixel>(v) & 255u) << (8 * i);
}
inline LICE_pixel pack(int a, int r, int g, int b)
{
  return static_cast<LICE_pixel>(a & 255) | static_cast<LICE_pixel>(r & 255) << 8 |
         static_cast<LICE_pixel>(g & 255) << 16 | static_cast<LICE_pixel>(b & 255) << 24;
}

// Integer weight of a float weight; copy rules never go beyond full strength.
inline int weightToF(float w)
{
  const float f = w * 256.0f;
  if (!(f > -1e6f)) return 0;  // NaN or hugely negative
  if (f > 1e6f) return 1 << 20;
  return static_cast<int>(f);
}
inline int clampF(int f) { return f < 0 ? 0 : (f > 256 ? 256 : f); }

// s + (d - s) * inv / 256, the general mixing step.
inline int mixByte(int d, int s, int inv) { return s + (d - s) * inv / 256; }

inline LICE_pixel mixAll(LICE_pixel d, LICE_pixel s, int inv)
{
  return pack(mixByte(byteOf(d, 0), byteOf(s, 0), inv), mixByte(byteOf(d, 1), byteOf(s, 1), inv),
              mixByte(byteOf(d, 2), byteOf(s, 2), inv), mixByte(byteOf(d, 3), byteOf(s, 3), inv));
}
inline LICE_pixel halfSum(LICE_pixel d, LICE_pixel s) { return ((d >> 1) & 0x7f7f7f7fu) + ((s >> 1) & 0x7f7f7f7fu); }
inline LICE_pixel quarterSum(LICE_pixel x) { return (x >> 2) & 0x3f3f3f3fu; }

inline LICE_pixel addAll(LICE_pixel d, LICE_pixel s, int F)
{
  LICE_pixel out = 0;
  for (int i = 0; i < 4; ++i)
    out |= static_cast<LICE_pixel>(clamp255(byteOf(d, i) + F * byteOf(s, i) / 256)) << (8 * i);
  return out;
}

inline int dodgeByte(int d, int s, int F)
{
  const int c = 256 - F * s / 256;
  return c >= 2 ? clamp255(d * 256 / c) : clamp255(d * 256);
}
inline LICE_pixel dodgeAll(LICE_pixel d, LICE_pixel s, int F)
{
  LICE_pixel out = 0;
  for (int i = 0; i < 4; ++i) out |= static_cast<LICE_pixel>(dodgeByte(byteOf(d, i), byteOf(s, i), F)) << (8 * i);
  return out;
}

// Multiply and overlay are mixed toward their result by F on every byte.
inline int mulByte(int d, int s) { return d * (s + 1) / 256; }
inline int overlayByte(int d, int s) { return d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255; }
template <int (*Op)(int, int)>
inline LICE_pixel opMixAll(LICE_pixel d, LICE_pixel s, int F, int firstByte)
{
  LICE_pixel out = d;
  for (int i = firstByte; i < 4; ++i)
  {
    const int db = byteOf(d, i);
    out = withByte(out, i, db + (Op(db, byteOf(s, i)) - db) * F / 256);
  }
  return out;
}

// ---- Blit: one source pixel s onto d ----

enum class BlitRule
{
  kCopyWhole,      // weight exactly 1: rows copied unchanged
  kCopyHalf,       // weight exactly 0.5: per-byte half sums
  kCopyMix,        // any other weight
  kCopyAlphaFull,  // source alpha at full weight
  kCopyAlphaMix,   // source alpha at a lower weight
  kAdd,
  kAddAlpha,
  kDodge,
  kDodgeAlpha,
  kMul,
  kMulAlpha,
  kOverlay,
  kOverlayAlpha,
};

struct BlitParams
{
  BlitRule rule = BlitRule::kCopyWhole;
  int F = 256;
};

inline BlitParams blitParams(float weight, int mode)
{
  BlitParams p;
  const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
  int op = mode & LICE_BLIT_MODE_MASK;
  p.F = weightToF(weight);
  switch (op)
  {
    case LICE_BLIT_MODE_ADD: p.rule = useAlpha ? BlitRule::kAddAlpha : BlitRule::kAdd; return p;
    case LICE_BLIT_MODE_DODGE: p.rule = useAlpha ? BlitRule::kDodgeAlpha : BlitRule::kDodge; return p;
    case LICE_BLIT_MODE_MUL:
      p.F = clampF(p.F);
      p.rule = useAlpha ? BlitRule::kMulAlpha : BlitRule::kMul;
      return p;
    case LICE_BLIT_MODE_OVERLAY:
      p.F = clampF(p.F);
      p.rule = useAlpha ? BlitRule::kOverlayAlpha : BlitRule::kOverlay;
      return p;
    default: break;  // copy; the hue/saturation/value and channel-copy operations copy too
  }
  p.F = clampF(p.F);
  if (useAlpha)
  {
    p.rule = p.F >= 256 ? BlitRule::kCopyAlphaFull : BlitRule::kCopyAlphaMix;
  }
  else if (weight >= 1.0f)
  {
    p.rule = BlitRule::kCopyWhole;
  }
  else if (weight == 0.5f)
  {
    p.rule = BlitRule::kCopyHalf;
  }
  else
  {
    p.rule = BlitRule::kCopyMix;
  }
  return p;
}

inline LICE_pixel blitPixel(LICE_pixel d, LICE_pixel s, const BlitParams& p)
{
  const int a = byteOf(s, 0);
  const int F = p.F;
  switch (p.rule)
  {
    case BlitRule::kCopyWhole: return s;
    case BlitRule::kCopyHalf: return halfSum(d, s);
    case BlitRule::kCopyMix: return F <= 0 ? d : mixAll(d, s, 256 - F);
    case BlitRule::kCopyAlphaFull:
    {
      if (a == 0) return d;
      if (a == 255) return (s & 0xffffff00u) | 255u;
      const int inv = 255 - a;
      return pack(std::min(255, a + byteOf(d, 0)), mixByte(byteOf(d, 1), byteOf(s, 1), inv),
                  mixByte(byteOf(d, 2), byteOf(s, 2), inv), mixByte(byteOf(d, 3), byteOf(s, 3), inv));
    }
    case BlitRule::kCopyAlphaMix:
    {
      if (a == 0) return d;
      const int g = F * (a + 1) / 256;
      const int inv = 256 - g;
      return pack(std::min(255, g + byteOf(d, 0)), mixByte(byteOf(d, 1), byteOf(s, 1), inv),
                  mixByte(byteOf(d, 2), byteOf(s, 2), inv), mixByte(byteOf(d, 3), byteOf(s, 3), inv));
    }
    case BlitRule::kAdd: return addAll(d, s, F);
    case BlitRule::kAddAlpha:
    {
      if (a == 0) return d;
      const int h = F * (a + 1) / 256;
      return pack(clamp255(byteOf(d, 0) + a * h / 256), clamp255(byteOf(d, 1) + h * byteOf(s, 1) / 256),
                  clamp255(byteOf(d, 2) + h * byteOf(s, 2) / 256), clamp255(byteOf(d, 3) + h * byteOf(s, 3) / 256));
    }
    case BlitRule::kDodge: return dodgeAll(d, s, F);
    case BlitRule::kDodgeAlpha:
    {
      // The source's alpha scales the dodge strength; the alpha byte dodges by alpha itself.
      if (a == 0) return d;
      return dodgeAll(d, s, F * (a + 1) / 256);
    }
    case BlitRule::kMul: return opMixAll<mulByte>(d, s, F, 0);
    case BlitRule::kOverlay: return opMixAll<overlayByte>(d, s, F, 0);
    case BlitRule::kMulAlpha:
    case BlitRule::kOverlayAlpha:
    {
      if (a == 0) return d;
      const int g = F * (a + 1) / 256;
      LICE_pixel out =
        p.rule == BlitRule::kMulAlpha ? opMixAll<mulByte>(d, s, g, 1) : opMixAll<overlayByte>(d, s, g, 1);
      return withByte(out, 0, std::min(255, g + byteOf(d, 0)));
    }
  }
  return d;
}

// Combines a source row into a destination row (they may not overlap).
void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, const BlitParams& p);

// ---- Colour onto a pixel: fills, points, lines, shapes ----

// Which copy rule a colour operation uses at weights other than full.
enum class ColorRule
{
  kFill,   // rectangles and filled shapes: shortcut weights, alpha mixed toward F
  kPoint,  // single points: shortcut weights, all bytes mixed toward the colour
  kLine,   // lines and outlines: all bytes mixed toward the colour
};

// One colour operation: the colour k at integer weight F (already scaled by
// coverage) with operation `op` (low byte of the mode word).
inline LICE_pixel colorPixel(LICE_pixel d, LICE_pixel k, int F, int op, ColorRule rule)
{
  if (F <= 0) return d;
  if (op == LICE_BLIT_MODE_ADD) return addAll(d, k, F);
  if (op == LICE_BLIT_MODE_DODGE) return dodgeAll(d, k, F);
  if (op == LICE_BLIT_MODE_MUL) return opMixAll<mulByte>(d, k, std::min(F, 256), 0);
  if (op == LICE_BLIT_MODE_OVERLAY) return opMixAll<overlayByte>(d, k, std::min(F, 256), 0);
  if (F >= 256) return k;
  if (rule != ColorRule::kLine)
  {
    if (F == 128) return halfSum(d, k);
    if (F == 192) return ((k >> 1) & 0x7f7f7f7fu) + quarterSum(k) + quarterSum(d);
    if (F == 64) return quarterSum(k) + quarterSum(d) + ((d >> 1) & 0x7f7f7f7fu);
  }
  const int inv = 256 - F;
  LICE_pixel out = mixAll(d, k, inv);
  if (rule == ColorRule::kFill) out = withByte(out, 0, F + (byteOf(d, 0) - F) * inv / 256);
  return out;
}

// Weight of a fill or shape: the mode's source-alpha bit scales it by the colour's alpha.
inline float shapeWeight(float alpha, LICE_pixel color, int mode)
{
  if (mode & LICE_BLIT_USE_ALPHA) return alpha * static_cast<float>(LICE_GETA(color)) / 255.0f;
  return alpha;
}

// Blends the colour into one pixel at coverage cov (0..256) of weight F, clipped.
inline void blendColorAt(const View& v, int x, int y, LICE_pixel k, int F, int cov, int op, ColorRule rule)
{
  if (!v.contains(x, y) || cov <= 0) return;
  const int fe = cov >= 256 ? F : F * cov / 256;
  LICE_pixel* p = v.row(y) + x;
  *p = colorPixel(*p, k, fe, op, rule);
}

}  // namespace lice
