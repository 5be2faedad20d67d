#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "saver/PreparePicture.h"
#include "tests/imaging/GifTestSupport.h"
#include "tests/saver/PrepareTestSupport.h"
#include "tests/support/JpegPrograms.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using prepare_test::kFixtures;
using prepare_test::PlainFit;
using test::Cjpeg;
using test::HaveProgram;
using test::TScratchFolder;

// The fixture picture is 37 x 23; on this screen it sits at (6, 8) with margins of 7 on the right
// and 9 at the bottom.
constexpr TScreenSize kScreen{50, 40};
constexpr TRect kPlaced{6, 8, 43, 31};

struct TSourceCase {
  const char* File;
  bool Progressive;
};

void PrintTo(const TSourceCase& c, std::ostream* out) {
  *out << c.File;
}

const TSourceCase kSources[] = {
    {"picture-24bit.bmp", false}, {"picture-8bit.bmp", false}, {"picture.gif", false},
    {"sequential.jpg", false},    {"progressive.jpg", true},   {"picture.png", false},
    {"picture.webp", false},
};

// The source's pixels as an independent reader sees them: the PPM the lossless sources were made
// from, or djpeg's decoding of a JPEG source.
TBitmap SourcePixels(const TSourceCase& c, const TScratchFolder& dir) {
  const std::string name = c.File;
  if (name.ends_with(".jpg")) return test::Djpeg(kFixtures / name, dir);
  return test::ReadPpm(kFixtures / "picture.ppm");
}

class PrepareSource : public testing::TestWithParam<TSourceCase> {
 protected:
  TScratchFolder dir_;
};

// Decoding, placing on black and encoding together, checked against the libjpeg programs: djpeg
// decodes the source, cjpeg encodes the expected screen picture.
TEST_P(PrepareSource, MatchesTheLibjpegPrograms) {
  if (!HaveProgram("cjpeg") || !HaveProgram("djpeg"))
    GTEST_SKIP() << "cjpeg or djpeg is not installed";
  const TSourceCase& c = GetParam();
  const TBitmap source = SourcePixels(c, dir_);
  ASSERT_EQ(source.Width(), 37);
  const TBitmap expected = PlainFit(source, kScreen, kPlaced);
  EXPECT_EQ(PreparePicture(kFixtures / c.File, kScreen, nullptr),
            Cjpeg(expected, c.Progressive, dir_));
}

// Shrunk onto a screen smaller than the picture: 37 x 23 becomes 20 x 12 at (0, 2).
TEST_P(PrepareSource, ShrinksOntoASmallScreen) {
  if (!HaveProgram("cjpeg") || !HaveProgram("djpeg"))
    GTEST_SKIP() << "cjpeg or djpeg is not installed";
  const TSourceCase& c = GetParam();
  const TBitmap expected = PlainFit(SourcePixels(c, dir_), {20, 16}, TRect{0, 2, 20, 14});
  EXPECT_EQ(PreparePicture(kFixtures / c.File, {20, 16}, nullptr),
            Cjpeg(expected, c.Progressive, dir_));
}

// The quantisation tables libjpeg makes for quality 80 forced to baseline range, by table number.
std::map<int, std::vector<int>> LibjpegQuality80Tables() {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  info.in_color_space = JCS_RGB;
  info.input_components = 3;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 80, TRUE);
  std::map<int, std::vector<int>> tables;
  for (int t = 0; t < NUM_QUANT_TBLS; ++t)
    if (info.quant_tbl_ptrs[t])
      tables[t].assign(info.quant_tbl_ptrs[t]->quantval, info.quant_tbl_ptrs[t]->quantval + 64);
  jpeg_destroy_compress(&info);
  return tables;
}

// The position in row order of each zigzag step.
std::vector<size_t> ZigzagToRowOrder() {
  std::vector<size_t> order;
  for (int sum = 0; sum <= 14; ++sum) {
    const int low = std::max(0, sum - 7), high = std::min(sum, 7);
    for (int i = 0; i <= high - low; ++i) {
      const int row = sum % 2 ? low + i : high - i;
      order.push_back(size_t(row * 8 + sum - row));
    }
  }
  return order;
}

