// Our reader against two outside references: the expectations of a public GIF test suite, read
// from the shared corpus, and giflib decoding the same files.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/GifAnimator.h"
#include "imaging/GifPicture.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/pygif-test-suite";
const fs::path kGiflib = fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/giflib/pic";

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A ".conf" file of the suite: sections of "key = value".
using TConf = std::map<std::string, std::map<std::string, std::string>>;

TConf ReadConf(const fs::path& path) {
  TConf conf;
  std::ifstream in(path);
  std::string line, section;
  const auto trim = [](std::string s) {
    s.erase(0, s.find_first_not_of(" \t"));
    s.erase(s.find_last_not_of(" \t\r") + 1);
    return s;
  };
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else if (const size_t eq = line.find('='); eq != std::string::npos) {
      conf[section][trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
  }
  return conf;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');)
    if (!item.empty()) out.push_back(item);
  return out;
}

// Where our picture differs from what a viewer shows, on purpose.
enum TDiffers { kCount = 1, kFirstFrame = 2, kFrames = 4, kLoop = 8 };
struct TExclusion {
  const char* Test;
  int Differs;
  const char* Reason;
};
const TExclusion kExclusions[] = {
    {"no-data", kCount | kFirstFrame | kFrames,
     "a file without an image has no frame here; a viewer shows its empty screen"},
    {"image-zero-width", kCount | kFirstFrame | kFrames,
     "the descriptor has no data: the trailer after it is read as a minimum code size of 59, "
     "which is refused"},
    {"image-zero-height", kCount | kFirstFrame | kFrames,
     "the descriptor announces a local table that is not there: the load fails"},
    {"image-zero-size", kCount | kFirstFrame | kFrames,
     "the descriptor announces a local table that is not there: the load fails"},
    {"images-combine", kCount | kFirstFrame | kFrames,
     "images without delay are separate frames here and Bitmap shows only the first; a viewer "
     "shows them together"},
    {"images-overlap", kCount | kFrames,
     "images without delay are separate frames here; a viewer shows them together"},
    {"high-color", kCount | kFirstFrame | kFrames,
     "images without delay are separate frames here and Bitmap shows only the first; a viewer "
     "shows them together"},
    {"dispose-restore-previous", kCount | kFirstFrame | kFrames,
     "the image without delay in front of the animation is a frame of its own here"},
    {"animation-multi-image", kCount | kFrames,
     "images without delay are separate frames here; a viewer shows each with the next"},
    {"animation-multi-image-explicit-zero-delay", kCount | kFrames,
     "images with delay 0 are separate frames here; a viewer shows each with the next"},
    {"invalid-code", kCount | kFirstFrame | kFrames,
     "a code beyond the table is decoded by the decoder's rule instead of refusing the image"},
    {"invalid-colors", kCount | kFirstFrame | kFrames,
     "indices beyond the colour table show black instead of refusing the image"},
    {"plain-text", kCount | kFirstFrame | kFrames,
     "the plain text extension is kept but not drawn; the image after it is an ordinary frame"},
    {"gif87a-animation", kLoop,
     "without a loop extension the frames play once; a viewer plays this file without end"},
};

int Exclusion(const std::string& test) {
  for (const TExclusion& e : kExclusions)
    if (test == e.Test) return e.Differs;
  return 0;
}

// An expected canvas: RGBA bytes, alpha 0 where a viewer shows nothing.
struct TCanvasPixels {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgba;
  uint32_t Rgb(int x, int y) const {
    const uint8_t* p = &Rgba[(size_t(y) * Width + x) * 4];
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }
  bool Shown(int x, int y) const { return Rgba[(size_t(y) * Width + x) * 4 + 3] == 255; }
};

// Where a viewer shows the canvas, our bitmap must show the same colour; where it shows nothing,
// ours holds `nothing` (when given) outside the area `covered`.
::testing::AssertionResult Agrees(const TBitmap& ours, const TCanvasPixels& expected,
                                  const TRect& covered, std::optional<uint32_t> nothing) {
  if (ours.Width() != expected.Width || ours.Height() != expected.Height)
    return ::testing::AssertionFailure() << "size " << ours.Width() << "x" << ours.Height();
  for (int y = 0; y < ours.Height(); ++y)
    for (int x = 0; x < ours.Width(); ++x) {
      const uint32_t got = ours.PixelAt(x, y) & 0xFFFFFF;
      if (expected.Shown(x, y) && got != expected.Rgb(x, y))
        return ::testing::AssertionFailure() << "pixel " << x << ", " << y << ": " << std::hex
                                             << got << " instead of " << expected.Rgb(x, y);
      if (!expected.Shown(x, y) && nothing && !covered.Contains(x, y) && got != *nothing)
        return ::testing::AssertionFailure()
               << "pixel " << x << ", " << y << " not covered: " << std::hex << got;
    }
  return ::testing::AssertionSuccess();
}

TEST(GifCorpus, TestSuiteExpectations) {
  if (!fs::exists(kSuite / "TESTS")) GTEST_SKIP() << "no test suite at " << kSuite;
  std::ifstream list(kSuite / "TESTS");
  int tests = 0, excluded = 0;
  for (std::string test; std::getline(list, test);) {
    if (test.empty()) continue;
    SCOPED_TRACE(test);
    ++tests;
    const TConf conf = ReadConf(kSuite / (test + ".conf"));
    const auto& config = conf.at("config");
    const int differs = Exclusion(test);
    excluded += differs != 0;

    giftest::TLoad load(ReadAll(kSuite / config.at("input")));
    TGifPicture& picture = load.Picture;
    EXPECT_EQ(picture.Width(), std::stoi(config.at("width")));
    EXPECT_EQ(picture.Height(), std::stoi(config.at("height")));
    EXPECT_EQ(picture.Header().Version(), config.at("version").substr(3));

    const TGifLoopExtension* loop = picture.LoopExtension();
    const std::string loopCount = config.at("loop-count");
    if (differs & kLoop) {
      EXPECT_EQ(loop, nullptr) << "exclusion no longer needed";
    } else if (loopCount == "infinite") {
      ASSERT_NE(loop, nullptr);
      EXPECT_EQ(loop->LoopCount, 0);
    } else if (loopCount == "0") {
      EXPECT_EQ(loop, nullptr);
    } else {
      ASSERT_NE(loop, nullptr);
      EXPECT_EQ(loop->LoopCount, std::stoi(loopCount));
    }
    if (config.count("buffer-size")) {
      ASSERT_NE(loop, nullptr);
      EXPECT_EQ(loop->BufferSize, std::stoul(config.at("buffer-size")));
    }

    // A file that fails to load shows no frame.
    int ourFrames = 0;
    while (load.Error.empty() && ourFrames < picture.Images().Count() &&
           !picture.Images()[ourFrames].Empty())
      ++ourFrames;
    const std::vector<std::string> frames = Split(config.at("frames"));
    if (differs & kCount) {
      EXPECT_NE(ourFrames, int(frames.size())) << "exclusion no longer needed";
      continue;
    }
    ASSERT_EQ(ourFrames, int(frames.size())) << load.Error;
    for (int i = 0; i < ourFrames; ++i) {
      const auto& section = conf.at(frames[size_t(i)]);
      const TGifGraphicControl* control = picture.Images()[i].GraphicControl;
      const int delay = control ? control->Delay : 0;
      EXPECT_EQ(delay, section.count("delay") ? std::stoi(section.at("delay")) : 0)
          << "frame " << i;
    }
    if (frames.empty()) continue;

    const auto canvas = [&](int i) {
      TCanvasPixels c{picture.Width(), picture.Height(),
                      ReadAll(kSuite / conf.at(frames[size_t(i)]).at("pixels"))};
      EXPECT_EQ(c.Rgba.size(), size_t(c.Width) * c.Height * 4);
      return c;
    };
    // Bitmap: the first frame over black, which shows where a viewer shows nothing.
    if (!(differs & kFirstFrame)) {
      const TBitmap* bitmap = picture.Bitmap();
      ASSERT_NE(bitmap, nullptr);
      EXPECT_TRUE(Agrees(*bitmap, canvas(0), {}, 0x000000));
    }
    // Every frame as the painter composes it over black.
    if (!(differs & kFrames)) {
      TBitmap screen(picture.Width(), picture.Height());
      TGifAnimator animator(picture, screen);
      ASSERT_EQ(animator.FrameCount(), ourFrames);
      for (int i = 0; i < ourFrames; ++i) {
        animator.Show(i);
        EXPECT_TRUE(Agrees(screen, canvas(i), {}, 0x000000)) << "frame " << i;
      }
    }
  }
  EXPECT_EQ(tests, 84);
  EXPECT_EQ(excluded, int(std::size(kExclusions)));
}

// giflib's decoding of a whole file, every frame.
struct TGiflibFile {
  explicit TGiflibFile(const std::vector<uint8_t>& bytes) : Bytes(bytes) {
    int error = 0;
    File = DGifOpen(this, &TGiflibFile::Read, &error);
    if (File && DGifSlurp(File) != GIF_OK) Failed = true;
  }
  ~TGiflibFile() {
    int error = 0;
    if (File) DGifCloseFile(File, &error);
  }
  static int Read(GifFileType* file, GifByteType* out, int count) {
    auto* self = static_cast<TGiflibFile*>(file->UserData);
    const size_t n = std::min(size_t(count), self->Bytes.size() - self->At);
    std::copy_n(self->Bytes.begin() + long(self->At), n, out);
    self->At += n;
    return int(n);
  }
  std::vector<uint8_t> Bytes;
  size_t At = 0;
  GifFileType* File = nullptr;
  bool Failed = false;
};

void ExpectSameAsGiflib(const std::vector<uint8_t>& bytes) {
  TGiflibFile reference(bytes);
  ASSERT_NE(reference.File, nullptr);
  ASSERT_FALSE(reference.Failed);
  giftest::TLoad load(bytes);
  ASSERT_EQ(load.Error, "");
  const TGifPicture& ours = load.Picture;
  EXPECT_EQ(ours.Width(), reference.File->SWidth);
  EXPECT_EQ(ours.Height(), reference.File->SHeight);
  // Extensions after the last image make one more frame here, without an image.
  ASSERT_GE(ours.Images().Count(), reference.File->ImageCount);
  for (int i = reference.File->ImageCount; i < ours.Images().Count(); ++i)
    EXPECT_TRUE(ours.Images()[i].Empty());
  for (int i = 0; i < reference.File->ImageCount; ++i) {
    SCOPED_TRACE(i);
    const TGifFrame& frame = ours.Images()[i];
    const SavedImage& image = reference.File->SavedImages[i];
    EXPECT_EQ(frame.BoundsRect(), Rect(image.ImageDesc.Left, image.ImageDesc.Top,
                                       image.ImageDesc.Left + image.ImageDesc.Width,
                                       image.ImageDesc.Top + image.ImageDesc.Height));
    // giflib's rows are in display order after a slurp, as ours are.
    const std::vector<uint8_t> expected(
        image.RasterBits,
        image.RasterBits + size_t(image.ImageDesc.Width) * image.ImageDesc.Height);
    EXPECT_TRUE(frame.Data == expected);
    const ColorMapObject* map = image.ImageDesc.ColorMap;
    ASSERT_EQ(frame.ColorMap.Count(), map ? map->ColorCount : 0);
    for (int c = 0; c < frame.ColorMap.Count(); ++c)
      EXPECT_EQ(frame.ColorMap.Entry(c), TPixel(map->Colors[c].Red) << 16 |
                                             TPixel(map->Colors[c].Green) << 8 |
                                             map->Colors[c].Blue);
  }
}

TEST(GifCorpus, SameFramesAsGiflib) {
  if (!fs::exists(kGiflib)) GTEST_SKIP() << "no giflib pictures at " << kGiflib;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kGiflib)) {
    if (entry.path().extension() != ".gif") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ExpectSameAsGiflib(ReadAll(entry.path()));
    ++files;
  }
  EXPECT_GE(files, 8);
}

