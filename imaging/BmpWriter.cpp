#include "imaging/BmpWriter.h"

#include <cstring>
#include <optional>
#include <string>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"

namespace kestrava {

namespace {

constexpr size_t kHeadersSize = 14 + 40;

void Put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw EBmpError("Unsupported bitmap bit depth " + std::to_string(bitsPerPixel));
  if (bitmap.Empty()) throw EBmpError("Cannot write an empty picture as BMP");
  std::optional<TBitmap> converted;
  const TBitmap* source = &bitmap;
  if (bitmap.BitsPerPixel() != bitsPerPixel) {
    converted.emplace(bitmap);
    converted->SetPixelFormat(bitsPerPixel == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit);
    source = &*converted;
  }

  // Our rows already have the file's 4-byte padding; the sizes fit 32 bits because a bitmap
  // holds at most kMaxPixels pixels.
  const size_t stride = source->Stride();
  const size_t imageSize = stride * size_t(source->Height());
  std::vector<uint8_t> out(kHeadersSize + imageSize);
  uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, uint32_t(out.size()));
  Put32(p + 10, uint32_t(kHeadersSize));
  Put32(p + 14, 40);
  Put32(p + 18, uint32_t(source->Width()));
  Put32(p + 22, uint32_t(source->Height()));  // positive: bottom-up
  Put16(p + 26, 1);
  Put16(p + 28, uint32_t(bitsPerPixel));
  Put32(p + 30, 0);  // BI_RGB
  Put32(p + 34, uint32_t(imageSize));
  Put32(p + 38, 2835);  // 72 dots per inch
  Put32(p + 42, 2835);
  for (int y = 0; y < source->Height(); ++y)
    std::memcpy(p + kHeadersSize + size_t(source->Height() - 1 - y) * stride, source->ScanLine(y),
                stride);
  return out;
}

void WriteBmpFile(const std::filesystem::path& path, const TBitmap& bitmap, int bitsPerPixel) {
  WriteFileBytes(path, EncodeBmp(bitmap, bitsPerPixel));
}

}  // namespace kestrava
