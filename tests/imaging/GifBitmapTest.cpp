// The first frame as a bitmap, the frames' bitmaps and masks, the palettes, and dithering for
// displays of 8 bits per pixel or fewer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/GifDither.h"
#include "imaging/GifPicture.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

using namespace giftest;

const std::vector<TPixel> kColors = {kRed, kGreen, kBlue, 0x123456};

TEST(GifBitmap, FrameOfScreenSizeKeepsItsIndicesAndColourTable) {
  // Index 5 lies beyond the 4-entry table and shows black.
  TLoad load(
      Cat({Screen(3, 2, kColors), Image(0, 0, 3, 2, {0, 1, 2, 3, 5, 0}, {}, false, 3), Trailer()}));
  ASSERT_EQ(load.Error, "");
  const TBitmap* b = load.Picture.Bitmap();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->PixelFormat(), TPixelFormat::pf8bit);
  ASSERT_EQ(b->Width(), 3);
  ASSERT_EQ(b->Height(), 2);
  EXPECT_EQ(b->ScanLine(1)[1], 5);
  const TPixel expected[2][3] = {{kRed, kGreen, kBlue}, {0x123456, kBlack, kRed}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(b->PixelAt(x, y), expected[y][x]) << x << ", " << y;
  for (int i = 4; i < 256; ++i)
    EXPECT_EQ(b->Palette()[size_t(i)], kBlack);
  EXPECT_EQ(load.Picture.Bitmap(), b);  // made once
}

TEST(GifBitmap, FirstFrameSitsAtItsPlaceOverBlack) {
  // A 4 x 3 screen; each case's first frame, then a frame covering everything that never shows.
  constexpr TPixel R = kRed, G = kGreen, B = kBlue, K = kBlack;
  const struct {
    const char* Name;
    TBytes First;
    std::vector<TPixel> Expected;  // rows top first
  } cases[] = {
      {"smaller, transparent index 0",
       Cat({GraphicControl(0, 10, 0), Image(1, 1, 2, 1, {0, 2})}),
       {K, K, K, K, /**/ K, K, B, K, /**/ K, K, K, K}},
      {"screen's size, transparent index 1",
       Cat({GraphicControl(0, 10, 1), Image(0, 0, 4, 3, {0, 1, 2, 0, 1, 1, 1, 1, 2, 2, 0, 1})}),
       {R, K, B, R, /**/ K, K, K, K, /**/ B, B, R, K}},
      {"screen's size, partly outside",
       Image(2, 1, 4, 3, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}),
       {K, K, K, K, /**/ K, K, R, G, /**/ K, K, G, B}},
      {"screen's size, wholly outside",
       Image(5, 7, 4, 3, TBytes(12, 0)),
       {K, K, K, K, /**/ K, K, K, K, /**/ K, K, K, K}},
      {"smaller, over the right edge",
       Image(3, 0, 2, 1, {2, 0}),
       {K, K, K, B, /**/ K, K, K, K, /**/ K, K, K, K}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(Cat({Screen(4, 3, kColors), c.First, Image(0, 0, 4, 3, TBytes(12, 1)), Trailer()}));
    ASSERT_EQ(load.Error, "");
    const TBitmap* b = load.Picture.Bitmap();
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Width(), 4);
    ASSERT_EQ(b->Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(b->PixelAt(x, y) & 0xFFFFFF, c.Expected[size_t(y * 4 + x)]) << x << ", " << y;
    EXPECT_EQ(*load.Picture.Palette(), b->Palette());
  }
}

