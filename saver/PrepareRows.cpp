#include "saver/PrepareRows.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "imaging/JpegRows.h"
#include "raster/PixelAccess.h"
#include "raster/StretchMap.h"

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
TScreenMaps MapsOnScreen(int width, int height, int fullWidth, int fullHeight, TScreenSize screen) {
  const TRect target = ScreenPlacement(fullWidth, fullHeight, screen);
  TScreenMaps maps;
  if (!target.IsEmpty()) {
    maps.Columns = BuildAxisMap(target.Left, target.Width(), 0, width, screen.Width, width);
    maps.Rows = BuildAxisMap(target.Top, target.Height(), 0, height, screen.Height, height);
  }
  if (maps.Columns.Empty()) maps.Rows = TAxisMap();
  return maps;
}

}  // namespace

TRowSlots RowSlotsOnScreen(int width, int height, int fullWidth, int fullHeight,
                           TScreenSize screen) {
  CheckScreenSize(screen);
  const TScreenMaps maps = MapsOnScreen(width, height, fullWidth, fullHeight, screen);
  TRowSlots slots;
  slots.Slot.assign(size_t(std::max(height, 0)), -1);
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
                                    const TPictureMask* mask, bool progressive,
                                    TJpegChroma chroma) {
  CheckScreenSize(screen);
  const int width = source.Width();
  const TScreenMaps maps =
      MapsOnScreen(width, source.Height(), source.FullWidth(), source.FullHeight(), screen);
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
