// The saver file reader: blocks found from the trailer, hostile trailers refused with a message
// that says what is wrong, and reading from a file without loading it whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "saver/SaverFileReader.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using namespace savertest;
using test::TScratchFolder;

// Runtime "RUNT", music of 3 (MIDI) and 5 (WAV) bytes, pictures of 7 and 11 bytes: blocks at
// 4, 7, 12 and 19, the trailer at 30.
TBytes PicturesFile() {
  TSaverTrailer t;
  t.QuitMode = 2;
  t.IntervalSeconds = 8;
  t.EffectFlags = EffectFlags(std::vector<int>{1, 99});
  t.MusicSizes = {3, 5};
  t.MusicTypes = {0x30, 0x32};
  t.SourceSizes = {7, 11};
  const auto trailer = LayOutTrailer(t);
  return Cat({Bytes("RUNT"), Bytes("mu0"), Bytes("music"), Bytes("picture"), Bytes("picture one"),
              TBytes(trailer.begin(), trailer.end())});
}

// Runtime "RUNT", movies of 6 and 9 bytes at 4 and 10, the trailer at 19.
TBytes FlashFile() {
  TSaverTrailer t;
  t.Kind = TSaverKind::Flash;
  t.QuitMode = 3;
  t.SourceSizes = {6, 9};
  const auto trailer = LayOutTrailer(t);
  return Cat(
      {Bytes("RUNT"), Bytes("movie0"), Bytes("movie one"), TBytes(trailer.begin(), trailer.end())});
}

// Overwrites bytes of the trailer, at an offset from its start.
void Put(TBytes& file, size_t offset, const TBytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), file.end() - std::ptrdiff_t(kTrailerSize - offset));
}

