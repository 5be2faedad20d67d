#pragma once

// Files that claim a size they do not hold, made from real small ones.

#include <cstdint>
#include <vector>

#include "imaging/Jpeg.h"
#include "tests/support/JpegClaimedSize.h"

namespace kestrava::test {

// A real 16 x 16 JPEG whose frame header is made to claim width x height.
inline std::vector<uint8_t> JpegClaiming(int width, int height, bool progressive) {
  return WithClaimedSize(EncodeJpeg(TBitmap(16, 16, TPixelFormat::pf24bit), progressive), width,
                         height);
}

}  // namespace kestrava::test
