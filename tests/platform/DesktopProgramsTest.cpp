// Programs the builder starts and leaves alone: the built saver (Preview, a Windows one through
// Wine), the manual's opener and XScreenSaver's settings. Small scripts stand in for them and
// report how they were started.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "tests/platform/Polling.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::TScopedEnvironment;
using test::TScratchFolder;
using test::WaitForFile;
using test::WriteFileText;

// The scripts find their tools whatever PATH the test gives the programs it starts.
void WriteScript(const fs::path& path, const std::string& body, bool executable = true) {
  fs::create_directories(path.parent_path());
  WriteFileText(path, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
  fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

// Writes a report beside the script, renamed into place so that it is read whole.
std::string Report(const std::string& name, const std::string& lines) {
  return "out=\"$(dirname \"$0\")/" + name + "\"\n{\n" + lines +
         "} > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n";
}

// Runs `start`, which must succeed, with a script named `program` first on PATH; returns what the
// script reported: how many arguments it got, then each on a line.
std::string ArgumentsGiven(const std::string& program, const std::function<bool()>& start) {
  const TScratchFolder bin;
  WriteScript(bin / program, Report("given", "  echo \"$#\"\n  printf '%s\\n' \"$@\"\n"));
  const TScopedEnvironment path("PATH", bin.Path().string() + ":/usr/bin:/bin");
  EXPECT_TRUE(start());
  return WaitForFile(bin / "given");
}

TEST(StartDetached, RunsTheFileAloneWithoutArguments) {
  const TScratchFolder folder;
  const fs::path script = folder / "a folder/start me.scr";
  WriteScript(script,
              Report("report",
                     "  echo \"args=$#\"\n"
                     "  echo \"self=$0\"\n"
                     "  echo \"mark=$KESTRAVA_TEST_MARK\"\n"
                     "  set -- $(sed 's/.*) //' /proc/$$/stat)\n"
                     "  echo \"parent=$2\"\n"
                     "  echo \"session=$4\"\n"
                     "  [ -e /proc/$$/fd/50 ] && echo \"fd50=open\" || echo \"fd50=closed\"\n"));
  const TScopedEnvironment mark("KESTRAVA_TEST_MARK", "inherited");
  // An open file of the builder's that the saver must not inherit.
  const int fd = ::open("/dev/null", O_RDONLY);
  ASSERT_EQ(::dup2(fd, 50), 50);
  const bool started = MakeDesktop()->StartDetached(script.string());
  ::close(50);
  ::close(fd);
  ASSERT_TRUE(started);
  // The helper process in between has been reaped, and the saver is not our child: no zombies.
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  const std::string report = WaitForFile(folder / "a folder/report");
  EXPECT_NE(report.find("args=0\nself=" + script.string() + "\nmark=inherited\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find("parent=" + std::to_string(::getpid()) + "\n"), std::string::npos)
      << report;
  EXPECT_EQ(report.find("session=" + std::to_string(::getsid(0)) + "\n"), std::string::npos)
      << report;
  EXPECT_NE(report.find("fd50=closed"), std::string::npos) << report;
}

TEST(StartDetached, FalseWhenTheFileCannotBeStarted) {
  const TScratchFolder folder;
  WriteScript(folder / "not executable.scr", "exit 0\n", false);
  WriteFileText(folder / "no interpreter.scr", "#!/nonexistent/interpreter\n");
  fs::permissions(folder / "no interpreter.scr", fs::perms::owner_all);
  fs::create_directories(folder / "a folder.scr");
  for (const std::string name :
       {"missing.scr", "not executable.scr", "no interpreter.scr", "a folder.scr"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(MakeDesktop()->StartDetached((folder / name).string()));
  }
  EXPECT_FALSE(MakeDesktop()->StartDetached(""));
}

TEST(OpenDocument, HandsThePathToTheDesktopOpener) {
  struct Case {
    const char* path;
    const char* opened;
  };
  const Case cases[] = {
      {"/usr/share/doc/kestrava/the manual.html", "1\n/usr/share/doc/kestrava/the manual.html\n"},
      {"-manual.pdf", "1\n./-manual.pdf\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ArgumentsGiven("xdg-open", [&] { return MakeDesktop()->OpenDocument(c.path); }),
              c.opened);
  }
  const TScratchFolder empty;
  const TScopedEnvironment path("PATH", empty.Path().string());
  EXPECT_FALSE(MakeDesktop()->OpenDocument("/manual/index.html"));  // no opener to hand it to
}

// A Windows saver is shown full screen (/s) by the Wine on PATH; without one nothing starts.
TEST(StartWindowsSaver, RunsTheSaverFullScreenUnderWine) {
  struct Case {
    const char* path;
    const char* ran;
  };
  const Case cases[] = {
      {"/home/me/savers/my show.scr", "2\n/home/me/savers/my show.scr\n/s\n"},
      {"-show.scr", "2\n./-show.scr\n/s\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ArgumentsGiven("wine", [&] { return MakeDesktop()->StartWindowsSaver(c.path); }),
              c.ran);
  }
  const TScratchFolder empty;
  WriteScript(empty / "wine", "exit 0\n", false);  // not a program
  const TScopedEnvironment path("PATH", empty.Path().string());
  EXPECT_FALSE(MakeDesktop()->StartWindowsSaver("/home/me/savers/show.scr"));
}

TEST(OpenSaverSettings, PrefersTheNewSettingsProgramToTheOldOne) {
  struct Case {
    const char* name;
    std::vector<std::string> programs;   // in the first folder of PATH
    std::vector<std::string> elsewhere;  // in the second
    bool started;
    const char* ran;
  };
  const Case cases[] = {
      {"neither installed", {}, {}, false, ""},
      {"only the old one", {}, {"xscreensaver-demo"}, true, "xscreensaver-demo"},
      {"both", {"xscreensaver-demo"}, {"xscreensaver-settings"}, true, "xscreensaver-settings"},
      {"only the new one", {"xscreensaver-settings"}, {}, true, "xscreensaver-settings"},
      {"a new one that is not executable",
       {"!xscreensaver-settings"},
       {"xscreensaver-demo"},
       true,
       "xscreensaver-demo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TScratchFolder first, second, reports;
    const auto install = [&](const TScratchFolder& bin, std::string name) {
      const bool executable = name[0] != '!';
      if (!executable) name.erase(0, 1);
      WriteScript(bin / name,
                  "basename \"$0\" > \"" + (reports / "ran.tmp").string() + "\" && mv \"" +
                      (reports / "ran.tmp").string() + "\" \"" + (reports / "ran").string() +
                      "\"\n",
                  executable);
    };
    for (const std::string& name : c.programs)
      install(first, name);
    for (const std::string& name : c.elsewhere)
      install(second, name);
    const TScopedEnvironment path("PATH", first.Path().string() + ":" + second.Path().string());
    EXPECT_EQ(MakeDesktop()->OpenSaverSettings(), c.started);
    if (c.started) {
      EXPECT_EQ(WaitForFile(reports / "ran"), std::string(c.ran) + "\n");
    }
  }
}

}  // namespace
}  // namespace kestrava
