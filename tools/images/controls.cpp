// The control images: knob film strip, fader handle, switches, band handle.
#include "artwork.h"

#include <cmath>
#include <numbers>

namespace art
{

namespace
{

using namespace layout;

constexpr double kPi = std::numbers::pi;
constexpr double kSweep = 135.0 * kPi / 180.0;  // the pointer turns from -135 to +135 degrees

// One knob frame: a ring showing the value in the accent colour around a turned cap.
Canvas KnobFrame(double value)
{
  const int s = kKnobSize;
  const double cx = s / 2.0, cy = s / 2.0;
  const double angle = -kSweep + 2 * kSweep * value;
  Canvas c(s, s);

  ShapeMask track(s, s);
  track.annularSector(cx, cy, 15.0, 18.2, -kSweep, kSweep);
  c.paint(track.resolve(), Colour{18, 19, 22});
  if (value > 0)
  {
    ShapeMask arc(s, s);
    arc.annularSector(cx, cy, 15.7, 17.5, -kSweep, angle);
    c.paint(arc.resolve(), palette::kAccent);
  }

  ShapeMask shadowShape(s, s);
  shadowShape.circle(cx, cy + 1.2, 12.6);
  c.paint(shadowShape.resolve().blurred(1), palette::kBlack, 0.75);

  ShapeMask cap(s, s);
  cap.circle(cx, cy, 12.3);
  const Coverage capCov = cap.resolve();
  c.paint(capCov, VerticalGradient(cy - 12, Colour{104, 109, 118}, cy + 12, Colour{40, 42, 48}));
  ShapeMask face(s, s);
  face.circle(cx, cy, 10.6);
  const Coverage faceCov = face.resolve();
  c.paint(faceCov, VerticalGradient(cy - 11, Colour{60, 64, 71}, cy + 11, Colour{74, 78, 86}));
  // Knurled edge: fine radial grooves between the rim and the face.
  ShapeMask grooves(s, s);
  for (int i = 0; i < 36; ++i)
  {
    const double a = i * 2 * kPi / 36;
    grooves.stroke({cx + 10.8 * std::sin(a), cy - 10.8 * std::cos(a)},
                   {cx + 12.2 * std::sin(a), cy - 12.2 * std::cos(a)}, 0.6);
  }
  c.paint(grooves.resolve().times(capCov), palette::kBlack, 0.35);

  ShapeMask pointer(s, s);
  pointer.stroke({cx + 3.5 * std::sin(angle), cy - 3.5 * std::cos(angle)},
                 {cx + 10.0 * std::sin(angle), cy - 10.0 * std::cos(angle)}, 2.0);
  pointer.circle(cx + 10.0 * std::sin(angle), cy - 10.0 * std::cos(angle), 1.0);
  c.paint(pointer.resolve(), Colour{242, 244, 247});
  return c;
}

}  // namespace

Canvas PaintKnobStrip()
{
  Canvas strip(kKnobSize, kKnobSize * kKnobFrames);
  for (int f = 0; f < kKnobFrames; ++f) strip.place(KnobFrame(f / double(kKnobFrames - 1)), 0, f * kKnobSize);
  return strip;
}

Canvas PaintFaderHandle()
{
  const int w = kFaderHandleW, h = kFaderHandleH;
  Canvas c(w, h);
  ShapeMask shadow(w, h);
  shadow.roundRect(1, 1.5, w - 1, h, 3);
  c.paint(shadow.resolve().blurred(1), palette::kBlack, 0.8);

  ShapeMask body(w, h);
  body.roundRect(1, 0, w - 1, h - 2, 3);
  const Coverage bodyCov = body.resolve();
  c.paint(bodyCov, VerticalGradient(0, Colour{118, 123, 132}, h - 2, Colour{58, 61, 68}));
  ShapeMask inner(w, h);
  inner.roundRect(2, 1, w - 2, h - 3, 2);
  c.paint(bodyCov.minus(inner.resolve()), palette::kBlack, 0.35);
  ShapeMask rim(w, h);
  rim.rect(3, 1, w - 3, 2);
  c.paint(rim.resolve(), palette::kWhite, 0.25);

  // Grip grooves above and below the centre mark.
  ShapeMask dark(w, h), light(w, h);
  for (int y : {5, 8, 18, 21})
  {
    dark.rect(4, y, w - 4, y + 1);
    light.rect(4, y + 1, w - 4, y + 2);
  }
  c.paint(dark.resolve(), palette::kBlack, 0.35);
  c.paint(light.resolve(), palette::kWhite, 0.15);

  ShapeMask mark(w, h);
  mark.rect(2, kFaderHandleMark, w - 2, kFaderHandleMark + 1);
  ShapeMask markShade(w, h);
  markShade.rect(2, kFaderHandleMark - 1, w - 2, kFaderHandleMark + 2);
  c.paint(markShade.resolve(), palette::kBlack, 0.45);
  c.paint(mark.resolve(), palette::kAccent);
  return c;
}

Canvas PaintSwitch(bool on)
{
  const int w = kSwitchW, h = kSwitchH;
  Canvas frame(w, h);
  const double x0 = 3, x1 = w - 3, y0 = 5, y1 = 20, r = (y1 - y0) / 2;
  const double cy = (y0 + y1) / 2;

  ShapeMask rimShape(w, h);
  rimShape.roundRect(x0, y0 + 1, x1, y1 + 1, r);
  ShapeMask pillShape(w, h);
  pillShape.roundRect(x0, y0, x1, y1, r);
  const Coverage pill = pillShape.resolve();
  frame.paint(rimShape.resolve().minus(pill), palette::kWhite, 0.08);
  if (on)
  {
    frame.paint(pill, VerticalGradient(y0, palette::kAccent, y1, palette::kAccentDeep));
  }
  else
  {
    frame.paint(pill, palette::kRecess);
    frame.paint(pill.minus(pill.shifted(0, 2)).blurred(1).times(pill), palette::kBlack, 0.8);
  }

  const double kx = on ? x1 - r : x0 + r;
  ShapeMask knobShadow(w, h);
  knobShadow.circle(kx, cy + 1, r - 1.3);
  frame.paint(knobShadow.resolve().blurred(1), palette::kBlack, on ? 0.45 : 0.7);
  ShapeMask knob(w, h);
  knob.circle(kx, cy, r - 1.8);
  const Colour top = on ? Colour{250, 250, 250} : Colour{150, 155, 164};
  const Colour bottom = on ? Colour{212, 214, 219} : Colour{96, 100, 108};
  frame.paint(knob.resolve(), VerticalGradient(cy - r, top, cy + r, bottom));

  // The switch draws both frames; the second stays empty so nothing shows below it.
  Canvas both(w, 2 * h);
  both.place(frame, 0, 0);
  return both;
}

Canvas PaintBandHandle()
{
  const int w = kBandHandleW, h = kBandHandleH;
  const double cx = w / 2.0;  // the centre column, where the band's edge lies
  Canvas c(w, h);
  // A pennant above the window, pointing down at the edge. The image is drawn 4 rows
  // above the display's rectangle, and redraws of the display are clipped to that
  // rectangle, so those 4 rows stay empty: anything there would leave trails.
  ShapeMask flag(w, h);
  flag.convex({{0.5, 5}, {w - 0.5, 5}, {w - 0.5, 7}, {cx, 10.5}, {0.5, 7}});
  const Coverage flagCov = flag.resolve();
  c.paint(flagCov.unite(flagCov.shifted(0, 1)).blurred(1), palette::kBlack, 0.6);
  c.paint(flagCov, VerticalGradient(5, palette::kAccent, 10, palette::kAccentDeep));
  // The edge line through the colour map, shaded on both sides to read on any colour.
  const int lineTop = kMapTop - kBandHandleTop - 2, lineBottom = kMapTop + kMapH - kBandHandleTop + 1;
  ShapeMask shade(w, h), line(w, h);
  shade.rect(cx - 1.5, lineTop, cx + 1.5, lineBottom);
  line.rect(cx - 0.5, 9, cx + 0.5, lineBottom);
  c.paint(shade.resolve(), palette::kBlack, 0.45);
  c.paint(line.resolve(), palette::kAccent, 0.95);
  return c;
}

}  // namespace art
