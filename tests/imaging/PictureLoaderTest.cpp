#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "imaging/BmpReader.h"
#include "imaging/GifPicture.h"
#include "imaging/Heif.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/PictureLoader.h"
#include "imaging/Png.h"
#include "imaging/Webp.h"

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

// The name alone decides whether it is a picture: these files all hold a good JPEG.
TEST_F(PictureLoaderTest, ExtensionWithoutReaderIsRefused) {
  const struct {
    const char* Name;
    const char* Message;
  } cases[] = {
      {"scan.TIFF", "Unknown picture file extension (.TIFF)"},
      {"photo.jpg.tga", "Unknown picture file extension (.tga)"},
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

// Bytes that start as no picture reach the reader the name picks, which says what is wrong.
TEST_F(PictureLoaderTest, ReaderErrorsPassThrough) {
  const fs::path text = dir_ / "text.txt";
  std::ofstream(text) << "just some text";
  EXPECT_THROW(LoadPicture(dir_ / "missing.jpg"), EImageError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-bitmap.bmp")), EBmpError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-jpeg.jpeg")), EJpegError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-gif.gif")), EGifError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-png.png")), EPngError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-webp.webp")), EWebpError);
  EXPECT_THROW(LoadPicture(Copy(text, "not-a-heic.heic")), EHeifError);
}

// The first bytes choose the reader whatever the name says; the new kinds come out opaque, over
// black where they were transparent.
TEST_F(PictureLoaderTest, ContentChoosesTheReader) {
  const fs::path prepare = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare";
  const TBitmap jpeg = DecodeJpegFile(kJpeg).Bitmap, bmp = ReadBmpFile(kBmp);
  const TBitmap png = ReadPngFile(prepare / "picture.png");
  const struct {
    const char* Name;
    const fs::path Source;
    const TBitmap& Expected;
  } cases[] = {
      {"jpeg-named.bmp", kJpeg, jpeg},
      {"bitmap-named.jpg", kBmp, bmp},
      {"png-named.gif", prepare / "picture.png", png},
      {"webp-named.png", prepare / "picture.webp", png},
      {"picture.WEBP", prepare / "picture.webp", png},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBitmap got = LoadPicture(Copy(c.Source, c.Name));
    ASSERT_EQ(got.Width(), c.Expected.Width());
    ASSERT_EQ(got.Height(), c.Expected.Height());
    for (int y = 0; y < got.Height(); ++y)
      for (int x = 0; x < got.Width(); ++x)
        ASSERT_EQ(got.PixelAt(x, y) & 0xFFFFFF, c.Expected.PixelAt(x, y) & 0xFFFFFF)
            << x << ", " << y;
  }
  // The half-transparent blue right half of a PNG, WebP and HEIC over black.
  for (const char* name : {"halves.png", "halves.webp", "halves.heic"}) {
    SCOPED_TRACE(name);
    const TBitmap halves = LoadPicture(prepare / name);
    ASSERT_EQ(halves.Width(), 40);
    const TPixel left = halves.PixelAt(10, 10), right = halves.PixelAt(30, 10);
    for (const auto& [got, expected] : {std::pair{left, 0xE67828u}, std::pair{right, 0x144B73u}})
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(got >> shift & 0xFF), int(expected >> shift & 0xFF), 8);
  }
}

TEST_F(PictureLoaderTest, RecognisablyOtherContentIsRefused) {
  const fs::path zip = dir_ / "archive.png";
  std::ofstream(zip, std::ios::binary) << std::string("PK\x03\x04", 4) << "rest";
  try {
    LoadPicture(zip);
    ADD_FAILURE() << "no error";
  } catch (const EPictureError& e) {
    EXPECT_EQ(std::string(e.what()),
              zip.string() + ": not a picture Kestrava reads (it looks like a ZIP archive)");
  }
}

TEST_F(PictureLoaderTest, GifWithoutFramesGivesAnEmptyPicture) {
  const fs::path noFrames =
      fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/pygif-test-suite/no-data.gif";
  EXPECT_TRUE(LoadPicture(Copy(noFrames, "empty.gif")).Empty());
}

}  // namespace
}  // namespace kestrava