// The DQT tables of a JPEG stream in row order, and its frame marker, read up to the first scan.
struct THeader {
  std::map<int, std::vector<int>> Tables;
  int FrameMarker = 0;
};

THeader ReadHeader(const std::vector<uint8_t>& jpeg) {
  static const std::vector<size_t> rowOrder = ZigzagToRowOrder();
  THeader header;
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
    const uint8_t marker = jpeg[pos + 1];
    const size_t length = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
    if (marker >= 0xC0 && marker <= 0xC2) header.FrameMarker = marker;
    for (size_t at = pos + 4; marker == 0xDB && at + 65 <= pos + 2 + length; at += 65) {
      std::vector<int>& table = header.Tables[jpeg[at] & 15];
      table.resize(64);
      for (size_t k = 0; k < 64; ++k)
        table[rowOrder[k]] = jpeg[at + 1 + k];
    }
    pos += 2 + length;
  }
  return header;
}

// Without the libjpeg programs: the stream decodes to the screen size, carries the quality-80
// tables, and is progressive exactly for the progressive source.
TEST_P(PrepareSource, StoredJpegHasScreenSizeQuality80TablesAndTheRightScans) {
  const TSourceCase& c = GetParam();
  const std::vector<uint8_t> jpeg = PreparePicture(kFixtures / c.File, kScreen, nullptr);
  const TJpegImage decoded = DecodeJpeg(jpeg);
  EXPECT_EQ(decoded.Bitmap.Width(), kScreen.Width);
  EXPECT_EQ(decoded.Bitmap.Height(), kScreen.Height);
  EXPECT_EQ(decoded.Progressive, c.Progressive);
  const THeader header = ReadHeader(jpeg);
  EXPECT_EQ(header.FrameMarker, c.Progressive ? 0xC2 : 0xC0);
  const std::map<int, std::vector<int>> expected = LibjpegQuality80Tables();
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(header.Tables, expected);
}

// Upper-case endings, and "jpeg" with or without its dot, choose the same reader.
std::vector<std::string> OtherNames(const std::string& file) {
  const std::string stem = file.substr(0, file.rfind('.'));
  if (file.ends_with(".jpg")) return {stem + ".JPG", stem + ".Jpeg", stem + "JPEG", stem + "jpeg"};
  std::string upper = file;
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
  return {upper};
}

TEST_P(PrepareSource, NameInOtherCasesGivesTheSameBytes) {
  const TSourceCase& c = GetParam();
  const std::vector<uint8_t> original = PreparePicture(kFixtures / c.File, kScreen, nullptr);
  for (const std::string& name : OtherNames(c.File)) {
    SCOPED_TRACE(name);
    fs::copy_file(kFixtures / c.File, dir_ / name);
    EXPECT_EQ(PreparePicture(dir_ / name, kScreen, nullptr), original);
  }
}

// A white mask (L = 255) changes no pixel, so not even one byte of the stream.
TEST_P(PrepareSource, WhiteMaskGivesTheSameBytesAsNoMask) {
  const TSourceCase& c = GetParam();
  const TPictureMask white = TPictureMask::Load(kFixtures / "mask-white.jpg");
  EXPECT_EQ(PreparePicture(kFixtures / c.File, kScreen, &white),
            PreparePicture(kFixtures / c.File, kScreen, nullptr));
}

TEST_P(PrepareSource, FromMemoryAsFromTheFile) {
  const TSourceCase& c = GetParam();
  const std::string name = c.File;
  const TPictureKind kind = *PictureKindOf(name);
  const TPictureMask grey = TPictureMask::Load(kFixtures / "mask-grey.jpg");
  EXPECT_EQ(PreparePictureBytes(kind, ReadFileBytes(kFixtures / name), kScreen, &grey),
            PreparePicture(kFixtures / name, kScreen, &grey));
}

INSTANTIATE_TEST_SUITE_P(Sources, PrepareSource, testing::ValuesIn(kSources));

