#pragma once

// A JPEG whose frame header claims another size than its data holds: the few changed bytes of a
// damaged file.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace kestrava::test {

// The copy with the width and height of its start-of-frame segment set. Throws std::logic_error
// for bytes without one.
inline std::vector<uint8_t> WithClaimedSize(std::vector<uint8_t> jpeg, int width, int height) {
  for (size_t at = 2; at + 9 <= jpeg.size() && jpeg[at] == 0xFF;) {
    const uint8_t marker = jpeg[at + 1];
    if (marker >= 0xC0 && marker <= 0xC2) {
      jpeg[at + 5] = uint8_t(height >> 8);
      jpeg[at + 6] = uint8_t(height);
      jpeg[at + 7] = uint8_t(width >> 8);
      jpeg[at + 8] = uint8_t(width);
      return jpeg;
    }
    at += 2 + size_t(jpeg[at + 2]) * 256 + jpeg[at + 3];
  }
  throw std::logic_error("no frame header in the JPEG");
}

}  // namespace kestrava::test
