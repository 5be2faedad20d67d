#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "tests/tools/ToolRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using TRun = kestrava::test::TToolRun;
using kestrava::test::ReadText;

// Runs the built tool's region command with the given standard input.
TRun RunRegion(const std::string& input) {
  return kestrava::test::RunTool(
      "region-command", [](const fs::path&) { return std::string("region"); }, input);
}

// The recorded answers: each "> command" line is followed by what the platform printed.
TEST(RegionCommand, ReplaysTheRecordedPlatformAnswers) {
  const fs::path file = fs::path(KESTRAVA_SHARED_DIR) / "reference" / "gdi-regions.txt";
  if (!fs::exists(file)) GTEST_SKIP() << file << " is not there";
  std::istringstream lines(ReadText(file));
  std::string commands, bare, answers;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("> ")) {
      commands += line + '\n';
      bare += line.substr(2) + '\n';
    } else if (!line.starts_with('#')) {
      answers += line + '\n';
    }
  }
  ASSERT_FALSE(answers.empty());
  for (const std::string& input : {commands, bare}) {
    const TRun run = RunRegion(input);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, answers);
  }
}

TEST(RegionCommand, CommentsAndBlankLinesAreSkipped) {
  const TRun run = RunRegion("# a comment\n\n  \r\n> rect 0 0 2 1\r\n  canon  \n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "canon\n  0 1 : 0 2\nend bands=1\n");
}

TEST(RegionCommand, BadLinesStopWithTheirLineNumber) {
  struct Case {
    const char* name;
    const char* input;
    const char* message;
  };
  const Case cases[] = {
      {"unknown command", "rect 0 0 1 1\nrects 0 0 1 1\n",
       "kestrava-tool region: line 2: unknown command 'rects'\n"},
      {"not a number", "# c\n\nrect 0 0 1x 1\n",
       "kestrava-tool region: line 3: not a number: '1x'\n"},
      {"number out of range", "rect 0 0 1 99999999999\n",
       "kestrava-tool region: line 1: not a number: '99999999999'\n"},
      {"too few numbers", "roundrect 0 0 5 5 2\n",
       "kestrava-tool region: line 1: usage: roundrect L T R B EW EH\n"},
      {"polygon count too high", "polygon 3 0 0 1 1\n",
       "kestrava-tool region: line 1: usage: polygon N x1 y1 ... xN yN\n"},
      {"polygon count negative", "polygon_alt -1\n",
       "kestrava-tool region: line 1: usage: polygon N x1 y1 ... xN yN\n"},
      {"combine with one region", "rect 0 0 1 1\ncombine OR\n",
       "kestrava-tool region: line 2: combine: needs two regions on the stack\n"},
      {"unknown mode", "rect 0 0 1 1\nrect 0 0 1 1\ncombine NAND\n",
       "kestrava-tool region: line 3: combine: unknown mode 'NAND'\n"},
      {"canon on nothing", "canon\n",
       "kestrava-tool region: line 1: canon: the region stack is empty\n"},
      {"shape too large", "roundrect 0 0 2147483647 2147483647 2147483647 2147483647\n",
       "kestrava-tool region: line 1: round rectangle corner ellipse too large\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRun run = RunRegion(c.input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, c.message);
  }
}

}  // namespace
