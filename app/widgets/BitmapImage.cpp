#include "app/widgets/BitmapImage.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

QImage::Format ImageFormatOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf8bit:
      return QImage::Format_Indexed8;
    case TPixelFormat::pf24bit:
      // Our 24-bit rows are blue, green, red.
      return QImage::Format_BGR888;
    case TPixelFormat::pfDevice:
    case TPixelFormat::pf32bit:
      // Blue, green, red, unused: one little-endian 0xffRRGGBB word once the fourth byte is
      // ignored, which RGB32 does.
      break;
  }
  return QImage::Format_RGB32;
}

}  // namespace

QImage ToQImage(const TBitmap& bitmap) {
  if (bitmap.Empty()) return {};
  QImage image(bitmap.Width(), bitmap.Height(), ImageFormatOf(bitmap.PixelFormat()));
  if (image.isNull()) return {};  // out of memory
  const size_t rowBytes = std::min(bitmap.Stride(), size_t(image.bytesPerLine()));
  for (int y = 0; y < bitmap.Height(); ++y)
    std::memcpy(image.scanLine(y), bitmap.ScanLine(y), rowBytes);
  if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
      table[i] = 0xff000000u | bitmap.Palette()[size_t(i)];
    image.setColorTable(table);
  }
  return image;
}

TBitmap FromQImage(const QImage& image) {
  if (image.isNull()) return TBitmap();
  // RGB32 rows are exactly our device rows; alpha is dropped by drawing over nothing.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  TBitmap bitmap(rgb.width(), rgb.height(), TPixelFormat::pfDevice);
  const size_t rowBytes = size_t(rgb.width()) * 4;
  for (int y = 0; y < rgb.height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    std::memcpy(row, rgb.constScanLine(y), rowBytes);
    // Our drawing writes the fourth byte as 0; RGB32 keeps 0xff there.
    for (size_t x = 3; x < rowBytes; x += 4)
      row[x] = 0;
  }
  return bitmap;
}

}  // namespace kestrava
