#include "imaging/Jpeg.h"

#include "imaging/FileBytes.h"
#include "imaging/JpegRows.h"

namespace kestrava {

TJpegImage DecodeJpeg(std::span<const uint8_t> bytes, int64_t maxPixels) {
  TJpegRowReader reader(bytes, maxPixels);
  TJpegImage image;
  image.Progressive = reader.Progressive();
  image.Bitmap = TBitmap(reader.Width(), reader.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < image.Bitmap.Height(); ++y)
    reader.ReadRow(image.Bitmap.ScanLine(y));
  return image;
}

TJpegImage DecodeJpegFile(const std::filesystem::path& path) {
  return DecodeJpeg(ReadFileBytes(path));
}

}  // namespace kestrava
