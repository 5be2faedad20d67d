#include "imaging/Jpeg.h"

#include <cstring>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/JpegRows.h"

namespace kestrava {

TJpegImage DecodeJpeg(std::span<const uint8_t> bytes, int64_t maxPixels) {
  TJpegRowReader reader(bytes, maxPixels);
  // The first row decodes the first band of a single scan before the picture is allocated: a
  // file whose data ends there has nothing to show, whatever size it claims.
  std::vector<uint8_t> first(size_t(reader.Width()) * 3);
  reader.ReadRow(first.data());
  if (!reader.Progressive() && reader.DataEnded() && reader.Height() > 1)
    throw EJpegError("the JPEG data ends before its first rows (file truncated?)");
  TJpegImage image;
  image.Progressive = reader.Progressive();
  image.Bitmap = TBitmap(reader.Width(), reader.Height(), TPixelFormat::pf24bit);
  std::memcpy(image.Bitmap.ScanLine(0), first.data(), first.size());
  for (int y = 1; y < image.Bitmap.Height(); ++y)
    reader.ReadRow(image.Bitmap.ScanLine(y));
  return image;
}

TJpegImage DecodeJpegFile(const std::filesystem::path& path) {
  return DecodeJpeg(ReadFileBytes(path));
}

}  // namespace kestrava
