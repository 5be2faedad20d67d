#pragma once

// The pictures of a pictures saver: JPEGs all of the size of the screen the saver was built for.
// A picture whose header says another size, or one beyond the largest screen, is damage: it is
// refused before anything of the size it claims is allocated.

#include <cstddef>
#include <cstdint>
#include <span>

#include "raster/Bitmap.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

struct TPictureSize {
  int Width = 0;
  int Height = 0;

  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// The size every picture has, read from each one's header. Throws ESaverFileError, one line that
// names the picture (counted from 1) and what is wrong, for no pictures, a header that does not
// read, a size beyond the largest screen (LargestScreen.h) or pictures of different sizes.
TPictureSize StoredPictureSize(const TSaverFileReader& saver,
                               std::span<const TSaverBlock> pictures);

// Picture number (counted from 1) decoded into a bitmap of the screen's format (pfDevice); a header
// of another size than `size` throws ESaverFileError before any pixel is decoded. Throws EJpegError
// when the data does not decode.
TBitmap DecodeStoredPicture(std::span<const uint8_t> bytes, TPictureSize size, size_t number);

// The size shrunk to at most maxSide pixels a side, its shape kept (never below 1 pixel).
TPictureSize WithinSide(TPictureSize size, int maxSide);

}  // namespace kestrava
