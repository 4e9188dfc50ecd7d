// The editor's artwork: the palette, the editor geometry the images must fit,
// and one painter per image file.
#pragma once

#include "canvas.h"

#include <string>

namespace art
{

// ---- Palette: a dark charcoal panel with one amber accent ----
namespace palette
{
inline const Colour kPanelTop{50, 53, 59};
inline const Colour kPanelBottom{35, 37, 42};
inline const Colour kRecess{17, 18, 21};
inline const Colour kLabel{184, 190, 199};
inline const Colour kDimLabel{124, 130, 140};
inline const Colour kAccent{255, 172, 54};
inline const Colour kAccentDeep{226, 128, 24};
inline const Colour kWhite{255, 255, 255};
inline const Colour kBlack{0, 0, 0};
}  // namespace palette

// ---- Editor geometry the artwork lines up with ----
namespace layout
{
constexpr int kEditorW = 425, kEditorH = 440;
// Every panel keeps this distance from the editor's edges and from its neighbour.
constexpr int kPanelMargin = 10;
constexpr int kLeftPanelsL = kPanelMargin, kLeftPanelsR = 270;

constexpr int kKnobX = 99, kKnobY = 37, kKnobSize = 37, kKnobFrames = 120;

constexpr int kSwitchW = 34, kSwitchH = 25;
struct SwitchPlace
{
  int x, y;
  const char* label;
};
inline constexpr SwitchPlace kSwitches[3] = {{39, 52, "BYPASS"}, {159, 52, "AUTO"}, {227, 54, "INV"}};

struct FaderPlace
{
  int x, y;
  const char* label;
};
inline constexpr FaderPlace kFaders[3] = {{47, 173, "PRE"}, {139, 171, "MODE A"}, {209, 171, "MODE B"}};
constexpr int kFaderHandleX = 10, kFaderTravelTop = 3, kFaderTravelBottom = 171;
constexpr int kFaderHandleW = 21, kFaderHandleH = 27;
constexpr int kFaderHandleMark = 13;  // the handle's centre row, which the scale ticks line up with
constexpr int kFaderValueTop = 221;   // the fader's value text rectangle (from the control's top)

// Spectrum display: the control, its colour-map area and the band handles.
constexpr int kSpecX = 35, kSpecY = 92, kSpecW = 231, kSpecH = 49;
constexpr int kMapLeft = 40, kMapTop = 98, kMapW = 219, kMapH = 31;  // where the display plots
constexpr int kBandHandleW = 9, kBandHandleH = 43;
constexpr int kBandHandleTop = kSpecY - 4;

// Waveform display and the title drawn over it. The display's control reaches past the
// editor's right edge; its panel stops a margin short of it, as the left panels do.
constexpr int kWaveLeft = kLeftPanelsR + kPanelMargin, kWaveTop = 15, kWaveBottom = 395, kWaveCentre = 205,
              kWaveAmp = 189;
constexpr int kWaveRight = kEditorW - kPanelMargin;
constexpr int kTitleX = 288, kTitleY = 0, kTitleW = 132, kTitleH = 400;
// The title's letters stand on the panel's centre line (the image's place is fixed).
constexpr double kTitleCentre = (kWaveLeft + kWaveRight) / 2.0 - kTitleX;

constexpr int kVersionL = 283, kVersionT = 417, kVersionR = 333, kVersionB = 437;
}  // namespace layout

// The spectrum display's frequency axis: column c (0-based) shows bin b(c) of a
// 4096-point transform, with e0 = 1, e <- e * step + 1 and b = e - 1 truncated.
namespace axis
{
constexpr double kSampleRate = 44100.0;
constexpr int kBins = 4096;
double LogStep();
int BinOfColumn(int column);
// The screen x of the column whose bin frequency lies closest (in ratio) to `hz`.
int ColumnXForFrequency(double hz);
}  // namespace axis

// ---- One painter per image ----
Canvas PaintBackground();
Canvas PaintTitle();
Canvas PaintKnobStrip();
Canvas PaintFaderHandle();
Canvas PaintSwitch(bool on);  // both frames; the second stays fully transparent
Canvas PaintBandHandle();

// Shared strokes of the panel style.
namespace style
{
// A sunken rounded area: dark fill, a soft inner shadow along its top, a faint lit lower rim.
void Recess(Canvas& c, double x0, double y0, double x1, double y1, double radius, const Colour& fill);
// A small caps label with letter spacing, centred on cx with its top at y.
void Label(Canvas& c, const std::string& text, double cx, int y, const Colour& colour = palette::kLabel, int em = 9);
}  // namespace style

}  // namespace art
