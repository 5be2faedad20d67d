#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/Png.h"
#include "tests/imaging/GifTestSupport.h"
#include "tests/tools/ToolRun.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using namespace giftest;

const fs::path kSuite = fs::path(KESTRAVA_SHARED_DIR) / "corpus/gif/pygif-test-suite";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GifFramesCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrava-gif-frames-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args) {
    const std::string command =
        Quoted(KESTRAVA_TOOL_PATH) + " gif-frames " + args + " 2>" + Quoted(dir_ / "stderr.txt");
    const int status = std::system(command.c_str());
    stderr_ = ReadText(dir_ / "stderr.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::vector<TPixel> Row(const fs::path& png) {
    const TBitmap b = ReadPngFile(png);
    std::vector<TPixel> row;
    for (int x = 0; x < b.Width(); ++x)
      row.push_back(b.PixelAt(x, 0) & 0xFFFFFF);
    return row;
  }

  fs::path dir_;
  std::string stderr_;
};

TEST_F(GifFramesCommandTest, WritesEachComposedFrameAndItsDelay) {
  // Red over the whole 3 x 1 screen, kept; green at x = 1, its area given back to what was there
  // before the animation (black) once shown; blue at x = 2 without a delay of its own.
  const TBytes gif =
      Cat({Screen(3, 1, {kRed, kGreen, kBlue, kWhite}), LoopExtension(0), GraphicControl(1, 5),
           Image(0, 0, 3, 1, {0, 0, 0}), GraphicControl(2, 7), Image(1, 0, 1, 1, {1}),
           Image(2, 0, 1, 1, {2}), Comment("the end"), Trailer()});
  WriteFileBytes(dir_ / "in.gif", gif);
  const fs::path out = dir_ / "frames";
  ASSERT_EQ(Run(Quoted(dir_ / "in.gif") + " " + Quoted(out)), 0) << stderr_;
  EXPECT_EQ(stderr_, "");
  EXPECT_EQ(Row(out / "frame-000.png"), std::vector<TPixel>({kRed, kRed, kRed}));
  EXPECT_EQ(Row(out / "frame-001.png"), std::vector<TPixel>({kRed, kGreen, kRed}));
  EXPECT_EQ(Row(out / "frame-002.png"), std::vector<TPixel>({kRed, kBlack, kBlue}));
  EXPECT_FALSE(fs::exists(out / "frame-003.png"));
  EXPECT_EQ(ReadText(out / "delays.txt"), "60\n84\n120\n");
}

TEST_F(GifFramesCommandTest, FramesMatchTheTestSuiteOverBlack) {
  if (!fs::exists(kSuite)) GTEST_SKIP() << "no test suite at " << kSuite;
  // The suite's transparent background is our black one.
  const struct {
    const char* Name;
    const char* Expected;  // the suite's canvases: <Expected>.<frame>.rgba
  } cases[] = {
      {"dispose-none", "animation-fill"},
      {"dispose-keep", "animation-fill"},
      {"dispose-restore-background", "animation-erase"},
  };
  for (const auto& c : cases) {
    const std::string name = c.Name;
    SCOPED_TRACE(name);
    const fs::path out = dir_ / name;
    ASSERT_EQ(Run(Quoted(kSuite / (name + ".gif")) + " " + Quoted(out)), 0) << stderr_;
    EXPECT_EQ(ReadText(out / "delays.txt"), "600\n600\n600\n600\n");
    for (int i = 0; i < 4; ++i) {
      const TBitmap png = ReadPngFile(out / ("frame-00" + std::to_string(i) + ".png"));
      const std::string rgba =
          ReadText(kSuite / (c.Expected + ("." + std::to_string(i)) + ".rgba"));
      ASSERT_EQ(rgba.size(), 16u);
      for (int p = 0; p < 4; ++p) {
        const auto* e = reinterpret_cast<const uint8_t*>(rgba.data()) + p * 4;
        const TPixel expected = e[3] ? TPixel(e[0]) << 16 | TPixel(e[1]) << 8 | e[2] : 0;
        EXPECT_EQ(png.PixelAt(p % 2, p / 2) & 0xFFFFFF, expected) << "frame " << i;
      }
    }
  }
}

TEST_F(GifFramesCommandTest, WarningsGoToStderr) {
  const TBytes gif =
      Cat({Screen(1, 1, {kRed, kGreen}), {0x21, 0x2A, 1, 0x3B, 0}, Image(0, 0, 1, 1, {1}), {0x99}});
  WriteFileBytes(dir_ / "in.gif", gif);
  const fs::path out = dir_ / "frames";
  ASSERT_EQ(Run(Quoted(dir_ / "in.gif") + " " + Quoted(out)), 0) << stderr_;
  EXPECT_EQ(stderr_,
            "kestrava-tool: warning: Unknown extension type 0x2A skipped\n"
            "kestrava-tool: warning: Unknown GIF block type\n"
            "kestrava-tool: warning: Invalid Image trailer\n");
  EXPECT_EQ(Row(out / "frame-000.png"), std::vector<TPixel>({kGreen}));
}

TEST_F(GifFramesCommandTest, FailureSaysWhy) {
  WriteFileBytes(dir_ / "bad.gif", Text("GIF89a\x01"));
  const struct {
    std::string Args;
    int ExitCode;
    std::string Stderr;
  } cases[] = {
      {Quoted(dir_ / "missing.gif") + " " + Quoted(dir_ / "out"), 1,
       "kestrava-tool: Cannot open file "},
      {Quoted(dir_ / "bad.gif") + " " + Quoted(dir_ / "out"), 1,
       "kestrava-tool: Premature end of data\n"},
      {"", 2, "usage: kestrava-tool gif-frames IN OUTDIR\n"},
      {Quoted(dir_ / "bad.gif"), 2, "usage: kestrava-tool gif-frames IN OUTDIR\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    EXPECT_EQ(Run(c.Args), c.ExitCode);
    EXPECT_EQ(stderr_.substr(0, c.Stderr.size()), c.Stderr);
    EXPECT_FALSE(fs::exists(dir_ / "out" / "delays.txt"));
  }
}

}  // namespace
}  // namespace kestrava
