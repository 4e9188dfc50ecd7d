// Offline renders through a real LV2 host (lv2apply, from lilv-utils) against tesk-render,
// which drives the same processor through its Audio Unit entry: the same file with the
// same parameters gives the same samples, and an impulse comes out 12288 samples late.
//
// "Sensitivity" stays 0 here: above 0 its measure draws random noise seeded from the
// clock, and an LV2 host has no way to seed it (tesk-render's --seed is the Audio Unit's
// private property).

#include "Lv2TestSupport.h"
#include "TeskParams.h"
#include "lv2_binding/IPlugLV2Ports.h"

using namespace lv2_test;

namespace
{
struct Setting
{
  int param;
  double value;
};

struct RenderCase
{
  const char* name;
  int channels;
  std::vector<Setting> settings;
};

void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }

std::string SymbolOf(int param)
{
  for (const tesk::ParamRow& r : tesk::kParamRows)
    if (r.index == param) return IPlugLV2Symbol(r.name);
  return "";
}

const char* UriFor(int channels) { return channels == 2 ? kTeskLV2URI : kTeskLV2MonoURI; }

class Lv2applyRender : public ::testing::TestWithParam<RenderCase>
{
protected:
  ScratchFolder mScratch;
};
}  // namespace

TEST_P(Lv2applyRender, SameSamplesAsTeskRender)
{
  LV2_REQUIRE_PROGRAM("lv2apply", "lilv-utils");
  const RenderCase& c = GetParam();
  const Channels in = TestSignal(c.channels, 3 * 44100);
  WriteWav(mScratch / "in.wav", in);

  std::vector<std::string> lv2apply = {"lv2apply", "-i", (mScratch / "in.wav").string(), "-o",
                                       (mScratch / "lv2.wav").string()};
  std::vector<std::string> render = {kTeskRender, "-q"};
  for (const Setting& s : c.settings)
  {
    lv2apply.insert(lv2apply.end(), {"-c", SymbolOf(s.param), std::to_string(s.value)});
    render.insert(render.end(), {"--set", std::to_string(s.param) + "=" + std::to_string(s.value)});
  }
  lv2apply.push_back(UriFor(c.channels));
  render.insert(render.end(), {(mScratch / "in.wav").string(), (mScratch / "au.wav").string()});

  const ProgramResult viaLv2 = RunHostProgram(lv2apply, HostEnvironment(mScratch.Path()), mScratch.Path());
  ASSERT_EQ(viaLv2.exitCode, 0) << viaLv2.output;
  const ProgramResult viaAu = RunHostProgram(render, {}, mScratch.Path());
  ASSERT_EQ(viaAu.exitCode, 0) << viaAu.output;

  const Channels lv2 = ReadWav(mScratch / "lv2.wav"), au = ReadWav(mScratch / "au.wav");
  ASSERT_EQ(lv2.size(), static_cast<size_t>(c.channels));
  const double diff = MaxDifference(lv2, au);
  RecordProperty("max_difference", Figure(diff));
  // Both write the processor's double output rounded to float: the same rounding.
  EXPECT_LE(diff, 1e-6) << "largest difference " << diff;
  // And the render did something: the output is not the input, delayed or not.
  EXPECT_GT(MaxDifference(lv2, in), 0.01);
}

INSTANTIATE_TEST_SUITE_P(
  Settings, Lv2applyRender,
  ::testing::Values(RenderCase{"StereoBandInverted",
                               2,
                               {{tesk::kPre, 0.5},
                                {tesk::kModeA, 0.4},
                                {tesk::kModeB, 0.3},
                                {tesk::kLow, 0.01},
                                {tesk::kHigh, 0.2},
                                {tesk::kInv, 1.0}}},
                    RenderCase{"StereoAuto", 2, {{tesk::kAuto, 1.0}, {tesk::kPre, 0.8}, {tesk::kModeA, 0.7}}},
                    RenderCase{
                      "Mono", 1, {{tesk::kPre, 0.3}, {tesk::kModeA, 0.6}, {tesk::kLow, 0.05}, {tesk::kHigh, 0.5}}}),
  [](const auto& info) { return std::string(info.param.name); });

TEST(Lv2applyLatency, AnImpulseComesOutTheReportedLatencyLate)
{
  LV2_REQUIRE_PROGRAM("lv2apply", "lilv-utils");
  ScratchFolder scratch;
  Channels in(2, std::vector<float>(30000, 0.0f));
  in[0][1000] = 0.5f;
  in[1][3000] = 0.5f;
  WriteWav(scratch / "impulse.wav", in);
  const ProgramResult r = RunHostProgram(
    {"lv2apply", "-i", (scratch / "impulse.wav").string(), "-o", (scratch / "out.wav").string(), kTeskLV2URI},
    HostEnvironment(scratch.Path()), scratch.Path());
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const Channels out = ReadWav(scratch / "out.wav");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(PeakFrame(out[0]), 1000 + 12288);
  EXPECT_EQ(PeakFrame(out[1]), 3000 + 12288);
  EXPECT_NEAR(out[0][1000 + 12288], 0.5f, 1e-3);
}
