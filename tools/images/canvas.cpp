#include "canvas.h"

#include "raster/lice.h"

#include <algorithm>
#include <cmath>

namespace art
{

Shader VerticalGradient(double y0, const Colour& top, double y1, const Colour& bottom)
{
  return [=](double, double y) {
    const double t = y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0, 1.0) : 0.0;
    return top.mix(bottom, t);
  };
}

Canvas::Canvas(int w, int h)
  : mW(w),
    mH(h),
    mPx(static_cast<size_t>(w) * h)
{
}

void Canvas::over(int x, int y, const Colour& c, double weight)
{
  const double sa = std::clamp(c.a * weight, 0.0, 1.0);
  if (sa <= 0) return;
  Px& p = mPx[static_cast<size_t>(y) * mW + x];
  p.r = c.r * sa + p.r * (1 - sa);
  p.g = c.g * sa + p.g * (1 - sa);
  p.b = c.b * sa + p.b * (1 - sa);
  p.a = sa + p.a * (1 - sa);
}

void Canvas::paint(const Coverage& mask, const Colour& colour, double opacity)
{
  for (int y = 0; y < mH; ++y)
    for (int x = 0; x < mW; ++x) over(x, y, colour, mask.at(x, y) * opacity);
}

void Canvas::paint(const Coverage& mask, const Shader& shader, double opacity)
{
  for (int y = 0; y < mH; ++y)
    for (int x = 0; x < mW; ++x)
    {
      const double m = mask.at(x, y) * opacity;
      if (m > 0) over(x, y, shader(x + 0.5, y + 0.5), m);
    }
}

void Canvas::place(const Canvas& src, int dx, int dy)
{
  for (int y = 0; y < src.mH; ++y)
    for (int x = 0; x < src.mW; ++x)
    {
      const int tx = x + dx, ty = y + dy;
      if (tx < 0 || ty < 0 || tx >= mW || ty >= mH) continue;
      const Px& s = src.mPx[static_cast<size_t>(y) * src.mW + x];
      if (s.a <= 0) continue;
      Px& p = mPx[static_cast<size_t>(ty) * mW + tx];
      p.r = s.r + p.r * (1 - s.a);
      p.g = s.g + p.g * (1 - s.a);
      p.b = s.b + p.b * (1 - s.a);
      p.a = s.a + p.a * (1 - s.a);
    }
}

std::unique_ptr<LICE_MemBitmap> Canvas::toBitmap() const
{
  auto bmp = std::make_unique<LICE_MemBitmap>(mW, mH, 1);
  LICE_pixel* bits = bmp->getBits();
  const int span = bmp->getRowSpan();
  auto byte = [](double v) { return static_cast<unsigned>(std::clamp(std::lround(v), 0L, 255L)); };
  for (int y = 0; y < mH; ++y)
    for (int x = 0; x < mW; ++x)
    {
      const Px& p = mPx[static_cast<size_t>(y) * mW + x];
      const unsigned a = byte(p.a * 255);
      // Fully transparent pixels carry no colour, so the file compresses well and never leaks a fringe.
      if (a == 0)
      {
        bits[y * span + x] = 0;
        continue;
      }
      bits[y * span + x] = LICE_RGBA(byte(p.r / p.a), byte(p.g / p.a), byte(p.b / p.a), a);
    }
  return bmp;
}

bool Canvas::writePng(const std::string& path) const
{
  auto bmp = toBitmap();
  return LICE_WritePNG(path.c_str(), bmp.get(), true);
}

}  // namespace art