TEST(GifBitmap, ColoursComeFromTheFrameOrThePicture) {
  const std::vector<TPixel> local = {kWhite, 0x0A0B0C};
  const struct {
    const char* Name;
    TBytes Bytes;
    std::string Error;
    TPixel SecondFramePixel;  // index 1 of the second frame
    TPixel PaletteEntry1;
  } cases[] = {
      {"global table",
       Cat({Screen(1, 1, kColors), Image(0, 0, 1, 1, {1}), Image(0, 0, 1, 1, {1}), Trailer()}), "",
       kGreen, kGreen},
      // The picture's palette is the first frame's; the second frame takes it.
      {"first frame's local table",
       Cat({Screen(1, 1, {}), Image(0, 0, 1, 1, {1}, local), Image(0, 0, 1, 1, {1}), Trailer()}),
       "", 0x0A0B0C, 0x0A0B0C},
      {"local table over the global",
       Cat({Screen(1, 1, kColors), Image(0, 0, 1, 1, {1}), Image(0, 0, 1, 1, {1}, local),
            Trailer()}),
       "", 0x0A0B0C, kGreen},
      {"no table anywhere", Cat({Screen(1, 1, {}), Image(0, 0, 1, 1, {1}), Trailer()}),
       "No global or local color table defined", 0, 0},
      {"no table, first frame smaller", Cat({Screen(2, 2, {}), Image(0, 0, 1, 1, {1}), Trailer()}),
       "No global or local color table defined", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(c.Bytes);
    ASSERT_EQ(load.Error, "");
    try {
      ASSERT_NE(load.Picture.Bitmap(), nullptr);
      EXPECT_EQ(c.Error, "");
      EXPECT_EQ((*load.Picture.Palette())[1], c.PaletteEntry1);
      EXPECT_EQ(load.Picture.Images()[1].Bitmap().PixelAt(0, 0), c.SecondFramePixel);
    } catch (const EGifError& e) {
      EXPECT_EQ(std::string(e.what()), c.Error);
    }
  }
}

TEST(GifBitmap, EmptyPictureHasNoBitmap) {
  TLoad withTable(Cat({Screen(2, 2, kColors), Trailer()}));
  EXPECT_TRUE(withTable.Picture.Empty());
  EXPECT_EQ(withTable.Picture.Bitmap(), nullptr);
  ASSERT_NE(withTable.Picture.Palette(), nullptr);
  EXPECT_EQ((*withTable.Picture.Palette())[2], kBlue);
  TLoad withoutTable(Cat({Screen(2, 2, {}), Trailer()}));
  EXPECT_EQ(withoutTable.Picture.Bitmap(), nullptr);
  EXPECT_EQ(withoutTable.Picture.Palette(), nullptr);
}

TEST(GifBitmap, MaskMarksTheTransparentIndex) {
  // 18 pixels wide: the mask's rows take 4 bytes, padded to 16 bits.
  TBytes pixels(18 * 2, 1);
  pixels[0] = pixels[17] = pixels[18 + 9] = 3;
  const struct {
    const char* Name;
    TBytes Control;
    bool HasMask;
  } cases[] = {
      {"transparent index 3", GraphicControl(0, 0, 3), true},
      {"transparent index not used", GraphicControl(0, 0, 2), false},
      {"no transparency", GraphicControl(0, 0), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(Cat({Screen(18, 2, kColors), c.Control, Image(0, 0, 18, 2, pixels), Trailer()}));
    TGifFrame& frame = load.Picture.Images()[0];
    const TGifMask* mask = frame.Mask();
    ASSERT_EQ(mask != nullptr, c.HasMask);
    if (!mask) continue;
    EXPECT_EQ(mask->Stride(), 4u);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 18; ++x)
        EXPECT_EQ(mask->IsSet(x, y), pixels[size_t(y * 18 + x)] == 3) << x << ", " << y;
  }
}

TEST(GifBitmap, DisplaysOf8BitsDitherOntoTheFixedTable) {
  // Web colours map onto their own entry; a grey between two levels becomes a mix of both whose
  // mean is that grey.
  const TPixel webColor = 51 << 16 | 102 << 8 | 153;
  const TPixel grey = 0x808080;
  TBytes pixels(16 * 16, 1);
  for (int x = 0; x < 16; ++x)
    pixels[size_t(x)] = 0;
  TLoad load(Cat({Screen(16, 16, {webColor, grey}), Image(0, 0, 16, 16, pixels), Trailer()}));
  TGifPicture& p = load.Picture;
  EXPECT_FALSE(p.Dithering());
  p.SetDisplayBitsPerPixel(8);
  ASSERT_TRUE(p.Dithering());
  EXPECT_EQ(*p.Palette(), WebSafePalette());
  const TBitmap& frame = p.Images()[0].Bitmap();
  EXPECT_EQ(frame.Palette(), WebSafePalette());
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(frame.ScanLine(0)[x], 36 * 1 + 6 * 2 + 3);
  int sum = 0;
  for (int y = 1; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const TPixel c = frame.PixelAt(x, y);
      ASSERT_TRUE(c == 0x666666 || c == 0x999999) << std::hex << c;
      sum += int(c & 0xFF);
    }
  EXPECT_NEAR(sum / (15.0 * 16), 128.0, 1.0);

  // Dithering is only for such displays, unless told otherwise.
  p.SetDisplayBitsPerPixel(24);
  EXPECT_EQ(p.Images()[0].Bitmap().PixelAt(0, 1), grey);
  TGifDrawOptions always = p.DrawOptions();
  always.AutoDither = false;
  p.SetDrawOptions(always);
  EXPECT_NE(p.Images()[0].Bitmap().PixelAt(0, 1), grey);
}

TEST(GifBitmap, WithoutAnyTableOnlyADitheringDisplayGetsABitmap) {
  TLoad load(Cat({Screen(2, 1, {}), Image(0, 0, 1, 1, {1}), Trailer()}));
  TGifPicture& p = load.Picture;
  EXPECT_THROW(p.Bitmap(), EGifError);
  p.SetDisplayBitsPerPixel(8);
  const TBitmap* b = p.Bitmap();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(b->PixelAt(0, 0), kBlack);
  EXPECT_EQ(b->ScanLine(0)[1], 0);  // black in the fixed table
}

}  // namespace
}  // namespace kestrava
