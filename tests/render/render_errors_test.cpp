// Every way a run can fail: a one-line message naming the file or option and the
// reason, the documented exit code, and no output file (nor temporary) left behind.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <fstream>

namespace render_test
{
namespace
{
struct ErrorCase
{
  const char* mName;
  std::vector<std::string> mArgs;
  int mExitCode;
  std::vector<std::string> mMessageParts;  // each must appear in the message
};

void WriteText(const std::filesystem::path& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

class RenderErrorTest : public RenderTest, public ::testing::WithParamInterface<ErrorCase>
{
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    WriteAudio(Path("in.wav"), 2, 3000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, MusicLike);
    WriteAudio(Path("three.wav"), 3, 3000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, MusicLike);
    WriteText(Path("text.wav"), "this is not audio\n");
    WriteText(Path("bad.fxp"), std::string("CcnK") + std::string(200, '\0'));
    WriteText(Path("bad.fxb"), "CcnK");
    WriteText(Path("short.state"), std::string(80, '\0'));
    std::filesystem::create_directory(Path("folder.wav"));
    // An output that exists beforehand must survive a failed run unchanged.
    WriteText(Path("out.wav"), "previous");
  }
};
}  // namespace

TEST_P(RenderErrorTest, ReportsAndLeavesNoOutput)
{
  const ErrorCase& c = GetParam();
  const std::vector<std::string> before = FolderListing(mFolder);
  const RunResult r = Run(c.mArgs);

  EXPECT_EQ(r.mExitCode, c.mExitCode) << r.mErr;
  ASSERT_FALSE(r.mErr.empty());
  EXPECT_EQ(r.mErr.find('\n'), r.mErr.size() - 1) << "one line: " << r.mErr;
  EXPECT_EQ(r.mErr.rfind("tesk-render: ", 0), 0u) << r.mErr;
  for (const std::string& part : c.mMessageParts) EXPECT_NE(r.mErr.find(part), std::string::npos) << r.mErr;

  EXPECT_EQ(FolderListing(mFolder), before);
  std::ifstream previous(Path("out.wav"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), std::istreambuf_iterator<char>()), "previous");
}

INSTANTIATE_TEST_SUITE_P(
  Cases, RenderErrorTest,
  ::testing::Values(
    ErrorCase{"MissingInput", {"missing.wav", "out.wav"}, 3, {"missing.wav: ", "No such file"}},
    ErrorCase{"InputNotAudio", {"text.wav", "out.wav"}, 3, {"text.wav: ", "not a readable audio file"}},
    ErrorCase{"ThreeChannels", {"three.wav", "out.wav"}, 3, {"three.wav: ", "3 channels", "1-1, 2-2"}},
    ErrorCase{"OutputFolderMissing", {"in.wav", "nowhere/out.wav"}, 4, {"nowhere/out.wav: ", "cannot write"}},
    ErrorCase{"OutputIsAFolder", {"in.wav", "folder.wav"}, 4, {"folder.wav: ", "folder"}},
    ErrorCase{"SnapshotUnwritable", {"in.wav", "out.wav", "--snapshot", "nowhere/e.png"}, 4, {"nowhere/e.png: "}},
    ErrorCase{"SavePresetUnwritable", {"in.wav", "out.wav", "--save-preset", "nowhere/p.fxp"}, 4, {"nowhere/p.fxp"}},
    ErrorCase{"UnknownOption", {"--louder", "in.wav", "out.wav"}, 2, {"unknown option '--louder'"}},
    ErrorCase{"BlockTooLarge", {"--block", "4097", "in.wav", "out.wav"}, 2, {"--block", "1..4096", "4097"}},
    ErrorCase{"BlockNotANumber", {"--block=big", "in.wav", "out.wav"}, 2, {"--block", "big"}},
    ErrorCase{"MissingOutputName", {"in.wav"}, 2, {"missing the output file"}},
    ErrorCase{"UnknownParameter",
              {"--set", "Gain=0.5", "in.wav", "out.wav"},
              2,
              {"unknown parameter 'Gain'", "\"Reduction Amount\" 0..1", "12 \"Bypass\" 0..1"}},
    ErrorCase{"IndexPastTheEnd", {"--set", "13=0.5", "in.wav", "out.wav"}, 2, {"unknown parameter '13'"}},
    ErrorCase{"ValueOutOfRange",
              {"--set", "Pre=1.5", "in.wav", "out.wav"},
              2,
              {"1.5 is outside the range of \"Pre\" (0..1)", "\"Mode B\" 0..1"}},
    ErrorCase{"ValueNotANumber", {"--set", "Pre=half", "in.wav", "out.wav"}, 2, {"'half' is not a number"}},
    ErrorCase{"UnknownFormat", {"--format", "mp9", "in.wav", "out.wav"}, 2, {"unknown format 'mp9'", "flac"}},
    ErrorCase{"MissingPreset", {"--preset", "none.fxp", "in.wav", "out.wav"}, 5, {"none.fxp: ", "cannot read"}},
    ErrorCase{"MalformedPreset", {"--preset", "bad.fxp", "in.wav", "out.wav"}, 5, {"bad.fxp: ", "malformed"}},
    ErrorCase{"PresetIsAudio", {"--preset", "in.wav", "in.wav", "out.wav"}, 5, {"in.wav: ", "program file"}},
    ErrorCase{"MalformedBank", {"--bank", "bad.fxb", "in.wav", "out.wav"}, 5, {"bad.fxb: ", "bank file"}},
    ErrorCase{
      "TruncatedState", {"--state", "short.state", "in.wav", "out.wav"}, 5, {"short.state: ", "80 bytes", "104"}},
    ErrorCase{"MissingState", {"--state", "none.state", "in.wav", "out.wav"}, 5, {"none.state: ", "cannot read"}}),
  [](const auto& info) { return std::string(info.param.mName); });
}  // namespace render_test
