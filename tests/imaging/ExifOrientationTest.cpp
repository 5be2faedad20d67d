#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/ExifOrientation.h"
#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "imaging/Orientation.h"
#include "imaging/PictureLoader.h"
#include "imaging/Webp.h"
#include "tests/support/OrientedJpeg.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

using test::kOrientationTag;
using test::OrientationTiff;
using test::TiffBlock;
using test::WithExif;

std::vector<uint8_t> SmallJpeg() {
  return EncodeJpeg(test::CellPicture(8), false);
}

TEST(ExifOrientation, ReadsEveryValueInBothByteOrders) {
  const std::vector<uint8_t> plain = SmallJpeg();
  // A segment of another kind before the EXIF one, as editors write it.
  std::vector<uint8_t> withXmp = plain;
  const uint8_t xmp[] = {0xFF, 0xE1, 0x00, 0x08, 'h', 't', 't', 'p', ':', '/'};
  withXmp.insert(withXmp.begin() + 2, std::begin(xmp), std::end(xmp));
  for (const bool bigEndian : {false, true})
    for (int value = 1; value <= 8; ++value) {
      SCOPED_TRACE(std::to_string(value) + (bigEndian ? " big-endian" : " little-endian"));
      const std::vector<uint8_t> tiff = OrientationTiff(bigEndian, value);
      EXPECT_EQ(ReadTiffOrientation(tiff), value);
      std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0};
      block.insert(block.end(), tiff.begin(), tiff.end());
      EXPECT_EQ(ReadTiffOrientation(block), value);
      EXPECT_EQ(ReadExifOrientation(WithExif(plain, tiff)), value);
      EXPECT_EQ(ReadExifOrientation(WithExif(withXmp, tiff)), value);
    }
  EXPECT_EQ(ReadExifOrientation(plain), 1);
}

// Each case damages a good block or file that says 6; every one must read as upright.
TEST(ExifOrientation, MalformedDataIsUpright) {
  using TBytes = std::vector<uint8_t>;
  const auto entry = [](uint16_t type, uint32_t count, uint32_t value) {
    return test::TTiffEntry{kOrientationTag, type, count, value};
  };
  const struct {
    const char* Name;
    std::function<TBytes(bool)> Tiff;
  } tiffCases[] = {
      {"value 0", [&](bool be) { return TiffBlock(be, {entry(3, 1, 0)}); }},
      {"value 9", [&](bool be) { return TiffBlock(be, {entry(3, 1, 9)}); }},
      {"LONG type", [&](bool be) { return TiffBlock(be, {entry(4, 1, 6)}); }},
      {"count 2", [&](bool be) { return TiffBlock(be, {entry(3, 2, 6)}); }},
      {"count 0", [&](bool be) { return TiffBlock(be, {entry(3, 0, 6)}); }},
      {"cut in the entry",
       [](bool be) {
         TBytes tiff = OrientationTiff(be, 6);
         tiff.resize(tiff.size() - 4 - 3);
         return tiff;
       }},
      {"more entries than bytes",
       [](bool be) {
         TBytes tiff = TiffBlock(be, {{0x0100, 4, 1, 640}});
         tiff[be ? 9 : 8] = 200;  // the entry count
         return tiff;
       }},
      {"directory past the end",
       [](bool be) {
         TBytes tiff = OrientationTiff(be, 6);
         tiff[be ? 7 : 4] = uint8_t(tiff.size() - 1);
         return tiff;
       }},
      {"directory offset 0xFFFFFFFF",
       [](bool be) {
         TBytes tiff = OrientationTiff(be, 6);
         for (int i = 4; i < 8; ++i)
           tiff[size_t(i)] = 0xFF;
         return tiff;
       }},
      {"byte order of neither kind",
       [](bool be) {
         TBytes tiff = OrientationTiff(be, 6);
         tiff[1] = be ? 'I' : 'M';
         return tiff;
       }},
      {"not 42",
       [](bool be) {
         TBytes tiff = OrientationTiff(be, 6);
         tiff[be ? 3 : 2] = 43;
         return tiff;
       }},
      {"header only",
       [](bool be) {
         return TBytes{uint8_t(be ? 'M' : 'I'), uint8_t(be ? 'M' : 'I')};
       }},
      {"empty", [](bool) { return TBytes{}; }},
  };
  for (const bool bigEndian : {false, true})
    for (const auto& c : tiffCases) {
      SCOPED_TRACE(std::string(c.Name) + (bigEndian ? " big-endian" : " little-endian"));
      const TBytes tiff = c.Tiff(bigEndian);
      EXPECT_EQ(ReadTiffOrientation(tiff), 1);
      EXPECT_EQ(ReadExifOrientation(WithExif(SmallJpeg(), tiff)), 1);
    }

  const TBytes good = WithExif(SmallJpeg(), OrientationTiff(false, 6));
  ASSERT_EQ(ReadExifOrientation(good), 6);
  const size_t exifAt = 2 + 2 + (size_t(good[4]) << 8 | good[5]);  // after SOI and JFIF
  const struct {
    const char* Name;
    std::function<TBytes()> Jpeg;
  } jpegCases[] = {
      {"segment longer than the file",
       [&] {
         TBytes jpeg = good;
         jpeg[exifAt + 2] = 0xFF;
         return jpeg;
       }},
      {"cut inside the segment", [&] { return TBytes(good.begin(), good.begin() + exifAt + 20); }},
      {"cut in the length", [&] { return TBytes(good.begin(), good.begin() + exifAt + 3); }},
      {"segment length 1",
       [&] {
         TBytes jpeg = good;
         jpeg[exifAt + 2] = 0, jpeg[exifAt + 3] = 1;
         return jpeg;
       }},
      {"no start of image", [&] { return TBytes(good.begin() + 2, good.end()); }},
      {"bytes between markers",
       [&] {
         TBytes jpeg = good;
         jpeg.insert(jpeg.begin() + ptrdiff_t(exifAt), 0x00);
         return jpeg;
       }},
      {"EXIF after the scan",
       [&] {
         TBytes jpeg = SmallJpeg();
         const size_t length = good.size() - jpeg.size();
         const auto segment = good.begin() + ptrdiff_t(exifAt);
         jpeg.insert(jpeg.end() - 2, segment, segment + ptrdiff_t(length));
         return jpeg;
       }},
  };
  for (const auto& c : jpegCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ReadExifOrientation(c.Jpeg()), 1);
  }
}

