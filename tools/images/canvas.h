// An RGBA picture being painted: colours are laid over it through coverage masks
// with proper "over" compositing, so translucent images keep clean edges; the
// result is handed to the raster layer as a straight-alpha bitmap.
#pragma once

#include "coverage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LICE_MemBitmap;

namespace art
{

// A straight (not premultiplied) colour, channels 0..255, alpha 0..1.
struct Colour
{
  double r = 0, g = 0, b = 0, a = 1;

  Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
  // Linear blend toward `o` by t (0 keeps this colour).
  Colour mix(const Colour& o, double t) const
  {
    return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t, a + (o.a - a) * t};
  }
};

// A colour that varies over the picture (gradients, lighting).
using Shader = std::function<Colour(double x, double y)>;

// Vertical gradient between two rows.
Shader VerticalGradient(double y0, const Colour& top, double y1, const Colour& bottom);

class Canvas final
{
public:
  Canvas(int w, int h);

  int width() const { return mW; }
  int height() const { return mH; }

  // Lays `colour` over the picture where the mask covers it, weighted by `opacity`.
  void paint(const Coverage& mask, const Colour& colour, double opacity = 1.0);
  void paint(const Coverage& mask, const Shader& shader, double opacity = 1.0);
  // Lays `src` over this picture with its top-left corner at (dx, dy).
  void place(const Canvas& src, int dx, int dy);

  // The picture as a raster-layer bitmap with straight 8-bit alpha.
  std::unique_ptr<LICE_MemBitmap> toBitmap() const;
  bool writePng(const std::string& path) const;

private:
  struct Px
  {
    double r = 0, g = 0, b = 0, a = 0;  // premultiplied
  };
  void over(int x, int y, const Colour& c, double weight);

  int mW, mH;
  std::vector<Px> mPx;
};

}  // namespace art
