#include "saver/Resources.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace kestrava {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

const TResource* FindResource(std::span<const TResource> resources, std::string_view type,
                              std::string_view name) {
  for (const TResource& r : resources)
    if (SameIgnoringCase(r.Type, type) && SameIgnoringCase(r.Name, name)) return &r;
  return nullptr;
}

bool ExtractRuntime(std::span<const TResource> resources, std::string_view type,
                    std::string_view name, const std::filesystem::path& path, std::string* why) {
  const auto fail = [&](std::string reason) {
    if (why) *why = std::move(reason);
    return false;
  };
  const TResource* resource = FindResource(resources, type, name);
  if (!resource) return fail("the saver program is missing from this program");
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return fail(errno ? std::strerror(errno) : "cannot create the file");
  out.write(reinterpret_cast<const char*>(resource->Bytes.data()),
            std::streamsize(resource->Bytes.size()));
  out.close();
  if (out) return true;
  const int writeError = errno;
  // What was written is no program: a half-written file is not left behind.
  std::error_code error;
  std::filesystem::remove(path, error);
  return fail(writeError ? std::strerror(writeError) : "cannot write the file");
}

}  // namespace kestrava
