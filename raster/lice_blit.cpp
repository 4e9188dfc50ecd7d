#include "lice_blit.h"

#include "lice_combine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace lice
{

namespace
{
// The row loop for one rule: with the rule known here, blitPixel's choice of rule
// folds away instead of being made again for every pixel.
template <BlitRule kRule>
void blitRowWith(LICE_pixel* d, const LICE_pixel* s, int n, int F)
{
  const BlitParams p{kRule, F};
  for (int i = 0; i < n; ++i) d[i] = blitPixel(d[i], s[i], p);
}

// Images blended by their alpha are often mostly transparent (a title's letters over
// a display): a run of eight pixels with no alpha at all leaves the destination as
// it is, and is skipped whole.
template <>
void blitRowWith<BlitRule::kCopyAlphaFull>(LICE_pixel* d, const LICE_pixel* s, int n, int F)
{
  const BlitParams p{BlitRule::kCopyAlphaFull, F};
  constexpr int kRun = 8;
  int i = 0;
  for (; i + kRun <= n; i += kRun)
  {
    LICE_pixel alphas = 0;
    for (int k = 0; k < kRun; ++k) alphas |= s[i + k];
    if ((alphas & 255u) == 0) continue;
    for (int k = 0; k < kRun; ++k) d[i + k] = blitPixel(d[i + k], s[i + k], p);
  }
  for (; i < n; ++i) d[i] = blitPixel(d[i], s[i], p);
}
}  // namespace

void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, const BlitParams& p)
{
  switch (p.rule)
  {
    case BlitRule::kCopyWhole: std::memcpy(d, s, sizeof(LICE_pixel) * static_cast<size_t>(n)); return;
    case BlitRule::kCopyHalf: return blitRowWith<BlitRule::kCopyHalf>(d, s, n, p.F);
    case BlitRule::kCopyMix: return blitRowWith<BlitRule::kCopyMix>(d, s, n, p.F);
    case BlitRule::kCopyAlphaFull: return blitRowWith<BlitRule::kCopyAlphaFull>(d, s, n, p.F);
    case BlitRule::kCopyAlphaMix: return blitRowWith<BlitRule::kCopyAlphaMix>(d, s, n, p.F);
    case BlitRule::kAdd: return blitRowWith<BlitRule::kAdd>(d, s, n, p.F);
    case BlitRule::kAddAlpha: return blitRowWith<BlitRule::kAddAlpha>(d, s, n, p.F);
    case BlitRule::kDodge: return blitRowWith<BlitRule::kDodge>(d, s, n, p.F);
    case BlitRule::kDodgeAlpha: return blitRowWith<BlitRule::kDodgeAlpha>(d, s, n, p.F);
    case BlitRule::kMul: return blitRowWith<BlitRule::kMul>(d, s, n, p.F);
    case BlitRule::kMulAlpha: return blitRowWith<BlitRule::kMulAlpha>(d, s, n, p.F);
    case BlitRule::kOverlay: return blitRowWith<BlitRule::kOverlay>(d, s, n, p.F);
    case BlitRule::kOverlayAlpha: return blitRowWith<BlitRule::kOverlayAlpha>(d, s, n, p.F);
  }
}

}  // namespace lice

namespace
{

using lice::View;

// Half-open integer interval.
struct Span
{
  long long lo, hi;
  bool empty() const { return hi <= lo; }
};

// The offsets i in [0, n) for which both a + i and b + i fall in their ranges.
Span commonSpan(long long n, long long a, long long aSize, long long b, long long bSize)
{
  return {std::max({0LL, -a, -b}), std::min({n, aSize - a, bSize - b})};
}

// Bilinear interpolation of four pixels, fx and fy in 0..256. When alphaWeighted,
// colours are weighted by their alpha so that transparent pixels lend no colour.
LICE_pixel bilerp(LICE_pixel p00, LICE_pixel p10, LICE_pixel p01, LICE_pixel p11, int fx, int fy, bool alphaWeighted)
{
  const int w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
  const LICE_pixel px[4] = {p00, p10, p01, p11};
  const int wt[4] = {w00, w10, w01, w11};
  long long alphaSum = 0;
  long long chan[4] = {0, 0, 0, 0};
  for (int k = 0; k < 4; ++k)
  {
    const int a = lice::byteOf(px[k], 0);
    alphaSum += static_cast<long long>(wt[k]) * a;
    const long long cw = alphaWeighted ? static_cast<long long>(wt[k]) * a : wt[k];
    for (int c = 1; c < 4; ++c) chan[c] += cw * lice::byteOf(px[k], c);
  }
  const int outA = static_cast<int>((alphaSum + 32768) >> 16);
  int rgb[4] = {outA, 0, 0, 0};
  for (int c = 1; c < 4; ++c)
  {
    if (!alphaWeighted)
    {
      rgb[c] = static_cast<int>((chan[c] + 32768) >> 16);
    }
    else
    {
      rgb[c] = alphaSum > 0 ? static_cast<int>((chan[c] + alphaSum / 2) / alphaSum) : 0;
    }
  }
  return lice::pack(lice::clamp255(rgb[0]), lice::clamp255(rgb[1]), lice::clamp255(rgb[2]), lice::clamp255(rgb[3]));
}

// Source sampling shared by the scaled and rotated blits: `region` is the part
// of the source that may be read; a sample whose pixel lies outside it is skipped.
struct Sampler
{
  const View& src;
  int rx0, ry0, rx1, ry1;  // readable region, half-open
  bool bilinear;
  bool alphaWeighted;

