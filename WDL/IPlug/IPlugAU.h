#pragma once
// The Audio Unit binding: serves a plug-in to hosts through the Audio Unit interfaces.
// Current hosts create an instance through the component's factory function (the one its
// Info.plist names) and call the methods its Lookup answers; older hosts open it through
// the Component Manager entry and send selector blocks. Either way a host configures it
// through properties, renders it, and saves and restores it through the class-info
// dictionary.
//
// Threads: every request except open, close and render runs under the plug-in mutex,
// taken around the request, and gives the plug-in an idle slot (OnIdle) after it. The
// fast-dispatch parameter getter and setter take the mutex themselves. A render through
// the audio component's render method or the fast-dispatch render function takes no
// lock at all.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include "IPlugBase.h"
#include "IPlugObjCNames.h"
#include "ptrlist.h"
#include "wdlstring.h"

class IPlugAU;

// The factory of the plug-in linked into the component; opening an instance calls it.
// The component exports only its entries: this one stays inside it.
IPlugAU* MakePlug();

class IPlugAU : public IPlugBase
{
public:
  // Private properties a derived plug-in may answer run from this ID up to the binding's own.
  static constexpr AudioUnitPropertyID kFirstPrivateProperty = 64000;
  // The binding's own private properties, global scope:
  static constexpr AudioUnitPropertyID kFirstBindingProperty = 65000;
  // The plug-in object (IPlugAU*), read only: for code inside the component itself, its
  // Cocoa view factory, which is handed only the Audio Unit.
  static constexpr AudioUnitPropertyID kPlugObjectProperty = kFirstBindingProperty;
  // The current program as a program file (.fxp): get hands over a new CFDataRef (the
  // caller releases it); set loads one from a CFDataRef (a malformed file is refused
  // and changes nothing). What an editor's preset menu does, for hosts without one.
  static constexpr AudioUnitPropertyID kProgramFileProperty = kFirstBindingProperty + 1;
  // The same for the whole bank (.fxb).
  static constexpr AudioUnitPropertyID kBankFileProperty = kFirstBindingProperty + 2;
  // Set with a CFStringRef path: draws the whole editor as it stands and writes it there
  // as a PNG image. Refused without an editor or when the file cannot be written.
  static constexpr AudioUnitPropertyID kEditorSnapshotProperty = kFirstBindingProperty + 3;
  // The buffer lists the render path builds hold at most this many channels per bus.
  static constexpr int kMaxBusChannels = 128;

  // How an input bus receives its audio.
  enum EAUInputType
  {
    eNotConnected = 0,
    eDirectFastProc,    // kept for its name: upstream units are rendered with AudioUnitRender
    eDirectNoFastProc,  // an upstream unit rendered through its component entry
    eRenderCallback     // a host render callback
  };

  // One bus: how many channels the host sends or takes and where they sit among the
  // plug-in's channels. A host channel count of -1 means the host has not said.
  struct BusChannels
  {
    bool mConnected = false;
    int mNHostChannels = -1;
    int mNPlugChannels = 0;
    int mPlugChannelStartIdx = 0;
  };

  // Where one input bus pulls its audio from; zeroed when cleared. An upstream unit is
  // rendered with AudioUnitRender, whatever kind of instance it is: the fast-dispatch
  // render function of a Component Manager instance needs its component storage, which an
  // audio component instance does not have.
  struct InputBusConnection
  {
    AudioUnit mUpstreamUnit = nullptr;
    int mUpstreamBusIdx = 0;
    AURenderCallbackStruct mUpstreamRenderCallback = {nullptr, nullptr};
    EAUInputType mInputType = eNotConnected;
  };

  struct PropertyListener
  {
    AudioUnitPropertyID mPropID = 0;
    AudioUnitPropertyListenerProc mListenerProc = nullptr;
    void* mProcArgs = nullptr;
  };

