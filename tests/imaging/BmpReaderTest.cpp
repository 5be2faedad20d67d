// Decodes our generated fixtures and the shared "good" bitmap suite and compares every pixel
// with the PNG a reference decoder made of the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/Png.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(KESTRAVA_TEST_DATA_DIR) / "bmp";

// What the fourth byte of a decoded 32-bit picture must hold.
enum class TAlpha { kIgnore, kFromPng, kZero };

testing::AssertionResult SamePixels(const TBitmap& got, const TBitmap& want, TAlpha alpha) {
  if (got.Width() != want.Width() || got.Height() != want.Height())
    return testing::AssertionFailure() << "size " << got.Width() << " x " << got.Height()
                                       << ", want " << want.Width() << " x " << want.Height();
  const TPixel mask = alpha == TAlpha::kIgnore ? 0xFFFFFFu : 0xFFFFFFFFu;
  int differences = 0;
  std::ostringstream first;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x) {
      const TPixel expected =
          alpha == TAlpha::kZero ? want.PixelAt(x, y) & 0xFFFFFFu : want.PixelAt(x, y) & mask;
      const TPixel actual = got.PixelAt(x, y) & mask;
      if (actual != expected && differences++ < 3)
        first << " (" << x << ", " << y << "): " << std::hex << actual << " want " << expected
              << std::dec << ";";
    }
  if (differences == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << differences << " pixels differ:" << first.str();
}

struct TFixture {
  const char* name;
  TPixelFormat format;
  TAlpha alpha = TAlpha::kIgnore;
};

void PrintTo(const TFixture& fixture, std::ostream* os) {
  *os << fixture.name;
}

// One row per file in tests/data/bmp; make_fixtures.py there says how each was made.
const TFixture kFixtureTable[] = {
    {"core-1bpp", TPixelFormat::pf8bit},
    {"core-4bpp", TPixelFormat::pf8bit},
    {"core-8bpp", TPixelFormat::pf8bit},
    {"core-24bpp", TPixelFormat::pf24bit},
    {"core-4bpp-short-table", TPixelFormat::pf8bit},
    {"info-1bpp", TPixelFormat::pf8bit},
    {"info-4bpp", TPixelFormat::pf8bit},
    {"info-8bpp", TPixelFormat::pf8bit},
    {"info-8bpp-short-table", TPixelFormat::pf8bit},
    {"info-16bpp", TPixelFormat::pf24bit},
    {"info-24bpp", TPixelFormat::pf24bit},
    {"info-32bpp", TPixelFormat::pf32bit, TAlpha::kFromPng},
    {"info-rle8", TPixelFormat::pf8bit},
    {"info-rle8-absolute", TPixelFormat::pf8bit},
    {"info-rle8-delta", TPixelFormat::pf8bit},
    {"info-rle8-topdown", TPixelFormat::pf8bit},
    {"info-rle4", TPixelFormat::pf8bit},
    {"info-rle4-delta", TPixelFormat::pf8bit},
    {"info-bitfields-565", TPixelFormat::pf24bit},
    {"info52-bitfields-565", TPixelFormat::pf24bit},
    {"info-bitfields-32", TPixelFormat::pf32bit, TAlpha::kZero},
    {"info-alphabitfields-32", TPixelFormat::pf32bit, TAlpha::kFromPng},
    {"info56-alphabitfields-32", TPixelFormat::pf32bit, TAlpha::kFromPng},
    {"os2v2-8bpp", TPixelFormat::pf8bit},
    {"v4-8bpp", TPixelFormat::pf8bit},
    {"v4-24bpp", TPixelFormat::pf24bit},
    {"v5-8bpp", TPixelFormat::pf8bit},
    {"v5-bitfields-555", TPixelFormat::pf24bit},
    {"v5-bitfields-565", TPixelFormat::pf24bit},
    {"v5-bitfields-32", TPixelFormat::pf32bit, TAlpha::kFromPng},
    {"topdown-1bpp", TPixelFormat::pf8bit},
    {"topdown-8bpp", TPixelFormat::pf8bit},
    {"topdown-v5-24bpp", TPixelFormat::pf24bit},
};

class BmpFixtureTest : public testing::TestWithParam<TFixture> {};

TEST_P(BmpFixtureTest, MatchesReferenceDecode) {
  const TFixture& fixture = GetParam();
  const TBitmap got = ReadBmpFile(kFixtures / (std::string(fixture.name) + ".bmp"));
  EXPECT_EQ(got.PixelFormat(), fixture.format);
  EXPECT_TRUE(SamePixels(got, ReadPngFile(kFixtures / (std::string(fixture.name) + ".png")),
                         fixture.alpha));
}

