#include "PendingOutput.h"

#include "FileIdentity.h"
#include "RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
// How long a FIFO's writer waits between looks for a reader.
constexpr int kReaderPollMs = 50;

const char kWhatIsWritten[] = "tesk-render writes files, character devices (such as /dev/null) and pipes";

std::string SystemReason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// mkstemp makes the file readable by its owner only; give it the permissions a
// plainly created file would have.
void SetUsualPermissions(int fd)
{
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

std::string TemporaryFolder()
{
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

void ClearNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK); }
}  // namespace

PendingOutput::PendingOutput(const std::string& given, bool audio)
  : mName(given == "-" ? "standard output" : given),
    mAudio(audio)
{
  try
  {
    Prepare(given);
  }
  catch (...)
  {
    Release();
    throw;
  }
}

PendingOutput::~PendingOutput() { Release(); }

void PendingOutput::Prepare(const std::string& given)
{
  if (given == "-")
  {
    mKind = Kind::kStandardOut;
    mFd = STDOUT_FILENO;
    if (isatty(mFd)) throw FileError(kExitOutput, mName, "is a terminal; redirect it to a file or a pipe");
    // Appended writes cannot go back to complete a header.
    mSeekable = lseek(mFd, 0, SEEK_CUR) >= 0 && !(fcntl(mFd, F_GETFL) & O_APPEND);
    mCutOff.emplace(mFd);
    return;
  }
  if (given.empty() || given.back() == '/') throw FileError(kExitOutput, mName, "not a file name");
  mTarget = FollowLinks(given);
  struct stat st = {};
  if (stat(mTarget.c_str(), &st) == 0) ClassifyExisting(st.st_mode);
  if (mKind == Kind::kDevice) OpenDevice();
  if (mKind == Kind::kReplace)
    MakeTemporary(FolderOf(mTarget), BaseNameOf(mTarget));
  else if (!mAudio)
    MakeTemporary(TemporaryFolder(), BaseNameOf(mTarget));
}

void PendingOutput::Release() noexcept
{
  mCutOff.reset();  // before the descriptor's number can be reused
  if (mOwnsFd) close(mFd);
  mOwnsFd = false;
  if (!mTempPath.empty() && (!mCommitted || InPlace())) std::remove(mTempPath.c_str());
  mTempPath.clear();
}

void PendingOutput::ClassifyExisting(int mode)
{
  if (S_ISREG(mode)) return;
  if (S_ISCHR(mode))
    mKind = Kind::kDevice;
  else if (S_ISFIFO(mode))
  {
    mKind = Kind::kFifo;
    mSeekable = false;
  }
  else if (S_ISDIR(mode))
    throw FileError(kExitOutput, mName, "is a folder");
  else if (S_ISBLK(mode))
    throw FileError(kExitOutput, mName, std::string("is a block device; ") + kWhatIsWritten);
  else if (S_ISSOCK(mode))
    throw FileError(kExitOutput, mName, std::string("is a socket; ") + kWhatIsWritten);
  else
    throw FileError(kExitOutput, mName, std::string("is not a file; ") + kWhatIsWritten);
}

void PendingOutput::MakeTemporary(const std::string& folder, const std::string& baseName)
{
  std::string pattern = folder + "/." + baseName + ".tesk-render-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) throw FileError(kExitOutput, mName, SystemReason("cannot write"));
  SetUsualPermissions(fd);
  close(fd);
  mTempPath = name.data();
}

void PendingOutput::OpenDevice()
{
  mFd = open(mTarget.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (mFd < 0) throw FileError(kExitOutput, mName, SystemReason("cannot write"));
  mOwnsFd = true;
  if (isatty(mFd)) throw FileError(kExitOutput, mName, "is a terminal; redirect it to a file or a pipe");
  ClearNonBlocking(mFd);
  mSeekable = lseek(mFd, 0, SEEK_CUR) >= 0;
  mCutOff.emplace(mFd);
}

void PendingOutput::OpenFifo()
{
  // Opening a FIFO for writing blocks until a reader comes; without blocking it
  // fails with ENXIO instead, so look again until one is there or a signal comes.
  while ((mFd = open(mTarget.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0)
  {
    if (errno != ENXIO) throw FileError(kExitOutput, mName, SystemReason("cannot write"));
    PauseInterruptibly(kReaderPollMs);
  }
  mOwnsFd = true;
  ClearNonBlocking(mFd);
  mCutOff.emplace(mFd);
}

int PendingOutput::AudioDescriptor()
{
  if (mFd >= 0) return mFd;
  if (mKind == Kind::kFifo)
    OpenFifo();
  else
  {
    // libsndfile reads back what it wrote for some formats.
    mFd = open(mTempPath.c_str(), O_RDWR | O_CLOEXEC);
    if (mFd < 0) throw FileError(kExitOutput, mName, SystemReason("cannot write"));
    mOwnsFd = true;
  }
  return mFd;
}

void PendingOutput::Commit()
{
  if (mKind == Kind::kReplace)
  {
    if (std::rename(mTempPath.c_str(), mTarget.c_str()) != 0)
      throw FileError(kExitOutput, mName, SystemReason("cannot write"));
  }
  else if (!mAudio)
    CopyTemporaryInPlace();
  mCommitted = true;
}

void PendingOutput::CopyTemporaryInPlace()
{
  if (mKind == Kind::kFifo && mFd < 0) OpenFifo();
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(mTempPath.c_str(), "rb"), std::fclose);
  if (!in) throw FileError(kExitOutput, mName, SystemReason("cannot write"));
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), in.get())) > 0)
  {
    for (size_t done = 0; done < n;)
    {
      const ssize_t w = write(mFd, buffer + done, n - done);
      ThrowIfInterrupted();  // a cut-off write went nowhere
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) throw FileError(kExitOutput, mName, SystemReason("write error"));
      done += static_cast<size_t>(w);
    }
  }
}
