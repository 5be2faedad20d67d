// Feeds arbitrary bytes to the BMP reader; a picture that reads is written and read back.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageErrors.h"

namespace {

// Width times height as the header states them, or 0 when the header is too short to say.
int64_t DeclaredPixels(const uint8_t* data, size_t size) {
  if (size < 26) return 0;
  const auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
      v = v << 8 | data[at + size_t(i)];
    return v;
  };
  if (le(14, 4) == 12) return int64_t{le(18, 2)} * le(20, 2);
  return std::abs(int64_t{int32_t(le(18, 4))} * int32_t(le(22, 4)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  // A few bytes of RLE can declare a picture of a gigabyte within the reader's limits; making one
  // on every run would slow the search to a crawl without reaching any new code.
  if (DeclaredPixels(data, size) > int64_t{1} << 20) return 0;
  try {
    const TBitmap bitmap = ReadBmp(std::span<const uint8_t>(data, size));
    const TBitmap again = ReadBmp(EncodeBmp(bitmap, bitmap.BitsPerPixel() == 32 ? 32 : 24));
    const int x = bitmap.Width() - 1, y = bitmap.Height() - 1;
    if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height() ||
        (again.PixelAt(x, y) & 0xFFFFFF) != (bitmap.PixelAt(x, y) & 0xFFFFFF))
      std::abort();
  } catch (const EImageError&) {
  } catch (const EBitmapError&) {
  }
  return 0;
}
