// Profile files on disk: what reads as empty, what refuses writes, and what a commit leaves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "project/IniFile.h"
#include "tests/project/ProjectTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::project {
namespace {

namespace fs = std::filesystem;
using test::TScratchFolder;

TEST(IniFile, MissingFileReadsEmptyAndIsCreatedWithCrLf) {
  const TScratchFolder folder;
  const fs::path path = folder / "new.ini";
  TIniFile file(path);
  EXPECT_EQ(file.ReadString("S", "k", "d"), "d");
  EXPECT_EQ(file.ReadInteger("S", "k", 7), 7);
  ASSERT_TRUE(file.WriteString("S", "k", "v"));
  ASSERT_TRUE(file.WriteInteger("S", "n", -3));
  EXPECT_FALSE(fs::exists(path));  // nothing reaches the disk before the commit
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadText(path), "[S]\r\nk=v\r\nn=-3\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"new.ini"});
}

TEST(IniFile, WhatCannotBeReadRefusesWrites) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
  };
  const Case cases[] = {
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"a FIFO, which must not block",
       [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"larger than the cap",
       [](const fs::path& p) { WriteText(p, "[S]\r\nk=v\r\n" + std::string(kMaxIniBytes, ';')); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TScratchFolder folder;
    const fs::path path = folder / "x.ini";
    c.make(path);
    const fs::file_time_type before = fs::last_write_time(path);
    TIniFile file(path);
    EXPECT_FALSE(file.Writable());
    EXPECT_EQ(file.ReadString("S", "k", "d"), "d");
    EXPECT_FALSE(file.WriteString("S", "k", "w"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(fs::last_write_time(path), before);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"x.ini"});
  }
}

TEST(IniFile, CommitKeepsPermissionsAndFollowsLinks) {
  const TScratchFolder folder;
  const fs::path real = folder / "real.ini", link = folder / "link.ini";
  WriteText(real, "[S]\nk=1\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real.ini", link);
  TIniFile file(link);
  ASSERT_TRUE(file.WriteString("S", "k", "2"));
  ASSERT_TRUE(file.Commit());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadText(real), "[S]\nk=2\n");
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.ini", "real.ini"}));
}

}  // namespace
}  // namespace kestrava::project
