#include "saver/Resources.h"

#include <algorithm>
#include <cctype>
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
                    std::string_view name, const std::filesystem::path& path) {
  const TResource* resource = FindResource(resources, type, name);
  if (!resource) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(resource->Bytes.data()),
            std::streamsize(resource->Bytes.size()));
  out.close();
  if (out) return true;
  // What was written is no program: a half-written file is not left behind.
  std::error_code error;
  std::filesystem::remove(path, error);
  return false;
}

}  // namespace kestrava