  // Host control thread. sideChainChannels > 0 splits the inputs into a main and an aux bus.
  IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
          const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
          bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int sideChainChannels = 0);
  ~IPlugAU() override;

  // ==== Entries (exported by the plug-in under its own names) ====
  // The audio component factory: a new instance record whose Open makes the plug-in
  // (MakePlug), whose Close deletes it, and whose Lookup answers the Audio Unit methods.
  // Null when out of memory.
  static AudioComponentPlugInInterface* IPlugAUFactory(const AudioComponentDescription* pDesc);
  // The Component Manager entries.
  static ComponentResult IPlugAUEntry(ComponentParameters* params, void* pPlug);
  static ComponentResult IPlugAUCarbonViewEntry(ComponentParameters* params, void* pView);

  // ==== What the plug-in base asks of its binding ====
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override;
  bool IsRenderingOffline() override { return mIsOffline; }
  // Audio thread: no allocation; calls the host's transport callbacks.
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  void GetTime(ITimeInfo* pTimeInfo) override;
  EHost GetHost() override;
  void ResizeGraphics(int w, int h) override;
  void HostSpecificInit() override;
  // Tells the host's latency listeners before storing the new latency.
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  // Host control thread (never during a render): sizes and zeroes the float scratch
  // on every call, then lets the base size its own buffers.
  void SetBlockSize(int blockSize) override;

  // Calls every listener registered for the property with (scope, element 0).
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // ==== Properties (host control thread, mutex held) ====
  // With pData null only the size and writability are reported. With pData set,
  // *pDataSize holds the size of the caller's buffer on entry; a buffer too small for
  // the answer gets kAudioUnitErr_InvalidPropertyValue and nothing is written.
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              UInt32* pDataSize, Boolean* pWriteable, void* pData);
  // dataSize is the size of the caller's data; less than the property's own size is refused.
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              UInt32 dataSize, const void* pData);

  // Fast-dispatch parameter access; take the mutex themselves. pPlug is the component storage.
  static OSStatus GetParamProc(void* pPlug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue* pValue);
  static OSStatus SetParamProc(void* pPlug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue value, UInt32 offsetFrames);
  // Audio thread: no allocation, no locks. Renders one output bus for one slice.
  static OSStatus RenderProc(void* pPlug, AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                             UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* pBufferList) noexcept;

  // ==== State (host control thread, mutex held) ====
  // Builds the class-info dictionary; the caller releases it.
  ComponentResult GetState(CFPropertyListRef* ppPropList);
  // Applies a class-info dictionary of this component; anything else is refused and
  // leaves the plug-in as it was.
  ComponentResult SetState(CFPropertyListRef pPropList);

  // ==== Channels and connections ====
  // Initialize's test over the known host channel counts of all buses.
  bool CheckLegalIO();
  // A stream-format change of one bus to nChannels host channels.
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  // Derives each input bus's input type and channel connections from its connection record.
  void AssessInputConnections();

  bool IsActive() const noexcept { return mActive; }
  int NInBuses() const noexcept { return mInBuses.GetSize(); }
  int NOutBuses() const noexcept { return mOutBuses.GetSize(); }
  const BusChannels* GetInBus(int idx) const noexcept { return mInBuses.Get(idx); }
  const BusChannels* GetOutBus(int idx) const noexcept { return mOutBuses.Get(idx); }
  const InputBusConnection* GetInBusConnection(int idx) const noexcept { return mInBusConnections.Get(idx); }
  const char* GetBundleID() const noexcept { return mOSXBundleID.Get(); }
  const char* GetCocoaViewFactoryClassName() const noexcept { return mCocoaViewFactoryClassName.Get(); }
  // The instance a host knows this plug-in by (a Component Manager instance cast to an
  // Audio Unit, as hosts do), null before it is opened.
  AudioUnit GetAudioUnit() const noexcept { return mUnit; }
  // True when the Component Manager opened the instance (its entry), false for an audio
  // component instance: only the former has component storage and component info.
  bool IsComponentManagerInstance() const noexcept { return mComponentManagerInstance; }

  // "NotConnected", "DirectFastProc", "DirectNoFastProc", "RenderCallback";
  // any other value reads "NotConnected".
  static const char* AUInputTypeStr(int type) noexcept;
  // Float PCM, 32 bits, one frame a packet; interleaved or one buffer per channel.
  static void MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels, bool interleaved);
  // Mono for 1, stereo for 2, unknown for anything else.
  static AudioChannelLayoutTag GetTagForNumChannels(int numChannels) noexcept;

protected:
  // Properties of the plug-in's own, IDs from kFirstPrivateProperty up; the same
  // contract as GetProperty and SetProperty. The defaults know none.
  virtual ComponentResult GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                             UInt32* pDataSize, Boolean* pWriteable, void* pData);
  virtual ComponentResult SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                             UInt32 dataSize, const void* pData);

