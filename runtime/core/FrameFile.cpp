#include "runtime/core/FrameFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "saver/SaverFileIo.h"

namespace kestrava {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
  throw EFrameWriteError(what + " " + PathText(path) + ": " + std::strerror(error));
}

#ifdef _WIN32
// Wide paths, binary mode, and a handle that started programs do not inherit.
int CreateFrame(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}
void RemoveFrame(const std::filesystem::path& path) {
  ::_wunlink(path.c_str());
}
#else
int CreateFrame(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}
void RemoveFrame(const std::filesystem::path& path) {
  ::unlink(path.c_str());
}
#endif

}  // namespace

void MakeFrameFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw EFrameWriteError("cannot make " + PathText(folder) + ": " + error.message());
}

void WriteFrameFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  const int file = CreateFrame(path);
  if (file < 0) Fail("cannot create", path, errno);
  int error = 0;
  for (size_t done = 0; done < bytes.size() && error == 0;) {
    // At most 1 GiB a call: Windows counts a write in an unsigned int.
    const auto n = ::write(file, bytes.data() + done,
                           unsigned(std::min<size_t>(bytes.size() - done, 1u << 30)));
    if (n > 0)
      done += size_t(n);
    else if (n == 0)
      error = EIO;
    else if (errno != EINTR)
      error = errno;
  }
  // A regular file only: what is at the path may be a device the user named.
  struct stat status {};
  const bool regular = ::fstat(file, &status) == 0 && S_ISREG(status.st_mode);
  if (::close(file) != 0 && error == 0) error = errno;
  if (error == 0) return;
  if (regular) RemoveFrame(path);
  Fail("cannot write", path, error);
}

}  // namespace kestrava
