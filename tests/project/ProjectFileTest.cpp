// Project files: the layout a save writes, the defaults and limits of a load, the close check's
// comparison, and round trips of awkward settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "project/IniText.h"
#include "project/ProjectFile.h"
#include "project/ProjectKeys.h"
#include "tests/project/ProjectTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::project {
namespace {

namespace fs = std::filesystem;
using test::TScratchFolder;
using TEdit = std::function<void(TProjectSettings&)>;

const TProjectSettings kStartup = StartupSettings("/opt/kestrava/");

// What a load yields when every key is missing.
TProjectSettings AllDefaults() {
  TProjectSettings s;
  s.Kind = TSaverKind::Flash;
  s.Interval = 3;
  return s;
}

TProjectSettings With(TProjectSettings s, const TEdit& edit) {
  edit(s);
  return s;
}

TEST(ProjectFile, SaveWritesTheKeysInLayoutOrder) {
  const TScratchFolder folder;
  const fs::path path = folder / "p.kvp";
  SaveProjectFile(path, With(kStartup, [](TProjectSettings& s) {
                    s.Sources = {"/p/a.jpg", "/p/b.jpg"};
                    s.MusicFiles = {"/m/x.mid"};
                    s.Styles = {52, 86};
                    s.Mask = true;
                  }));
  EXPECT_EQ(ReadText(path),
            "[saverType]\r\ntype=pic\r\n"
            "[dataFiles]\r\nfilenum=2\r\nfile0=/p/a.jpg\r\nfile1=/p/b.jpg\r\n"
            "[musicFiles]\r\nmusicnum=1\r\nmusic0=/m/x.mid\r\n"
            "[myOptions]\r\nquitMode=0\r\nDelayTime=8\r\nMask=1\r\nFitMode=0\r\nSmooth=1\r\n"
            "[myBuild]\r\nOutPath=/opt/kestrava/\r\nOutFileName=\r\nOutType=0\r\n"
            "[myEffects]\r\nstyles=52,86\r\n");
  // The same order, as the key table gives it, each key under its section's first appearance.
  std::vector<std::pair<std::string, std::vector<std::string>>> sections;
  for (const TProjectKey& key : kProjectKeys) {
    auto section = std::find_if(sections.begin(), sections.end(),
                                [&](const auto& known) { return known.first == key.Section; });
    if (section == sections.end())
      section = sections.insert(sections.end(), {std::string(key.Section), {}});
    std::vector<std::string>& expectedKeys = section->second;
    if (key.Key == kSourceKey.Key) {
      expectedKeys.insert(expectedKeys.end(), {"file0", "file1"});
    } else if (key.Key == kMusicKey.Key) {
      expectedKeys.push_back("music0");
    } else {
      expectedKeys.emplace_back(key.Key);
    }
  }
  std::vector<std::string> expected;
  for (const auto& [name, keys] : sections) {
    expected.push_back("[" + name + "]");
    expected.insert(expected.end(), keys.begin(), keys.end());
  }
  const TIniText text = TIniText::Parse(ReadText(path)).value();
  std::vector<std::string> actual;
  for (const std::string& name : text.SectionNames()) {
    actual.push_back("[" + name + "]");
    for (const std::string& key : text.KeyNames(name))
      actual.push_back(key);
  }
  EXPECT_EQ(actual, expected);
}

TEST(ProjectFile, LoadsDefaultsLimitsAndTheDerivedName) {
  struct Case {
    const char* name;
    std::optional<std::string> file;  // none: the file does not exist
    TProjectSettings expected;
  };
  const auto file = [](const std::string& body) { return std::optional<std::string>(body); };
  const Case cases[] = {
      {"missing file", std::nullopt, AllDefaults()},
      {"empty file", file(""), AllDefaults()},
      {"filenum 3 with file1 missing",
       file("[dataFiles]\r\nfilenum=3\r\nfile0=/p/a.jpg\r\nfile2=/p/c.jpg\r\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Sources = {"/p/a.jpg", "none", "/p/c.jpg"};
              s.OutName = "a";
            })},
      {"more entries than the count",
       file("[musicFiles]\nmusicnum=1\nmusic0=/m/a.mid\nmusic1=/m/b.mid\n"),
       With(AllDefaults(), [](auto& s) { s.MusicFiles = {"/m/a.mid"}; })},
      {"negative count", file("[dataFiles]\nfilenum=-2\nfile0=/p/a.jpg\n"), AllDefaults()},
      {"holiday.jpg", file("[dataFiles]\nfilenum=1\nfile0=/p/holiday.jpg\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Sources = {"/p/holiday.jpg"};
              s.OutName = "holiday";
            })},
      {"sunset.jpeg keeps its dot", file("[dataFiles]\nfilenum=1\nfile0=/p/sunset.jpeg\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Sources = {"/p/sunset.jpeg"};
              s.OutName = "sunset.";
            })},
      {"characters, not bytes, are dropped", file("[dataFiles]\nfilenum=1\nfile0=/p/été.jpé\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Sources = {"/p/été.jpé"};
              s.OutName = "été";
            })},
      {"a stored name wins",
       file("[dataFiles]\nfilenum=1\nfile0=/p/a.jpg\n[myBuild]\nOutFileName=b\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Sources = {"/p/a.jpg"};
              s.OutName = "b";
            })},
      {"quitMode 9 selects the last item", file("[myOptions]\nquitMode=9\n"),
       With(AllDefaults(), [](auto& s) { s.QuitIndex = 4; })},
      {"quitMode -5 selects none", file("[myOptions]\nquitMode=-5\n"),
       With(AllDefaults(), [](auto& s) { s.QuitIndex = -1; })},
      {"OutType 2", file("[myBuild]\nOutType=2\n"),
       With(AllDefaults(), [](auto& s) { s.OutType = 1; })},
      {"OutType -7", file("[myBuild]\nOutType=-7\n"),
       With(AllDefaults(), [](auto& s) { s.OutType = -1; })},
      {"DelayTime 0x1F", file("[myOptions]\nDelayTime=0x1F\n"),
       With(AllDefaults(), [](auto& s) { s.Interval = 31; })},
      {"DelayTime $1F", file("[myOptions]\nDelayTime=$1F\n"),
       With(AllDefaults(), [](auto& s) { s.Interval = 31; })},
      {"DelayTime abc", file("[myOptions]\nDelayTime=abc\n"), AllDefaults()},
      {"DelayTime -3", file("[myOptions]\nDelayTime=-3\n"),
       With(AllDefaults(), [](auto& s) { s.Interval = -3; })},
      {"type pic", file("[saverType]\ntype=pic\n"),
       With(AllDefaults(), [](auto& s) { s.Kind = TSaverKind::Pictures; })},
      {"another type keeps the kind", file("[SAVERTYPE]\nTYPE=PIC\n"),
       With(AllDefaults(), [](auto& s) { s.Kind = TSaverKind::Pictures; })},
      {"ticked styles in order, each once", file("[myEffects]\nstyles=86,52,86\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Styles = {52, 86};
            })},
      {"hostile styles are skipped",
       file("[myEffects]\nstyles=0,151,-3,99999999999,abc,,;x,$34,5 2,3\n"),
       With(AllDefaults(),
            [](auto& s) {
              s.Styles = {3, 52};
            })},
      {"Mask 1", file("[myOptions]\nMask=1\n"),
       With(AllDefaults(), [](auto& s) { s.Mask = true; })},
      {"Mask 2 is no mask", file("[myOptions]\nMask=2\n"), AllDefaults()},
      {"fill", file("[myOptions]\nFitMode=2\n"),
       With(AllDefaults(), [](auto& s) { s.FitMode = 2; })},
      {"fit", file("[myOptions]\nFitMode=1\n"),
       With(AllDefaults(), [](auto& s) { s.FitMode = 1; })},
      {"an unknown fit mode shrinks only", file("[myOptions]\nFitMode=3\n"), AllDefaults()},
      {"a negative fit mode shrinks only", file("[myOptions]\nFitMode=-1\n"), AllDefaults()},
      {"Smooth 1", file("[myOptions]\nSmooth=1\n"),
       With(AllDefaults(), [](auto& s) { s.Smooth = true; })},
      {"Smooth 2 is not smooth", file("[myOptions]\nSmooth=2\n"), AllDefaults()},
      {"Target windows", file("[myBuild]\nTarget=windows\n"),
       With(AllDefaults(), [](auto& s) { s.Target = TSaverTarget::Windows; })},
      {"Target in capitals", file("[MYBUILD]\nTARGET=Windows\n"),
       With(AllDefaults(), [](auto& s) { s.Target = TSaverTarget::Windows; })},
      {"Target linux", file("[myBuild]\nTarget=linux\n"), AllDefaults()},
      {"another Target is Linux", file("[myBuild]\nTarget=windows95\n"), AllDefaults()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TScratchFolder folder;
    const fs::path path = folder / "p.kvp";
    if (c.file) WriteText(path, *c.file);
    // Loading over the start-up state: only a `type` other than "pic" and "fla" shows it.
    EXPECT_EQ(LoadProjectFile(path, kStartup), c.expected);
    if (!c.file) {
      EXPECT_FALSE(fs::exists(path));
    }
  }
}

