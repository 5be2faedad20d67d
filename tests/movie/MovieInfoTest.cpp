#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "movie/MovieInfo.h"

namespace kestrava {
namespace {

// The fuzz target's seeds: one header stored three ways, and damaged ones (make_seeds.py).
const std::filesystem::path kMovies =
    std::filesystem::path(KESTRAVA_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "inputs" / "swfheader";

TEST(MovieInfo, ReadsTheHeaderOfEveryKind) {
  for (const char* name : {"plain.swf", "zlib.swf", "lzma.swf"}) {
    SCOPED_TRACE(name);
    const TMovieInfo info = ReadMovieInfo(ReadFileBytes(kMovies / name));
    EXPECT_EQ(info.WidthPixels(), 550);
    EXPECT_EQ(info.HeightPixels(), 400);
    EXPECT_EQ(info.FrameCount, 42);
    EXPECT_EQ(info.FrameRate, 24 << 8);
  }
  EXPECT_EQ(ReadMovieInfo(ReadFileBytes(kMovies / "zlib.swf")).Compression,
            TMovieCompression::Zlib);
  EXPECT_EQ(ReadMovieInfo(ReadFileBytes(kMovies / "lzma.swf")).Version, 13);
}

TEST(MovieInfo, RefusesWhatIsNoHeader) {
  const auto bytes = [](std::string text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  struct Case {
    std::vector<uint8_t> movie;
    const char* message;
  };
  const Case cases[] = {
      {{}, "not a movie: too short"},
      {bytes("FWS\x06\x10\0\0"), "not a movie: too short"},
      {bytes(std::string("XWS\x06\x10\0\0\0", 8) + "abc"), "not a movie: no SWF signature"},
      {ReadFileBytes(kMovies / "short.swf"), "the movie header ends early"},
      // A rectangle of 31-bit fields with nothing behind it.
      {bytes(std::string("FWS\x06\x10\0\0\0\xF8", 9)), "the movie header ends early"},
      {ReadFileBytes(kMovies / "badzlib.swf"), "the zlib-compressed movie is damaged"},
      {bytes(std::string("ZWS\x0d\x10\0\0\0\x01\0\0", 11)), "the LZMA-compressed movie is too short"},
  };
  for (const Case& c : cases) {
    try {
      ReadMovieInfo(c.movie);
      ADD_FAILURE() << "read: " << c.message;
    } catch (const EMovieInfoError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace kestrava
