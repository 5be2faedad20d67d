// The wizard's binding to its project file: the start-up baseline, Save and Save As, Load, and
// when closing asks to save.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "project/ProjectFile.h"
#include "project/ProjectSession.h"
#include "tests/project/ProjectTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::project {
namespace {

namespace fs = std::filesystem;
using test::TScratchFolder;

// Sets or unsets an environment variable for one scope.
class TEnvironment {
 public:
  TEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~TEnvironment() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

const TProjectSettings kStartup = StartupSettings("/opt/kestrava/");

TEST(ProjectSession, BaselineFolderFollowsTheConfigHome) {
  struct Case {
    const char* config;
    const char* expected;
  };
  const Case cases[] = {
      {"/xdg/config", "/xdg/config/kestrava"},
      {nullptr, "/home/someone/.config/kestrava"},
      {"", "/home/someone/.config/kestrava"},
      {"relative/config", "/home/someone/.config/kestrava"},
  };
  const TEnvironment home("HOME", "/home/someone");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config ? c.config : "unset");
    const TEnvironment config("XDG_CONFIG_HOME", c.config);
    EXPECT_EQ(ProjectConfigFolder(), fs::path(c.expected));
    EXPECT_EQ(ResolveProjectFile("temp.kvp"), fs::path(c.expected) / "temp.kvp");
  }
  EXPECT_EQ(ResolveProjectFile("/p/temp.kvp"), fs::path("/p/temp.kvp"));
  EXPECT_EQ(ResolveProjectFile("p/show.kvp"), fs::path("p/show.kvp"));
}

TEST(ProjectSession, OutputFolderFallsBackToHomeWhenTheProgramFolderIsNotWritable) {
  const TScratchFolder scratch;
  const TEnvironment home("HOME", "/home/someone");
  EXPECT_EQ(StartOutputFolder(scratch.Path()), scratch.Path());
  // A folder that is gone, or a file, cannot take the saver (permission bits do not stop root,
  // who runs these tests on the build machines).
  EXPECT_EQ(StartOutputFolder(scratch.Path() / "gone"), fs::path("/home/someone"));
  const fs::path file = scratch.Path() / "file";
  std::ofstream(file) << "x";
  EXPECT_EQ(StartOutputFolder(file), fs::path("/home/someone"));
  if (::geteuid() != 0) {
    const fs::path locked = scratch.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(StartOutputFolder(locked), fs::path("/home/someone"));
    fs::permissions(locked, fs::perms::owner_all);
  }
}

// Names are case-sensitive here: "MyShow.kvp" and "myshow.kvp" are two projects.
TEST(ProjectSession, SaveAsKeepsTheTypedCase) {
  struct Case {
    const char* dialog;
    const char* target;
  };
  const Case cases[] = {
      {"/Home/Me/MyShow.kvp", "/Home/Me/MyShow.kvp"},
      {"/Home/Me/ÉTÉ Show.KVP", "/Home/Me/ÉTÉ Show.KVP"},
      {"/Shows/", "/Shows/"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog);
    EXPECT_EQ(SaveAsTarget(c.dialog), fs::path(c.target));
  }
}

class ProjectSessionFlow : public ::testing::Test {
 protected:
  TScratchFolder folder_;
  TEnvironment config_{"XDG_CONFIG_HOME", folder_.Path().c_str()};
  fs::path Baseline() const { return folder_ / "kestrava" / "temp.kvp"; }
};

TEST_F(ProjectSessionFlow, UntouchedStartAsksNothing) {
  TProjectSession session;
  session.Start(kStartup);
  EXPECT_EQ(session.FileName(), "temp.kvp");
  EXPECT_EQ(LoadProjectFile(Baseline(), kStartup), kStartup);
  EXPECT_FALSE(session.ShouldAskToSave(kStartup));
  EXPECT_TRUE(session.MatchesFile());
}

