#include "preview.h"

#include "artwork.h"
#include "raster/lice.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace art
{

namespace
{

using namespace layout;
using Bitmap = std::unique_ptr<LICE_IBitmap>;

constexpr int kAlphaCopy = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

Bitmap Load(const std::string& dir, const char* name)
{
  Bitmap b(LICE_LoadPNG((dir + "/" + name).c_str()));
  if (!b) std::fprintf(stderr, "make_images: cannot read %s/%s\n", dir.c_str(), name);
  return b;
}

void Draw(LICE_IBitmap* dest, LICE_IBitmap* src, int x, int y, int srcY = 0, int h = -1)
{
  LICE_Blit(dest, src, x, y, 0, srcY, src->getWidth(), h < 0 ? src->getHeight() : h, 1.0f, kAlphaCopy);
}

// The editor's text: its monospace face at size 12, with the same height correction.
class EditorFont final
{
public:
  EditorFont()
  {
    int h = 12;
    mFont.SetFromHFont(Make(h), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    const int lh = mFont.GetLineHeight();
    if (lh > 0 && lh != h)
    {
      h = std::max(2, static_cast<int>(static_cast<double>(h) * h / lh + 0.5));
      mFont.SetFromHFont(Make(h), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    }
  }
  void Centred(LICE_IBitmap* bm, const char* text, int l, int t, int r, int b, LICE_pixel colour)
  {
    mFont.SetTextColor(colour);
    RECT rect{l, t, r, b};
    mFont.DrawText(bm, text, -1, &rect, LICE_DT_NOCLIP | LICE_DT_CENTER);
  }

private:
  static HFONT Make(int h) { return CreateFont(h, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, DEFAULT_QUALITY, 0, "Monaco"); }
  LICE_CachedFont mFont;
};

// A made-up spectrum history: a falling slope with harmonics that move over time.
double Magnitude(int row, int bin)
{
  const double slope = 70.0 / std::pow(1.0 + bin / 30.0, 0.75);
  double peaks = 0.0;
  const double f0 = 22.0 + 3.0 * std::sin(row * 0.35);
  for (int n = 1; n <= 24; ++n)
  {
    const double d = (bin - f0 * n) / (1.5 + 0.05 * n);
    peaks += 95.0 / n * std::exp(-d * d) * (0.6 + 0.4 * std::sin(row * 0.5 + n));
  }
  return slope + peaks;
}

void PlotSpectrum(LICE_IBitmap* bm, int xm1, int xm2, bool inv)
{
  const int hw = kBandHandleW / 2;
  for (int r = 0; r < kMapH; ++r)
  {
    double e = 1.0;
    const double step = axis::LogStep();
    for (int c = 0; c < kMapW; ++c)
    {
      const unsigned b = static_cast<unsigned>(e - 1.0);
      const double L = std::min(std::abs(Magnitude(r, static_cast<int>(b)) + 0.2) / 100.0, 1.0);
      const int x = kMapLeft + c;
      int red, green, blue;
      double t;
      if (L < 0.333)
      {
        t = 3 * L;
        red = 0, green = static_cast<int>(255 * t), blue = static_cast<int>(155 * (1 - t));
      }
      else if (L < 0.66)
      {
        t = 3 * (L - 0.33);
        red = 255, green = static_cast<int>(255 * t), blue = 0;
      }
      else
      {
        red = 255, green = static_cast<int>(255 * (1 - L)), blue = 0;
        t = 3 * (L - 0.66);
      }
      const bool grey = inv ? (x > xm1 + hw && x - hw < xm2) : (x < xm1 + hw || x - hw > xm2);
      if (grey) red = green = blue = static_cast<int>(255 * t);
      LICE_PutPixel(bm, x, kMapTop + r, LICE_RGBA(red, green, blue, 255), 1.0f, LICE_BLIT_MODE_COPY);
      e = e * step + 1.0;
    }
  }
}

// The waveform display's envelope for made-up points, one per column of its panel: decaying hits over a low bed.
void PlotWaveform(LICE_IBitmap* bm)
{
  const int cy = kWaveCentre, A = kWaveAmp;
  int prevX = kWaveLeft, prevHi = cy, prevLo = cy;
  unsigned seed = 12345u;
  const LICE_pixel line = LICE_RGBA(0, 0, 0, 15);
  for (int c = 0; c < kWaveRight - kWaveLeft; ++c)
  {
    seed = seed * 1103515245u + 12345u;
    const double noise = ((seed >> 16) & 0x7fff) / 32767.0;
    const double hit = std::exp(-(c % 38) / 9.0) * (c % 76 < 38 ? 0.85 : 0.55);
    const double s = std::min(1.0, 0.08 + hit * (0.7 + 0.3 * noise));
    const int x = kWaveLeft + c;
    const double a = std::abs(s * A);
    for (int t = 0; t < a; ++t)
    {
      const int g = static_cast<int>((t / a * 255 * 0.5 + 127) * 0.7 * 0.4);
      LICE_PutPixel(bm, x, cy - t, LICE_RGBA(g, g, g, 15), 1.0f, LICE_BLIT_MODE_COPY);
      LICE_PutPixel(bm, x, cy + t, LICE_RGBA(g, g, g, 15), 1.0f, LICE_BLIT_MODE_COPY);
    }
    if (a != 0)
    {
      LICE_PutPixel(bm, prevX, prevHi, line, 1.0f, LICE_BLIT_MODE_COPY);
      LICE_Line(bm, prevX, prevHi, x, static_cast<int>(cy - a), line, 1.0f, LICE_BLIT_MODE_COPY, false);
      LICE_Line(bm, prevX, prevLo, x, static_cast<int>(cy + a), line, 1.0f, LICE_BLIT_MODE_COPY, false);
    }
    prevX = x, prevHi = static_cast<int>(cy - a), prevLo = static_cast<int>(cy + a);
  }
}

void DrawFader(LICE_IBitmap* bm, LICE_IBitmap* handle, EditorFont& font, const FaderPlace& f, double v)
{
  const int L = f.x, T = f.y;
  const int minY = T + kFaderTravelTop, maxY = T + kFaderTravelBottom;
  Draw(bm, handle, L + kFaderHandleX, static_cast<int>(maxY - (maxY - minY) * v));
  const int p = static_cast<int>(v * 100);
  const int offset = p == 100 ? 3 : (p <= 9 ? -8 : 0);
  char text[16];
  std::snprintf(text, sizeof text, "%d", p);
  const LICE_pixel white = LICE_RGBA(255, 255, 255, 255);
  font.Centred(bm, text, L + 2, T + 221, L + 40, T + 235, white);
  font.Centred(bm, "%", L + offset + 2, T + 222, L + 70, T + 255, white);
}

}  // namespace

bool WritePreview(const std::string& dir, const std::string& outPath, int variant)
{
  Bitmap bg = Load(dir, "background.png"), title = Load(dir, "TESK.png"), knob = Load(dir, "knob.png");
  Bitmap fader = Load(dir, "faderhandle.png"), on = Load(dir, "buttonOn.png"), off = Load(dir, "buttonOff.png");
  Bitmap band = Load(dir, "smallhandles.png");
  if (!bg || !title || !knob || !fader || !on || !off || !band) return false;

  LICE_MemBitmap view(kEditorW, kEditorH, 1);
  LICE_Blit(&view, bg.get(), 0, 0, 0, 0, kEditorW, kEditorH, 1.0f, LICE_BLIT_MODE_COPY);
  EditorFont font;

  PlotWaveform(&view);
  Draw(&view, title.get(), kTitleX, kTitleY);

  const int frame = variant == 0 ? 61 : 1;
  Draw(&view, knob.get(), kKnobX, kKnobY, (frame - 1) * kKnobSize, kKnobSize);
  if (variant == 0)
  {
    const int R = kKnobX + kKnobSize;
    LICE_FillRect(&view, kKnobX, kKnobY + 37, R - 1 - kKnobX, 13, LICE_RGBA(0, 0, 0, 255), 1.0f, LICE_BLIT_MODE_COPY);
    const LICE_pixel white = LICE_RGBA(255, 255, 255, 255);
    LICE_Line(&view, kKnobX, kKnobY + 37, R - 1, kKnobY + 37, white, 1.0f, LICE_BLIT_MODE_COPY, false);
    LICE_Line(&view, kKnobX, kKnobY + 50, R - 1, kKnobY + 50, white, 1.0f, LICE_BLIT_MODE_COPY, false);
    LICE_Line(&view, kKnobX, kKnobY + 37, kKnobX, kKnobY + 50, white, 1.0f, LICE_BLIT_MODE_COPY, false);
    LICE_Line(&view, R - 1, kKnobY + 37, R - 1, kKnobY + 50, white, 1.0f, LICE_BLIT_MODE_COPY, false);
    font.Centred(&view, "0.50", kKnobX + 3, kKnobY + 37, R - 1, kKnobY + 50, white);
  }

  const double values[2][3] = {{0.0, 0.57, 1.0}, {0.33, 0.09, 0.8}};
  for (int i = 0; i < 3; ++i) DrawFader(&view, fader.get(), font, kFaders[i], values[variant][i]);

  const bool states[2][3] = {{false, true, false}, {true, false, true}};
  for (int i = 0; i < 3; ++i) Draw(&view, states[variant][i] ? on.get() : off.get(), kSwitches[i].x, kSwitches[i].y);

  font.Centred(&view, "v1.00", kVersionL, kVersionT, kVersionR, kVersionB, LICE_RGBA(125, 125, 125, 255));

  const int hw = kBandHandleW / 2;
  const int xmMin = kMapLeft + 1 - hw, xmMax = kMapLeft + kMapW + 1 - hw;
  const int xm1 = variant == 0 ? xmMin : xmMin + 60, xm2 = variant == 0 ? xmMax : xmMin + 120;
  PlotSpectrum(&view, xm1, xm2, variant == 1);
  Draw(&view, band.get(), xm1, kBandHandleTop);
  Draw(&view, band.get(), xm2, kBandHandleTop);

  if (!LICE_WritePNG(outPath.c_str(), &view, false))
  {
    std::fprintf(stderr, "make_images: cannot write %s\n", outPath.c_str());
    return false;
  }
  std::printf("%s (preview)\n", outPath.c_str());
  return true;
}

}  // namespace art
