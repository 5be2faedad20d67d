#pragma once

// The largest screen a saver can be built for, and so the largest picture a saver stores: 16384
// pixels a side and 64 Mi pixels in all (16384 x 4096 or 8192 x 8192; an 8K screen has 33 Mi).
// The builder refuses a larger screen and the runtime a stored picture beyond it, so that a
// damaged size field cannot make either hold gigabytes.

#include <cstdint>

namespace kestrava {

inline constexpr int kMaxScreenSide = 16384;
inline constexpr int64_t kMaxScreenPixels = int64_t{1} << 26;

inline bool FitsLargestScreen(int width, int height) {
  return width >= 1 && height >= 1 && width <= kMaxScreenSide && height <= kMaxScreenSide &&
         int64_t{width} * height <= kMaxScreenPixels;
}

}  // namespace kestrava
