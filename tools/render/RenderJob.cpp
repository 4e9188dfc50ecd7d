#include "RenderJob.h"

#include "AudioFile.h"
#include "AudioFormats.h"
#include "DemoSignal.h"
#include "FileIdentity.h"
#include "InputFile.h"
#include "Interruption.h"
#include "PendingOutput.h"
#include "RenderError.h"
#include "RenderProgress.h"
#include "TeskHost.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

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

std::string ValidParameters(const std::vector<auhost::Parameter>& params)
{
  std::string list;
  for (const auhost::Parameter& p : params)
    list += std::string(list.empty() ? "" : ", ") + std::to_string(p.mID) + " \"" + p.mName + "\" " + Number(p.mMin) +
            ".." + Number(p.mMax);
  return list;
}

// Program and bank files are read whole up to this size: a Tesk program is 108
// bytes and a bank of 128 programs 14 KiB, so no file of a plug-in's settings comes
// near it.
constexpr std::size_t kMaxPresetFileBytes = 1 << 20;

void WriteWholeFile(const std::string& path, const std::string& displayName, const std::vector<unsigned char>& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw FileError(kExitOutput, displayName, "write error");
}

// The frames read and written per file call: a run of whole slices, so each system
// call moves tens of kilobytes rather than one slice's few.
constexpr int kIoFrames = 16384;

// Interleaved float buffers for a run of slices read or written at once, and planar
// ones for one slice, with the pointer arrays the host call takes.
struct SliceBuffers
{
  SliceBuffers(int channels, int frames)
    : mRunFrames(std::max(frames, kIoFrames / frames * frames)),
      mInterleavedIn(static_cast<size_t>(channels) * mRunFrames),
      mInterleavedOut(static_cast<size_t>(channels) * mRunFrames),
      mIn(channels, std::vector<float>(frames)),
      mOut(channels, std::vector<float>(frames))
  {
    for (int c = 0; c < channels; ++c)
    {
      mInPtrs.push_back(mIn[c].data());
      mOutPtrs.push_back(mOut[c].data());
    }
  }

  // Input frames [first, first + n) of the run into the slice's planar buffers.
  void Deinterleave(int channels, int first, int n)
  {
    const float* run = mInterleavedIn.data() + static_cast<size_t>(first) * channels;
    for (int c = 0; c < channels; ++c)
    {
      float* in = mIn[c].data();
      for (int i = 0; i < n; ++i) in[i] = run[static_cast<size_t>(i) * channels + c];
    }
  }

  // The slice's output frames [first, first + n) behind the mOutFrames already held.
  void Interleave(int channels, int first, int n)
  {
    float* run = mInterleavedOut.data() + static_cast<size_t>(mOutFrames) * channels;
    for (int c = 0; c < channels; ++c)
    {
      const float* out = mOut[c].data() + first;
      for (int i = 0; i < n; ++i) run[static_cast<size_t>(i) * channels + c] = out[i];
    }
    mOutFrames += n;
  }

  const int mRunFrames;
  std::vector<float> mInterleavedIn, mInterleavedOut;
  int mOutFrames = 0;  // output frames held in mInterleavedOut, not yet written
  std::vector<std::vector<float>> mIn, mOut;
  std::vector<const float*> mInPtrs;
  std::vector<float*> mOutPtrs;
};
}  // namespace

// ==== The run ====

struct RenderJob::Outputs
{
  std::unique_ptr<PendingOutput> mAudio, mSnapshot, mPreset, mState;
};

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

  // What the command line alone can tell comes first: files named twice, formats.
  CheckFilesDistinct();
  if (mOptions.Renders()) ChooseOutputFormat(mOptions.mOutput, mOptions.mFormat, 0);

  // Then the source: a bad input is reported before anything else happens.
  const std::unique_ptr<AudioSource> source = OpenSource();
  const int format = source ? OutputFormat(*source) : 0;

  TeskHost host;
  if (source) CheckChannels(host, *source);
  ApplySettings(host);
  if (mOptions.mListParams) ListParameters(host);

  // Every output is checked and gets its temporary file now, so an unwritable one
  // stops the run before the work is done.
  Outputs outputs = PrepareOutputs(source.get(), format);

  // The settings the render uses.
  if (outputs.mPreset) host.SaveProgramFile(outputs.mPreset->TempPath(), outputs.mPreset->Name());
  if (outputs.mState) WriteWholeFile(outputs.mState->TempPath(), outputs.mState->Name(), host.StateData());

  RenderSummary summary;
  if (source)
  {
    AudioFileWriter writer(outputs.mAudio->AudioDescriptor(), outputs.mAudio->Name(), format, source->SampleRate(),
                           source->Channels());
    RenderAudio(host, *source, writer, summary);
    writer.Close();
    summary.mClipped = writer.ClippedSamples();
    summary.mNonFinite = writer.NonFiniteSamples();
    summary.mNonFiniteKept = writer.KeepsNonFinite();
  }
  if (outputs.mSnapshot)
  {
    // Without a render nothing has initialised the plug-in yet; a host does before
    // it shows the editor, and only then do the controls show the parameters.
    if (!source) host.Initialize();
    host.WriteSnapshot(outputs.mSnapshot->TempPath(), outputs.mSnapshot->Name());
  }

  CommitAll(outputs);
  Report(source ? &summary : nullptr, outputs);
}