TEST(SaverFileReader, FindsTheBlocksFromTheEnd) {
  using B = TSaverBlock;
  using K = TBlockKind;
  const struct {
    const char* Name;
    TBytes File;
    std::vector<TSaverBlock> Blocks;
    int64_t RuntimeSize;
  } cases[] = {
      {"pictures with music",
       PicturesFile(),
       {B{K::Music, 4, 3, 0x30}, B{K::Music, 7, 5, 0x32}, B{K::Picture, 12, 7, 0},
        B{K::Picture, 19, 11, 0}},
       4},
      {"Flash", FlashFile(), {B{K::Movie, 4, 6, 0}, B{K::Movie, 10, 9, 0}}, 4},
      {"blocks taking the whole file before the trailer",
       [] {
         TBytes f = PicturesFile();
         Put(f, 204, Le32(15));
         return f;
       }(),
       {B{K::Music, 0, 3, 0x30}, B{K::Music, 3, 5, 0x32}, B{K::Picture, 8, 7, 0},
        B{K::Picture, 15, 15, 0}},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TSaverFileReader reader(c.File);
    EXPECT_EQ(reader.Blocks(), c.Blocks);
    EXPECT_EQ(reader.Runtime(), (B{K::Runtime, 0, c.RuntimeSize, 0}));
    EXPECT_EQ(reader.Layout().FileSize, int64_t(c.File.size()));
  }

  const TBytes picturesFile = PicturesFile();
  const TSaverFileReader pictures(picturesFile);
  const TSaverTrailer& t = pictures.Trailer();
  EXPECT_EQ(t.Kind, TSaverKind::Pictures);
  EXPECT_EQ(t.QuitMode, 2);
  EXPECT_EQ(t.IntervalSeconds, 8);
  EXPECT_EQ(t.EffectFlags, EffectFlags(std::vector<int>{1, 99}));
  EXPECT_EQ(t.MusicTypes, (TBytes{0x30, 0x32}));
  EXPECT_EQ(pictures.ReadBlock(pictures.Blocks()[3]), Bytes("picture one"));
  EXPECT_EQ(pictures.ReadBlock(pictures.Runtime()), Bytes("RUNT"));

  const TBytes flashFile = FlashFile();
  const TSaverFileReader flash(flashFile);
  EXPECT_EQ(flash.Trailer().Kind, TSaverKind::Flash);
  EXPECT_EQ(flash.Trailer().QuitMode, 3);
  EXPECT_EQ(flash.Trailer().IntervalSeconds, 0);
  EXPECT_EQ(flash.Trailer().EffectFlags, TEffectFlags{});
  EXPECT_EQ(flash.ReadBlock(flash.Blocks()[1]), Bytes("movie one"));
}

TEST(SaverFileReader, RefusesWhatNoWriterMakes) {
  using TEdit = std::function<void(TBytes&)>;
  const auto put = [](size_t offset, TBytes bytes) -> TEdit {
    return [=](TBytes& f) { Put(f, offset, bytes); };
  };
  const auto both = [](TEdit a, TEdit b) -> TEdit {
    return [=](TBytes& f) {
      a(f);
      b(f);
    };
  };
  const struct {
    const char* Name;
    bool Flash;
    TEdit Edit;
    std::string Message;  // after "not a saver file: "
  } cases[] = {
      {"599 bytes", false, [](TBytes& f) { f.assign(599, 0x0E); },
       "the file has 599 bytes, fewer than the 600 of the trailer"},
      {"no bytes", false, [](TBytes& f) { f.clear(); },
       "the file has 0 bytes, fewer than the 600 of the trailer"},
      {"600 zero bytes", false, [](TBytes& f) { f.assign(600, 0); },
       "the kind byte 0x00 is neither 0x0E nor 0x0F"},
      {"kind byte 0x10", false, put(0, {0x10}), "the kind byte 0x10 is neither 0x0E nor 0x0F"},
      {"music byte 0x0B", false, put(1, {0x0B}), "the music byte 0x0B is neither 0x0E nor 0x0A"},
      {"Flash with music", false, put(0, {0x0F}),
       "a Flash saver stores no music, but its music byte is 0x0E"},
      {"no source", false, put(2, Le32(0)), "the source count 0 is not within 1..100"},
      {"negative source count", false, put(2, Le32(-1)),
       "the source count -1 is not within 1..100"},
      {"101 movies", true, put(2, Le32(101)), "the source count 101 is not within 1..100"},
      {"music byte without music", false, put(6, Le32(0)), "the music count 0 is not within 1..58"},
      {"59 music files", false, put(6, Le32(59)), "the music count 59 is not within 1..58"},
      {"negative music count", false, put(6, Le32(-2)), "the music count -2 is not within 1..58"},
      {"101 entries", false, both(put(2, Le32(43)), put(6, Le32(58))),
       "43 sources and 58 music files pass the 100 entries of the size table"},
      {"quit mode 0", false, put(10, Le32(0)), "the quit mode 0 is not within 1..5"},
      {"quit mode 6", true, put(10, Le32(6)), "the quit mode 6 is not within 1..5"},
      {"quit mode -1", false, put(10, Le32(-1)), "the quit mode -1 is not within 1..5"},
      {"pictures flag byte", false, put(20, {0xFE}),
       "the byte at trailer offset 20 is 0xFE, not 0xFF"},
      {"Flash flag byte", true, put(14, {0x00}), "the byte at trailer offset 14 is 0x00, not 0xFF"},
      {"music type code", false, put(15, {0x33}),
       "the type code 0x33 of music 1 is not 0x30, 0x31 or 0x32"},
      {"picture of no bytes", false, put(204, Le32(0)), "the size 0 of picture 1 is not positive"},
      {"music of negative size", false, put(208, Le32(-5)),
       "the size -5 of music 0 is not positive"},
      {"movie of no bytes", true, put(200, Le32(0)), "the size 0 of movie 0 is not positive"},
      {"sizes one byte past the file", false, put(204, Le32(16)),
       "the blocks take 31 bytes, more than the 30 before the trailer"},
      {"sizes past 32 bits", false, both(put(200, Le32(INT32_MAX)), put(204, Le32(INT32_MAX))),
       "the blocks take 4294967302 bytes, more than the 30 before the trailer"},
      {"Flash sizes past the file", true, put(200, Le32(11)),
       "the blocks take 20 bytes, more than the 19 before the trailer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TBytes file = c.Flash ? FlashFile() : PicturesFile();
    c.Edit(file);
    try {
      const TSaverFileReader reader(file);
      ADD_FAILURE() << "accepted";
    } catch (const ESaverFileError& e) {
      EXPECT_EQ(std::string(e.what()), "not a saver file: " + c.Message);
    }
  }
}

TEST(SaverFileReader, ReadsAFileWithoutLoadingItWhole) {
  const TScratchFolder folder;
  const fs::path path = folder / "big.scr";
  // A block of several reading pieces.
  const TBytes movie = Noise(3 * 65536 + 11, 7);
  TSaverTrailer t;
  t.Kind = TSaverKind::Flash;
  t.SourceSizes = {int32_t(movie.size()), 3};
  const auto trailer = LayOutTrailer(t);
  const TBytes bytes =
      Cat({Bytes("RUNTIME"), movie, Bytes("end"), TBytes(trailer.begin(), trailer.end())});
  WriteBytes(path, bytes);

  const TSaverFileReader fromFile(path);
  const TSaverFileReader fromBytes(bytes);
  ASSERT_EQ(fromFile.Blocks(), fromBytes.Blocks());
  EXPECT_EQ(fromFile.Trailer(), fromBytes.Trailer());
  EXPECT_EQ(fromFile.ReadBlock(fromFile.Blocks()[0]), movie);
  EXPECT_EQ(fromFile.ReadBlock(fromFile.Blocks()[1]), Bytes("end"));
  EXPECT_EQ(fromFile.ReadBlock(fromFile.Runtime()), Bytes("RUNTIME"));
  TBytes pieces;
  size_t count = 0;
  fromFile.ReadBlockInPieces(fromFile.Blocks()[0], [&](std::span<const uint8_t> piece) {
    EXPECT_LE(piece.size(), 65536u);
    pieces.insert(pieces.end(), piece.begin(), piece.end());
    ++count;
  });
  EXPECT_EQ(pieces, movie);
  EXPECT_EQ(count, 4u);
  // Any range inside the file reads; one reaching outside does not.
  EXPECT_EQ(fromFile.ReadBlock({TBlockKind::Runtime, 3, 4, 0}), Bytes("TIME"));
  const int64_t size = int64_t(bytes.size());
  for (const TSaverBlock& outside :
       {TSaverBlock{TBlockKind::Movie, size - 5, 6, 0}, TSaverBlock{TBlockKind::Movie, -1, 2, 0},
        TSaverBlock{TBlockKind::Movie, 2, -1, 0}, TSaverBlock{TBlockKind::Movie, size + 1, 0, 0}}) {
    EXPECT_THROW(fromFile.ReadBlock(outside), std::out_of_range);
    EXPECT_THROW(fromBytes.ReadBlock(outside), std::out_of_range);
  }

  // The file shrinking under an open reader is an error, not a short block.
  fs::resize_file(path, 100);
  try {
    fromFile.ReadBlock(fromFile.Blocks()[1]);
    ADD_FAILURE() << "read past the end";
  } catch (const ESaverFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read file " + path.string() + ": it ended early");
  }
}

TEST(SaverFileReader, OpeningSaysWhatIsWrong) {
  const TScratchFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  fs::create_directory(folder / "dir");
  WriteBytes(folder / "short", Bytes("tiny"));
  const struct {
    std::string Name;
    std::string Message;  // "@" stands for the path
  } cases[] = {
      {"missing", "Cannot open file @: No such file or directory"},
      {"dir", "not a saver file: @ is not a regular file"},
      {"fifo", "not a saver file: @ is not a regular file"},
      {"short", "not a saver file: the file has 4 bytes, fewer than the 600 of the trailer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path path = folder / c.Name;
    std::string message = c.Message;
    if (const size_t at = message.find('@'); at != std::string::npos)
      message.replace(at, 1, path.string());
    try {
      const TSaverFileReader reader(path);
      ADD_FAILURE() << "opened";
    } catch (const ESaverFileError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
    EXPECT_EQ(OpenDescriptorsOf(path), 0);
  }
}

// The fuzzer's seeds come from an independent writer (a script beside them).
TEST(SaverFileReader, ReadsTheFuzzSeeds) {
  const fs::path seeds = fs::path(KESTRAVA_TEST_DATA_DIR) / "../../fuzz/inputs/saver";
  if (!fs::exists(seeds)) GTEST_SKIP() << "no seeds at " << seeds;
  int valid = 0;
  for (const auto& entry : fs::directory_iterator(seeds)) {
    const fs::path& path = entry.path();
    SCOPED_TRACE(path.filename().string());
    if (path.extension() == ".saver") {
      const TSaverFileReader reader(path);
      int64_t end = reader.Runtime().Size;
      for (const TSaverBlock& block : reader.Blocks()) {
        EXPECT_EQ(block.Offset, end);
        EXPECT_EQ(int64_t(reader.ReadBlock(block).size()), block.Size);
        end += block.Size;
      }
      EXPECT_EQ(end + int64_t(kTrailerSize), reader.Layout().FileSize);
      ++valid;
    } else if (path.extension() == ".bad") {
      EXPECT_THROW(TSaverFileReader{path}, ESaverFileError);
    }
  }
  EXPECT_GE(valid, 4);
}

}  // namespace
}  // namespace kestrava
