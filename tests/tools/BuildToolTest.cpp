// kestrava-build end to end: a project of fixture pictures and music built into a saver, which
// kestrava-tool then reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/Jpeg.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/Sanitized.h"
#include "tests/support/ScratchFolder.h"
#include "tests/tools/ToolRun.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using savertest::Bytes;
using savertest::ReadBytes;
using savertest::TBytes;
using savertest::WriteBytes;
using test::Quoted;
using test::RunProgram;
using test::RunTool;
using test::TScratchFolder;

const fs::path kPictures = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare";

void WriteProject(const fs::path& path, const std::vector<fs::path>& sources,
                  const std::vector<fs::path>& music, const std::string& outPath,
                  const std::string& extraKeys = "") {
  std::ofstream out(path);
  out << "[saverType]\ntype=pic\n[dataFiles]\nfilenum=" << sources.size() << "\n";
  for (size_t i = 0; i < sources.size(); ++i)
    out << "file" << i << "=" << sources[i].string() << "\n";
  out << "[musicFiles]\nmusicnum=" << music.size() << "\n";
  for (size_t i = 0; i < music.size(); ++i)
    out << "music" << i << "=" << music[i].string() << "\n";
  out << "[myOptions]\nquitMode=2\nDelayTime=6\n[myBuild]\nOutPath=" << outPath
      << "\nOutFileName=Trip\nOutType=0\n"
      << extraKeys;
}

TEST(BuildTool, BuildsAProjectThatTheToolReadsBack) {
  TScratchFolder folder;
  WriteBytes(folder / "song.mid", Bytes("MThd a song"));
  WriteBytes(folder / "rain.wav", Bytes("RIFF rain"));
  const fs::path project = folder / "trip.kvp";
  WriteProject(project,
               {kPictures / "sequential.jpg", kPictures / "progressive.jpg",
                kPictures / "picture-8bit.bmp", kPictures / "animated.gif"},
               {folder / "song.mid", folder / "rain.wav"}, "/nowhere/");
  const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool", [&](const fs::path&) {
    return Quoted(project) + " --effects 1-6,52 --screen 320x200 --type exe --output-dir " +
           Quoted(folder.Path());
  });
  ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
  EXPECT_NE(build.out.find("picture 4/4: " + (kPictures / "animated.gif").string()),
            std::string::npos)
      << build.out;
  EXPECT_NE(build.out.find("Process succeed!\n"), std::string::npos);
  const fs::path saver = folder / "Trip.exe";
  ASSERT_TRUE(fs::exists(saver));

  const auto info =
      RunTool("build-tool-info", [&](const fs::path&) { return "saver-info " + Quoted(saver); });
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("quit mode: 3\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("interval: 6\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("effects: 1 2 3 4 5 6 52\n"), std::string::npos) << info.out;

  const fs::path blocks = folder / "blocks";
  const auto extract = RunTool("build-tool-extract", [&](const fs::path&) {
    return "saver-extract " + Quoted(saver) + " " + Quoted(blocks);
  });
  ASSERT_EQ(extract.exitCode, 0) << extract.err;
  EXPECT_EQ(ReadBytes(blocks / "music-0.mid"), Bytes("MThd a song"));
  EXPECT_EQ(ReadBytes(blocks / "music-1.wav"), Bytes("RIFF rain"));
  for (int i = 0; i < 4; ++i) {
    const fs::path picture = blocks / ("picture-" + std::to_string(i) + ".jpg");
    const TJpegImage decoded = DecodeJpegFile(picture);
    EXPECT_EQ(decoded.Bitmap.Width(), 320) << picture;
    EXPECT_EQ(decoded.Bitmap.Height(), 200) << picture;
    EXPECT_EQ(decoded.Progressive, i == 1) << picture;
  }
  // The runtime at the head runs and finds its payload: one frame, the first picture.
  const auto run = RunProgram(saver.string(), "build-tool-run", [&](const fs::path&) {
    return "--frames 1 --dump " + Quoted(folder / "frames");
  });
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(folder / "frames" / "frame-00000.png"));
}

