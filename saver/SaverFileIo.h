#pragma once

// The few POSIX file operations the saver writer and reader share: descriptors that close
// themselves, opening that never waits, and reads at an offset.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>

namespace kestrava {

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
  ~TFileDescriptor();
  TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // False when closing reports an error, which can be the first news of a failed write.
  bool Close();

 private:
  int fd_;
};

// open(2) with O_CLOEXEC that does not wait: a FIFO in place of a file fails or reads as
// empty instead of hanging. Invalid on failure, with errno set.
TFileDescriptor OpenWithoutWaiting(const std::filesystem::path& path, int flags);

// Fills `bytes` from `offset`; false with errno set on an error, or with errno 0 when the file
// ends first.
bool ReadFullyAt(int fd, int64_t offset, std::span<uint8_t> bytes);

// The path as UTF-8 text for messages; unlike path::string() it cannot fail on Windows.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// "<what> <path>: <system message>".
inline std::string SystemError(const char* what, const std::filesystem::path& path, int error) {
  return std::string(what) + " " + PathText(path) + ": " + std::strerror(error);
}

}  // namespace kestrava
