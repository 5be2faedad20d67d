#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "imaging/BmpReader.h"
#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "tests/tools/ToolRun.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::Quoted;

const fs::path kJpeg =
    fs::path(KESTRAVA_SHARED_DIR) / "corpus/jpeg/libjpeg-turbo-testimages/testorig.jpg";
const fs::path kBmp = fs::path(KESTRAVA_SHARED_DIR) / "corpus/bmp/bmpsuite-good/rgb24.bmp";
const fs::path kPng = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare/picture.png";
const fs::path kWebp = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare/picture.webp";

class DecodeCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrava-decode-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the real tool; returns its exit code and keeps what it wrote on stderr.
  int Run(const std::string& args) {
    const std::string command =
        Quoted(KESTRAVA_TOOL_PATH) + " decode " + args + " 2>" + Quoted(dir_ / "stderr.txt");
    const int status = std::system(command.c_str());
    std::ifstream in(dir_ / "stderr.txt");
    stderr_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
  std::string stderr_;
};

TEST_F(DecodeCommandTest, WritesThePictureAsPng) {
  // A bitmap named as a JPEG is read as the bitmap it is; the WebP holds the PNG's pixels.
  const fs::path misnamed = dir_ / "bitmap.jpg";
  fs::copy_file(kBmp, misnamed);
  const struct {
    const fs::path& Input;
    TBitmap Expected;
  } cases[] = {
      {kJpeg, DecodeJpegFile(kJpeg).Bitmap},
      {kBmp, ReadBmpFile(kBmp)},
      {misnamed, ReadBmpFile(kBmp)},
      {kWebp, ReadPngFile(kPng)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Input.filename().string());
    const fs::path out = dir_ / "out.png";
    ASSERT_EQ(Run(Quoted(c.Input) + " " + Quoted(out)), 0) << stderr_;
    EXPECT_EQ(stderr_, "");
    const TBitmap png = ReadPngFile(out);
    ASSERT_EQ(png.Width(), c.Expected.Width());
    ASSERT_EQ(png.Height(), c.Expected.Height());
    for (int y = 0; y < png.Height(); ++y)
      for (int x = 0; x < png.Width(); ++x)
        ASSERT_EQ(png.PixelAt(x, y) & 0xFFFFFFu, c.Expected.PixelAt(x, y) & 0xFFFFFFu)
            << x << ", " << y;
    fs::remove(out);
  }
}

TEST_F(DecodeCommandTest, FailureSaysWhyAndLeavesNoOutput) {
  fs::copy_file(kJpeg, dir_ / "scan.tiff");
  {
    std::ofstream pdf(dir_ / "report.jpg");
    pdf << "%PDF-1.4\n";
  }
  const fs::path out = dir_ / "out.png";
  const struct {
    std::string Args;
    int ExitCode;
    std::string Stderr;  // the start of it
  } cases[] = {
      {Quoted(dir_ / "scan.tiff") + " " + Quoted(out), 1,
       "kestrava-tool: Unknown picture file extension (.tiff)\n"},
      {Quoted(dir_ / "report.jpg") + " " + Quoted(out), 1,
       "kestrava-tool: " + (dir_ / "report.jpg").string() +
           ": not a picture Kestrava reads (it looks like a PDF file)\n"},
      {Quoted(dir_ / "missing.jpg") + " " + Quoted(out), 1, "kestrava-tool: Cannot open file "},
      {Quoted(kJpeg) + " " + Quoted(dir_ / "no-such-folder" / "out.png"), 1,
       "kestrava-tool: Cannot create file "},
      {"", 2, "usage: kestrava-tool decode IN OUT.png\n"},
      {Quoted(kJpeg), 2, "usage: kestrava-tool decode IN OUT.png\n"},
      {Quoted(kJpeg) + " " + Quoted(out) + " extra", 2, "usage: kestrava-tool decode IN OUT.png\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args);
    EXPECT_EQ(Run(c.Args), c.ExitCode);
    EXPECT_EQ(stderr_.substr(0, c.Stderr.size()), c.Stderr);
    EXPECT_EQ(stderr_.find('\n'), stderr_.size() - 1) << "one line: " << stderr_;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(dir_ / "out.png.part"));
  }
}

}  // namespace
}  // namespace kestrava
