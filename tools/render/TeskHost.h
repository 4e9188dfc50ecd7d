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
// The host calls themselves are the shared Audio Unit host's (tools/auhost/); this class
// turns their refusals into the renderer's errors and knows what is Tesk's own.
//
// Threads: one thread does everything (the renderer is offline), so the render
// callback and the control calls never overlap.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AudioUnitHost.h"

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
  std::vector<auhost::Parameter> Parameters();
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
  // messages name displayName. The plug-in builds its editor on this first request, so
  // a run without a snapshot never has one. Throws RenderError (kExitOutput or
  // kExitPlugin).
  void WriteSnapshot(const std::string& path, const std::string& displayName);

private:
  // Throws RenderError (kExitPlugin) naming what the plug-in refused.
  void Check(OSStatus status, const std::string& what) const;

  std::unique_ptr<auhost::AudioUnitHost> mHost;
};