// A caller that needs some rows only gets them as the whole picture has them, whichever way up and
// however compressed the file stores them.
TEST_P(BmpFixtureTest, KeptRowsAreThoseOfTheWholePicture) {
  const std::vector<uint8_t> bytes =
      ReadFileBytes(kFixtures / (std::string(GetParam().name) + ".bmp"));
  const TBitmap whole = ReadBmp(bytes);
  std::vector<int> slots(size_t(whole.Height()), -1);
  int kept = 0;
  for (int y = 0; y < whole.Height(); ++y)
    if (y % 3 != 1) slots[size_t(y)] = kept++;
  const TBitmap some = ReadBmpRows(bytes, slots, kept, TDamage::Show);
  ASSERT_EQ(some.PixelFormat(), whole.PixelFormat());
  ASSERT_EQ(some.Width(), whole.Width());
  ASSERT_EQ(some.Height(), kept);
  int differences = 0;
  for (int y = 0; y < whole.Height(); ++y)
    for (int x = 0; slots[size_t(y)] >= 0 && x < whole.Width(); ++x)
      differences += some.PixelAt(x, slots[size_t(y)]) != whole.PixelAt(x, y);
  EXPECT_EQ(differences, 0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BmpFixtureTest, testing::ValuesIn(kFixtureTable),
                         [](const testing::TestParamInfo<TFixture>& row) {
                           std::string name = row.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(BmpFixtureTest, EveryFixtureHasARow) {
  std::set<std::string> listed;
  for (const TFixture& fixture : kFixtureTable)
    listed.insert(fixture.name);
  for (const auto& entry : fs::directory_iterator(kFixtures)) {
    if (entry.path().extension() == ".bmp") {
      EXPECT_TRUE(listed.count(entry.path().stem().string())) << entry.path();
    }
  }
}

// A stream cut anywhere keeps the pixels decoded before the cut and leaves the rest at index 0.
// This fixture has no deltas, so the decoding order is bottom row first, left to right.
TEST(BmpRleTest, CutStreamKeepsDecodedPrefix) {
  const std::vector<uint8_t> bytes = ReadFileBytes(kFixtures / "info-rle8-absolute.bmp");
  const TBitmap full = ReadBmp(bytes);
  const size_t pixelStart = bytes[10] | bytes[11] << 8;
  const int width = full.Width(), height = full.Height();
  const auto indexAt = [&](const TBitmap& bitmap, int n) {
    return bitmap.ScanLine(height - 1 - n / width)[n % width];
  };
  int previous = 0;
  for (size_t size = pixelStart; size <= bytes.size(); ++size) {
    SCOPED_TRACE(size);
    const TBitmap cut = ReadBmp(std::span(bytes).first(size));
    int decoded = 0;
    while (decoded < width * height && indexAt(cut, decoded) == indexAt(full, decoded))
      ++decoded;
    for (int n = decoded; n < width * height; ++n)
      ASSERT_EQ(indexAt(cut, n), 0) << n;
    EXPECT_GE(decoded, previous);
    previous = decoded;
  }
  EXPECT_EQ(previous, width * height);
}

// The shared suite's files that a decoder of the file's own pixels cannot match, with the reason
// (a reference composited over a background, say). None at present: every file matches.
const std::map<std::string, std::string> kCorpusExclusions = {};

fs::path CorpusDir() {
  return fs::path(KESTRAVA_SHARED_DIR) / "corpus/bmp/bmpsuite-good";
}

// reference-map.tsv: "g/<file>.bmp", a tab, and one or more reference PNGs separated by "|"
// (alternatives, e.g. a picture with non-square pixels as stored and as shown).
std::map<std::string, std::vector<std::string>> ReadReferenceMap(const fs::path& file) {
  std::map<std::string, std::vector<std::string>> map;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::string bmp = line.substr(0, tab);
    if (bmp.starts_with("g/")) bmp.erase(0, 2);
    std::stringstream references(line.substr(tab + 1));
    for (std::string png; std::getline(references, png, '|');)
      map[bmp].push_back(png);
  }
  return map;
}

TEST(BmpCorpusTest, GoodSuiteMatchesReferences) {
  const fs::path dir = CorpusDir();
  if (!fs::is_directory(dir)) GTEST_SKIP() << dir << " is missing";
  const auto map = ReadReferenceMap(dir / "reference-map.tsv");
  ASSERT_FALSE(map.empty());
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".bmp") {
      EXPECT_TRUE(map.count(name) || kCorpusExclusions.count(name)) << name << " has no reference";
    }
  }

  for (const auto& [bmp, references] : map) {
    SCOPED_TRACE(bmp);
    TBitmap got;
    try {
      got = ReadBmpFile(dir / bmp);
    } catch (const EImageError& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    if (kCorpusExclusions.count(bmp)) continue;
    // Of several references, the one at the file's own pixel size is the stored picture.
    bool compared = false;
    for (const std::string& png : references) {
      const TBitmap want = ReadPngFile(dir / "references" / png);
      if (want.Width() != got.Width() || want.Height() != got.Height()) continue;
      EXPECT_TRUE(SamePixels(got, want, TAlpha::kIgnore)) << png;
      compared = true;
      break;
    }
    EXPECT_TRUE(compared) << "no reference of size " << got.Width() << " x " << got.Height();
  }
}

}  // namespace
}  // namespace kestrava
