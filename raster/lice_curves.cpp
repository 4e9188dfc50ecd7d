// Circles, arcs, rounded rectangles and filled polygons.
//
// Curves are decided per pixel from the distance between the pixel's centre and
// the circle's centre, so every pixel is visited once (a weight below 1 never
// blends twice) and clipping is just the bounding box limited to the bitmap.
#include "lice_shapes.h"

#include "lice_combine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using lice::ColorRule;
using lice::View;

namespace
{

constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Paint
{
  View v;
  LICE_pixel color;
  int F;
  int op;
  ColorRule rule;

  void at(int x, int y, int cov) const { lice::blendColorAt(v, x, y, color, F, cov, op, rule); }
};

bool makePaint(LICE_IBitmap* dest, LICE_pixel color, float alpha, int mode, ColorRule rule, Paint* out)
{
  out->v = lice::viewOf(dest);
  out->color = color;
  out->F = lice::weightToF(lice::shapeWeight(alpha, color, mode));
  out->op = mode & LICE_BLIT_MODE_MASK;
  out->rule = rule;
  return static_cast<bool>(out->v) && out->F > 0;
}

struct Box
{
  int x0, y0, x1, y1;  // inclusive
};

// The pixels within `reach` of (cx, cy), limited to the bitmap (and to `limit`).
bool boxAround(const View& v, double cx, double cy, double reach, Box* out)
{
  const double lo = -1.0, hiX = v.w, hiY = v.h;
  const double x0 = std::max(lo, std::floor(cx - reach)), x1 = std::min(hiX, std::ceil(cx + reach));
  const double y0 = std::max(lo, std::floor(cy - reach)), y1 = std::min(hiY, std::ceil(cy + reach));
  if (!(x0 <= x1 && y0 <= y1)) return false;
  *out = {std::max(0, static_cast<int>(x0)), std::max(0, static_cast<int>(y0)), std::min(v.w - 1, static_cast<int>(x1)),
          std::min(v.h - 1, static_cast<int>(y1))};
  return out->x0 <= out->x1 && out->y0 <= out->y1;
}

Box intersect(Box a, Box b)
{
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

int toCoverage(double c) { return c <= 0.0 ? 0 : (c >= 1.0 ? 256 : static_cast<int>(c * 256.0 + 0.5)); }

// Coverage of a one-pixel ring of radius r at distance d: the ring's band is
// [r - 0.5, r + 0.5); anti-aliased, a tent one pixel wide on each side.
int ringCoverage(double d, double r, bool aa)
{
  const double e = std::fabs(d - r);
  if (!aa) return e < 0.5 ? 256 : 0;
  return toCoverage(1.0 - e);
}

// Angle of (dx, dy) measured from straight up, clockwise, in [0, 2 pi).
double clockAngle(double dx, double dy)
{
  double a = std::atan2(dx, -dy);
  if (a < 0) a += kTwoPi;
  return a;
}

struct AngleRange
{
  bool full = true;
  double start = 0, span = kTwoPi;
  bool contains(double a) const
  {
    if (full) return true;
    double t = std::fmod(a - start, kTwoPi);
    if (t < 0) t += kTwoPi;
    return t <= span;
  }
};

AngleRange angleRange(double minAngle, double maxAngle)
{
  AngleRange r;
  if (minAngle > maxAngle) std::swap(minAngle, maxAngle);
  r.span = maxAngle - minAngle;
  r.full = !(r.span < kTwoPi);
  r.start = minAngle;
  return r;
}

void ring(const Paint& p, double cx, double cy, double r, const AngleRange& angles, const Box* limit, bool aa)
{
  Box b;
  if (!(r >= 0) || !std::isfinite(cx) || !std::isfinite(cy) || !boxAround(p.v, cx, cy, r + 1.5, &b)) return;
  if (limit) b = intersect(b, *limit);
  for (int y = b.y0; y <= b.y1; ++y)
  {
    for (int x = b.x0; x <= b.x1; ++x)
    {
      const double dx = x - cx, dy = y - cy;
      const int cov = ringCoverage(std::sqrt(dx * dx + dy * dy), r, aa);
      if (cov && angles.contains(clockAngle(dx, dy))) p.at(x, y, cov);
    }
  }
}

}  // namespace

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel color,
              float alpha, int mode, bool aa)
{
  Paint p;
  if (!makePaint(dest, color, alpha, mode, ColorRule::kLine, &p)) return;
  if (!std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
  ring(p, cx, cy, r, angleRange(minAngle, maxAngle), nullptr, aa);
}

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode, bool aa)
{
  Paint p;
  if (!makePaint(dest, color, alpha, mode, ColorRule::kLine, &p)) return;
  ring(p, cx, cy, r, AngleRange{}, nullptr, aa);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode, bool aa)
{
  Paint p;
  if (!makePaint(dest, color, alpha, mode, ColorRule::kFill, &p)) return;
  Box b;
  if (!(r >= 0) || !std::isfinite(cx) || !std::isfinite(cy) || !boxAround(p.v, cx, cy, r + 1.5, &b)) return;
  // The disc reaches r + 0.5 from the centre, so a radius-r disc centred on a
  // pixel spans exactly 2r + 1 pixels; anti-aliasing softens that edge.
  const double rr = static_cast<double>(r) * r + r;
  for (int y = b.y0; y <= b.y1; ++y)
  {
    for (int x = b.x0; x <= b.x1; ++x)
    {
      const double dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
      const int cov = aa ? toCoverage(r + 1.0 - std::sqrt(d2)) : (d2 <= rr ? 256 : 0);
      if (cov) p.at(x, y, cov);
    }
  }
}

