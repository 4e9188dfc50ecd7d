#pragma once
// What Tesk's processor tells its editor: the values to show when a parameter changes.
// The rest of the channel is data the processor owns and the editor reads on its own
// thread: the display feed (TeskDisplayFeed.h: spectra, waveform points, clears) and
// the band marks (TeskBandGrid.h), which a drag of the handles moves. The processor
// and its engine never read the editor. The processor and the engine hold only this interface, null when
// there is no editor; the code that builds the editor implements it and is the only
// code that knows the concrete controls. Binding-free: the standard library only.
//
// Threads (named as in IPlugBase.h): every call below runs on the
// - parameter-change thread: inside Tesk::ApplyParamChange, on the thread that delivers the
//   change: the thread a host calls the parameter setter, state restore or
//   initialisation on (its control thread, under the plug-in mutex through
//   Tesk::OnParamChange), the editor thread (a control's push through
//   SetParameterFromGUI), or a binding's audio thread between renders (an LV2 run()
//   applying its control ports, without the mutex). So these calls are lock-free and
//   never allocate, call back into the plug-in or wait. Never during a render.
//
// The calls say what to show, not how. The editor thread alone writes the editor's
// state: called there, a call shows at once; called on another thread, it either
// changes only what the editor reads atomically (handle positions, switch flags) or
// hands the value over to the editor's next timer tick.

#include "TeskBandGrid.h"
#include "TeskParams.h"

class TeskDisplayFeed;

// What of the processor an editor reads and moves: the band marks a drag of the
// handles moves and the display feed the displays drain (null: the displays stay
// empty). Shared by pointer, also with an editor built in another library (an LV2 UI
// with instance-access): both are header-only lock-free atomics.
struct TeskEditorShare
{
  TeskBandMarks* marks = nullptr;
  const TeskDisplayFeed* feed = nullptr;
};

class TeskEditorLink
{
public:
  virtual ~TeskEditorLink() = default;

  // ==== Values to show (parameter change) ====
  // Moves a band handle to a step of the band grid ("Low", "High" placed a mark there).
  virtual void ShowBandLow(int step) noexcept = 0;
  virtual void ShowBandHigh(int step) noexcept = 0;
  // The band edges the engine took from the marks, kept for parameters 2 and 3.
  virtual void ShowBandEdges(double low, double high) noexcept = 0;
  // A fader ("Pre", "Mode A", "Mode B") redraws its handle and text from the value
  // its control holds; the graphics host has set it (or handed it over) before the
  // processor hears of the change.
  virtual void RefreshFader(tesk::EParam param) noexcept = 0;
  // A switch ("Auto", "Inv", "Bypass") shows on or off.
  virtual void ShowSwitch(tesk::EParam param, bool on) noexcept = 0;
  // The spectrum display greys inside the band instead of outside it.
  virtual void ShowInvertedBand(bool inverted) noexcept = 0;
};

// What the editor shows when parameter index takes the value v, given the band marks
// (placed already for "Low" and "High", the engine's band for "FFTDisplay"). The one
// place that says it, for the processor and for an editor that runs without one (an
// LV2 UI). The parameter-change thread, as the calls it makes.
inline void ShowParamChange(TeskEditorLink& editor, int index, double v, const TeskBandMarks& marks) noexcept
{
  using namespace tesk;
  switch (index)
  {
    case kLow: editor.ShowBandLow(marks.LowStep()); break;
    case kHigh: editor.ShowBandHigh(marks.HighStep()); break;
    // The band the engine takes from the marks, for parameters 2 and 3.
    case kFFTDisplay: editor.ShowBandEdges(marks.Low(), marks.High()); break;
    case kPre:
    case kModeA:
    case kModeB: editor.RefreshFader(static_cast<EParam>(index)); break;
    case kAuto:
    case kBypass: editor.ShowSwitch(static_cast<EParam>(index), IsOn(v)); break;
    case kInv:
      editor.ShowInvertedBand(IsOn(v));
      editor.ShowSwitch(kInv, IsOn(v));
      break;
    // "Reduction Amount", "Sensitivity" (its knob is bound to it), "WaveformDisplay"
    // and "Residual": nothing beyond the control's own value.
    default: break;
  }
}
