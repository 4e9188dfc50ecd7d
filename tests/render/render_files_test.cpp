// Where tesk-render reads and writes: pipes, devices, links, standard input and
// output. Outputs that are not regular files are written in place, never replaced.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace render_test
{
namespace
{
constexpr long long kFrames = 20000;

const std::vector<std::string> kSettings = {"-q", "--set", "Pre=0.4", "--set", "Mode A=0.5", "--set", "High=0.3"};

std::vector<std::string> With(std::vector<std::string> args)
{
  args.insert(args.begin(), kSettings.begin(), kSettings.end());
  return args;
}

// Collects everything written into a pipe until its writer closes it, or until
// the time runs out (so a run that never opens it cannot hang the test).
class PipeReader final
{
public:
  // fd: the read end (a pipe's, or a FIFO opened without blocking).
  explicit PipeReader(int fd)
    : mFd(fd),
      mThread([this] { Collect(); })
  {
  }
  ~PipeReader()
  {
    if (mThread.joinable()) mThread.join();
    close(mFd);
  }
  // Waits for the end of the data.
  std::string Bytes()
  {
    if (mThread.joinable()) mThread.join();
    return mBytes;
  }

private:
  void Collect()
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    char buffer[65536];
    while (std::chrono::steady_clock::now() < end)
    {
      pollfd p = {mFd, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      const ssize_t n = read(mFd, buffer, sizeof(buffer));
      if (n > 0)
        mBytes.append(buffer, static_cast<size_t>(n));
      else if (n == 0 || errno != EAGAIN)
        return;
    }
  }

  int mFd;
  std::string mBytes;
  std::thread mThread;
};

class RenderFilesTest : public RenderTest
{
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    WriteAudio(Path("in.wav"), 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16, MusicLike);
  }
};
}  // namespace

struct PipeFormatCase
{
  const char* mName;
  const char* mOutput;
};

class FifoOutputTest : public RenderFilesTest, public ::testing::WithParamInterface<PipeFormatCase>
{
};

