// The row-by-row preparation against the same steps done on whole bitmaps: decode, FitToScreen,
// ApplyMask, EncodeJpeg. The two must give the same bytes on every kind of source, size and
// screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "saver/PrepareJpegRows.h"
#include "saver/PreparePicture.h"
#include "saver/PrepareRows.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

TBitmap Noise(int width, int height, uint32_t seed, TPixelFormat format = TPixelFormat::pf24bit) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * 3; ++x)
      bitmap.ScanLine(y)[x] = uint8_t(random());
  bitmap.SetPixelFormat(format);
  return bitmap;
}

// The whole-bitmap steps.
std::vector<uint8_t> StepByStep(TBitmap work, TScreenSize screen, const TPictureMask* mask,
                                bool progressive) {
  FitToScreen(work, screen);
  if (mask) ApplyMask(work, *mask);
  return EncodeJpeg(work, progressive);
}

const TScreenSize kScreens[] = {
    {64, 48},  // larger than the small pictures: centred, unscaled
    {40, 30},  // smaller: shrunk
    {300, 9},  // a wide, low screen
    {7, 200},  // a narrow, tall one
    {1, 1},
};

const TPictureMask& NoisyMask() {
  static const TPictureMask mask = TPictureMask::FromBitmap(Noise(11, 7, 99));
  return mask;
}

// Every JPEG we have: libjpeg's test pictures (progressive, arithmetic, restart markers, every
// subsampling, grey) and our CMYK and YCCK fixtures.
std::vector<fs::path> JpegFiles() {
  std::vector<fs::path> files;
  for (const fs::path& dir :
       {fs::path(KESTRAVA_SHARED_DIR) / "corpus/jpeg/generated-libjpeg-turbo",
        fs::path(KESTRAVA_SHARED_DIR) / "corpus/jpeg/libjpeg-turbo-testimages",
        fs::path(KESTRAVA_TEST_DATA_DIR) / "jpeg", fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare"})
    if (fs::is_directory(dir))
      for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".jpg") files.push_back(entry.path());
  return files;
}

TEST(PrepareRows, JpegFilesMatchTheWholeBitmapSteps) {
  const std::vector<fs::path> files = JpegFiles();
  ASSERT_GE(files.size(), 7u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    std::optional<TJpegImage> decoded;
    try {
      decoded = DecodeJpeg(bytes);
    } catch (const EJpegError&) {
      // What the reader refuses (12-bit samples) is refused here too.
      EXPECT_THROW(PreparePictureBytes(TPictureKind::Jpeg, bytes, {40, 30}, nullptr), EJpegError);
      continue;
    }
    for (const TScreenSize screen : kScreens)
      for (const TPictureMask* mask : {static_cast<const TPictureMask*>(nullptr), &NoisyMask()}) {
        SCOPED_TRACE("on " + std::to_string(screen.Width) + " x " + std::to_string(screen.Height) +
                     (mask ? " with mask" : ""));
        ASSERT_EQ(PreparePictureBytes(TPictureKind::Jpeg, bytes, screen, mask),
                  StepByStep(decoded->Bitmap, screen, mask, decoded->Progressive));
      }
  }
}

// Bitmaps of every layout and of awkward sizes, down to a single row or column, and a picture
// so thin that the shrink keeps none of it.
TEST(PrepareRows, BitmapsMatchTheWholeBitmapSteps) {
  const struct {
    int Width, Height;
  } sizes[] = {{47, 33}, {8, 5}, {1, 60}, {90, 1}, {129, 17}, {600, 2}};
  uint32_t seed = 1;
  for (const auto& size : sizes)
    for (const TPixelFormat format :
         {TPixelFormat::pf24bit, TPixelFormat::pf8bit, TPixelFormat::pf32bit})
      for (const TScreenSize screen : kScreens)
        for (const bool masked : {false, true}) {
          SCOPED_TRACE(std::to_string(size.Width) + " x " + std::to_string(size.Height) + ", " +
                       std::to_string(BitsPerPixel(format)) + " bits, on " +
                       std::to_string(screen.Width) + " x " + std::to_string(screen.Height) +
                       (masked ? " with mask" : ""));
          const TBitmap source = Noise(size.Width, size.Height, seed++, format);
          const TPictureMask* mask = masked ? &NoisyMask() : nullptr;
          TBitmapRows rows(source);
          ASSERT_EQ(EncodeOnScreen(rows, screen, mask, false),
                    StepByStep(source, screen, mask, false));
        }
}

TEST(PrepareRows, EmptySourceGivesABlackScreen) {
  const TBitmap empty;
  TBitmapRows rows(empty);
  EXPECT_EQ(EncodeOnScreen(rows, {33, 20}, &NoisyMask(), true),
            EncodeJpeg(TBitmap(33, 20, TPixelFormat::pf24bit), true));
}

TEST(JpegRowReader, RowsAreDecodeJpegsRows) {
  const TBitmap source = Noise(45, 19, 3);
  for (const bool progressive : {false, true}) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(source, progressive);
    const TJpegImage whole = DecodeJpeg(jpeg);
    TJpegRowReader reader(jpeg, TBitmap::kMaxPixels);
    ASSERT_EQ(reader.Width(), 45);
    ASSERT_EQ(reader.Height(), 19);
    EXPECT_EQ(reader.Progressive(), progressive);
    EXPECT_FALSE(reader.Cmyk());
    for (int y = 0; y < reader.Height(); ++y) {
      const uint8_t* row = reader.NextRow();
      ASSERT_EQ(std::vector<uint8_t>(row, row + 45 * 3),
                std::vector<uint8_t>(whole.Bitmap.ScanLine(y), whole.Bitmap.ScanLine(y) + 45 * 3))
          << "row " << y;
    }
  }
}

TEST(JpegRowReader, RefusesWhatDecodeJpegRefuses) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(Noise(40, 30, 4), false);
  EXPECT_THROW(TJpegRowReader(jpeg, 40 * 30 - 1), EJpegError) << "beyond maxPixels";
  EXPECT_NO_THROW(TJpegRowReader(jpeg, 40 * 30));
  const std::vector<uint8_t> garbage = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
  EXPECT_THROW(TJpegRowReader(garbage, TBitmap::kMaxPixels), EJpegError);
  EXPECT_THROW(TJpegRowReader(std::span<const uint8_t>(), TBitmap::kMaxPixels), EJpegError);
  // Cut inside the scan: libjpeg fills what is missing, as DecodeJpeg does.
  const std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
  EXPECT_EQ(PreparePictureBytes(TPictureKind::Jpeg, cut, {40, 30}, nullptr),
            EncodeJpeg(DecodeJpeg(cut).Bitmap, false));
}

TEST(JpegRowWriter, WritesEncodeJpegsBytes) {
  const TBitmap source = Noise(47, 33, 5);
  for (const bool progressive : {false, true}) {
    TJpegRowWriter writer(47, 33, progressive);
    for (int y = 0; y < 33; ++y)
      writer.WriteRow(source.ScanLine(y));
    EXPECT_EQ(writer.Finish(), EncodeJpeg(source, progressive));
  }
}

TEST(JpegRowWriter, MissingRowsAndEmptyPicturesFail) {
  TJpegRowWriter writer(8, 8, false);
  const std::vector<uint8_t> row(8 * 3);
  writer.WriteRow(row.data());
  EXPECT_THROW(writer.Finish(), EJpegError);
  EXPECT_THROW(TJpegRowWriter(0, 8, false), EJpegError);
  EXPECT_THROW(TJpegRowWriter(8, 0, true), EJpegError);
}

}  // namespace
}  // namespace kestrava
