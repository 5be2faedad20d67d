#include "imaging/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "imaging/ImageErrors.h"

namespace kestrava {

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  // A folder opens as a stream too, and reports a size that is no file's.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    throw EImageError("Cannot open file " + path.string() + ": " +
                      (error ? error.message() : std::string("not a file")));
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw EImageError("Cannot open file " + path.string() + ": " +
                      (errno ? std::strerror(errno) : "cannot open"));
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw EImageError("Cannot read file " + path.string());
  in.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw EImageError("Cannot read file " + path.string());
  return bytes;
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::filesystem::path temp = path;
  temp += ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw EImageError("Cannot create file " + path.string());
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      throw EImageError("Cannot write file " + path.string());
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw EImageError("Cannot write file " + path.string());
  }
}

}  // namespace kestrava