void LICE_RoundRect(LICE_IBitmap* dest, float xf, float yf, float wf, float hf, int cornerRadius, LICE_pixel color,
                    float alpha, int mode, bool aa)
{
  Paint p;
  if (!makePaint(dest, color, alpha, mode, ColorRule::kLine, &p)) return;
  if (!std::isfinite(xf) || !std::isfinite(yf) || !(wf >= 1.0f) || !(hf >= 1.0f)) return;
  if (std::fabs(xf) > 1e9f || std::fabs(yf) > 1e9f || wf > 1e9f || hf > 1e9f) return;
  const int x = static_cast<int>(std::floor(xf)), y = static_cast<int>(std::floor(yf));
  const int w = static_cast<int>(wf), h = static_cast<int>(hf);
  const int right = x + w - 1, bottom = y + h - 1;
  // Straight edges between the corners, each pixel drawn once.
  const int cr = std::clamp(cornerRadius, 0, (std::min(w, h) - 1) / 2);
  auto hline = [&](int yy, int xa, int xb) {
    for (int i = std::max(xa, 0); i <= std::min(xb, p.v.w - 1); ++i) p.at(i, yy, 256);
  };
  auto vline = [&](int xx, int ya, int yb) {
    for (int j = std::max(ya, 0); j <= std::min(yb, p.v.h - 1); ++j) p.at(xx, j, 256);
  };
  hline(y, x + cr, right - cr);
  if (h > 1) hline(bottom, x + cr, right - cr);
  const int side0 = cr > 0 ? y + cr : y + 1, side1 = cr > 0 ? bottom - cr : bottom - 1;
  vline(x, side0, side1);
  if (w > 1) vline(right, side0, side1);
  if (cr == 0) return;
  // Quarter circles in the corner boxes left outside the edges.
  const Box corners[4] = {{x, y, x + cr - 1, y + cr - 1},
                          {right - cr + 1, y, right, y + cr - 1},
                          {x, bottom - cr + 1, x + cr - 1, bottom},
                          {right - cr + 1, bottom - cr + 1, right, bottom}};
  const double centres[4][2] = {{double(x + cr), double(y + cr)},
                                {double(right - cr), double(y + cr)},
                                {double(x + cr), double(bottom - cr)},
                                {double(right - cr), double(bottom - cr)}};
  for (int k = 0; k < 4; ++k) ring(p, centres[k][0], centres[k][1], cr, AngleRange{}, &corners[k], aa);
}

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* xs, const int* ys, int n, LICE_pixel color, float alpha,
                            int mode)
{
  Paint p;
  if (!xs || !ys || n < 1 || !makePaint(dest, color, alpha, mode, ColorRule::kFill, &p)) return;
  long long top = ys[0], bottom = ys[0];
  for (int i = 1; i < n; ++i)
  {
    top = std::min<long long>(top, ys[i]);
    bottom = std::max<long long>(bottom, ys[i]);
  }
  top = std::max(top, 0LL);
  bottom = std::min<long long>(bottom, p.v.h - 1);
  // Each row fills from the leftmost to the rightmost edge crossing, edges included.
  for (long long row = top; row <= bottom; ++row)
  {
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < n; ++i)
    {
      const double xa = xs[i], ya = ys[i], xb = xs[(i + 1) % n], yb = ys[(i + 1) % n];
      if (row < std::min(ya, yb) || row > std::max(ya, yb)) continue;
      if (ya == yb)
      {
        lo = std::min({lo, xa, xb});
        hi = std::max({hi, xa, xb});
        continue;
      }
      const double xc = xa + (row - ya) * (xb - xa) / (yb - ya);
      lo = std::min(lo, xc);
      hi = std::max(hi, xc);
    }
    if (lo > hi) continue;
    const double first = std::max(0.0, std::floor(lo + 0.5)), last = std::min(p.v.w - 1.0, std::floor(hi + 0.5));
    for (int x = static_cast<int>(first); x <= static_cast<int>(last) && first <= last; ++x)
      p.at(x, static_cast<int>(row), 256);
  }
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel color,
                       float alpha, int mode)
{
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}
