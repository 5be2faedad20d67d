#include "imaging/BmpReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"

namespace kestrava {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr const char* kTruncated = "Invalid bitmap: the pixel data ends early (file truncated?)";
// An RLE stream may leave any part of the picture undrawn (end of line, end of picture, moves),
// so its length gives no exact size. Writers encode with runs of up to 255 pixels in 2 bytes;
// a picture beyond that many pixels per byte of stream, and beyond the floor, which any stream
// may reach, is no picture the file holds.
constexpr int64_t kRlePixelsPerByte = 128;
constexpr int64_t kRlePixelFloor = int64_t{1} << 24;

// Compression values of the info headers. OS/2 2.x uses 3 and 4 for Huffman and RLE24.
enum : uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitFields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitFields = 6,
};

[[noreturn]] void Fail(const std::string& message) {
  throw EBmpError(message);
}

uint16_t Le16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// What the headers say, checked against each other and against the file's length.
struct TLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kBiRgb;
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  size_t tableStart = 0;
  size_t tableEntrySize = 4;
  size_t tableEntries = 0;
  size_t pixelStart = 0;

  bool Rle() const { return compression == kBiRle8 || compression == kBiRle4; }
  bool BitFields() const { return compression == kBiBitFields || compression == kBiAlphaBitFields; }
  int TargetRow(int64_t fileRow) const { return int(topDown ? fileRow : height - 1 - fileRow); }
  size_t RowBytes() const { return (size_t(width) * size_t(bits) + 31) / 32 * 4; }
};

// Where each stored row goes: its row of the picture, or with slots given its slot among the rows
// kept, or nowhere (null).
class TTarget {
 public:
  TTarget(TBitmap& out, const TLayout& layout, std::span<const int> slots)
      : out_(out), layout_(layout), slots_(slots) {}
  uint8_t* Line(int64_t fileRow) const {
    const int row = layout_.TargetRow(fileRow);
    if (slots_.empty()) return out_.ScanLine(row);
    const int slot = slots_[size_t(row)];
    return slot < 0 ? nullptr : out_.ScanLine(slot);
  }

 private:
  TBitmap& out_;
  const TLayout& layout_;
  std::span<const int> slots_;
};

// A picture stored whole in another format leaves the bit count 0, so that this has to be said
// before the bit depth is checked.
void RefuseEmbeddedPicture(uint32_t compression) {
  if (compression == kBiJpeg) Fail("Unsupported bitmap compression: embedded JPEG");
  if (compression == kBiPng) Fail("Unsupported bitmap compression: embedded PNG");
}

void CheckCompression(const TLayout& layout, bool os2) {
  if (os2 && layout.compression >= 3) Fail("Unsupported bitmap compression");
  switch (layout.compression) {
    case kBiRgb:
      return;
    case kBiRle8:
      if (layout.bits != 8) Fail("Invalid bitmap: RLE8 needs 8 bits per pixel");
      return;
    case kBiRle4:
      if (layout.bits != 4) Fail("Invalid bitmap: RLE4 needs 4 bits per pixel");
      return;
    case kBiBitFields:
    case kBiAlphaBitFields:
      if (layout.bits != 16 && layout.bits != 32)
        Fail("Invalid bitmap: bit fields need 16 or 32 bits per pixel");
      return;
    default:  // CMYK and whatever comes later
      Fail("Unsupported bitmap compression");
  }
}

// Before anything of the picture's size is allocated: the pixel data the rows need is there.
void CheckPixelData(std::span<const uint8_t> file, const TLayout& layout) {
  const uint64_t present = file.size() - layout.pixelStart;
  if (layout.Rle()) {
    const int64_t pixels = int64_t{layout.width} * layout.height;
    if (pixels > std::max(kRlePixelFloor, int64_t(present) * kRlePixelsPerByte))
      Fail("Invalid bitmap: " + std::to_string(present) + " bytes of RLE data cannot hold " +
           std::to_string(layout.width) + " x " + std::to_string(layout.height) + " pixels");
    return;
  }
  // Some writers stop after the last row's pixels without its padding; that much is enough.
  const uint64_t need = uint64_t(layout.RowBytes()) * uint64_t(layout.height - 1) +
                        (uint64_t(layout.width) * uint64_t(layout.bits) + 7) / 8;
  if (need > present) Fail(kTruncated);
}

