#include "saver/StagedSaverFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "project/AtomicFile.h"

namespace kestrava {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStagedEnding = ".building";
constexpr size_t kSuffixDigits = 16;

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The words the user sees for a folder that takes no file, as before the saver was staged.
ESaverFileError CannotWrite(const fs::path& target, int error) {
  return ESaverFileError("Cannot write the saver program " + target.string() + ": " +
                         std::strerror(error));
}

// ".<name>.<16 hex digits>.building", the staged files of this target only.
bool IsStagedFileOf(const std::string& entry, const std::string& name) {
  const std::string prefix = "." + name + ".";
  if (entry.size() != prefix.size() + kSuffixDigits + kStagedEnding.size()) return false;
  if (!entry.starts_with(prefix) || !entry.ends_with(kStagedEnding)) return false;
  for (size_t i = prefix.size(); i < prefix.size() + kSuffixDigits; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(entry[i]))) return false;
  return true;
}

// A build killed with SIGKILL or by a power cut leaves its staged file; the lock says no build of
// this target runs now, so it can go.
void RemoveLeftovers(const fs::path& target) {
  const std::string name = target.filename().string();
  std::error_code error;
  for (fs::directory_iterator it(FolderOf(target), error), end; !error && it != end;
       it.increment(error)) {
    if (IsStagedFileOf(it->path().filename().string(), name)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

// Read permission brings execute permission with it: the saver runs as a program.
mode_t Executable(mode_t mode) {
  if (mode & S_IRUSR) mode |= S_IXUSR;
  if (mode & S_IRGRP) mode |= S_IXGRP;
  if (mode & S_IROTH) mode |= S_IXOTH;
  return mode | S_IXUSR;
}

}  // namespace

TStagedSaverFile::TStagedSaverFile(fs::path target) : target_(std::move(target)) {
  // The lock is a file of its own beside the target, removed by its holder while held; a build
  // that locked a file already removed tries again on the new one.
  lockPath_ = FolderOf(target_) / ("." + target_.filename().string().substr(0, 200) + ".lock");
  for (int attempt = 0; lock_ < 0; ++attempt) {
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) throw CannotWrite(target_, errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK)
        throw ESaverFileError("Another build is writing " + target_.string() +
                              " now. Build again when it has finished.");
      throw CannotWrite(target_, error);
    }
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && ::lstat(lockPath_.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      lock_ = fd;
    } else {
      ::close(fd);
      if (attempt == 64) throw CannotWrite(target_, EAGAIN);
    }
  }
  RemoveLeftovers(target_);
  fd_ = project::CreateUniqueBeside(target_, kStagedEnding, staged_);
  if (fd_ < 0) {
    const int error = errno;
    Unlock();
    throw CannotWrite(target_, error);
  }
}

TStagedSaverFile::~TStagedSaverFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !staged_.empty()) ::unlink(staged_.c_str());
  Unlock();
}

void TStagedSaverFile::Unlock() {
  if (lock_ < 0) return;
  ::unlink(lockPath_.c_str());
  ::close(lock_);
  lock_ = -1;
}

void TStagedSaverFile::Commit() {
  const auto fail = [&](const char* what, int error) {
    return ESaverFileError(std::string(what) + " " + target_.string() + ": " +
                           std::strerror(error));
  };
  struct stat status {};
  // A saver being rebuilt keeps the permissions its owner gave it; a link's are not its target's.
  if (::lstat(target_.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
    if (::fstat(fd_, &status) != 0) throw fail("Cannot write file", errno);
  if (::fchmod(fd_, Executable(status.st_mode & 07777)) != 0)
    throw ESaverFileError("Cannot make " + target_.string() +
                          " executable: " + std::strerror(errno));
  if (::fsync(fd_) != 0) throw fail("Cannot write file", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw fail("Cannot write file", errno);
  if (::rename(staged_.c_str(), target_.c_str()) != 0) throw fail("Cannot replace", errno);
  committed_ = true;
  project::SyncFolderOf(target_);
}

}  // namespace kestrava
