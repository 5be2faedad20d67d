#pragma once

// Which way up a camera meant its picture: the orientation tag of the EXIF data, 1 to 8 as
// defined for TIFF (1 upright, 3 upside down, 6 and 8 turned a quarter, the even ones and 5, 7
// mirrored). Read on its own, with every offset checked: anything missing or malformed is 1.

#include <cstdint>
#include <span>

namespace kestrava {

inline constexpr int kUpright = 1;

// From a whole JPEG file: the first APP1 "Exif" segment among the markers before the first scan.
int ReadExifOrientation(std::span<const uint8_t> jpegBytes);

// From a WebP file: the EXIF chunk of its RIFF container, if it has one.
int ReadWebpOrientation(std::span<const uint8_t> webpBytes);

// From an EXIF block as other containers carry it: a TIFF header and its first directory, with
// or without the "Exif\0\0" that starts the JPEG segment.
int ReadTiffOrientation(std::span<const uint8_t> exifBlock);

}  // namespace kestrava
