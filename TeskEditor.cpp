// Tesk's editor: one fixed 425 x 440 window drawn from seven images, built in a
// fixed order (attach order is draw order; hit-testing runs from the last control
// back), and its side of the processor-editor channel.

#include "TeskEditor.h"

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IGraphicsHeadless.h"
#include "IPlugBase.h"
#if defined(__APPLE__)
#include "IGraphicsMac.h"
#else
#include "linux_window/IGraphicsLinux.h"
#endif
#include "OnOff.h"
#include "SensKnob.h"
#include "TeskBandGrid.h"
#include "TeskIdentity.h"
#include "Version.h"
#include "WaveformDisplay.h"

using namespace tesk;

namespace
{
constexpr int kEditorWidth = 425;
constexpr int kEditorHeight = 440;

// Bitmap resources: ID, file of the bundle, frames stacked vertically.
struct Resource
{
  int id;
  const char* file;
  int frames;
};
constexpr Resource kBackground = {102, "resources/img/background.png", 1};
constexpr Resource kTitle = {117, "resources/img/TESK.png", 1};
constexpr Resource kKnob = {101, "resources/img/knob.png", 120};
constexpr Resource kFaderHandle = {114, "resources/img/faderhandle.png", 1};
constexpr Resource kButtonOn = {116, "resources/img/buttonOn.png", 2};
constexpr Resource kButtonOff = {115, "resources/img/buttonOff.png", 2};
constexpr Resource kSmallHandles = {110, "resources/img/smallhandles.png", 1};

IBitmap Load(IGraphics* pGraphics, const Resource& r) { return pGraphics->LoadIBitmap(r.id, r.file, r.frames); }

// Fader geometry: the handle stands 10 px inside the control and travels 3..171.
constexpr int kFaderHandleX = 10;
constexpr int kFaderTravelTop = 3;
constexpr int kFaderTravelBottom = 171;
constexpr double kKnobGearing = 4.0;
// Spectrum history: kSpectrumHistory / 2 magnitudes per row.
constexpr int kSpectrumHistory = 8192;

// The spectrum display's place and size. Its handles travel the width of its colour
// map, one pixel per step of the band grid.
constexpr int kSpectrumX = 35, kSpectrumY = 92, kSpectrumW = 231, kSpectrumH = 49;
static_assert(FFTDisplay::HandleTravel(kSpectrumW) == kBandGridSteps,
              "the spectrum display's handles move one pixel per step of the band grid");

// The waveform display fills its sunken panel in the background, which keeps the same
// 10 px margin from the editor's right edge as the left panels keep from the left one.
constexpr int kWaveformX = 280, kWaveformY = 15, kWaveformW = 135, kWaveformH = 380;
static_assert(kWaveformX + kWaveformW == kEditorWidth - 10, "the waveform stops at its panel's right edge");
}  // namespace

IGraphics* MakeGraphics(IPlugBase* pPlug, int w, int h, int fps)
{
  if (!HeadlessEditorsRequested())
  {
#if defined(__APPLE__)
    // Images and paths come from the bundle.
    auto* pMac = new IGraphicsMac(pPlug, w, h, fps);
    pMac->SetBundleID(kTeskBundleID);
    return pMac;
#else
    // Draws like the headless host until a window attaches; finds the images compiled
    // into the binary. A library whose editor another library's window shows (the LV2
    // plug-in's) asks for it even before any display is known.
    if (LinuxDisplayAvailable() || AttachableEditorsRequested()) return new IGraphicsLinux(pPlug, w, h, fps);
#endif
  }
  // The images compiled into the binary, found by their file names.
  auto* pGraphics = new IGraphicsHeadless(pPlug, w, h, fps);
  pGraphics->SetBundleID(kTeskBundleID);
  return pGraphics;
}

