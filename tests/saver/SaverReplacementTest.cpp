// The saver file is replaced in one step: what is at its path stays until a complete new saver
// takes its place, whatever happens to the build on the way.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "saver/BuildCommand.h"
#include "saver/SaverFileReader.h"
#include "tests/saver/BuildTestSupport.h"
#include "tests/saver/SaverTestSupport.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using savertest::BuildCommand;
using savertest::Bytes;
using savertest::ReadBytes;
using savertest::TBytes;
using savertest::TRecordingFeedback;
using savertest::WriteBytes;

const TBytes kEarlierSaver = Bytes("an earlier saver");

// A pipe that tells one process where the other one is.
class TSignalPipe {
 public:
  TSignalPipe() {
    if (::pipe(fds_) != 0) std::abort();
  }
  ~TSignalPipe() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  void Send(const std::string& text) const {
    const std::string line = text + '\n';
    [[maybe_unused]] const ssize_t n = ::write(fds_[1], line.data(), line.size());
  }
  // One line; empty when the writers are gone.
  std::string Receive() const {
    std::string line;
    for (char c; ::read(fds_[0], &c, 1) == 1 && c != '\n';)
      line += c;
    return line;
  }

 private:
  int fds_[2];
};

// Holds the build at its first picture: says so on `reached`, then waits for `release`.
class THeldFeedback : public TRecordingFeedback {
 public:
  THeldFeedback(const TSignalPipe& reached, const TSignalPipe* release)
      : reached_(reached), release_(release) {}
  void PictureWritten(size_t index, size_t, const std::string&) override {
    if (index != 0) return;
    reached_.Send("writing");
    if (release_)
      release_->Receive();
    else
      for (;;)
        ::pause();
  }

 private:
  const TSignalPipe& reached_;
  const TSignalPipe* release_;
};

// Runs `body` in a child process, whose exit status the caller gets.
pid_t InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  return child;
}

int ExitStatus(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(BuildCommand, AKilledBuildLeavesTheEarlierSaverAndTheNextBuildTidiesUp) {
  WriteBytes(Output(), kEarlierSaver);
  const TSignalPipe reached;
  const pid_t child = InChild([&] {
    THeldFeedback feedback(reached, nullptr);
    RunBuild(Request(), feedback);
    return 0;
  });
  ASSERT_EQ(reached.Receive(), "writing");
  ::kill(child, SIGKILL);
  EXPECT_EQ(ExitStatus(child), 128 + SIGKILL);
  EXPECT_EQ(ReadBytes(Output()), kEarlierSaver);

  TRecordingFeedback feedback;
  ASSERT_TRUE(RunBuild(Request(), feedback).Built);
  EXPECT_EQ(TSaverFileReader{fs::path(Output())}.Blocks().size(), 3u);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"Test.scr"});
}

// Two builds to one saver never mix: the second is refused while the first writes.
TEST_F(BuildCommand, ASecondBuildOfTheSameSaverIsRefusedWhileTheFirstWrites) {
  WriteBytes(Output(), kEarlierSaver);
  const TSignalPipe reached, release;
  const pid_t child = InChild([&] {
    THeldFeedback feedback(reached, &release);
    return RunBuild(Request(), feedback).Built ? 0 : 1;
  });
  ASSERT_EQ(reached.Receive(), "writing");
  TRecordingFeedback second;
  EXPECT_FALSE(RunBuild(Request(), second).Built);
  EXPECT_EQ(second.Messages(),
            std::vector<std::string>{"error: Process failed!\nAnother build is "
                                     "writing " +
                                     Output() + " now. Build again when it has finished."});
  EXPECT_EQ(ReadBytes(Output()), kEarlierSaver);
  release.Send("go");
  EXPECT_EQ(ExitStatus(child), 0);
  EXPECT_EQ(TSaverFileReader{fs::path(Output())}.Blocks().size(), 3u);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"Test.scr"});
}

// A file-size limit (or a full disk) fails the write; the build says why and keeps the old saver.
TEST_F(BuildCommand, AFileSizeLimitFailsTheBuildWithTheSystemsReason) {
  WriteBytes(Output(), kEarlierSaver);
  const TSignalPipe said;
  const pid_t child = InChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{2000, 2000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TRecordingFeedback feedback;
    const TBuildResult result = RunBuild(Request(), feedback);
    said.Send(result.FailureReason);
    return result.Built ? 1 : 0;
  });
  EXPECT_EQ(said.Receive(), "Cannot write file " + Output() + ": File too large");
  EXPECT_EQ(ExitStatus(child), 0);
  EXPECT_EQ(ReadBytes(Output()), kEarlierSaver);
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"Test.scr"});
}

// What stands at the saver's path before the build, and what must be true after it.
TEST_F(BuildCommand, TheSaverTakesThePlaceOfWhatStoodAtItsPath) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& saver)> before;
    std::function<void(const fs::path& saver)> after;
  };
  const fs::path project = folder_ / "show.kvp";
  const Case cases[] = {
      {"a link to the project: the link is replaced, the project kept",
       [&](const fs::path& saver) {
         WriteBytes(project, Bytes("[saverType]\ntype=pic\n"));
         fs::create_symlink(project, saver);
       },
       [&](const fs::path& saver) {
         EXPECT_FALSE(fs::is_symlink(saver));
         EXPECT_EQ(ReadBytes(project), Bytes("[saverType]\ntype=pic\n"));
       }},
      {"a saver the owner made private stays private",
       [](const fs::path& saver) {
         WriteBytes(saver, kEarlierSaver);
         fs::permissions(saver, fs::perms::owner_read | fs::perms::owner_write);
       },
       [](const fs::path& saver) {
         EXPECT_EQ(fs::status(saver).permissions(), fs::perms::owner_all);
       }},
      {"the leftover of a killed build goes",
       [](const fs::path& saver) {
         WriteBytes(saver.parent_path() / ".Test.scr.0123456789abcdef.building", kEarlierSaver);
       },
       [](const fs::path&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& entry : folder_.Entries())
      fs::remove(folder_ / entry);
    c.before(Output());
    TRecordingFeedback feedback;
    ASSERT_TRUE(RunBuild(Request(), feedback).Built) << feedback.Messages().back();
    EXPECT_EQ(TSaverFileReader{fs::path(Output())}.Blocks().size(), 3u);
    c.after(Output());
    for (const std::string& entry : folder_.Entries())
      EXPECT_FALSE(entry.starts_with(".")) << entry;
  }
}

// A saver named like the project it is built from would destroy the project.
TEST_F(BuildCommand, NeverReplacesItsOwnProject) {
  WriteBytes(Output(), Bytes("[saverType]\ntype=pic\n"));
  TBuildRequest request = Request();
  request.ProjectFile = Output();
  TRecordingFeedback feedback;
  EXPECT_FALSE(RunBuild(request, feedback).Built);
  EXPECT_EQ(
      feedback.Messages(),
      std::vector<std::string>{"plain: The saver file " + Output() + " would replace " + Output() +
                               ", one of its own files. Choose another name or "
                               "folder."});
  EXPECT_EQ(ReadBytes(Output()), Bytes("[saverType]\ntype=pic\n"));
}

}  // namespace
}  // namespace kestrava
