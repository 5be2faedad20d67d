#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/StretchMap.h"

namespace kestrava {

// The darkening mask of a build, decoded once and shared read-only by every picture (also by
// several threads at once). Only each pixel's lightness L = (30 R + 59 G + 11 B) div 100 is
// kept: it is all the mask contributes.
class TPictureMask {
 public:
  // Always decoded as JPEG, whatever the name ends in. Throws EImageError (or a subclass) when the
  // file is missing or cannot be decoded.
  static TPictureMask Load(const std::filesystem::path& file);
  // From a picture in memory, of any pixel format. Throws EImageError for an empty picture.
  static TPictureMask FromBitmap(const TBitmap& picture);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint8_t* Row(int y) const { return lightness_.data() + size_t(y) * size_t(width_); }

 private:
  TPictureMask() = default;

  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> lightness_;
};

// The mask stretched over a picture of width x height as the canvas stretches (nearest
// neighbour, the mask's shape not kept), applied row by row.
class TStretchedMask {
 public:
  TStretchedMask(const TPictureMask& mask, int width, int height);
  // Pixels [x0, x1) of 24-bit row y: each channel c becomes c * L div 255.
  void Darken(uint8_t* row, int y, int x0, int x1) const;

 private:
  const TPictureMask& mask_;
  TAxisMap columns_;
  TAxisMap rows_;
};

// Darkens the whole work picture through the mask stretched over it. The picture becomes 24-bit
// first.
void ApplyMask(TBitmap& work, const TPictureMask& mask);

}  // namespace kestrava
