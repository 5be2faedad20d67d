// The saver file's descriptor operations on Windows: wide paths, binary mode, and reads at an
// offset that leave no shared file position for the picture-decoding threads to fight over.
#include "saver/SaverFileIo.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

namespace kestrava {

TFileDescriptor OpenWithoutWaiting(const std::filesystem::path& path, int flags) {
  // Windows has no FIFOs in the file system to wait on.
  return TFileDescriptor(::_wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT));
}

bool ReadFullyAt(int fd, int64_t offset, std::span<uint8_t> bytes) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return false;
  }
  while (!bytes.empty()) {
    OVERLAPPED at{};
    at.Offset = DWORD(uint64_t(offset));
    at.OffsetHigh = DWORD(uint64_t(offset) >> 32);
    const DWORD want = DWORD(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(handle, bytes.data(), want, &got, &at)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) {
        errno = 0;
        return false;
      }
      errno = EIO;
      return false;
    }
    if (got == 0) {
      errno = 0;
      return false;
    }
    bytes = bytes.subspan(got);
    offset += got;
  }
  return true;
}

}  // namespace kestrava
