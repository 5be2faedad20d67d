#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "imaging/GifStream.h"

namespace kestrava {

// Decodes one frame's image data, from its minimum code size byte on, into pixels: width x
// height colour indices, rows top to bottom, already filled with the value that pixels keep where
// the data stops early. Interlaced data fills rows 0, 8, 16, ..., then 4, 12, ..., then 2, 6, ...,
// then 1, 3, .... The stream is left behind the frame's data when the data ends with its end code.
// Returns false when the file ended inside the data before every pixel was decoded.
bool DecodeGifImage(TGifReader& reader, std::span<uint8_t> pixels, int width, int height,
                    bool interlaced);

// The same, one row at a time in the order the data fills them: each row's width indices go where
// rowAt(row) says, or are dropped when it gives null. The rows given are filled beforehand with
// the value pixels keep where the data stops early.
bool DecodeGifRows(TGifReader& reader, const std::function<uint8_t*(int row)>& rowAt, int width,
                   int height, bool interlaced);

// The most pixels the image data from the stream's position (its minimum code size byte) can
// give, whatever it holds, from the length of its sub-blocks. The stream is not moved.
uint64_t MostGifPixels(TGifStream stream);

// Steps over one frame's image data, from its minimum code size byte on, without decoding it.
// Returns false when the file ends inside the data.
bool SkipGifImage(TGifStream& stream);

}  // namespace kestrava