TEST(PreparePicture, GreyMaskHalvesThePictureBeforeEncoding) {
  if (!HaveProgram("cjpeg")) GTEST_SKIP() << "cjpeg is not installed";
  const TScratchFolder dir;
  TBitmap expected = PlainFit(test::ReadPpm(kFixtures / "picture.ppm"), kScreen, kPlaced);
  for (int y = 0; y < expected.Height(); ++y)
    for (size_t i = 0; i < expected.Stride(); ++i)
      expected.ScanLine(y)[i] = uint8_t(expected.ScanLine(y)[i] * 128 / 255);
  const TPictureMask grey = TPictureMask::Load(kFixtures / "mask-grey.jpg");
  EXPECT_EQ(PreparePicture(kFixtures / "picture-24bit.bmp", kScreen, &grey),
            Cjpeg(expected, false, dir));
}

// Every pixel of a decoded stream within tolerance of one colour.
void ExpectAllNear(const TBitmap& bitmap, TPixel colour, int tolerance) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      for (int shift : {0, 8, 16})
        ASSERT_NEAR(int(bitmap.PixelAt(x, y) >> shift & 0xFF), int(colour >> shift & 0xFF),
                    tolerance)
            << "at " << x << ", " << y;
}

TEST(PreparePicture, AnimatedGifGivesItsFirstImage) {
  const TJpegImage decoded =
      DecodeJpeg(PreparePicture(kFixtures / "animated.gif", {20, 10}, nullptr));
  ASSERT_EQ(decoded.Bitmap.Width(), 20);
  EXPECT_FALSE(decoded.Progressive);
  ExpectAllNear(decoded.Bitmap, 0xFF0000, 4);
}

// A GIF's first frame lies over black at its own place, and its transparent pixels stay black:
// the colour hidden behind the transparent index never shows.
TEST(PreparePicture, AGifFrameLiesOverBlackWithItsTransparentPixelsBlack) {
  namespace g = giftest;
  TScratchFolder dir;
  // A 32 x 32 screen with a 16 x 16 frame at (8, 8): its left half red, its right half the
  // transparent index, whose table colour is green.
  g::TBytes pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      pixels.push_back(x < 8 ? 0 : 1);
  const g::TBytes gif =
      g::Cat({g::Screen(32, 32, {g::kRed, g::kGreen, g::kBlue, g::kWhite}),
              g::GraphicControl(0, 10, 1), g::Image(8, 8, 16, 16, pixels), g::Trailer()});
  WriteFileBytes(dir / "frame.gif", gif);
  const TBitmap screen =
      DecodeJpeg(PreparePicture(dir / "frame.gif", {32, 32}, nullptr, TJpegChroma::Full)).Bitmap;
  const struct {
    int x, y;
    TPixel colour;
  } points[] = {{12, 16, 0xFF0000}, {20, 16, 0x000000}, {3, 3, 0x000000}, {28, 28, 0x000000}};
  for (const auto& p : points) {
    const TPixel seen = screen.PixelAt(p.x, p.y);
    for (const int shift : {0, 8, 16})
      EXPECT_NEAR(int(seen >> shift & 0xFF), int(p.colour >> shift & 0xFF), 24)
          << p.x << "," << p.y;
  }
}

TEST(PreparePicture, EmptyGifGivesABlackScreen) {
  const TJpegImage decoded = DecodeJpeg(PreparePicture(kFixtures / "empty.gif", kScreen, nullptr));
  ASSERT_EQ(decoded.Bitmap.Width(), kScreen.Width);
  ASSERT_EQ(decoded.Bitmap.Height(), kScreen.Height);
  ExpectAllNear(decoded.Bitmap, 0, 0);
}

struct TNameCase {
  const char* Name;
  bool Supported;
};

