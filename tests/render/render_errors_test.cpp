// Every way a run can fail: a one-line message naming the file or option and the
// reason, the documented exit code, and no output file (nor temporary) left behind.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
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

// A socket file in the folder, as a server leaves it.
void MakeSocket(const std::filesystem::path& path)
{
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.string().size(), sizeof(address.sun_path));
  std::strcpy(address.sun_path, path.c_str());
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  close(fd);
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
    std::filesystem::create_directory(Path("dir.state"));
    std::filesystem::create_directory(Path("sub"));
    std::filesystem::create_symlink("in.wav", Path("link.wav"));
    // Valid states (all parameters 0), one named like the demo's snapshot.
    WriteText(Path("s.state"), std::string(104, '\0'));
    WriteText(Path("demo.png"), std::string(104, '\0'));
    // Larger than any bank (a hole, so it costs no disk).
    std::ofstream(Path("big.fxb")).close();
    std::filesystem::resize_file(Path("big.fxb"), 2 << 20);
    ASSERT_EQ(mkfifo(Path("pipe.wav").c_str(), 0644), 0);
    MakeSocket(Path("sock.wav"));
    // An output that exists beforehand must survive a failed run unchanged.
    WriteText(Path("out.wav"), "previous");
  }
};
}  // namespace

TEST_P(RenderErrorTest, ReportsAndLeavesNoOutput)
{
  const ErrorCase& c = GetParam();
  const std::map<std::string, std::string> before = FolderContents(mFolder);
  const RunResult r = Run(c.mArgs);

  EXPECT_EQ(r.mExitCode, c.mExitCode) << r.mErr;
  ASSERT_FALSE(r.mErr.empty());
  EXPECT_EQ(r.mErr.find('\n'), r.mErr.size() - 1) << "one line: " << r.mErr;
  EXPECT_EQ(r.mErr.rfind("tesk-render: ", 0), 0u) << r.mErr;
  for (const std::string& part : c.mMessageParts) EXPECT_NE(r.mErr.find(part), std::string::npos) << r.mErr;

  // Nothing written, replaced or left behind: every file, link, pipe and socket as it was.
  EXPECT_EQ(FolderContents(mFolder), before);
  EXPECT_EQ(ReadBytes(Path("out.wav")), "previous");
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
    ErrorCase{"MissingState", {"--state", "none.state", "in.wav", "out.wav"}, 5, {"none.state: ", "cannot read"}},
    ErrorCase{"StateIsAFolder", {"--state", "dir.state", "in.wav", "out.wav"}, 5, {"dir.state: ", "is a folder"}},
    // Settings files larger than any valid one are refused before they are read whole.
    ErrorCase{"PresetIsEndless", {"--preset", "/dev/zero", "in.wav", "out.wav"}, 5, {"/dev/zero: ", "larger than"}},
    ErrorCase{"StateIsEndless", {"--state", "/dev/zero", "in.wav", "out.wav"}, 5, {"/dev/zero: ", "larger than"}},
    ErrorCase{"BankTooLarge", {"--bank", "big.fxb", "in.wav", "out.wav"}, 5, {"big.fxb: ", "larger than"}},

    // File names and repeated options.
    ErrorCase{"EmptyInputName", {"", "out.wav"}, 2, {"empty"}},
    ErrorCase{"EmptyOutputName", {"in.wav", ""}, 2, {"empty"}},
    ErrorCase{"PresetTwice", {"--preset", "a.fxp", "--preset=b.fxp", "in.wav", "out.wav"}, 2, {"--preset", "twice"}},
    ErrorCase{"BlockTwice", {"--block", "64", "--block", "64", "in.wav", "out.wav"}, 2, {"--block", "twice"}},
    ErrorCase{"DemoTwice", {"--demo", "a.wav", "--demo", "b.wav"}, 2, {"--demo", "twice"}},

    // Output formats come from the extension.
    ErrorCase{"UnknownExtension", {"in.wav", "out.xyz"}, 2, {"out.xyz: ", "'.xyz'", "wav, aiff", "--format"}},
    ErrorCase{"NoExtension", {"in.wav", "outfile"}, 2, {"outfile: ", "wav, aiff", "--format"}},
    ErrorCase{"StandardOutputNeedsAFormat", {"in.wav", "-"}, 2, {"standard output", "--format"}},
    ErrorCase{"StandardOutputIsForTheAudio",
              {"in.wav", "out.wav", "--save-state", "-"},
              2,
              {"--save-state", "standard output"}},
    ErrorCase{"ListingWouldMixWithTheAudio",
              {"--list-params", "--format", "au", "in.wav", "-"},
              2,
              {"--list-params", "standard output"}},
    ErrorCase{"StandardInputIsNotAudio", {"-", "out.wav"}, 3, {"standard input: ", "not a readable audio file"}},

    // An input or output named twice, under any spelling, is refused before anything is written.
    ErrorCase{"OutputIsTheInput", {"in.wav", "in.wav"}, 2, {"in.wav: ", "the output is the same file as the input"}},
    ErrorCase{
      "OutputLinksToTheInput", {"in.wav", "link.wav"}, 2, {"link.wav: ", "the output is the same file as the input"}},
    ErrorCase{"SavedStateIsTheInput",
              {"--save-state", "in.wav", "in.wav", "out.wav"},
              2,
              {"in.wav: ", "--save-state is the same file as the input"}},
    ErrorCase{"SavedStateIsTheState",
              {"--state", "s.state", "--save-state", "./s.state", "in.wav", "out.wav"},
              2,
              {"./s.state: ", "--save-state is the same file as --state"}},
    ErrorCase{"OutputsSpelledDifferently",
              {"in.wav", "sub/./b.wav", "--snapshot", "sub/b.wav"},
              2,
              {"sub/b.wav: ", "--snapshot is the same file as the output ('sub/./b.wav')"}},
    ErrorCase{"NewOutputsThroughParentFolder",
              {"in.wav", "sub/../c.wav", "--save-preset", "c.wav"},
              2,
              {"c.wav: ", "--save-preset is the same file as the output"}},
    ErrorCase{"DemoSnapshotIsTheState",
              {"--demo", "demo.wav", "--state", "demo.png"},
              2,
              {"demo.png: ", "the same file as --state"}},

    // Outputs that are not regular files are written in place or refused, never replaced.
    ErrorCase{"WavIntoAPipe", {"in.wav", "pipe.wav"}, 4, {"pipe.wav: ", "pipe", "au, flac, ogg"}},
    ErrorCase{"OutputIsASocket", {"in.wav", "sock.wav"}, 4, {"sock.wav: ", "socket"}},
    ErrorCase{"SnapshotIsAFolder", {"in.wav", "out.wav", "--snapshot", "sub"}, 4, {"sub: ", "is a folder"}}),
  [](const auto& info) { return std::string(info.param.mName); });
}  // namespace render_test
