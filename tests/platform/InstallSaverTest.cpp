// Installing a built saver into XScreenSaver: ~/.xscreensaver under $HOME created or edited in
// one step, its permissions kept, and on any failure exactly the builder's message with the
// user's file as it was.
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "platform/Desktop.h"
#include "platform/XScreenSaverSettings.h"
#include "tests/platform/Polling.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TScopedEnvironment;
using test::TScratchFolder;
using test::WriteFileText;

constexpr uid_t kNobody = 65534;

const std::string kUserSettings =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "mode:\t\trandom\n"
    "selected:\t-1\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "-\t\t\t\txflame -root\t\t\t\t    \\n\\\n"
    "\n"
    "pointerHysteresis:\t10\n";

fs::path MakeSaver(const fs::path& path) {
  fs::create_directories(path.parent_path());
  WriteFileText(path, "#!/bin/sh\n");
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read |
                            fs::perms::group_exec | fs::perms::others_exec);
  return path;
}

// Every file and folder below root with the contents of the files: shows a changed file and a
// temporary file left behind alike.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> items;
  if (!fs::exists(root)) return items;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).string();
    items[name] = entry.is_regular_file() ? ReadFileText(entry.path()) : "(folder)";
  }
  return items;
}

TEST(InstallSaver, CreatesTheSettingsFileWhenThereIsNone) {
  const TScratchFolder home;
  const TScopedEnvironment env("HOME", home.Path().string());
  const fs::path saver = MakeSaver(home / "My Savers/show it.scr");
  MakeDesktop()->InstallSaver(saver.string());
  EXPECT_EQ(ReadFileText(home / ".xscreensaver"),
            SelectSaverProgram("", SaverCommand(saver.string()), "show it"));
  EXPECT_EQ(home.Entries(), (std::vector<std::string>{".xscreensaver", "My Savers"}));
}

TEST(InstallSaver, EditsTheUserFileAndKeepsItsPermissions) {
  const TScratchFolder home;
  const TScopedEnvironment env("HOME", home.Path().string());
  const fs::path settings = home / ".xscreensaver";
  WriteFileText(settings, kUserSettings);
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(settings, mode);
  const fs::path saver = MakeSaver(home / "show.scr");

  MakeDesktop()->InstallSaver(saver.string());
  const std::string once = ReadFileText(settings);
  EXPECT_EQ(once, SelectSaverProgram(kUserSettings, saver.string() + " -root", "show"));
  EXPECT_EQ(fs::status(settings).permissions(), mode);
  // Installing it again selects the same entry.
  MakeDesktop()->InstallSaver(saver.string());
  EXPECT_EQ(ReadFileText(settings), once);
  EXPECT_EQ(home.Entries(), (std::vector<std::string>{".xscreensaver", "show.scr"}));
}

TEST(InstallSaver, ARelativePathIsListedAsAnAbsoluteOne) {
  const TScratchFolder home;
  const TScopedEnvironment env("HOME", home.Path().string());
  MakeSaver(home / "out/show.scr");
  const fs::path oldFolder = fs::current_path();
  fs::current_path(home.Path());
  MakeDesktop()->InstallSaver("out/../out/show.scr");
  fs::current_path(oldFolder);
  EXPECT_EQ(ReadFileText(home / ".xscreensaver"),
            SelectSaverProgram("", (home / "out/show.scr").string() + " -root", "show"));
}

TEST(InstallSaver, ASymlinkedSettingsFileIsEditedWhereItLives) {
  const TScratchFolder home;
  const TScopedEnvironment env("HOME", home.Path().string());
  fs::create_directories(home / "dotfiles");
  WriteFileText(home / "dotfiles/xscreensaver", kUserSettings);
  fs::create_symlink("dotfiles/xscreensaver", home / ".xscreensaver");
  const fs::path saver = MakeSaver(home / "show.scr");
  MakeDesktop()->InstallSaver(saver.string());
  EXPECT_TRUE(fs::is_symlink(home / ".xscreensaver"));
  EXPECT_EQ(ReadFileText(home / "dotfiles/xscreensaver"),
            SelectSaverProgram(kUserSettings, saver.string() + " -root", "show"));
}

