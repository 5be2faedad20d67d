#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "imaging/GifBlocks.h"
#include "imaging/GifExtensions.h"
#include "imaging/GifStream.h"
#include "raster/Bitmap.h"
#include "raster/Rect.h"

namespace kestrava {

class TGifPicture;
class TGifFrame;

// Takes the rows of a picture's first frame as they are decoded, for a caller that needs only some
// of them: the frame's Data then stays empty.
class IGifRowKeeper {
 public:
  virtual ~IGifRowKeeper() = default;
  // Before the frame's data is decoded, its place known; fill is the index that pixels keep where
  // the data stops early.
  virtual void Begin(const TGifFrame& frame, uint8_t fill) = 0;
  // Where the frame's row y goes (Width indices), null for a row not kept.
  virtual uint8_t* Row(int y) = 0;
};

// One bit per pixel, set where a frame shows through; rows padded to 16 bits, first pixel in the
// high bit.
class TGifMask {
 public:
  TGifMask(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t Stride() const { return stride_; }
  bool IsSet(int x, int y) const {
    return bits_[size_t(y) * stride_ + size_t(x >> 3)] & (0x80 >> (x & 7));
  }
  void Set(int x, int y) {
    bits_[size_t(y) * stride_ + size_t(x >> 3)] |= uint8_t(0x80 >> (x & 7));
  }

 private:
  int width_;
  int height_;
  size_t stride_;
  std::vector<uint8_t> bits_;
};

// An image descriptor with the extensions in front of it and its pixels. A frame read where no
// descriptor followed its extensions has no pixels: it is Empty.
class TGifFrame {
 public:
  static constexpr uint8_t kImageSeparator = 0x2C;
  static constexpr uint8_t kLocalColorTable = 0x80;
  static constexpr uint8_t kInterlaced = 0x40;

  explicit TGifFrame(TGifPicture& image) : Image(image) {}
  TGifFrame(const TGifFrame&) = delete;
  TGifFrame& operator=(const TGifFrame&) = delete;

  TGifPicture& Image;

  uint8_t Separator = kImageSeparator;
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Packed = 0;
  TGifLocalColorTable ColorMap;
  TGifExtensionList Extensions;
  std::vector<uint8_t> Data;  // Width x Height colour indices, rows top to bottom
  bool Transparent = false;
  bool Cut = false;  // the file ended inside the image data before every pixel was decoded
  TGifGraphicControl* GraphicControl = nullptr;  // the first of Extensions, if any

  bool Interlaced() const { return Packed & kInterlaced; }
  bool Empty() const { return Data.empty(); }
  int TransparentIndex() const {
    return GraphicControl ? GraphicControl->TransparentColorIndex : 0;
  }
  // The frame's place on the logical screen.
  TRect BoundsRect() const { return {Left, Top, Left + Width, Top + Height}; }
  // Disposal method of the graphic control, 0 without one.
  int Disposal() const { return GraphicControl ? GraphicControl->Disposal() : 0; }

  void LoadFromStream(TGifReader& reader);

  // The colours of the frame's bitmap: its own table, else the image's palette.
  const TPalette& Palette();
  // 8 bits per pixel with a 256-entry table; the pixels are the colour indices, or when the image
  // dithers, its colours diffused onto the fixed 216-colour table. Made on first request.
  const TBitmap& Bitmap();
  // Where the transparent index lies, made with the bitmap; null when no pixel is transparent.
  const TGifMask* Mask();
  // Forgets the palette, bitmap and mask, to be made again on request.
  void ClearCache();

 private:
  void MakeBitmap();
  // The frame's colours as the file gives them, for dithering.
  TPalette FileColors() const;

  std::optional<TPalette> palette_;
  std::optional<TBitmap> bitmap_;
  std::optional<TGifMask> mask_;
};

// The frames of a picture in file order.
class TGifFrameList {
 public:
  std::vector<std::unique_ptr<TGifFrame>> Items;

  int Count() const { return int(Items.size()); }
  TGifFrame& operator[](int i) { return *Items[size_t(i)]; }
  const TGifFrame& operator[](int i) const { return *Items[size_t(i)]; }
  // Reads frames up to the trailer, the end of the stream or a block that is no frame.
  void LoadFromStream(TGifReader& reader, TGifPicture& image);
};

}  // namespace kestrava
