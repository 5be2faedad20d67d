#include "imaging/ExifOrientation.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

constexpr uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr size_t kEntryBytes = 12;

// Reads of a TIFF block in its own byte order; every read is checked against the block's end.
class TTiffBytes {
 public:
  explicit TTiffBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool SetByteOrder() {
    if (bytes_.size() < 2) return false;
    if (bytes_[0] == 'I' && bytes_[1] == 'I')
      bigEndian_ = false;
    else if (bytes_[0] == 'M' && bytes_[1] == 'M')
      bigEndian_ = true;
    else
      return false;
    return true;
  }
  bool Fits(uint64_t offset, uint64_t size) const {
    return offset <= bytes_.size() && size <= bytes_.size() - offset;
  }
  // Callers check Fits first.
  uint32_t Read(uint64_t offset, int size) const {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const uint32_t byte = bytes_[size_t(offset) + size_t(bigEndian_ ? i : size - 1 - i)];
      value = (value << 8) | byte;
    }
    return value;
  }

 private:
  std::span<const uint8_t> bytes_;
  bool bigEndian_ = false;
};

bool StartsWithExifHeader(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kExifHeader &&
         std::memcmp(bytes.data(), kExifHeader, sizeof kExifHeader) == 0;
}

}  // namespace

int ReadTiffOrientation(std::span<const uint8_t> exifBlock) {
  if (StartsWithExifHeader(exifBlock)) exifBlock = exifBlock.subspan(sizeof kExifHeader);
  TTiffBytes tiff(exifBlock);
  if (!tiff.SetByteOrder() || !tiff.Fits(0, 8) || tiff.Read(2, 2) != 42) return kUpright;
  const uint64_t directory = tiff.Read(4, 4);
  if (!tiff.Fits(directory, 2)) return kUpright;
  const uint32_t count = tiff.Read(directory, 2);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t entry = directory + 2 + uint64_t{i} * kEntryBytes;
    if (!tiff.Fits(entry, kEntryBytes)) return kUpright;
    if (tiff.Read(entry, 2) != kOrientationTag) continue;
    // A SHORT of count 1 sits in the first two bytes of the value field.
    if (tiff.Read(entry + 2, 2) != kShortType || tiff.Read(entry + 4, 4) != 1) return kUpright;
    const uint32_t value = tiff.Read(entry + 8, 2);
    return value >= 1 && value <= 8 ? int(value) : kUpright;
  }
  return kUpright;
}

int ReadExifOrientation(std::span<const uint8_t> jpegBytes) {
  if (jpegBytes.size() < 2 || jpegBytes[0] != 0xFF || jpegBytes[1] != 0xD8) return kUpright;
  size_t at = 2;
  while (at + 1 < jpegBytes.size()) {
    if (jpegBytes[at] != 0xFF) return kUpright;
    const uint8_t marker = jpegBytes[at + 1];
    // Fill bytes before a marker.
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    // The scan's data or the end: no EXIF comes after them.
    if (marker == 0xDA || marker == 0xD9) return kUpright;
    // Markers that stand alone, without a length.
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (at + 4 > jpegBytes.size()) return kUpright;
    const size_t length = size_t(jpegBytes[at + 2]) << 8 | jpegBytes[at + 3];
    if (length < 2 || length > jpegBytes.size() - at - 2) return kUpright;
    const std::span<const uint8_t> payload = jpegBytes.subspan(at + 4, length - 2);
    if (marker == 0xE1 && StartsWithExifHeader(payload)) return ReadTiffOrientation(payload);
    at += 2 + length;
  }
  return kUpright;
}

int ReadWebpOrientation(std::span<const uint8_t> webpBytes) {
  // "RIFF", the size, "WEBP", then chunks: a four-letter name, a little-endian size and the data,
  // padded to an even length.
  constexpr size_t kHeader = 12, kChunkHead = 8;
  const auto name = [&](size_t at, const char* expected) {
    return std::equal(expected, expected + 4, webpBytes.begin() + ptrdiff_t(at));
  };
  if (webpBytes.size() < kHeader || !name(0, "RIFF") || !name(8, "WEBP")) return kUpright;
  size_t at = kHeader;
  while (webpBytes.size() - at >= kChunkHead) {
    const size_t size = size_t(webpBytes[at + 4]) | size_t(webpBytes[at + 5]) << 8 |
                        size_t(webpBytes[at + 6]) << 16 | size_t(webpBytes[at + 7]) << 24;
    const size_t data = at + kChunkHead;
    if (size > webpBytes.size() - data) return kUpright;
    if (name(at, "EXIF")) return ReadTiffOrientation(webpBytes.subspan(data, size));
    at = data + size + (size & 1);
    if (at > webpBytes.size()) return kUpright;
  }
  return kUpright;
}

}  // namespace kestrava