void RenderJob::CommitAll(Outputs& outputs)
{
  // Outputs in place first (they may wait for a reader, or be interrupted), then
  // the renames, which cannot be.
  PendingOutput* all[] = {outputs.mAudio.get(), outputs.mSnapshot.get(), outputs.mPreset.get(), outputs.mState.get()};
  for (bool inPlace : {true, false})
    for (PendingOutput* out : all)
      if (out && out->InPlace() == inPlace) out->Commit();
}

void RenderJob::CheckFilesDistinct() const
{
  std::vector<NamedFile> inputs, outputs;
  if (!mOptions.mDemo && !mOptions.mInput.empty()) inputs.push_back({"the input", mOptions.mInput, 0});
  for (const auto& [role, path] :
       {std::pair{"--preset", &mOptions.mPresetFile}, std::pair{"--bank", &mOptions.mBankFile},
        std::pair{"--state", &mOptions.mStateFile}})
    if (!path->empty()) inputs.push_back({role, *path});
  if (mOptions.Renders()) outputs.push_back({"the output", mOptions.mOutput, 1});
  const char* snapshotRole = mOptions.mSnapshotBesideDemo ? "the demo's snapshot" : "--snapshot";
  for (const auto& [role, path] :
       {std::pair{snapshotRole, &mOptions.mSnapshotFile}, std::pair{"--save-preset", &mOptions.mSavePresetFile},
        std::pair{"--save-state", &mOptions.mSaveStateFile}})
    if (!path->empty()) outputs.push_back({role, *path});
  ::CheckFilesDistinct(inputs, outputs);
}

std::unique_ptr<AudioSource> RenderJob::OpenSource() const
{
  if (mOptions.mDemo) return std::make_unique<DemoSignal>();
  if (mOptions.mInput.empty()) return nullptr;
  auto file = std::make_unique<AudioFileReader>(mOptions.mInput);
  if (!file->Warning().empty())
    std::fprintf(stderr, "tesk-render: %s: %s\n", file->Name().c_str(), file->Warning().c_str());
  return file;
}

RenderJob::Outputs RenderJob::PrepareOutputs(const AudioSource* source, int format) const
{
  Outputs outputs;
  if (source)
  {
    const std::string name = mOptions.mOutput == "-" ? "standard output" : mOptions.mOutput;
    CheckOutputFormat(name, format, source->SampleRate(), source->Channels());
    outputs.mAudio = std::make_unique<PendingOutput>(mOptions.mOutput, true);
    if (!outputs.mAudio->Seekable() && !WritesFrontToBack(format))
      throw FileError(kExitOutput, outputs.mAudio->Name(),
                      "cannot take " + DescribeFormat(format) +
                        ": it is a pipe or a device that cannot seek, and this format completes its header at the "
                        "end; " +
                        FrontToBackFormatNames() + " are written front to back (give --format)");
  }
  const auto prepare = [](const std::string& path) {
    return path.empty() ? nullptr : std::make_unique<PendingOutput>(path, false);
  };
  outputs.mSnapshot = prepare(mOptions.mSnapshotFile);
  outputs.mPreset = prepare(mOptions.mSavePresetFile);
  outputs.mState = prepare(mOptions.mSaveStateFile);
  return outputs;
}

void RenderJob::Report(const RenderSummary* summary, const Outputs& outputs) const
{
  if (mOptions.mQuiet) return;
  std::string line = summary ? SummaryLine(*summary) : std::string();
  if (outputs.mSnapshot)
    line += (line.empty() ? "editor snapshot in " : "; editor snapshot in ") + outputs.mSnapshot->Name();
  if (line.empty()) return;
  // Standard output may carry the audio; the report then goes to standard error.
  std::FILE* stream = mOptions.mOutput == "-" ? stderr : stdout;
  std::fprintf(stream, "tesk-render: %s\n", line.c_str());
}

void RenderJob::PrintVersion()
{
  TeskHost host;
  std::printf("tesk-render %s (%s)\n", TESK_RENDER_VERSION, host.Describe().c_str());
}

