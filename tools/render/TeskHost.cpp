#include "TeskHost.h"

#include "RenderError.h"

#include <CoreFoundation/CoreFoundation.h>
#ifndef __APPLE__
#include <climits>
#include <unistd.h>
#endif

#include "IPlugAU.h"
#include "Tesk.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{
// The folders that may hold the Tesk component, in the order they are searched: on Linux
// the build lays the bundle out in the folder above this program's own, and an installed
// renderer has it in its private library folder, at a fixed path from its own; on Apple
// the system knows it (none).
std::vector<std::string> ComponentFolders()
{
  std::vector<std::string> folders;
#ifndef __APPLE__
  char self[PATH_MAX] = "";
  const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n > 0)
  {
    std::string folder(self, static_cast<size_t>(n));
    folder.erase(folder.rfind('/'));
    folders.push_back(folder + "/..");
#ifdef TESK_RENDER_COMPONENT_FOLDER
    folders.push_back(folder + "/" + TESK_RENDER_COMPONENT_FOLDER);
#endif
  }
#endif
  return folders;
}

std::string Error(OSStatus status) { return "(error " + std::to_string(status) + ")"; }

// What the renderer calls the set-up step the plug-in refused.
std::string RefusedStep(auhost::PrepareStep step, int channels)
{
  switch (step)
  {
    case auhost::PrepareStep::kSampleRate: return "the sample rate";
    case auhost::PrepareStep::kInputFormat:
    case auhost::PrepareStep::kOutputFormat: return std::to_string(channels) + "-channel audio";
    case auhost::PrepareStep::kMaxFrames: return "the block size";
    case auhost::PrepareStep::kOffline: return "offline rendering";
    case auhost::PrepareStep::kInputCallback: return "the input callback";
    case auhost::PrepareStep::kRenderCall: return "the render function";
    case auhost::PrepareStep::kInitialize: return "to initialise";
    case auhost::PrepareStep::kNone: break;
  }
  return "to prepare for rendering";
}
}  // namespace

// ==== Open and close ====

TeskHost::TeskHost()
{
  const AudioComponentDescription description = {kAudioUnitType_Effect, static_cast<OSType>(kTeskFourCC),
                                                 static_cast<OSType>(kTeskFourCC), 0, 0};
  AudioComponent c = nullptr;
  for (const std::string& folder : ComponentFolders())
    if (!c) c = auhost::FindAudioComponent(description, folder.c_str());
  if (!c) c = auhost::FindAudioComponent(description);
  if (!c) throw RenderError(kExitPlugin, "the Tesk component (Tesk.component) was not found");
  const OSStatus r = auhost::AudioUnitHost::Open(c, &mHost);
  if (r != noErr) throw RenderError(kExitPlugin, "the Tesk component did not open " + Error(r));
}

TeskHost::~TeskHost() = default;

std::string TeskHost::Describe()
{
  UInt32 v = 0;
  AudioComponentGetVersion(AudioComponentInstanceGetComponent(mHost->Unit()), &v);
  return "Tesk " + std::to_string((v >> 16) & 0xFFFF) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF);
}

void TeskHost::Check(OSStatus status, const std::string& what) const
{
  if (status != noErr) throw RenderError(kExitPlugin, "the plug-in refused " + what + " " + Error(status));
}

// ==== Parameters ====

std::vector<auhost::Parameter> TeskHost::Parameters()
{
  std::vector<auhost::Parameter> params;
  Check(mHost->Parameters(&params), "the parameter list");
  return params;
}

void TeskHost::SetParameter(AudioUnitParameterID id, float value)
{
  Check(mHost->SetParameter(id, value), "parameter " + std::to_string(id));
}

// ==== Settings files ====

void TeskHost::LoadProgram(const std::vector<unsigned char>& bytes, const std::string& name)
{
  CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  const OSStatus r = mHost->SetObject(IPlugAU::kProgramFileProperty, data);
  if (data) CFRelease(data);
  if (r != noErr) throw FileError(kExitSettingsFile, name, "not a Tesk program file (.fxp) or malformed");
}

