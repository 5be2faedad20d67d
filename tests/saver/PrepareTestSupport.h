#pragma once

// Shared by the picture-preparation tests: PPM files, the libjpeg command-line programs as an
// independent encoder and decoder, and the screen picture made the plain way with the canvas.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Rect.h"
#include "saver/FitToScreen.h"

namespace kestrava::prepare_test {

namespace fs = std::filesystem;

inline const fs::path kFixtures = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare";

inline bool HaveProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// A folder of this test process's own, removed at the end of the test.
class TTempDir {
 public:
  TTempDir()
      : path_(fs::temp_directory_path() /
              ("kestrava-prepare-" + std::to_string(::getpid()) + "-" + std::to_string(next_++))) {
    fs::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const fs::path& Path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

// A binary PPM (P6, largest value 255) as a 24-bit bitmap; an empty bitmap if it is not one.
inline TBitmap ReadPpm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  if (!in || magic != "P6" || maxValue != 255) return TBitmap();
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  std::vector<char> rgb(size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    if (!in.read(rgb.data(), std::streamsize(rgb.size()))) return TBitmap();
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = uint8_t(rgb[size_t(x) * 3 + 2]);
      row[x * 3 + 1] = uint8_t(rgb[size_t(x) * 3 + 1]);
      row[x * 3 + 2] = uint8_t(rgb[size_t(x) * 3 + 0]);
    }
  }
  return bitmap;
}

inline void WritePpm(const fs::path& path, const TBitmap& bitmap) {
  std::string bytes =
      "P6\n" + std::to_string(bitmap.Width()) + " " + std::to_string(bitmap.Height()) + "\n255\n";
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      for (int shift : {16, 8, 0})
        bytes += char(bitmap.PixelAt(x, y) >> shift & 0xFF);
  std::ofstream(path, std::ios::binary) << bytes;
}

// What cjpeg writes for the stored picture's settings: quality 80 with baseline tables, float
// DCT, the library's defaults otherwise. Empty when cjpeg fails.
inline std::vector<uint8_t> Cjpeg(const TBitmap& bitmap, bool progressive, const TTempDir& dir) {
  const fs::path ppm = dir / "cjpeg-in.ppm", jpeg = dir / "cjpeg-out.jpg";
  WritePpm(ppm, bitmap);
  const std::string command = std::string("cjpeg -quality 80 -baseline -dct float ") +
                              (progressive ? "-progressive " : "") + "-outfile '" + jpeg.string() +
                              "' '" + ppm.string() + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFileBytes(jpeg);
}

// djpeg with the float inverse DCT, its defaults otherwise.
inline TBitmap Djpeg(const fs::path& jpeg, const TTempDir& dir) {
  const fs::path ppm = dir / "djpeg-out.ppm";
  const std::string command =
      "djpeg -dct float -pnm -outfile '" + ppm.string() + "' '" + jpeg.string() + "'";
  if (std::system(command.c_str()) != 0) return TBitmap();
  return ReadPpm(ppm);
}

// The screen picture the plain way: a black screen, the picture stretched into target.
inline TBitmap PlainFit(const TBitmap& picture, TScreenSize screen, const TRect& target) {
  TBitmap result(screen.Width, screen.Height, TPixelFormat::pf24bit);
  result.Canvas().Brush.Color = clBlack;
  result.Canvas().FillRect({0, 0, screen.Width, screen.Height});
  result.Canvas().StretchDraw(target, picture);
  return result;
}

// Pixels compared as colours, so that bitmaps of different formats can be equal.
inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.PixelAt(x, y) & 0xFFFFFF) != (b.PixelAt(x, y) & 0xFFFFFF)) return false;
  return true;
}

}  // namespace kestrava::prepare_test