// Without --effects the project's own ticks decide; styles the wizard does not offer (7), out of
// the catalogue (999) or no number at all are skipped, and none left means every offered effect.
TEST(BuildTool, UsesTheProjectsTickedStyles) {
  struct Case {
    std::string styles, arguments, effectsLine;
  };
  const Case cases[] = {
      {"[myEffects]\nstyles=86,52\n", "", "effects: 52 86\n"},
      {"[myEffects]\nstyles=7,x;rm -rf,999,-3,86,52,52\n", "", "effects: 52 86\n"},
      {"[myEffects]\nstyles=52,86\n", " --effects 3", "effects: 3\n"},
      {"[myEffects]\nstyles=7,999\n", "", "effects: 1 2 3 4 5 6 8 10 "},
      {"", "", "effects: 1 2 3 4 5 6 8 10 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.styles + c.arguments);
    TScratchFolder folder;
    const fs::path project = folder / "ticks.kvp";
    WriteProject(project, {kPictures / "sequential.jpg"}, {}, folder.Path().string() + "/",
                 c.styles);
    const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-ticks", [&](const fs::path&) {
      return Quoted(project) + " --quiet --screen 64x48" + c.arguments;
    });
    ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
    const auto info = RunTool("build-tool-ticks-info", [&](const fs::path&) {
      return "saver-info " + Quoted(folder / "Trip.scr");
    });
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find(c.effectsLine), std::string::npos) << info.out;
  }
}

TEST(BuildTool, ReportsFailuresWithItsExitStatus) {
  TScratchFolder folder;
  const fs::path project = folder / "bad.kvp";
  WriteProject(project, {kPictures / "sequential.jpg", folder / "holiday.tga"}, {},
               folder.Path().string() + "/");
  const std::string tga = (folder / "holiday.tga").string();
  // A project that cannot be read whole would build as an empty one: it is refused as it is.
  WriteBytes(folder / "huge.kvp",
             Bytes("[saverType]\ntype=pic\n" + std::string(size_t{5} << 20, ';')));
  fs::create_directory(folder / "folder.kvp");
  const auto cannotOpen = [&](const std::string& name, const std::string& reason) {
    return "kestrava-build: Cannot open project " + (folder / name).string() + ": " + reason;
  };
  struct Case {
    std::string arguments;
    int exitCode;
    std::string out, errStart;
  };
  const Case cases[] = {
      {Quoted(project) + " --quiet --screen 64x48", 1,
       "file not support\n" + tga + "\nProcess failed!\n" + tga +
           ": not a picture kind a saver can show (JPEG, PNG, WebP, HEIC, BMP or GIF)\n",
       ""},
      {Quoted(folder / "missing.kvp"), 1, "",
       cannotOpen("missing.kvp", "No such file or directory")},
      {Quoted(folder / "huge.kvp"), 1, "",
       cannotOpen("huge.kvp", "larger than 4 MB, more than a project file can be")},
      {Quoted(folder / "folder.kvp"), 1, "", cannotOpen("folder.kvp", "not a regular file")},
      {Quoted(project) + " --effects 7", 2, "", "kestrava-build: --effects: style 7"},
      {Quoted(project) + " --screen big", 2, "", "kestrava-build: --screen"},
      {Quoted(project) + " --screen 16384x16384", 2, "",
       "kestrava-build: --screen: width and height must lie in 1..16384, with at most 67108864"},
      {Quoted(project) + " --type zip", 2, "", "kestrava-build: --type"},
      {Quoted(project) + " --target mac", 2, "",
       "kestrava-build: --target is linux or windows, not \"mac\"\nusage: kestrava-build"},
      {Quoted(project) + " --target", 2, "", "kestrava-build: --target wants a value"},
      {"", 2, "", "kestrava-build: no project file given"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const auto run = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-bad",
                                [&](const fs::path&) { return c.arguments; });
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out, c.out);
    EXPECT_TRUE(run.err.starts_with(c.errStart)) << run.err;
  }
  EXPECT_FALSE(fs::exists(folder / "bad.scr"));
  EXPECT_FALSE(fs::exists(folder / "Trip.scr"));
}

