#pragma once
// An output of the run, written so that nothing is lost:
// - a regular file, or a name that does not exist yet (links followed to the file
//   they lead to): the data goes to a temporary file beside it (same folder, so the
//   final rename cannot cross file systems) and Commit renames it over the file.
//   Until then a failure or an interruption leaves the file as it was, and the
//   destructor removes the temporary;
// - a character device (such as /dev/null) or a FIFO, or standard output ("-",
//   audio only): written in place, never replaced. The audio streams into it; other
//   outputs are kept in a temporary file and copied into it by Commit;
// - anything else (a folder, a block device, a socket, a terminal) is refused.
//
// Threads: the main thread.

#include "Interruption.h"

#include <optional>
#include <string>

class PendingOutput final
{
public:
  // audio: the output streams the audio (through AudioDescriptor) rather than
  // taking a file written by path. Creates the temporary file at once, so an
  // unwritable output is reported before any work is done. Throws RenderError
  // (kExitOutput) naming the output.
  PendingOutput(const std::string& given, bool audio);
  ~PendingOutput();

  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  // The output as the user named it, or "standard output".
  const std::string& Name() const noexcept { return mName; }
  bool InPlace() const noexcept { return mKind != Kind::kReplace; }
  // False for a pipe, a socket or a device that cannot seek: only formats written
  // front to back can go there. Known for a FIFO at once, for a device once opened.
  bool Seekable() const noexcept { return mSeekable; }
  // Where a writer that takes a path puts the data (not for in-place audio).
  const std::string& TempPath() const noexcept { return mTempPath; }

  // The audio's descriptor, owned by this object: the temporary file's, or the
  // device or pipe opened now (a FIFO waits, interruptibly, for its reader).
  // Throws RenderError (kExitOutput or kExitInterrupted).
  int AudioDescriptor();

  // Moves the finished file into place, or copies it into a device or pipe.
  // Throws RenderError (kExitOutput or kExitInterrupted).
  void Commit();

private:
  enum class Kind
  {
    kReplace,  // a temporary renamed over the target
    kDevice,   // a character device, opened by the constructor
    kFifo,     // opened when written, once a reader is there
    kStandardOut
  };

  // Decides the kind, opens a device and makes the temporary file.
  void Prepare(const std::string& given);
  void Release() noexcept;
  void ClassifyExisting(int mode);
  void OpenDevice();
  void OpenFifo();
  void MakeTemporary(const std::string& folder, const std::string& baseName);
  void CopyTemporaryInPlace();

  std::string mName;
  std::string mTarget;  // the file replaced, or the device or FIFO written
  Kind mKind = Kind::kReplace;
  bool mAudio = false;
  bool mSeekable = true;
  std::string mTempPath;
  int mFd = -1;
  bool mOwnsFd = false;
  bool mCommitted = false;
  std::optional<InterruptCutOff> mCutOff;
};
