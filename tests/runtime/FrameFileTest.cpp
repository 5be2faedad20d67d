// The dump's frame files: a write that fails (a full disk, here a file size limit) says which
// file and the system's reason, and leaves no part of the frame behind.
#include "runtime/core/FrameFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

// While it lives, files may grow to `bytes` only, and going beyond fails the write with EFBIG
// instead of killing the process.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }

 private:
  rlimit old_{};
  void (*oldSignal_)(int) = nullptr;
};

TEST(FrameFile, AFailedWriteNamesTheFileAndTheReasonAndLeavesNothing) {
  test::TScratchFolder folder;
  const std::vector<uint8_t> frame(100000, 0x5A);
  const struct {
    const char* name;
    fs::path path;
    std::function<void(const fs::path&)> write;
    std::string message;
  } cases[] = {
      {"beyond the file size limit", folder / "frame-00000.png",
       [&](const fs::path& p) {
         const TFileSizeLimit limit(4096);
         WriteFrameFile(p, frame);
       },
       "cannot write " + (folder / "frame-00000.png").string() + ": " + std::strerror(EFBIG)},
      {"in a folder that is not there", folder / "none" / "frame-00000.png",
       [&](const fs::path& p) { WriteFrameFile(p, frame); },
       "cannot create " + (folder / "none" / "frame-00000.png").string() + ": " +
           std::strerror(ENOENT)},
      {"a folder where a file is", folder / "file" / "frames",
       [&](const fs::path& p) {
         WriteFileBytes(folder / "file", frame);
         MakeFrameFolder(p);
       },
       "cannot make " + (folder / "file" / "frames").string() + ": " + std::strerror(ENOTDIR)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.write(c.path);
      ADD_FAILURE() << "no error";
    } catch (const EFrameWriteError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_FALSE(fs::exists(c.path));
  }
}

TEST(FrameFile, WritesTheBytesOverAnOlderFile) {
  test::TScratchFolder folder;
  const fs::path path = folder / "frames" / "frame-00001.png";
  MakeFrameFolder(path.parent_path());
  WriteFrameFile(path, std::vector<uint8_t>(5000, 1));
  const std::vector<uint8_t> frame = {1, 2, 3, 250};
  WriteFrameFile(path, frame);
  EXPECT_EQ(ReadFileBytes(path), frame);
}

}  // namespace
}  // namespace kestrava
