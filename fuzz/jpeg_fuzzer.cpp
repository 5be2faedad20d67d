// Feeds arbitrary bytes to the JPEG decoder; a picture that decodes is encoded and decoded again.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  // Below TBitmap's limit, so that one run stays within the fuzzer's memory and time budget;
  // the limit itself is tested in the unit tests.
  constexpr int64_t kMaxPixels = int64_t{1} << 20;
  try {
    const TJpegImage image = DecodeJpeg(std::span<const uint8_t>(data, size), kMaxPixels);
    const TJpegImage again = DecodeJpeg(EncodeJpeg(image.Bitmap, image.Progressive));
    if (again.Bitmap.Width() != image.Bitmap.Width() ||
        again.Bitmap.Height() != image.Bitmap.Height() || again.Progressive != image.Progressive)
      std::abort();
  } catch (const EImageError&) {
  } catch (const EBitmapError&) {
  }
  return 0;
}