void TeskHost::LoadBank(const std::vector<unsigned char>& bytes, const std::string& name)
{
  CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  const OSStatus r = mHost->SetObject(IPlugAU::kBankFileProperty, data);
  if (data) CFRelease(data);
  if (r != noErr) throw FileError(kExitSettingsFile, name, "not a Tesk bank file (.fxb) or malformed");
}

void TeskHost::SaveProgramFile(const std::string& path, const std::string& displayName)
{
  CFTypeRef object = nullptr;
  if (mHost->CopyObject(IPlugAU::kProgramFileProperty, &object) != noErr || !object ||
      CFGetTypeID(object) != CFDataGetTypeID())
  {
    if (object) CFRelease(object);
    throw FileError(kExitOutput, displayName, "the plug-in did not give its program");
  }
  const auto data = static_cast<CFDataRef>(object);
  FILE* fp = std::fopen(path.c_str(), "wb");
  const size_t n = static_cast<size_t>(CFDataGetLength(data));
  const bool written = fp && std::fwrite(CFDataGetBytePtr(data), 1, n, fp) == n;
  const bool closed = fp && std::fclose(fp) == 0;
  CFRelease(data);
  if (!written || !closed) throw FileError(kExitOutput, displayName, "cannot write the program file");
}

std::vector<unsigned char> TeskHost::StateData()
{
  std::vector<unsigned char> bytes;
  Check(mHost->StateData(&bytes), "the state request");
  return bytes;
}

void TeskHost::RestoreStateData(const std::vector<unsigned char>& data, const std::string& path)
{
  // The plug-in's state has one size; bytes of any other size are not its state
  // (a plug-in would take a truncated state in part, which no user wants).
  const size_t expected = StateData().size();
  if (data.size() != expected)
    throw FileError(kExitSettingsFile, path,
                    "not a Tesk state file (" + std::to_string(data.size()) + " bytes; a state has " +
                      std::to_string(expected) + ")");
  // The dictionary a host stores in its document: the plug-in's own, with the saved data.
  const OSStatus r = mHost->RestoreStateData(data);
  if (r != noErr) throw FileError(kExitSettingsFile, path, "the plug-in refused the state " + Error(r));
}

void TeskHost::SetSeed(std::uint32_t seed)
{
  Check(mHost->Set(kTeskSeedProperty, kAudioUnitScope_Global, 0, UInt32{seed}), "the seed");
}

// ==== Rendering ====

std::vector<HostChannelConfig> TeskHost::ChannelConfigs()
{
  std::vector<AUChannelInfo> infos;
  Check(mHost->ChannelConfigs(&infos), "the channel configurations");
  std::vector<HostChannelConfig> configs;
  for (const AUChannelInfo& i : infos) configs.push_back({i.inChannels, i.outChannels});
  return configs;
}

void TeskHost::Prepare(double sampleRate, int channels, int maxFrames)
{
  const auhost::RenderSetup setup = {sampleRate, channels, maxFrames, true, auhost::RenderCall::kAudioUnitRender};
  auhost::PrepareStep failed = auhost::PrepareStep::kNone;
  const OSStatus r = mHost->Prepare(setup, &failed);
  if (r == noErr) return;
  Check(r, RefusedStep(failed, channels));
}

void TeskHost::Initialize()
{
  if (!mHost->IsInitialized()) Check(mHost->Initialize(), "to initialise");
}

int TeskHost::LatencySamples()
{
  const int samples = mHost->LatencySamples();
  if (samples < 0) Check(kAudioUnitErr_InvalidProperty, "the latency request");
  return samples;
}

void TeskHost::Render(const float* const* input, float* const* output, int nFrames)
{
  Check(mHost->Render(input, output, static_cast<UInt32>(nFrames)), "to render");
}

// ==== Editor ====

void TeskHost::WriteSnapshot(const std::string& path, const std::string& displayName)
{
  CFStringRef file = CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
  const OSStatus r = mHost->SetObject(IPlugAU::kEditorSnapshotProperty, file);
  if (file) CFRelease(file);
  if (r == kAudioUnitErr_InvalidFile) throw FileError(kExitOutput, displayName, "cannot write the PNG image");
  if (r != noErr) throw FileError(kExitPlugin, displayName, "the plug-in's editor cannot be drawn here");
}
