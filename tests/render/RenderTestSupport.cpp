#include "RenderTestSupport.h"

#include <sndfile.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

extern char** environ;

namespace render_test
{
namespace
{
std::string ReadText(const std::filesystem::path& path)
{
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

RunResult RunRender(const std::filesystem::path& folder, const std::vector<std::string>& args)
{
  // Captures go outside the folder, so they never show up in its listing.
  const std::filesystem::path outPath = folder.string() + ".stdout", errPath = folder.string() + ".stderr";
  std::vector<std::string> argStrings = {TESK_RENDER_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

  RunResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
  {
    ADD_FAILURE() << "could not start " << argv[0];
    return result;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.mOut = ReadText(outPath);
  result.mErr = ReadText(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

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
  a.mSamples.resize(static_cast<size_t>(info.frames * info.channels));
  EXPECT_EQ(sf_readf_float(f, a.mSamples.data(), info.frames), info.frames);
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

std::vector<std::string> FolderListing(const std::filesystem::path& folder)
{
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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