TEST(ProjectFile, HostileCountsAreCapped) {
  const TIniText text = TIniText::Parse("[dataFiles]\nfilenum=2147483647\nfile7=x\n").value();
  const TProjectSettings loaded = ReadProjectSettings(text, kStartup);
  ASSERT_EQ(loaded.Sources.size(), kMaxProjectListEntries);
  EXPECT_EQ(loaded.Sources[7], "x");
  EXPECT_EQ(loaded.Sources.back(), "none");
}

TEST(ProjectFile, SaveKeepsWhatItDoesNotWrite) {
  const TScratchFolder folder;
  const fs::path path = folder / "p.kvp";
  const TProjectSettings five = With(kStartup, [](auto& s) {
    s.Sources = {"/a", "/b", "/c", "/d", "/e"};
    s.OutName = "show";
  });
  SaveProjectFile(path, five);
  const TProjectSettings three = With(five, [](auto& s) { s.Sources = {"/x", "/y", "/z"}; });
  SaveProjectFile(path, three);
  const TIniText text = TIniText::Parse(ReadText(path)).value();
  EXPECT_EQ(text.ReadString("dataFiles", "filenum", ""), "3");
  EXPECT_EQ(text.ReadString("dataFiles", "file3", ""), "/d");
  EXPECT_EQ(text.ReadString("dataFiles", "file4", ""), "/e");
  EXPECT_EQ(LoadProjectFile(path, kStartup), three);

  // An INI file with other sections, comments and LF line ends.
  WriteText(path, "; made by hand\n[Other]\nx = 1\n[myBuild]\nOutType=1\nExtra=keep\n");
  SaveProjectFile(path, kStartup);
  EXPECT_EQ(ReadText(path),
            "; made by hand\n[Other]\nx = 1\n[myBuild]\nOutType=0\nExtra=keep\n"
            "OutPath=/opt/kestrava/\nOutFileName=\n[saverType]\ntype=pic\n[dataFiles]\nfilenum=0\n"
            "[musicFiles]\nmusicnum=0\n[myOptions]\nquitMode=0\nDelayTime=8\nMask=0\n"
            "FitMode=0\nSmooth=1\n"
            "[myEffects]\nstyles=\n");
}