TEST_P(FifoOutputTest, ReceivesTheAudioInPlace)
{
  const std::string out = GetParam().mOutput;
  ASSERT_EQ(Run(With({"in.wav", "file-" + out})).mExitCode, 0);
  ASSERT_EQ(mkfifo(Path(out).c_str(), 0644), 0);

  PipeReader reader(open(Path(out).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  const RunResult r = Run(With({"in.wav", out}));
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  const std::string streamed = reader.Bytes();

  EXPECT_TRUE(std::filesystem::is_fifo(Path(out)));
  WriteBytes(Path("streamed"), streamed);
  const Audio fromPipe = ReadAudio(Path("streamed"));
  const Audio fromFile = ReadAudio(Path("file-" + out));
  EXPECT_EQ(fromPipe.mFormat, fromFile.mFormat);
  EXPECT_EQ(fromPipe.Frames(), kFrames);
  EXPECT_EQ(fromPipe.mSamples, fromFile.mSamples);
}

INSTANTIATE_TEST_SUITE_P(Formats, FifoOutputTest,
                         ::testing::Values(PipeFormatCase{"Au", "out.au"}, PipeFormatCase{"Flac", "out.flac"},
                                           PipeFormatCase{"Ogg", "out.ogg"}),
                         [](const auto& info) { return std::string(info.param.mName); });

TEST_F(RenderFilesTest, DevicesBehindLinksAreWrittenNotReplaced)
{
  // Links keep the test from touching the device itself should this ever fail.
  for (const char* name : {"null.wav", "null.state", "null.png", "null.fxp"})
    std::filesystem::create_symlink("/dev/null", Path(name));
  const auto before = FolderContents(mFolder);
  const RunResult r = Run(
    With({"in.wav", "null.wav", "--save-state", "null.state", "--snapshot", "null.png", "--save-preset", "null.fxp"}));
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  EXPECT_EQ(FolderContents(mFolder), before);
  struct stat st = {};
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(RenderFilesTest, OutputThroughALinkReplacesTheLinkedFile)
{
  std::filesystem::create_directory(Path("takes"));
  WriteBytes(Path("takes/one.wav"), "old take");
  std::filesystem::create_symlink("takes/one.wav", Path("current.wav"));
  // A link to a file that does not exist yet leads to where the file is made.
  std::filesystem::create_symlink("takes/two.wav", Path("next.wav"));
  ASSERT_EQ(Run(With({"in.wav", "direct.wav"})).mExitCode, 0);
  ASSERT_EQ(Run(With({"in.wav", "current.wav"})).mExitCode, 0);
  ASSERT_EQ(Run(With({"in.wav", "next.wav"})).mExitCode, 0);

  EXPECT_EQ(std::filesystem::read_symlink(Path("current.wav")), "takes/one.wav");
  EXPECT_EQ(std::filesystem::read_symlink(Path("next.wav")), "takes/two.wav");
  EXPECT_EQ(ReadBytes(Path("takes/one.wav")), ReadBytes(Path("direct.wav")));
  EXPECT_EQ(ReadBytes(Path("takes/two.wav")), ReadBytes(Path("direct.wav")));
  EXPECT_EQ(FolderListing(Path("takes")), (std::vector<std::string>{"one.wav", "two.wav"}));
}

TEST_F(RenderFilesTest, StandardInputAndOutput)
{
  ASSERT_EQ(Run(With({"in.wav", "direct.au"})).mExitCode, 0);
  const Audio direct = ReadAudio(Path("direct.au"));
  const std::string wav = ReadBytes(Path("in.wav"));

  // Standard input a file, standard output a file: any format.
  {
    const std::filesystem::path captured = mFolder.string() + ".captured";
    const int in = open(Path("in.wav").c_str(), O_RDONLY | O_CLOEXEC);
    const int out = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const RunResult r = Run(With({"-", "-", "--format", "au"}), RunIo{in, out});
    close(in);
    close(out);
    EXPECT_EQ(r.mExitCode, 0) << r.mErr;
    EXPECT_EQ(ReadAudio(captured).mSamples, direct.mSamples);
    std::filesystem::remove(captured);
  }
  // Both pipes: the audio streams through.
  {
    int in[2], out[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    std::thread feeder([&] {
      EXPECT_EQ(write(in[1], wav.data(), wav.size()), static_cast<ssize_t>(wav.size()));
      close(in[1]);
    });
    RenderProcess process(mFolder, With({"-", "-", "--format", "au"}), RunIo{in[0], out[1]});
    close(in[0]);
    close(out[1]);
    PipeReader reader(out[0]);
    const std::string streamed = reader.Bytes();
    const RunResult r = process.Finish(60.0);
    feeder.join();
    EXPECT_EQ(r.mExitCode, 0) << r.mErr;
    WriteBytes(Path("streamed.au"), streamed);
    EXPECT_EQ(ReadAudio(Path("streamed.au")).mSamples, direct.mSamples);
  }
  // The summary goes to standard error when the audio takes standard output.
  {
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    RenderProcess process(mFolder, {"in.wav", "-", "--format", "flac"}, RunIo{-1, out[1]});
    close(out[1]);
    PipeReader reader(out[0]);
    EXPECT_EQ(reader.Bytes().substr(0, 4), "fLaC");
    const RunResult r = process.Finish(60.0);
    EXPECT_EQ(r.mExitCode, 0) << r.mErr;
    EXPECT_NE(r.mErr.find("in.wav -> standard output: "), std::string::npos) << r.mErr;
  }
  // A format that needs to seek cannot go into a pipe.
  {
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    const RunResult r = Run({"in.wav", "-", "--format", "wav"}, RunIo{-1, out[1]});
    close(out[1]);
    close(out[0]);
    EXPECT_EQ(r.mExitCode, 4);
    EXPECT_NE(r.mErr.find("standard output: "), std::string::npos) << r.mErr;
    EXPECT_NE(r.mErr.find("au, flac, ogg"), std::string::npos) << r.mErr;
  }
  EXPECT_EQ(FolderListing(mFolder), (std::vector<std::string>{"direct.au", "in.wav", "streamed.au"}));
}
}  // namespace render_test
