#include "raster/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "raster/Canvas.h"
#include "raster/PixelAccess.h"

namespace kestrava {

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf8bit:
      return 8;
    case TPixelFormat::pf24bit:
      return 24;
    case TPixelFormat::pfDevice:
    case TPixelFormat::pf32bit:
      return 32;
  }
  return 32;
}

const TPalette& Palette332() {
  static const TPalette table = [] {
    TPalette p{};
    for (int i = 0; i < 256; ++i) {
      const int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
      p[size_t(i)] = TPixel(r * 255 / 7) << 16 | TPixel(g * 255 / 7) << 8 | TPixel(b * 255 / 3);
    }
    return p;
  }();
  return table;
}

size_t TBitmap::StrideFor(int width, TPixelFormat format) {
  return (size_t(width) * size_t(kestrava::BitsPerPixel(format)) / 8 + 3) & ~size_t(3);
}

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>(*this)) {}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : TBitmap() {
  Allocate(width, height, format);
  if (format == TPixelFormat::pf8bit) palette_ = Palette332();
}

TBitmap::TBitmap(const TBitmap& other)
    : width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      stride_(other.stride_),
      pixels_(other.pixels_),
      palette_(other.palette_),
      canvas_(std::make_unique<TCanvas>(*this)) {
  canvas_->Brush = other.canvas_->Brush;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  format_ = other.format_;
  stride_ = other.stride_;
  pixels_ = other.pixels_;
  palette_ = other.palette_;
  return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      format_(other.format_),
      stride_(std::exchange(other.stride_, 0)),
      pixels_(std::move(other.pixels_)),
      palette_(other.palette_),
      canvas_(std::make_unique<TCanvas>(*this)) {
  canvas_->Brush = other.canvas_->Brush;
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  if (this == &other) return *this;
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  format_ = other.format_;
  stride_ = std::exchange(other.stride_, 0);
  pixels_ = std::move(other.pixels_);
  other.pixels_.clear();
  palette_ = other.palette_;
  return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
  if (width < 0 || height < 0 || width > kMaxDimension || height > kMaxDimension ||
      int64_t{width} * height > kMaxPixels)
    throw EBitmapError("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                       " is too large");
  if (width == 0 || height == 0) width = height = 0;
  width_ = width;
  height_ = height;
  format_ = format;
  stride_ = StrideFor(width, format);
  pixels_.assign(stride_ * size_t(height), 0);
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  TBitmap old(std::move(*this));
  Allocate(width, height, old.format_);
  palette_ = old.palette_;
  const int rows = std::min(height_, old.height_);
  const size_t bytes = std::min(stride_, old.stride_);
  for (int y = 0; y < rows; ++y)
    std::memcpy(ScanLine(y), old.ScanLine(y), bytes);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  if (kestrava::BitsPerPixel(format) == kestrava::BitsPerPixel(format_)) {
    format_ = format;  // pfDevice and pf32bit share one layout
    return;
  }
  TBitmap old(std::move(*this));
  palette_ = old.palette_;
  Allocate(old.width_, old.height_, format);
  if (format == TPixelFormat::pf8bit) palette_ = Palette332();
  TPaletteMatcher matcher(palette_);
  for (int y = 0; y < height_; ++y)
    ConvertRow(old, y, *this, y, 0, width_, &matcher);
}

TPixel TBitmap::PixelAt(int x, int y) const {
  return FetchPixel(*this, ScanLine(y), x);
}

}  // namespace kestrava
