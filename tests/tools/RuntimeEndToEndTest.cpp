// kestrava-saver end to end: a saver built by kestrava-build, played in its test mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "saver/SaverFileReader.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/tools/ToolRun.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using savertest::Bytes;
using savertest::Cat;
using savertest::ReadBytes;
using savertest::TBytes;
using savertest::WriteBytes;
using test::Quoted;
using test::RunProgram;
using test::TScratchFolder;

const fs::path kPictures = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare";

// A WAV of a tenth of a second of silence.
TBytes SilentWav() {
  const uint32_t samples = 4410;
  const auto le32 = [](uint32_t v) {
    return TBytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  };
  return Cat({Bytes("RIFF"), le32(36 + samples * 2), Bytes("WAVEfmt "), le32(16),
              TBytes{1, 0, 1, 0}, le32(44100), le32(88200), TBytes{2, 0, 16, 0}, Bytes("data"),
              le32(samples * 2), TBytes(samples * 2, 0)});
}

::testing::AssertionResult SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return ::testing::AssertionFailure() << "sizes " << a.Width() << "x" << a.Height() << " and "
                                         << b.Width() << "x" << b.Height();
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.PixelAt(x, y) & 0xFFFFFF) != (b.PixelAt(x, y) & 0xFFFFFF))
        return ::testing::AssertionFailure()
               << "first difference at " << x << "," << y << ": " << std::hex << a.PixelAt(x, y)
               << " and " << b.PixelAt(x, y);
  return ::testing::AssertionSuccess();
}

class RuntimeEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(folder_ / "quiet.wav", SilentWav());
    WriteBytes(folder_ / "broken.mid", Bytes("not a midi file"));
    std::ofstream(folder_ / "show.kvp")
        << "[saverType]\ntype=pic\n[dataFiles]\nfilenum=2\nfile0="
        << (kPictures / "sequential.jpg").string()
        << "\nfile1=" << (kPictures / "picture-24bit.bmp").string()
        << "\n[musicFiles]\nmusicnum=2\nmusic0=" << (folder_ / "broken.mid").string()
        << "\nmusic1=" << (folder_ / "quiet.wav").string()
        << "\n[myOptions]\nquitMode=0\nDelayTime=1\n[myBuild]\nOutPath=" << folder_.Path().string()
        << "/\nOutFileName=Show\nOutType=0\n";
    const auto build = RunProgram(KESTRAVA_BUILD_PATH, "runtime-build", [&](const fs::path&) {
      return Quoted(folder_ / "show.kvp") + " --quiet --effects 52 --screen 96x64";
    });
    ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
  }

  test::TToolRun Play(const fs::path& saver, const std::string& arguments) {
    return RunProgram("/usr/bin/env", "runtime-play", [&](const fs::path&) {
      return "SDL_AUDIODRIVER=dummy " + Quoted(saver) + " " + arguments;
    });
  }

  TScratchFolder folder_;
  fs::path saver_ = folder_ / "Show.scr";
};

TEST_F(RuntimeEndToEnd, ShowsThePicturesWithATransitionBetween) {
  const fs::path frames = folder_ / "frames";
  const auto run = Play(saver_, "--frames 51 --dump " + Quoted(frames));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const TSaverFileReader saver(saver_);
  std::vector<TBitmap> stored;
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Picture)
      stored.push_back(DecodeJpeg(saver.ReadBlock(block)).Bitmap);
  ASSERT_EQ(stored.size(), 2u);
  const auto frame = [&](int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", n);
    return ReadPngFile(frames / name);
  };
  // One second on show (25 frames), 25 frames of transition, then the second picture.
  EXPECT_TRUE(SamePixels(frame(0), stored[0]));
  EXPECT_TRUE(SamePixels(frame(24), stored[0]));
  const TBitmap middle = frame(37);
  EXPECT_FALSE(SamePixels(middle, stored[0]));
  EXPECT_FALSE(SamePixels(middle, stored[1]));
  EXPECT_TRUE(SamePixels(frame(49), stored[1]));
  EXPECT_TRUE(SamePixels(frame(50), stored[1]));
}

// A damaged file, or the runtime with no payload at all, ends at once with one line.
TEST_F(RuntimeEndToEnd, RefusesADamagedPayload) {
  const TBytes whole = ReadBytes(saver_);
  TBytes truncated(whole.begin(), whole.end() - 700);
  TBytes corrupted = whole;
  corrupted[corrupted.size() - 600] = 0x42;  // the kind byte
  WriteBytes(folder_ / "truncated.scr", truncated);
  WriteBytes(folder_ / "corrupted.scr", corrupted);
  fs::permissions(folder_ / "truncated.scr", fs::perms::owner_exec, fs::perm_options::add);
  fs::permissions(folder_ / "corrupted.scr", fs::perms::owner_exec, fs::perm_options::add);
  for (const fs::path& bad :
       {folder_ / "truncated.scr", folder_ / "corrupted.scr", fs::path(KESTRAVA_SAVER_PATH)}) {
    SCOPED_TRACE(bad.string());
    const auto run = Play(bad, "--frames 1 --dump " + Quoted(folder_ / "none"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.starts_with("kestrava-saver: ")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(folder_ / "none"));
  }
}

}  // namespace
}  // namespace kestrava
