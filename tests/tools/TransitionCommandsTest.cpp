// The frame and gallery commands of kestrava-tool, run as a user runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/BmpWriter.h"
#include "imaging/Png.h"
#include "raster/Canvas.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

TBitmap Pattern(int w, int h, int seed) {
  TBitmap b(w, h, TPixelFormat::pfDevice);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] =
          uint32_t((x * 7 + y * 13 + seed) * 2654435761u) & 0xFFFFFF;
  return b;
}

class TransitionCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrava-frame-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args) {
    const std::string command =
        std::string("'") + KESTRAVA_TOOL_PATH + "' " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

TEST_F(TransitionCommandsTest, FrameIsTheFrameThePlayerMakes) {
  // The old picture is smaller and is first scaled to the new one's size, as the player does.
  const TBitmap oldSmall = Pattern(20, 15, 1), picture = Pattern(64, 48, 2);
  WriteBmpFile(Path("old.bmp"), oldSmall, 24);
  WriteBmpFile(Path("new.bmp"), picture, 24);
  TBitmap old(64, 48);
  old.Canvas().StretchDraw({0, 0, 64, 48}, oldSmall);
  for (int style : {3, 54, 57}) {
    SCOPED_TRACE(style);
    ASSERT_EQ(Run("frame --style " + std::to_string(style) + " --progress 40 --step 4 " +
                  Path("old.bmp") + " " + Path("new.bmp") + " " + Path("frame.png")),
              0);
    TBitmap expected;
    MakeTransitionFrame(TTransitionStyle(style), old, picture, 4, 40, expected);
    const TBitmap written = ReadPngFile(Path("frame.png"));
    ASSERT_EQ(written.Width(), 64);
    ASSERT_EQ(written.Height(), 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(written.PixelAt(x, y) & 0xFFFFFF, expected.PixelAt(x, y) & 0xFFFFFF)
            << x << "," << y;
  }
}

TEST_F(TransitionCommandsTest, FrameWithASeedIsReproducible) {
  WriteBmpFile(Path("old.bmp"), Pattern(50, 40, 3), 24);
  WriteBmpFile(Path("new.bmp"), Pattern(50, 40, 4), 24);
  // Style 65 draws random jitter: the same seed must give the same pixels.
  for (const char* out : {"a.png", "b.png"})
    ASSERT_EQ(Run("frame --style 65 --progress 50 --seed 12345 " + Path("old.bmp") + " " +
                  Path("new.bmp") + " " + Path(out)),
              0);
  ASSERT_EQ(Run("frame --style 65 --progress 50 --seed 777 " + Path("old.bmp") + " " +
                Path("new.bmp") + " " + Path("c.png")),
            0);
  const TBitmap a = ReadPngFile(Path("a.png")), b = ReadPngFile(Path("b.png")),
                c = ReadPngFile(Path("c.png"));
  int differences = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      ASSERT_EQ(a.PixelAt(x, y), b.PixelAt(x, y));
      differences += a.PixelAt(x, y) != c.PixelAt(x, y);
    }
  EXPECT_GT(differences, 0) << "another seed tears the edge elsewhere";
}

TEST_F(TransitionCommandsTest, GalleryHasARowPerStyleAndAColumnPerProgress) {
  ASSERT_EQ(Run("gallery --size 40x30 --styles 5-7 " + Path("sheet.png")), 0);
  const TBitmap sheet = ReadPngFile(Path("sheet.png"));
  // A label column of 330, then five 40-wide cells with 8 between, and 8 at the end; a header
  // of 26, then three 30-high rows with 8 between, and 8 at the end.
  EXPECT_EQ(sheet.Width(), 330 + 5 * 48 + 8);
  EXPECT_EQ(sheet.Height(), 26 + 3 * 38 + 8);
}

TEST_F(TransitionCommandsTest, BadArgumentsAreUsageErrors) {
  WriteBmpFile(Path("p.bmp"), Pattern(4, 4, 5), 24);
  const std::string p = Path("p.bmp");
  EXPECT_EQ(Run("frame --style 3 " + p + " " + p + " " + Path("o.png")), 2);  // no progress
  EXPECT_EQ(Run("frame --style 151 --progress 5 " + p + " " + p + " " + Path("o.png")), 2);
  EXPECT_EQ(Run("frame --style 3 --progress 5 --colour red " + p + " " + p + " " + Path("o.png")),
            2);
  EXPECT_EQ(
      Run("frame --style 3 --progress 5 " + Path("missing.bmp") + " " + p + " " + Path("o.png")),
      1);
  EXPECT_EQ(Run("gallery --styles 0-3 " + Path("g.png")), 2);
  EXPECT_EQ(Run("gallery --size 0x9 " + Path("g.png")), 2);
  EXPECT_FALSE(fs::exists(Path("o.png")));
}

}  // namespace
}  // namespace kestrava
