#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/ImageErrors.h"

namespace kestrava {
namespace {

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
         uint32_t(bytes[at + 3]) << 24;
}

// Random pixels in every byte (the fourth of 32-bit ones too) and, for 8 bits, a random table.
TBitmap RandomBitmap(int width, int height, TPixelFormat format, uint32_t seed) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height, format);
  if (format == TPixelFormat::pf8bit) {
    TPalette table{};
    for (TPixel& entry : table)
      entry = random() & 0xFFFFFF;
    bitmap.SetPalette(table);
  }
  const size_t bytes = size_t(width) * size_t(bitmap.BitsPerPixel() / 8);
  for (int y = 0; y < height; ++y)
    for (size_t i = 0; i < bytes; ++i)
      bitmap.ScanLine(y)[i] = uint8_t(random());
  return bitmap;
}

struct TSize {
  int width, height;
};

void PrintTo(const TSize& size, std::ostream* os) {
  *os << size.width << " x " << size.height;
}

class BmpRoundTripTest
    : public testing::TestWithParam<std::tuple<TSize, TPixelFormat, int /* bits */>> {};

TEST_P(BmpRoundTripTest, ReadsBackWhatWasWritten) {
  const auto [size, format, bits] = GetParam();
  const TBitmap source = RandomBitmap(size.width, size.height, format, 47u * uint32_t(bits));
  const std::vector<uint8_t> bytes = EncodeBmp(source, bits);
  const size_t rowBytes = (size_t(size.width) * size_t(bits) / 8 + 3) & ~size_t{3};
  EXPECT_EQ(bytes.size(), 54 + rowBytes * size_t(size.height));
  const TBitmap back = ReadBmp(bytes);
  EXPECT_EQ(back.PixelFormat(), bits == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit);
  ASSERT_EQ(back.Width(), size.width);
  ASSERT_EQ(back.Height(), size.height);
  // The fourth byte survives only when both sides have it.
  const TPixel mask = bits == 32 && source.BitsPerPixel() == 32 ? 0xFFFFFFFFu : 0xFFFFFFu;
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x)
      ASSERT_EQ(back.PixelAt(x, y) & mask, source.PixelAt(x, y) & mask) << x << ", " << y;
}

std::string RoundTripName(const testing::TestParamInfo<BmpRoundTripTest::ParamType>& row) {
  static const char* const kFormats[] = {"Device", "8bit", "24bit", "32bit"};
  const TSize size = std::get<0>(row.param);
  return std::to_string(size.width) + "x" + std::to_string(size.height) + "_" +
         kFormats[int(std::get<1>(row.param))] + "_to_" + std::to_string(std::get<2>(row.param));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BmpRoundTripTest,
    testing::Combine(testing::Values(TSize{47, 33}, TSize{1, 1}, TSize{3, 5}, TSize{13, 7},
                                     TSize{4, 2}),
                     testing::Values(TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                                     TPixelFormat::pf32bit, TPixelFormat::pfDevice),
                     testing::Values(24, 32)),
    RoundTripName);

// The stored form checked byte by byte, so that writer and reader cannot agree on a mistake.
TEST(BmpWriterTest, WritesBottomUpPaddedRows) {
  TBitmap bitmap(3, 2, TPixelFormat::pf24bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c)
        bitmap.ScanLine(y)[3 * x + c] = uint8_t(10 * (3 * y + x) + c);
  const std::vector<uint8_t> bytes = EncodeBmp(bitmap, 24);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(Le32(bytes, 2), bytes.size());
  EXPECT_EQ(Le32(bytes, 10), 54u);             // pixel offset
  EXPECT_EQ(Le32(bytes, 14), 40u);             // info header
  EXPECT_EQ(Le32(bytes, 18), 3u);              // width
  EXPECT_EQ(Le32(bytes, 22), 2u);              // positive height: bottom-up
  EXPECT_EQ(Le32(bytes, 26), 1u | 24u << 16);  // planes, bits
  EXPECT_EQ(Le32(bytes, 30), 0u);              // BI_RGB
  EXPECT_EQ(Le32(bytes, 34), 24u);             // image size
  const std::vector<uint8_t> bottom(bytes.begin() + 54, bytes.begin() + 66);
  const std::vector<uint8_t> top(bytes.begin() + 66, bytes.end());
  EXPECT_EQ(bottom, (std::vector<uint8_t>{30, 31, 32, 40, 41, 42, 50, 51, 52, 0, 0, 0}));
  EXPECT_EQ(top, (std::vector<uint8_t>{0, 1, 2, 10, 11, 12, 20, 21, 22, 0, 0, 0}));
}

TEST(BmpWriterTest, ThirtyTwoBitsKeepFourthByte) {
  TBitmap bitmap(1, 2, TPixelFormat::pf32bit);
  const uint8_t top[] = {1, 2, 3, 4}, bottom[] = {5, 6, 7, 8};
  std::copy(top, top + 4, bitmap.ScanLine(0));
  std::copy(bottom, bottom + 4, bitmap.ScanLine(1));
  const std::vector<uint8_t> bytes = EncodeBmp(bitmap, 32);
  ASSERT_EQ(bytes.size(), 54u + 8);
  EXPECT_EQ(Le32(bytes, 26), 1u | 32u << 16);
  EXPECT_EQ(Le32(bytes, 30), 0u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.end()),
            (std::vector<uint8_t>{5, 6, 7, 8, 1, 2, 3, 4}));
}

TEST(BmpWriterTest, RefusesOtherDepthsAndEmptyPictures) {
  const TBitmap bitmap(2, 2, TPixelFormat::pf24bit);
  for (int bits : {0, 1, 8, 16, 64}) {
    try {
      EncodeBmp(bitmap, bits);
      ADD_FAILURE() << bits << " bits written";
    } catch (const EBmpError& e) {
      EXPECT_EQ(std::string(e.what()), "Unsupported bitmap bit depth " + std::to_string(bits));
    }
  }
  try {
    EncodeBmp(TBitmap(), 24);
    ADD_FAILURE() << "empty picture written";
  } catch (const EBmpError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot write an empty picture as BMP");
  }
}

TEST(BmpWriterTest, FileRoundTrip) {
  const std::filesystem::path path =
      std::filesystem::path(testing::TempDir()) / "kestrava-bmp-writer-test.bmp";
  const TBitmap source = RandomBitmap(47, 33, TPixelFormat::pf24bit, 5);
  WriteBmpFile(path, source, 24);
  const TBitmap back = ReadBmpFile(path);
  std::filesystem::remove(path);
  ASSERT_EQ(back.Width(), 47);
  ASSERT_EQ(back.Height(), 33);
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x)
      ASSERT_EQ(back.PixelAt(x, y), source.PixelAt(x, y));
}

}  // namespace
}  // namespace kestrava
