// Coverage masks for the artwork: shapes are drawn in white by the raster layer
// onto an opaque black bitmap (optionally at a higher resolution for smooth
// edges) and read back as a coverage value 0..1 per output pixel.
#pragma once

#include <memory>
#include <string>
#include <vector>

class LICE_IBitmap;
class LICE_MemBitmap;

namespace art
{

struct Pt
{
  double x, y;
};

// Per-pixel coverage 0..1.
class Coverage final
{
public:
  Coverage(int w, int h)
    : mW(w),
      mH(h),
      mV(static_cast<size_t>(w) * h, 0.0)
  {
  }

  int width() const { return mW; }
  int height() const { return mH; }
  double at(int x, int y) const { return inside(x, y) ? mV[index(x, y)] : 0.0; }
  void set(int x, int y, double v)
  {
    if (inside(x, y)) mV[index(x, y)] = v;
  }

  // Pixel-wise combinations, used for outlines (a minus a shrunk copy) and cut-outs.
  Coverage minus(const Coverage& other) const;
  Coverage unite(const Coverage& other) const;
  Coverage times(const Coverage& other) const;
  Coverage shifted(int dx, int dy) const;
  // Separable box blur, run three times: close to a gaussian of the given radius.
  Coverage blurred(int radius) const;
  // Grows (r > 0) or shrinks (r < 0) the shape by whole pixels (square neighbourhood max/min).
  Coverage morphed(int r) const;

private:
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < mW && y < mH; }
  size_t index(int x, int y) const { return static_cast<size_t>(y) * mW + x; }

  int mW, mH;
  std::vector<double> mV;
};

// Draws shapes with the raster layer at `scale` times the output size and box-
// filters them down: the raster layer's integer polygons become smooth edges.
// Coordinates are output pixels with pixel (x, y) covering [x, x+1) x [y, y+1).
class ShapeMask final
{
public:
  ShapeMask(int w, int h, int scale = 4);
  ~ShapeMask();

  void rect(double x0, double y0, double x1, double y1);
  void circle(double cx, double cy, double r);
  void roundRect(double x0, double y0, double x1, double y1, double radius);
  // Any polygon given as convex pieces; a non-convex outline must be split by the caller.
  void convex(const std::vector<Pt>& pts);
  // A straight stroke of the given width with square ends.
  void stroke(Pt a, Pt b, double width);
  // The band between radii r0 and r1 from angle a0 to a1 (radians, 0 up, clockwise).
  void annularSector(double cx, double cy, double r0, double r1, double a0, double a1);

  Coverage resolve() const;

private:
  int sx(double x) const;
  int sy(double y) const;

  int mW, mH, mScale;
  std::unique_ptr<LICE_MemBitmap> mBits;
};

// Text set in a platform font, for labels and the title.
struct FontSpec
{
  std::string face = "DejaVu Sans";
  int emPixels = 10;
  bool bold = false;
};

enum class Align
{
  kLeft,
  kCenter,
  kRight
};

// Coverage of `text` with its top at y; x is the left edge, centre or right edge by `align`.
Coverage TextCoverage(int w, int h, const FontSpec& font, const std::string& text, double x, int y, Align align,
                      double tracking = 0.0);

}  // namespace art