TEST(InstallSaver, NoSaverFileChangesNothing) {
  const TScratchFolder home;
  const TScopedEnvironment env("HOME", home.Path().string());
  MakeDesktop()->InstallSaver((home / "never built.scr").string());
  EXPECT_TRUE(home.Entries().empty());
  WriteFileText(home / ".xscreensaver", kUserSettings);
  MakeDesktop()->InstallSaver((home / "never built.scr").string());
  EXPECT_EQ(ReadFileText(home / ".xscreensaver"), kUserSettings);
}

// Runs the install in a child process, which may then become an ordinary user (root writes
// whatever the permission bits say) or meet a full disk without this process doing so. Returns
// what the install threw.
std::string InstallInChild(const std::string& saverPath, bool asUser, rlim_t fileSizeLimit) {
  int report[2];
  if (::pipe(report) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    if (asUser && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
      ::_exit(3);
    if (fileSizeLimit != 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(4);
    }
    std::string outcome = "nothing thrown";
    try {
      MakeDesktop()->InstallSaver(saverPath);
    } catch (const EInstallError& e) {
      outcome = std::string("EInstallError: ") + e.what();
    } catch (const std::exception& e) {
      outcome = std::string("other error: ") + e.what();
    }
    [[maybe_unused]] const ssize_t wrote = ::write(report[1], outcome.data(), outcome.size());
    ::_exit(0);
  }
  ::close(report[1]);
  std::string outcome;
  char buffer[256];
  ssize_t got;
  while ((got = ::read(report[0], buffer, sizeof buffer)) > 0)
    outcome.append(buffer, got);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "child failed with status " + std::to_string(status);
  return outcome;
}

TEST(InstallSaver, FailuresGiveTheMessageAndKeepTheOldFile) {
  struct Case {
    const char* name;
    const char* homeBelowScratch;  // $HOME
    bool asUser;
    rlim_t fileSizeLimit;
    std::function<void(const fs::path& home)> setUp;
  };
  std::string big = kUserSettings;
  for (int i = 0; i < 100; ++i)
    big += "# a comment line long enough to fill the file\n";
  const auto writeOld = [&](const fs::path& home) { WriteFileText(home / ".xscreensaver", big); };
  const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const Case cases[] = {
      {"read-only home folder", "home", true, 0,
       [&](const fs::path& home) {
         fs::create_directories(home);
         writeOld(home);
         fs::permissions(home, readOnly | fs::perms::owner_exec | fs::perms::group_exec |
                                   fs::perms::others_exec);
       }},
      {"read-only settings file", "home", true, 0,
       [&](const fs::path& home) {
         fs::create_directories(home);
         writeOld(home);
         fs::permissions(home / ".xscreensaver", readOnly);
         // The user's own folder and file, only the file's write bit taken away.
         if (::geteuid() == 0 && (::chown(home.c_str(), kNobody, kNobody) != 0 ||
                                  ::chown((home / ".xscreensaver").c_str(), kNobody, kNobody)))
           FAIL() << "chown";
       }},
      {"disk full midway", "home", false, 1024,
       [&](const fs::path& home) {
         fs::create_directories(home);
         writeOld(home);
       }},
      {"settings name taken by a folder", "home", false, 0,
       [](const fs::path& home) {
         fs::create_directories(home / ".xscreensaver");
         WriteFileText(home / ".xscreensaver/keep", "mine");
       }},
      {"home folder missing", "home/missing", false, 0, [](const fs::path&) {}},
  };
  const TScratchFolder savers;
  const fs::path saver = MakeSaver(savers / "show.scr");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TScratchFolder scratch;
    const fs::path home = scratch / c.homeBelowScratch;
    const TScopedEnvironment env("HOME", home.string());
    c.setUp(scratch / "home");
    const auto before = Snapshot(scratch.Path());
    EXPECT_EQ(InstallInChild(saver.string(), c.asUser, c.fileSizeLimit),
              "EInstallError: " + std::string(kInstallFailedMessage));
    EXPECT_EQ(Snapshot(scratch.Path()), before);
    std::error_code ignored;
    fs::permissions(scratch / "home", fs::perms::owner_all, fs::perm_options::add, ignored);
  }
}

}  // namespace
}  // namespace kestrava
