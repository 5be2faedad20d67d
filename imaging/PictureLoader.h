#pragma once

#include <filesystem>

#include "imaging/PictureContent.h"
#include "raster/Bitmap.h"

namespace kestrava {

// Reads a picture file named as one, ignoring case: .bmp, .jpg, .jpeg (turned upright as its EXIF
// orientation says), .gif (the first frame on the logical screen), .png, .webp, .heic, .heif
// (transparent pixels over black). The file's first bytes choose the reader, whatever the
// extension says. Throws EPictureError for another extension or a file that is recognisably no
// picture, or the reader's own EImageError.
TBitmap LoadPicture(const std::filesystem::path& path);

// The reader LoadPicture runs for the file: the name says whether it is a picture, the first
// bytes which kind (the name's kind when they are unrecognisable). Throws as LoadPicture does for
// a name or content it refuses.
TPictureContent PictureReaderOf(const std::filesystem::path& path);

}  // namespace kestrava
