#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace kestrava::project {

struct TBoundedRead {
  enum class TStatus { Read, Missing, Unreadable, TooLarge };
  TStatus status = TStatus::Missing;
  std::string bytes;  // the whole file when status is Read
  int error = 0;      // the system's error of an Unreadable file; 0 for one that is no regular file
};

// Reads a regular file of at most maxBytes. Never blocks on a FIFO or device, and never holds
// more than maxBytes + 1 bytes of a file, however large it is or grows.
TBoundedRead ReadFileBounded(const std::filesystem::path& path, size_t maxBytes);

}  // namespace kestrava::project
