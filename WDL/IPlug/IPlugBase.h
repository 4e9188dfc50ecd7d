#pragma once
// The host-neutral core of a plug-in: parameters, presets, legal channel
// configurations, the buffer plumbing between a host's buffers and the processor's
// double-precision buffers, sample rate, block size, latency, the editor and the
// instance mutex. A host binding derives from it and supplies the pure operations;
// the processor derives from the binding and overrides the hooks it needs.
//
// Threads (this is where they are defined; every header that mentions one says the same):
// - Audio thread: the host's render call and everything it reaches (ProcessBuffers,
//   ProcessDoubleReplacing). No allocation, no locks, no I/O.
// - Host control thread(s): everything else a host calls through a binding (properties,
//   parameter setters, state, initialisation, reset). The binding holds the instance
//   mutex while it runs the plug-in's hooks.
// - Editor thread: the editor's timer, drawing and mouse and key events; it reaches the
//   plug-in through SetParameterFromGUI, which takes the mutex. It is the thread that
//   built the editor until the editor's timer or a window claims it (IEditorThread.h),
//   and the only thread that writes the editor's state: values sent to the editor from
//   any other thread wait in the editor's hand-off for its next timer tick.
// - OnParamChange runs on whichever of the last two delivered the change, mutex held.
// - OnIdle runs off the audio thread in the slots a binding offers, mutex held: the Audio
//   Unit binding calls it after every host request other than a render; the LV2 binding
//   from its UI's idle calls (on the UI's thread), and not at all while no UI is open.
// - The Inform/Begin/End host notifications run on the thread that changed the parameter.

#include "Hosts.h"
#include "IParam.h"
#include "IPlugStructs.h"
#include "heapbuf.h"
#include "mutex.h"
#include "ptrlist.h"
#include "wdlstring.h"

class IGraphics;
class IPlugEditorHooks;

// The plug-in interface a binding presents the plug-in through.
enum EAPI
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5,
  kAPILV2 = 6  // ours: the LV2 binding (IPlugLV2)
};

