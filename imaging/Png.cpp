#include "imaging/Png.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <string>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"

namespace kestrava {

namespace {

// libpng's simplified interface keeps its own longjmp inside the library; failures come back
// as a zero result with the message in the image's buffer.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
  [[noreturn]] void Fail(const char* what) const {
    throw EPngError(std::string(what) + ": " + image.message);
  }
};

}  // namespace

TBitmap ReadPng(std::span<const uint8_t> bytes, int64_t maxPixels,
                const TBeforeDecode& beforeDecode) {
  PngImage png;
  if (!png_image_begin_read_from_memory(&png.image, bytes.data(), bytes.size()))
    png.Fail("Invalid PNG");
  if (png.image.width > uint32_t(TBitmap::kMaxDimension) ||
      png.image.height > uint32_t(TBitmap::kMaxDimension) ||
      uint64_t{png.image.width} * png.image.height > uint64_t(TBitmap::kMaxPixels) ||
      int64_t{png.image.width} * png.image.height > maxPixels)
    throw EPngError("PNG too large");
  if (beforeDecode) beforeDecode(int(png.image.width), int(png.image.height));
  png.image.format = PNG_FORMAT_BGRA;
  TBitmap bitmap(int(png.image.width), int(png.image.height), TPixelFormat::pf32bit);
  if (bitmap.Empty()) throw EPngError("Invalid PNG: empty picture");
  if (!png_image_finish_read(&png.image, nullptr, bitmap.ScanLine(0), png_int_32(bitmap.Stride()),
                             nullptr))
    png.Fail("Invalid PNG");
  return bitmap;
}

TBitmap ReadPngFile(const std::filesystem::path& path) {
  return ReadPng(ReadFileBytes(path));
}

std::vector<uint8_t> EncodePng(const TBitmap& bitmap) {
  if (bitmap.Empty()) throw EPngError("Cannot write an empty picture as PNG");
  TBitmap rgb(bitmap);
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  PngImage png;
  png.image.width = uint32_t(rgb.Width());
  png.image.height = uint32_t(rgb.Height());
  png.image.format = PNG_FORMAT_BGR;
  // Gallery sheets, frame dumps and screenshots: written often, read rarely, so speed beats size.
  png.image.flags |= PNG_IMAGE_FLAG_FAST;
  // One pass into a buffer of the largest size the picture can take.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png.image);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, rgb.ScanLine(0),
                                 png_int_32(rgb.Stride()), nullptr))
    png.Fail("Cannot encode PNG");
  out.resize(size);
  return out;
}

void WritePngFile(const std::filesystem::path& path, const TBitmap& bitmap) {
  WriteFileBytes(path, EncodePng(bitmap));
}

}  // namespace kestrava