TEST(PreparePicture, OnlyTheLastFourCharactersChooseTheKind) {
  const TNameCase cases[] = {
      {"photo.jpg", true}, {"PHOTO.JPG", true},     {"photo.JpEg", true}, {"photojpeg", true},
      {"a.bmp", true},     {"A.BMP", true},         {"a.gif", true},      {"A.GIF", true},
      {".gif", true},      {"dir.png/a.jpg", true}, {"a.png", true},      {"A.PNG", true},
      {"a.webp", true},    {"a.WebP", true},        {"a.heic", true},     {"A.HEIF", true},
      {"a.jpe", false},    {"jpg", false},          {"", false},          {"a.jpg.txt", false},
      {"a.gif ", false},   {"dir.jpg/a", false},    {"a.tiff", false},    {"a.pn", false},
  };
  for (const TNameCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(IsSupportedPictureName(c.Name), c.Supported);
  }
}

// The name is refused before the file is looked at: it need not exist.
TEST(PreparePicture, UnsupportedEndingSaysFileNotSupport) {
  for (const char* name : {"picture.tga", "picture.TIF", "missing.tif"}) {
    SCOPED_TRACE(name);
    try {
      PreparePicture(kFixtures / name, kScreen, nullptr);
      ADD_FAILURE() << "no exception";
    } catch (const EUnsupportedPicture& error) {
      EXPECT_STREQ(error.what(), "file not support");
    }
  }
}

