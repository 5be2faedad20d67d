#pragma once

#include <filesystem>

#include "raster/Bitmap.h"

namespace kestrava {

// Reads a picture file with the reader its extension names, ignoring case: .bmp, .jpg, .jpeg
// (turned upright as its EXIF orientation says), .gif (the first frame on the logical screen).
// Throws EPictureError for an extension without a reader, or the reader's own EImageError.
TBitmap LoadPicture(const std::filesystem::path& path);

}  // namespace kestrava