private:
  struct PropertyQuery;
  struct AudioComponentMethods;
  friend struct AudioComponentMethods;

  // ---- Host requests, whichever entry they come through (IPlugAU.cpp; mutex held)
  ComponentResult HostInitialize();
  ComponentResult HostUninitialize();
  ComponentResult HostGetPropertyInfo(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                      UInt32* pDataSize, Boolean* pWriteable);
  ComponentResult HostGetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                  void* pData, UInt32* pDataSize);
  ComponentResult HostAddRenderNotify(AURenderCallback proc, void* pUserData);
  ComponentResult HostRemoveRenderNotify(AURenderCallback proc);
  ComponentResult HostScheduleParameters(const AudioUnitParameterEvent* pEvents, UInt32 nEvents);
  // Host control thread, after the plug-in is made: identifies the host, prunes presets
  // and remembers the instance.
  void OpenedAs(AudioUnit unit, bool componentManager);

  // ---- Dispatch (IPlugAU.cpp)
  static ComponentResult DispatchEntry(ComponentParameters* params, IPlugAU* _this);
  static ComponentResult DispatchCarbonView(ComponentParameters* params, void* pView);
  static ComponentResult OpenInstance(ComponentParameters* params);
  static ComponentResult CloseInstance(IPlugAU* pPlug);
  ComponentResult Dispatch(ComponentParameters* params);
  ComponentResult DispatchMusicDevice(ComponentParameters* params);
  void ClearConnections();
  // False when the list could not grow.
  bool AddPropertyListener(const PropertyListener& listener);
  void RemovePropertyListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc, const void* pUserData,
                              bool matchUserData);
  void NotifyPropertyListeners(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element);
  void PostParamEvent(AudioUnitEventType type, int idx);
  // Throws std::bad_alloc when a list cannot grow; DeleteBuses releases every record.
  void BuildBuses(int sideChainChannels);
  void DeleteBuses();

  // ---- Properties (IPlugAUProperties.cpp, IPlugAUParameters.cpp, IPlugAUBindingProperties.cpp)
  ComponentResult AnswerProperty(PropertyQuery& q);
  ComponentResult GetBindingProperty(AudioUnitPropertyID propID, AudioUnitScope scope, UInt32* pDataSize,
                                     Boolean* pWriteable, void* pData);
  ComponentResult SetBindingProperty(AudioUnitPropertyID propID, AudioUnitScope scope, UInt32 dataSize,
                                     const void* pData);
  ComponentResult AnswerParameterProperty(PropertyQuery& q);
  ComponentResult AnswerStreamFormat(PropertyQuery& q);
  ComponentResult AnswerElementName(PropertyQuery& q);
  ComponentResult AnswerCocoaUI(PropertyQuery& q);
  ComponentResult AnswerParameterInfo(PropertyQuery& q);
  ComponentResult AnswerParameterValueStrings(PropertyQuery& q);
  ComponentResult AnswerFactoryPresets(PropertyQuery& q);
  int ClumpIDForGroup(const char* group);
  ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  const AudioStreamBasicDescription* pASBD);
  ComponentResult MakeConnection(AudioUnitScope scope, const AudioUnitConnection* pConn);
  ComponentResult SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                    const AURenderCallbackStruct* pCallback);
  ComponentResult SetHostIdentifier(const AUHostIdentifier* pID);
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement busIdx) const noexcept;
  int KnownHostChannels(const WDL_PtrList<BusChannels>& buses, int excludeIdx) const noexcept;

  // ---- Render (IPlugAURender.cpp)
  OSStatus Render(AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                  UInt32 nFrames, AudioBufferList* pBufferList) noexcept;
  OSStatus PullInputBus(int busIdx, const AudioTimeStamp* pTimestamp, UInt32 nFrames) noexcept;
  void AttachOutputBus(int busIdx, UInt32 nFrames, AudioBufferList* pBufferList) noexcept;
  bool IsLastConnectedOutputBus(int busIdx) noexcept;
  void CallRenderNotify(AudioUnitRenderActionFlags flags, AudioUnitRenderActionFlags* pFlags,
                        const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx, UInt32 nFrames,
                        AudioBufferList* pBufferList) noexcept;

  // ---- State (IPlugAUState.cpp)
  ComponentResult ApplyStateData(const char* presetName, CFDataRef data);
  // Type, subtype and manufacturer of the component this instance belongs to: through the
  // Component Manager for its instances, through the audio component otherwise.
  OSStatus GetComponentCodes(OSType* pType, OSType* pSubType, OSType* pManufacturer) const;

  // ==== Members ====
  WDL_String mOSXBundleID, mCocoaViewFactoryClassName;
  HostCallbackInfo mHostCallbacks = {};
  char mParamValueString[MAX_PARAM_DISPLAY_LEN] = {};
  AudioUnit mUnit = nullptr;
  bool mComponentManagerInstance = false;
  bool mActive = false;
  bool mIsOffline = false;
  double mRenderTimestamp = -1.0;
  double mTempo = 120.0;
  WDL_TypedBuf<float> mInScratchBuf, mOutScratchBuf;
  WDL_PtrList<AURenderCallbackStruct> mRenderNotify;
  WDL_PtrList<BusChannels> mInBuses, mOutBuses;
  WDL_PtrList<InputBusConnection> mInBusConnections;
  WDL_PtrList<PropertyListener> mPropertyListeners;
};
