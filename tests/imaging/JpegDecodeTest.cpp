#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "tests/support/ClaimedSize.h"
#include "tests/support/JpegPrograms.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(KESTRAVA_SHARED_DIR) / "corpus" / "jpeg";
const fs::path kFixtures = fs::path(KESTRAVA_TEST_DATA_DIR) / "jpeg";

using test::HaveProgram;
using test::TScratchFolder;

// A binary PPM (P6) or PGM (P5) with 255 as its largest value.
struct TPnm {
  int Width = 0;
  int Height = 0;
  int Channels = 0;
  std::vector<uint8_t> Samples;
};

TPnm ReadPnm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  TPnm pnm;
  in >> magic >> pnm.Width >> pnm.Height >> maxValue;
  in.get();
  if (!in || (magic != "P5" && magic != "P6") || maxValue != 255) return {};
  pnm.Channels = magic == "P5" ? 1 : 3;
  pnm.Samples.resize(size_t(pnm.Width) * size_t(pnm.Height) * size_t(pnm.Channels));
  in.read(reinterpret_cast<char*>(pnm.Samples.data()), std::streamsize(pnm.Samples.size()));
  if (!in) return {};
  return pnm;
}

struct TDifference {
  int Max = 0;
  double Mean = 0;
};

// Per channel; a grey reference stands for red, green and blue alike.
TDifference Compare(const TBitmap& bitmap, const TPnm& pnm) {
  TDifference d;
  int64_t sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TPixel p = bitmap.PixelAt(x, y);
      const uint8_t* s = &pnm.Samples[(size_t(y) * size_t(pnm.Width) + size_t(x)) * pnm.Channels];
      for (int c = 0; c < 3; ++c) {
        const int ours = int(p >> (16 - 8 * c)) & 0xFF;
        const int diff = std::abs(ours - s[pnm.Channels == 3 ? c : 0]);
        d.Max = std::max(d.Max, diff);
        sum += diff;
      }
    }
  d.Mean = double(sum) / (3.0 * bitmap.Width() * bitmap.Height());
  return d;
}

// How far our decode may lie from a reference. None of the corpus references was made with the
// floating-point IDCT that we use (MANIFEST.tsv: djpeg -dct int or -dct fast, or the source
// picture itself), so they all compare within a tolerance; MatchesDjpegFloatExactly below is
// the exact check.
struct TTolerance {
  int Max;
  double Mean;
};
constexpr TTolerance kIntegerIdct{3, 0.05};    // float vs integer IDCT: rounding only
constexpr TTolerance kFastIdct{4, 1.2};        // the fast IDCT is coarser
constexpr TTolerance kFastIdctQ100{16, 1.6};   // and coarser still at quality 100
constexpr TTolerance kSourcePicture{32, 1.5};  // against the picture before compression

struct TCorpusCase {
  const char* File;       // under corpus/jpeg
  const char* Reference;  // under corpus/jpeg
  bool Progressive;
  TTolerance Tolerance;
};

// The "m" references (merged upsampling) and the "skip" ones (partial decodes) are left out: we
// decode whole pictures with libjpeg's default upsampling.
const TCorpusCase kCorpusCases[] = {
    {"libjpeg-turbo-testimages/testorig.jpg", "generated-libjpeg-turbo/testorig_islow.ppm", false,
     kIntegerIdct},
    {"generated-libjpeg-turbo/411_islow.jpg", "generated-libjpeg-turbo/411_islow.ppm", false,
     kIntegerIdct},
    {"generated-libjpeg-turbo/411_islow_prog.jpg", "generated-libjpeg-turbo/411_islow_prog.ppm",
     true, kIntegerIdct},
    {"generated-libjpeg-turbo/420_islow_prog.jpg", "generated-libjpeg-turbo/420_islow_prog.ppm",
     true, kIntegerIdct},
    {"generated-libjpeg-turbo/441_islow_prog.jpg", "generated-libjpeg-turbo/441_islow_prog.ppm",
     true, kIntegerIdct},
    {"generated-libjpeg-turbo/440_islow.jpg", "generated-libjpeg-turbo/440_islow.ppm", false,
     kIntegerIdct},
    {"generated-libjpeg-turbo/422_islow_restart.jpg",
     "generated-libjpeg-turbo/422_islow_restart.ppm", false, kIntegerIdct},
    {"generated-libjpeg-turbo/gray_islow.jpg", "generated-libjpeg-turbo/gray_islow.ppm", false,
     kIntegerIdct},
    {"generated-libjpeg-turbo/422_ifast_opt.jpg", "generated-libjpeg-turbo/422_ifast.ppm", false,
     kFastIdct},
    {"generated-libjpeg-turbo/3x2_ifast_prog.jpg", "generated-libjpeg-turbo/3x2_ifast.ppm", true,
     kFastIdct},
    {"generated-libjpeg-turbo/420_q100_ifast_prog.jpg",
     "generated-libjpeg-turbo/420_q100_ifast.ppm", true, kFastIdctQ100},
    {"generated-libjpeg-turbo/420s_islow_opt.jpg", "libjpeg-turbo-testimages/testorig.ppm", false,
     kSourcePicture},
    {"generated-libjpeg-turbo/444_islow_progari.jpg", "libjpeg-turbo-testimages/testorig.ppm", true,
     kSourcePicture},
    {"generated-libjpeg-turbo/420_islow_ari.jpg", "libjpeg-turbo-testimages/testorig.ppm", false,
     kSourcePicture},
    {"libjpeg-turbo-testimages/testimgint.jpg", "libjpeg-turbo-testimages/testorig.ppm", false,
     kSourcePicture},
};