class IPlugBase
{
public:
  // ---- Channel records: each channel's slot is what the processor sees as its buffer.
  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's slot in the input data pointers
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  // One legal channel configuration.
  struct ChannelIO
  {
    int mIn, mOut;
  };

  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's slot in the output data pointers
    float* mFDest = nullptr;   // single-precision destination of the float path
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  // channelIOStr lists the legal configurations as "in-out" tokens separated by
  // single spaces, e.g. "1-1 2-2". Versions are packed major << 16 | minor << 8 | bug-fix.
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
            const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);

  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ==== Virtual operations, in slot order ====

  // Deletes the editor first, then parameters, presets, channels and labels.
  virtual ~IPlugBase();

  // Host control thread. The default takes and releases the mutex.
  virtual void Reset();
  // Host control thread or editor thread (see the top of this file), mutex held by the
  // caller. The default takes and releases the mutex.
  virtual void OnParamChange(int paramIdx);
  // Audio thread: no allocation, no locks. The default copies inputs to outputs
  // and zeroes outputs that have no input.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  // Audio thread: no allocation, no locks. Float form of the default copy.
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  // Editor thread.
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  // Off the audio thread, mutex held, in the slots a binding offers (see the top of this file).
  virtual void OnIdle() {}
  // Host control thread. The default takes and releases the mutex.
  virtual void OnActivate(bool active);
  // The default forwards the message to SendMidiMsg.
  virtual void ProcessMidiMsg(IMidiMsg* pMsg);
  virtual void ProcessSysEx(ISysEx* pSysEx);
  // Writes "" and returns false by default.
  virtual bool MidiNoteName(int noteNumber, char* noteName);
  // Host control thread. The defaults store and restore the parameter values.
  virtual bool SerializeState(ByteChunk* pChunk);
  virtual int UnserializeState(const ByteChunk* pChunk, int startPos);
  // True when the doubles at incomingState[startPos..] equal the parameter values (as floats).
  virtual bool CompareState(const unsigned char* incomingState, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int paramIdx, int x, int y);
  // Editor thread (or an idle slot acting for it): sets the parameter under the mutex,
  // tells the host, then OnParamChange.
  virtual void SetParameterFromGUI(int idx, double normalizedValue);
  // On the thread that changed the parameter (see the top of this file).
  virtual void BeginInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfParamChange(int idx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNum, int* pDenom) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of the editor: pushes every parameter's normalized value to it
  // under the mutex, prepares its drawing surface and stores it. Null is ignored.
  // Defined with the graphics framework (IGraphics.cpp), which whoever builds an editor
  // links; the base itself reaches its editor only through IPlugEditorHooks.
  void AttachGraphics(IGraphics* pGraphics);
  // Whether the plug-in has an editor to show, built yet or not. The default: the one
  // its constructor built, if any. Any thread.
  virtual bool OffersGUI() const noexcept { return mGraphics != nullptr; }
  virtual void SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendSysEx(ISysEx* pSysEx);
  // Sends every parameter's plain value to the editor (SendParamValueToEditor).
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Host control thread (never during a render): resizes and zeroes the scratch
  // buffers when the size changes.
  virtual void SetBlockSize(int blockSize);

  // ==== Settings and accessors ====
  double GetSampleRate() const noexcept { return mSampleRate; }
  void SetSampleRate(double sampleRate) noexcept { mSampleRate = sampleRate; }
  int GetBlockSize() const noexcept { return mBlockSize; }
  int GetLatency() const noexcept { return mLatency; }
  int NInChannels() const noexcept { return mInChannels.GetSize(); }
  int NOutChannels() const noexcept { return mOutChannels.GetSize(); }
  int NParams() const noexcept { return mParams.GetSize(); }
  // Null for an index outside the list.
  IParam* GetParam(int idx) const noexcept { return mParams.Get(idx); }
  int NPresets() const noexcept { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const noexcept { return mCurrentPresetIdx; }
  // The editor as built so far: null until a plug-in that builds it on first need has
  // been asked for it (EnsureGUI), and for a plug-in without one.
  IGraphics* GetGUI() const noexcept { return mGraphics; }
  // The editor, built now (MakeGUI) when the plug-in offers one and has not built it
  // yet: what a binding calls when a host is about to show the editor or asks for a
  // picture of it. Null without an editor. The thread that shows the editor or a host
  // control thread, never the audio thread; takes the mutex.
  IGraphics* EnsureGUI();
  // Hands a parameter's plain value to the editor's controls (SetParameterFromPlug), as
  // a host's setter and a restored state do. While an editor offered is not built yet,
  // the latest value per parameter waits for it (SendOwedValueToEditor), so an editor
  // built late holds what one built at once would. Mutex held; never on the audio thread.
  void SendParamValueToEditor(int idx, double value);
  WDL_Mutex* GetMutex() noexcept { return &mMutex; }
  const char* GetEffectName() const noexcept { return mEffectName; }
  const char* GetProductName() const noexcept { return mProductName; }
  const char* GetMfrName() const noexcept { return mMfrName; }
  int GetUniqueID() const noexcept { return mUniqueID; }
  int GetMfrID() const noexcept { return mMfrID; }
  bool DoesStateChunks() const noexcept { return mStateChunks; }
  bool IsInst() const noexcept { return mIsInst; }
  bool IsBypassed() const noexcept { return mIsBypassed; }
  WDL_String* GetLastPresetDir() noexcept { return &mPreviousPath; }
  // Sample rate * 60 / tempo, or 0 while the tempo is not positive.
  double GetSamplesPerBeat();

  // ==== Channel configuration ====
  // A negative count is a wildcard.
  bool LegalIO(int nIn, int nOut) const noexcept;
  int NLegalIOs() const noexcept { return mChannelIO.GetSize(); }
  // False for an index outside the list.
  bool GetLegalIO(int idx, int* pNIn, int* pNOut) const noexcept;
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const noexcept;
  bool IsOutChannelConnected(int chIdx) const noexcept;
  void LimitToStereoIO();
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const noexcept;   // null outside the channel list
  const char* GetOutputLabel(int idx) const noexcept;  // null outside the channel list
  // Input buses 0 and 1 only; output buses any non-negative index.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  const WDL_String* GetInputBusLabel(int idx) const noexcept { return mInputBusLabels.Get(idx); }
  const WDL_String* GetOutputBusLabel(int idx) const noexcept { return mOutputBusLabels.Get(idx); }
  int NInputBusLabels() const noexcept { return mInputBusLabels.GetSize(); }
  int NOutputBusLabels() const noexcept { return mOutputBusLabels.GetSize(); }

  // ==== Buffers and processing (audio thread: no allocation, no locks, unless a
  // float path is handed more frames than the block size, which grows the scratch) ====
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames) noexcept;
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames) noexcept;
  void AttachOutputBuffers(int idx, int n, double** ppData) noexcept;
  void AttachOutputBuffers(int idx, int n, float** ppData) noexcept;
  void ProcessBuffers(double sampleType, int nFrames) noexcept;
  void ProcessBuffers(float sampleType, int nFrames) noexcept;
  void ProcessBuffersAccumulating(float sampleType, int nFrames) noexcept;
  void PassThroughBuffers(double sampleType, int nFrames) noexcept;
  void PassThroughBuffers(float sampleType, int nFrames) noexcept;
  void ZeroScratchBuffers() noexcept;
  double** GetInputSlots() noexcept { return mInData.Get(); }
  double** GetOutputSlots() noexcept { return mOutData.Get(); }

  // ==== Parameters and editor ====
  // Calls OnParamChange for every parameter in index order, without the mutex.
  void OnParamReset();
  // Under the mutex, tells the host every parameter's normalized value.
  void DirtyParameters();

  // ==== State and presets (host control thread) ====
  bool SerializeParams(ByteChunk* pChunk);
  // Reads one double per parameter; a state holding a value that is not finite (NaN or
  // infinite) is refused whole with -1 and changes nothing.
  int UnserializeParams(const ByteChunk* pChunk, int startPos);
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // One value per parameter: int for bool/int/enum parameters, double for double ones.
  void MakePreset(const char* name, ...);
  // nParamsNamed pairs of (parameter index as int, value as int or double by type).
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, const ByteChunk* pChunk);
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx) const noexcept;
  void ModifyCurrentPreset(const char* name = nullptr);
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  bool SerializePresets(ByteChunk* pChunk);
  int UnserializePresets(const ByteChunk* pChunk, int startPos);
  // Developer aids: text files with the current preset as source code or Base64.
  bool DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]);
  bool DumpPresetBlob(const char* filename);

  // ==== Preset files. The four prompting forms ask through the editor (false
  // without one) and then call the path forms, which do the reading and writing.
  // Loading refuses a malformed or foreign file with false and changes nothing.
  // Names longer than 27 characters are cut to 27 in the file. ====
  bool SaveProgramAsFXP(const char* defaultFileName = "");
  bool SaveBankAsFXB(const char* defaultFileName = "");
  bool LoadProgramFromFXP();
  bool LoadBankFromFXB();
  bool SaveProgramAsFXPFile(const char* path);
  bool SaveBankAsFXBFile(const char* path);
  bool LoadProgramFromFXPFile(const char* path);
  bool LoadBankFromFXBFile(const char* path);
  // In-memory forms of the same files.
  bool MakeProgramFXP(ByteChunk* pOut);
  bool MakeBankFXB(ByteChunk* pOut);
  bool LoadProgramFXP(const unsigned char* pData, int size);
  bool LoadBankFXB(const unsigned char* pData, int size);

  // ==== Host and versions ====
  void SetHost(const char* host, int version);
  // Packed, or major * 10000 + minor * 100 + bug-fix when decimal is set.
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* str);  // "v%d.%d.%d"; str holds MAX_VERSION_STR_LEN
  int GetEffectVersion(bool decimal) const noexcept;
  void GetEffectVersionStr(char* str) const;
  const char* GetAPIString();
  // The processor architecture this binary was built for: "x64", "x86", "arm64", "arm",
  // "ppc64", "ppc", "riscv64" or "unknown".
  static const char* GetArchString() noexcept;

  // Sends each message through SendMidiMsg; true only if all were sent.
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* pMsgs);

  // ==== Parameter groups (filled by the binding while it describes parameters) ====
  int NParamGroups() const noexcept { return mParamGroups.GetSize(); }
  // Appends the borrowed name; returns the new count.
  int AddParamGroup(const char* name);
  const char* GetParamGroupName(int idx) const noexcept { return mParamGroups.Get(idx); }

  // "user preset N" with N one more than the presets whose name contains "user preset".
  static void MakeDefaultUserPresetName(const WDL_PtrList<IPreset>* pPresets, char* str);

