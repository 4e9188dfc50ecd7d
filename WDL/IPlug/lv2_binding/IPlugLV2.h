#pragma once
// The LV2 binding: serves a plug-in to LV2 hosts as one or more plug-in variants (a URI
// and a channel configuration each) through the descriptors its library's lv2_descriptor
// returns. Ports follow IPlugLV2PortLayout: a float control input per parameter, a
// latency output, float audio inputs and outputs. The processor runs in double through
// the plug-in base's float buffer path.
//
// - Activation starts the processor afresh (LV2 hosts deactivate and activate a plug-in
//   to reset it, e.g. before an export); then it takes the host's settings from the control ports before the
//   parameters go through OnParamChange, as an Audio Unit host sets parameters before it
//   initialises a plug-in. Then run() compares each control port with the value it last
//   took from it and hands a changed one to the processor through ApplyParamChange
//   before the block, on the audio thread, lock-free. A state restore holds until the
//   host moves a port: the ports' values at the next run are taken without applying.
// - State: the state extension saves and restores the bytes SerializeState gives (the
//   bytes the Audio Unit saves), under one key, as an atom:Chunk. A plug-in whose state
//   is its parameters saves them as the next run() will have them: a control port the
//   host moved since the last run counts, so the state a host saves beside its controls
//   agrees with them even when no block ran in between.
// - Editor: the plug-in builds none. An LV2 UI builds the editor in its own library and
//   reaches the plug-in through IPlugLV2EditorAccess (instance-access): the state the
//   plug-in shares with it, parameter changes both ways, idle calls.
//
// Threads (LV2's threading classes):
// - Instantiation (instantiate, activate, deactivate, cleanup, state restore): the
//   host's control thread, never during run(). The mutex is taken as the base says.
// - Audio (connect_port, run): the audio thread. No allocation, no locks, no I/O.
// - State save: any non-audio thread, possibly during run(); it holds the mutex.
// - The UI thread (IPlugLV2EditorAccess): the editor's thread. OnIdle runs there, from
//   the UI's idle calls; an LV2 plug-in has no other slot off the audio thread, so
//   without an open UI nothing calls it.

#include <atomic>
#include <thread>

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include "IPlugBase.h"
#include "IPlugLV2EditorAccess.h"
#include "IPlugLV2Ports.h"

class IPlugLV2;

// One plug-in a library offers: the LV2 descriptor, then the variant's channels and the
// factory of the plug-in. The instantiate callback finds this record through the
// descriptor it is called with, which is its first member.
struct IPlugLV2Descriptor
{
  LV2_Descriptor lv2;
  int nIn, nOut;
  // The URI the state is saved under; the same for every variant, so a state saved
  // by one restores in another.
  const char* stateKey;
  // Creates the plug-in (the host's instantiation thread); may throw.
  IPlugLV2* (*make)();
};

class IPlugLV2 : public IPlugBase, public IPlugLV2EditorAccess
{
public:
  // The frames the processor is handed at most per call; run() cuts longer blocks.
  static constexpr int kMaxFramesPerCall = 1024;

  IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
           const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
           bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int sideChainChannels = 0);
  ~IPlugLV2() override;

  // A descriptor for a variant of the plug-in, with the binding's callbacks. A plug-in
  // with extensions of its own passes an extension_data that answers their URIs and
  // hands every other URI to ExtensionData.
  static constexpr IPlugLV2Descriptor Describe(const char* uri, int nIn, int nOut, const char* stateKey,
                                               IPlugLV2* (*make)(),
                                               const void* (*extensionData)(const char*) = ExtensionData)
  {
    return {
      {uri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, extensionData}, nIn, nOut, stateKey, make};
  }

  // ==== What the binding asks of the processor ====
  // Audio thread, before a block, lock-free: the parameter idx was just set from its
  // control port; take it into the processing (and let the editor learn it through the
  // processor's own hand-off).
  virtual void ApplyParamChange(int idx) noexcept = 0;
  // Instantiation thread, at each activation (never during run()): the processor forgets
  // every sample it has seen, as LV2 asks of activate(); the parameters stay and go
  // through OnParamChange right after.
  virtual void ClearHistory() noexcept = 0;

  // ==== What the plug-in base asks of its binding ====
  // Parameter changes go to the host through a connected UI, and only on the UI's thread
  // (a host learns of other changes through the ports it owns).
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  // No transport: the position stays 0, at 120 BPM in 4/4.
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // ==== What a UI reaches (IPlugLV2EditorAccess, the UI thread) ====
  // Nothing by default; a plug-in that shares state with its UI's editor overrides it.
  void* SharedEditorState() noexcept override { return nullptr; }
  double ParameterValue(int idx) override;
  void ConnectUIHost(IPlugLV2UIHost* pHost) override;
  void ControlFromHost(int port, float value) override;
  void ParameterFromEditor(int idx, double normalizedValue) override;
  void EditorIdle() override;

  const IPlugLV2PortLayout& Ports() const noexcept { return mPorts; }

  // ==== The LV2 entry points (the threads given at the top of this file) ====
  static LV2_Handle Instantiate(const LV2_Descriptor* pDescriptor, double sampleRate, const char* bundlePath,
                                const LV2_Feature* const* features);
  static void ConnectPort(LV2_Handle instance, uint32_t port, void* pData) noexcept;
  static void Activate(LV2_Handle instance);
  static void Run(LV2_Handle instance, uint32_t nFrames) noexcept;
  static void Deactivate(LV2_Handle instance);
  static void Cleanup(LV2_Handle instance);
  static const void* ExtensionData(const char* uri);
  // The plug-in behind a handle the binding gave a host (for a plug-in's own extensions).
  static IPlugLV2* FromHandle(LV2_Handle instance) noexcept;

private:
  friend struct IPlugLV2State;

  // Instantiation: the variant's channels, the rate, the URIDs, the editor's host.
  bool Configure(const IPlugLV2Descriptor& d, double sampleRate, const LV2_Feature* const* features);
  // Activation (no run() meanwhile): the connected control ports' values become the
  // parameters' and the values last taken from the ports.
  void TakeControlPortsForActivation();
  // Audio thread.
  void ApplyControlPorts() noexcept;
  // What parameter i will be once the next run() has taken its control port. The state
  // save's thread, possibly during run(): lock-free reads of the port and of the value
  // last taken from it.
  double ValueAfterNextRun(int i) noexcept;
  float TakenControl(int i) noexcept;
  void SetTakenControl(int i, float v) noexcept;
  void ProcessSlice(int offset, int nFrames) noexcept;
  bool OnUIThread() const noexcept;

  IPlugLV2PortLayout mPorts;
  // The host's buffers by port index (controls, latency, audio), set by connect_port.
  WDL_TypedBuf<void*> mPortData;
  // The value last taken from each control port; NaN: the port was not connected at
  // activation, so the first value seen applies where it differs from the parameter.
  // Written on the audio thread (and at activation) after the parameter is set, read by
  // the state save: through TakenControl and SetTakenControl only.
  WDL_TypedBuf<float> mTakenControl;
  std::atomic<bool> mResyncControls{false};
  // Pointers to the current slice of each channel, handed to the base's float path.
  WDL_TypedBuf<float*> mInSlice, mOutSlice;
  // Stand-ins for audio ports the host left unconnected: silence in, nowhere out.
  WDL_TypedBuf<float> mSilence, mDiscard;

  // URIDs of the state (0 when the host offered no URID map: no state then).
  LV2_URID_Map* mMap = nullptr;
  LV2_URID mStateKey = 0, mChunkType = 0;

  std::atomic<IPlugLV2UIHost*> mUIHost{nullptr};
  std::atomic<std::thread::id> mUIThread;
};
