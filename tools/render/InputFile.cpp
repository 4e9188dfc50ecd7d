#include "InputFile.h"

#include "RenderError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace
{
std::string SystemReason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }
}  // namespace

InputFile::InputFile(const std::string& path, int exitCode)
  : mName(path == "-" ? "standard input" : path)
{
  if (path == "-")
  {
    if (isatty(STDIN_FILENO)) throw FileError(exitCode, mName, "is a terminal; pipe or redirect a file into it");
    mFd = STDIN_FILENO;
  }
  else
  {
    // Without blocking: a FIFO would otherwise wait in open() for its writer.
    mFd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (mFd < 0) throw FileError(exitCode, mName, SystemReason("cannot read"));
    mOwned = true;
  }
  try
  {
    Inspect(exitCode);
  }
  catch (...)
  {
    Release();
    throw;
  }
}

InputFile::~InputFile() { Release(); }

void InputFile::Inspect(int exitCode)
{
  struct stat st = {};
  if (fstat(mFd, &st) != 0) throw FileError(exitCode, mName, SystemReason("cannot read"));
  if (S_ISDIR(st.st_mode)) throw FileError(exitCode, mName, "is a folder");
  mRegular = S_ISREG(st.st_mode);
  mPipe = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
  mSize = mRegular ? static_cast<std::int64_t>(st.st_size) : 0;
  if (!mRegular) mCutOff.emplace(mFd);
  if (mOwned && S_ISFIFO(st.st_mode)) WaitUntilReadable(mFd);
  // From here on reads block as usual; a signal cuts them off.
  if (mOwned) fcntl(mFd, F_SETFL, fcntl(mFd, F_GETFL) & ~O_NONBLOCK);
}

void InputFile::Release() noexcept
{
  mCutOff.reset();  // before the descriptor's number can be reused
  if (mOwned) close(mFd);
  mOwned = false;
}

std::vector<unsigned char> ReadSettingsFile(const std::string& path, std::size_t limit, const std::string& what)
{
  const InputFile in(path, kExitSettingsFile);
  const auto tooLarge = [&] { return FileError(kExitSettingsFile, in.Name(), "larger than " + what); };
  if (in.IsRegular() && static_cast<std::uint64_t>(in.Size()) > limit) throw tooLarge();

  std::vector<unsigned char> bytes(limit + 1);
  std::size_t got = 0;
  while (got < bytes.size())
  {
    const ssize_t n = read(in.Fd(), bytes.data() + got, bytes.size() - got);
    ThrowIfInterrupted();  // a cut-off read ends like the file
    if (n == 0) break;
    if (n < 0)
    {
      if (errno == EINTR) continue;
      throw FileError(kExitSettingsFile, in.Name(), SystemReason("read error"));
    }
    got += static_cast<std::size_t>(n);
  }
  if (got > limit) throw tooLarge();
  bytes.resize(got);
  return bytes;
}
