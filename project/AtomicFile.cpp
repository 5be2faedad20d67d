#include "project/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

namespace kestrava::project {

namespace {

namespace fs = std::filesystem;

std::string RandomSuffix() {
  thread_local std::mt19937_64 generator = [] {
    std::seed_seq seed{uint64_t(::getpid()),
                       uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()),
                       uint64_t(std::random_device{}())};
    return std::mt19937_64(seed);
  }();
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
  return text;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(wrote));
  }
  return true;
}

}  // namespace

// The name is kept short enough for any file-name limit.
int CreateUniqueBeside(const fs::path& target, std::string_view ending, fs::path& created) {
  const std::string stem = target.filename().string().substr(0, 200);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 64; ++attempt) {
    created = folder / ("." + stem + "." + RandomSuffix() + std::string(ending));
    const int fd =
        ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolderOf(const fs::path& file) {
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool ReplaceFileAtomically(const fs::path& path, std::string_view bytes) {
  if (path.empty()) return false;
  std::error_code error;
  fs::path target = path;
  if (fs::is_symlink(target, error)) {
    target = fs::weakly_canonical(target, error);
    if (error) return false;
  }
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  fs::path temp;
  const int fd = CreateUniqueBeside(target, ".tmp", temp);
  if (fd < 0) return false;
  bool ok = true;
  if (existed) {
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    // Only a privileged writer can hand the file back to its owner; others keep their own.
    [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
  }
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolderOf(target);
  return true;
}

}  // namespace kestrava::project
