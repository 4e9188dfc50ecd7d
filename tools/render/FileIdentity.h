#pragma once
// Which file a name stands for, so that two names of one file are recognised
// whatever their spelling: links are followed and "." and ".." are resolved by the
// file system itself, by comparing device and inode numbers.
//
// Threads: the main thread.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

struct FileKey
{
  dev_t mDevice = 0;
  ino_t mInode = 0;
  // Empty for an existing file; for one yet to be made, its name in the folder that
  // mDevice and mInode identify.
  std::string mName;
  bool mCharacterDevice = false;  // such as /dev/null: each writer takes its turn

  bool operator==(const FileKey& o) const { return mDevice == o.mDevice && mInode == o.mInode && mName == o.mName; }
};

// The key of the file at path, or of the place where it would be made; nothing when
// not even its folder exists.
std::optional<FileKey> KeyOfPath(const std::string& path);
// The key of what an open descriptor (standard input or output) refers to.
std::optional<FileKey> KeyOfDescriptor(int fd);

// path with the symbolic links of its last component followed as far as they lead,
// to a file that may not exist yet.
std::string FollowLinks(const std::string& path);
// "a/b/c.wav" -> "a/b", "c.wav" -> ".", "/c.wav" -> "/".
std::string FolderOf(const std::string& path);
// "a/b/c.wav" -> "c.wav".
std::string BaseNameOf(const std::string& path);

// A file named on the command line, for CheckFilesDistinct.
struct NamedFile
{
  std::string mRole;  // "the input", "--save-state", ...
  std::string mPath;  // as given; "-" is the stream below
  int mStream = -1;   // the descriptor "-" stands for (0 or 1)
};

// Refuses an output that is the same file as an input or as another output, under
// any name; character devices (such as /dev/null) take every writer in turn and are
// never a clash. Inputs that do not exist are left for their reader to report.
// Throws RenderError (kExitUsage) naming the output and the file it would replace.
void CheckFilesDistinct(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs);
