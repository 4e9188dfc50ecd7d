// Points, lines and filled rectangles.
#include "lice_shapes.h"

#include "lice_combine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using lice::ColorRule;
using lice::View;

LICE_pixel LICE_GetPixel(LICE_IBitmap* src, int x, int y)
{
  const View v = lice::viewOf(src);
  if (!v || !v.contains(x, y)) return 0;
  return v.row(y)[x];
}

void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode)
{
  const View v = lice::viewOf(dest);
  if (!v || !v.contains(x, y)) return;
  // Points ignore the source-alpha bit: the colour word is stored as given.
  LICE_pixel* p = v.row(y) + x;
  *p = lice::colorPixel(*p, color, lice::weightToF(alpha), mode & LICE_BLIT_MODE_MASK, ColorRule::kPoint);
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha, int mode)
{
  const View v = lice::viewOf(dest);
  if (!v) return;
  const int F = lice::weightToF(lice::shapeWeight(alpha, color, mode));
  if (F <= 0) return;
  const long long x0 = std::max<long long>(x, 0), x1 = std::min<long long>(static_cast<long long>(x) + w, v.w);
  const long long y0 = std::max<long long>(y, 0), y1 = std::min<long long>(static_cast<long long>(y) + h, v.h);
  if (x0 >= x1 || y0 >= y1) return;
  const int op = mode & LICE_BLIT_MODE_MASK;
  for (long long j = y0; j < y1; ++j)
  {
    LICE_pixel* row = v.row(static_cast<int>(j));
    for (long long i = x0; i < x1; ++i) row[i] = lice::colorPixel(row[i], color, F, op, ColorRule::kFill);
  }
}

namespace
{

// A line walks its major axis one pixel per step; the minor coordinate at step
// i is minor0 + i * dMinor / dMajor, rounded (plain) or split between the two
// nearest pixels by coverage (anti-aliased). Steps outside the bitmap are
// skipped arithmetically, so far-away end points cost nothing.
struct LineWalk
{
  long long major0, minor0, dMajor, dMinor;  // dMajor >= |dMinor|, dMajor >= 0 after normalising
  int majorSign, minorSign;
  bool xMajor;
};

LineWalk makeWalk(int x1, int y1, int x2, int y2)
{
  const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
  LineWalk w{};
  w.xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long dMaj = w.xMajor ? dx : dy, dMin = w.xMajor ? dy : dx;
  w.major0 = w.xMajor ? x1 : y1;
  w.minor0 = w.xMajor ? y1 : x1;
  w.dMajor = std::llabs(dMaj);
  w.dMinor = std::llabs(dMin);
  w.majorSign = dMaj < 0 ? -1 : 1;
  w.minorSign = dMin < 0 ? -1 : 1;
  return w;
}

// Steps whose major coordinate falls inside [0, size).
void clipSteps(const LineWalk& w, int size, long long* lo, long long* hi)
{
  long long a, b;  // step range giving major in [0, size - 1]
  if (w.majorSign > 0)
  {
    a = -w.major0;
    b = size - 1 - w.major0;
  }
  else
  {
    a = w.major0 - (size - 1);
    b = w.major0;
  }
  *lo = std::max(0LL, a);
  *hi = std::min(w.dMajor, b);
}

}  // namespace

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha, int mode, bool aa)
{
  const View v = lice::viewOf(dest);
  if (!v) return;
  const int F = lice::weightToF(lice::shapeWeight(alpha, color, mode));
  if (F <= 0) return;
  const int op = mode & LICE_BLIT_MODE_MASK;
  const LineWalk w = makeWalk(x1, y1, x2, y2);
  long long lo, hi;
  clipSteps(w, w.xMajor ? v.w : v.h, &lo, &hi);
  auto plot = [&](long long major, long long minor, int cov) {
    const long long x = w.xMajor ? major : minor, y = w.xMajor ? minor : major;
    if (x < 0 || y < 0 || x >= v.w || y >= v.h) return;
    lice::blendColorAt(v, static_cast<int>(x), static_cast<int>(y), color, F, cov, op, ColorRule::kLine);
  };
  // Any screen-sized line keeps i * dMinor * 512 within 64 bits (dMinor <= dMajor);
  // only far-away end points need the wide products.
  const bool narrow = w.dMajor < (1LL << 26);
  for (long long i = lo; i <= hi; ++i)
  {
    const long long major = w.major0 + w.majorSign * i;
    if (w.dMajor == 0)
    {
      plot(major, w.minor0, 256);
      break;
    }
    if (!aa)
    {
      const long long off =
        narrow ? (2 * i * w.dMinor + w.dMajor) / (2 * w.dMajor)
               : static_cast<long long>((static_cast<__int128>(2 * i) * w.dMinor + w.dMajor) / (2 * w.dMajor));
      plot(major, w.minor0 + w.minorSign * off, 256);
      continue;
    }
    const long long off256 = narrow ? i * w.dMinor * 256 / w.dMajor
                                    : static_cast<long long>(static_cast<__int128>(i) * w.dMinor * 256 / w.dMajor);
    const long long whole = off256 >> 8;
    const int frac = static_cast<int>(off256 & 255);
    plot(major, w.minor0 + w.minorSign * whole, 256 - frac);
    if (frac) plot(major, w.minor0 + w.minorSign * (whole + 1), frac);
  }
}
