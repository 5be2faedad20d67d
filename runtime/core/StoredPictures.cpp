#include "runtime/core/StoredPictures.h"

#include <algorithm>
#include <string>

#include "imaging/ImageErrors.h"
#include "imaging/JpegRows.h"
#include "raster/PixelAccess.h"
#include "saver/LargestScreen.h"

namespace kestrava {

namespace {

// Our own pictures have their size within the first few hundred bytes; a header that reaches
// further is read from the whole block.
constexpr int64_t kHeaderPrefix = 64 * 1024;

std::string Named(size_t number) {
  return "damaged saver: stored picture " + std::to_string(number);
}

std::string SizeText(TPictureSize size) {
  return std::to_string(size.Width) + " x " + std::to_string(size.Height);
}

TPictureSize HeaderSize(const TSaverFileReader& saver, const TSaverBlock& block, size_t number) {
  TSaverBlock head = block;
  head.Size = std::min(block.Size, kHeaderPrefix);
  for (bool whole = head.Size == block.Size;; whole = true) {
    const std::vector<uint8_t> bytes = saver.ReadBlock(whole ? block : head);
    try {
      const TJpegRowReader reader(bytes, TBitmap::kMaxPixels);
      return {reader.Width(), reader.Height()};
    } catch (const EJpegError& e) {
      if (whole) throw ESaverFileError(Named(number) + ": " + e.what());
    }
  }
}

}  // namespace

TPictureSize StoredPictureSize(const TSaverFileReader& saver,
                               std::span<const TSaverBlock> pictures) {
  if (pictures.empty()) throw ESaverFileError("not a saver file: no pictures");
  TPictureSize first;
  for (size_t i = 0; i < pictures.size(); ++i) {
    const TPictureSize size = HeaderSize(saver, pictures[i], i + 1);
    if (!FitsLargestScreen(size.Width, size.Height))
      throw ESaverFileError(Named(i + 1) + " is " + SizeText(size) +
                            " pixels, larger than any screen a saver is built for");
    if (i == 0)
      first = size;
    else if (size != first)
      throw ESaverFileError("damaged saver: stored pictures 1 and " + std::to_string(i + 1) +
                            " differ in size: " + SizeText(first) + " and " + SizeText(size) +
                            " pixels");
  }
  return first;
}

TBitmap DecodeStoredPicture(std::span<const uint8_t> bytes, TPictureSize size, size_t number) {
  TJpegRowReader reader(bytes, TBitmap::kMaxPixels);
  const TPictureSize found{reader.Width(), reader.Height()};
  if (found != size)
    throw ESaverFileError(Named(number) + " is " + SizeText(found) +
                          " pixels, the saver's pictures " + SizeText(size));
  // Row by row into the screen's format: the picture is never held twice.
  TBitmap row(size.Width, 1, TPixelFormat::pf24bit);
  TBitmap picture(size.Width, size.Height, TPixelFormat::pfDevice);
  for (int y = 0; y < size.Height; ++y) {
    reader.ReadRow(row.ScanLine(0));
    ConvertRow(row, 0, picture, y, 0, size.Width);
  }
  return picture;
}

TPictureSize WithinSide(TPictureSize size, int maxSide) {
  const int longer = std::max(size.Width, size.Height);
  if (longer <= maxSide) return size;
  const auto scaled = [&](int side) { return std::max(1, int(int64_t{side} * maxSide / longer)); };
  return {scaled(size.Width), scaled(size.Height)};
}

}  // namespace kestrava
