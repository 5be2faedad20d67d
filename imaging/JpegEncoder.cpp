#include "imaging/Jpeg.h"

#include "imaging/JpegRows.h"
#include "raster/PixelAccess.h"

namespace kestrava {

std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, bool progressive) {
  TJpegRowWriter writer(bitmap.Width(), bitmap.Height(), progressive);
  if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
    for (int y = 0; y < bitmap.Height(); ++y)
      writer.WriteRow(bitmap.ScanLine(y));
    return writer.Finish();
  }
  // Other formats go through a 24-bit row, converted as SetPixelFormat converts.
  TBitmap row(bitmap.Width(), 1, TPixelFormat::pf24bit);
  for (int y = 0; y < bitmap.Height(); ++y) {
    ConvertRow(bitmap, y, row, 0, 0, bitmap.Width());
    writer.WriteRow(row.ScanLine(0));
  }
  return writer.Finish();
}

}  // namespace kestrava
