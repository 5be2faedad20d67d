#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "raster/Color.h"

namespace kestrava {

class TCanvas;

// pfDevice is what the screen uses; here that is 32 bits per pixel (blue, green, red, x).
enum class TPixelFormat { pfDevice, pf8bit, pf24bit, pf32bit };

int BitsPerPixel(TPixelFormat format);

// Raised when a bitmap cannot be made as asked (a size beyond the limits below).
class EBitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TPalette = std::array<TPixel, 256>;

// A picture in memory with its own canvas. Rows run top to bottom; each starts on a 4-byte
// boundary. 8-bit pixels index a 256-entry colour table; 24-bit pixels are blue, green, red;
// 32-bit pixels blue, green, red and a fourth byte that our drawing writes as 0.
class TBitmap {
 public:
  // Neither side may exceed this, and the pixels may not exceed kMaxPixels: a hostile file's
  // header cannot make us allocate more than about 1 GiB for one picture.
  static constexpr int kMaxDimension = 65535;
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;

  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pfDevice);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;
  ~TBitmap();

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Keeps the pixels that stay inside; new area is black (index 0 for 8 bits).
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return format_; }
  // Converts the pixels; to 8 bits the picture is mapped onto a fixed 3-3-2 colour table.
  void SetPixelFormat(TPixelFormat format);
  int BitsPerPixel() const { return kestrava::BitsPerPixel(format_); }
  size_t Stride() const { return stride_; }

  uint8_t* ScanLine(int y) { return pixels_.data() + size_t(y) * stride_; }
  const uint8_t* ScanLine(int y) const { return pixels_.data() + size_t(y) * stride_; }

  // The colour table of an 8-bit bitmap (kept, but unused, in the other formats).
  const TPalette& Palette() const { return palette_; }
  void SetPalette(const TPalette& palette) { palette_ = palette; }

  // One pixel as 0x00RRGGBB whatever the format; for tests and tools, not for inner loops.
  TPixel PixelAt(int x, int y) const;

  TCanvas& Canvas() { return *canvas_; }
  const TCanvas& Canvas() const { return *canvas_; }

  static size_t StrideFor(int width, TPixelFormat format);

 private:
  void Allocate(int width, int height, TPixelFormat format);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pfDevice;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
  TPalette palette_{};
  std::unique_ptr<TCanvas> canvas_;
};

// The fixed table used when a picture is reduced to 8 bits: 3 bits red, 3 green, 2 blue.
const TPalette& Palette332();

}  // namespace kestrava
