#pragma once
// Tesk: the stereo spectral effect's processor, the one object a binding creates
// per plug-in instance. It declares the thirteen host parameters (TeskParams.h),
// owns the engine (TeskEngine) and the editor's side of the processor-editor
// channel (TeskEditorLink), and turns parameter changes into the engine's working
// values and into what the editor shows.
//
// The binding is chosen per build target (IPlugAPI.h): the same sources make the
// Audio Unit library and any other binding's plug-in. Only the Audio Unit's
// private seed property is binding-specific here.
//
// Threads (the same notes stand in TeskEngine.h and TeskEditorLink.h):
// - ProcessDoubleReplacing and everything it calls: the host's audio thread, which
//   neither allocates nor locks and never calls back into the plug-in; what the
//   displays owe the host is paid later from OnIdle.
// - OnParamChange and Reset: under the plug-in mutex, on the thread that delivers
//   the change: the thread a host calls the parameter setter, state restore or
//   initialisation on (its control thread; some hosts automate from their audio
//   thread, between renders), or the editor's thread (a control's push through
//   SetParameterFromGUI). Never from inside a render: the displays' own pushes
//   wait for OnIdle.
// - OnIdle: under the plug-in mutex, on a non-audio thread: the host's control
//   thread after each host call that is not a render, or an editor timer.
// - Host notifications (InformHostOfParamChange) come only from those non-audio
//   threads, through SetParameterFromGUI.

#include <cstdint>
#include <memory>

#include "IPlugAPI.h"
#include "TeskEngine.h"
#include "TeskIdentity.h"
#include "TeskParams.h"

class TeskEditorLink;

#ifdef IPLUG_API_AU
// Private Audio Unit property: a UInt32 seed for the sensitivity measure's draws, so
// a render can be reproduced. Global scope, readable and writable.
inline constexpr AudioUnitPropertyID kTeskSeedProperty = IPlugAU::kFirstPrivateProperty;

extern "C"
{
  // The component entries (TeskAU.cpp), exported under the plug-in's own unmangled names.
  __attribute__((visibility("default"))) ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug);
  __attribute__((visibility("default"))) ComponentResult Tesk_ViewEntry(ComponentParameters* params, void* pView);
}
#endif

// The instance information every Tesk is built with: its bundle and view class.
IPlugInstanceInfo TeskInstanceInfo();

class Tesk final : public IPlugAPI
{
public:
  // ==== What a host sees ====
  using enum tesk::EParam;
  // The output lags the input by 6144 samples in stage one's dry path plus 6144 in stage two.
  static constexpr int kLatencySamples = 2 * TeskEngine::kDelaySlots;

  // ==== Set-up (the thread that creates the instance) ====
  // Declares the parameters, builds the editor and stores the default preset "-".
  // The engine's random source is seeded from the clock.
  explicit Tesk(IPlugInstanceInfo info);
  // The editor's channel goes first; the plug-in base then deletes the graphics
  // object, which owns the controls.
  ~Tesk() override;

  // Takes and releases the plug-in mutex; the engine's history is kept on purpose,
  // so a host reset never interrupts the running frames.
  void Reset() override;
  // Stores the engine's working copy of parameter index and has the editor show it.
  // Under the plug-in mutex; indices outside 0..12 are ignored.
  void OnParamChange(int index) override;
  // Audio thread, between renders: no allocation, no locks. Takes parameter index,
  // just set by a binding that cannot take the mutex there (the LV2 binding's control
  // ports), into the engine's working copy.
  void ApplyParamChange(int index) noexcept;
  // Pays the pushes the displays owe the host (DeliverDisplayNotifications).
  void OnIdle() override;
  // When the audio thread stored spectra or waveform points since the last call,
  // pushes the display's parameter (5 or 4) once through SetParameterFromGUI, as a
  // push made on the editor's thread would. Takes the plug-in mutex; never on the
  // audio thread.
  void DeliverDisplayNotifications();
  // Restarts the sensitivity measure's draws from this seed; takes effect at the
  // next rendered block. Any thread.
  void SetRandomSeed(std::uint32_t seed) noexcept { mEngine.SetRandomSeed(seed); }
  std::uint32_t GetRandomSeed() const noexcept { return mEngine.GetRandomSeed(); }

  // ==== Processing (audio thread: no allocation, no locks) ====
  // Two inputs and two outputs, which may alias.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override;

  // ==== Inspection (tests, benchmarks, tools) ====
  TeskEngine& GetEngine() noexcept { return mEngine; }
  const TeskEngine& GetEngine() const noexcept { return mEngine; }
  // Null when the instance has no editor.
  TeskEditorLink* GetEditorLink() const noexcept { return mEditor.get(); }

#ifdef IPLUG_API_LV2
  // LV2's activation (lv2/TeskLV2.cpp): a new engine, as in a new instance.
  void ClearHistory() override;
#endif

#ifdef IPLUG_API_AU
protected:
  // The seed property (TeskAU.cpp); every other ID goes to the binding.
  ComponentResult GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32* pDataSize, Boolean* pWriteable, void* pData) override;
  ComponentResult SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32 dataSize, const void* pData) override;
#endif

private:
  void InitParameters();

  TeskEngine mEngine;
  // The editor's side of the channel (TeskEditor); it holds only pointers into the
  // graphics object, which the plug-in base owns.
  std::unique_ptr<TeskEditorLink> mEditor;
};
