#pragma once

// libjpeg's command-line programs as an independent encoder and decoder for the JPEG tests, and
// the PPM files they exchange with us.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "raster/Bitmap.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::test {

inline bool HaveProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// A binary PPM (P6, largest value 255) as a 24-bit bitmap; an empty bitmap if it is not one.
inline TBitmap ReadPpm(const std::filesystem::path& path) {
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

inline void WritePpm(const std::filesystem::path& path, const TBitmap& bitmap) {
  std::string bytes =
      "P6\n" + std::to_string(bitmap.Width()) + " " + std::to_string(bitmap.Height()) + "\n255\n";
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      for (int shift : {16, 8, 0})
        bytes += char(bitmap.PixelAt(x, y) >> shift & 0xFF);
  std::ofstream(path, std::ios::binary) << bytes;
}

// What cjpeg writes for the settings EncodeJpeg promises: quality 80 with baseline tables, float
// DCT, the library's defaults otherwise. Empty when cjpeg fails.
inline std::vector<uint8_t> Cjpeg(const TBitmap& bitmap, bool progressive,
                                  const TScratchFolder& folder) {
  const std::filesystem::path ppm = folder / "cjpeg-in.ppm", jpeg = folder / "cjpeg-out.jpg";
  WritePpm(ppm, bitmap);
  const std::string command = std::string("cjpeg -quality 80 -baseline -dct float ") +
                              (progressive ? "-progressive " : "") + "-outfile '" + jpeg.string() +
                              "' '" + ppm.string() + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFileBytes(jpeg);
}

// djpeg with the float inverse DCT, its defaults otherwise; an empty bitmap when djpeg fails or
// writes no colour PPM.
inline TBitmap Djpeg(const std::filesystem::path& jpeg, const TScratchFolder& folder) {
  const std::filesystem::path ppm = folder / "djpeg-out.ppm";
  const std::string command =
      "djpeg -dct float -pnm -outfile '" + ppm.string() + "' '" + jpeg.string() + "'";
  if (std::system(command.c_str()) != 0) return TBitmap();
  return ReadPpm(ppm);
}

}  // namespace kestrava::test
