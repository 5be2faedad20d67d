#include <gtest/gtest.h>

#include "SwfWriter.h"
#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "movie/SwfTagCodes.h"
#include "movie/render/BitmapDecoder.h"
#include "movie/render/JpegStream.h"

namespace kestrava::test {
namespace {

using render::DecodeBitmapCharacter;
using render::TDecodedBitmap;

TSwfCharacter CharacterOf(uint16_t tag, const std::vector<uint8_t>& body) {
  return TSwfCharacter{uint16_t(body[0] | body[1] << 8), tag, body};
}

TDecodedBitmap Decode(uint16_t tag, const std::vector<uint8_t>& body,
                      std::span<const uint8_t> tables = {}) {
  return DecodeBitmapCharacter(CharacterOf(tag, body), tables);
}

// Channels of a premultiplied pixel, within `tolerance` (JPEG is lossy).
::testing::AssertionResult PixelNear(uint32_t actual, uint32_t expected, int tolerance = 0) {
  for (int shift : {24, 16, 8, 0}) {
    const int a = int(actual >> shift & 0xFF), e = int(expected >> shift & 0xFF);
    if (std::abs(a - e) > tolerance)
      return ::testing::AssertionFailure()
             << std::hex << "got 0x" << actual << ", expected 0x" << expected;
  }
  return ::testing::AssertionSuccess();
}

TBitmap Solid(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bitmap.ScanLine(y) + 3 * x;
      p[0] = b, p[1] = g, p[2] = r;
    }
  return bitmap;
}

std::vector<uint8_t> WithId(uint16_t id, std::span<const uint8_t> data) {
  TBitWriter w;
  w.U16(id).Bytes(data);
  return w.Take();
}

// A JPEG cut in two as DefineBits stores it: the quantisation and Huffman tables in their own
// stream (JPEGTables), the rest in another.
void SplitJpeg(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& tables,
               std::vector<uint8_t>& image) {
  tables = {0xFF, 0xD8};
  image = {0xFF, 0xD8};
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at + 1] != 0xDA) {
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    auto& to = jpeg[at + 1] == 0xDB || jpeg[at + 1] == 0xC4 ? tables : image;
    to.insert(to.end(), jpeg.begin() + at, jpeg.begin() + at + 2 + length);
    at += 2 + length;
  }
  image.insert(image.end(), jpeg.begin() + at, jpeg.end());
  tables.insert(tables.end(), {0xFF, 0xD9});
}

TEST(BitmapDecoder, LosslessFormatsGiveTheirColours) {
  const std::vector<TSwfRgba> pixels{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 128}};
  const TDecodedBitmap opaque =
      Decode(swftag::DefineBitsLossless, LosslessBody(1, 3, 1, pixels, false));
  ASSERT_EQ(opaque.Width, 3);
  ASSERT_EQ(opaque.Height, 1);
  EXPECT_TRUE(PixelNear(opaque.Pixels[0], 0xFFFF0000));
  EXPECT_TRUE(PixelNear(opaque.Pixels[2], 0xFF0000FF)) << "format 5 of Lossless is opaque";
  const TDecodedBitmap alpha =
      Decode(swftag::DefineBitsLossless2, LosslessBody(1, 3, 1, pixels, true));
  EXPECT_TRUE(PixelNear(alpha.Pixels[1], 0xFF00FF00));
  EXPECT_TRUE(PixelNear(alpha.Pixels[2], 0x80000080)) << "kept premultiplied";
}

