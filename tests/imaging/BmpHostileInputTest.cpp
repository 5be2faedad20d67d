// Malformed and edge-case bitmaps built byte by byte: each case changes one field of a small,
// valid file and names the message the reader must give, or the pixels it must produce.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/ImageErrors.h"

namespace kestrava {
namespace {

// A 3 x 2 8-bit picture with a two-entry table unless a case says otherwise.
struct TBmpBuilder {
  uint32_t headerSize = 40;
  int32_t width = 3;
  int32_t height = 2;
  uint16_t planes = 1;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // after a 40-byte header
  std::vector<TPixel> table = {0x102030, 0x405060};
  std::vector<uint8_t> pixels = {0, 1, 0, 0 /* bottom row */, 1, 0, 1, 0 /* top row */};
  std::optional<uint32_t> offset;  // default: right after the table

  std::vector<uint8_t> Build() const {
    const bool core = headerSize == 12;
    const size_t entrySize = core ? 3 : 4;
    std::vector<uint8_t> out;
    const auto put = [&](uint64_t v, int size) {
      for (int i = 0; i < size; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
    };
    const size_t start = 14 + headerSize + masks.size() * 4 + table.size() * entrySize;
    out.push_back('B');
    out.push_back('M');
    put(start + pixels.size(), 4);
    put(0, 4);
    put(offset.value_or(uint32_t(start)), 4);
    put(headerSize, 4);
    if (core) {
      put(uint32_t(width), 2);
      put(uint32_t(height), 2);
      put(planes, 2);
      put(bits, 2);
    } else {
      put(uint32_t(width), 4);
      put(uint32_t(height), 4);
      put(planes, 2);
      put(bits, 2);
      put(compression, 4);
      put(0, 4);  // image size, which readers cannot trust
      put(2835, 4);
      put(2835, 4);
      put(colorsUsed, 4);
      put(0, 4);
    }
    out.resize(14 + headerSize);  // a shorter OS/2 2.x header cuts fields off; longer ones are 0
    for (uint32_t mask : masks)
      put(mask, 4);
    for (TPixel entry : table)
      put(entry, int(entrySize));
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

std::vector<uint8_t> With(const std::function<void(TBmpBuilder&)>& change) {
  TBmpBuilder builder;
  change(builder);
  return builder.Build();
}

struct TBadCase {
  const char* name;
  std::function<std::vector<uint8_t>()> bytes;
  std::string message;
};

void PrintTo(const TBadCase& bad, std::ostream* os) {
  *os << bad.name;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

const TBadCase kBadCases[] = {
    {"EmptyFile", [] { return std::vector<uint8_t>{}; }, "Invalid bitmap: truncated header"},
    {"FileHeaderOnly", [] { return Cut(TBmpBuilder().Build(), 14); },
     "Invalid bitmap: truncated header"},
    {"InfoHeaderCut", [] { return Cut(TBmpBuilder().Build(), 40); },
     "Invalid bitmap: truncated header"},
    {"BitFieldMasksCut",
     [] {
       TBmpBuilder b;
       b.bits = 16;
       b.compression = 3;
       b.masks = {0xF800, 0x07E0, 0x001F};
       return Cut(b.Build(), 14 + 40 + 8);
     },
     "Invalid bitmap: truncated header"},
    {"Signature",
     [] {
       auto bytes = TBmpBuilder().Build();
       bytes[1] = 'A';
       return bytes;
     },
     "Invalid bitmap: missing BM signature"},
    {"HeaderSize13", [] { return With([](auto& b) { b.headerSize = 13; }); },
     "Unsupported bitmap header size 13"},
    {"HeaderSize200", [] { return With([](auto& b) { b.headerSize = 200; }); },
     "Unsupported bitmap header size 200"},
    {"ZeroPlanes", [] { return With([](auto& b) { b.planes = 0; }); },
     "Invalid bitmap: planes must be 1"},
    {"Bits0", [] { return With([](auto& b) { b.bits = 0; }); }, "Unsupported bitmap bit depth 0"},
    {"Bits2", [] { return With([](auto& b) { b.bits = 2; }); }, "Unsupported bitmap bit depth 2"},
    {"Bits7", [] { return With([](auto& b) { b.bits = 7; }); }, "Unsupported bitmap bit depth 7"},
    {"Bits64", [] { return With([](auto& b) { b.bits = 64; }); },
     "Unsupported bitmap bit depth 64"},
    // Writers of embedded pictures leave the bit count 0.
    {"Jpeg",
     [] {
       return With([](auto& b) {
         b.bits = 0;
         b.compression = 4;
       });
     },
     "Unsupported bitmap compression: embedded JPEG"},
    {"PngV5",
     [] {
       return With([](auto& b) {
         b.headerSize = 124;
         b.bits = 0;
         b.compression = 5;
       });
     },
     "Unsupported bitmap compression: embedded PNG"},
    {"JpegAt8Bits", [] { return With([](auto& b) { b.compression = 4; }); },
     "Unsupported bitmap compression: embedded JPEG"},
    // OS/2 2.x gives 4 another meaning.
    {"Os2Rle24",
     [] {
       return With([](auto& b) {
         b.headerSize = 64;
         b.bits = 24;
         b.compression = 4;
       });
     },
     "Unsupported bitmap compression"},
    {"Cmyk", [] { return With([](auto& b) { b.compression = 11; }); },
     "Unsupported bitmap compression"},
    {"Os2Huffman",
     [] {
       return With([](auto& b) {
         b.headerSize = 64;
         b.bits = 1;
         b.compression = 3;
       });
     },
     "Unsupported bitmap compression"},
    {"Rle8At4Bits",
     [] {
       return With([](auto& b) {
         b.bits = 4;
         b.compression = 1;
       });
     },
     "Invalid bitmap: RLE8 needs 8 bits per pixel"},
    {"Rle4At8Bits", [] { return With([](auto& b) { b.compression = 2; }); },
     "Invalid bitmap: RLE4 needs 4 bits per pixel"},
    {"BitFieldsAt24Bits",
     [] {
       return With([](auto& b) {
         b.bits = 24;
         b.compression = 3;
         b.masks = {0xFF0000, 0xFF00, 0xFF};
       });
     },
     "Invalid bitmap: bit fields need 16 or 32 bits per pixel"},
    {"ZeroWidth", [] { return With([](auto& b) { b.width = 0; }); },
     "Invalid bitmap: empty picture"},
    {"ZeroHeight", [] { return With([](auto& b) { b.height = 0; }); },
     "Invalid bitmap: empty picture"},
    {"NegativeWidth", [] { return With([](auto& b) { b.width = -3; }); },
     "Invalid bitmap: negative width"},
    {"WidthPastCap", [] { return With([](auto& b) { b.width = 70000; }); },
     "Unsupported bitmap size 70000 x 2"},
    {"PixelsPastCap",
     [] {
       return With([](auto& b) {
         b.width = 40000;
         b.height = -40000;
       });
     },
     "Unsupported bitmap size 40000 x 40000"},
    {"MostNegativeHeight", [] { return With([](auto& b) { b.height = INT32_MIN; }); },
     "Unsupported bitmap size 3 x 2147483648"},
    {"CoreSizeProductPastCap",
     [] {
       return With([](auto& b) {
         b.headerSize = 12;
         b.width = 65535;
         b.height = 65535;
       });
     },
     "Unsupported bitmap size 65535 x 65535"},
    {"OffsetPastEnd", [] { return With([](auto& b) { b.offset = 100000; }); },
     "Invalid bitmap: pixel data offset 100000 out of range"},
    {"OffsetInsideHeader", [] { return With([](auto& b) { b.offset = 20; }); },
     "Invalid bitmap: pixel data offset 20 out of range"},
    {"OffsetInsideMasks",
     [] {
       return With([](auto& b) {
         b.bits = 32;
         b.compression = 3;
         b.masks = {0xFF0000, 0xFF00, 0xFF};
         b.offset = 14 + 40 + 4;
       });
     },
     "Invalid bitmap: pixel data offset 58 out of range"},
    {"PixelsCut", [] { return Cut(TBmpBuilder().Build(), TBmpBuilder().Build().size() - 2); },
     "Invalid bitmap: the pixel data ends early (file truncated?)"},
    {"WidePixelsCut",
     [] {
       return With([](auto& b) {
         b.bits = 32;
         b.table.clear();
         b.pixels.assign(3 * 4 * 2 - 1, 0);
       });
     },
     "Invalid bitmap: the pixel data ends early (file truncated?)"},
};

class BmpBadInputTest : public testing::TestWithParam<TBadCase> {};

TEST_P(BmpBadInputTest, ThrowsWithMessage) {
  try {
    ReadBmp(GetParam().bytes());
    FAIL() << "no error";
  } catch (const EBmpError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpBadInputTest, testing::ValuesIn(kBadCases),
                         [](const testing::TestParamInfo<TBadCase>& row) {
                           return std::string(row.param.name);
                         });

// Colours of one row of a decoded picture, top row 0.
std::vector<TPixel> Row(const TBitmap& bitmap, int y) {
  std::vector<TPixel> row;
  for (int x = 0; x < bitmap.Width(); ++x)
    row.push_back(bitmap.PixelAt(x, y) & 0xFFFFFF);
  return row;
}

using Pixels = std::vector<TPixel>;
constexpr TPixel kEntry0 = 0x102030, kEntry1 = 0x405060;

TEST(BmpColourTableTest, IndexPastShortTableReadsBlack) {
  const TBitmap eight = ReadBmp(With([](auto& b) {
    b.colorsUsed = 2;
    b.pixels = {1, 2, 255, 0, 0, 1, 0, 0};
  }));
  EXPECT_EQ(Row(eight, 0), (Pixels{kEntry0, kEntry1, kEntry0}));
  EXPECT_EQ(Row(eight, 1), (Pixels{kEntry1, 0, 0}));

  const TBitmap four = ReadBmp(With([](auto& b) {
    b.bits = 4;
    b.pixels = {0x1F, 0x20, 0, 0, 0x01, 0x00, 0, 0};
  }));
  EXPECT_EQ(Row(four, 0), (Pixels{kEntry0, kEntry1, kEntry0}));
  EXPECT_EQ(Row(four, 1), (Pixels{kEntry1, 0, 0}));
}

TEST(BmpColourTableTest, TableEndsWherePixelsBegin) {
  // A 16-byte OS/2 2.x header declares no count, so 256 entries; only one fits before the
  // pixels, so index 1 reads black.
  const TBitmap os2 = ReadBmp(With([](auto& b) {
    b.headerSize = 16;
    b.table = {kEntry1};
  }));
  EXPECT_EQ(Row(os2, 0), (Pixels{0, kEntry1, 0}));
  EXPECT_EQ(Row(os2, 1), (Pixels{kEntry1, 0, kEntry1}));
  // A core header's table of 3-byte entries stops at the pixel offset too.
  const TBitmap core = ReadBmp(With([](auto& b) {
    b.headerSize = 12;
    b.bits = 1;
    b.table = {kEntry0};
    b.pixels = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};
  }));
  EXPECT_EQ(Row(core, 0), (Pixels{0, kEntry0, 0}));
  EXPECT_EQ(Row(core, 1), (Pixels{kEntry0, 0, kEntry0}));
}

TEST(BmpPixelDataTest, LastRowMayLackItsPadding) {
  auto bytes = TBmpBuilder().Build();
  bytes.pop_back();
  EXPECT_EQ(Row(ReadBmp(bytes), 0), (Pixels{kEntry1, kEntry0, kEntry1}));
}

TEST(BmpPixelDataTest, UnusedMaskReadsZero) {
  // 16-bit fields with a 4-bit red, no green and a 12-bit blue.
  const TBitmap bitmap = ReadBmp(With([](auto& b) {
    b.width = 2;
    b.height = 1;
    b.bits = 16;
    b.compression = 3;
    b.masks = {0xF000, 0, 0x0FFF};
    b.table.clear();
    b.pixels = {0xFF, 0x7F, 0x00, 0x80};
  }));
  // red 7 of 15 -> 119, blue 0xFFF -> 255; red 8 of 15 -> 136, blue 0 -> 0
  EXPECT_EQ(Row(bitmap, 0), (Pixels{0x7700FF, 0x880000}));
}

struct TRleCase {
  const char* name;
  uint16_t bits;
  std::vector<uint8_t> stream;
  Pixels top, bottom;
};

void PrintTo(const TRleCase& rle, std::ostream* os) {
  *os << rle.name;
}

const TRleCase kRleCases[] = {
    {"RunPastEdgeIsClipped",
     8,
     {5, 1, 0, 0, 1, 1, 0, 1},
     {kEntry1, kEntry0, kEntry0},
     {kEntry1, kEntry1, kEntry1}},
    {"AbsoluteRunPastEdgeIsClipped",
     8,
     {0, 4, 1, 0, 1, 1, 0, 0, 2, 1, 0, 1},
     {kEntry1, kEntry1, kEntry0},
     {kEntry1, kEntry0, kEntry1}},
    {"DeltaRightAndUp",
     8,
     {0, 2, 2, 1, 1, 1, 0, 1},
     {kEntry0, kEntry0, kEntry1},
     {kEntry0, kEntry0, kEntry0}},
    {"DeltaPastEdgeWritesNothing",
     8,
     {0, 2, 200, 0, 3, 1, 0, 0, 0, 2, 0, 9, 3, 1},
     {kEntry0, kEntry0, kEntry0},
     {kEntry0, kEntry0, kEntry0}},
    {"OddAbsoluteRunIsPadded",
     8,
     {0, 3, 1, 0, 1, 7, 0, 0, 2, 1, 0, 1},
     {kEntry1, kEntry1, kEntry0},
     {kEntry1, kEntry0, kEntry1}},
    {"StreamCutInsideAbsoluteRun",
     8,
     {1, 1, 0, 5, 0, 1},
     {kEntry0, kEntry0, kEntry0},
     {kEntry1, kEntry0, kEntry1}},
    {"StreamCutInsideDelta",
     8,
     {2, 1, 0, 2, 1},
     {kEntry0, kEntry0, kEntry0},
     {kEntry1, kEntry1, kEntry0}},
    {"EndOfBitmapStops",
     8,
     {3, 1, 0, 1, 3, 1},
     {kEntry0, kEntry0, kEntry0},
     {kEntry1, kEntry1, kEntry1}},
    {"Rle4RunAlternatesNibbles",
     4,
     {5, 0x10, 0, 0, 3, 0x11, 0, 1},
     {kEntry1, kEntry1, kEntry1},
     {kEntry1, kEntry0, kEntry1}},
    {"Rle4OddByteCountIsPadded",
     4,
     {0, 5, 0x10, 0x11, 0x10, 0x31, 0, 0, 0, 3, 0x01, 0x10, 0, 1},
     {kEntry0, kEntry1, kEntry1},
     {kEntry1, kEntry0, kEntry1}},
    {"Rle4IndexPastTableReadsBlack",
     4,
     {3, 0xF1, 0, 1},
     {kEntry0, kEntry0, kEntry0},
     {0, kEntry1, 0}},
};

class BmpRleEdgeTest : public testing::TestWithParam<TRleCase> {};

TEST_P(BmpRleEdgeTest, DecodesWithinPicture) {
  const TRleCase& rle = GetParam();
  const TBitmap bitmap = ReadBmp(With([&](auto& b) {
    b.bits = rle.bits;
    b.compression = rle.bits == 8 ? 1 : 2;
    b.pixels = rle.stream;
  }));
  EXPECT_EQ(Row(bitmap, 0), rle.top);
  EXPECT_EQ(Row(bitmap, 1), rle.bottom);
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpRleEdgeTest, testing::ValuesIn(kRleCases),
                         [](const testing::TestParamInfo<TRleCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace kestrava
