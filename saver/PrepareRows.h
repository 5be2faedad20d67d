#pragma once

#include <cstdint>
#include <vector>

#include "imaging/JpegRows.h"
#include "raster/Bitmap.h"
#include "saver/FitToScreen.h"
#include "saver/PictureMask.h"

namespace kestrava {

// The rows of a source picture, top to bottom, as 24-bit blue, green, red.
class TRowSource {
 public:
  virtual ~TRowSource() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The picture's own size, which places it on the screen; the rows may come scaled down from it.
  virtual int FullWidth() const { return Width(); }
  virtual int FullHeight() const { return Height(); }
  // The next row, Width() * 3 bytes, valid until the next call.
  virtual const uint8_t* NextRow() = 0;
  // Passes over the next row, which the screen does not take.
  virtual void SkipRow() { NextRow(); }
};

// The rows of a source of width x height rows placed by its full size that the screen takes:
// for each row its slot among them, in row order, or -1. EncodeOnScreen asks for exactly these
// rows (and skips the others), so a source may decode the others and drop them.
struct TRowSlots {
  std::vector<int> Slot;  // one per source row
  int Count = 0;
};
TRowSlots RowSlotsOnScreen(int width, int height, int fullWidth, int fullHeight, TScreenSize screen,
                           TPictureFit fit = {});

// The rows of a bitmap of any format; with slots, of a picture of which the bitmap holds only the
// rows the screen takes, in their slots.
class TBitmapRows : public TRowSource {
 public:
  explicit TBitmapRows(const TBitmap& bitmap, const TRowSlots* slots = nullptr);
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return slots_ ? int(slots_->Slot.size()) : bitmap_.Height(); }
  const uint8_t* NextRow() override;
  void SkipRow() override { ++next_; }

 private:
  const TBitmap& bitmap_;
  const TRowSlots* slots_;
  int next_ = 0;
  TBitmap converted_;  // one row, for a bitmap that is not 24-bit
};

// The stored picture made one row at a time: the source placed on a black screen as
// ScreenPlacement places it for the fit's mode, resampled smoothly when the fit asks and the
// picture changes size (every source row is then read), else by dropping or repeating pixels,
// darkened as ApplyMask darkens (when a mask is given), and encoded as the saver stores pictures.
// Only the rows the screen takes are asked of the source, and neither the source nor the screen is
// ever held whole. Throws std::invalid_argument for an unusable screen size and whatever the source
// throws.
std::vector<uint8_t> EncodeOnScreen(TRowSource& source, TScreenSize screen,
                                    const TPictureMask* mask, bool progressive,
                                    TJpegChroma chroma = TJpegChroma::Halved, TPictureFit fit = {});

}  // namespace kestrava