TLayout ReadLayout(std::span<const uint8_t> file) {
  if (file.size() < kFileHeaderSize + 4) Fail("Invalid bitmap: truncated header");
  if (file[0] != 'B' || file[1] != 'M') Fail("Invalid bitmap: missing BM signature");
  const uint32_t headerSize = Le32(&file[14]);
  const bool core = headerSize == 12;
  const bool windows = headerSize == 40 || headerSize == 52 || headerSize == 56 ||
                       headerSize == 108 || headerSize == 124;
  // An OS/2 2.x header may end after any field from the bit count on; the rest count as zero.
  const bool os2 = !windows && headerSize >= 16 && headerSize <= 64;
  if (!core && !windows && !os2)
    Fail("Unsupported bitmap header size " + std::to_string(headerSize));
  if (file.size() - kFileHeaderSize < headerSize) Fail("Invalid bitmap: truncated header");
  std::array<uint8_t, 124> h{};
  std::memcpy(h.data(), &file[kFileHeaderSize], headerSize);

  TLayout layout;
  int64_t width = 0, height = 0;
  unsigned planes = 0;
  uint32_t colorsUsed = 0;
  if (core) {
    width = Le16(&h[4]);
    height = Le16(&h[6]);
    planes = Le16(&h[8]);
    layout.bits = Le16(&h[10]);
  } else {
    width = int32_t(Le32(&h[4]));
    height = int32_t(Le32(&h[8]));
    planes = Le16(&h[12]);
    layout.bits = Le16(&h[14]);
    layout.compression = Le32(&h[16]);
    colorsUsed = Le32(&h[32]);
  }
  if (planes != 1) Fail("Invalid bitmap: planes must be 1");
  if (windows) RefuseEmbeddedPicture(layout.compression);
  switch (layout.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail("Unsupported bitmap bit depth " + std::to_string(layout.bits));
  }
  CheckCompression(layout, os2);

  if (width < 0) Fail("Invalid bitmap: negative width");
  layout.topDown = height < 0;
  height = std::abs(height);
  if (width == 0 || height == 0) Fail("Invalid bitmap: empty picture");
  if (width > TBitmap::kMaxDimension || height > TBitmap::kMaxDimension ||
      width * height > TBitmap::kMaxPixels)
    Fail("Unsupported bitmap size " + std::to_string(width) + " x " + std::to_string(height));
  layout.width = int(width);
  layout.height = int(height);

  layout.tableStart = kFileHeaderSize + headerSize;
  if (layout.BitFields()) {
    if (headerSize >= 52) {
      for (size_t i = 0; i < (headerSize >= 56 ? 4u : 3u); ++i)
        layout.masks[i] = Le32(&h[40 + 4 * i]);
    } else {  // a 40-byte header: the masks follow it
      const size_t count = layout.compression == kBiAlphaBitFields ? 4 : 3;
      if (file.size() - layout.tableStart < 4 * count) Fail("Invalid bitmap: truncated header");
      for (size_t i = 0; i < count; ++i)
        layout.masks[i] = Le32(&file[layout.tableStart + 4 * i]);
      layout.tableStart += 4 * count;
    }
  } else if (layout.bits == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F, 0};
  }

  const uint32_t offset = Le32(&file[10]);
  if (offset < layout.tableStart || offset > file.size())
    Fail("Invalid bitmap: pixel data offset " + std::to_string(offset) + " out of range");
  layout.pixelStart = offset;
  if (layout.bits <= 8) {
    layout.tableEntrySize = core ? 3 : 4;
    layout.tableEntries = size_t{1} << layout.bits;
    if (!core && colorsUsed != 0)
      layout.tableEntries = std::min<size_t>(colorsUsed, layout.tableEntries);
    // The table never reaches into the pixels: entries that do not fit before them are black.
    layout.tableEntries =
        std::min(layout.tableEntries, (offset - layout.tableStart) / layout.tableEntrySize);
  }
  CheckPixelData(file, layout);
  return layout;
}