// giflib's encoder writes the table-full and not-yet-in-table cases that hand-made fixtures
// rarely reach; our decoding of its files must give back the pixels it was given.
std::vector<uint8_t> EncodeWithGiflib(int w, int h, int colors, bool interlaced,
                                      const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> out;
  const OutputFunc write = [](GifFileType* file, const GifByteType* data, int count) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(file->UserData);
    bytes->insert(bytes->end(), data, data + count);
    return count;
  };
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write, &error);
  ColorMapObject* map = GifMakeMapObject(colors, nullptr);
  for (int i = 0; i < colors; ++i)
    map->Colors[i] = {GifByteType(i), GifByteType(i * 3), GifByteType(255 - i)};
  EGifPutScreenDesc(gif, w, h, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, w, h, interlaced, nullptr);
  std::vector<int> rows;
  if (interlaced) {
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < h; y += step)
        rows.push_back(y);
  } else {
    for (int y = 0; y < h; ++y)
      rows.push_back(y);
  }
  for (int y : rows) {
    std::vector<GifPixelType> row(pixels.begin() + long(y) * w, pixels.begin() + long(y + 1) * w);
    EGifPutLine(gif, row.data(), w);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

TEST(GifCorpus, GiflibEncodedPicturesDecodeToTheirPixels) {
  const struct {
    int W, H, Colors;
    bool Interlaced;
    int Runs;  // longer runs give longer strings in the table
  } cases[] = {
      {1, 1, 2, false, 1},      {17, 9, 2, true, 1},       {64, 64, 4, false, 3},
      {300, 200, 16, true, 5},  {640, 480, 256, false, 1}, {640, 480, 256, false, 40},
      {333, 777, 128, true, 7},
  };
  std::mt19937 random(7);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H));
    std::vector<uint8_t> pixels(size_t(c.W) * c.H);
    for (size_t i = 0; i < pixels.size();) {
      const uint8_t v = uint8_t(random() % unsigned(c.Colors));
      for (int r = int(random() % unsigned(c.Runs)) + 1; r > 0 && i < pixels.size(); --r)
        pixels[i++] = v;
    }
    const std::vector<uint8_t> bytes = EncodeWithGiflib(c.W, c.H, c.Colors, c.Interlaced, pixels);
    giftest::TLoad load(bytes);
    ASSERT_EQ(load.Error, "");
    EXPECT_TRUE(load.Warnings.empty());
    ASSERT_EQ(load.Picture.Images().Count(), 1);
    EXPECT_TRUE(load.Picture.Images()[0].Data == pixels);
    ExpectSameAsGiflib(bytes);
  }
}

}  // namespace
}  // namespace kestrava