void PrintTo(const TCorpusCase& c, std::ostream* os) {
  *os << c.File;
}

class JpegCorpusTest : public testing::TestWithParam<TCorpusCase> {};

TEST_P(JpegCorpusTest, DecodesCloseToReference) {
  const TCorpusCase& c = GetParam();
  const TJpegImage image = DecodeJpegFile(kCorpus / c.File);
  const TPnm reference = ReadPnm(kCorpus / c.Reference);
  ASSERT_GT(reference.Width, 0) << c.Reference;
  EXPECT_EQ(image.Progressive, c.Progressive);
  EXPECT_EQ(image.Bitmap.PixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(image.Bitmap.Width(), reference.Width);
  ASSERT_EQ(image.Bitmap.Height(), reference.Height);
  const TDifference d = Compare(image.Bitmap, reference);
  EXPECT_LE(d.Max, c.Tolerance.Max);
  EXPECT_LE(d.Mean, c.Tolerance.Mean);
}

// djpeg runs the same library; with the float IDCT and its default options its output must be
// ours to the bit. This is what pins the IDCT choice and the defaults.
TEST_P(JpegCorpusTest, MatchesDjpegFloatExactly) {
  if (!HaveProgram("djpeg")) GTEST_SKIP() << "djpeg is not installed";
  const TCorpusCase& c = GetParam();
  const TScratchFolder folder;
  const fs::path out = folder / "djpeg.pnm";
  const std::string command =
      "djpeg -dct float -outfile '" + out.string() + "' '" + (kCorpus / c.File).string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const TPnm reference = ReadPnm(out);
  const TJpegImage image = DecodeJpegFile(kCorpus / c.File);
  ASSERT_EQ(image.Bitmap.Width(), reference.Width);
  ASSERT_EQ(image.Bitmap.Height(), reference.Height);
  EXPECT_EQ(Compare(image.Bitmap, reference).Max, 0);
}

std::string CaseName(const testing::TestParamInfo<TCorpusCase>& info) {
  std::string name = fs::path(info.param.File).stem().string();
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, JpegCorpusTest, testing::ValuesIn(kCorpusCases), CaseName);

// Block centres of our four-component fixtures (see tests/data/jpeg/README.md): red, green,
// grey from black ink alone (255 * 127 / 255), dark orange (255 * 191 / 255, 127 * 191 / 255, 0).
TEST(JpegDecode, FourComponentPicturesComeOutAsRgb) {
  const TPixel expected[4] = {0xFF0000, 0x00FF00, 0x7F7F7F, 0xBF5F00};
  for (const char* file : {"cmyk-adobe.jpg", "ycck-adobe.jpg", "cmyk-plain.jpg"}) {
    SCOPED_TRACE(file);
    const TJpegImage image = DecodeJpegFile(kFixtures / file);
    ASSERT_EQ(image.Bitmap.Width(), 64);
    ASSERT_EQ(image.Bitmap.Height(), 16);
    EXPECT_EQ(image.Bitmap.PixelFormat(), TPixelFormat::pf24bit);
    for (int block = 0; block < 4; ++block) {
      const TPixel got = image.Bitmap.PixelAt(block * 16 + 8, 8);
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(got >> shift) & 0xFF, int(expected[block] >> shift) & 0xFF, 2)
            << "block " << block << " got " << std::hex << got;
    }
  }
}

