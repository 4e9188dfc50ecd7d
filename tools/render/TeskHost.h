#pragma once
// The renderer's host side: finds Tesk's component bundle (Tesk.component) as the
// system finds installed components, creates an instance through the factory its
// Info.plist names, and drives it with the platform's host calls only, as any current
// Audio Unit host would: sample rate, stream formats, maximum frames per slice, a
// render callback that supplies the input, parameters through the parameter setter,
// state through the class-info property, the seed through the plug-in's private
// property, initialise, render slice by slice, uninitialise, dispose.
//
// What a user reaches through the plug-in's own editor (program and bank files) and
// the editor's picture for --snapshot come through the framework's private properties.
// The preset files are read here, so that their size is bounded and a pipe can be
// interrupted, and handed over as bytes.
//
// On Linux the bundle is searched for in the build folder that holds this program's
// folder (build/Tesk.component beside build/tools/tesk-render) and, installed, in the
// renderer's private library folder (../lib/<triplet>/tesk from /usr/bin); on Apple
// among the installed components.
//
// Threads: one thread does everything (the renderer is offline), so the render
// callback and the control calls never overlap.

#include <AudioUnit/AudioUnit.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct HostParameter
{
  AudioUnitParameterID mID = 0;
  std::string mName;
  float mMin = 0.0f, mMax = 1.0f, mValue = 0.0f;
};

struct HostChannelConfig
{
  int mIn = 0, mOut = 0;
};

class TeskHost final
{
public:
  // Creates an instance. Throws RenderError (kExitPlugin).
  TeskHost();
  // Uninitialises and disposes of the instance.
  ~TeskHost();

  TeskHost(const TeskHost&) = delete;
  TeskHost& operator=(const TeskHost&) = delete;

  // "Tesk 1.0.0", from the component's version.
  std::string Describe();

  // ==== Parameters, as the host sees them (ParameterList, ParameterInfo) ====
  std::vector<HostParameter> Parameters();
  // Through the parameter setter. Throws RenderError (kExitPlugin).
  void SetParameter(AudioUnitParameterID id, float value);

  // ==== Settings files ====
  // The bytes of a program or bank file named name. Throw RenderError
  // (kExitSettingsFile) naming the file; a refused file changes nothing.
  void LoadProgram(const std::vector<unsigned char>& bytes, const std::string& name);
  void LoadBank(const std::vector<unsigned char>& bytes, const std::string& name);
  // Writes to path; messages name displayName. Throws RenderError (kExitOutput).
  void SaveProgramFile(const std::string& path, const std::string& displayName);
  // The "data" bytes of the class-info dictionary.
  std::vector<unsigned char> StateData();
  // Restores the bytes through the class-info property. Bytes of another size than
  // the plug-in's own state are refused. Throws RenderError (kExitSettingsFile).
  void RestoreStateData(const std::vector<unsigned char>& data, const std::string& path);

  // Through the private seed property. Throws RenderError (kExitPlugin).
  void SetSeed(std::uint32_t seed);

  // ==== Rendering ====
  // Initialises the plug-in as it stands (the host's initialisation), as a host does
  // before it renders or shows the editor: the plug-in delivers every parameter to
  // its processor and editor. Prepare does it too. Throws RenderError (kExitPlugin).
  void Initialize();
  // The channel configurations the plug-in supports (SupportedNumChannels).
  std::vector<HostChannelConfig> ChannelConfigs();
  // Sample rate, input and output stream formats with the same channel count, the
  // maximum slice, offline rendering and the input callback; then initialises.
  // Throws RenderError (kExitPlugin).
  void Prepare(double sampleRate, int channels, int maxFrames);
  // The latency the plug-in reports, in samples at the prepared rate.
  int LatencySamples();
  // One slice: input[c] holds nFrames samples of channel c, output[c] receives them.
  // Throws RenderError (kExitPlugin).
  void Render(const float* const* input, float* const* output, int nFrames);

  // Writes the editor, drawn with the displays as they stand, as a PNG to path;
  // messages name displayName. Throws RenderError (kExitOutput or kExitPlugin).
  void WriteSnapshot(const std::string& path, const std::string& displayName);

private:
  // The input render callback: copies the current slice into the plug-in's buffers.
  // Audio thread: no allocation, no locks.
  static OSStatus SupplyInput(void* pRef, AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                              UInt32 bus, UInt32 nFrames, AudioBufferList* pData);
  // Sets a binding property whose value is a CoreFoundation object.
  OSStatus SetObjectProperty(AudioUnitPropertyID id, const void* object);
  void SetFormat(AudioUnitScope scope, double sampleRate, int channels);
  void Check(OSStatus status, const std::string& what) const;

  AudioUnit mUnit = nullptr;
  bool mInitialized = false;
  int mChannels = 0;
  double mSampleRate = 44100.0;
  double mSampleTime = 0.0;
  const float* const* mInput = nullptr;          // the slice being rendered, for SupplyInput
  std::unique_ptr<unsigned char[]> mOutputList;  // an AudioBufferList with one buffer per channel
};
