#pragma once

// Pictures a camera stored turned or mirrored, with the EXIF orientation that says so: a lopsided
// picture of coloured cells, stored each of the eight ways, and the bytes of the tag.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "raster/Bitmap.h"

namespace kestrava::test {

// One directory entry: tag, type, count and the four bytes of its value field as a number
// (a SHORT in its first two bytes).
struct TTiffEntry {
  uint16_t Tag;
  uint16_t Type;
  uint32_t Count;
  uint32_t Value;
};

inline constexpr uint16_t kOrientationTag = 0x0112;

// A TIFF header in either byte order and a first directory of the entries, with no next one.
inline std::vector<uint8_t> TiffBlock(bool bigEndian, const std::vector<TTiffEntry>& entries) {
  std::vector<uint8_t> out;
  const auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
      out.push_back(uint8_t(value >> (8 * (bigEndian ? size - 1 - i : i))));
  };
  out.push_back(bigEndian ? 'M' : 'I');
  out.push_back(bigEndian ? 'M' : 'I');
  put(42, 2);
  put(8, 4);
  put(uint32_t(entries.size()), 2);
  for (const TTiffEntry& e : entries) {
    put(e.Tag, 2);
    put(e.Type, 2);
    put(e.Count, 4);
    if (e.Type == 3 && e.Count == 1) {
      put(e.Value, 2);
      put(0, 2);
    } else {
      put(e.Value, 4);
    }
  }
  put(0, 4);
  return out;
}

// A TIFF block whose orientation entry follows another entry, as cameras write them.
inline std::vector<uint8_t> OrientationTiff(bool bigEndian, int orientation) {
  return TiffBlock(bigEndian,
                   {{0x0100, 4, 1, 640}, {kOrientationTag, 3, 1, uint32_t(orientation)}});
}

// The JPEG with an APP1 segment of "Exif\0\0" and the block after its first segment (JFIF).
inline std::vector<uint8_t> WithExif(std::vector<uint8_t> jpeg, std::span<const uint8_t> tiff) {
  std::vector<uint8_t> segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  segment[2] = uint8_t((segment.size() - 2) >> 8);
  segment[3] = uint8_t(segment.size() - 2);
  size_t at = 2;
  if (jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0)
    at = 4 + (size_t(jpeg[4]) << 8 | jpeg[5]);
  jpeg.insert(jpeg.begin() + ptrdiff_t(at), segment.begin(), segment.end());
  return jpeg;
}

// Two columns of four cells, each its own colour (0x00RRGGBB): which way up it stands shows.
inline constexpr int kCellColumns = 2, kCellRows = 4;
inline constexpr TPixel kCellColours[kCellRows][kCellColumns] = {
    {0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}, {0x00FFFF, 0xFF00FF}, {0xFFFFFF, 0x808080}};

inline TBitmap CellPicture(int cell) {
  TBitmap picture(kCellColumns * cell, kCellRows * cell, TPixelFormat::pf24bit);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixel colour = kCellColours[y / cell][x / cell];
      uint8_t* p = picture.ScanLine(y) + x * 3;
      p[0] = uint8_t(colour), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour >> 16);
    }
  return picture;
}

// Which sides of the upright picture the stored picture's first row and first column show, by
// orientation, as the tag's values are defined: "RT" is row 0 on the right, column 0 on top.
inline constexpr std::string_view kStoredSides[9] = {"",   "TL", "TR", "BR", "BL",
                                                     "LT", "RT", "RB", "LB"};

// The upright 24-bit picture as a camera of that orientation stores it.
inline TBitmap StoredAs(const TBitmap& upright, int orientation) {
  const char rowSide = kStoredSides[orientation][0], columnSide = kStoredSides[orientation][1];
  const bool rowsAreSides = rowSide == 'L' || rowSide == 'R';
  const int w = upright.Width(), h = upright.Height();
  TBitmap stored(rowsAreSides ? h : w, rowsAreSides ? w : h, TPixelFormat::pf24bit);
  for (int sy = 0; sy < stored.Height(); ++sy)
    for (int sx = 0; sx < stored.Width(); ++sx) {
      int ux, uy;
      if (rowsAreSides) {
        ux = rowSide == 'L' ? sy : w - 1 - sy;
        uy = columnSide == 'T' ? sx : h - 1 - sx;
      } else {
        uy = rowSide == 'T' ? sy : h - 1 - sy;
        ux = columnSide == 'L' ? sx : w - 1 - sx;
      }
      std::memcpy(stored.ScanLine(sy) + sx * 3, upright.ScanLine(uy) + ux * 3, 3);
    }
  return stored;
}

// Colours that a JPEG round trip leaves close: no channel further apart than the tolerance.
inline bool NearColour(TPixel a, TPixel b, int tolerance = 48) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

}  // namespace kestrava::test