// The runtime at the head follows the system the saver is made for: the project's Target, or
// --target over it. A builder made without the Windows runtime refuses Windows savers before it
// writes anything.
TEST(BuildTool, TheTargetChoosesTheRuntimeAtTheHead) {
#ifdef KESTRAVA_WINDOWS_RUNTIME_PATH
  const TBytes windowsRuntime = ReadBytes(KESTRAVA_WINDOWS_RUNTIME_PATH);
#else
  const TBytes windowsRuntime;  // none embedded
#endif
  const TBytes linuxRuntime = ReadBytes(KESTRAVA_SAVER_PATH);
  ASSERT_FALSE(linuxRuntime.empty());
  ASSERT_NE(windowsRuntime, linuxRuntime);
  struct Case {
    std::string projectKeys, arguments;
    bool windows;
  };
  const Case cases[] = {
      {"", "", false},
      {"Target=windows\n", "", true},
      {"Target=windows\n", " --target linux", false},
      {"", " --target windows", true},
      {"Target=linux\n", " --target windows", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.projectKeys + c.arguments);
    TScratchFolder folder;
    const fs::path project = folder / "target.kvp";
    WriteProject(project, {kPictures / "sequential.jpg"}, {}, folder.Path().string() + "/",
                 c.projectKeys);
    const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-target", [&](const fs::path&) {
      return Quoted(project) + " --quiet --screen 64x48" + c.arguments;
    });
    const fs::path saver = folder / "Trip.scr";
    if (c.windows && windowsRuntime.empty()) {
      EXPECT_EQ(build.exitCode, 1);
      EXPECT_EQ(build.err,
                "kestrava-build: This builder was made without the Windows saver "
                "program, so it cannot build savers for Windows.\n");
      EXPECT_EQ(folder.Entries(), std::vector<std::string>{"target.kvp"});
      continue;
    }
    ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
    const TBytes& runtime = c.windows ? windowsRuntime : linuxRuntime;
    const TBytes file = ReadBytes(saver);
    ASSERT_GT(file.size(), runtime.size());
    EXPECT_TRUE(std::equal(runtime.begin(), runtime.end(), file.begin()));
    // The payload and trailer behind it are the same for both systems.
    const auto info = RunTool("build-tool-target-info",
                              [&](const fs::path&) { return "saver-info " + Quoted(saver); });
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("interval: 6\n"), std::string::npos) << info.out;
  }
}

// The project's FitMode and Smooth reach the stored pictures: a small picture filled onto the
// screen leaves no black corner; without the keys it stays small and centred.
TEST(BuildTool, TheProjectsFitModeReachesThePictures) {
  for (const bool fill : {false, true}) {
    SCOPED_TRACE(fill);
    TScratchFolder folder;
    const fs::path project = folder / "fit.kvp";
    WriteProject(project, {kPictures / "sequential.jpg"}, {}, folder.Path().string() + "/");
    if (fill) {
      // In the project's one options section: a second one would not be read.
      const TBytes stored = ReadBytes(project);
      std::string text(stored.begin(), stored.end());
      text.replace(text.find("DelayTime=6\n"), 12, "DelayTime=6\nFitMode=2\nSmooth=1\n");
      WriteBytes(project, Bytes(text));
    }
    const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-fit", [&](const fs::path&) {
      return Quoted(project) + " --quiet --screen 400x300";
    });
    ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
    const auto extract = RunTool("build-tool-fit-extract", [&](const fs::path&) {
      return "saver-extract " + Quoted(folder / "Trip.scr") + " " + Quoted(folder / "blocks");
    });
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    const TBitmap stored = DecodeJpegFile(folder / "blocks" / "picture-0.jpg").Bitmap;
    ASSERT_EQ(stored.Width(), 400);
    const TPixel corner = stored.PixelAt(2, 2) & 0xFFFFFF;
    if (fill)
      EXPECT_NE(corner, 0u);
    else
      EXPECT_LT((corner & 0xFF) + (corner >> 8 & 0xFF) + (corner >> 16 & 0xFF), 12u);
  }
}

// Every saver carries the runtime, so its size is every saver's floor: stripped and optimised it
// is 0.7 MB, with its debug information 20 MB. Sanitizer builds embed their instrumented runtime.
TEST(BuildTool, AOnePictureSaverStaysSmall) {
#ifdef KESTRAVA_SANITIZED
  GTEST_SKIP() << "the runtime of a sanitizer build is instrumented";
#endif
  constexpr uintmax_t kRuntimeLimit = 1024 * 1024;
  constexpr uintmax_t kOnePictureSaverLimit = 1536 * 1024;
  EXPECT_LT(fs::file_size(KESTRAVA_SAVER_PATH), kRuntimeLimit);
  TScratchFolder folder;
  const fs::path project = folder / "small.kvp";
  WriteProject(project, {kPictures / "sequential.jpg"}, {}, folder.Path().string() + "/");
  const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-small", [&](const fs::path&) {
    return Quoted(project) + " --quiet --screen 1920x1080";
  });
  ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
  EXPECT_LT(fs::file_size(folder / "Trip.scr"), kOnePictureSaverLimit);
}

