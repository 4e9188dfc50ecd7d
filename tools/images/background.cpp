// background.png: the panel with every control's fixed furniture.
#include "artwork.h"

#include <cmath>

namespace art
{

namespace axis
{

double LogStep() { return std::pow(10.0, std::log10(kBins) / (layout::kMapW * 2.5)); }

int BinOfColumn(int column)
{
  const double step = LogStep();
  double e = 1.0;
  for (int c = 0; c < column; ++c) e = e * step + 1.0;
  return static_cast<int>(static_cast<unsigned>(e - 1.0));
}

int ColumnXForFrequency(double hz)
{
  int best = 0;
  double bestDistance = 1e300;
  for (int c = 0; c < layout::kMapW; ++c)
  {
    const double f = BinOfColumn(c) * kSampleRate / kBins;
    if (f <= 0) continue;
    const double d = std::abs(std::log(f / hz));
    if (d < bestDistance)
    {
      bestDistance = d;
      best = c;
    }
  }
  return layout::kMapLeft + best;
}

}  // namespace axis

namespace style
{

void Recess(Canvas& c, double x0, double y0, double x1, double y1, double radius, const Colour& fill)
{
  const int w = c.width(), h = c.height();
  ShapeMask shape(w, h);
  shape.roundRect(x0, y0, x1, y1, radius);
  const Coverage body = shape.resolve();
  ShapeMask below(w, h);
  below.roundRect(x0, y0 + 1, x1, y1 + 1, radius);
  // The lit lower rim reads as the panel's edge catching light from above.
  c.paint(below.resolve().minus(body), palette::kWhite, 0.07);
  c.paint(body, fill);
  const Coverage shadow = body.minus(body.shifted(0, 2)).blurred(1).times(body);
  c.paint(shadow, palette::kBlack, 0.8);
}

void Label(Canvas& c, const std::string& text, double cx, int y, const Colour& colour, int em)
{
  const FontSpec font{"DejaVu Sans", em, true};
  c.paint(TextCoverage(c.width(), c.height(), font, text, cx, y, Align::kCenter, 1.0), colour);
}

}  // namespace style

namespace
{

using namespace layout;

void PaintPanel(Canvas& c)
{
  ShapeMask all(kEditorW, kEditorH, 1);
  all.rect(0, 0, kEditorW, kEditorH);
  const Coverage full = all.resolve();
  c.paint(full, VerticalGradient(0, palette::kPanelTop, kEditorH, palette::kPanelBottom));
  // A hairline highlight along the top edge, as on a machined faceplate.
  ShapeMask top(kEditorW, kEditorH, 1);
  top.rect(0, 0, kEditorW, 1);
  c.paint(top.resolve(), palette::kWhite, 0.08);
}

void PaintSpectrumFrame(Canvas& c)
{
  // A sunken window around the columns and rows the display plots.
  style::Recess(c, kMapLeft - 3, kMapTop - 3, kMapLeft + kMapW + 3, kMapTop + kMapH + 3, 3, palette::kRecess);
}

void PaintFrequencyScale(Canvas& c)
{
  const int tickTop = kMapTop + kMapH + 4;
  struct Mark
  {
    double hz;
    const char* text;
  };
  const Mark marks[] = {{100, "100"}, {500, "500"},   {1000, "1k"},  {2000, "2k"},
                        {5000, "5k"}, {10000, "10k"}, {15000, "15k"}};
  // A tick at every 1-9 step of each decade the axis shows, longer where a number stands.
  ShapeMask minor(kEditorW, kEditorH, 1), major(kEditorW, kEditorH, 1);
  auto labelled = [&](double hz) {
    for (const Mark& m : marks)
      if (m.hz == hz) return true;
    return false;
  };
  for (double hz : {100.0,  200.0,  300.0,  400.0,  500.0,  600.0,  700.0,  800.0,  900.0,   1000.0,
                    2000.0, 3000.0, 4000.0, 5000.0, 6000.0, 7000.0, 8000.0, 9000.0, 10000.0, 15000.0})
  {
    const int x = axis::ColumnXForFrequency(hz);
    if (labelled(hz))
      major.rect(x, tickTop, x + 1, tickTop + 3);
    else
      minor.rect(x, tickTop, x + 1, tickTop + 2);
  }
  c.paint(minor.resolve(), palette::kDimLabel, 0.7);
  c.paint(major.resolve(), palette::kLabel, 0.9);

  const FontSpec font{"DejaVu Sans", 9, false};
  for (const Mark& m : marks)
  {
    const double x = axis::ColumnXForFrequency(m.hz) + 0.5;
    c.paint(TextCoverage(kEditorW, kEditorH, font, m.text, x, tickTop + 3, Align::kCenter), palette::kDimLabel);
  }
  // The unit sits left of the window, under its edge.
  c.paint(TextCoverage(kEditorW, kEditorH, font, "Hz", kMapLeft - 6, tickTop + 3, Align::kRight), palette::kDimLabel,
          0.8);
}

void PaintWaveformBackdrop(Canvas& c)
{
  style::Recess(c, kWaveLeft, kWaveTop, kWaveRight, kWaveBottom, 4, Colour{13, 14, 16});
  ShapeMask centre(kEditorW, kEditorH, 1), half(kEditorW, kEditorH, 1);
  centre.rect(kWaveLeft + 2, kWaveCentre, kWaveRight - 2, kWaveCentre + 1);
  for (int x = kWaveLeft + 3; x + 2 <= kWaveRight - 2; x += 4)
  {
    half.rect(x, kWaveCentre - kWaveAmp / 2, x + 2, kWaveCentre - kWaveAmp / 2 + 1);
    half.rect(x, kWaveCentre + kWaveAmp / 2, x + 2, kWaveCentre + kWaveAmp / 2 + 1);
  }
  c.paint(centre.resolve(), palette::kWhite, 0.10);
  c.paint(half.resolve(), palette::kWhite, 0.06);
}

void PaintFader(Canvas& c, const FaderPlace& f)
{
  const int L = f.x, T = f.y;
  const double cx = L + kFaderHandleX + kFaderHandleW / 2.0;  // the handle's centre line
  const int markTop = T + kFaderTravelTop + kFaderHandleMark;
  const int markBottom = T + kFaderTravelBottom + kFaderHandleMark;
  style::Recess(c, cx - 2.5, markTop - 6, cx + 2.5, markBottom + 7, 2.5, Colour{10, 11, 13});

  // Ticks every tenth of the travel at the handle's centre row; longer at 0, 50 and 100 %.
  ShapeMask minor(kEditorW, kEditorH, 1), major(kEditorW, kEditorH, 1);
  for (int i = 0; i <= 10; ++i)
  {
    const int y = static_cast<int>(std::lround(markTop + (markBottom - markTop) * i / 10.0));
    const bool big = i % 5 == 0;
    ShapeMask& m = big ? major : minor;
    const double len = big ? 6 : 4;
    m.rect(L + kFaderHandleX - 2 - len, y, L + kFaderHandleX - 2, y + 1);
    m.rect(L + kFaderHandleX + kFaderHandleW + 2, y, L + kFaderHandleX + kFaderHandleW + 2 + len, y + 1);
  }
  c.paint(minor.resolve(), palette::kDimLabel, 0.8);
  c.paint(major.resolve(), palette::kLabel, 0.9);

  // The readout window behind the value text and its "%" sign.
  style::Recess(c, L + 4, T + kFaderValueTop - 3, L + 47, T + kFaderValueTop + 16, 3, palette::kRecess);
  style::Label(c, f.label, cx, 160);
}

void PaintTopRow(Canvas& c)
{
  style::Label(c, "SENSITIVITY", kKnobX + kKnobSize / 2.0, 24);
  for (const SwitchPlace& s : kSwitches) style::Label(c, s.label, s.x + kSwitchW / 2.0, 40);
}

// A raised group plate: the controls that belong together share one.
void PaintPlate(Canvas& c, double x0, double y0, double x1, double y1)
{
  ShapeMask outer(kEditorW, kEditorH), inner(kEditorW, kEditorH);
  outer.roundRect(x0, y0, x1, y1, 6);
  inner.roundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 5);
  const Coverage o = outer.resolve(), i = inner.resolve();
  c.paint(o.shifted(0, 1).blurred(1).minus(o), palette::kBlack, 0.5);
  c.paint(o.minus(i), palette::kBlack, 0.35);
  c.paint(i, VerticalGradient(y0, palette::kWhite.withAlpha(0.045), y1, palette::kWhite.withAlpha(0.015)));
  ShapeMask lip(kEditorW, kEditorH);
  lip.roundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 5);
  const Coverage l = lip.resolve();
  c.paint(l.minus(l.shifted(0, 1)), palette::kWhite, 0.07);
}

}  // namespace

Canvas PaintBackground()
{
  Canvas c(kEditorW, kEditorH);
  PaintPanel(c);
  PaintPlate(c, kLeftPanelsL, kWaveTop, kLeftPanelsR, 151);
  PaintPlate(c, kLeftPanelsL, 155, kLeftPanelsR, 426);
  PaintSpectrumFrame(c);
  PaintFrequencyScale(c);
  PaintWaveformBackdrop(c);
  for (const FaderPlace& f : kFaders) PaintFader(c, f);
  PaintTopRow(c);
  return c;
}

}  // namespace art
