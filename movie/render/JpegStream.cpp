#include "movie/render/JpegStream.h"

namespace kestrava::render {

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;

// Copies the marker segments of `data` to `out`; true once the start of scan and the rest
// were copied.
bool CopySegments(std::span<const uint8_t> data, std::vector<uint8_t>& out) {
  size_t at = 0;
  while (at + 1 < data.size()) {
    if (data[at] != 0xFF) return false;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == kStartOfImage || marker == kEndOfImage || marker == 0x01 ||
        (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (marker == kStartOfScan) {
      out.insert(out.end(), data.begin() + at, data.end());
      return true;
    }
    if (at + 4 > data.size()) return false;
    const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
    if (length < 2 || at + 2 + length > data.size()) return false;
    out.insert(out.end(), data.begin() + at, data.begin() + at + 2 + length);
    at += 2 + length;
  }
  return false;
}

}  // namespace

std::vector<uint8_t> JoinJpegStreams(std::span<const uint8_t> tables,
                                     std::span<const uint8_t> image) {
  std::vector<uint8_t> out{0xFF, kStartOfImage};
  if (!tables.empty() && CopySegments(tables, out)) return {};  // tables carry no picture
  if (!CopySegments(image, out)) return {};
  return out;
}

}  // namespace kestrava::render