TPalette ReadTable(std::span<const uint8_t> file, const TLayout& layout) {
  TPalette table{};
  for (size_t i = 0; i < layout.tableEntries; ++i) {
    const uint8_t* p = &file[layout.tableStart + i * layout.tableEntrySize];
    table[i] = TPixel(p[0]) | TPixel(p[1]) << 8 | TPixel(p[2]) << 16;
  }
  return table;
}

// The rows of an uncompressed picture, the first one stored first; ReadLayout made sure that
// they are all there.
const uint8_t* PixelRows(std::span<const uint8_t> file, const TLayout& layout) {
  return file.data() + layout.pixelStart;
}

void DecodeIndexed(const uint8_t* rows, const TLayout& layout, const TTarget& out) {
  const int bits = layout.bits;
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int r = 0; r < layout.height; ++r) {
    uint8_t* dst = out.Line(r);
    if (!dst) continue;
    const uint8_t* src = rows + size_t(r) * layout.RowBytes();
    if (bits == 8) {
      std::memcpy(dst, src, size_t(layout.width));
      continue;
    }
    for (int x = 0; x < layout.width; ++x)
      dst[x] = uint8_t(src[x / perByte] >> (8 - bits * (x % perByte + 1)) & mask);
  }
}

void CopyRows(const uint8_t* rows, const TLayout& layout, const TTarget& out) {
  const size_t bytes = size_t(layout.width) * size_t(layout.bits / 8);
  for (int r = 0; r < layout.height; ++r)
    if (uint8_t* dst = out.Line(r)) std::memcpy(dst, rows + size_t(r) * layout.RowBytes(), bytes);
}

// One bit field widened to 8 bits by rounding value * 255 / max, as the reference decoders of
// the bitmap test suite do (repeating the top bits differs by one for some 5- and 6-bit values).
class TChannel {
 public:
  explicit TChannel(uint32_t mask)
      : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask >> shift_) {
    if (max_ != 0 && max_ <= 0xFFFF) {
      table_.resize(size_t(max_) + 1);
      for (uint32_t v = 0; v <= max_; ++v)
        table_[v] = Widen(v);
    }
  }
  uint8_t operator()(uint32_t pixel) const {
    const uint32_t v = (pixel & mask_) >> shift_;
    return table_.empty() ? Widen(v) : table_[v];
  }

 private:
  uint8_t Widen(uint32_t v) const {
    return max_ == 0 ? 0 : uint8_t((uint64_t{v} * 255 + max_ / 2) / max_);
  }

  uint32_t mask_;
  int shift_;
  uint32_t max_;
  std::vector<uint8_t> table_;
};

void DecodeBitFields(const uint8_t* rows, const TLayout& layout, const TTarget& out) {
  const TChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]),
      alpha(layout.masks[3]);
  const bool wide = layout.bits == 32;
  const size_t step = wide ? 4 : 3;
  for (int r = 0; r < layout.height; ++r) {
    uint8_t* dst = out.Line(r);
    if (!dst) continue;
    const uint8_t* src = rows + size_t(r) * layout.RowBytes();
    for (int x = 0; x < layout.width; ++x, dst += step) {
      const uint32_t pixel = wide ? Le32(src + 4 * size_t(x)) : Le16(src + 2 * size_t(x));
      dst[0] = blue(pixel);
      dst[1] = green(pixel);
      dst[2] = red(pixel);
      if (wide) dst[3] = alpha(pixel);
    }
  }
}

