// saver-info and saver-extract on saver files made by the payload writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "saver/SaverPayload.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/tools/ToolRun.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using namespace savertest;
using test::Quoted;
using test::RunTool;
using test::TScratchFolder;

// Runtime of 6 bytes; music of 3, 5 and 2 bytes (MIDI, WAV, and an ending that counts as MP3);
// pictures of 4 and 7 bytes. Or, for Flash, movies of 4 and 7 bytes.
class SaverCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, bytes] : files_)
      WriteBytes(folder_ / name, bytes);
  }

  fs::path MakeSaver(TSaverKind kind) {
    const fs::path saver = folder_ / (kind == TSaverKind::Flash ? "f.scr" : "p.scr");
    WriteBytes(saver, Bytes("RUNTIM"));
    TPayloadPlan plan;
    plan.Kind = kind;
    plan.QuitMode = kind == TSaverKind::Flash ? 3 : 2;
    plan.IntervalSeconds = 8;
    plan.EffectFlags = EffectFlags(std::vector<int>{1, 17, 122});
    plan.Sources = {folder_ / "one.swf", folder_ / "two.swf"};
    plan.Music = {folder_ / "m.mid", folder_ / "w.wav", folder_ / "x.ogg"};
    TFakePictures pictures;
    pictures.Results = {Bytes("JPG0"), Bytes("JPG one")};
    const TPayloadResult result = WritePayload(plan, saver, pictures);
    EXPECT_EQ(result.Status, TPayloadStatus::Written) << result.Reason;
    return saver;
  }

  TScratchFolder folder_;
  std::vector<std::pair<std::string, TBytes>> files_ = {
      {"m.mid", Bytes("MTh")},    {"w.wav", Bytes("RIFF!")},     {"x.ogg", Bytes("Og")},
      {"one.swf", Bytes("FWS1")}, {"two.swf", Bytes("CWS two")},
  };
};

TEST_F(SaverCommandsTest, InfoShowsTheSettingsAndEveryBlock) {
  const struct {
    TSaverKind Kind;
    std::string Expected;
  } cases[] = {
      {TSaverKind::Pictures,
       "file size: 627\n"
       "kind: pictures\n"
       "quit mode: 2\n"
       "interval: 8\n"
       "effects: 1 17 122\n"
       "runtime: offset 0 size 6\n"
       "music 0: offset 6 size 3 type 0x30 (MIDI)\n"
       "music 1: offset 9 size 5 type 0x32 (WAV)\n"
       "music 2: offset 14 size 2 type 0x31 (MP3)\n"
       "picture 0: offset 16 size 4\n"
       "picture 1: offset 20 size 7\n"},
      {TSaverKind::Flash,
       "file size: 617\n"
       "kind: flash\n"
       "quit mode: 3\n"
       "runtime: offset 0 size 6\n"
       "movie 0: offset 6 size 4\n"
       "movie 1: offset 10 size 7\n"},
  };
  for (const auto& c : cases) {
    const fs::path saver = MakeSaver(c.Kind);
    const auto run =
        RunTool("saver-info", [&](const fs::path&) { return "saver-info " + Quoted(saver); });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, c.Expected);
  }
}

TEST_F(SaverCommandsTest, ExtractWritesEveryBlockAsAFile) {
  const struct {
    TSaverKind Kind;
    std::vector<std::pair<std::string, TBytes>> Files;  // in the order they are written
  } cases[] = {
      {TSaverKind::Pictures,
       {{"runtime.bin", Bytes("RUNTIM")},
        {"music-0.mid", Bytes("MTh")},
        {"music-1.wav", Bytes("RIFF!")},
        {"music-2.mp3", Bytes("Og")},
        {"picture-0.jpg", Bytes("JPG0")},
        {"picture-1.jpg", Bytes("JPG one")}}},
      {TSaverKind::Flash,
       {{"runtime.bin", Bytes("RUNTIM")},
        {"movie-0.swf", Bytes("FWS1")},
        {"movie-1.swf", Bytes("CWS two")}}},
  };
  for (const auto& c : cases) {
    const fs::path saver = MakeSaver(c.Kind);
    const fs::path out = folder_ / "out" / "blocks";
    fs::remove_all(folder_ / "out");
    const auto run = RunTool("saver-extract", [&](const fs::path&) {
      return "saver-extract " + Quoted(saver) + " " + Quoted(out);
    });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string names;
    std::vector<std::string> expectedEntries;
    for (const auto& [name, bytes] : c.Files) {
      names += name + "\n";
      expectedEntries.push_back(name);
      EXPECT_EQ(ReadBytes(out / name), bytes) << name;
    }
    EXPECT_EQ(run.out, names);
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(out))
      entries.push_back(entry.path().filename().string());
    std::sort(entries.begin(), entries.end());
    std::sort(expectedEntries.begin(), expectedEntries.end());
    EXPECT_EQ(entries, expectedEntries);
  }
}

TEST_F(SaverCommandsTest, BadFilesAndArgumentsFail) {
  TBytes bad = ReadBytes(MakeSaver(TSaverKind::Flash));
  bad[bad.size() - 600] = 0x10;
  WriteBytes(folder_ / "bad.scr", bad);
  const std::string badFile = Quoted(folder_ / "bad.scr"), out = Quoted(folder_ / "out");
  const struct {
    std::string Args;
    int ExitCode;
    std::string Err;
  } cases[] = {
      {"saver-info " + badFile, 1,
       "kestrava-tool: not a saver file: the kind byte 0x10 is neither 0x0E nor 0x0F\n"},
      {"saver-extract " + badFile + " " + out, 1,
       "kestrava-tool: not a saver file: the kind byte 0x10 is neither 0x0E nor 0x0F\n"},
      {"saver-info " + Quoted(folder_ / "none.scr"), 1,
       "kestrava-tool: Cannot open file " + (folder_ / "none.scr").string() +
           ": No such file or directory\n"},
      {"saver-info", 2, "usage: kestrava-tool saver-info FILE\n"},
      {"saver-info " + badFile + " " + out, 2, "usage: kestrava-tool saver-info FILE\n"},
      {"saver-extract " + badFile, 2, "usage: kestrava-tool saver-extract FILE DIR\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    const auto run = RunTool("saver-bad", [&](const fs::path&) { return c.Args; });
    EXPECT_EQ(run.exitCode, c.ExitCode);
    EXPECT_EQ(run.err, c.Err);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(folder_ / "out"));
  }
}

}  // namespace
}  // namespace kestrava