  bool sample(double u, double v, LICE_pixel* out) const
  {
    const double fu = std::floor(u), fv = std::floor(v);
    if (fu < rx0 || fv < ry0 || fu >= rx1 || fv >= ry1) return false;
    if (!bilinear)
    {
      *out = src.row(static_cast<int>(fv))[static_cast<int>(fu)];
      return true;
    }
    // Taps sit at pixel centres; edges repeat the outermost pixels of the region.
    const double cu = u - 0.5, cv = v - 0.5;
    const double bu = std::floor(cu), bv = std::floor(cv);
    const int fx = static_cast<int>((cu - bu) * 256.0), fy = static_cast<int>((cv - bv) * 256.0);
    const int x0 = std::clamp(static_cast<int>(bu), rx0, rx1 - 1),
              x1 = std::clamp(static_cast<int>(bu) + 1, rx0, rx1 - 1);
    const int y0 = std::clamp(static_cast<int>(bv), ry0, ry1 - 1),
              y1 = std::clamp(static_cast<int>(bv) + 1, ry0, ry1 - 1);
    const LICE_pixel* r0 = src.row(y0);
    const LICE_pixel* r1 = src.row(y1);
    *out = bilerp(r0[x0], r0[x1], r1[x0], r1[x1], fx, fy, alphaWeighted);
    return true;
  }
};

// The source rectangle (srcx, srcy, srcw, srch) limited to the source bitmap, as whole pixels.
bool sourceRegion(const View& s, double sx, double sy, double sw, double sh, int* x0, int* y0, int* x1, int* y1)
{
  *x0 = static_cast<int>(std::max(0.0, std::floor(sx)));
  *y0 = static_cast<int>(std::max(0.0, std::floor(sy)));
  *x1 = static_cast<int>(std::min(static_cast<double>(s.w), std::ceil(sx + sw)));
  *y1 = static_cast<int>(std::min(static_cast<double>(s.h), std::ceil(sy + sh)));
  return *x0 < *x1 && *y0 < *y1;
}

bool sameBitmap(const View& a, const View& b) { return a.bits == b.bits; }

// A private copy of a bitmap's pixels, for blits whose source is the destination.
struct PixelCopy
{
  std::vector<LICE_pixel> pixels;
  View view;
  explicit PixelCopy(const View& v)
  {
    pixels.resize(static_cast<size_t>(v.w) * static_cast<size_t>(v.h));
    for (int y = 0; y < v.h; ++y)
      std::memcpy(&pixels[static_cast<size_t>(y) * v.w], v.row(y), sizeof(LICE_pixel) * v.w);
    view.bits = pixels.data();
    view.w = v.w;
    view.h = v.h;
    view.span = v.w;
  }
};

}  // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int w, int h, float alpha,
               int mode)
{
  if (!dest || !src || alpha == 0.0f || std::isnan(alpha)) return;
  const View dv = lice::viewOf(dest);
  View sv = lice::viewOf(src);
  if (!dv || !sv) return;
  const Span cols = commonSpan(w, srcx, sv.w, dstx, dv.w);
  const Span rows = commonSpan(h, srcy, sv.h, dsty, dv.h);
  if (cols.empty() || rows.empty()) return;

  const lice::BlitParams params = lice::blitParams(alpha, mode);
  const int n = static_cast<int>(cols.hi - cols.lo);
  // A bitmap blitted onto itself reads from a copy so that overlapping areas come out right.
  std::vector<LICE_pixel> rowCopy;
  const bool self = sameBitmap(dv, sv);
  if (self) rowCopy.resize(static_cast<size_t>(n) * static_cast<size_t>(rows.hi - rows.lo));
  if (self)
  {
    for (long long j = rows.lo; j < rows.hi; ++j)
      std::memcpy(&rowCopy[static_cast<size_t>(j - rows.lo) * n], sv.row(static_cast<int>(srcy + j)) + (srcx + cols.lo),
                  sizeof(LICE_pixel) * n);
  }
  for (long long j = rows.lo; j < rows.hi; ++j)
  {
    LICE_pixel* d = dv.row(static_cast<int>(dsty + j)) + (dstx + cols.lo);
    const LICE_pixel* s =
      self ? &rowCopy[static_cast<size_t>(j - rows.lo) * n] : sv.row(static_cast<int>(srcy + j)) + (srcx + cols.lo);
    lice::blitRow(d, s, n, params);
  }
}

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f || std::isnan(alpha) || dstw <= 0 || dsth <= 0) return;
  if (!(srcw > 0.0f) || !(srch > 0.0f)) return;
  const View dv = lice::viewOf(dest);
  const View original = lice::viewOf(src);
  if (!dv || !original) return;
  std::unique_ptr<PixelCopy> copy;
  if (sameBitmap(dv, original)) copy = std::make_unique<PixelCopy>(original);
  const View& sv = copy ? copy->view : original;

  int rx0, ry0, rx1, ry1;
  if (!sourceRegion(sv, srcx, srcy, srcw, srch, &rx0, &ry0, &rx1, &ry1)) return;
  const Span cols = commonSpan(dstw, 0, dstw, dstx, dv.w);
  const Span rows = commonSpan(dsth, 0, dsth, dsty, dv.h);
  if (cols.empty() || rows.empty()) return;

  const lice::BlitParams params = lice::blitParams(alpha, mode);
  const Sampler sampler{
    sv, rx0, ry0, rx1, ry1, (mode & LICE_BLIT_FILTER_BILINEAR) != 0, (mode & LICE_BLIT_USE_ALPHA) != 0};
  const double xs = static_cast<double>(srcw) / dstw, ys = static_cast<double>(srch) / dsth;
  for (long long j = rows.lo; j < rows.hi; ++j)
  {
    LICE_pixel* d = dv.row(static_cast<int>(dsty + j));
    const double v = srcy + (static_cast<double>(j) + 0.5) * ys;
    for (long long i = cols.lo; i < cols.hi; ++i)
    {
      LICE_pixel s;
      LICE_pixel& out = d[dstx + i];
      if (sampler.sample(srcx + (static_cast<double>(i) + 0.5) * xs, v, &s)) out = lice::blitPixel(out, s, params);
    }
  }
}

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool clipToSourceRect, float alpha, int mode,
                      float rotxcent, float rotycent)
{
  if (!dest || !src || alpha == 0.0f || std::isnan(alpha) || dstw <= 0 || dsth <= 0) return;
  if (!(srcw > 0.0f) || !(srch > 0.0f) || !std::isfinite(angle)) return;
  const View dv = lice::viewOf(dest);
  const View original = lice::viewOf(src);
  if (!dv || !original) return;
  std::unique_ptr<PixelCopy> copy;
  if (sameBitmap(dv, original)) copy = std::make_unique<PixelCopy>(original);
  const View& sv = copy ? copy->view : original;

  int rx0 = 0, ry0 = 0, rx1 = sv.w, ry1 = sv.h;
  if (clipToSourceRect && !sourceRegion(sv, srcx, srcy, srcw, srch, &rx0, &ry0, &rx1, &ry1)) return;
  const Span cols = commonSpan(dstw, 0, dstw, dstx, dv.w);
  const Span rows = commonSpan(dsth, 0, dsth, dsty, dv.h);
  if (cols.empty() || rows.empty()) return;

  const lice::BlitParams params = lice::blitParams(alpha, mode);
  const Sampler sampler{
    sv, rx0, ry0, rx1, ry1, (mode & LICE_BLIT_FILTER_BILINEAR) != 0, (mode & LICE_BLIT_USE_ALPHA) != 0};
  const double xs = static_cast<double>(srcw) / dstw, ys = static_cast<double>(srch) / dsth;
  // Destination pixels map back to the source through the inverse turn about the
  // centre (rotation centres are in destination pixels, pixel i spans [i, i + 1)).
  const double cx = dstw * 0.5 + rotxcent, cy = dsth * 0.5 + rotycent;
  const double scx = srcx + cx * xs, scy = srcy + cy * ys;
  const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  for (long long j = rows.lo; j < rows.hi; ++j)
  {
    LICE_pixel* d = dv.row(static_cast<int>(dsty + j));
    const double vy = static_cast<double>(j) + 0.5 - cy;
    for (long long i = cols.lo; i < cols.hi; ++i)
    {
      const double vx = static_cast<double>(i) + 0.5 - cx;
      const double u = scx + (c * vx + s * vy) * xs;
      const double v = scy + (-s * vx + c * vy) * ys;
      LICE_pixel px;
      LICE_pixel& out = d[dstx + i];
      if (sampler.sample(u, v, &px)) out = lice::blitPixel(out, px, params);
    }
  }
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  const View dv = lice::viewOf(dest);
  const View sv = lice::viewOf(src);
  if (!dv || !sv) return;
  const int w = std::min(dv.w, sv.w), h = std::min(dv.h, sv.h);
  for (int y = 0; y < h; ++y) std::memcpy(dv.row(y), sv.row(y), sizeof(LICE_pixel) * w);
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel andMask, LICE_pixel orBits)
{
  const View dv = lice::viewOf(dest);
  if (!dv) return;
  const Span cols = commonSpan(w, 0, w, x, dv.w);
  const Span rows = commonSpan(h, 0, h, y, dv.h);
  if (cols.empty() || rows.empty()) return;
  for (long long j = rows.lo; j < rows.hi; ++j)
  {
    LICE_pixel* p = dv.row(static_cast<int>(y + j));
    for (long long i = x + cols.lo; i < x + cols.hi; ++i) p[i] = (p[i] & andMask) | orBits;
  }
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color)
{
  const View dv = lice::viewOf(dest);
  if (!dv) return;
  for (int y = 0; y < dv.h; ++y) std::fill_n(dv.row(y), dv.w, color);
}
