// Feeds arbitrary bytes to the EXIF orientation reader, as a whole JPEG, a WebP file and a bare
// EXIF block; whatever it reads turns a small lopsided bitmap, which must come out with the right
// sides.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/ExifOrientation.h"
#include "imaging/Orientation.h"
#include "raster/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  const std::span<const uint8_t> bytes(data, size);
  const int fromJpeg = ReadExifOrientation(bytes);
  const int fromWebp = ReadWebpOrientation(bytes);
  const int fromBlock = ReadTiffOrientation(bytes);
  for (const int orientation : {fromJpeg, fromWebp, fromBlock}) {
    if (orientation < 1 || orientation > 8) std::abort();
    const TBitmap turned = Oriented(TBitmap(3, 2, TPixelFormat::pf24bit), orientation);
    const bool swapped = OrientationSwapsSides(orientation);
    if (turned.Width() != (swapped ? 2 : 3) || turned.Height() != (swapped ? 3 : 2)) std::abort();
  }
  return 0;
}