TEST(JpegDecode, TwelveBitSamplesAreRefused) {
  try {
    DecodeJpegFile(kCorpus / "libjpeg-turbo-testimages/monkey12.jpg");
    FAIL() << "no error";
  } catch (const EJpegError& e) {
    EXPECT_STREQ(e.what(), "Unsupported JPEG data precision 12");
  }
}

struct TBadInput {
  const char* Name;
  std::vector<uint8_t> Bytes;
  const char* Message;
};

TEST(JpegDecode, InvalidHeadersThrowWithLibjpegsMessage) {
  const TBadInput cases[] = {
      {"empty", {}, "Empty input file"},
      {"a GIF",
       {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
       "Not a JPEG file: starts with 0x47 0x49"},
      {"start of image only", {0xFF, 0xD8}, "JPEG datastream contains no image"},
      {"start and end only", {0xFF, 0xD8, 0xFF, 0xD9}, "JPEG datastream contains no image"},
      {"bogus marker length", {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x01}, "Bogus marker length"},
  };
  for (const TBadInput& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      DecodeJpeg(c.Bytes);
      ADD_FAILURE() << "no error";
    } catch (const EJpegError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

// Offset of a marker among the header segments.
size_t FindHeaderMarker(const std::vector<uint8_t>& jpeg, uint8_t marker) {
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != marker)
    pos += 2 + (size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3]);
  return pos;
}

// Up to the scan header, every cut loses something the picture cannot do without. (Within the
// scan header libjpeg may merely warn: a sequential file's spectral selection bytes are checked
// with a warning only.)
TEST(JpegDecode, EveryCutBeforeTheScanHeaderThrows) {
  const std::vector<uint8_t> jpeg =
      ReadFileBytes(kCorpus / "libjpeg-turbo-testimages/testorig.jpg");
  const size_t scanHeader = FindHeaderMarker(jpeg, 0xDA);
  ASSERT_GT(scanHeader, 100u);
  ASSERT_LT(scanHeader, jpeg.size());
  for (size_t n = 0; n <= scanHeader; ++n)
    EXPECT_THROW(DecodeJpeg(std::span(jpeg).first(n)), EJpegError) << "cut at " << n;
}

// libjpeg's custom for a file that ends early: warn, and fill what is missing with grey.
TEST(JpegDecode, CutInsideTheDataKeepsTheTopAndFillsGrey) {
  const std::vector<uint8_t> jpeg =
      ReadFileBytes(kCorpus / "libjpeg-turbo-testimages/testorig.jpg");
  const TJpegImage whole = DecodeJpeg(jpeg);
  const TJpegImage cut = DecodeJpeg(std::span(jpeg).first(jpeg.size() / 2));
  ASSERT_EQ(cut.Bitmap.Width(), whole.Bitmap.Width());
  ASSERT_EQ(cut.Bitmap.Height(), whole.Bitmap.Height());
  const int last = cut.Bitmap.Height() - 1;
  for (int x = 0; x < cut.Bitmap.Width(); ++x) {
    ASSERT_EQ(cut.Bitmap.PixelAt(x, 0), whole.Bitmap.PixelAt(x, 0)) << "x " << x;
    ASSERT_EQ(cut.Bitmap.PixelAt(x, last), 0x808080u) << "x " << x;
  }
}

struct TSizeCase {
  const char* Name;
  uint16_t Width;
  uint16_t Height;
  int64_t MaxPixels;
  const char* Message;  // nullptr: decodes at that size
};

// The frame header of a real file rewritten. Our check must answer before anything is allocated
// (not TBitmap's own EBitmapError), and the cap itself is allowed.
// A file of a few hundred bytes claiming 16384 x 16384 is refused before the picture is allocated.
TEST(JpegDecode, AClaimTheDataCannotHoldIsRefused) {
  const struct {
    bool Progressive;
    const char* Message;
  } cases[] = {
      {false, "the JPEG data ends before its first rows (file truncated?)"},
      {true, "the JPEG claims 16384 x 16384 pixels in several scans, more than its "},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> bomb = test::JpegClaiming(16384, 16384, c.Progressive);
    try {
      DecodeJpeg(bomb);
      ADD_FAILURE() << "no error";
    } catch (const EJpegError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Message, 0), 0u) << e.what();
    }
  }
  // The same claims with data enough are not refused by these checks.
  EXPECT_EQ(DecodeJpeg(test::JpegClaiming(16, 16, false)).Bitmap.Width(), 16);
  EXPECT_EQ(DecodeJpeg(test::JpegClaiming(16, 16, true)).Bitmap.Width(), 16);
}

