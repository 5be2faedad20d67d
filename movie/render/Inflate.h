#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrava::render {

// Inflates a zlib stream, stopping at `limit` bytes. A damaged or short stream gives what came
// out before the damage; the caller decides what the missing part means.
std::vector<uint8_t> InflateAtMost(std::span<const uint8_t> compressed, size_t limit);

}  // namespace kestrava::render
