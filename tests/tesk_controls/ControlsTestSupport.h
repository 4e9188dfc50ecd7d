#pragma once
// A stand-in processor with the plug-in's thirteen parameters that records what the
// editor tells it and drives the controls from its parameter handling the way the
// processor does, and an editor laid out like the real one from small in-memory
// images whose pixels tell which image (and which frame) was drawn.

#include <memory>
#include <string>
#include <vector>

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IGraphicsHeadless.h"
#include "IParam.h"
#include "IPlugHostless.h"
#include "OnOff.h"
#include "SensKnob.h"
#include "Version.h"
#include "WaveformDisplay.h"
#include "lice.h"

enum TestParam
{
  kReductionAmount = 0,
  kSensitivity,
  kLow,
  kHigh,
  kWaveformDisplay,
  kFFTDisplay,
  kPre,
  kAuto,
  kResidual,
  kInv,
  kModeA,
  kModeB,
  kBypass,
  kNumParams
};

class ControlsTestPlug final : public IPlugHostless
{
public:
  ControlsTestPlug()
    : IPlugHostless(kNumParams, "1-1 2-2", 1, "Tesk", "", "Test", 0x10000, 0x5465736b, 0x5465736b, 0, false, false,
                    false, kAPIAU)
  {
    struct Def
    {
      const char* name;
      double def;
      double step;
    };
    static const Def defs[kNumParams] = {{"Reduction Amount", 0, 0.0001},
                                         {"Sensitivity", 0, 0.0001},
                                         {"Low", 0, 0.0001},
                                         {"High", 1, 0.0001},
                                         {"WaveformDisplay", 0, 0.001},
                                         {"FFTDisplay", 0, 0.0001},
                                         {"Pre", 0, 0.0001},
                                         {"Auto", 0, 1},
                                         {"Residual", 0, 1},
                                         {"Inv", 0, 1},
                                         {"Mode A", 0, 0.0001},
                                         {"Mode B", 0, 0.0001},
                                         {"Bypass", 0, 1}};
    for (int i = 0; i < kNumParams; ++i) GetParam(i)->InitDouble(defs[i].name, defs[i].def, 0.0, 1.0, defs[i].step);
  }

  // The controls the processor keeps (null until the editor is built).
  FFTDisplay* fft = nullptr;
  WaveformDisplay* wave = nullptr;
  Fader* faderPre = nullptr;
  Fader* faderModeA = nullptr;
  Fader* faderModeB = nullptr;
  OnOff* switchAuto = nullptr;
  OnOff* switchBypass = nullptr;
  OnOff* switchInv = nullptr;
  Ctrlo* lowHolder = nullptr;
  Ctrlo* highHolder = nullptr;
  // The engine's band edges as the parameter handling last set them.
  double bandLow = 0.0, bandHigh = 0.0;

  // The processor's reaction to a parameter change, as far as it concerns the controls.
  void OnParamChange(int idx) override
  {
    WDL_MutexLock lock(&mMutex);
    changes.push_back(idx);
    if (!fft) return;
    const double v = GetParam(idx) ? GetParam(idx)->Value() : 0.0;
    switch (idx)
    {
      case kLow:
        bandLow = v;
        fft->setxm1(v);
        break;
      case kHigh:
        bandHigh = v;
        fft->setxm2(v);
        break;
      case kFFTDisplay:
        lowHolder->SetValue(fft->GetLow());
        highHolder->SetValue(fft->GetHigh());
        bandLow = fft->GetLow();
        bandHigh = fft->GetHigh();
        break;
      case kPre: faderPre->updatev(); break;
      case kAuto: switchAuto->mOn = v > 0.5; break;
      case kInv:
        fft->mInv = v > 0.5;
        switchInv->mOn = v > 0.5;
        break;
      case kModeA: faderModeA->updatev(); break;
      case kModeB: faderModeB->updatev(); break;
      case kBypass:
        switchBypass->mOn = v > 0.5;
        if (v > 0.5)
        {
          wave->clear();
          fft->clear();
        }
        break;
      default: break;
    }
  }

  void SetParameterFromGUI(int idx, double normalizedValue) override
  {
    fromGUI.push_back({idx, normalizedValue});
    IPlugBase::SetParameterFromGUI(idx, normalizedValue);
  }

  // A host setting a parameter: the value, the editor, then the processor.
  void HostSets(int idx, double value)
  {
    WDL_MutexLock lock(&mMutex);
    GetParam(idx)->Set(value);
    if (GetGUI()) GetGUI()->SetParameterFromPlug(idx, value, true);
    OnParamChange(idx);
  }

  // Pushes of one parameter, in order.
  std::vector<double> PushesOf(int idx) const
  {
    std::vector<double> out;
    for (const auto& p : fromGUI)
      if (p.idx == idx) out.push_back(p.value);
    return out;
  }
  void ForgetCalls()
  {
    fromGUI.clear();
    changes.clear();
  }

  struct Push
  {
    int idx;
    double value;
  };
  std::vector<Push> fromGUI;
  std::vector<int> changes;
};

// Colours of the test images; every image and frame has its own.
inline constexpr IColor kPanel(255, 20, 20, 20);
inline constexpr IColor kFaderHandle(255, 200, 10, 10);
inline constexpr IColor kBandHandle(255, 230, 230, 230);
inline constexpr IColor kOnTop(255, 0, 200, 0), kOnBottom(255, 0, 0, 200);
inline constexpr IColor kOffTop(255, 200, 0, 0), kOffBottom(255, 200, 200, 0);
inline constexpr IColor kTitleMark(255, 0, 200, 200);
// Knob frame f (from 1) is filled with red f, green 7, blue 9.
inline IColor KnobFrameColor(int f) { return IColor(255, f, 7, 9); }

