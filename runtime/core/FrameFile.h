#pragma once

// The files of the frame dump. A frame that cannot be written (a full disk, a file size limit, a
// folder that cannot be made) is the machine's trouble, not the saver's: it has an error and an
// exit status of its own, apart from those of a damaged saver.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>

namespace kestrava {

// "cannot write <file>: <the system's reason>".
class EFrameWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The exit status of a dump that could not write its frames (sysexits' EX_IOERR).
inline constexpr int kDumpWriteFailed = 74;

// Makes the folder and any missing parents. Throws EFrameWriteError.
void MakeFrameFolder(const std::filesystem::path& folder);

// Writes the bytes as the file at path, replacing it. On failure what was written is removed and
// EFrameWriteError thrown.
void WriteFrameFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace kestrava
