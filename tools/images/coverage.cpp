#include "coverage.h"

#include "raster/lice.h"

#include <algorithm>
#include <cmath>

namespace art
{

namespace
{

constexpr LICE_pixel kInk = LICE_RGBA(255, 255, 255, 255);
constexpr LICE_pixel kEmpty = LICE_RGBA(0, 0, 0, 255);

// One pass of a horizontal or vertical running box of width 2r+1.
std::vector<double> boxPass(const std::vector<double>& in, int w, int h, int r, bool horizontal)
{
  std::vector<double> out(in.size(), 0.0);
  const int n = horizontal ? w : h, lines = horizontal ? h : w;
  const double norm = 1.0 / (2 * r + 1);
  for (int l = 0; l < lines; ++l)
  {
    auto idx = [&](int i) { return horizontal ? static_cast<size_t>(l) * w + i : static_cast<size_t>(i) * w + l; };
    for (int i = 0; i < n; ++i)
    {
      double sum = 0.0;
      for (int k = -r; k <= r; ++k)
      {
        const int j = i + k;
        if (j >= 0 && j < n) sum += in[idx(j)];
      }
      out[idx(i)] = sum * norm;
    }
  }
  return out;
}

}  // namespace

Coverage Coverage::minus(const Coverage& o) const
{
  Coverage r(mW, mH);
  for (size_t i = 0; i < mV.size(); ++i) r.mV[i] = std::max(0.0, mV[i] - o.mV[i]);
  return r;
}

Coverage Coverage::unite(const Coverage& o) const
{
  Coverage r(mW, mH);
  for (size_t i = 0; i < mV.size(); ++i) r.mV[i] = std::max(mV[i], o.mV[i]);
  return r;
}

Coverage Coverage::times(const Coverage& o) const
{
  Coverage r(mW, mH);
  for (size_t i = 0; i < mV.size(); ++i) r.mV[i] = mV[i] * o.mV[i];
  return r;
}

Coverage Coverage::shifted(int dx, int dy) const
{
  Coverage r(mW, mH);
  for (int y = 0; y < mH; ++y)
    for (int x = 0; x < mW; ++x) r.set(x, y, at(x - dx, y - dy));
  return r;
}

Coverage Coverage::blurred(int radius) const
{
  Coverage r = *this;
  if (radius <= 0) return r;
  for (int pass = 0; pass < 3; ++pass)
  {
    r.mV = boxPass(r.mV, mW, mH, radius, true);
    r.mV = boxPass(r.mV, mW, mH, radius, false);
  }
  return r;
}

Coverage Coverage::morphed(int radius) const
{
  Coverage r(mW, mH);
  const int k = std::abs(radius);
  for (int y = 0; y < mH; ++y)
  {
    for (int x = 0; x < mW; ++x)
    {
      double v = radius > 0 ? 0.0 : 1.0;
      for (int dy = -k; dy <= k; ++dy)
        for (int dx = -k; dx <= k; ++dx)
        {
          const bool in = inside(x + dx, y + dy);
          const double s = in ? mV[index(x + dx, y + dy)] : 0.0;
          v = radius > 0 ? std::max(v, s) : std::min(v, s);
        }
      r.mV[index(x, y)] = v;
    }
  }
  return r;
}

ShapeMask::ShapeMask(int w, int h, int scale)
  : mW(w),
    mH(h),
    mScale(scale),
    mBits(std::make_unique<LICE_MemBitmap>(w * scale, h * scale, 1))
{
  LICE_Clear(mBits.get(), kEmpty);
}

ShapeMask::~ShapeMask() = default;

int ShapeMask::sx(double x) const { return static_cast<int>(std::lround(x * mScale - 0.5)); }
int ShapeMask::sy(double y) const { return static_cast<int>(std::lround(y * mScale - 0.5)); }

void ShapeMask::rect(double x0, double y0, double x1, double y1)
{
  const int l = static_cast<int>(std::lround(x0 * mScale)), t = static_cast<int>(std::lround(y0 * mScale));
  const int r = static_cast<int>(std::lround(x1 * mScale)), b = static_cast<int>(std::lround(y1 * mScale));
  if (r > l && b > t) LICE_FillRect(mBits.get(), l, t, r - l, b - t, kInk, 1.0f, LICE_BLIT_MODE_COPY);
}

void ShapeMask::circle(double cx, double cy, double r)
{
  // Pixel centres of the scaled bitmap sit at integer coordinates.
  LICE_FillCircle(mBits.get(), static_cast<float>(cx * mScale - 0.5), static_cast<float>(cy * mScale - 0.5),
                  static_cast<float>(r * mScale), kInk, 1.0f, LICE_BLIT_MODE_COPY, true);
}

void ShapeMask::roundRect(double x0, double y0, double x1, double y1, double radius)
{
  radius = std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2});
  if (radius <= 0)
  {
    rect(x0, y0, x1, y1);
    return;
  }
  rect(x0 + radius, y0, x1 - radius, y1);
  rect(x0, y0 + radius, x1, y1 - radius);
  circle(x0 + radius, y0 + radius, radius);
  circle(x1 - radius, y0 + radius, radius);
  circle(x0 + radius, y1 - radius, radius);
  circle(x1 - radius, y1 - radius, radius);
}

