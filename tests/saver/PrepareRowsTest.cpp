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
#include "imaging/JpegRows.h"
#include "raster/Canvas.h"
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

// A picture at least twice its place on the screen is decoded scaled down by libjpeg (by the most
// of 8, 4, 2 that keeps it at least as large as its place), placed by its own size, and
// stretched from the scaled rows by the canvas.
std::vector<uint8_t> ScaledSteps(std::span<const uint8_t> bytes, TScreenSize screen,
                                 const TPictureMask* mask, bool* scaled) {
  TJpegRowReader reader(bytes, TBitmap::kMaxPixels);
  const TRect target = ScreenPlacement(reader.FullWidth(), reader.FullHeight(), screen);
  int denominator = 1;
  for (const int d : {2, 4, 8})
    if (reader.FullWidth() >= d * target.Width() && reader.FullHeight() >= d * target.Height())
      denominator = d;
  *scaled = denominator > 1;
  if (denominator > 1) reader.ScaleDown(denominator);
  TBitmap decoded(reader.Width(), reader.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < decoded.Height(); ++y)
    reader.ReadRow(decoded.ScanLine(y));
  TBitmap work(screen.Width, screen.Height, TPixelFormat::pf24bit);
  if (!target.IsEmpty()) work.Canvas().StretchDraw(target, decoded);
  if (mask) ApplyMask(work, *mask);
  return EncodeJpeg(work, reader.Progressive());
}

TEST(PrepareRows, JpegFilesMatchTheWholeBitmapSteps) {
  const std::vector<fs::path> files = JpegFiles();
  ASSERT_GE(files.size(), 7u);
  int scaledCases = 0;
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
        bool scaled = false;
        const std::vector<uint8_t> expected = ScaledSteps(bytes, screen, mask, &scaled);
        if (!scaled) {
          ASSERT_EQ(expected, StepByStep(decoded->Bitmap, screen, mask, decoded->Progressive));
        }
        scaledCases += scaled;
        ASSERT_EQ(PreparePictureBytes(TPictureKind::Jpeg, bytes, screen, mask), expected);
      }
  }
  EXPECT_GT(scaledCases, 0);
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

}  // namespace
}  // namespace kestrava
