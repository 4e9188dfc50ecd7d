#pragma once
// One run of tesk-render: reads the source, opens the plug-in as a host, applies
// the settings, renders, and commits every output only when all of it succeeded.

#include "RenderOptions.h"

#include <memory>
#include <optional>
#include <vector>

class AudioSource;
class AudioFileWriter;
class PendingOutput;
class TeskHost;
namespace auhost
{
struct Parameter;
}
struct RenderSummary;

class RenderJob final
{
public:
  explicit RenderJob(RenderOptions options)
    : mOptions(std::move(options))
  {
  }

  // Throws RenderError; on any failure no output file is left behind, and no file
  // is replaced (outputs in place, such as pipes, may have taken part of the audio).
  void Run();

private:
  struct Outputs;

  // Refuses an output that is an input or another output under any name, before
  // anything is read or written. Throws RenderError (kExitUsage).
  void CheckFilesDistinct() const;
  std::unique_ptr<AudioSource> OpenSource() const;
  Outputs PrepareOutputs(const AudioSource* source, int format) const;
  static void CommitAll(Outputs& outputs);
  void PrintVersion();
  void ApplySettings(TeskHost& host);
  void ApplySetting(TeskHost& host, const std::vector<auhost::Parameter>& params, const std::string& name, double value,
                    const std::string& optionText);
  void ListParameters(TeskHost& host);
  void CheckChannels(TeskHost& host, const AudioSource& source);
  int OutputFormat(const AudioSource& source) const;
  void Report(const RenderSummary* summary, const Outputs& outputs) const;
  void RenderAudio(TeskHost& host, AudioSource& source, AudioFileWriter& writer, RenderSummary& summary);

  RenderOptions mOptions;
};
