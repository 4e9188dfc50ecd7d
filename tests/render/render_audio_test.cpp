// What tesk-render does to audio: block-size independence, channel layouts,
// latency compensation, file formats and the built-in demo.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <limits>
#include <thread>

namespace render_test
{
namespace
{
constexpr long long kFrames = 30000;  // more than twice the plug-in's latency
constexpr int kLatency = 12288;
constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// Settings under which every stage of the engine changes the sound, including the
// seeded noise of the sensitivity measure.
const std::vector<std::string> kBusySettings = {"--set", "Pre=0.5",  "--set",  "Mode A=0.6", "--set", "mode_b=0.3",
                                                "--set", "Low=0.05", "--set",  "High=0.4",   "--set", "Sensitivity=0.7",
                                                "--set", "Auto=1",   "--seed", "7"};

// "Pre" at 0 and no reduction: the plug-in only delays.
const std::vector<std::string> kTransparentSettings = {"--set", "Pre=0",    "--set", "Mode A=0",
                                                       "--set", "Mode B=0", "--set", "Auto=0"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
}  // namespace

using RenderAudioTest = RenderTest;

TEST_F(RenderAudioTest, OutputDoesNotDependOnTheBlockSize)
{
  // 3000 and 4096 split the file's reads and writes in other places than 1 and 64.
  WriteAudio(Path("in.wav"), 2, kFrames, kFloatWav, MusicLike);
  const char* const blocks[] = {"1", "64", "3000", "4096"};
  std::vector<Audio> outputs, compensated;
  for (const char* block : blocks)
  {
    for (const bool compensate : {false, true})
    {
      const std::string out = std::string(compensate ? "comp" : "out") + block + ".wav";
      std::vector<std::string> args = Join({"--quiet", "--block", block, "in.wav", out}, kBusySettings);
      if (compensate) args.push_back("--compensate");
      const RunResult r = Run(args);
      ASSERT_EQ(r.mExitCode, 0) << r.mErr;
      (compensate ? compensated : outputs).push_back(ReadAudio(Path(out)));
    }
  }
  ASSERT_EQ(outputs[0].Frames(), kFrames);
  // The engine changed the sound, and it did so identically for every block size.
  double difference = 0.0;
  for (long long i = kLatency; i < kFrames; ++i)
    difference += std::fabs(outputs[0].At(i, 0) - MusicLike(i - kLatency, 0));
  EXPECT_GT(difference, 1.0);
  for (std::size_t b = 1; b < outputs.size(); ++b)
  {
    EXPECT_EQ(outputs[0].mSamples, outputs[b].mSamples) << "block " << blocks[b];
    EXPECT_EQ(compensated[0].mSamples, compensated[b].mSamples) << "block " << blocks[b];
  }
  // Compensated: the same output without the plug-in's delay, and as long as the input.
  ASSERT_EQ(compensated[0].Frames(), kFrames);
  for (long long i = 0; i + kLatency < kFrames; ++i)
    for (int ch = 0; ch < 2; ++ch)
      ASSERT_EQ(compensated[0].At(i, ch), outputs[0].At(i + kLatency, ch)) << "frame " << i;
}

// An impulse per channel, at a different place in each channel.
struct ImpulseCase
{
  const char* mName;
  int mChannels;
  bool mCompensate;
};

class ImpulseTest : public RenderTest, public ::testing::WithParamInterface<ImpulseCase>
{
};

TEST_P(ImpulseTest, LandsWhereTheReportedLatencySaysAndTheFileKeepsItsShape)
{
  const ImpulseCase& c = GetParam();
  const long long where[2] = {5000, 9001};
  WriteAudio(Path("in.wav"), c.mChannels, kFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16,
             [&](long long i, int ch) { return i == where[ch] ? 0.5f : 0.0f; });
  std::vector<std::string> args = Join({"-q", "in.wav", "out.wav"}, kTransparentSettings);
  if (c.mCompensate) args.push_back("--compensate");
  const RunResult r = Run(args);
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;

  const Audio out = ReadAudio(Path("out.wav"));
  EXPECT_EQ(out.mChannels, c.mChannels);
  EXPECT_EQ(out.mSampleRate, 44100);
  EXPECT_EQ(out.mFormat, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(out.Frames(), kFrames);
  for (int ch = 0; ch < c.mChannels; ++ch)
  {
    const long long expected = where[ch] + (c.mCompensate ? 0 : kLatency);
    EXPECT_EQ(out.PeakFrame(ch), expected) << "channel " << ch;
    EXPECT_NEAR(out.At(expected, ch), 0.5f, 0.01f) << "channel " << ch;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ImpulseTest,
                         ::testing::Values(ImpulseCase{"MonoCompensated", 1, true},
                                           ImpulseCase{"StereoCompensated", 2, true},
                                           ImpulseCase{"MonoDelayed", 1, false},
                                           ImpulseCase{"StereoDelayed", 2, false}),
                         [](const auto& info) { return std::string(info.param.mName); });

struct FormatCase
{
  const char* mName;
  const char* mInput;
  int mInputFormat;
  const char* mOutput;
  std::vector<std::string> mFormatOption;
  int mExpected;
};

class OutputFormatTest : public RenderTest, public ::testing::WithParamInterface<FormatCase>
{
};

TEST_P(OutputFormatTest, FollowsTheOutputsExtensionKeepingTheSampleType)
{
  const FormatCase& c = GetParam();
  WriteAudio(Path(c.mInput), 2, 4096, c.mInputFormat, MusicLike, 48000);
  const RunResult r = Run(Join({"-q", c.mInput, c.mOutput}, c.mFormatOption));
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  const Audio out = ReadAudio(Path(c.mOutput));
  EXPECT_EQ(out.mFormat, c.mExpected);
  EXPECT_EQ(out.mSampleRate, 48000);
  EXPECT_EQ(out.Frames(), 4096);
}

INSTANTIATE_TEST_SUITE_P(
  Formats, OutputFormatTest,
  ::testing::Values(
    FormatCase{"Wav16", "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "out.wav", {}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    FormatCase{
      "Flac24", "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
    FormatCase{"OggToWavTakesFloat", "in.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "x.wav", {}, kFloatWav},
    FormatCase{
      "Wav16ToFlac", "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    FormatCase{"FloatWavToFlacTakesPcm24", "in.wav", kFloatWav, "out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
    FormatCase{
      "Flac24ToAiff", "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "out.AIF", {}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
    FormatCase{"Wav16ToOggTakesVorbis",
               "in.wav",
               SF_FORMAT_WAV | SF_FORMAT_PCM_16,
               "out.ogg",
               {},
               SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    FormatCase{"FormatOptionOverridesTheExtension",
               "in.flac",
               SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
               "out.snd",
               {"--format", "wav"},
               SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    FormatCase{"ExplicitSampleType",
               "in.wav",
               SF_FORMAT_WAV | SF_FORMAT_PCM_16,
               "out.wav",
               {"--format=aiff:float"},
               SF_FORMAT_AIFF | SF_FORMAT_FLOAT}),
  [](const auto& info) { return std::string(info.param.mName); });

TEST_F(RenderAudioTest, IdenticalRendersGiveIdenticalFiles)
{
  // Float WAV and AIFF files carry a PEAK chunk with a time of writing (to the
  // second): render on both sides of a second boundary.
  WriteAudio(Path("in.wav"), 2, 4096, SF_FORMAT_WAV | SF_FORMAT_PCM_16, MusicLike);
  const std::vector<std::vector<std::string>> formats = {
    {"--format", "wav:float"}, {"--format", "wav:double"}, {"--format", "aiff:float"}, {"--format", "caf:float"}};
  auto renderAll = [&](const std::string& prefix) {
    for (size_t i = 0; i < formats.size(); ++i)
    {
      const RunResult r = Run(Join({"-q", "in.wav", prefix + std::to_string(i) + ".snd"}, formats[i]));
      ASSERT_EQ(r.mExitCode, 0) << r.mErr;
    }
  };
  renderAll("a");
  const std::time_t started = std::time(nullptr);
  while (std::time(nullptr) == started) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  renderAll("b");
  for (size_t i = 0; i < formats.size(); ++i)
  {
    const std::string a = ReadBytes(Path("a" + std::to_string(i) + ".snd"));
    EXPECT_EQ(a, ReadBytes(Path("b" + std::to_string(i) + ".snd"))) << formats[i][1];
  }
}

// Samples that are not numbers reach the output when the input holds them (Bypass
// passes the input through unchanged).
struct NonFiniteCase
{
  const char* mName;
  const char* mOutput;
  std::vector<std::string> mFormatOption;
  bool mKept;  // the format holds them as they are; otherwise they are written as 0
};

class NonFiniteTest : public RenderTest, public ::testing::WithParamInterface<NonFiniteCase>
{
};

TEST_P(NonFiniteTest, AreCountedAndWrittenAsZeroUnlessTheFormatHoldsThem)
{
  const NonFiniteCase& c = GetParam();
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  // Four non-finite samples and two beyond full scale.
  auto sample = [&](long long i, int ch) -> float {
    if (i == 100) return ch ? nan : -nan;
    if (i == 200) return ch ? inf : -inf;
    if (i == 300) return ch ? 1.5f : -2.0f;
    return 0.25f;
  };
  WriteAudio(Path("in.wav"), 2, 1000, kFloatWav, sample);
  const RunResult r = Run(Join({"--set", "Bypass=1", "in.wav", c.mOutput}, c.mFormatOption));
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  EXPECT_EQ(r.mErr, "");
  EXPECT_NE(r.mOut.find(std::string("4 samples not finite (") + (c.mKept ? "kept" : "written as 0") + ")"),
            std::string::npos)
    << r.mOut;

  const Audio out = ReadAudio(Path(c.mOutput));
  ASSERT_EQ(out.Frames(), 1000);
  for (int ch = 0; ch < 2; ++ch)
  {
    EXPECT_NEAR(out.At(99, ch), 0.25f, 1e-3f);
    if (c.mKept)
    {
      EXPECT_TRUE(std::isnan(out.At(100, ch)));
      EXPECT_TRUE(std::isinf(out.At(200, ch)));
    }
    else
    {
      EXPECT_EQ(out.At(100, ch), 0.0f);
      EXPECT_EQ(out.At(200, ch), 0.0f);
    }
  }
  if (!c.mKept)
  {
    EXPECT_NE(r.mOut.find("2 samples clipped"), std::string::npos) << r.mOut;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, NonFiniteTest,
                         ::testing::Values(NonFiniteCase{"Wav16", "out.wav", {"--format", "wav:pcm16"}, false},
                                           NonFiniteCase{"Flac", "out.flac", {}, false},
                                           NonFiniteCase{"FloatWav", "out.wav", {}, true}),
                         [](const auto& info) { return std::string(info.param.mName); });

// A WAV file with 1000 frames of data whose header may announce fewer.
std::string WavBytes(std::uint32_t announcedFrames, const std::string& trailer)
{
  auto le32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string data;
  for (int i = 0; i < 1000; ++i)
  {
    const auto v = static_cast<std::int16_t>(8000.0 * std::sin(i * 0.05));
    for (int ch = 0; ch < 2; ++ch) data += std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  }
  const std::string fmt =
    std::string("\x01\x00\x02\x00", 4) + le32(44100) + le32(44100 * 4) + std::string("\x04\x00\x10\x00", 4);
  const std::string body = "WAVEfmt " + le32(16) + fmt + "data" + le32(announcedFrames * 4) + data + trailer;
  return "RIFF" + le32(static_cast<std::uint32_t>(body.size())) + body;
}

struct HeaderCase
{
  const char* mName;
  std::uint32_t mAnnounced;
  std::string mTrailer;
  bool mWarned;
};

class WavHeaderTest : public RenderTest, public ::testing::WithParamInterface<HeaderCase>
{
};

TEST_P(WavHeaderTest, AudioBeyondTheAnnouncedDataIsReported)
{
  const HeaderCase& c = GetParam();
  WriteBytes(Path("in.wav"), WavBytes(c.mAnnounced, c.mTrailer));
  const RunResult r = Run({"-q", "--set", "Bypass=1", "in.wav", "out.wav"});
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  EXPECT_EQ(ReadAudio(Path("out.wav")).Frames(), c.mAnnounced);
  if (c.mWarned)
  {
    EXPECT_EQ(r.mErr.rfind("tesk-render: in.wav: warning: ", 0), 0u) << r.mErr;
    EXPECT_NE(r.mErr.find("2000 bytes"), std::string::npos) << r.mErr;
    EXPECT_EQ(r.mErr.find('\n'), r.mErr.size() - 1) << "one line: " << r.mErr;
  }
  else
    EXPECT_EQ(r.mErr, "");
}

INSTANTIATE_TEST_SUITE_P(
  Headers, WavHeaderTest,
  ::testing::Values(HeaderCase{"Complete", 1000, "", false}, HeaderCase{"UnderstatedByHalf", 500, "", true},
                    // A chunk after the data is part of the file, not hidden audio.
                    HeaderCase{"ChunkAfterTheData", 1000, std::string("LIST\x04\x00\x00\x00INFO", 12), false}),
  [](const auto& info) { return std::string(info.param.mName); });

TEST_F(RenderAudioTest, DemoWritesEightSecondsOfStereoAndTheEditorSnapshot)
{
  const RunResult r = Run({"--demo", "demo.wav"});
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  const Audio out = ReadAudio(Path("demo.wav"));
  EXPECT_EQ(out.mChannels, 2);
  EXPECT_EQ(out.mSampleRate, 44100);
  EXPECT_EQ(out.Frames(), 8 * 44100);
  double energy = 0.0;
  for (float v : out.mSamples) energy += static_cast<double>(v) * v;
  EXPECT_GT(energy, 100.0);

  // The editor is written as a 425 x 440 PNG.
  std::ifstream png(Path("demo.png"), std::ios::binary);
  unsigned char header[24] = {};
  png.read(reinterpret_cast<char*>(header), sizeof(header));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header + 1), 3), "PNG");
  EXPECT_EQ((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19], 425);
  EXPECT_EQ((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23], 440);

  // One summary line; no progress bar when standard error is not a terminal.
  EXPECT_NE(r.mOut.find("8.00 s of audio (44100 Hz, stereo)"), std::string::npos) << r.mOut;
  EXPECT_NE(r.mOut.find("real time"), std::string::npos) << r.mOut;
  EXPECT_NE(r.mOut.find("demo.png"), std::string::npos) << r.mOut;
  EXPECT_EQ(r.mOut.find('\n'), r.mOut.size() - 1) << r.mOut;
  EXPECT_EQ(r.mErr, "");
  EXPECT_EQ(FolderListing(mFolder), (std::vector<std::string>{"demo.png", "demo.wav"}));
}

TEST_F(RenderAudioTest, DemoRendersTheSameEveryTime)
{
  ASSERT_EQ(Run({"-q", "--demo", "a.wav"}).mExitCode, 0);
  ASSERT_EQ(Run({"-q", "--demo", "b.wav", "--snapshot", "b-editor.png"}).mExitCode, 0);
  EXPECT_EQ(ReadAudio(Path("a.wav")).mSamples, ReadAudio(Path("b.wav")).mSamples);
  EXPECT_TRUE(std::filesystem::exists(Path("b-editor.png")));
  EXPECT_FALSE(std::filesystem::exists(Path("b.png")));
}
}  // namespace render_test
