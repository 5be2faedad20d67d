#pragma once

// Drawing hand-made display lists and reading the pixels back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "SwfWriter.h"
#include "movie/DisplayList.h"
#include "movie/render/FrameRenderer.h"
#include "raster/Bitmap.h"

namespace kestrava::test {

// 100 x 100 pixels show the twips 0 .. 2000 both ways: one pixel is 20 twips.
constexpr int kSide = 100;
constexpr TSwfRect kFrame{0, 2000, 0, 2000};

inline TDisplayItem Item(uint16_t depth, uint16_t id, TSwfMatrix matrix = {}) {
  TDisplayItem item;
  item.Depth = depth;
  item.CharacterId = id;
  item.Matrix = matrix;
  return item;
}

inline TSwfMatrix Translation(double x, double y) {
  TSwfMatrix m;
  m.TranslateX = x;
  m.TranslateY = y;
  return m;
}

inline TBitmap Draw(const TFakeMovie& movie, std::vector<TDisplayItem> items,
                    TSwfRgba background = {255, 255, 255, 255}, int width = kSide,
                    int height = kSide, const TSwfRect& frameRect = kFrame) {
  TDisplayFrame frame;
  frame.Background = background;
  frame.Items = std::move(items);
  TBitmap target(width, height);
  render::TFrameRenderer renderer(movie);
  renderer.Render(frame, frameRect, target);
  return target;
}

inline TSwfRgba At(const TBitmap& bitmap, int x, int y) {
  const TPixel p = bitmap.PixelAt(x, y);
  return {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255};
}

// Each channel within `tolerance` levels.
inline ::testing::AssertionResult Near(const TSwfRgba& actual, const TSwfRgba& expected,
                                       int tolerance = 2) {
  if (std::abs(actual.R - expected.R) <= tolerance &&
      std::abs(actual.G - expected.G) <= tolerance && std::abs(actual.B - expected.B) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << int(actual.R) << ", " << int(actual.G) << ", "
                                       << int(actual.B) << "), expected (" << int(expected.R)
                                       << ", " << int(expected.G) << ", " << int(expected.B) << ")";
}

constexpr TSwfRgba kWhite{255, 255, 255, 255};
constexpr TSwfRgba kBlack{0, 0, 0, 255};
constexpr TSwfRgba kRed{255, 0, 0, 255};
constexpr TSwfRgba kGreen{0, 255, 0, 255};
constexpr TSwfRgba kBlue{0, 0, 255, 255};

}  // namespace kestrava::test
