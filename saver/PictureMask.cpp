#include "saver/PictureMask.h"

#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "raster/PixelAccess.h"

namespace kestrava {

TPictureMask TPictureMask::Load(const std::filesystem::path& file) {
  return FromBitmap(DecodeJpegFile(file).Bitmap);
}

TPictureMask TPictureMask::FromBitmap(const TBitmap& picture) {
  if (picture.Empty()) throw EImageError("The mask picture is empty");
  TPictureMask mask;
  mask.width_ = picture.Width();
  mask.height_ = picture.Height();
  mask.lightness_.resize(size_t(mask.width_) * size_t(mask.height_));
  uint8_t* out = mask.lightness_.data();
  for (int y = 0; y < mask.height_; ++y) {
    const uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < mask.width_; ++x) {
      const TPixel p = FetchPixel(picture, row, x);
      const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      *out++ = uint8_t((30 * r + 59 * g + 11 * b) / 100);
    }
  }
  return mask;
}

// Over the whole picture every pixel has its mask pixel: the maps start at 0 and cover it all.
TStretchedMask::TStretchedMask(const TPictureMask& mask, int width, int height)
    : mask_(mask),
      columns_(BuildAxisMap(0, width, 0, mask.Width(), width, mask.Width())),
      rows_(BuildAxisMap(0, height, 0, mask.Height(), height, mask.Height())) {}

void TStretchedMask::Darken(uint8_t* row, int y, int x0, int x1) const {
  const uint8_t* lightness = mask_.Row(rows_.Source[size_t(y)]);
  uint8_t* p = row + size_t(x0) * 3;
  for (int x = x0; x < x1; ++x, p += 3) {
    const unsigned l = lightness[columns_.Source[size_t(x)]];
    p[0] = uint8_t(p[0] * l / 255);
    p[1] = uint8_t(p[1] * l / 255);
    p[2] = uint8_t(p[2] * l / 255);
  }
}

void ApplyMask(TBitmap& work, const TPictureMask& mask) {
  if (work.Empty()) return;
  work.SetPixelFormat(TPixelFormat::pf24bit);
  const TStretchedMask stretched(mask, work.Width(), work.Height());
  for (int y = 0; y < work.Height(); ++y)
    stretched.Darken(work.ScanLine(y), y, 0, work.Width());
}

}  // namespace kestrava
