// A pictures saver whose stored pictures claim another size than the saver's, or one beyond the
// largest screen, is refused by name before the claimed pixels are allocated.
#include "runtime/core/StoredPictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/Jpeg.h"
#include "raster/Canvas.h"
#include "runtime/core/RuntimeOptions.h"
#include "runtime/core/SlideShow.h"
#include "saver/LargestScreen.h"
#include "saver/SaverFormat.h"
#include "tests/support/JpegClaimedSize.h"

namespace kestrava {
namespace {

using TBytes = std::vector<uint8_t>;

TBytes Picture(int width, int height) {
  TBitmap picture(width, height);
  picture.Canvas().Brush.Color = RGBColor(40, 120, 200);
  picture.Canvas().FillRect({0, 0, width, height});
  return EncodeJpeg(picture, false);
}

// A runtime of two bytes, the pictures, and the trailer that finds them.
TBytes SaverOf(const std::vector<TBytes>& pictures) {
  TBytes file = {'#', '!'};
  TSaverTrailer trailer;
  trailer.EffectFlags[52] = 1;
  trailer.IntervalSeconds = 1;
  for (const TBytes& picture : pictures) {
    file.insert(file.end(), picture.begin(), picture.end());
    trailer.SourceSizes.push_back(int32_t(picture.size()));
  }
  const auto laidOut = LayOutTrailer(trailer);
  file.insert(file.end(), laidOut.begin(), laidOut.end());
  return file;
}

TEST(StoredPictures, HeadersOfAnotherSizeOrBeyondTheLargestScreenAreRefusedByName) {
  const TBytes real = Picture(64, 48);
  const auto claiming = [&](int w, int h) { return test::WithClaimedSize(real, w, h); };
  const TBytes largest = claiming(kMaxScreenSide, int(kMaxScreenPixels / kMaxScreenSide));
  const struct {
    const char* name;
    std::vector<TBytes> pictures;
    std::string refusal;  // the start of the message; empty: accepted as 64 x 48
  } cases[] = {
      {"all alike", {real, real, real}, ""},
      {"the largest screen, claimed by all", {largest, largest}, ""},
      {"the second claims a square of 16384",
       {real, claiming(16384, 16384), real},
       "damaged saver: stored picture 2 is 16384 x 16384 pixels"},
      {"the third is a pixel wider",
       {real, real, claiming(65, 48)},
       "damaged saver: stored pictures 1 and 3 differ in size: 64 x 48 and 65 x 48 pixels"},
      {"the first is wider than any screen",
       {claiming(kMaxScreenSide + 1, 48), real},
       "damaged saver: stored picture 1 is 16385 x 48 pixels"},
      {"the first has a row more than the largest screen",
       {claiming(kMaxScreenSide, int(kMaxScreenPixels / kMaxScreenSide) + 1)},
       "damaged saver: stored picture 1 is 16384 x 4097 pixels"},
      {"the second is no JPEG", {real, TBytes(500, 0x42)}, "damaged saver: stored picture 2: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TBytes file = SaverOf(c.pictures);
    const TSaverFileReader saver(file);
    std::vector<TSaverBlock> blocks = saver.Blocks();
    if (c.refusal.empty()) {
      const TPictureSize size = StoredPictureSize(saver, blocks);
      const TPictureSize expected =
          c.pictures[0] == largest ? TPictureSize{16384, 4096} : TPictureSize{64, 48};
      EXPECT_EQ(size, expected);
      continue;
    }
    try {
      StoredPictureSize(saver, blocks);
      ADD_FAILURE() << "accepted";
    } catch (const ESaverFileError& e) {
      const std::string message = e.what();
      EXPECT_TRUE(message.starts_with(c.refusal)) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    // The show refuses the file at its start, whichever picture is damaged.
    EXPECT_THROW(TSlideShow(saver, 32, 24, 1), ESaverFileError);
  }
}

TEST(StoredPictures, ADecodeOfAnotherSizeIsRefusedAndTheRightSizeDecodesAsBefore) {
  const TBytes real = Picture(64, 48);
  EXPECT_THROW(DecodeStoredPicture(test::WithClaimedSize(real, 16384, 16384), {64, 48}, 2),
               ESaverFileError);
  EXPECT_THROW(DecodeStoredPicture(real, {48, 64}, 1), ESaverFileError);
  TBitmap expected = DecodeJpeg(real).Bitmap;
  expected.SetPixelFormat(TPixelFormat::pfDevice);
  const TBitmap decoded = DecodeStoredPicture(real, {64, 48}, 1);
  ASSERT_EQ(decoded.PixelFormat(), TPixelFormat::pfDevice);
  ASSERT_EQ(decoded.Width(), 64);
  ASSERT_EQ(decoded.Height(), 48);
  for (int y = 0; y < 48; ++y)
    ASSERT_EQ(std::memcmp(decoded.ScanLine(y), expected.ScanLine(y), 64 * 4), 0) << y;
}

TEST(StoredPictures, WithinSideKeepsTheShape) {
  const struct {
    TPictureSize size;
    int maxSide;
    TPictureSize within;
  } cases[] = {{{640, 480}, 4096, {640, 480}},     {{4096, 4096}, 4096, {4096, 4096}},
               {{4097, 100}, 4096, {4096, 99}},    {{16384, 4096}, 4096, {4096, 1024}},
               {{4096, 8192}, 4096, {2048, 4096}}, {{16384, 1}, 4096, {4096, 1}},
               {{1, 16384}, 4096, {1, 4096}}};
  for (const auto& c : cases)
    EXPECT_EQ(WithinSide(c.size, c.maxSide), c.within)
        << c.size.Width << " x " << c.size.Height << " within " << c.maxSide;
}

// Without --size the dump's frames are the pictures' size up to its limit, shape kept.
TEST(StoredPictures, TheDumpsFramesAreAtMostItsSide) {
  const TBytes wide = Picture(kMaxDumpSide * 2, 16);
  const TBytes file = SaverOf({wide, wide});
  const TSaverFileReader saver(file);
  const TSlideShow dump(saver, 0, 0, 1, kMaxDumpSide);
  EXPECT_EQ(dump.Width(), kMaxDumpSide);
  EXPECT_EQ(dump.Height(), 8);
  const TSlideShow screen(saver, 0, 0, 1);
  EXPECT_EQ(screen.Width(), kMaxDumpSide * 2);
  EXPECT_EQ(screen.Height(), 16);
}

}  // namespace
}  // namespace kestrava
