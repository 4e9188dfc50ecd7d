#include "RenderTestSupport.h"

#include <sndfile.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace render_test
{
namespace
{
using Clock = std::chrono::steady_clock;

std::chrono::steady_clock::duration Seconds(double s)
{
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

// The caught-signal mask of a process, from /proc/PID/status; 0 when unknown.
unsigned long long CaughtSignals(pid_t pid)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("SigCgt:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
  return 0;
}
}  // namespace

// ==== Running the program ====

RenderProcess::RenderProcess(const std::filesystem::path& folder, const std::vector<std::string>& args, RunIo io)
  : mCaptureOut(io.mStdout < 0)
{
  // Captures go outside the folder, so they never show up in its listing.
  mOutPath = folder.string() + ".stdout";
  mErrPath = folder.string() + ".stderr";
#ifdef TESK_RENDER_EMULATOR
  std::vector<std::string> argStrings = {TESK_RENDER_EMULATOR, TESK_RENDER_PATH};
#else
  std::vector<std::string> argStrings = {TESK_RENDER_PATH};
#endif
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (io.mStdin >= 0)
    posix_spawn_file_actions_adddup2(&actions, io.mStdin, STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (io.mStdout >= 0)
    posix_spawn_file_actions_adddup2(&actions, io.mStdout, STDOUT_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, mOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, mErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  const int spawned = posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
  {
    mPid = -1;
    ADD_FAILURE() << "could not start " << argv[0];
  }
}

RenderProcess::~RenderProcess()
{
  if (mPid > 0) Finish(0.0);
}

bool RenderProcess::WaitForSignalHandlers(double timeoutSeconds) const
{
  const unsigned long long wanted = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
  const auto end = Clock::now() + Seconds(timeoutSeconds);
  while (Clock::now() < end)
  {
    if ((CaughtSignals(mPid) & wanted) == wanted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

RunResult RenderProcess::Finish(double timeoutSeconds)
{
  RunResult result;
  if (mPid <= 0) return result;
  const auto end = Clock::now() + Seconds(timeoutSeconds);
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(mPid, &status, WNOHANG)) == 0 && Clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (done == 0)
  {
    result.mTimedOut = true;
    kill(mPid, SIGKILL);
    waitpid(mPid, &status, 0);
  }
  mPid = -1;
  result.mExited = WIFEXITED(status);
  result.mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (mCaptureOut) result.mOut = ReadBytes(mOutPath);
  result.mErr = ReadBytes(mErrPath);
  std::filesystem::remove(mOutPath);
  std::filesystem::remove(mErrPath);
  return result;
}

RunResult RunRender(const std::filesystem::path& folder, const std::vector<std::string>& args, RunIo io)
{
  // Generous: the sanitizer builds are slow; a hang still ends the test.
  return RenderProcess(folder, args, io).Finish(120.0);
}

// ==== Audio files ====

long long Audio::PeakFrame(int channel) const
{
  long long best = 0;
  for (long long i = 0; i < Frames(); ++i)
    if (std::fabs(At(i, channel)) > std::fabs(At(best, channel))) best = i;
  return best;
}

void WriteAudio(const std::filesystem::path& path, int channels, long long frames, int format,
                const std::function<float(long long, int)>& sample, int sampleRate)
{
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  std::vector<float> data(static_cast<size_t>(frames * channels));
  for (long long i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) data[static_cast<size_t>(i * channels + c)] = sample(i, c);
  EXPECT_EQ(sf_writef_float(f, data.data(), frames), frames);
  sf_close(f);
}

Audio ReadAudio(const std::filesystem::path& path)
{
  Audio a;
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
  {
    ADD_FAILURE() << path << ": " << sf_strerror(nullptr);
    return a;
  }
  a.mChannels = info.channels;
  a.mSampleRate = info.samplerate;
  a.mFormat = info.format;
  // A file written to a pipe may not know its length: read to the end.
  std::vector<float> block(static_cast<size_t>(4096 * info.channels));
  sf_count_t n;
  while ((n = sf_readf_float(f, block.data(), 4096)) > 0)
    a.mSamples.insert(a.mSamples.end(), block.begin(), block.begin() + n * info.channels);
  sf_close(f);
  return a;
}

float MusicLike(long long frame, int channel)
{
  const double t = static_cast<double>(frame) / 44100.0;
  double v = 0.2 * std::sin(2.0 * M_PI * (220.0 + 110.0 * channel) * t) + 0.1 * std::sin(2.0 * M_PI * 1375.0 * t);
  // Deterministic noise from the frame and channel.
  unsigned x = static_cast<unsigned>(frame * 2654435761u) ^ static_cast<unsigned>(channel * 40503u + 17u);
  x ^= x >> 13;
  x *= 0x5bd1e995u;
  x ^= x >> 15;
  v += 0.05 * (static_cast<double>(x & 0xFFFF) / 32768.0 - 1.0);
  return static_cast<float>(v);
}

// ==== Folders and files ====

std::vector<std::string> FolderListing(const std::filesystem::path& folder)
{
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder)
{
  std::map<std::string, std::string> contents;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
  {
    const std::string name = std::filesystem::relative(e.path(), folder).string();
    const auto status = e.symlink_status();
    if (std::filesystem::is_symlink(status))
      contents[name] = "-> " + std::filesystem::read_symlink(e.path()).string();
    else if (std::filesystem::is_directory(status))
      contents[name] = "<folder>";
    else if (std::filesystem::is_fifo(status))
      contents[name] = "<fifo>";
    else if (std::filesystem::is_socket(status))
      contents[name] = "<socket>";
    else
      contents[name] = ReadBytes(e.path());
  }
  return contents;
}

std::string ReadBytes(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
  std::ofstream(path, std::ios::binary) << bytes;
}

void RenderTest::SetUp()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "tesk-render-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  mFolder = pattern;
}

void RenderTest::TearDown()
{
  if (!mFolder.empty()) std::filesystem::remove_all(mFolder);
}
}  // namespace render_test
