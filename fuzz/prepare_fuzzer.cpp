// Feeds arbitrary bytes to the saver's picture preparation: the first byte picks the kind the name
// gives (BMP, JPEG, GIF, PNG, WebP, HEIF; the bytes' own start still chooses the reader),
// the next two the screen size (1 to 64 each way), the fourth whether a mask darkens it (bit 0),
// the fit mode (bits 1-2: shrink only, fit, fill) and smooth resampling (bit 3); the rest is the
// source file. Whatever is stored must decode to exactly the screen size.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/PictureContent.h"
#include "saver/PreparePicture.h"

namespace {

// Width times height as a BMP header states them, or 0 when the header is too short to say.
int64_t DeclaredBmpPixels(std::span<const uint8_t> data) {
  if (data.size() < 26) return 0;
  const auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
      v = v << 8 | data[at + size_t(i)];
    return v;
  };
  if (le(14, 4) == 12) return int64_t{le(18, 2)} * le(20, 2);
  return std::abs(int64_t{int32_t(le(18, 4))} * int32_t(le(22, 4)));
}

const kestrava::TPictureMask& Mask() {
  static const kestrava::TPictureMask mask = [] {
    kestrava::TBitmap picture(5, 3, kestrava::TPixelFormat::pf24bit);
    for (int y = 0; y < 3; ++y)
      for (int i = 0; i < 15; ++i)
        picture.ScanLine(y)[i] = uint8_t(40 * y + 17 * i);
    return kestrava::TPictureMask::FromBitmap(picture);
  }();
  return mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  // A few bytes can declare pictures of a gigabyte within the readers' limits; making them on
  // every run would slow the search to a crawl without reaching any new code.
  constexpr int64_t kMaxPixels = int64_t{1} << 20;
  if (size < 4) return 0;
  const TPictureKind kind = static_cast<TPictureKind>(data[0] % 6);
  const TScreenSize screen{1 + data[1] % 64, 1 + data[2] % 64};
  const TPictureMask* mask = data[3] & 1 ? &Mask() : nullptr;
  const TPictureFit fit{static_cast<TFitMode>((data[3] >> 1 & 3) % 3), (data[3] & 8) != 0};
  const std::span<const uint8_t> source(data + 4, size - 4);
  // The BMP reader takes no pixel limit: what reaches it is bounded here.
  const TPictureContent content = PictureContentOf(source);
  const bool bmp = content == TPictureContent::Bmp ||
                   (content == TPictureContent::Unknown && kind == TPictureKind::Bmp);
  if (bmp && DeclaredBmpPixels(source) > kMaxPixels) return 0;
  try {
    const TJpegImage stored =
        DecodeJpeg(PreparePictureBytes(kind, source, screen, mask, kMaxPixels, fit));
    if (stored.Bitmap.Width() != screen.Width || stored.Bitmap.Height() != screen.Height)
      std::abort();
  } catch (const EImageError&) {
  }
  return 0;
}