TEST(BitmapDecoder, ColourTablesAndFifteenBitPixelsHonourRowPadding) {
  // Format 3, 3 x 2: rows of 3 indexes padded to 4 bytes, the table before them.
  std::vector<uint8_t> indexed{255, 0, 0, 0, 0, 255,  // red, blue
                               0,   1, 0, 9, 1, 1,   0, 9};
  TBitWriter w3;
  w3.U16(1).U8(3).U16(3).U16(2).U8(1).Bytes(Deflate(indexed));
  const TDecodedBitmap table = Decode(swftag::DefineBitsLossless, w3.Take());
  EXPECT_TRUE(PixelNear(table.Pixels[0], 0xFFFF0000));
  EXPECT_TRUE(PixelNear(table.Pixels[1], 0xFF0000FF));
  EXPECT_TRUE(PixelNear(table.Pixels[3], 0xFF0000FF)) << "the second row starts after the padding";
  EXPECT_TRUE(PixelNear(table.Pixels[5], 0xFFFF0000));

  // Lossless2's table has alpha; an entry brighter than its alpha is held to it.
  std::vector<uint8_t> indexed2{200, 0, 0, 100, 0, 0, 0, 0, 0, 1, 0, 0};
  TBitWriter w3a;
  w3a.U16(1).U8(3).U16(2).U16(1).U8(1).Bytes(Deflate(indexed2));
  const TDecodedBitmap table2 = Decode(swftag::DefineBitsLossless2, w3a.Take());
  EXPECT_TRUE(PixelNear(table2.Pixels[0], 0x64640000));
  EXPECT_TRUE(PixelNear(table2.Pixels[1], 0x00000000));

  // Format 4: 0RRRRRGGGGGBBBBB big-endian, rows padded to 4 bytes (one pixel + 2 bytes).
  std::vector<uint8_t> fifteen{0x7C, 0x00, 0, 0, 0x03, 0xE0, 0, 0};
  TBitWriter w4;
  w4.U16(1).U8(4).U16(1).U16(2).Bytes(Deflate(fifteen));
  const TDecodedBitmap rgb15 = Decode(swftag::DefineBitsLossless, w4.Take());
  EXPECT_TRUE(PixelNear(rgb15.Pixels[0], 0xFFFF0000));
  EXPECT_TRUE(PixelNear(rgb15.Pixels[1], 0xFF00FF00));
}

TEST(BitmapDecoder, ShortPixelDataLeavesTheRestTransparent) {
  std::vector<uint8_t> raw{0xFF, 255, 0, 0};  // one pixel of four
  TBitWriter w;
  w.U16(1).U8(5).U16(2).U16(2).Bytes(Deflate(raw));
  const TDecodedBitmap bitmap = Decode(swftag::DefineBitsLossless, w.Take());
  EXPECT_TRUE(PixelNear(bitmap.Pixels[0], 0xFFFF0000));
  EXPECT_EQ(bitmap.Pixels[3], 0u);
}

TEST(BitmapDecoder, RefusesWhatItCannotShow) {
  TBitWriter huge, none, format;
  huge.U16(1).U8(5).U16(65535).U16(65535).U8(0);
  none.U16(1).U8(5).U16(0).U16(4).U8(0);
  format.U16(1).U8(7).U16(4).U16(4).U8(0);
  for (auto* w : {&huge, &none, &format})
    EXPECT_THROW(Decode(swftag::DefineBitsLossless, w->Take()), ESwfError);
  EXPECT_THROW(Decode(swftag::DefineBitsLossless, {1, 0, 5}), ESwfError) << "cut short";
}