constexpr int kKnobFrames = 120;
constexpr int kFaderHandleW = 25, kFaderHandleH = 20;
constexpr int kBandHandleW = 11, kBandHandleH = 53;
constexpr int kBandMarkTop = 4;  // first opaque row of the band handle

// The editor as the processor builds it, over a plain panel, with the test images.
struct EditorFixture
{
  EditorFixture()
  {
    gfx = new IGraphicsHeadless(&plug, 425, 440, 0);
    gfx->AttachPanelBackground(&kPanel);
    plug.AttachGraphics(gfx);
    gfx->EnableMouseOver(true);

    IBitmap title =
      Image(132, 400, 1, [](int x, int y) { return (x < 4 && y < 20) ? kTitleMark : IColor(0, 0, 0, 0); });
    plug.wave = new WaveformDisplay(&plug, 280, 15, 154, 380, 8192, kWaveformDisplay, &title);
    gfx->AttachControl(plug.wave);
    plug.wave->setOn1(true);
    plug.wave->setOn2(false);

    knobImage = Image(37, 37 * kKnobFrames, kKnobFrames, [](int, int y) { return KnobFrameColor(y / 37 + 1); });
    knob = new SensKnob(&plug, 99, 37, kSensitivity, &knobImage, kVertical, 4.0);
    gfx->AttachControl(knob);

    IBitmap handle = Image(kFaderHandleW, kFaderHandleH, 1, [](int, int) { return kFaderHandle; });
    plug.faderPre = new Fader(&plug, 47, 173, kPre, &handle, 10, 3, 171);
    plug.faderModeA = new Fader(&plug, 139, 171, kModeA, &handle, 10, 3, 171);
    plug.faderModeB = new Fader(&plug, 209, 171, kModeB, &handle, 10, 3, 171);
    gfx->AttachControl(plug.faderPre);
    gfx->AttachControl(plug.faderModeA);
    gfx->AttachControl(plug.faderModeB);
    plug.faderPre->SetValue(0);
    plug.faderModeA->SetValue(0);
    plug.faderModeB->SetValue(0);

    IBitmap on = Image(34, 50, 2, [](int, int y) { return y < 25 ? kOnTop : kOnBottom; });
    IBitmap off = Image(34, 50, 2, [](int, int y) { return y < 25 ? kOffTop : kOffBottom; });
    plug.switchAuto = new OnOff(&plug, IRECT(159, 52, 193, 77), kAuto, &on, &off);
    plug.switchBypass = new OnOff(&plug, IRECT(39, 52, 73, 77), kBypass, &on, &off);
    plug.switchInv = new OnOff(&plug, IRECT(227, 54, 261, 79), kInv, &on, &off);
    gfx->AttachControl(plug.switchAuto);
    gfx->AttachControl(plug.switchBypass);
    gfx->AttachControl(plug.switchInv);
    plug.switchBypass->SetValueFromPlug(1.0);

    plug.lowHolder = new Ctrlo(&plug, IRECT(0, 0, 0, 0), kLow);
    plug.highHolder = new Ctrlo(&plug, IRECT(0, 0, 0, 0), kHigh);
    gfx->AttachControl(plug.lowHolder);
    gfx->AttachControl(plug.highHolder);

    version = new Version(&plug);
    gfx->AttachControl(version);

    // Transparent but for a band of rows that lies inside the control and above the map.
    IBitmap small = Image(kBandHandleW, kBandHandleH, 1, [](int, int y) {
      return (y >= kBandMarkTop && y < kBandMarkTop + 4) ? kBandHandle : IColor(0, 0, 0, 0);
    });
    plug.fft = new FFTDisplay(&plug, plug.lowHolder, plug.highHolder, 35, 92, 231, 49, 8192, kFFTDisplay, small);
    gfx->AttachControl(plug.fft);
  }

  template <typename F>
  IBitmap Image(int w, int h, int frames, F colorAt)
  {
    auto bmp = std::make_unique<LICE_MemBitmap>(w, h);
    LICE_pixel* bits = bmp->getBits();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bits[y * bmp->getRowSpan() + x] = colorAt(x, y).ToPixel();
    IBitmap out(bmp.get(), w, h, frames);
    images.push_back(std::move(bmp));
    return out;
  }

  // Every control drawn once over the panel.
  void DrawAll() { gfx->DrawAll(); }
  IColor At(int x, int y) { return gfx->GetPoint(x, y); }

  // Mouse gestures routed through the graphics host.
  void Click(int x, int y)
  {
    IMouseMod left(true);
    gfx->OnMouseDown(x, y, &left);
    gfx->OnMouseUp(x, y, &left);
  }
  void Drag(int x, int y, int toX, int toY)
  {
    IMouseMod left(true);
    gfx->OnMouseDown(x, y, &left);
    gfx->OnMouseDrag(toX, toY, &left);
  }
  void Release(int x, int y)
  {
    IMouseMod left(true);
    gfx->OnMouseUp(x, y, &left);
  }

  // Declared first so the editor (owned by the plug-in) goes before the images.
  std::vector<std::unique_ptr<LICE_MemBitmap>> images;
  ControlsTestPlug plug;
  IGraphicsHeadless* gfx = nullptr;  // owned by the plug-in
  IBitmap knobImage;
  SensKnob* knob = nullptr;
  Version* version = nullptr;
};