// Missing files and bytes no reader accepts fail as image errors, whichever reader the name
// picks.
TEST(PreparePicture, UnreadableSourcesFail) {
  const TScratchFolder dir;
  const std::string garbage = "this is not a picture, whatever its name says\n";
  for (const char* name : {"garbage.jpg", "garbage.bmp", "garbage.gif", "garbagejpeg"})
    WriteFileBytes(dir / name,
                   std::span(reinterpret_cast<const uint8_t*>(garbage.data()), garbage.size()));
  fs::create_directory(dir / "folder.jpg");
  for (const char* name :
       {"missing.jpg", "missing.bmp", "missing.gif", "garbage.jpg", "garbage.bmp", "garbage.gif",
        "garbagejpeg", "folder.jpg", "missing.png", "missing.webp", "missing.heic"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(PreparePicture(dir / name, kScreen, nullptr), EImageError);
  }
}

// The first bytes choose the reader, whatever the name says: the same picture comes out.
TEST(PreparePicture, ContentChoosesTheReaderNotTheName) {
  const TScratchFolder dir;
  const struct {
    const char* Source;
    const char* Name;
  } cases[] = {
      {"picture.png", "png-named.jpg"},   {"sequential.jpg", "jpeg-named.png"},
      {"picture.gif", "gif-named.bmp"},   {"picture-24bit.bmp", "bmp-named.webp"},
      {"picture.webp", "webp-named.gif"}, {"halves.heic", "heic-named.jpeg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::copy_file(kFixtures / c.Source, dir / c.Name);
    EXPECT_EQ(PreparePicture(dir / c.Name, kScreen, nullptr),
              PreparePicture(kFixtures / c.Source, kScreen, nullptr));
  }
}

// Bytes that are recognisably something else are refused, saying what they look like; bytes
// that are recognisably nothing go to the name's reader, which says it is not its kind.
TEST(PreparePicture, OtherContentIsRefusedSayingWhatItIs) {
  const TScratchFolder dir;
  const struct {
    const char* Name;
    std::string Bytes;
    std::string Message;
  } cases[] = {
      {"report.jpg", "%PDF-1.4\n", "not a picture Kestrava reads (it looks like a PDF file)"},
      {"photos.png", std::string("PK\x03\x04", 4) + "zip", "(it looks like a ZIP archive)"},
      {"scan.bmp", std::string("II*\0", 4) + "tiff", "(it looks like a TIFF picture)"},
      {"text.png", "just some text", "Invalid PNG"},
      {"text.webp", "just some text", "Not a WebP file"},
      {"text.heic", "just some text", "Cannot read the HEIF picture"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFileBytes(dir / c.Name,
                   std::span(reinterpret_cast<const uint8_t*>(c.Bytes.data()), c.Bytes.size()));
    try {
      PreparePicture(dir / c.Name, kScreen, nullptr);
      ADD_FAILURE() << "no exception";
    } catch (const EImageError& error) {
      EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
    }
  }
}

// Transparent pixels come out over black: the blue half at half opacity is half as bright.
TEST(PreparePicture, TransparentPicturesLieOverBlack) {
  for (const char* name : {"halves.png", "halves.webp", "halves.heic"}) {
    SCOPED_TRACE(name);
    // 40 x 20 on 60 x 40: centred, with black bands of 10 all round.
    const TBitmap stored = DecodeJpeg(PreparePicture(kFixtures / name, {60, 40}, nullptr)).Bitmap;
    ASSERT_EQ(stored.Width(), 60);
    ASSERT_EQ(stored.Height(), 40);
    const struct {
      int X, Y;
      TPixel Colour;  // 0xRRGGBB
    } samples[] = {{30, 3, 0}, {4, 20, 0}, {18, 20, 0xE67828}, {42, 20, 0x144B73}};
    for (const auto& sample : samples) {
      SCOPED_TRACE(std::to_string(sample.X) + ", " + std::to_string(sample.Y));
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(stored.PixelAt(sample.X, sample.Y) >> shift & 0xFF),
                    int(sample.Colour >> shift & 0xFF), 24);
    }
  }
}

// The header's size is refused before any pixel is made; the data after it is never looked at.
TEST(PreparePicture, PicturesTooLargeAreRefusedByTheirHeader) {
  // A PNG header of 65535 x 65535 with an empty IDAT, and a lossless WebP header of 16384 x
  // 16384, nothing more.
  const std::vector<uint8_t> png = {
      0x89, 'P',  'N',  'G',  '\r', '\n', 0x1A, '\n', 0,    0,   0,   13,   'I',  'H',  'D',
      'R',  0,    0,    0xFF, 0xFF, 0,    0,    0xFF, 0xFF, 8,   6,   0,    0,    0,    0xB6,
      0x05, 0xD9, 0x50, 0,    0,    0,    0,    'I',  'D',  'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
  const std::vector<uint8_t> webp = {'R',  'I', 'F', 'F', 26, 0, 0, 0, 'W',  'E',  'B',  'P',
                                     'V',  'P', '8', 'L', 14, 0, 0, 0, 0x2F, 0xFF, 0xFF, 0xFF,
                                     0x0F, 0,   0,   0,   0,  0, 0, 0, 0,    0};
  const std::vector<uint8_t> heic = ReadFileBytes(kFixtures / "halves.heic");
  const struct {
    const char* Name;
    TPictureKind Kind;
    const std::vector<uint8_t>& Bytes;
    int64_t MaxPixels;
    const char* Message;
  } cases[] = {
      {"PNG", TPictureKind::Png, png, TBitmap::kMaxPixels, "PNG too large"},
      {"WebP", TPictureKind::Webp, webp, int64_t{1} << 20,
       "WebP picture 16384 x 16384 is too large"},
      {"HEIC", TPictureKind::Heif, heic, 799, "HEIF picture 40 x 20 is too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      PreparePictureBytes(c.Kind, c.Bytes, kScreen, nullptr, c.MaxPixels);
      ADD_FAILURE() << "no exception";
    } catch (const EImageError& error) {
      EXPECT_STREQ(error.what(), c.Message);
    }
  }
}

TEST(PreparePicture, ScreenWithoutPixelsIsRefused) {
  EXPECT_THROW(PreparePicture(kFixtures / "picture.gif", {0, 40}, nullptr), std::invalid_argument);
}

// Several sources at once on several threads, sharing one mask, give what they give one by one.
TEST(PreparePicture, ThreadsSharingOneMaskGiveTheSameBytes) {
  const TPictureMask grey = TPictureMask::Load(kFixtures / "mask-grey.jpg");
  std::vector<std::vector<uint8_t>> serial;
  for (const TSourceCase& c : kSources)
    serial.push_back(PreparePicture(kFixtures / c.File, kScreen, &grey));
  std::vector<std::vector<uint8_t>> parallel(serial.size());
  std::vector<std::thread> threads;
  for (size_t i = 0; i < serial.size(); ++i)
    threads.emplace_back(
        [&, i] { parallel[i] = PreparePicture(kFixtures / kSources[i].File, kScreen, &grey); });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(parallel, serial);
}

}  // namespace
}  // namespace kestrava
