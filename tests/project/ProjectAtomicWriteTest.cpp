// A project save that fails on the disk leaves the old file byte for byte and no temporary file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "project/ProjectFile.h"
#include "tests/project/ProjectTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::project {
namespace {

namespace fs = std::filesystem;
using test::TScratchFolder;

// Caps the size of files this process may write, as a full disk would; write() then fails with
// EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(ProjectFileAtomicWrite, FailedWritesLeaveTheOldFile) {
  struct Case {
    const char* name;
    bool needsPermissions;  // root writes whatever the permission bits say
    std::function<void(const TScratchFolder&)> breakDisk;
    std::function<void(const TScratchFolder&)> repairDisk;
  };
  const auto nothing = [](const TScratchFolder&) {};
  std::optional<TFileSizeLimit> limit;
  const Case cases[] = {
      {"disk full midway", false, [&](const TScratchFolder&) { limit.emplace(512); },
       [&](const TScratchFolder&) { limit.reset(); }},
      {"read-only folder", true,
       [](const TScratchFolder& f) {
         fs::permissions(f.Path(), fs::perms::owner_write, fs::perm_options::remove);
       },
       nothing},
      {"read-only file", true,
       [](const TScratchFolder& f) { fs::permissions(f / "p.kvp", fs::perms::owner_read); },
       nothing},
  };
  TProjectSettings big = StartupSettings("/opt/kestrava/");
  for (int i = 0; i < 40; ++i)
    big.Sources.push_back("/pictures/a rather long folder name/picture " + std::to_string(i) +
                          ".jpg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsPermissions && ::geteuid() == 0) {
      std::printf("skipped '%s': running as root\n", c.name);
      continue;
    }
    const TScratchFolder folder;
    const fs::path path = folder / "p.kvp";
    SaveProjectFile(path, StartupSettings("/old/"));
    const std::string before = ReadText(path);
    c.breakDisk(folder);
    try {
      SaveProjectFile(path, big);
      ADD_FAILURE() << "no error";
    } catch (const EProjectWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path.string());
    }
    c.repairDisk(folder);
    EXPECT_EQ(ReadText(path), before);
    fs::permissions(folder.Path(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"p.kvp"});
  }
}

TEST(ProjectFileAtomicWrite, MissingFolderCreatesNothing) {
  const TScratchFolder folder;
  const fs::path path = folder / "no such folder" / "p.kvp";
  EXPECT_THROW(SaveProjectFile(path, StartupSettings("/")), EProjectWriteError);
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
}  // namespace kestrava::project
