#include "RenderJob.h"

#include "AudioFile.h"
#include "DemoSignal.h"
#include "PendingOutput.h"
#include "RenderError.h"
#include "RenderProgress.h"
#include "TeskHost.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

volatile std::sig_atomic_t gRenderInterrupted = 0;

namespace
{
// Names compare case-insensitively, and '_' or '-' may stand for a space, so
// "mode_a" finds "Mode A" without shell quoting.
std::string Canonical(const std::string& name)
{
  std::string s;
  for (char c : name)
    s += (c == '_' || c == '-') ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsIndex(const std::string& s)
{
  return !s.empty() && s.size() < 6 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Number(double v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

std::string ValidParameters(const std::vector<HostParameter>& params)
{
  std::string list;
  for (const HostParameter& p : params)
    list += std::string(list.empty() ? "" : ", ") + std::to_string(p.mID) + " \"" + p.mName + "\" " + Number(p.mMin) +
            ".." + Number(p.mMax);
  return list;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(kExitSettingsFile, path, std::string("cannot read: ") + std::strerror(errno));
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError(kExitSettingsFile, path, "read error");
  return bytes;
}

void RequireReadable(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(kExitSettingsFile, path, std::string("cannot read: ") + std::strerror(errno));
}

void WriteWholeFile(const std::string& path, const std::string& displayName, const std::vector<unsigned char>& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw FileError(kExitOutput, displayName, "write error");
}

void CheckInterrupted()
{
  if (gRenderInterrupted) throw RenderError(kExitInterrupted, "interrupted; no output was written");
}

// Planar float buffers for one slice, with the pointer arrays the host call takes.
struct SliceBuffers
{
  SliceBuffers(int channels, int frames)
    : mInterleaved(static_cast<size_t>(channels) * frames),
      mIn(channels, std::vector<float>(frames)),
      mOut(channels, std::vector<float>(frames))
  {
    for (int c = 0; c < channels; ++c)
    {
      mInPtrs.push_back(mIn[c].data());
      mOutPtrs.push_back(mOut[c].data());
    }
  }

  void Deinterleave(int channels, int frames)
  {
    for (int i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c) mIn[c][i] = mInterleaved[static_cast<size_t>(i) * channels + c];
  }

  // Interleaves output frames [first, first + n) into the front of mInterleaved.
  void Interleave(int channels, int first, int n)
  {
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c) mInterleaved[static_cast<size_t>(i) * channels + c] = mOut[c][first + i];
  }

  std::vector<float> mInterleaved;
  std::vector<std::vector<float>> mIn, mOut;
  std::vector<const float*> mInPtrs;
  std::vector<float*> mOutPtrs;
};
}  // namespace

// ==== The run ====

void RenderJob::Run()
{
  if (mOptions.mHelp)
  {
    std::fputs(RenderUsage(), stdout);
    return;
  }
  if (mOptions.mVersion)
  {
    PrintVersion();
    return;
  }

  // The source first: a bad input is reported before anything else happens.
  std::unique_ptr<AudioSource> source;
  if (mOptions.mDemo)
    source = std::make_unique<DemoSignal>();
  else if (!mOptions.mInput.empty())
    source = std::make_unique<AudioFileReader>(mOptions.mInput);
  const int format = source ? OutputFormat(*source) : 0;

  TeskHost host;
  if (source) CheckChannels(host, *source);
  ApplySettings(host);
  if (mOptions.mListParams) ListParameters(host);

  // Every output gets its temporary file now, so an unwritable one stops the run
  // before the work is done.
  std::optional<PendingOutput> audioOut, snapshotOut, presetOut, stateOut;
  if (source)
  {
    CheckOutputFormat(mOptions.mOutput, format, source->SampleRate(), source->Channels());
    audioOut.emplace(mOptions.mOutput);
  }
  if (!mOptions.mSnapshotFile.empty()) snapshotOut.emplace(mOptions.mSnapshotFile);
  if (!mOptions.mSavePresetFile.empty()) presetOut.emplace(mOptions.mSavePresetFile);
  if (!mOptions.mSaveStateFile.empty()) stateOut.emplace(mOptions.mSaveStateFile);

  // The settings the render uses.
  if (presetOut) host.SaveProgramFile(presetOut->TempPath(), presetOut->Target());
  if (stateOut) WriteWholeFile(stateOut->TempPath(), stateOut->Target(), host.StateData());

  RenderSummary summary;
  if (source)
  {
    AudioFileWriter writer(audioOut->TempPath(), audioOut->Target(), format, source->SampleRate(), source->Channels());
    RenderAudio(host, *source, writer, summary);
    writer.Close();
    summary.mClipped = writer.ClippedSamples();
  }
  if (snapshotOut) host.WriteSnapshot(snapshotOut->TempPath(), snapshotOut->Target());

  for (auto* out : {&audioOut, &snapshotOut, &presetOut, &stateOut})
    if (*out) (*out)->Commit();
  if (mOptions.mQuiet) return;
  std::string line = source ? SummaryLine(summary) : std::string();
  if (snapshotOut) line += (line.empty() ? "editor snapshot in " : "; editor snapshot in ") + mOptions.mSnapshotFile;
  if (!line.empty()) std::printf("tesk-render: %s\n", line.c_str());
}

void RenderJob::PrintVersion()
{
  TeskHost host;
  std::printf("tesk-render %s (%s)\n", TESK_RENDER_VERSION, host.Describe().c_str());
}

// ==== Settings ====

void RenderJob::ApplySettings(TeskHost& host)
{
  const std::vector<HostParameter> params = host.Parameters();
  if (mOptions.mDemo)
    for (const DemoSetting& s : kDemoSettings) ApplySetting(host, params, s.mName, s.mValue, "demo setting");
  if (!mOptions.mBankFile.empty())
  {
    RequireReadable(mOptions.mBankFile);
    host.LoadBankFile(mOptions.mBankFile);
  }
  if (!mOptions.mPresetFile.empty())
  {
    RequireReadable(mOptions.mPresetFile);
    host.LoadProgramFile(mOptions.mPresetFile);
  }
  if (!mOptions.mStateFile.empty()) host.RestoreStateData(ReadWholeFile(mOptions.mStateFile), mOptions.mStateFile);
  for (const ParameterSetting& s : mOptions.mSettings)
    ApplySetting(host, params, s.mName, s.mValue, "--set " + s.mText);

  if (mOptions.mSeed)
    host.SetSeed(*mOptions.mSeed);
  else if (mOptions.mDemo)
    host.SetSeed(kDemoSeed);
}

void RenderJob::ApplySetting(TeskHost& host, const std::vector<HostParameter>& params, const std::string& name,
                             double value, const std::string& optionText)
{
  const HostParameter* found = nullptr;
  for (const HostParameter& p : params)
  {
    if (Canonical(p.mName) == Canonical(name) || (IsIndex(name) && std::stoul(name) == p.mID))
    {
      found = &p;
      break;
    }
  }
  if (!found)
    throw RenderError(kExitUsage,
                      optionText + ": unknown parameter '" + name + "'; parameters: " + ValidParameters(params));
  if (!(value >= found->mMin && value <= found->mMax))
    throw RenderError(kExitUsage, optionText + ": " + Number(value) + " is outside the range of \"" + found->mName +
                                    "\" (" + Number(found->mMin) + ".." + Number(found->mMax) +
                                    "); parameters: " + ValidParameters(params));
  host.SetParameter(found->mID, static_cast<float>(value));
}

void RenderJob::ListParameters(TeskHost& host)
{
  std::printf("%5s  %-20s %-10s %s\n", "index", "name", "range", "value");
  for (const HostParameter& p : host.Parameters())
  {
    const std::string range = Number(p.mMin) + ".." + Number(p.mMax);
    std::printf("%5u  %-20s %-10s %s\n", static_cast<unsigned>(p.mID), p.mName.c_str(), range.c_str(),
                Number(p.mValue).c_str());
  }
}

// ==== Rendering ====

void RenderJob::CheckChannels(TeskHost& host, const AudioSource& source)
{
  std::string supported;
  bool ok = false;
  for (const HostChannelConfig& c : host.ChannelConfigs())
  {
    supported += std::string(supported.empty() ? "" : ", ") + std::to_string(c.mIn) + "-" + std::to_string(c.mOut);
    ok = ok || (c.mIn == source.Channels() && c.mOut == source.Channels());
  }
  if (!ok)
    throw FileError(kExitInput, source.Name(),
                    std::to_string(source.Channels()) + " channels are not supported; the plug-in takes " + supported +
                      " (1 = mono, 2 = stereo)");
}

int RenderJob::OutputFormat(const AudioSource& source) const
{
  const auto* file = dynamic_cast<const AudioFileReader*>(&source);
  const int base = file ? file->Format() : OutputFormatFromExtension(mOptions.mOutput);
  return mOptions.mFormat.empty() ? base : OutputFormatFromName(mOptions.mFormat, base);
}

void RenderJob::RenderAudio(TeskHost& host, AudioSource& source, AudioFileWriter& writer, RenderSummary& summary)
{
  const int channels = source.Channels();
  const int block = mOptions.mBlock;
  host.Prepare(source.SampleRate(), channels, block);
  const int latency = mOptions.mCompensate ? host.LatencySamples() : 0;

  SliceBuffers buffers(channels, block);
  ProgressBar progress(!mOptions.mQuiet && StandardErrorIsTerminal(), source.Frames() + latency);
  const double cpuStart = ProcessCpuSeconds();
  std::int64_t rendered = 0, written = 0, toSkip = latency, tail = latency;

  // Renders one slice of what is in the input buffers and writes what is not
  // skipped: with --compensate the first `latency` frames are the plug-in's delay.
  auto renderSlice = [&](int n) {
    CheckInterrupted();
    host.Render(buffers.mInPtrs.data(), buffers.mOutPtrs.data(), n);
    rendered += n;
    const int skip = static_cast<int>(std::min<std::int64_t>(toSkip, n));
    toSkip -= skip;
    if (n > skip)
    {
      buffers.Interleave(channels, skip, n - skip);
      writer.Write(buffers.mInterleaved.data(), n - skip);
      written += n - skip;
    }
    progress.Update(rendered);
  };

  for (int n; (n = source.Read(buffers.mInterleaved.data(), block)) > 0;)
  {
    buffers.Deinterleave(channels, n);
    renderSlice(n);
  }
  // The tail: silence in, the delayed end of the input out.
  for (auto& channel : buffers.mIn) std::fill(channel.begin(), channel.end(), 0.0f);
  while (tail > 0)
  {
    const int n = static_cast<int>(std::min<std::int64_t>(tail, block));
    tail -= n;
    renderSlice(n);
  }
  progress.Finish();

  summary.mSource = source.Name();
  summary.mOutput = mOptions.mOutput;
  summary.mFrames = written;
  summary.mSampleRate = source.SampleRate();
  summary.mChannels = channels;
  summary.mCpuSeconds = ProcessCpuSeconds() - cpuStart;
  summary.mLatencyRemoved = latency;
}
