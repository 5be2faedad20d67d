#pragma once

// The whole movie as an uncompressed file: the 8-byte header (signature turned to "FWS") and
// everything after it, inflated (CWS) or LZMA-decoded (ZWS) as far as the data goes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrava {

// No movie grows beyond this when unpacked; a bomb stops here and plays what it holds.
constexpr size_t kMaxUnpackedMovieBytes = size_t(256) << 20;

// Throws ESwfError for what is no movie or whose compressed data yields nothing. A truncated or
// damaged stream keeps what was decoded before the damage.
std::vector<uint8_t> UnpackSwf(std::vector<uint8_t> file);

}  // namespace kestrava