// Pixels the stream never reaches stay index 0 and runs past the right edge are clipped. A stream
// that stops before its end-of-picture code and before the last row keeps what it has drawn, or
// with TDamage::Refuse is refused.
void DecodeRle(std::span<const uint8_t> stream, const TLayout& layout, const TTarget& out,
               TDamage damage) {
  const auto endsEarly = [&] {
    if (damage == TDamage::Refuse) Fail(kTruncated);
  };
  const bool rle4 = layout.compression == kBiRle4;
  const int64_t width = layout.width;
  int64_t x = 0, row = 0;
  size_t at = 0;
  const auto put = [&](int64_t count, auto indexOf) {
    if (uint8_t* line = out.Line(row))
      for (int64_t i = 0, n = std::min(count, width - x); i < n; ++i)
        line[x + i] = uint8_t(indexOf(i));
    x += count;
  };
  while (row < layout.height && stream.size() - at >= 2) {
    const uint8_t count = stream[at], value = stream[at + 1];
    at += 2;
    if (count > 0) {
      put(count, [&](int64_t i) { return rle4 ? (i % 2 ? value & 15 : value >> 4) : value; });
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // move right and up
        if (stream.size() - at < 2) return endsEarly();
        x += stream[at];
        row += stream[at + 1];
        at += 2;
        break;
      default: {  // a run of literal indices, padded to a 16-bit boundary
        const size_t bytes = rle4 ? (value + 1u) / 2 : value;
        const size_t available = std::min(bytes, stream.size() - at);
        const uint8_t* data = stream.data() + at;
        put(rle4 ? std::min<int64_t>(value, int64_t(available) * 2) : int64_t(available),
            [&](int64_t i) {
              return rle4 ? (i % 2 ? data[i / 2] & 15 : data[i / 2] >> 4) : data[i];
            });
        if (available < bytes) return endsEarly();
        at = std::min(stream.size(), at + ((bytes + 1) & ~size_t{1}));
      }
    }
  }
  if (row < layout.height) endsEarly();
}

// The picture, or with slots only the rows they keep.
TBitmap Read(std::span<const uint8_t> bytes, TDamage damage, std::span<const int> slots, int kept) {
  const TLayout layout = ReadLayout(bytes);
  if (!slots.empty() && slots.size() != size_t(layout.height))
    throw std::invalid_argument("Row slots for another picture height");
  // A picture of which nothing is kept is still read through, to be refused as it would be.
  const int height = slots.empty() ? layout.height : std::max(kept, 1);
  if (layout.bits <= 8) {
    TBitmap out(layout.width, height, TPixelFormat::pf8bit);
    out.SetPalette(ReadTable(bytes, layout));
    const TTarget target(out, layout, slots);
    if (layout.compression == kBiRgb)
      DecodeIndexed(PixelRows(bytes, layout), layout, target);
    else
      DecodeRle(bytes.subspan(layout.pixelStart), layout, target, damage);
    return out;
  }
  const bool copy = layout.compression == kBiRgb && layout.bits != 16;
  TBitmap out(layout.width, height,
              layout.bits == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
  const TTarget target(out, layout, slots);
  const uint8_t* rows = PixelRows(bytes, layout);
  if (copy)
    CopyRows(rows, layout, target);
  else
    DecodeBitFields(rows, layout, target);
  return out;
}

}  // namespace

TBmpSize BmpSize(std::span<const uint8_t> bytes) {
  const TLayout layout = ReadLayout(bytes);
  return {layout.width, layout.height, layout.bits <= 8 ? 1 : layout.bits == 32 ? 4 : 3};
}

TBitmap ReadBmp(std::span<const uint8_t> bytes, TDamage damage) {
  return Read(bytes, damage, {}, 0);
}

TBitmap ReadBmpRows(std::span<const uint8_t> bytes, std::span<const int> slots, int kept,
                    TDamage damage) {
  return Read(bytes, damage, slots, kept);
}

TBitmap ReadBmpFile(const std::filesystem::path& path) {
  return ReadBmp(ReadFileBytes(path));
}

}  // namespace kestrava
