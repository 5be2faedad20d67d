// kestrava-tool swf-info and swf-frame on a movie of the shared corpus.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/Png.h"
#include "tests/support/ScratchFolder.h"
#include "tests/tools/ToolRun.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::RunTool;

// Two frames: a green and a blue rectangle on white, both placed by PlaceObject2.
const fs::path kMovie =
    fs::path(KESTRAVA_SHARED_DIR) / "corpus" / "swf" / "swfdec" / "image" / "clip-change-backward-5.swf";

TEST(SwfCommands, InfoTellsHeaderFramesAndTags) {
  if (!fs::exists(kMovie)) GTEST_SKIP() << "no shared corpus";
  const auto run = RunTool("swf-info", [](const fs::path&) { return "swf-info " + Quoted(kMovie); });
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("FWS (uncompressed), version 5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("frame: 200 x 150 px"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("frames: 2 (the header says 2)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("DefineShape3"), std::string::npos) << run.out;
}

TEST(SwfCommands, FrameDrawsThePictureAfterTheAdvancesAtAnySize) {
  if (!fs::exists(kMovie)) GTEST_SKIP() << "no shared corpus";
  const test::TScratchFolder folder;
  const auto run = RunTool("swf-frame", [&](const fs::path&) {
    return "swf-frame " + Quoted(kMovie) + " 10 " + Quoted(folder / "own.png") + " && '" +
           std::string(KESTRAVA_TOOL_PATH) + "' swf-frame " + Quoted(kMovie) + " 10 " +
           Quoted(folder / "wide.png") + " --size 400x150";
  });
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const TBitmap own = ReadPngFile(folder / "own.png");
  const TBitmap expected = ReadPngFile(kMovie.string() + ".png");
  ASSERT_EQ(own.Width(), 200);
  ASSERT_EQ(own.Height(), 150);
  int far = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) {
      const uint32_t a = own.PixelAt(x, y), b = expected.PixelAt(x, y);
      for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > 3) {
          ++far;
          break;
        }
    }
  EXPECT_LE(far, 200 * 150 / 100);
  // Letterboxed: the movie in the middle 200 columns, the white background on both sides.
  const TBitmap wide = ReadPngFile(folder / "wide.png");
  ASSERT_EQ(wide.Width(), 400);
  EXPECT_EQ(wide.PixelAt(5, 20) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(wide.PixelAt(100 + 25, 75) & 0xFFFFFF, own.PixelAt(25, 75) & 0xFFFFFF);
}

TEST(SwfCommands, BadArgumentsAndBadFilesFail) {
  const auto usage = RunTool("swf-frame-usage", [](const fs::path&) { return "swf-frame only-one"; });
  EXPECT_EQ(usage.exitCode, 2);
  const auto missing = RunTool("swf-info-missing", [](const fs::path& dir) {
    return "swf-info " + Quoted(dir / "none.swf");
  });
  EXPECT_EQ(missing.exitCode, 1);
  const auto notMovie = RunTool("swf-frame-text", [](const fs::path& dir) {
    return "swf-frame " + Quoted(dir / "in") + " 1 " + Quoted(dir / "out.png");
  }, "this is a text file, not a movie");
  EXPECT_EQ(notMovie.exitCode, 1);
  EXPECT_NE(notMovie.err.find("kestrava-tool: "), std::string::npos);
}

}  // namespace
}  // namespace kestrava