TEST(Orientation, TurnsEveryStoredWayUprightInEveryPixelFormat) {
  const TBitmap upright24 = test::CellPicture(2);
  for (const TPixelFormat format :
       {TPixelFormat::pf8bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit, TPixelFormat::pfDevice})
    for (int orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE("format " + std::to_string(int(format)) + ", orientation " +
                   std::to_string(orientation));
      TBitmap upright = upright24, stored = test::StoredAs(upright24, orientation);
      upright.SetPixelFormat(format);
      stored.SetPixelFormat(format);
      EXPECT_EQ(OrientationSwapsSides(orientation), stored.Width() != upright.Width());
      const TBitmap turned = Oriented(stored, orientation);
      ASSERT_EQ(turned.PixelFormat(), format);
      ASSERT_EQ(turned.Width(), upright.Width());
      ASSERT_EQ(turned.Height(), upright.Height());
      for (int y = 0; y < upright.Height(); ++y)
        for (int x = 0; x < upright.Width(); ++x)
          ASSERT_EQ(turned.PixelAt(x, y), upright.PixelAt(x, y)) << x << ", " << y;
    }
}

TEST(Orientation, LoaderShowsEveryTaggedJpegUpright) {
  constexpr int kCell = 16;
  const TBitmap upright = test::CellPicture(kCell);
  test::TScratchFolder folder;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    const std::filesystem::path file = folder / ("photo" + std::to_string(orientation) + ".jpg");
    WriteFileBytes(file, WithExif(EncodeJpeg(test::StoredAs(upright, orientation), false),
                                  OrientationTiff(orientation % 2 == 0, orientation)));
    const TBitmap loaded = LoadPicture(file);
    ASSERT_EQ(loaded.Width(), upright.Width());
    ASSERT_EQ(loaded.Height(), upright.Height());
    for (int row = 0; row < test::kCellRows; ++row)
      for (int column = 0; column < test::kCellColumns; ++column)
        EXPECT_TRUE(
            test::NearColour(loaded.PixelAt(column * kCell + kCell / 2, row * kCell + kCell / 2),
                             test::kCellColours[row][column]))
            << "cell " << column << ", " << row;
  }
}

// A simple WebP file made extended: a VP8X chunk that announces EXIF, the picture's own chunk, then
// the EXIF chunk (its size as given, which may lie).
std::vector<uint8_t> WebpWithExif(const std::vector<uint8_t>& simple, int width, int height,
                                  const std::vector<uint8_t>& exif, uint32_t exifSize) {
  const auto le = [](std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      out.push_back(uint8_t(v >> (8 * i)));
  };
  std::vector<uint8_t> body = {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
  le(body, 10, 4);
  body.push_back(0x08);  // EXIF present
  le(body, 0, 3);
  le(body, uint32_t(width - 1), 3);
  le(body, uint32_t(height - 1), 3);
  body.insert(body.end(), simple.begin() + 12, simple.end());
  body.insert(body.end(), {'E', 'X', 'I', 'F'});
  le(body, exifSize, 4);
  body.insert(body.end(), exif.begin(), exif.end());
  if (exif.size() % 2) body.push_back(0);
  std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
  le(file, uint32_t(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// WebP pictures carry EXIF in a chunk of their own: the reader turns them upright by it, and a
// chunk whose size runs past the file leaves the picture as stored.
TEST(Orientation, WebpPicturesAreTurnedByTheirExifChunk) {
  const std::vector<uint8_t> simple =
      ReadFileBytes(std::filesystem::path(KESTRAVA_TEST_DATA_DIR) / "prepare" / "halves.webp");
  const TBitmap stored = ReadWebp(simple);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    const std::vector<uint8_t> tiff = OrientationTiff(orientation % 2 == 1, orientation);
    const std::vector<uint8_t> webp =
        WebpWithExif(simple, stored.Width(), stored.Height(), tiff, uint32_t(tiff.size()));
    EXPECT_EQ(ReadWebpOrientation(webp), orientation);
    const TBitmap read = ReadWebp(webp);
    const TBitmap expected = Oriented(stored, orientation);
    ASSERT_EQ(read.Width(), expected.Width());
    ASSERT_EQ(read.Height(), expected.Height());
    for (int y = 0; y < read.Height(); ++y)
      for (int x = 0; x < read.Width(); ++x)
        ASSERT_EQ(read.PixelAt(x, y), expected.PixelAt(x, y)) << x << "," << y;
  }
  const std::vector<uint8_t> tiff = OrientationTiff(false, 6);
  EXPECT_EQ(
      ReadWebpOrientation(WebpWithExif(simple, stored.Width(), stored.Height(), tiff, 0x7FFFFFF0)),
      kUpright);
  EXPECT_EQ(ReadWebpOrientation(simple), kUpright);
  EXPECT_EQ(ReadWebpOrientation({}), kUpright);
}

}  // namespace
}  // namespace kestrava
