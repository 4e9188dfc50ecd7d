#pragma once
// Tesk: the stereo spectral effect's processor, the one object a binding creates
// per plug-in instance. It declares the thirteen host parameters (TeskParams.h),
// owns the engine (TeskEngine), the display feed the engine writes (TeskDisplayFeed)
// and the editor's side of the processor-editor channel (TeskEditorLink), and turns
// parameter changes into the engine's working values and into what the editor shows.
//
// The binding is chosen per build target (IPlugAPI.h): the same sources make the
// Audio Unit library and any other binding's plug-in. Only the Audio Unit's
// private seed property, LV2's activation and what LV2's UI shares of the processor
// are binding-specific here (LV2's seed extension is in lv2/TeskLV2.cpp), and whether
// the processor builds its editor (TESK_PROCESSOR_BUILDS_EDITOR).
//
// Threads (named as in IPlugBase.h; the same notes stand in TeskEngine.h and
// TeskEditorLink.h):
// - ProcessDoubleReplacing and everything it calls: the host's audio thread, which
//   neither allocates nor locks and never calls back into the plug-in; what the
//   display feed owes the host is paid later from OnIdle.
// - ApplyParamChange: on the thread that delivers a parameter change, never during a
//   render, with or without the plug-in mutex: lock-free, no allocation, no call back
//   into the plug-in or the host. A binding may call it from its audio thread between
//   renders (an LV2 run() for its changed control ports).
// - OnParamChange and Reset: under the plug-in mutex, on a thread that delivers the
//   change and may call back into the plug-in: the thread a host calls the parameter
//   setter, state restore or initialisation on (its control thread), or the editor
//   thread (a control's push through SetParameterFromGUI).
// - OnIdle: under the plug-in mutex, on a non-audio thread: the host's control
//   thread after each host call that is not a render, or an editor timer.
// - Host notifications (InformHostOfParamChange) come only from those non-audio
//   threads, through SetParameterFromGUI.
// - What the editor shows is written on the editor thread alone (TeskEditorLink.h).

#include <atomic>
#include <cstdint>
#include <memory>

#include "IPlugAPI.h"
#include "TeskDisplayFeed.h"
#include "TeskEditorLink.h"
#include "TeskEngine.h"
#include "TeskIdentity.h"
#include "TeskParams.h"

#ifdef IPLUG_API_AU
// Private Audio Unit property: a UInt32 seed for the sensitivity measure's draws, so
// a render can be reproduced. Global scope, readable and writable.
inline constexpr AudioUnitPropertyID kTeskSeedProperty = IPlugAU::kFirstPrivateProperty;

extern "C"
{
  // The entries (TeskAU.cpp), exported under the plug-in's own unmangled names, and the
  // only symbols the component exports: the audio component factory its Info.plist names,
  // and the Component Manager's Audio Unit and Carbon view entries.
  __attribute__((visibility("default"))) AudioComponentPlugInInterface*
  Tesk_Factory(const AudioComponentDescription* pDesc);
  __attribute__((visibility("default"))) ComponentResult Tesk_Entry(ComponentParameters* params, void* pPlug);
  __attribute__((visibility("default"))) ComponentResult Tesk_ViewEntry(ComponentParameters* params, void* pView);
}
#endif

// The instance information every Tesk is built with: its bundle and view class.
IPlugInstanceInfo TeskInstanceInfo();

// Whether the processor has an editor. The Audio Unit shows it through its view and
// the host-less build drives it in tests and tools; the LV2 plug-in's processor has
// none (its UI, a library of its own, builds the editor: lv2/TeskLV2UI.cpp), so the
// plug-in's library links no graphics. Where there is one, it is built on first need
// (EnsureGUI): a host showing it or asking for a picture of it; a processor nobody
// looks at runs without one.
#if defined(IPLUG_API_LV2)
#define TESK_PROCESSOR_BUILDS_EDITOR 0
#else
#define TESK_PROCESSOR_BUILDS_EDITOR 1
#endif

// The LV2 binding declares ApplyParamChange for its control ports; the others do not.
#ifdef IPLUG_API_LV2
#define TESK_LV2_OVERRIDE override
#else
#define TESK_LV2_OVERRIDE
#endif

class Tesk final : public IPlugAPI
{
public:
  // ==== What a host sees ====
  using enum tesk::EParam;
  // The output lags the input by 6144 samples in stage one's dry path plus 6144 in stage two.
  static constexpr int kLatencySamples = 2 * TeskEngine::kDelaySlots;

  // ==== Set-up (the thread that creates the instance) ====
  // Declares the parameters and stores the default preset "-"; the editor waits for
  // its first need (MakeGUI). The engine's random source is seeded from the clock.
  explicit Tesk(IPlugInstanceInfo info);
  // Whatever drives the editor from a thread of its own stops first; then the editor's
  // channel goes, and the plug-in base deletes the graphics object, which owns the
  // controls.
  ~Tesk() override;

