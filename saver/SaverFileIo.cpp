#include "saver/SaverFileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrava {

TFileDescriptor::~TFileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool TFileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

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

std::string SystemError(const char* what, const std::filesystem::path& path, int error) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

}  // namespace kestrava