// ==== Settings ====

void RenderJob::ApplySettings(TeskHost& host)
{
  const std::vector<auhost::Parameter> params = host.Parameters();
  if (mOptions.mDemo)
    for (const DemoSetting& s : kDemoSettings) ApplySetting(host, params, s.mName, s.mValue, "demo setting");
  const std::string presetLimit =
    "the largest program or bank file taken (" + std::to_string(kMaxPresetFileBytes) + " bytes)";
  if (!mOptions.mBankFile.empty())
    host.LoadBank(ReadSettingsFile(mOptions.mBankFile, kMaxPresetFileBytes, presetLimit), mOptions.mBankFile);
  if (!mOptions.mPresetFile.empty())
    host.LoadProgram(ReadSettingsFile(mOptions.mPresetFile, kMaxPresetFileBytes, presetLimit), mOptions.mPresetFile);
  if (!mOptions.mStateFile.empty())
  {
    // A state has one size: the plug-in's own.
    const std::size_t stateSize = host.StateData().size();
    host.RestoreStateData(
      ReadSettingsFile(mOptions.mStateFile, stateSize, "a Tesk state (" + std::to_string(stateSize) + " bytes)"),
      mOptions.mStateFile);
  }
  for (const ParameterSetting& s : mOptions.mSettings)
    ApplySetting(host, params, s.mName, s.mValue, "--set " + s.mText);

  if (mOptions.mSeed)
    host.SetSeed(*mOptions.mSeed);
  else if (mOptions.mDemo)
    host.SetSeed(kDemoSeed);
}

void RenderJob::ApplySetting(TeskHost& host, const std::vector<auhost::Parameter>& params, const std::string& name,
                             double value, const std::string& optionText)
{
  const auhost::Parameter* found = nullptr;
  for (const auhost::Parameter& p : params)
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
  for (const auhost::Parameter& p : host.Parameters())
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
  return ChooseOutputFormat(mOptions.mOutput, mOptions.mFormat, file ? file->Format() : 0);
}

void RenderJob::RenderAudio(TeskHost& host, AudioSource& source, AudioFileWriter& writer, RenderSummary& summary)
{
  const int channels = source.Channels();
  const int block = mOptions.mBlock;
  host.Prepare(source.SampleRate(), channels, block);
  const int latency = mOptions.mCompensate ? host.LatencySamples() : 0;

  SliceBuffers buffers(channels, block);
  ProgressBar progress(!mOptions.mQuiet && StandardErrorIsTerminal(),
                       source.Frames() < 0 ? 0 : source.Frames() + latency);
  const double cpuStart = ProcessCpuSeconds();
  std::int64_t rendered = 0, written = 0, toSkip = latency, tail = latency;

  auto flush = [&] {
    if (buffers.mOutFrames == 0) return;
    writer.Write(buffers.mInterleavedOut.data(), buffers.mOutFrames);
    written += buffers.mOutFrames;
    buffers.mOutFrames = 0;
  };
  // Renders one slice of what is in the input buffers and keeps what is not skipped
  // for the next write: with --compensate the first `latency` frames are the
  // plug-in's delay.
  auto renderSlice = [&](int n) {
    ThrowIfInterrupted();
    host.Render(buffers.mInPtrs.data(), buffers.mOutPtrs.data(), n);
    rendered += n;
    const int skip = static_cast<int>(std::min<std::int64_t>(toSkip, n));
    toSkip -= skip;
    if (n > skip)
    {
      if (buffers.mOutFrames + (n - skip) > buffers.mRunFrames) flush();
      buffers.Interleave(channels, skip, n - skip);
    }
    progress.Update(rendered);
  };

  for (int got; (got = source.Read(buffers.mInterleavedIn.data(), buffers.mRunFrames)) > 0;)
  {
    for (int first = 0; first < got; first += block)
    {
      const int n = std::min(block, got - first);
      buffers.Deinterleave(channels, first, n);
      renderSlice(n);
    }
    flush();
  }
  // The tail: silence in, the delayed end of the input out.
  for (auto& channel : buffers.mIn) std::fill(channel.begin(), channel.end(), 0.0f);
  while (tail > 0)
  {
    const int n = static_cast<int>(std::min<std::int64_t>(tail, block));
    tail -= n;
    renderSlice(n);
  }
  flush();
  progress.Finish();

  summary.mSource = source.Name();
  summary.mOutput = mOptions.mOutput == "-" ? "standard output" : mOptions.mOutput;
  summary.mFrames = written;
  summary.mSampleRate = source.SampleRate();
  summary.mChannels = channels;
  summary.mCpuSeconds = ProcessCpuSeconds() - cpuStart;
  summary.mLatencyRemoved = latency;
}
