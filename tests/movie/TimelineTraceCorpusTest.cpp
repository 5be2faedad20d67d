// The timeline traces of the test corpus whose scripting stays within timeline control (gotos,
// stop and play, trace, variables): the movie runs for as many frames as the test asks, and
// what it traced must equal the recorded output line for line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "movie/MovieTimeline.h"

namespace kestrava {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(KESTRAVA_SHARED_DIR) / "corpus" / "swf";

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Play(const std::filesystem::path& movie, int advances) {
  TMovieTimeline timeline(TSwfMovie::LoadFile(movie));
  std::vector<std::string> traced = timeline.TakeTrace();
  for (int i = 0; i < advances; ++i) {
    timeline.Advance();
    for (std::string& line : timeline.TakeTrace())
      traced.push_back(std::move(line));
  }
  return traced;
}

// The swfdec trace tests show the first frame and then advance ten frames.
class SwfdecTrace : public testing::TestWithParam<const char*> {};

TEST_P(SwfdecTrace, MatchesTheRecordedTrace) {
  const std::filesystem::path movie = kCorpus / "swfdec" / "trace" / GetParam();
  std::filesystem::path expected = movie;
  expected += ".trace";
  EXPECT_EQ(Play(movie, 10), ReadLines(expected));
}

INSTANTIATE_TEST_SUITE_P(Corpus, SwfdecTrace,
                         testing::Values("gotoframe.swf", "gotolabel.swf", "gotolabel-multiple.swf",
                                         "nextframe-stop.swf", "previousframe-stop.swf",
                                         "goto2.swf", "goto3.swf", "goto4.swf", "goto5.swf",
                                         "totalframes.swf", "waitforframe-huge-4.swf",
                                         "crash-0.7.1-uncompressed-half-samples-5.swf",
                                         "crash-0.7.1-uncompressed-half-samples-6.swf",
                                         "crash-0.7.1-uncompressed-half-samples-7.swf",
                                         "crash-0.7.1-uncompressed-half-samples-8.swf"),
                         [](const testing::TestParamInfo<const char*>& test) {
                           std::string name;
                           for (const char* c = test.param; *c && std::string_view(c) != ".swf";
                                ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

// The other corpus runs a number of frames (the first included) given in test.toml. Its output
// also holds the player's own warnings ("Warning: ..."), which are no trace output.
struct TRuffleCase {
  const char* Folder;
  int Frames;
};

class RuffleTrace : public testing::TestWithParam<TRuffleCase> {};

TEST_P(RuffleTrace, MatchesTheRecordedOutput) {
  const std::filesystem::path folder = kCorpus / "ruffle" / GetParam().Folder;
  std::vector<std::string> expected;
  for (std::string& line : ReadLines(folder / "output.txt"))
    if (!line.starts_with("Warning: ")) expected.push_back(std::move(line));
  EXPECT_EQ(Play(folder / "test.swf", GetParam().Frames - 1), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, RuffleTrace,
    testing::Values(
        TRuffleCase{"avm1/goto_advance1", 2}, TRuffleCase{"avm1/goto_advance2", 2},
        TRuffleCase{"avm1/goto_both_ways1", 2}, TRuffleCase{"avm1/goto_both_ways2", 3},
        TRuffleCase{"avm1/goto_execution_order", 3}, TRuffleCase{"avm1/goto_execution_order2", 2},
        TRuffleCase{"avm1/goto_frame_number", 4}, TRuffleCase{"avm1/goto_rewind1", 4},
        TRuffleCase{"avm1/goto_rewind2", 5}, TRuffleCase{"avm1/goto_rewind3", 2},
        TRuffleCase{"avm1/looping", 6}, TRuffleCase{"avm1/looping_real_1_declared_1", 5},
        TRuffleCase{"avm1/looping_real_1_declared_2", 5},
        TRuffleCase{"avm1/looping_real_2_declared_1", 5},
        TRuffleCase{"avm1/looping_real_2_declared_2", 5},
        TRuffleCase{"avm1/placeobject_occupied_depth", 4}, TRuffleCase{"avm1/single_frame", 2},
        TRuffleCase{"avm1/waitforframe", 1}, TRuffleCase{"avm1/waitforframe2", 1}),
    [](const testing::TestParamInfo<TRuffleCase>& test) {
      std::string name;
      for (const char* c = test.param.Folder + 5; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

}  // namespace
}  // namespace kestrava