TEST_F(ProjectSessionFlow, UnsavedSourcesGoThroughSaveAsAndCloseSavesToTheBaseline) {
  TProjectSession session;
  session.Start(kStartup);
  TProjectSettings current = kStartup;
  current.Sources = {"/p/holiday.jpg"};
  current.OutName = "holiday";
  EXPECT_TRUE(session.SaveNeedsName());
  EXPECT_EQ(session.SaveAsSuggestion(current.OutName), "holiday");
  EXPECT_EQ(session.SaveAsSuggestion(""), "temp.kvp");
  EXPECT_TRUE(session.ShouldAskToSave(current));
  session.Save(current);  // the answer Yes: no dialog, the bound "temp.kvp"
  EXPECT_EQ(LoadProjectFile(Baseline(), kStartup), current);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"kestrava"});
}

TEST_F(ProjectSessionFlow, SaveAsBindsToTheWrittenFile) {
  TProjectSession session;
  session.Start(kStartup);
  fs::create_directory(folder_ / "Shows");
  const std::string written = (folder_ / "Shows" / "MyShow.kvp").string();
  // A project of the same name in other case stays untouched.
  const fs::path other = folder_ / "Shows" / "myshow.kvp";
  WriteText(other, "[myOptions]\nDelayTime=77\n");
  session.SaveAs(written, kStartup);
  EXPECT_EQ(session.FileName(), written);
  EXPECT_FALSE(session.SaveNeedsName());
  EXPECT_EQ(session.SaveAsSuggestion("ignored"), written);
  EXPECT_TRUE(fs::exists(written));
  EXPECT_EQ(ReadText(other), "[myOptions]\nDelayTime=77\n");
  EXPECT_FALSE(session.ShouldAskToSave(kStartup));

  TProjectSettings changed = kStartup;
  changed.Interval = 20;
  // The match found at the first close is no pass for changes made after it.
  EXPECT_TRUE(session.ShouldAskToSave(changed));
  EXPECT_FALSE(session.MatchesFile());
  TProjectSession fresh;
  fresh.Load(written, kStartup);
  EXPECT_TRUE(fresh.ShouldAskToSave(changed));
  fresh.Save(changed);
  EXPECT_EQ(LoadProjectFile(written, kStartup).Interval, 20);
}

TEST_F(ProjectSessionFlow, FailedSaveAsKeepsTheBinding) {
  TProjectSession session;
  session.Start(kStartup);
  EXPECT_THROW(session.SaveAs((folder_ / "missing" / "x.kvp").string(), kStartup),
               EProjectWriteError);
  EXPECT_EQ(session.FileName(), "temp.kvp");
  session.SaveAs("", kStartup);  // an empty name saves nothing
  EXPECT_EQ(session.FileName(), "temp.kvp");
}

TEST_F(ProjectSessionFlow, LoadBindsToTheNameAsGiven) {
  TProjectSession session;
  session.Start(kStartup);
  const std::string name = (folder_ / "Not There.KVP").string();
  const TProjectSettings loaded = session.Load(name, kStartup);
  EXPECT_EQ(session.FileName(), name);
  EXPECT_EQ(loaded.Kind, TSaverKind::Flash);
  EXPECT_EQ(loaded.Interval, 3);
  EXPECT_FALSE(fs::exists(name));
  // Unbound: no question, and Save asks for a name with no suggestion of its own.
  session.Load("", kStartup);
  EXPECT_FALSE(session.ShouldAskToSave(kStartup));
  EXPECT_TRUE(session.SaveNeedsName());
  EXPECT_EQ(session.SaveAsSuggestion("x"), std::nullopt);
}

// A project that cannot be read whole is not opened as an empty one: the error says why and the
// wizard stays bound to what it had.
TEST_F(ProjectSessionFlow, AProjectThatCannotBeReadIsNotLoaded) {
  WriteText(folder_ / "huge.kvp", "[saverType]\ntype=fla\n" + std::string(kMaxIniBytes, ';'));
  fs::create_directory(folder_ / "folder.kvp");
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"huge.kvp", "larger than 4 MB, more than a project file can be"},
      {"folder.kvp", "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TProjectSession session;
    session.Start(kStartup);
    const std::string path = (folder_ / c.name).string();
    try {
      session.Load(path, kStartup);
      ADD_FAILURE() << "loaded";
    } catch (const EProjectReadError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open project " + path + ": " + c.reason);
    }
    EXPECT_EQ(session.FileName(), "temp.kvp");
  }
}

}  // namespace
}  // namespace kestrava::project
