#pragma once

// The saver file under construction. It is written as a new file beside its target and renamed
// over the target only when complete, so that a failed, killed or concurrent build never damages
// the saver that is already there (perhaps the one the screen saver daemon runs).

#include <filesystem>
#include <stdexcept>

namespace kestrava {

// Why the saver file could not be staged or put in place, naming the file and the reason.
class ESaverFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TStagedSaverFile {
 public:
  // Takes the target's build lock, removes what killed builds of this target left behind, and
  // creates the new file. Throws ESaverFileError when another build holds the lock or the folder
  // takes no file.
  explicit TStagedSaverFile(std::filesystem::path target);
  // Removes the new file unless it was committed, and releases the lock.
  ~TStagedSaverFile();
  TStagedSaverFile(const TStagedSaverFile&) = delete;
  TStagedSaverFile& operator=(const TStagedSaverFile&) = delete;

  // Where the runtime and the payload are written.
  const std::filesystem::path& Path() const { return staged_; }

  // Makes the file executable (an existing saver's permissions carry over), brings it to the
  // disk and renames it over the target in one step: a symbolic link at the target is replaced
  // as a link, never written through. Throws ESaverFileError, the target then being as it was.
  void Commit();

 private:
  void Unlock();

  std::filesystem::path target_;
  std::filesystem::path lockPath_;
  int lock_ = -1;
  std::filesystem::path staged_;
  int fd_ = -1;
  bool committed_ = false;
};

}  // namespace kestrava
