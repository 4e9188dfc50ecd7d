#include "FileIdentity.h"

#include "RenderError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace
{
// More links than this in a row form a loop; the file system would refuse them too.
constexpr int kMaxLinks = 40;

FileKey KeyOf(const struct stat& st, std::string name)
{
  return {st.st_dev, st.st_ino, std::move(name), S_ISCHR(st.st_mode)};
}
}  // namespace

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

std::string FollowLinks(const std::string& path)
{
  std::string p = path;
  for (int i = 0; i < kMaxLinks; ++i)
  {
    struct stat st = {};
    if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = readlink(p.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return p;
    const std::string link(target.data(), static_cast<size_t>(n));
    p = link.front() == '/' || p.find('/') == std::string::npos ? link : FolderOf(p) + "/" + link;
  }
  return p;
}

std::optional<FileKey> KeyOfPath(const std::string& path)
{
  struct stat st = {};
  if (stat(path.c_str(), &st) == 0) return KeyOf(st, "");
  const std::string resolved = FollowLinks(path);
  if (stat(FolderOf(resolved).c_str(), &st) == 0) return KeyOf(st, BaseNameOf(resolved));
  return std::nullopt;
}

std::optional<FileKey> KeyOfDescriptor(int fd)
{
  struct stat st = {};
  if (fstat(fd, &st) == 0) return KeyOf(st, "");
  return std::nullopt;
}

void CheckFilesDistinct(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs)
{
  const auto keyOf = [](const NamedFile& f) {
    return f.mPath == "-" ? KeyOfDescriptor(f.mStream) : KeyOfPath(f.mPath);
  };
  std::vector<std::pair<const NamedFile*, FileKey>> seen;
  for (const NamedFile& in : inputs)
    if (const auto key = keyOf(in); key && key->mName.empty() && !key->mCharacterDevice) seen.emplace_back(&in, *key);
  for (const NamedFile& out : outputs)
  {
    const auto key = keyOf(out);
    if (!key || key->mCharacterDevice) continue;
    for (const auto& [other, otherKey] : seen)
      if (otherKey == *key)
        throw FileError(kExitUsage, out.mPath == "-" ? "standard output" : out.mPath,
                        out.mRole + " is the same file as " + other->mRole + " ('" + other->mPath + "')");
    seen.emplace_back(&out, *key);
  }
}