  // Takes and releases the plug-in mutex; the engine's history is kept on purpose,
  // so a host reset never interrupts the running frames.
  void Reset() override;
  // ApplyParamChange under the plug-in mutex, then the pushes that change owes the
  // host: a "Bypass" above one half, having cleared the display feed, pushes parameter
  // 4, then 5, each with its unchanged value, through SetParameterFromGUI (the push of
  // 5 takes the band edges from the marks again).
  void OnParamChange(int index) override;
  // Stores the engine's working copy of parameter index and has the editor show it;
  // indices outside 0..12 are ignored. No allocation, no locks: a binding that cannot
  // take the mutex on its audio thread (the LV2 binding's control ports, between
  // renders) calls it directly. The pushes a clear of the displays owes are left to
  // OnParamChange or, when a binding calls this directly, to the next OnIdle.
  void ApplyParamChange(int index) noexcept TESK_LV2_OVERRIDE;
  // Pays the pushes the display feed owes the host (DeliverDisplayNotifications).
  void OnIdle() override;
  // Pays the pushes owed by a clear (as OnParamChange does), then, when the audio
  // thread stored spectra or waveform points in the feed since the last call, pushes
  // the display's parameter (5 or 4) once through SetParameterFromGUI, as a push made
  // on the editor's thread would; with or without an editor. Takes the plug-in mutex;
  // never on the audio thread.
  void DeliverDisplayNotifications();
  // Restarts the sensitivity measure's draws from this seed; takes effect at the
  // next rendered block. Any thread.
  void SetRandomSeed(std::uint32_t seed) noexcept { mEngine.SetRandomSeed(seed); }
  std::uint32_t GetRandomSeed() const noexcept { return mEngine.GetRandomSeed(); }

  // ==== The editor ====
  // True where the binding's processor has an editor (TESK_PROCESSOR_BUILDS_EDITOR),
  // built yet or not.
  bool OffersGUI() const noexcept override;

  // ==== Processing (audio thread: no allocation, no locks) ====
  // Two inputs and two outputs, which may alias.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) noexcept override;

  // ==== Inspection (tests, benchmarks, tools) ====
  TeskEngine& GetEngine() noexcept { return mEngine; }
  const TeskEngine& GetEngine() const noexcept { return mEngine; }
  TeskDisplayFeed& GetDisplayFeed() noexcept { return mFeed; }
  // Null while the instance has no editor.
  TeskEditorLink* GetEditorLink() const noexcept { return mEditor.get(); }

#ifdef IPLUG_API_LV2
  // LV2's activation (lv2/TeskLV2.cpp): the engine emptied in place, as a new instance has it.
  void ClearHistory() noexcept override;
  // The band marks and the display feed, for the editor the LV2 UI builds (a
  // TeskEditorShare). Any thread.
  void* SharedEditorState() noexcept override { return &mShare; }
#endif

protected:
  // Builds the editor and brings it to where an editor built with the processor would
  // stand: the controls take the values hosts sent them (SendOwedValueToEditor) and
  // every parameter whose change was shown to no editor is shown now, in index order,
  // with its current value (ShowParamChange). The displays take what the feed holds at
  // their first timer tick. Mutex held (EnsureGUI).
  void MakeGUI() override;

#ifdef IPLUG_API_AU
  // The seed property (TeskAU.cpp); every other ID goes to the binding.
  ComponentResult GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32* pDataSize, Boolean* pWriteable, void* pData) override;
  ComponentResult SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32 dataSize, const void* pData) override;
#endif

private:
  void InitParameters();
  // The pushes owed by a clear of the display feed, if any: parameter 4, then 5, each with
  // its unchanged value. Mutex held; never on the audio thread.
  void PayClearPushes();

  // Written by the engine on the audio thread, drained by the editor on its timer.
  TeskDisplayFeed mFeed;
  TeskEngine mEngine;
  // The editor's side of the channel (TeskEditor), null until the editor is built; it
  // holds only pointers into the graphics object, which the plug-in base owns. Set
  // under the plug-in mutex.
  std::unique_ptr<TeskEditorLink> mEditor;
  // What an editor reads and moves of this processor.
  TeskEditorShare mShare;
  // One bit per parameter whose change ApplyParamChange could show to no editor, taken
  // by MakeGUI.
  std::atomic<std::uint32_t> mChangesOwedToEditor{0};
  static_assert(kNumParams <= 32, "one bit per parameter");
  // Set by ApplyParamChange when it cleared the display feed, taken by PayClearPushes.
  std::atomic<bool> mClearPushesOwed{false};
};