TeskEditor::TeskEditor(IPlugBase* pPlug, const TeskEditorShare& share)
  : mMarks(share.marks)
{
  IGraphics* pGraphics = MakeGraphics(pPlug, kEditorWidth, kEditorHeight, 0);
  mGraphics = pGraphics;
  pGraphics->AttachBackground(kBackground.id, kBackground.file);
  // Only the background exists yet, so the values AttachGraphics pushes reach no control.
  pPlug->AttachGraphics(pGraphics);

  IBitmap title = Load(pGraphics, kTitle);
  pGraphics->EnableMouseOver(true);

  mWaveformDisplay =
    new WaveformDisplay(pPlug, kWaveformX, kWaveformY, kWaveformW, kWaveformH, kWaveformDisplay, &title);
  mWaveformDisplay->SetFeed(share.feed);
  pGraphics->AttachControl(mWaveformDisplay);
  mWaveformDisplay->setOn2(false);

  IBitmap knob = Load(pGraphics, kKnob);
  pGraphics->AttachControl(new SensKnob(pPlug, 99, 37, kSensitivity, &knob, kVertical, kKnobGearing));

  IBitmap faderHandle = Load(pGraphics, kFaderHandle);
  mFaderPre = new Fader(pPlug, 47, 173, kPre, &faderHandle, kFaderHandleX, kFaderTravelTop, kFaderTravelBottom);
  pGraphics->AttachControl(mFaderPre);
  mFaderModeA = new Fader(pPlug, 139, 171, kModeA, &faderHandle, kFaderHandleX, kFaderTravelTop, kFaderTravelBottom);
  pGraphics->AttachControl(mFaderModeA);
  mFaderModeB = new Fader(pPlug, 209, 171, kModeB, &faderHandle, kFaderHandleX, kFaderTravelTop, kFaderTravelBottom);
  pGraphics->AttachControl(mFaderModeB);
  for (Fader* pFader : {mFaderPre, mFaderModeA, mFaderModeB}) pFader->SetValue(0.0);

  IBitmap buttonOn = Load(pGraphics, kButtonOn);
  IBitmap buttonOff = Load(pGraphics, kButtonOff);
  mSwitchAuto = new OnOff(pPlug, IRECT(159, 52, 193, 77), kAuto, &buttonOn, &buttonOff);
  pGraphics->AttachControl(mSwitchAuto);
  mSwitchBypass = new OnOff(pPlug, IRECT(39, 52, 73, 77), kBypass, &buttonOn, &buttonOff);
  pGraphics->AttachControl(mSwitchBypass);
  mSwitchInv = new OnOff(pPlug, IRECT(227, 54, 261, 79), kInv, &buttonOn, &buttonOff);
  pGraphics->AttachControl(mSwitchInv);
  mSwitchBypass->SetValueFromPlug(1.0);

  // The band edges need controls bound to parameters 2 and 3; the mouse never
  // reaches these (empty rectangles).
  mLowHolder = new Ctrlo(pPlug, IRECT(0, 0, 0, 0), kLow);
  mHighHolder = new Ctrlo(pPlug, IRECT(0, 0, 0, 0), kHigh);
  pGraphics->AttachControl(mLowHolder);
  pGraphics->AttachControl(mHighHolder);

  pGraphics->AttachControl(new Version(pPlug, IRECT(283, 417, 333, 437), kReductionAmount));

  IBitmap smallHandles = Load(pGraphics, kSmallHandles);
  mFFTDisplay = new FFTDisplay(pPlug, mLowHolder, mHighHolder, kSpectrumX, kSpectrumY, kSpectrumW, kSpectrumH,
                               kSpectrumHistory, kFFTDisplay, smallHandles);
  mFFTDisplay->SetHandleListener(this);
  mFFTDisplay->SetFeed(share.feed);
  pGraphics->AttachControl(mFFTDisplay);
}

// ==== The channel ====

// The handle positions and switch flags are atomics the editor reads: every thread
// sets them at once.
void TeskEditor::ShowBandLow(int step) noexcept { mFFTDisplay->PlaceLowHandle(step); }
void TeskEditor::ShowBandHigh(int step) noexcept { mFFTDisplay->PlaceHighHandle(step); }

void TeskEditor::HandlesDragged(int lowOffset, int highOffset) noexcept
{
  if (mMarks) mMarks->Move(lowOffset, highOffset);
}

void TeskEditor::ShowBandEdges(double low, double high) noexcept
{
  if (IEditorThread::Access access(mGraphics->EditorThread()); access)
  {
    mLowHolder->SetValue(low);
    mHighHolder->SetValue(high);
  }
  else
  {
    mLowHolder->HandOffValue(low);
    mHighHolder->HandOffValue(high);
  }
}

void TeskEditor::RefreshFader(EParam param) noexcept
{
  Fader* pFader = GetFader(param);
  if (!pFader) return;
  if (IEditorThread::Access access(mGraphics->EditorThread()); access)
    pFader->updatev();
  else
    pFader->RequestRefresh();
}

void TeskEditor::ShowSwitch(EParam param, bool on) noexcept
{
  if (OnOff* pSwitch = GetSwitch(param)) pSwitch->mOn = on;
}

void TeskEditor::ShowInvertedBand(bool inverted) noexcept { mFFTDisplay->mInv = inverted; }

// ==== Inspection ====

Fader* TeskEditor::GetFader(int param) const noexcept
{
  switch (param)
  {
    case kPre: return mFaderPre;
    case kModeA: return mFaderModeA;
    case kModeB: return mFaderModeB;
    default: return nullptr;
  }
}

OnOff* TeskEditor::GetSwitch(int param) const noexcept
{
  switch (param)
  {
    case kAuto: return mSwitchAuto;
    case kInv: return mSwitchInv;
    case kBypass: return mSwitchBypass;
    default: return nullptr;
  }
}