// Only a Windows saver stores its target: a Linux project's file keeps the layout older builders
// wrote, and switching back to Linux takes the key out again.
TEST(ProjectFile, OnlyAWindowsTargetIsStored) {
  const TScratchFolder folder;
  const fs::path path = folder / "p.kvp";
  SaveProjectFile(path, kStartup);
  const std::string linuxFile = ReadText(path);
  EXPECT_EQ(linuxFile.find("Target"), std::string::npos) << linuxFile;

  const TProjectSettings windows =
      With(kStartup, [](auto& s) { s.Target = TSaverTarget::Windows; });
  SaveProjectFile(path, windows);
  const TIniText text = TIniText::Parse(ReadText(path)).value();
  EXPECT_EQ(text.ReadString("myBuild", "Target", ""), "windows");
  EXPECT_EQ(LoadProjectFile(path, kStartup), windows);

  SaveProjectFile(path, kStartup);
  EXPECT_EQ(ReadText(path), linuxFile);
  EXPECT_EQ(LoadProjectFile(path, windows).Target, TSaverTarget::Linux);
}

// A key that cannot be stored (a line break in a path) leaves the old file byte for byte.
TEST(ProjectFile, SaveIsAllOrNothing) {
  const TScratchFolder folder;
  const fs::path path = folder / "p.kvp";
  WriteText(path, "[dataFiles]\r\nfilenum=0\r\nfile1=old\r\n[myOptions]\r\nDelayTime=5\r\n");
  const TProjectSettings settings = With(kStartup, [](auto& s) {
    s.Sources = {"/p/a.jpg", "/p/line\nbreak.jpg", "/p/c.jpg"};
  });
  try {
    SaveProjectFile(path, settings);
    FAIL() << "no error";
  } catch (const EProjectWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path.string());
  }
  EXPECT_EQ(ReadText(path),
            "[dataFiles]\r\nfilenum=0\r\nfile1=old\r\n[myOptions]\r\nDelayTime=5\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"p.kvp"});
}

