// kestrava-saver end to end: a saver built by kestrava-build, played in its test mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "saver/SaverFileReader.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/JpegClaimedSize.h"
#include "tests/support/Sanitized.h"
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

  // limit: a shell ulimit's option and value, if any.
  test::TToolRun Play(const fs::path& saver, const std::string& arguments,
                      const std::string& limit = "") {
    return RunProgram("/bin/sh", "runtime-play", [&](const fs::path&) {
      const std::string limited = limit.empty() ? "" : "ulimit " + limit + " && ";
      return "-c \"" + limited + "SDL_AUDIODRIVER=dummy exec " + Quoted(saver) + " " + arguments +
             "\"";
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

// Four changed bytes in a stored picture's header once made the dump decode a picture of the
// claimed size (1.85 GB for 16384 x 16384); now the file is refused at the start by name, well
// within a memory limit far below that.
TEST_F(RuntimeEndToEnd, RefusesAStoredPictureOfAnotherSizeWithinLittleMemory) {
#ifdef KESTRAVA_SANITIZED
  const std::string kMemoryLimit;  // the refusal is still checked, without the limit
#else
  const std::string kMemoryLimit = "-v 1000000";
#endif
  const TBytes whole = ReadBytes(saver_);
  std::vector<TSaverBlock> pictures;
  const TSaverFileReader reader(saver_);
  for (const TSaverBlock& block : reader.Blocks())
    if (block.Kind == TBlockKind::Picture) pictures.push_back(block);
  ASSERT_EQ(pictures.size(), 2u);
  const struct {
    size_t picture;  // counted from 1, the damaged one
    int width, height;
    const char* size;
  } cases[] = {{1, 16384, 16384, " --size 96x64"},
               {2, 16384, 16384, ""},
               {1, 16384, 4096, ""},
               {2, 97, 64, " --size 640x480"}};
  for (const auto& c : cases) {
    const std::string name = "picture " + std::to_string(c.picture) + " claiming " +
                             std::to_string(c.width) + " x " + std::to_string(c.height) + c.size;
    SCOPED_TRACE(name);
    const TSaverBlock& block = pictures[c.picture - 1];
    const auto begin = whole.begin() + block.Offset;
    const TBytes claimed =
        test::WithClaimedSize(TBytes(begin, begin + block.Size), c.width, c.height);
    TBytes damaged = whole;
    std::copy(claimed.begin(), claimed.end(), damaged.begin() + block.Offset);
    WriteBytes(folder_ / "damaged.scr", damaged);
    fs::permissions(folder_ / "damaged.scr", fs::perms::owner_exec, fs::perm_options::add);
    const auto run = Play(
        folder_ / "damaged.scr",
        "--frames 5" + std::string(c.size) + " --dump " + Quoted(folder_ / "none"), kMemoryLimit);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_TRUE(run.err.starts_with("kestrava-saver: damaged saver: stored picture")) << run.err;
    const std::string claimedSize = std::to_string(c.width) + " x " + std::to_string(c.height);
    EXPECT_NE(run.err.find(claimedSize), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(folder_ / "none"));
  }
}

// A full disk (here a file size limit) is not a damaged saver: a status of its own and the
// frame's name with the system's reason; no part of the frame stays.
TEST_F(RuntimeEndToEnd, AFrameThatCannotBeWrittenHasItsOwnStatus) {
  const fs::path frames = folder_ / "frames";
  const auto run = Play(saver_, "--frames 3 --dump " + Quoted(frames), "-f 1");
  EXPECT_EQ(run.exitCode, 74) << run.err;
  const fs::path first = frames / "frame-00000.png";
  // The music library may have had its say about the broken MIDI file before.
  const std::string line =
      "kestrava-saver: cannot write " + first.string() + ": " + std::strerror(EFBIG) + "\n";
  EXPECT_TRUE(run.err.ends_with(line)) << run.err;
  EXPECT_EQ(run.err.find("kestrava-saver:"), run.err.rfind("kestrava-saver:")) << run.err;
  EXPECT_FALSE(fs::exists(first));
}

// A movie of one frame: its background colour and nothing else, 100 x 75 pixels.
TBytes OneColourMovie(uint8_t r, uint8_t g, uint8_t b) {
  // RECT 0..2000 x 0..1500 twips in 13-bit fields: nbits 13, then four values, padded.
  const TBytes rect = {0x68, 0x00, 0x1F, 0x40, 0x00, 0x05, 0xDC, 0x00};
  TBytes body = Cat({rect, TBytes{0x00, 0x0C, 0x01, 0x00},  // 12 fps, 1 frame
                     TBytes{0x43, 0x02, r, g, b},           // SetBackgroundColor
                     TBytes{0x40, 0x00},                    // ShowFrame
                     TBytes{0x00, 0x00}});                  // End
  const uint32_t length = uint32_t(8 + body.size());
  return Cat({Bytes("FWS"), TBytes{6, uint8_t(length), uint8_t(length >> 8), 0, 0}, body});
}

TEST(RuntimeMovies, AFlashSaverPlaysItsMoviesInStoredOrder) {
  TScratchFolder folder;
  const uint32_t colours[] = {0xC81E1E, 0x1EC81E, 0x1E1EC8};
  std::string list;
  for (int i = 0; i < 3; ++i) {
    const uint32_t c = colours[i];
    const fs::path movie = folder / ("m" + std::to_string(i) + ".swf");
    WriteBytes(movie, OneColourMovie(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)));
    list += "file" + std::to_string(i) + "=" + movie.string() + "\n";
  }
  std::ofstream(folder / "movies.kvp")
      << "[saverType]\ntype=fla\n[dataFiles]\nfilenum=3\n"
      << list << "[myOptions]\nquitMode=2\n[myBuild]\nOutPath=" << folder.Path().string()
      << "/\nOutFileName=Movies\nOutType=0\n";
  const auto build = RunProgram(KESTRAVA_BUILD_PATH, "movies-build", [&](const fs::path&) {
    return Quoted(folder / "movies.kvp") + " --quiet --screen 160x120";
  });
  ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
  const fs::path frames = folder / "frames";
  const auto run = RunProgram("/usr/bin/env", "movies-play", [&](const fs::path&) {
    return "SDL_AUDIODRIVER=dummy " + Quoted(folder / "Movies.scr") +
           " --frames 440 --size 160x120 --dump " + Quoted(frames);
  });
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto centre = [&](int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", n);
    return ReadPngFile(frames / name).PixelAt(80, 60) & 0xFFFFFF;
  };
  // A movie of one frame stays five seconds (125 frames of 40 ms), then the next; round again.
  EXPECT_EQ(centre(0), colours[0]);
  EXPECT_EQ(centre(60), colours[0]);
  EXPECT_EQ(centre(190), colours[1]);
  EXPECT_EQ(centre(310), colours[2]);
  EXPECT_EQ(centre(435), colours[0]);
}

}  // namespace
}  // namespace kestrava