protected:
  // Builds the editor and attaches it (AttachGraphics), for a plug-in that offers one
  // (OffersGUI) and builds it on first need rather than in its constructor. EnsureGUI
  // calls it, mutex held, while the plug-in has none. The default builds nothing.
  virtual void MakeGUI() {}
  // The value a host sent parameter idx while there was no editor, if any, handed to the
  // editor just built (MakeGUI, mutex held).
  void SendOwedValueToEditor(int idx);

  // The instance mutex: recursive on its owning thread.
  WDL_Mutex mMutex;

  WDL_PtrList<ChannelIO> mChannelIO;
  char mEffectName[MAX_EFFECT_NAME_LEN], mProductName[MAX_EFFECT_NAME_LEN], mMfrName[MAX_EFFECT_NAME_LEN];
  int mUniqueID, mMfrID, mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks, mIsInst;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  WDL_String mPreviousPath;  // last preset directory of the file dialogs
  WDL_PtrList<const char> mParamGroups;
  // The editor, as the graphics framework knows it and as the base reaches it (the
  // same object; both null without an editor). Written under the mutex only.
  IGraphics* mGraphics = nullptr;
  IPlugEditorHooks* mEditorHooks = nullptr;
  // Per parameter, the plain value sent to an editor not built yet; NaN for none.
  WDL_TypedBuf<double> mEditorOwedValues;
  WDL_PtrList<IParam> mParams;
  WDL_PtrList<IPreset> mPresets;
  WDL_TypedBuf<double*> mInData, mOutData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
  WDL_PtrList<WDL_String> mInputBusLabels, mOutputBusLabels;