TEST(JpegDecode, PictureSizeIsCheckedAgainstTheLimits) {
  const int64_t limit = TBitmap::kMaxPixels;
  const TSizeCase cases[] = {
      {"at the cap", 100, 100, 10000, nullptr},
      {"one row over the cap", 100, 101, 10000, "JPEG picture 100 x 101 is too large"},
      {"over the bitmap limit", 60000, 60000, limit, "JPEG picture 60000 x 60000 is too large"},
      {"wide, over the bitmap limit", 65500, 4200, limit, "JPEG picture 65500 x 4200 is too large"},
      {"beyond libjpeg's limit", 65535, 1, limit,
       "Maximum supported image dimension is 65500 pixels"},
      {"no rows", 16, 0, limit, "Empty JPEG image (DNL not supported)"},
  };
  const std::vector<uint8_t> original =
      ReadFileBytes(kCorpus / "libjpeg-turbo-testimages/testorig.jpg");
  const size_t sof = FindHeaderMarker(original, 0xC0);
  ASSERT_LT(sof + 9, original.size());
  for (const TSizeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<uint8_t> jpeg = original;
    jpeg[sof + 5] = uint8_t(c.Height >> 8);
    jpeg[sof + 6] = uint8_t(c.Height);
    jpeg[sof + 7] = uint8_t(c.Width >> 8);
    jpeg[sof + 8] = uint8_t(c.Width);
    if (!c.Message) {
      const TJpegImage image = DecodeJpeg(jpeg, c.MaxPixels);
      EXPECT_EQ(image.Bitmap.Width(), c.Width);
      EXPECT_EQ(image.Bitmap.Height(), c.Height);
      continue;
    }
    try {
      DecodeJpeg(jpeg, c.MaxPixels);
      ADD_FAILURE() << "no error";
    } catch (const EJpegError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

// A progressive file may repeat a scan (libjpeg only warns), so a tiny file can ask for
// thousands of passes over the picture.
TEST(JpegDecode, ScanCountIsLimited) {
  const std::vector<uint8_t> original =
      ReadFileBytes(kCorpus / "generated-libjpeg-turbo/420_islow_prog.jpg");
  const size_t start = FindHeaderMarker(original, 0xDA);
  // The first scan runs from its header to the next marker that is not a restart marker.
  size_t end = start + 2 + (size_t(original[start + 2]) << 8 | original[start + 3]);
  while (end + 1 < original.size() &&
         !(original[end] == 0xFF && original[end + 1] != 0 && (original[end + 1] & 0xF8) != 0xD0))
    ++end;
  ASSERT_LT(end + 1, original.size());
  for (const auto& [copies, fails] : {std::pair{100, false}, std::pair{600, true}}) {
    SCOPED_TRACE(copies);
    std::vector<uint8_t> jpeg(original.begin(), original.begin() + std::ptrdiff_t(end));
    for (int i = 0; i < copies; ++i)
      jpeg.insert(jpeg.end(), original.begin() + std::ptrdiff_t(start),
                  original.begin() + std::ptrdiff_t(end));
    jpeg.insert(jpeg.end(), original.begin() + std::ptrdiff_t(end), original.end());
    if (!fails) {
      EXPECT_TRUE(DecodeJpeg(jpeg).Progressive);
      continue;
    }
    try {
      DecodeJpeg(jpeg);
      ADD_FAILURE() << "no error";
    } catch (const EJpegError& e) {
      EXPECT_STREQ(e.what(), "Progressive JPEG image has more than 500 scans");
    }
  }
}

TEST(JpegDecode, MissingFileThrows) {
  EXPECT_THROW(DecodeJpegFile(kFixtures / "no-such-file.jpg"), EImageError);
}

}  // namespace
}  // namespace kestrava
