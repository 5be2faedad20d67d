#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "tests/support/JpegPrograms.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

using test::Cjpeg;
using test::Djpeg;
using test::HaveProgram;
using test::TScratchFolder;

// An awkward size with smooth ramps, for the encoder's ordinary work, and one flat block with
// hard edges.
TBitmap TestPicture() {
  TBitmap bitmap(47, 33, TPixelFormat::pf24bit);
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const bool block = x >= 16 && x < 32 && y >= 8 && y < 24;
      row[x * 3 + 0] = block ? 224 : uint8_t(x * 5);
      row[x * 3 + 1] = block ? 32 : uint8_t(y * 7);
      row[x * 3 + 2] = block ? 32 : uint8_t(200 - x - y);
    }
  }
  return bitmap;
}

double MeanError(const TBitmap& a, const TBitmap& b) {
  int64_t sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int shift : {0, 8, 16})
        sum +=
            std::abs(int(a.PixelAt(x, y) >> shift & 0xFF) - int(b.PixelAt(x, y) >> shift & 0xFF));
  return double(sum) / (3.0 * a.Width() * a.Height());
}

TEST(JpegEncode, RoundTripStaysClose) {
  const TBitmap source = TestPicture();
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "sequential");
    const TJpegImage decoded = DecodeJpeg(EncodeJpeg(source, progressive));
    ASSERT_EQ(decoded.Bitmap.Width(), source.Width());
    ASSERT_EQ(decoded.Bitmap.Height(), source.Height());
    EXPECT_EQ(decoded.Progressive, progressive);
    EXPECT_LT(MeanError(source, decoded.Bitmap), 4.0);
  }
}

// Every format is encoded through its 24-bit copy, so the bytes must be the same.
TEST(JpegEncode, OtherFormatsEncodeAsTheir24BitCopy) {
  for (const TPixelFormat format :
       {TPixelFormat::pf8bit, TPixelFormat::pf32bit, TPixelFormat::pfDevice})
    for (const bool progressive : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << BitsPerPixel(format) << " bits, progressive " << progressive);
      TBitmap source = TestPicture();
      source.SetPixelFormat(format);
      TBitmap copy = source;
      copy.SetPixelFormat(TPixelFormat::pf24bit);
      EXPECT_EQ(EncodeJpeg(source, progressive), EncodeJpeg(copy, progressive));
    }
}

// The contents of the segments up to the first scan header, grouped by marker code.
std::map<uint8_t, std::vector<std::vector<uint8_t>>> HeaderSegments(
    const std::vector<uint8_t>& jpeg) {
  std::map<uint8_t, std::vector<std::vector<uint8_t>>> segments;
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
    const uint8_t marker = jpeg[pos + 1];
    const size_t length = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
    if (pos + 2 + length > jpeg.size()) break;
    segments[marker].emplace_back(jpeg.begin() + std::ptrdiff_t(pos + 4),
                                  jpeg.begin() + std::ptrdiff_t(pos + 2 + length));
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return segments;
}

// The example tables of the JPEG standard (Annex K), in row order.
constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A DQT table lists its values along the zigzag path; this gives them back in row order.
std::vector<int> RowOrder(const uint8_t* zigzag) {
  std::vector<int> table(64);
  int k = 0;
  for (int sum = 0; sum <= 14; ++sum) {
    const int low = std::max(0, sum - 7), high = std::min(sum, 7);
    for (int i = 0; i <= high - low; ++i) {
      const int row = sum % 2 ? low + i : high - i;
      table[size_t(row * 8 + sum - row)] = zigzag[k++];
    }
  }
  return table;
}

// Quality 80 scales the standard tables by 40 %, clamped to 1..255 for baseline.
std::vector<int> Scaled(const int* base) {
  std::vector<int> table(64);
  for (size_t i = 0; i < 64; ++i)
    table[i] = std::clamp((base[i] * 40 + 50) / 100, 1, 255);
  return table;
}

TEST(JpegEncode, HeaderHasQuality80TablesAndTheRightFrame) {
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "sequential");
    const auto segments = HeaderSegments(EncodeJpeg(TestPicture(), progressive));

    ASSERT_TRUE(segments.count(0xE0));
    EXPECT_EQ(std::string(segments.at(0xE0)[0].begin(), segments.at(0xE0)[0].begin() + 5),
              std::string("JFIF", 5));
    EXPECT_FALSE(segments.count(0xEE)) << "Adobe marker";

    std::map<int, std::vector<int>> tables;
    ASSERT_TRUE(segments.count(0xDB));
    for (const auto& dqt : segments.at(0xDB))
      for (size_t pos = 0; pos + 65 <= dqt.size(); pos += 65) {
        EXPECT_EQ(dqt[pos] >> 4, 0) << "8-bit precision";
        tables[dqt[pos] & 15] = RowOrder(&dqt[pos + 1]);
      }
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0], Scaled(kLuminance));
    EXPECT_EQ(tables[1], Scaled(kChrominance));

    const uint8_t sof = progressive ? 0xC2 : 0xC0;
    EXPECT_FALSE(segments.count(progressive ? 0xC0 : 0xC2));
    ASSERT_TRUE(segments.count(sof));
    const std::vector<uint8_t>& frame = segments.at(sof)[0];
    ASSERT_GE(frame.size(), 6u);
    EXPECT_EQ(frame[0], 8);                   // bits per sample
    EXPECT_EQ(frame[1] << 8 | frame[2], 33);  // height
    EXPECT_EQ(frame[3] << 8 | frame[4], 47);  // width
    EXPECT_EQ(frame[5], 3);                   // components
  }
}

TEST(JpegEncode, DjpegReadsOurOutput) {
  if (!HaveProgram("djpeg")) GTEST_SKIP() << "djpeg is not installed";
  const TScratchFolder folder;
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "sequential");
    WriteFileBytes(folder / "encoded.jpg", EncodeJpeg(TestPicture(), progressive));
    const TBitmap decoded = Djpeg(folder / "encoded.jpg", folder);
    EXPECT_EQ(decoded.Width(), 47);
    EXPECT_EQ(decoded.Height(), 33);
  }
}

// Noise compresses badly: its JPEG outgrows the encoder's first output buffer.
TBitmap NoisePicture() {
  TBitmap bitmap(800, 600, TPixelFormat::pf24bit);
  uint32_t state = 12345;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int i = 0; i < bitmap.Width() * 3; ++i) {
      state = state * 1103515245u + 12345u;
      bitmap.ScanLine(y)[i] = uint8_t(state >> 24);
    }
  return bitmap;
}

// cjpeg runs the same library; asked for the settings we promise (quality 80 with baseline
// tables, float DCT, libjpeg's defaults otherwise) it must write our bytes exactly.
TEST(JpegEncode, MatchesCjpegWithTheSameSettings) {
  if (!HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg is not installed";
  const TScratchFolder folder;
  for (const TBitmap& source : {TestPicture(), NoisePicture()})
    for (const bool progressive : {false, true}) {
      SCOPED_TRACE(testing::Message() << source.Width() << " x " << source.Height()
                                      << (progressive ? " progressive" : " sequential"));
      EXPECT_EQ(EncodeJpeg(source, progressive), Cjpeg(source, progressive, folder));
    }
}

TEST(JpegEncode, EmptyBitmapThrows) {
  EXPECT_THROW(EncodeJpeg(TBitmap(), false), EJpegError);
  EXPECT_THROW(EncodeJpeg(TBitmap(0, 12, TPixelFormat::pf24bit), true), EJpegError);
}

}  // namespace
}  // namespace kestrava
