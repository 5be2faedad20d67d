#pragma once

// Helpers for the effects that reveal the new picture through a clip region: what a frame
// revealed, as a region, and the platform's recorded region answers to compare it with.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "raster/Region.h"
#include "tests/transitions/EffectTestSupport.h"

namespace kestrava::test {

// Runs a style on a numbered picture and returns the pixels it changed. Every changed pixel must
// show the picture in place, every other one keeps the old image.
inline Region RevealedRegion(int style, int w, int h, int progress, uint16_t step = 4) {
  const TBitmap picture = Numbered(w, h);
  const TBitmap frame = RunEffect(style, picture, progress, step);
  std::vector<TRect> rects;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TPixel p = frame.PixelAt(x, y);
      if (p == kOld) continue;
      EXPECT_EQ(p, picture.PixelAt(x, y)) << "style " << style << " at " << x << "," << y;
      rects.push_back({x, y, x + 1, y + 1});
    }
  return Region::FromRects(rects);
}

// The part of a region that lies over a w by h frame: all that drawing through it can change.
inline Region OverFrame(const Region& region, int w, int h) {
  return Region::Combined(region, Region::FromRect(0, 0, w, h), TCombineMode::And);
}

// The region the platform printed for the case whose "# " title starts with `title` in the
// recorded answers; nothing when the file is not there. Bands read "Y0 Y1 : X0 X1 ...".
inline std::optional<Region> RecordedRegion(std::string_view title) {
  const std::filesystem::path file =
      std::filesystem::path(KESTRAVA_SHARED_DIR) / "reference" / "gdi-regions.txt";
  std::ifstream in(file);
  if (!in) return std::nullopt;
  std::string line;
  while (std::getline(in, line) && !line.starts_with("# " + std::string(title))) {
  }
  while (std::getline(in, line) && line != "canon") {
  }
  std::vector<TRect> rects;
  while (std::getline(in, line) && !line.starts_with("end bands=")) {
    std::istringstream band(line);
    int top = 0, bottom = 0, left = 0, right = 0;
    char colon = 0;
    band >> top >> bottom >> colon;
    while (band >> left >> right)
      rects.push_back({left, top, right, bottom});
  }
  EXPECT_TRUE(line.starts_with("end bands=")) << "no recorded case '" << title << "'";
  return Region::FromRects(rects);
}

inline void ExpectSameRegion(const Region& actual, const Region& expected) {
  EXPECT_TRUE(actual == expected) << "actual:\n"
                                  << actual.Canonical() << "expected:\n"
                                  << expected.Canonical();
}

}  // namespace kestrava::test