// A Flash saver has no Windows runtime to play it: refused with a message on standard error, and
// nothing written, neither the saver nor a staged file.
TEST(BuildTool, RefusesFlashSaversForWindows) {
  struct Case {
    std::string projectKeys, arguments;
    bool refused;
  };
  const Case cases[] = {
      {"", " --target windows", true},
      {"Target=windows\n", "", true},
      {"Target=windows\n", " --target linux", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.projectKeys + c.arguments);
    TScratchFolder folder;
    WriteBytes(folder / "clip.swf", Bytes("FWS\x06 a movie"));
    const fs::path project = folder / "movie.kvp";
    std::ofstream(project) << "[saverType]\ntype=fla\n[dataFiles]\nfilenum=1\nfile0="
                           << (folder / "clip.swf").string()
                           << "\n[myBuild]\nOutPath=" << folder.Path().string()
                           << "/\nOutFileName=Movie\n"
                           << c.projectKeys;
    const auto build = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-flash", [&](const fs::path&) {
      return Quoted(project) + " --quiet" + c.arguments;
    });
    if (!c.refused) {
      EXPECT_EQ(build.exitCode, 0) << build.out << build.err;
      EXPECT_TRUE(fs::exists(folder / "Movie.scr"));
      continue;
    }
    EXPECT_EQ(build.exitCode, 1);
    EXPECT_EQ(build.out, "");
    EXPECT_EQ(build.err,
              "kestrava-build: Flash savers play on Linux only for now: a Flash saver "
              "cannot be built for Windows.\n");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"clip.swf", "movie.kvp"}));
  }
}

// The listing maps the wizard's "effect k" entries and the catalogue numbers that --effects takes.
// Asking for help is not a mistake: each program prints its usage on standard output, status 0.
TEST(BuildTool, HelpPrintsTheUsageOfEachProgram) {
  const struct {
    std::string program, arguments, usageStart;
  } cases[] = {
      {KESTRAVA_BUILD_PATH, "--help", "usage: kestrava-build PROJECT.kvp"},
      {KESTRAVA_BUILD_PATH, "-h", "usage: kestrava-build PROJECT.kvp"},
      {KESTRAVA_BUILD_PATH, "x.kvp --quiet --help", "usage: kestrava-build PROJECT.kvp"},
      {KESTRAVA_TOOL_PATH, "--help", "usage: kestrava-tool COMMAND"},
      {KESTRAVA_TOOL_PATH, "-h", "usage: kestrava-tool COMMAND"},
      {KESTRAVA_SAVER_PATH, "--help", "usage: kestrava-saver "},
      {KESTRAVA_SAVER_PATH, "-h", "usage: kestrava-saver "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program + " " + c.arguments);
    const auto run =
        RunProgram(c.program, "build-tool-help", [&](const fs::path&) { return c.arguments; });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.starts_with(c.usageStart)) << run.out;
    EXPECT_EQ(run.err, "");
  }
}

TEST(BuildTool, ListsEveryCatalogueEffectWithItsNameAndWizardEntry) {
  const auto run = RunProgram(KESTRAVA_BUILD_PATH, "build-tool-list",
                              [](const fs::path&) { return std::string("--list-effects"); });
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> lines;
  std::istringstream text(run.out);
  for (std::string line; std::getline(text, line);)
    lines.push_back(line);
  ASSERT_EQ(lines.size(), 151u);  // a heading and styles 1..150
  EXPECT_EQ(lines[1], "    1  1       Expand from right");
  EXPECT_EQ(lines[7], "    7  -       Expand in from right");  // not offered
  EXPECT_EQ(lines[52], "   52  37      " + std::string(StyleNameOf(52)));
  EXPECT_EQ(lines[118], "  118  103     Fade");
  EXPECT_EQ(lines[150].substr(0, 15), "  150  -       ");
  int offered = 0;
  for (size_t i = 1; i < lines.size(); ++i)
    offered += lines[i].substr(7, 1) != "-";
  EXPECT_EQ(offered, 103);
}

}  // namespace
}  // namespace kestrava
