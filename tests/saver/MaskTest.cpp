#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "imaging/ImageErrors.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "saver/PictureMask.h"
#include "tests/saver/PrepareTestSupport.h"
#include "tests/support/JpegPrograms.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using prepare_test::kFixtures;
using test::TScratchFolder;

TBitmap Flat(int width, int height, TColor color, TPixelFormat format = TPixelFormat::pf24bit) {
  TBitmap bitmap(width, height, format);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect({0, 0, width, height});
  return bitmap;
}

TBitmap Noise(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * 3; ++x)
      bitmap.ScanLine(y)[x] = uint8_t(random());
  return bitmap;
}

// The mask the plain way: stretched onto a 24-bit bitmap of the picture's size with the canvas,
// then each channel c of the picture times L div 255.
TBitmap PlainMasked(const TBitmap& picture, const TBitmap& maskPicture) {
  TBitmap stretched(picture.Width(), picture.Height(), TPixelFormat::pf24bit);
  stretched.Canvas().StretchDraw({0, 0, picture.Width(), picture.Height()}, maskPicture);
  TBitmap result(picture.Width(), picture.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const TPixel m = stretched.PixelAt(x, y), p = picture.PixelAt(x, y);
      const unsigned l = (30 * (m >> 16 & 0xFF) + 59 * (m >> 8 & 0xFF) + 11 * (m & 0xFF)) / 100;
      uint8_t* out = result.ScanLine(y) + x * 3;
      for (int c = 0; c < 3; ++c)
        out[c] = uint8_t((p >> (8 * c) & 0xFF) * l / 255);
    }
  return result;
}

struct TMaskColourCase {
  const char* Name;
  TColor Mask;
  int Lightness;
};

// L = (30 R + 59 G + 11 B) div 100.
const TMaskColourCase kMaskColours[] = {
    {"white", clWhite, 255},
    {"black", clBlack, 0},
    {"grey 128", RGBColor(128, 128, 128), 128},
    {"red", RGBColor(255, 0, 0), 76},
    {"green", RGBColor(0, 255, 0), 150},
    {"blue", RGBColor(0, 0, 255), 28},
    {"mixed", RGBColor(10, 20, 30), 18},
};

TEST(PictureMask, LightnessOfMaskColours) {
  for (const TMaskColourCase& c : kMaskColours) {
    SCOPED_TRACE(c.Name);
    const TPictureMask mask = TPictureMask::FromBitmap(Flat(3, 2, c.Mask));
    ASSERT_EQ(mask.Width(), 3);
    ASSERT_EQ(mask.Height(), 2);
    EXPECT_EQ(mask.Row(1)[2], c.Lightness);
  }
}

// Channels 0, 100 and 255 under each flat mask: c * L div 255 (grey 128 halves: 100 -> 50,
// 255 -> 128; white keeps, black clears).
TEST(ApplyMask, FlatMasksScaleEveryChannel) {
  for (const TMaskColourCase& c : kMaskColours) {
    SCOPED_TRACE(c.Name);
    TBitmap work = Flat(5, 3, RGBColor(255, 100, 0));
    ApplyMask(work, TPictureMask::FromBitmap(Flat(2, 2, c.Mask)));
    const int l = c.Lightness;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        ASSERT_EQ(work.PixelAt(x, y), TPixel(255 * l / 255) << 16 | TPixel(100 * l / 255) << 8);
  }
  TBitmap work = Flat(1, 1, RGBColor(100, 255, 100));
  ApplyMask(work, TPictureMask::FromBitmap(Flat(1, 1, RGBColor(128, 128, 128))));
  EXPECT_EQ(work.PixelAt(0, 0), 0x328032u) << "100 -> 50, 255 -> 128";
}

// A noisy mask over noisy pictures, shrunk and enlarged independently along each axis: the
// mask's pixels are chosen as the canvas stretches it, the mask's shape is not kept.
TEST(ApplyMask, MatchesTheMaskStretchedWithTheCanvas) {
  const TBitmap maskPicture = Noise(13, 9, 1);
  const TPictureMask mask = TPictureMask::FromBitmap(maskPicture);
  const struct {
    int Width, Height;
  } sizes[] = {{13, 9}, {40, 30}, {7, 20}, {50, 4}, {1, 1}, {6, 5}};
  uint32_t seed = 2;
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.Width) + " x " + std::to_string(size.Height));
    const TBitmap picture = Noise(size.Width, size.Height, seed++);
    TBitmap work = picture;
    ApplyMask(work, mask);
    EXPECT_TRUE(prepare_test::SamePixels(work, PlainMasked(picture, maskPicture)));
  }
}

TEST(ApplyMask, OtherLayoutsBecome24Bit) {
  const TPictureMask grey = TPictureMask::FromBitmap(Flat(4, 4, RGBColor(128, 128, 128)));
  for (const TPixelFormat format : {TPixelFormat::pf8bit, TPixelFormat::pf32bit}) {
    SCOPED_TRACE(BitsPerPixel(format));
    TBitmap picture = Noise(9, 7, 5);
    picture.SetPixelFormat(format);
    TBitmap work = picture;
    ApplyMask(work, grey);
    EXPECT_EQ(work.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(prepare_test::SamePixels(work, PlainMasked(picture, Flat(1, 1, 0x808080))));
  }
}

TEST(ApplyMask, EmptyPictureStaysEmpty) {
  TBitmap work;
  ApplyMask(work, TPictureMask::FromBitmap(Flat(2, 2, clWhite)));
  EXPECT_TRUE(work.Empty());
}

TEST(PictureMask, LoadsJpegFiles) {
  const TPictureMask mask = TPictureMask::Load(kFixtures / "mask-grey.jpg");
  ASSERT_EQ(mask.Width(), 16);
  ASSERT_EQ(mask.Height(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(mask.Row(y)[x], 128);
}

// Whatever the name says, the mask is read as JPEG.
TEST(PictureMask, NameDoesNotChooseTheReader) {
  const TScratchFolder dir;
  fs::copy_file(kFixtures / "mask-white.jpg", dir / "mask1.bmp");
  EXPECT_EQ(TPictureMask::Load(dir / "mask1.bmp").Row(0)[0], 255);
  fs::copy_file(kFixtures / "picture-24bit.bmp", dir / "mask1.jpg");
  EXPECT_THROW(TPictureMask::Load(dir / "mask1.jpg"), EJpegError);
}

TEST(PictureMask, MissingOrUndecodableFileFails) {
  const TScratchFolder dir;
  EXPECT_THROW(TPictureMask::Load(dir / "missing.jpg"), EImageError);
  test::WritePpm(dir / "not-a-jpeg.jpg", Flat(2, 2, clWhite));
  EXPECT_THROW(TPictureMask::Load(dir / "not-a-jpeg.jpg"), EImageError);
  EXPECT_THROW(TPictureMask::FromBitmap(TBitmap()), EImageError);
}

}  // namespace
}  // namespace kestrava