// Everything a save writes takes part: a change to any of it would be lost without the question.
TEST(ProjectFile, CloseCheckComparesEverythingTheFileStores) {
  struct Case {
    const char* name;
    TEdit stored;   // the settings saved into the bound file
    TEdit current;  // the wizard's settings at close
    bool matches;
  };
  const auto none = [](TProjectSettings&) {};
  const Case cases[] = {
      {"untouched start", none, none, true},
      {"replaced source",
       [](auto& s) {
         s.Sources = {"/a", "/b"};
       },
       [](auto& s) {
         s.Sources = {"/a", "/c"};
       },
       false},
      {"reversed sources",
       [](auto& s) {
         s.Sources = {"/a", "/b", "/c"};
       },
       [](auto& s) {
         s.Sources = {"/c", "/b", "/a"};
       },
       false},
      {"same sources in order",
       [](auto& s) {
         s.Sources = {"/a", "/b"};
       },
       [](auto& s) {
         s.Sources = {"/a", "/b"};
       },
       true},
      {"replaced music", [](auto& s) { s.MusicFiles = {"/a"}; },
       [](auto& s) { s.MusicFiles = {"/b"}; }, false},
      {"reordered music",
       [](auto& s) {
         s.MusicFiles = {"/a", "/b"};
       },
       [](auto& s) {
         s.MusicFiles = {"/b", "/a"};
       },
       false},
      {"flash kind against a stored pic", none, [](auto& s) { s.Kind = TSaverKind::Flash; }, false},
      {"picture kind against a stored fla", [](auto& s) { s.Kind = TSaverKind::Flash; }, none,
       false},
      {"source count", none, [](auto& s) { s.Sources = {"/a"}; }, false},
      {"music count", none, [](auto& s) { s.MusicFiles = {"/a"}; }, false},
      {"quit mode", none, [](auto& s) { s.QuitIndex = 2; }, false},
      {"stored quit mode beyond the items", [](auto& s) { s.QuitIndex = 9; },
       [](auto& s) { s.QuitIndex = 4; }, false},
      {"interval", none, [](auto& s) { s.Interval = 9; }, false},
      {"output path by case", none, [](auto& s) { s.OutPath = "/OPT/kestrava/"; }, false},
      {"output name", none, [](auto& s) { s.OutName = "x"; }, false},
      {"output type", none, [](auto& s) { s.OutType = 1; }, false},
      {"a style ticked", none, [](auto& s) { s.Styles = {52}; }, false},
      {"another style ticked", [](auto& s) { s.Styles = {52}; }, [](auto& s) { s.Styles = {86}; },
       false},
      {"same styles",
       [](auto& s) {
         s.Styles = {52, 86};
       },
       [](auto& s) {
         s.Styles = {52, 86};
       },
       true},
      {"mask", none, [](auto& s) { s.Mask = true; }, false},
      {"mask off again", [](auto& s) { s.Mask = true; }, none, false},
      {"fill", none, [](auto& s) { s.FitMode = 2; }, false},
      {"fit stored, fill now", [](auto& s) { s.FitMode = 1; }, [](auto& s) { s.FitMode = 2; },
       false},
      {"smooth off", none, [](auto& s) { s.Smooth = false; }, false},
      {"windows target", none, [](auto& s) { s.Target = TSaverTarget::Windows; }, false},
      {"linux target again", [](auto& s) { s.Target = TSaverTarget::Windows; }, none, false},
      {"same windows target", [](auto& s) { s.Target = TSaverTarget::Windows; },
       [](auto& s) { s.Target = TSaverTarget::Windows; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TScratchFolder folder;
    const fs::path path = folder / "p.kvp";
    SaveProjectFile(path, With(kStartup, c.stored));
    EXPECT_EQ(ProjectMatchesFile(path, With(kStartup, c.current)), c.matches);
  }
  // A file older than the styles, mask and fit keys matches a wizard with nothing ticked, no mask
  // and pictures shrunk only, by dropping pixels; a missing or unknown type matches neither kind,
  // since a save would change it.
  const auto text = [](const std::string& body) { return TIniText::Parse(body).value(); };
  const std::string rest = "[myOptions]\nDelayTime=8\n[myBuild]\nOutPath=/opt/kestrava/\n";
  const TProjectSettings older = With(kStartup, [](auto& s) { s.Smooth = false; });
  EXPECT_TRUE(SettingsMatch(text("[saverType]\ntype=pic\n" + rest), older));
  EXPECT_FALSE(SettingsMatch(text("[saverType]\ntype=pic\n" + rest), kStartup));
  EXPECT_FALSE(SettingsMatch(text(rest), older));
  EXPECT_FALSE(SettingsMatch(text("[saverType]\ntype=xyz\n" + rest), older));
}

TEST(ProjectFile, AwkwardSettingsRoundTrip) {
  std::vector<std::string> hundred;
  for (int i = 0; i < 100; ++i)
    hundred.push_back("/pictures/" + std::to_string(i) + " copy.jpg");
  const TProjectSettings cases[] = {
      kStartup,
      With(kStartup,
           [](auto& s) {
             s.FitMode = 2;
             s.Smooth = false;
           }),
      With(kStartup,
           [](auto& s) {
             s.Kind = TSaverKind::Flash;
             s.Sources = {"/home/usér/Bilder/фото 1.swf", "/tmp/日本.swf"};
             s.OutName = "привет";
             s.QuitIndex = -1;
             s.OutType = -1;
             s.Interval = INT32_MIN;
           }),
      With(kStartup,
           [](auto& s) {
             s.Sources = {"/x/a=b;c.jpg", "/x/[d].jpg", "/x/;e.jpg", "/x/\xE9t\xE9.jpg"};
             s.MusicFiles = {"/m/k=v.mid", "/m/#.wav"};
             s.OutPath = "/out/a=b;c/";
             s.OutName = "x=y;z";
             s.QuitIndex = 4;
             s.OutType = 1;
             s.Interval = INT32_MAX;
             s.Styles = {1, 52, 86, 118};
             s.Mask = true;
             s.Target = TSaverTarget::Windows;
           }),
      With(kStartup,
           [&](auto& s) {
             s.Sources = hundred;
             s.MusicFiles = hundred;
             s.OutName = "hundred";
           }),
  };
  for (const TProjectSettings& settings : cases) {
    SCOPED_TRACE(settings.Sources.size());
    const TScratchFolder folder;
    const fs::path path = folder / "p.kvp";
    SaveProjectFile(path, With(kStartup, [](auto& s) { s.Sources = {"1", "2", "3", "4", "5"}; }));
    SaveProjectFile(path, settings);
    EXPECT_EQ(LoadProjectFile(path, StartupSettings("/elsewhere/")), settings);
    EXPECT_TRUE(ProjectMatchesFile(path, settings));
  }
}

TEST(ProjectFile, BlanksAndQuotesAtTheEndsDoNotRoundTrip) {
  struct Case {
    const char* written;
    const char* read;
  };
  const Case cases[] = {
      {"  /p/a.jpg  ", "/p/a.jpg"},
      {"\t/p/b.jpg", "/p/b.jpg"},
      {"/p/in side.jpg", "/p/in side.jpg"},
      {"\"/p/q.jpg\"", "/p/q.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    const TScratchFolder folder;
    const fs::path path = folder / "p.kvp";
    SaveProjectFile(path, With(kStartup, [&](auto& s) {
                      s.Sources = {c.written};
                      s.OutPath = c.written;
                      s.OutName = c.written;
                    }));
    const TProjectSettings loaded = LoadProjectFile(path, kStartup);
    EXPECT_EQ(loaded.Sources, std::vector<std::string>{c.read});
    EXPECT_EQ(loaded.OutPath, c.read);
    EXPECT_EQ(loaded.OutName, c.read);
  }
}

}  // namespace
}  // namespace kestrava::project
