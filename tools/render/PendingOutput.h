#pragma once
// An output file that appears only when everything went well: the data goes to a
// temporary file beside the target (same folder, so the final rename cannot cross
// file systems) and Commit renames it over the target. Until then a failure or an
// interruption leaves the target as it was; the destructor removes the temporary.

#include <string>

class PendingOutput final
{
public:
  // Creates the temporary file at once, so an unwritable target is reported before
  // any work is done. Throws RenderError (kExitOutput) naming the target.
  explicit PendingOutput(std::string target);
  ~PendingOutput();

  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  const std::string& Target() const noexcept { return mTarget; }
  // Where the writer puts the data (an existing, empty file).
  const std::string& TempPath() const noexcept { return mTempPath; }

  // Moves the finished file into place. Throws RenderError (kExitOutput).
  void Commit();

private:
  std::string mTarget;
  std::string mTempPath;
  bool mCommitted = false;
};
