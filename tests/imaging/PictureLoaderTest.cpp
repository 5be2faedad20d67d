#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "imaging/BmpReader.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/PictureLoader.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

const fs::path kJpeg =
    fs::path(KESTRAVA_SHARED_DIR) / "corpus/jpeg/libjpeg-turbo-testimages/testorig.jpg";
const fs::path kBmp = fs::path(KESTRAVA_SHARED_DIR) / "corpus/bmp/bmpsuite-good/rgb24.bmp";
const fs::path kGif = fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/giflib/pic/porsche.gif";
// A picture whose first frame is smaller than its screen.
const fs::path kGifSmallFirst =
    fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/pygif-test-suite/image-inside-bg.gif";

// Copies of the corpus files under the names the loader sees.
class PictureLoaderTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrava-loader-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Copy(const fs::path& source, const std::string& name) {
    fs::copy_file(source, dir_ / name, fs::copy_options::overwrite_existing);
    return dir_ / name;
  }

  fs::path dir_;
};

void ExpectSamePicture(const TBitmap& got, const TBitmap& expected) {
  ASSERT_EQ(got.Width(), expected.Width());
  ASSERT_EQ(got.Height(), expected.Height());
  EXPECT_EQ(got.PixelFormat(), expected.PixelFormat());
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x)
      ASSERT_EQ(got.PixelAt(x, y), expected.PixelAt(x, y)) << x << ", " << y;
}

TEST_F(PictureLoaderTest, ExtensionChoosesTheReaderWhateverItsCase) {
  const TBitmap jpeg = DecodeJpegFile(kJpeg).Bitmap;
  const TBitmap bmp = ReadBmpFile(kBmp);
  const auto gifBitmap = [](const fs::path& path) {
    TGifPicture picture;
    picture.LoadFromFile(path);
    return *picture.Bitmap();
  };
  const TBitmap gif = gifBitmap(kGif), gifSmallFirst = gifBitmap(kGifSmallFirst);
  const struct {
    const char* Name;
    const fs::path& Source;
    const TBitmap& Expected;
  } cases[] = {
      {"photo.jpg", kJpeg, jpeg},   {"PHOTO.JPG", kJpeg, jpeg},
      {"photo.jpeg", kJpeg, jpeg},  {"Photo.JpEg", kJpeg, jpeg},
      {"picture.bmp", kBmp, bmp},   {"PICTURE.BMP", kBmp, bmp},
      {"with.dots.Bmp", kBmp, bmp}, {"car.gif", kGif, gif},
      {"CAR.GIF", kGif, gif},       {"inside.Gif", kGifSmallFirst, gifSmallFirst},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ExpectSamePicture(LoadPicture(Copy(c.Source, c.Name)), c.Expected);
  }
}

// The name alone decides: these files all hold a good JPEG.
TEST_F(PictureLoaderTest, ExtensionWithoutReaderIsRefused) {
  const struct {
    const char* Name;
    const char* Message;
  } cases[] = {
      {"scan.TIFF", "Unknown picture file extension (.TIFF)"},
      {"photo.jpg.png", "Unknown picture file extension (.png)"},
      {"README", "Unknown picture file extension (.)"},
      {"trailing.", "Unknown picture file extension (.)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      LoadPicture(Copy(kJpeg, c.Name));
      ADD_FAILURE() << "no error";
    } catch (const EPictureError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

TEST_F(PictureLoaderTest, ReaderErrorsPassThrough) {
  EXPECT_THROW(LoadPicture(dir_ / "missing.jpg"), EImageError);
  EXPECT_THROW(LoadPicture(Copy(kJpeg, "not-a-bitmap.bmp")), EBmpError);
  EXPECT_THROW(LoadPicture(Copy(kBmp, "not-a-jpeg.jpeg")), EJpegError);
  EXPECT_THROW(LoadPicture(Copy(kJpeg, "not-a-gif.gif")), EGifError);
}

TEST_F(PictureLoaderTest, GifWithoutFramesGivesAnEmptyPicture) {
  const fs::path noFrames =
      fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/pygif-test-suite/no-data.gif";
  EXPECT_TRUE(LoadPicture(Copy(noFrames, "empty.gif")).Empty());
}

}  // namespace
}  // namespace kestrava
