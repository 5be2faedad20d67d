#include "project/BoundedRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kestrava::project {

TBoundedRead ReadFileBounded(const std::filesystem::path& path, size_t maxBytes) {
  using TStatus = TBoundedRead::TStatus;
  TBoundedRead result;
  if (path.empty()) return result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    result.status = errno == ENOENT || errno == ENOTDIR ? TStatus::Missing : TStatus::Unreadable;
    result.error = errno;
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    result.status = TStatus::Unreadable;
    return result;
  }
  if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > maxBytes) {
    ::close(fd);
    result.status = TStatus::TooLarge;
    return result;
  }
  // The size may change while we read: read to the end, but never past the cap.
  result.bytes.resize(static_cast<size_t>(info.st_size) + 1);
  size_t have = 0;
  result.status = TStatus::Read;
  while (true) {
    if (have == result.bytes.size()) {
      if (have > maxBytes) {
        result.status = TStatus::TooLarge;
        break;
      }
      result.bytes.resize(std::min(maxBytes + 1, have * 2 + 4096));
    }
    const ssize_t got = ::read(fd, result.bytes.data() + have, result.bytes.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result.status = TStatus::Unreadable;
      result.error = errno;
      break;
    }
    if (got == 0) break;
    have += static_cast<size_t>(got);
  }
  ::close(fd);
  if (result.status == TStatus::Read && have > maxBytes) result.status = TStatus::TooLarge;
  if (result.status == TStatus::Read)
    result.bytes.resize(have);
  else
    result.bytes.clear();
  return result;
}

}  // namespace kestrava::project
