#include "saver/PrepareRows.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "imaging/JpegRows.h"
#include "raster/PixelAccess.h"
#include "raster/StretchMap.h"
#include "saver/SmoothRows.h"

namespace kestrava {

namespace {

// Copies the source pixels the columns take into their places in the screen row.
void PlaceRow(uint8_t* screenRow, const uint8_t* sourceRow, const TAxisMap& columns,
              int sourceWidth) {
  uint8_t* out = screenRow + size_t(columns.First) * 3;
  const size_t count = columns.Source.size();
  if (int(count) == sourceWidth) {
    std::memcpy(out, sourceRow, count * 3);
    return;
  }
  // Four bytes at a time while the fourth is still inside both rows: it belongs to the next
  // pixel, which is written over it.
  size_t i = 0;
  for (; i + 1 < count && columns.Source[i] + 1 < sourceWidth; ++i)
    std::memcpy(out + i * 3, sourceRow + size_t(columns.Source[i]) * 3, 4);
  for (; i < count; ++i)
    std::memcpy(out + i * 3, sourceRow + size_t(columns.Source[i]) * 3, 3);
}

// Which source pixel each screen pixel of the picture's place takes, along both axes.
struct TScreenMaps {
  TAxisMap Columns;
  TAxisMap Rows;
};

// The same pixel choice as the canvas's stretch into the placement, which a scaled-down source
// keeps: it is placed by its own size and its rows are sampled.
TScreenMaps MapsOnScreen(int width, int height, int fullWidth, int fullHeight, TScreenSize screen,
                         TFitMode mode) {
  const TRect target = ScreenPlacement(fullWidth, fullHeight, screen, mode);
  TScreenMaps maps;
  if (!target.IsEmpty()) {
    maps.Columns = BuildAxisMap(target.Left, target.Width(), 0, width, screen.Width, width);
    maps.Rows = BuildAxisMap(target.Top, target.Height(), 0, height, screen.Height, height);
  }
  if (maps.Columns.Empty()) maps.Rows = TAxisMap();
  return maps;
}

// Smooth resampling is asked for and the picture changes size on the way to its place.
bool Resamples(TPictureFit fit, int width, int height, const TRect& target) {
  return fit.Smooth && !target.IsEmpty() && (target.Width() != width || target.Height() != height);
}

// The smooth way: every source row through the resampler, the visible part of its place written.
std::vector<uint8_t> EncodeSmoothly(TRowSource& source, TScreenSize screen, const TRect& target,
                                    const TPictureMask* mask, bool progressive,
                                    TJpegChroma chroma) {
  const TRect visible = Intersect(target, {0, 0, screen.Width, screen.Height});
  std::optional<TStretchedMask> stretched;
  if (mask) stretched.emplace(*mask, screen.Width, screen.Height);
  TJpegRowWriter writer(screen.Width, screen.Height, progressive, chroma);
  std::vector<uint8_t> row(size_t(screen.Width) * 3);
  std::optional<TSmoothRows> smooth;
  if (!visible.IsEmpty())
    smooth.emplace(source, target.Width(), target.Height(), visible.Left - target.Left,
                   visible.Width());
  for (int y = 0; y < screen.Height; ++y) {
    std::fill(row.begin(), row.end(), uint8_t{0});
    if (smooth && y >= visible.Top && y < visible.Bottom) {
      std::memcpy(row.data() + size_t(visible.Left) * 3, smooth->Row(y - target.Top),
                  size_t(visible.Width()) * 3);
      if (stretched) stretched->Darken(row.data(), y, visible.Left, visible.Right);
    }
    writer.WriteRow(row.data());
  }
  return writer.Finish();
}

}  // namespace

TRowSlots RowSlotsOnScreen(int width, int height, int fullWidth, int fullHeight, TScreenSize screen,
                           TPictureFit fit) {
  CheckScreenSize(screen);
  TRowSlots slots;
  slots.Slot.assign(size_t(std::max(height, 0)), -1);
  // The resampler reads every row.
  if (Resamples(fit, width, height, ScreenPlacement(fullWidth, fullHeight, screen, fit.Mode))) {
    for (int& slot : slots.Slot)
      slot = slots.Count++;
    return slots;
  }
  const TScreenMaps maps = MapsOnScreen(width, height, fullWidth, fullHeight, screen, fit.Mode);
  for (const int row : maps.Rows.Source)
    if (slots.Slot[size_t(row)] < 0) slots.Slot[size_t(row)] = slots.Count++;
  return slots;
}

TBitmapRows::TBitmapRows(const TBitmap& bitmap, const TRowSlots* slots)
    : bitmap_(bitmap), slots_(slots) {
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit)
    converted_ = TBitmap(bitmap.Width(), 1, TPixelFormat::pf24bit);
}

const uint8_t* TBitmapRows::NextRow() {
  int y = next_++;
  if (slots_) {
    y = slots_->Slot[size_t(y)];
    if (y < 0) throw std::logic_error("A row not kept was asked for");
  }
  if (bitmap_.PixelFormat() == TPixelFormat::pf24bit) return bitmap_.ScanLine(y);
  ConvertRow(bitmap_, y, converted_, 0, 0, bitmap_.Width());
  return converted_.ScanLine(0);
}

std::vector<uint8_t> EncodeOnScreen(TRowSource& source, TScreenSize screen,
                                    const TPictureMask* mask, bool progressive, TJpegChroma chroma,
                                    TPictureFit fit) {
  CheckScreenSize(screen);
  const int width = source.Width();
  const TRect target = ScreenPlacement(source.FullWidth(), source.FullHeight(), screen, fit.Mode);
  if (Resamples(fit, width, source.Height(), target))
    return EncodeSmoothly(source, screen, target, mask, progressive, chroma);
  const TScreenMaps maps = MapsOnScreen(width, source.Height(), source.FullWidth(),
                                        source.FullHeight(), screen, fit.Mode);
  const TAxisMap& columns = maps.Columns;
  const TAxisMap& rows = maps.Rows;
  std::optional<TStretchedMask> stretched;
  if (mask) stretched.emplace(*mask, screen.Width, screen.Height);

  TJpegRowWriter writer(screen.Width, screen.Height, progressive, chroma);
  const size_t rowBytes = size_t(screen.Width) * 3;
  // The margins of the picture row stay black: only the picture's columns are ever written.
  std::vector<uint8_t> black(rowBytes), picture(rowBytes);
  int rowsRead = 0;
  const uint8_t* sourceRow = nullptr;
  for (int y = 0; y < screen.Height; ++y) {
    if (y < rows.First || y >= rows.End()) {
      writer.WriteRow(black.data());
      continue;
    }
    const int sourceY = rows.Source[size_t(y - rows.First)];
    for (; rowsRead < sourceY; ++rowsRead)
      source.SkipRow();
    if (rowsRead == sourceY) {
      sourceRow = source.NextRow();
      ++rowsRead;
    }
    PlaceRow(picture.data(), sourceRow, columns, width);
    if (stretched) stretched->Darken(picture.data(), y, columns.First, columns.End());
    writer.WriteRow(picture.data());
  }
  return writer.Finish();
}

}  // namespace kestrava