void ShapeMask::convex(const std::vector<Pt>& pts)
{
  std::vector<int> xs, ys;
  for (const Pt& p : pts)
  {
    xs.push_back(sx(p.x));
    ys.push_back(sy(p.y));
  }
  LICE_FillConvexPolygon(mBits.get(), xs.data(), ys.data(), static_cast<int>(pts.size()), kInk, 1.0f,
                         LICE_BLIT_MODE_COPY);
}

void ShapeMask::stroke(Pt a, Pt b, double width)
{
  const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  if (len <= 0) return;
  const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  convex({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
}

void ShapeMask::annularSector(double cx, double cy, double r0, double r1, double a0, double a1)
{
  const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(a1 - a0) / (M_PI / 90))));
  auto at = [&](double r, double a) { return Pt{cx + r * std::sin(a), cy - r * std::cos(a)}; };
  for (int i = 0; i < steps; ++i)
  {
    const double s = a0 + (a1 - a0) * i / steps, e = a0 + (a1 - a0) * (i + 1) / steps;
    convex({at(r0, s), at(r1, s), at(r1, e), at(r0, e)});
  }
}

Coverage ShapeMask::resolve() const
{
  Coverage c(mW, mH);
  const LICE_pixel* bits = mBits->getBits();
  const int span = mBits->getRowSpan();
  const double norm = 1.0 / (255.0 * mScale * mScale);
  for (int y = 0; y < mH; ++y)
    for (int x = 0; x < mW; ++x)
    {
      int sum = 0;
      for (int j = 0; j < mScale; ++j)
        for (int i = 0; i < mScale; ++i) sum += LICE_GETR(bits[(y * mScale + j) * span + x * mScale + i]);
      c.set(x, y, sum * norm);
    }
  return c;
}

namespace
{

std::unique_ptr<LICE_CachedFont> makeFont(const FontSpec& wanted)
{
  HFONT h = CreateFont(-wanted.emPixels, 0, 0, 0, wanted.bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                       ANTIALIASED_QUALITY, 0, wanted.face.c_str());
  auto font = std::make_unique<LICE_CachedFont>();
  font->SetFromHFont(h, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  font->SetTextColor(kInk);
  return font;
}

int measure(LICE_CachedFont& font, const std::string& s)
{
  RECT r{0, 0, 0, 0};
  font.DrawText(nullptr, s.c_str(), static_cast<int>(s.size()), &r, LICE_DT_CALCRECT);
  return r.right - r.left;
}

// Letter-by-letter advances when tracking is asked for, so each glyph can be placed.
std::vector<double> letterOffsets(LICE_CachedFont& font, const std::string& text, double tracking, double* total)
{
  std::vector<double> xs;
  double x = 0.0;
  for (char ch : text)
  {
    xs.push_back(x);
    x += measure(font, std::string(1, ch)) + tracking;
  }
  *total = text.empty() ? 0.0 : x - tracking;
  return xs;
}

}  // namespace

Coverage TextCoverage(int w, int h, const FontSpec& wanted, const std::string& text, double x, int y, Align align,
                      double tracking)
{
  auto font = makeFont(wanted);
  LICE_MemBitmap bits(w, h, 1);
  LICE_Clear(&bits, kEmpty);
  double total = 0.0;
  std::vector<double> xs;
  if (tracking == 0.0)
  {
    xs.push_back(0.0);
    total = measure(*font, text);
  }
  else
  {
    xs = letterOffsets(*font, text, tracking, &total);
  }
  const double left = align == Align::kLeft ? x : align == Align::kCenter ? x - total / 2 : x - total;
  for (size_t i = 0; i < xs.size(); ++i)
  {
    const std::string piece = tracking == 0.0 ? text : std::string(1, text[i]);
    const int px = static_cast<int>(std::lround(left + xs[i]));
    RECT r{px, y, px + 4 * h + w, y + h};
    font->DrawText(&bits, piece.c_str(), static_cast<int>(piece.size()), &r, LICE_DT_NOCLIP);
  }
  Coverage c(w, h);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) c.set(xx, yy, LICE_GETR(LICE_GetPixel(&bits, xx, yy)) / 255.0);
  return c;
}

}  // namespace art
