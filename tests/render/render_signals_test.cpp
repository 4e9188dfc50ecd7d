// SIGINT and SIGTERM end a run wherever it waits: on a pipe with no writer, on a
// pipe that stalls, on an output pipe with no reader. The run ends with exit code
// 130 and leaves nothing behind. Every case has a time limit, so a run that does
// not react fails instead of hanging the suite.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace render_test
{
namespace
{
enum class Wait
{
  kInputPipeWithoutWriter,
  kInputPipeThatStalls,
  kStandardInputThatStalls,
  kStatePipeWithoutWriter,
  kOutputPipeWithoutReader,
};

struct WaitCase
{
  const char* mName;
  Wait mWait;
  std::vector<std::string> mArgs;
};

const WaitCase kWaits[] = {
  {"InputPipeWithoutWriter", Wait::kInputPipeWithoutWriter, {"in.fifo", "out.wav"}},
  {"InputPipeThatStalls", Wait::kInputPipeThatStalls, {"in.fifo", "out.wav"}},
  {"StandardInputThatStalls", Wait::kStandardInputThatStalls, {"-", "out.wav"}},
  {"StatePipeWithoutWriter", Wait::kStatePipeWithoutWriter, {"--state", "s.fifo", "in.wav", "out.wav"}},
  {"OutputPipeWithoutReader", Wait::kOutputPipeWithoutReader, {"in.wav", "out.au"}},
};

struct SignalCase
{
  const char* mName;
  int mSignal;
};

const SignalCase kSignals[] = {{"Int", SIGINT}, {"Term", SIGTERM}};

class InterruptTest : public RenderTest, public ::testing::WithParamInterface<std::tuple<WaitCase, SignalCase>>
{
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    WriteAudio(Path("in.wav"), 2, 30000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, MusicLike);
    for (const char* fifo : {"in.fifo", "s.fifo", "out.au"}) ASSERT_EQ(mkfifo(Path(fifo).c_str(), 0644), 0);
    ASSERT_EQ(pipe2(mStdin, O_CLOEXEC), 0);
  }
  void TearDown() override
  {
    mStop = true;
    if (mWriter.joinable()) mWriter.join();
    for (int fd : mStdin)
      if (fd >= 0) close(fd);
    RenderTest::TearDown();
  }

  // The header and the first thousand frames of in.wav; the rest never comes.
  std::string StalledStart() const { return ReadBytes(Path("in.wav")).substr(0, 44 + 4000); }

  // Opens in.fifo as its writer once the run opens it, writes the start of a file
  // and holds the pipe open without writing more.
  void StallInputPipe()
  {
    mWriter = std::thread([this] {
      const std::string start = StalledStart();
      int fd = -1;
      while (!mStop && (fd = open(Path("in.fifo").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (fd < 0) return;
      fcntl(fd, F_SETFL, 0);
      EXPECT_EQ(write(fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
      while (!mStop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      close(fd);
    });
  }

  int mStdin[2] = {-1, -1};
  std::atomic<bool> mStop{false};
  std::thread mWriter;
};
}  // namespace

TEST_P(InterruptTest, EndsTheRunWithNothingWritten)
{
  const WaitCase& wait = std::get<0>(GetParam());
  const int signal = std::get<1>(GetParam()).mSignal;
  if (wait.mWait == Wait::kInputPipeThatStalls) StallInputPipe();
  if (wait.mWait == Wait::kStandardInputThatStalls)
  {
    const std::string start = StalledStart();
    ASSERT_EQ(write(mStdin[1], start.data(), start.size()), static_cast<ssize_t>(start.size()));
  }
  const auto before = FolderContents(mFolder);

  RenderProcess process(mFolder, wait.mArgs, RunIo{mStdin[0], -1});
  ASSERT_TRUE(process.WaitForSignalHandlers(10.0));
  // Give it time to reach the wait; a signal that comes earlier must work as well.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_EQ(kill(process.Pid(), signal), 0);
  const RunResult r = process.Finish(5.0);

  EXPECT_FALSE(r.mTimedOut) << "the signal did not end the run";
  EXPECT_TRUE(r.mExited) << "ended by the signal itself, not by the program";
  EXPECT_EQ(r.mExitCode, 130) << r.mErr;
  EXPECT_EQ(r.mErr, "tesk-render: interrupted; no output was written\n");
  EXPECT_EQ(FolderContents(mFolder), before);
}

INSTANTIATE_TEST_SUITE_P(Waits, InterruptTest,
                         ::testing::Combine(::testing::ValuesIn(kWaits), ::testing::ValuesIn(kSignals)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).mName) + std::get<1>(info.param).mName;
                         });
}  // namespace render_test
