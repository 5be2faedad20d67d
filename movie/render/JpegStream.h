#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrava::render {

// One JPEG stream that libjpeg reads from the pieces a movie stores: the shared JPEGTables
// (for DefineBits) in front of the picture's own data. Start and end markers inside the pieces
// are dropped, which also removes the stray "FF D9 FF D8" some encoders wrote at the start.
// Everything from the start of scan on is copied as it is. Empty if the data is no JPEG.
std::vector<uint8_t> JoinJpegStreams(std::span<const uint8_t> tables,
                                     std::span<const uint8_t> image);

}  // namespace kestrava::render
