// `kestrava-tool project`: the settings the wizard shows after loading a file at start-up.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "tests/tools/ToolRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using TRun = kestrava::test::TToolRun;

// Runs the tool's project command on a file holding `bytes`, or on a missing file.
TRun RunProject(const std::optional<std::string>& bytes, const std::string& extraArgs = "") {
  return kestrava::test::RunTool("project-command", [&](const fs::path& dir) {
    if (bytes) std::ofstream(dir / "p.kvp", std::ios::binary) << *bytes;
    return "project '" + (dir / "p.kvp").string() + "'" + extraArgs;
  });
}

TEST(ProjectCommand, PrintsTheLoadedSettings) {
  struct Case {
    const char* name;
    std::optional<std::string> file;
    const char* expected;
  };
  const Case cases[] = {
      {"missing file", std::nullopt,
       "kind=fla\nquitIndex=0\ninterval=3\noutPath=\noutName=\noutType=0\n"},
      {"a full project",
       "[saverType]\r\ntype=pic\r\n[dataFiles]\r\nfilenum=3\r\nfile0=/p/holiday.jpg\r\n"
       "file2=/p/b c.jpg\r\n[musicFiles]\r\nmusicnum=1\r\nmusic0=/m/a=b;c.mid\r\n"
       "[myOptions]\r\nquitMode=9\r\nDelayTime=$1F\r\n[myBuild]\r\nOutPath=/out/\r\n"
       "OutType=-4\r\n",
       "kind=pic\nsource=/p/holiday.jpg\nsource=none\nsource=/p/b c.jpg\nmusic=/m/a=b;c.mid\n"
       "quitIndex=4\ninterval=31\noutPath=/out/\noutName=holiday\noutType=-1\n"},
      {"unknown type keeps the start-up kind", "[saverType]\ntype=swf\n[myOptions]\nquitMode=-5\n",
       "kind=pic\nquitIndex=-1\ninterval=3\noutPath=\noutName=\noutType=0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRun run = RunProject(c.file);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, c.expected);
  }
}

TEST(ProjectCommand, WantsExactlyOneFile) {
  const TRun run = RunProject(std::string(), " second.kvp");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "usage: kestrava-tool project FILE.kvp\n");
}

}  // namespace
