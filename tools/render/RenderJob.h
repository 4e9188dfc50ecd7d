#pragma once
// One run of tesk-render: reads the source, opens the plug-in as a host, applies
// the settings, renders, and commits every output only when all of it succeeded.

#include "RenderOptions.h"

#include <csignal>
#include <vector>

class AudioSource;
class AudioFileWriter;
class TeskHost;
struct HostParameter;
struct RenderSummary;

// Set by the signal handler; the render loop stops at the next slice.
extern volatile std::sig_atomic_t gRenderInterrupted;

class RenderJob final
{
public:
  explicit RenderJob(RenderOptions options)
    : mOptions(std::move(options))
  {
  }

  // Throws RenderError; on any failure no output file is left behind.
  void Run();

private:
  void PrintVersion();
  void ApplySettings(TeskHost& host);
  void ApplySetting(TeskHost& host, const std::vector<HostParameter>& params, const std::string& name, double value,
                    const std::string& optionText);
  void ListParameters(TeskHost& host);
  void CheckChannels(TeskHost& host, const AudioSource& source);
  int OutputFormat(const AudioSource& source) const;
  void RenderAudio(TeskHost& host, AudioSource& source, AudioFileWriter& writer, RenderSummary& summary);

  RenderOptions mOptions;
};
