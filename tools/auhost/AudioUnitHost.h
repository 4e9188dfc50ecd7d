#pragma once
// The host side of an Audio Unit, written once for every program here that opens one:
// tesk-render, the validator, the Audio Unit tests and the fuzz targets. It opens an
// instance as a current host does (an audio component, found among the installed
// components and made by the factory its bundle names) or as an older host does (a
// Component Manager instance of a registered component), and makes the host calls on it:
// properties, parameters, the class-info state, stream formats, initialisation and
// render, with the input supplied through a render callback and the output in a buffer
// list, through AudioUnitRender or the fast-dispatch render function.
//
// Every call returns the platform's status as the unit answered it; what a refusal means
// to the program is the caller's to say. Nothing here knows a particular plug-in.
//
// Threads (named as a host names them):
// - control: everything except what follows; one thread at a time.
// - audio: Render and RenderList (no allocation, no locks on the host's side). SetParameter
//   and GetParameter may run on another thread at the same time, as a host's automation
//   does; they touch nothing of the host's.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <memory>
#include <string>
#include <vector>

#include "HostBuffers.h"

namespace auhost
{
// One global parameter as the ParameterList and ParameterInfo properties describe it.
struct Parameter
{
  AudioUnitParameterID mID = 0;
  std::string mName;
  AudioUnitParameterValue mMin = 0.0f, mMax = 1.0f, mValue = 0.0f;
};

// The canonical effect format: 32-bit floats, packed, one buffer per channel.
AudioStreamBasicDescription CanonicalFormat(double sampleRate, int channels) noexcept;

// The component described, as a current host finds it among the installed components, or
// null. On Linux the component bundles in folder (when given) join the search first; on
// Apple the system knows the installed ones and folder is not used.
AudioComponent FindAudioComponent(const AudioComponentDescription& description, const char* folder = nullptr);

// How render calls reach the unit.
enum class RenderCall
{
  kAudioUnitRender,  // the platform's AudioUnitRender, whatever the instance
  kFastDispatch,     // the render function the unit hands out (Component Manager instances)
};

// Sample rate, channels on the input and the output bus 0, the largest slice and whether
// the render is offline: what Prepare sets before it initialises.
struct RenderSetup
{
  double mSampleRate = 44100.0;
  int mChannels = 2;
  int mMaxFrames = 512;
  bool mOffline = false;
  RenderCall mCall = RenderCall::kAudioUnitRender;
};

// The steps of Prepare, in order; the one the unit refused tells the caller what to report.
enum class PrepareStep
{
  kNone,  // nothing refused
  kSampleRate,
  kInputFormat,
  kOutputFormat,
  kMaxFrames,
  kOffline,
  kInputCallback,
  kRenderCall,
  kInitialize,
};

class AudioUnitHost final
{
public:
  // ==== Opening and closing ====
  // An instance of the audio component (AudioComponentInstanceNew), in *pHost.
  static OSStatus Open(AudioComponent component, std::unique_ptr<AudioUnitHost>* pHost);
  // A Component Manager instance of the component (OpenAComponent), in *pHost.
  static OSStatus Open(Component component, std::unique_ptr<AudioUnitHost>* pHost);
  // Uninitialises the unit if this host initialised it, then closes it.
  ~AudioUnitHost();
  AudioUnitHost(const AudioUnitHost&) = delete;
  AudioUnitHost& operator=(const AudioUnitHost&) = delete;
  // Uninitialises (if initialised here) and closes the unit now; the close's status.
  // Afterwards Unit() is null and every call refuses.
  OSStatus Close();

  AudioUnit Unit() const noexcept { return mUnit; }
  bool IsComponentManagerInstance() const noexcept { return mComponentManager; }
  // The instance's component storage, which the fast-dispatch functions take; null for an
  // audio component instance, which has none.
  void* ComponentStorage() const noexcept;

