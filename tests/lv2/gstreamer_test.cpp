// Tesk in a GStreamer pipeline (gst-launch-1.0 with the lv2 element of
// gstreamer1.0-plugins-bad). GStreamer maps a 2-in/2-out plug-in onto one interleaved
// stereo element only when its audio ports form a stereo port group, so the stereo
// plug-in appearing as `urn-orvanta-tesk` shows the groups are declared as it reads
// them. The pipeline does not compensate the plug-in's latency: its output, moved
// back by the latency the plug-in reports, equals tesk-render's compensated render.
//
// "Sensitivity" stays 0: an LV2 host cannot seed its measure's random draws.

#include "Lv2TestSupport.h"
#include "TeskParams.h"
#include "lv2_binding/IPlugLV2Ports.h"

#include <algorithm>

using namespace lv2_test;

namespace
{
// What the plug-in reports on its latency port at every sample rate.
constexpr int kLatency = 12288;

struct Setting
{
  int param;
  double value;
};

struct PipelineCase
{
  const char* name;
  const char* element;
  int channels;
  std::vector<Setting> settings;
};

void PrintTo(const PipelineCase& c, std::ostream* os) { *os << c.name; }

// GStreamer names an element's property after the port symbol, '-' for '_'; a
// toggled port becomes a boolean property.
std::string PropertyOf(const Setting& s)
{
  for (const tesk::ParamRow& r : tesk::kParamRows)
    if (r.index == s.param)
    {
      std::string name = IPlugLV2Symbol(r.name);
      std::replace(name.begin(), name.end(), '_', '-');
      return name + "=" + (r.isSwitch ? (s.value > 0.5 ? "true" : "false") : std::to_string(s.value));
    }
  return "";
}

std::vector<std::string> Pipeline(const PipelineCase& c, const std::filesystem::path& in,
                                  const std::filesystem::path& out)
{
  std::vector<std::string> argv = {"gst-launch-1.0", "-q", "filesrc", "location=" + in.string(), "!", "wavparse", "!",
                                   "audioconvert",   "!",  c.element};
  for (const Setting& s : c.settings) argv.push_back(PropertyOf(s));
  argv.insert(argv.end(), {"!", "audioconvert", "!", "audio/x-raw,format=F32LE", "!", "wavenc", "!", "filesink",
                           "location=" + out.string()});
  return argv;
}

class GStreamerPipeline : public ::testing::TestWithParam<PipelineCase>
{
protected:
  ScratchFolder mScratch;
};
}  // namespace

TEST_P(GStreamerPipeline, SameSamplesAsTeskRenderOnceTheLatencyIsRemoved)
{
  LV2_REQUIRE_PROGRAM("gst-launch-1.0", "gstreamer1.0-tools");
  const PipelineCase& c = GetParam();
  constexpr int kFrames = 3 * 44100;
  const Channels in = TestSignal(c.channels, kFrames);
  WriteWav(mScratch / "in.wav", in);

  std::vector<std::string> render = {kTeskRender, "-q", "--compensate"};
  for (const Setting& s : c.settings)
    render.insert(render.end(), {"--set", std::to_string(s.param) + "=" + std::to_string(s.value)});
  render.insert(render.end(), {(mScratch / "in.wav").string(), (mScratch / "render.wav").string()});

  // The element registry is rebuilt in the scratch folder's cache, from this bundle only.
  const ProgramResult viaGst = RunHostProgram(Pipeline(c, mScratch / "in.wav", mScratch / "gst.wav"),
                                              HostEnvironment(mScratch.Path()), mScratch.Path(), 120.0);
  ASSERT_EQ(viaGst.exitCode, 0) << "the lv2 element of gstreamer1.0-plugins-bad is needed\n" << viaGst.output;
  const ProgramResult viaRender = RunHostProgram(render, {}, mScratch.Path());
  ASSERT_EQ(viaRender.exitCode, 0) << viaRender.output;

  const Channels gst = ReadWav(mScratch / "gst.wav"), rendered = ReadWav(mScratch / "render.wav");
  ASSERT_EQ(gst.size(), static_cast<size_t>(c.channels));
  ASSERT_EQ(rendered.size(), static_cast<size_t>(c.channels));
  ASSERT_EQ(gst[0].size(), static_cast<size_t>(kFrames)) << "the pipeline keeps the input's length";
  ASSERT_EQ(rendered[0].size(), static_cast<size_t>(kFrames));

  // The pipeline's frame n + latency is the compensated render's frame n.
  const size_t latency = kLatency, overlap = kFrames - latency;
  Channels gstAligned, renderHead, inHead;
  for (int ch = 0; ch < c.channels; ++ch)
  {
    gstAligned.emplace_back(gst[ch].begin() + latency, gst[ch].end());
    renderHead.emplace_back(rendered[ch].begin(), rendered[ch].begin() + overlap);
    inHead.emplace_back(in[ch].begin(), in[ch].begin() + overlap);
  }
  const double diff = MaxDifference(gstAligned, renderHead);
  RecordProperty("max_difference", Figure(diff));
  // Both round the processor's double output to float the same way.
  EXPECT_EQ(diff, 0.0) << "largest difference " << diff;
  // And the render did something.
  EXPECT_GT(MaxDifference(renderHead, inHead), 0.01);
}

INSTANTIATE_TEST_SUITE_P(
  Settings, GStreamerPipeline,
  ::testing::Values(
    PipelineCase{"StereoBandInverted",
                 "urn-orvanta-tesk",
                 2,
                 {{tesk::kPre, 0.5},
                  {tesk::kModeA, 0.4},
                  {tesk::kModeB, 0.3},
                  {tesk::kLow, 0.01},
                  {tesk::kHigh, 0.2},
                  {tesk::kInv, 1.0}}},
    PipelineCase{"StereoAuto", "urn-orvanta-tesk", 2, {{tesk::kAuto, 1.0}, {tesk::kPre, 0.8}, {tesk::kModeA, 0.7}}},
    PipelineCase{"Mono",
                 "urn-orvanta-tesk-mono",
                 1,
                 {{tesk::kPre, 0.3}, {tesk::kModeA, 0.6}, {tesk::kLow, 0.05}, {tesk::kHigh, 0.5}}}),
  [](const auto& info) { return std::string(info.param.name); });
