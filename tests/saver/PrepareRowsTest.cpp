// The row-by-row preparation against the same steps done on whole bitmaps: decode, FitToScreen,
// ApplyMask, EncodeJpeg. The two must give the same bytes on every kind of source, size and
// screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
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

// libjpeg fills what a file cut inside the scan is missing, in both ways alike.
TEST(PrepareRows, CutJpegMatchesTheWholeBitmapSteps) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(Noise(40, 30, 4), false);
  const std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
  EXPECT_EQ(PreparePictureBytes(TPictureKind::Jpeg, cut, {40, 30}, nullptr),
            StepByStep(DecodeJpeg(cut).Bitmap, {40, 30}, nullptr, false));
}

}  // namespace
}  // namespace kestrava
