#pragma once
// The one channel between Tesk's processor and its editor: everything the processor
// and its engine tell the editor (display feeds, values to show, clears) and the
// little they read back (the pushes the displays owe the host). The band edges the
// user drags are not read back here: the editor moves the processor's band marks
// (TeskBandGrid.h). The processor and the engine hold only this interface, null when
// there is no editor; the code that builds the editor implements it and is the only
// code that knows the concrete controls. Binding-free: the standard library only.
//
// Threads (named as in IPlugBase.h), as every call below is marked:
// - audio: the render path (ProcessDoubleReplacing). No allocation, no locks, and
//   nothing here may call back into the plug-in (no push of a parameter, no host
//   notification).
// - parameter change: inside Tesk::ApplyParamChange, on the thread that delivers the
//   change: the thread a host calls the parameter setter, state restore or
//   initialisation on (its control thread, under the plug-in mutex through
//   Tesk::OnParamChange), the editor thread (a control's push through
//   SetParameterFromGUI), or a binding's audio thread between renders (an LV2 run()
//   applying its control ports, without the mutex). So these calls are lock-free and
//   never allocate, call back into the plug-in or wait. Never during a render.
// - idle: Tesk::OnIdle, under the plug-in mutex, on a non-audio thread: the host's
//   control thread after each host call that is not a render, or an editor timer.
//
// The calls say what to show, not how. The editor thread alone writes the editor's
// state: called there, a call shows at once; called on another thread, it either
// changes only what the editor reads atomically (handle positions, switch flags,
// clear requests) or hands the value over to the editor's next timer tick.

#include "TeskParams.h"

class TeskEditorLink
{
public:
  virtual ~TeskEditorLink() = default;

  // ==== Feeds (audio) ====
  // The current sample rate, once per processed block: the waveform keeps one
  // point per sampleRate / 100 values.
  virtual void FeedSampleRate(int sampleRate) noexcept = 0;
  // One output value per processed sample while not bypassed.
  virtual void FeedWaveform(double value) noexcept = 0;
  // The two channels' magnitude spectra of one frame step (n bins each), read
  // before the call returns. Each call owes the host one push of kFFTDisplay.
  virtual void FeedSpectra(const double* magL, const double* magR, int n) noexcept = 0;

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
  // Empties the waveform, then the spectrum display. Each display owes its parameter a
  // push for it, which the processor makes (Tesk::ApplyParamChange says when).
  virtual void ClearDisplays() noexcept = 0;

  // ==== Owed pushes (idle) ====
  // Spectra (FeedSpectra calls) and stored waveform points since the last call:
  // each stands for one push of the display's parameter the processor owes the host.
  virtual int TakeSpectrumPushes() noexcept = 0;
  virtual int TakeWaveformPushes() noexcept = 0;
};
