#pragma once
// Tesk's editor: builds the fixed 425 x 440 layout of its controls into a graphics
// object attached to the plug-in, and is the editor's side of the processor-editor
// channel (TeskEditorLink). The only code that knows the concrete controls.
//
// Threads: construction on the thread that creates the processor, before a host can
// call it; every channel operation on the thread TeskEditorLink.h gives it. The
// controls themselves draw, take the mouse and change their state on the editor thread
// only: a value to show that arrives on another thread waits in the control (Fader,
// Ctrlo) for the editor's next timer tick.
//
// Lifetime: the graphics object (owned and deleted by the plug-in base) owns the
// controls; this object only points at them and must not outlive them. The
// processor deletes it in its destructor, before the base deletes the graphics.

#include "FFTDisplay.h"
#include "TeskEditorLink.h"

class IGraphics;
class IPlugBase;
class WaveformDisplay;
class Fader;
class OnOff;
class Ctrlo;

class TeskEditor final : public TeskEditorLink, private FFTHandleListener
{
public:
  // Creates the graphics object, attaches it to pPlug and builds the layout. A drag of
  // the spectrum display's handles moves the shared band marks; the displays drain the
  // shared feed on the editor's timer (none: they stay empty). Both must outlive the
  // editor.
  TeskEditor(IPlugBase* pPlug, const TeskEditorShare& share);
  TeskEditor(const TeskEditor&) = delete;
  TeskEditor& operator=(const TeskEditor&) = delete;

  // ==== The channel (threads as in TeskEditorLink.h) ====
  void ShowBandLow(int step) noexcept override;
  void ShowBandHigh(int step) noexcept override;
  void ShowBandEdges(double low, double high) noexcept override;
  void RefreshFader(tesk::EParam param) noexcept override;
  void ShowSwitch(tesk::EParam param, bool on) noexcept override;
  void ShowInvertedBand(bool inverted) noexcept override;

  // ==== Inspection (tests, tools) ====
  FFTDisplay* GetFFTDisplay() const noexcept { return mFFTDisplay; }
  WaveformDisplay* GetWaveformDisplay() const noexcept { return mWaveformDisplay; }
  // The fader of "Pre", "Mode A" or "Mode B"; null for any other parameter.
  Fader* GetFader(int param) const noexcept;
  // The switch of "Auto", "Inv" or "Bypass"; null for any other parameter.
  OnOff* GetSwitch(int param) const noexcept;
  Ctrlo* GetLowHolder() const noexcept { return mLowHolder; }
  Ctrlo* GetHighHolder() const noexcept { return mHighHolder; }

private:
  // The spectrum display's handles are at pixel offsets that are steps of the band
  // grid: the marks follow them. Editor thread.
  void HandlesDragged(int lowOffset, int highOffset) noexcept override;

  TeskBandMarks* mMarks;
  IGraphics* mGraphics = nullptr;  // owned by the plug-in base; knows the editor thread
  WaveformDisplay* mWaveformDisplay = nullptr;
  FFTDisplay* mFFTDisplay = nullptr;
  Ctrlo* mLowHolder = nullptr;
  Ctrlo* mHighHolder = nullptr;
  Fader* mFaderPre = nullptr;
  Fader* mFaderModeA = nullptr;
  Fader* mFaderModeB = nullptr;
  OnOff* mSwitchAuto = nullptr;
  OnOff* mSwitchInv = nullptr;
  OnOff* mSwitchBypass = nullptr;
};

// The editor's graphics object for the plug-in, the platform's graphics host: the Mac
// binding (IGraphicsMac) on Apple; on Linux the X11-free host a window attaches to
// (IGraphicsLinux) when a display can be tried (LinuxDisplayAvailable). The headless host
// (IGraphicsHeadless) when there is no display, or whenever a caller asked for it
// beforehand (RequestHeadlessEditors, IGraphicsHeadless.h: tesk-render, tests that draw
// the editor themselves). The thread that creates the processor.
IGraphics* MakeGraphics(IPlugBase* pPlug, int w, int h, int fps);
