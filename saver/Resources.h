#pragma once

// Resources a program carries inside itself, found by type and name as the platform's resource
// lookup finds them: without regard to case.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace kestrava {

struct TResource {
  std::string_view Type;
  std::string_view Name;
  std::span<const uint8_t> Bytes;
};

// The first resource of that type and name, letter case ignored; nullptr when there is none.
const TResource* FindResource(std::span<const TResource> resources, std::string_view type,
                              std::string_view name);

// Writes the bytes of the named resource to path, creating the file or replacing one that is
// there. False when there is no such resource or the file cannot be created or written in full
// (a partly written file may remain); `why` then receives the reason when given.
bool ExtractRuntime(std::span<const TResource> resources, std::string_view type,
                    std::string_view name, const std::filesystem::path& path,
                    std::string* why = nullptr);

}  // namespace kestrava
