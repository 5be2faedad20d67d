#include "saver/SaverFileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kestrava {

TFileDescriptor OpenWithoutWaiting(const std::filesystem::path& path, int flags) {
  TFileDescriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC));
  if (fd.Valid()) ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadFullyAt(int fd, int64_t offset, std::span<uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), off_t(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) {
      errno = 0;
      return false;
    }
    bytes = bytes.subspan(size_t(got));
    offset += got;
  }
  return true;
}

}  // namespace kestrava
