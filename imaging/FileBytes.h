#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace kestrava {

// The whole file; throws EImageError ("Cannot open file <path>" or "Cannot read file <path>").
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Writes through a temporary file beside the target and renames it over the target, so that a
// failed write never leaves half a file in place. Throws EImageError on failure.
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace kestrava