private:
  // Set-up of the parameters, presets and channels; throws std::bad_alloc when a list
  // cannot grow. DeleteOwned releases all of them (also after a failed set-up).
  void CreateOwned(int nParams, int nPresets, const char* channelIOStr);
  bool RestoredValuesAreFinite(const ByteChunk* pChunk, int startPos) const;
  void DeleteOwned();
  void ParseChannelIO(const char* channelIOStr, int* pMaxIn, int* pMaxOut);
  void SetBusLabel(WDL_PtrList<WDL_String>* pList, int idx, const char* label);
  bool GrowScratch(int nFrames) noexcept;
  void SilenceFloatOutputs(int nFrames, bool accumulate) noexcept;
  void CopyFloatOutputs(int nFrames, bool accumulate) noexcept;
  IPreset* FirstUninitializedPreset() noexcept;
  bool CaptureStateInto(IPreset* pPreset, const char* name);
  // Deletes the editor (null afterwards).
  void DeleteGraphics();
  // The editor learns that the parameter changed through SetParameterFromGUI
  // (ParameterChangedFromGUI). Mutex held.
  void EditorLearnsGUIChange(int idx, double normalizedValue) noexcept;
  // Asks for a file through the editor; false when cancelled or without an editor.
  bool PromptForPresetFile(WDL_String* pFile, bool save, const char* ext, const char* defaultFileName);

  struct Snapshot;
  void TakeSnapshot(Snapshot* pSnap);
  void RestoreSnapshot(const Snapshot* pSnap);
};
