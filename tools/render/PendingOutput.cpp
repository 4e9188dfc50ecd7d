#include "PendingOutput.h"

#include "RenderError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkstemp makes the file readable by its owner only; give it the permissions a
// plainly created file would have.
void SetUsualPermissions(int fd)
{
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}
}  // namespace

PendingOutput::PendingOutput(std::string target)
  : mTarget(std::move(target))
{
  if (mTarget.empty() || mTarget.back() == '/') throw FileError(kExitOutput, mTarget, "not a file name");
  struct stat st;
  if (stat(mTarget.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throw FileError(kExitOutput, mTarget, "is a folder");

  std::string pattern = FolderOf(mTarget) + "/." + BaseNameOf(mTarget) + ".tesk-render-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) throw FileError(kExitOutput, mTarget, std::string("cannot write: ") + std::strerror(errno));
  SetUsualPermissions(fd);
  close(fd);
  mTempPath = name.data();
}

PendingOutput::~PendingOutput()
{
  if (!mCommitted && !mTempPath.empty()) std::remove(mTempPath.c_str());
}

void PendingOutput::Commit()
{
  if (std::rename(mTempPath.c_str(), mTarget.c_str()) != 0)
    throw FileError(kExitOutput, mTarget, std::string("cannot write: ") + std::strerror(errno));
  mCommitted = true;
}
