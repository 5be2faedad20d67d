#pragma once

// Helpers shared by the widget tests: what a widget shows, read back as pixels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <QColor>
#include <QImage>
#include <QWidget>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"

namespace kestrava::test {

// What the widget paints now, at one device pixel per widget pixel.
inline QImage GrabImage(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline std::string ColorText(QRgb c) {
  return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," +
         std::to_string(qBlue(c)) + ")";
}

// Every channel within tolerance: lossy pictures (JPEG) are compared with a margin.
inline ::testing::AssertionResult ColorNear(QRgb actual, QRgb expected, int tolerance = 0) {
  if (std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
      std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
      std::abs(qBlue(actual) - qBlue(expected)) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "colour " << ColorText(actual) << ", expected "
                                       << ColorText(expected) << " +-" << tolerance;
}

// The colours of a picture of four quadrants, clockwise from the top left.
struct TQuadrants {
  QRgb TopLeft, TopRight, BottomRight, BottomLeft;
};

// The centre pixel of each quarter of the image.
inline TQuadrants QuadrantCentres(const QImage& image) {
  const int x0 = image.width() / 4, x1 = image.width() * 3 / 4;
  const int y0 = image.height() / 4, y1 = image.height() * 3 / 4;
  return {image.pixel(x0, y0), image.pixel(x1, y0), image.pixel(x1, y1), image.pixel(x0, y1)};
}

inline ::testing::AssertionResult ShowsQuadrants(const QImage& image, const TQuadrants& expected,
                                                 int tolerance = 0) {
  const TQuadrants actual = QuadrantCentres(image);
  const QRgb a[] = {actual.TopLeft, actual.TopRight, actual.BottomRight, actual.BottomLeft};
  const QRgb e[] = {expected.TopLeft, expected.TopRight, expected.BottomRight, expected.BottomLeft};
  const char* names[] = {"top left", "top right", "bottom right", "bottom left"};
  for (int i = 0; i < 4; ++i)
    if (const auto near = ColorNear(a[i], e[i], tolerance); !near)
      return ::testing::AssertionFailure() << names[i] << ": " << near.message();
  return ::testing::AssertionSuccess();
}

// A device bitmap of four solid quadrants.
inline TBitmap QuadrantBitmap(int width, int height, const TQuadrants& q) {
  TBitmap bitmap(width, height);
  TCanvas& canvas = bitmap.Canvas();
  const int cx = width / 2, cy = height / 2;
  const auto fill = [&canvas](QRgb c, const TRect& r) {
    canvas.Brush.Color = RGBColor(uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)));
    canvas.FillRect(r);
  };
  fill(q.TopLeft, {0, 0, cx, cy});
  fill(q.TopRight, {cx, 0, width, cy});
  fill(q.BottomRight, {cx, cy, width, height});
  fill(q.BottomLeft, {0, cy, cx, height});
  return bitmap;
}

}  // namespace kestrava::test
