// Tesk in Ardour, run headless: ardour7-lua (the Dummy backend) creates a 44.1 kHz
// session with Tesk first on a stereo track and sets its controls; the input goes onto
// the track as a region; Ardour's export renders the session through the plug-in. Ardour
// compensates the latency Tesk reports, so the export lines up with the input and holds
// the samples tesk-render --compensate gives for the same input and settings.

#include <regex>

#include "Lv2TestSupport.h"
#include "TeskParams.h"

using namespace lv2_test;

namespace
{
struct Setting
{
  int param;
  const char* name;
  double value;
};

const std::vector<Setting> kSettings = {
  {tesk::kPre, "Pre", 0.5}, {tesk::kModeA, "Mode A", 0.4}, {tesk::kModeB, "Mode B", 0.2}, {tesk::kInv, "Inv", 1.0}};

std::string Text(double v)
{
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}
}  // namespace

TEST(Ardour, ExportLinesUpWithTheInputAndMatchesTeskRenderCompensated)
{
  LV2_REQUIRE_PROGRAM("ardour7-lua", "ardour");
  LV2_REQUIRE_PROGRAM("ardour7-export", "ardour");
  LV2_REQUIRE_PROGRAM("python3", "python3");
  ScratchFolder scratch;
  const std::vector<std::string> env = HostEnvironment(scratch.Path());
  const std::filesystem::path session = scratch / "session";
  const std::string name = "tesk";
  const std::string scripts = TESK_LV2_SCRIPTS "/ardour/";

  // Music with two impulses that show where the output sits.
  Channels in = TestSignal(2, 2 * 44100);
  for (auto& ch : in)
    for (float& s : ch) s *= 0.5f;
  in[0][30000] = 0.9f;
  in[1][50000] = -0.9f;
  WriteWav(scratch / "in.wav", in);

  std::vector<std::string> create = {"ardour7-lua", scripts + "create_session.lua", session.string(), name,
                                     kTeskLV2URI};
  std::vector<std::string> render = {kTeskRender, "-q", "--compensate"};
  for (const Setting& s : kSettings)
  {
    create.push_back(std::to_string(s.param) + "=" + Text(s.value));
    render.insert(render.end(), {"--set", std::string(s.name) + "=" + Text(s.value)});
  }
  const ProgramResult created = RunHostProgram(create, env, scratch.Path(), 120.0);
  ASSERT_EQ(created.exitCode, 0) << created.output;
  EXPECT_TRUE(std::regex_search(created.output, std::regex(R"(plugin latency:\s+12288)"))) << created.output;

  // The region: one mono file per channel in the session's audio files folder.
  std::filesystem::path audioFiles;
  for (const auto& e : std::filesystem::directory_iterator(session / "interchange"))
    audioFiles = e.path() / "audiofiles";
  ASSERT_TRUE(std::filesystem::is_directory(audioFiles));
  WriteWav(audioFiles / "input-L.wav", {in[0]});
  WriteWav(audioFiles / "input-R.wav", {in[1]});
  const ProgramResult placed = RunHostProgram({"python3", scripts + "place_region.py", session.string(), name,
                                               "Audio 1", "input-L.wav", "input-R.wav", std::to_string(in[0].size())},
                                              env, scratch.Path());
  ASSERT_EQ(placed.exitCode, 0) << placed.output;

  const ProgramResult exported =
    RunHostProgram({"ardour7-export", "-b", "float", "-o", (scratch / "export.wav").string(), session.string(), name},
                   env, scratch.Path(), 120.0);
  ASSERT_EQ(exported.exitCode, 0) << exported.output;
  const Channels ardour = ReadWav(scratch / "export.wav");
  ASSERT_EQ(ardour.size(), 2u);
  ASSERT_EQ(ardour[0].size(), in[0].size()) << "the export holds the session range";
  // Lined up with the input: the impulses stand where they were put.
  EXPECT_EQ(PeakFrame(ardour[0]), 30000);
  EXPECT_EQ(PeakFrame(ardour[1]), 50000);

  // Before the region reaches it, Ardour resets the plug-in (deactivate, activate) and
  // runs it on silence for its export pre-roll and the latency, in blocks of 256 frames.
  // The engine works in frames on a grid counted from that reset, so the output depends
  // on that silence modulo the engine's cycle of 8192 frames: tesk-render is given the
  // same silence before the input, for each of the 32 block counts within a cycle; the
  // one Ardour ran must give its samples to float rounding (others differ audibly).
  double best = 1e9, worst = 0.0;
  int bestSilence = -1;
  for (int silence = 0; silence < 8192; silence += 256)
  {
    Channels padded = in;
    for (auto& ch : padded) ch.insert(ch.begin(), static_cast<size_t>(silence), 0.0f);
    WriteWav(scratch / "padded.wav", padded);
    std::vector<std::string> args = render;
    args.insert(args.end(), {(scratch / "padded.wav").string(), (scratch / "tesk-render.wav").string()});
    const ProgramResult rendered = RunHostProgram(args, {}, scratch.Path());
    ASSERT_EQ(rendered.exitCode, 0) << rendered.output;
    Channels reference = ReadWav(scratch / "tesk-render.wav");
    for (auto& ch : reference) ch.erase(ch.begin(), ch.begin() + silence);
    const double diff = MaxDifference(ardour, reference);
    if (diff < best) best = diff, bestSilence = silence;
    worst = std::max(worst, diff);
  }
  RecordProperty("max_difference", Figure(best));
  RecordProperty("silence_before_input", std::to_string(bestSilence));
  EXPECT_LE(best, 1e-6) << "largest difference " << best << " with " << bestSilence
                        << " frames of silence before the input";
  EXPECT_GT(worst, 1e-3) << "the silence before the input matters; the comparison can tell";
}