  // ==== Properties ====
  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T* pValue) const
  {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(mUnit, id, scope, element, pValue, &size);
  }
  template <class T>
  OSStatus Set(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const T& value)
  {
    return AudioUnitSetProperty(mUnit, id, scope, element, &value, sizeof(T));
  }
  OSStatus GetInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* pSize,
                   Boolean* pWritable = nullptr) const;
  // A global property whose value is a CoreFoundation object: Set hands over the object's
  // reference; Copy gives a new reference (the caller releases it), null when the unit gave none.
  OSStatus SetObject(AudioUnitPropertyID id, CFTypeRef object);
  OSStatus CopyObject(AudioUnitPropertyID id, CFTypeRef* pObject) const;

  // ==== Parameters (global scope) ====
  OSStatus SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value);
  OSStatus GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* pValue) const;
  // Every parameter the ParameterList names, described by ParameterInfo, with its value.
  OSStatus Parameters(std::vector<Parameter>* pParameters) const;

  // ==== State: the class-info dictionary ====
  // A new reference (the caller releases it).
  OSStatus CopyClassInfo(CFPropertyListRef* pState) const;
  OSStatus SetClassInfo(CFPropertyListRef state);
  // The bytes under the dictionary's "data" key; empty when there are none.
  OSStatus StateData(std::vector<unsigned char>* pData) const;
  // The unit's own dictionary with data under "data", set back: what a host restores from
  // a document that kept only the plug-in's data.
  OSStatus RestoreStateData(const std::vector<unsigned char>& data);

  // ==== Set-up for rendering ====
  // The SupportedNumChannels answer.
  OSStatus ChannelConfigs(std::vector<AUChannelInfo>* pConfigs) const;
  OSStatus SetSampleRate(double sampleRate);
  OSStatus SetFormat(AudioUnitScope scope, double sampleRate, int channels, AudioUnitElement bus = 0);
  OSStatus SetMaxFrames(UInt32 maxFrames);
  OSStatus SetOffline(bool offline);
  // The input render callback of bus 0: it hands the unit the input Render was given.
  OSStatus SupplyInputFromRender();
  // How Render reaches the unit; kFastDispatch asks the unit for its render function.
  OSStatus UseRenderCall(RenderCall call);
  // All of the above for setup, in that order, then Initialize. The first refusal ends it
  // and *pFailed (when given) says which step it was; kNone when all went through.
  OSStatus Prepare(const RenderSetup& setup, PrepareStep* pFailed = nullptr);
  // Every call reaches the unit, also a second Initialize (a unit must take it).
  OSStatus Initialize();
  OSStatus Uninitialize();
  bool IsInitialized() const noexcept { return mInitialized; }
  OSStatus Reset();
  // The Latency property in samples at the sample rate set here (rounded); -1 when refused.
  int LatencySamples() const;

  // ==== Rendering (audio thread) ====
  // One slice of nFrames (at most the prepared channels and maximum frames): the callback
  // hands the unit input[c], the unit writes output[c]. The host's sample time advances by
  // nFrames when the unit renders.
  OSStatus Render(const float* const* input, float* const* output, UInt32 nFrames) noexcept;
  // One slice into a list the caller made, at sampleTime, from output bus `bus`.
  OSStatus RenderList(AudioBufferList* pList, UInt32 nFrames, Float64 sampleTime, UInt32 bus = 0) noexcept;
  Float64 SampleTime() const noexcept { return mSampleTime; }

private:
  AudioUnitHost(AudioUnit unit, bool componentManager);
  // The input render callback: hands the unit the slice Render was given.
  // Audio thread: no allocation, no locks.
  static OSStatus SupplyInput(void* pRef, AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                              UInt32 bus, UInt32 nFrames, AudioBufferList* pData);

  AudioUnit mUnit;
  bool mComponentManager;
  bool mInitialized = false;
  int mChannels = 0;
  double mSampleRate = 44100.0;
  Float64 mSampleTime = 0.0;
  AudioUnitRenderProc mFastRender = nullptr;
  void* mFastRenderObject = nullptr;     // the component storage mFastRender takes
  const float* const* mInput = nullptr;  // the slice being rendered, for SupplyInput
  HostBufferList mOutput;
};
}  // namespace auhost