TEST(BitmapDecoder, JpegsComeWithTheirTablesAndAlpha) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(Solid(16, 8, 255, 0, 0), false);
  std::vector<uint8_t> tables, image;
  SplitJpeg(jpeg, tables, image);

  // DefineBits: the tables come from the movie.
  const TDecodedBitmap bits = Decode(swftag::DefineBits, WithId(1, image), tables);
  ASSERT_EQ(bits.Width, 16);
  EXPECT_TRUE(PixelNear(bits.Pixels[5], 0xFFFF0000, 4));
  EXPECT_ANY_THROW(Decode(swftag::DefineBits, WithId(1, image))) << "no tables";

  // DefineBitsJPEG2 with the stray end and start markers old encoders wrote in front.
  std::vector<uint8_t> stray{0xFF, 0xD9, 0xFF, 0xD8};
  stray.insert(stray.end(), jpeg.begin(), jpeg.end());
  EXPECT_TRUE(
      PixelNear(Decode(swftag::DefineBitsJpeg2, WithId(1, stray)).Pixels[0], 0xFFFF0000, 4));

  // DefineBitsJPEG3: the alpha after the picture, one byte per pixel; the JPEG's colours are
  // already multiplied by it (a dark red of half alpha is a full red half covering).
  const std::vector<uint8_t> darkRed = EncodeJpeg(Solid(16, 8, 128, 0, 0), false);
  std::vector<uint8_t> alpha(16 * 8, 128);
  alpha[0] = 0;
  TBitWriter w;
  w.U16(1).U32(uint32_t(darkRed.size())).Bytes(darkRed).Bytes(Deflate(alpha));
  const TDecodedBitmap withAlpha = Decode(swftag::DefineBitsJpeg3, w.Take());
  EXPECT_EQ(withAlpha.Pixels[0], 0u);
  EXPECT_TRUE(PixelNear(withAlpha.Pixels[1], 0x80800000, 3));
  // An offset past the end is damage.
  TBitWriter bad;
  bad.U16(1).U32(100000).Bytes(jpeg);
  EXPECT_THROW(Decode(swftag::DefineBitsJpeg3, bad.Take()), ESwfError);
}

TEST(BitmapDecoder, PngAndGifMayStandInForTheJpeg) {
  const std::vector<uint8_t> png = EncodePng(Solid(3, 2, 0, 0, 255));
  const TDecodedBitmap fromPng = Decode(swftag::DefineBitsJpeg2, WithId(1, png));
  ASSERT_EQ(fromPng.Width, 3);
  EXPECT_TRUE(PixelNear(fromPng.Pixels[5], 0xFF0000FF));

  // 2 x 1, red and the transparent index.
  const std::vector<uint8_t> gif{'G',  'I',  'F',  '8',  '9', 'a', 2, 0,    1, 0,
                                 0x80, 0,    0,    0xFF, 0,   0,   0, 0xFF, 0,     // the table
                                 0x21, 0xF9, 4,    1,    0,   0,   1, 0,           // index 1 clear
                                 0x2C, 0,    0,    0,    0,   2,   0, 1,    0, 0,  // the image
                                 2,    2,    0x44, 0x0A, 0,   0x3B};
  TBitWriter w;
  w.U16(1).U32(uint32_t(gif.size())).Bytes(gif);
  const TDecodedBitmap fromGif = Decode(swftag::DefineBitsJpeg3, w.Take());
  ASSERT_EQ(fromGif.Width, 2);
  EXPECT_TRUE(PixelNear(fromGif.Pixels[0], 0xFFFF0000));
  EXPECT_EQ(fromGif.Pixels[1], 0u);
}

TEST(JpegStream, JoinsTablesAndPictureIntoOneStream) {
  const std::vector<uint8_t> tables{0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 7, 0xFF, 0xD9};
  const std::vector<uint8_t> image{0xFF, 0xD8, 0xFF, 0xC0, 0, 2,    0xFF,
                                   0xDA, 0,    2,    1,    2, 0xFF, 0xD9};
  const std::vector<uint8_t> joined{0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 7, 0xFF, 0xC0, 0,
                                    2,    0xFF, 0xDA, 0,    2, 1, 2, 0xFF, 0xD9};
  EXPECT_EQ(render::JoinJpegStreams(tables, image), joined);
  EXPECT_TRUE(render::JoinJpegStreams({}, std::vector<uint8_t>{'P', 'K', 3, 4}).empty());
  EXPECT_TRUE(
      render::JoinJpegStreams({}, std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xC0, 0, 9}).empty())
      << "a segment longer than the data";
}

}  // namespace
}  // namespace kestrava::test
