// Descriptors that close themselves, on Linux and on Windows alike.
#include <unistd.h>

#include "saver/SaverFileIo.h"

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

}  // namespace kestrava
