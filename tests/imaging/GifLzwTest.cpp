// The image data decoder: codes as written by hand, so that each case holds the one sequence it
// is about.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "imaging/GifPicture.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

using namespace giftest;

using TCodes = std::vector<std::pair<int, int>>;

// A w x h frame over a 4-colour screen, minimum code size 2 (clear 4, end 5, first free 6),
// with the given data after the minimum code size byte, then another 1 x 1 frame of index 3, so
// that a case also shows where the stream stood after the data.
TBytes FrameWithData(int w, int h, const TBytes& data, bool interlaced = false,
                     TBytes extensions = {}) {
  return Cat({Screen(w, h, {kRed, kGreen, kBlue, kWhite}),
              extensions,
              {0x2C, 0, 0, 0, 0},
              Word(w),
              Word(h),
              {uint8_t(interlaced ? 0x40 : 0), 2},
              data,
              Image(0, 0, 1, 1, {3}),
              Trailer()});
}

TEST(GifLzw, CodesBecomePixels) {
  const struct {
    const char* Name;
    int W, H;
    TBytes Data;
    TBytes Pixels;
    std::vector<std::string> Warnings;
  } cases[] = {
      {"literals", 2, 2, SubBlocks(PackCodes(LiteralCodes(2, {3, 2, 1, 0}))), {3, 2, 1, 0}, {}},
      // 6 is the next free code when it comes: the previous string plus its own first value.
      {"code not in the table yet",
       3,
       2,
       SubBlocks(PackCodes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}})),
       {1, 1, 1, 1, 1, 1},
       {}},
      {"strings from the table",
       3,
       2,
       SubBlocks(PackCodes({{4, 3}, {2, 3}, {3, 3}, {6, 3}, {5, 4}})),
       {2, 3, 2, 3, 0, 0},
       {}},
      {"clear codes in the middle and in a row",
       2,
       2,
       SubBlocks(PackCodes({{4, 3}, {1, 3}, {4, 3}, {4, 3}, {2, 3}, {6, 3}, {5, 3}})),
       {1, 2, 2, 2},
       {}},
      // 7 comes before the table has it; after the next clear the table is sound again.
      {"code beyond the table, then a clear",
       3,
       2,
       SubBlocks(PackCodes({{4, 3}, {1, 3}, {7, 3}, {4, 3}, {2, 3}, {6, 3}, {5, 3}})),
       {1, 1, 1, 2, 2, 2},
       {}},
      {"the first code needs no clear",
       2,
       1,
       SubBlocks(PackCodes({{3, 3}, {1, 3}, {5, 3}})),
       {3, 1},
       {}},
      {"code spanning sub-blocks of one byte",
       2,
       2,
       SubBlocks(PackCodes(LiteralCodes(2, {1, 3, 0, 2})), 1),
       {1, 3, 0, 2},
       {}},
      // The sub-blocks after the end code are passed over.
      {"end code early keeps the fill",
       2,
       2,
       SubBlocks(PackCodes({{4, 3}, {2, 3}, {5, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 3}}), 1),
       {2, 0, 0, 0},
       {}},
      {"data ends early keeps the fill",
       3,
       2,
       SubBlocks(PackCodes({{4, 3}, {2, 3}, {3, 3}, {1, 3}, {2, 4}})),
       {2, 3, 1, 2, 0, 0},
       {"Decoder bit buffer under-run", "Decoder bit buffer under-run"}},
      {"no data at all",
       2,
       2,
       SubBlocks({}),
       {0, 0, 0, 0},
       {"Decoder bit buffer under-run", "Decoder bit buffer under-run"}},
      // After the last pixel one more code is read: the end code here, which passes over the
      // sub-blocks after it, whatever they hold.
      {"end code after the last pixel, then more sub-blocks",
       1,
       1,
       Cat({SubBlocks(PackCodes({{4, 3}, {2, 3}, {5, 3}}), 255, false),
            SubBlocks({0x3B, 0x2C, 0x21})}),
       {2},
       {}},
      // Codes beyond the frame in the same sub-block: the zero-length block after it is passed
      // over where the next block is looked for.
      {"extra pixels",
       1,
       1,
       SubBlocks(PackCodes({{4, 3}, {2, 3}, {1, 3}, {1, 3}, {5, 3}})),
       {2},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(FrameWithData(c.W, c.H, c.Data));
    ASSERT_EQ(load.Error, "");
    EXPECT_EQ(load.Warnings, c.Warnings);
    ASSERT_EQ(load.Picture.Images().Count(), 2);
    EXPECT_EQ(FramePixels(load.Picture), c.Pixels);
    EXPECT_EQ(FramePixels(load.Picture, 1), TBytes{3});
  }
}

TEST(GifLzw, MissingPixelsKeepTheTransparentIndex) {
  TLoad load(FrameWithData(2, 2, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})), false,
                           GraphicControl(0, 0, 2)));
  ASSERT_EQ(load.Error, "");
  EXPECT_EQ(FramePixels(load.Picture), TBytes({1, 2, 2, 2}));
}

TEST(GifLzw, TableFillsTo4096AndStaysAt12Bits) {
  // 5000 literal codes of 8-bit data without a clear: the table is full after 3838 of them and
  // the width stays 12 bits; a wrong width anywhere scrambles every pixel after it.
  TBytes pixels(5000);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = uint8_t(i * 7 + i / 256);
  const TCodes codes = LiteralCodes(8, pixels);
  EXPECT_EQ(codes.back().second, 12);
  const TBytes bytes = Cat({Screen(100, 50, std::vector<TPixel>(256, 0)),
                            {0x2C, 0, 0, 0, 0},
                            Word(100),
                            Word(50),
                            {0, 8},
                            SubBlocks(PackCodes(codes)),
                            Trailer()});
  TLoad load(bytes);
  ASSERT_EQ(load.Error, "");
  EXPECT_TRUE(load.Warnings.empty());
  EXPECT_EQ(FramePixels(load.Picture), pixels);
}

TEST(GifLzw, InterlacedRowsArriveInPassOrder) {
  const struct {
    int Height;
    std::vector<int> RowOrder;  // stored row i is displayed as row RowOrder[i]
  } cases[] = {
      {1, {0}},
      {3, {0, 2, 1}},
      {5, {0, 4, 2, 1, 3}},
      {10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Height);
    // Stored row i is filled with the value i + 1.
    TBytes stored;
    for (int i = 0; i < c.Height; ++i)
      stored.insert(stored.end(), 2, uint8_t(i + 1));
    TBytes bytes = Cat({Screen(2, c.Height, std::vector<TPixel>(16, 0)),
                        {0x2C, 0, 0, 0, 0},
                        Word(2),
                        Word(c.Height),
                        {0x40, 4},
                        SubBlocks(PackCodes(LiteralCodes(4, stored))),
                        Trailer()});
    TLoad load(bytes);
    ASSERT_EQ(load.Error, "");
    const TBytes& pixels = load.Picture.Images()[0].Data;
    for (int i = 0; i < c.Height; ++i)
      EXPECT_EQ(pixels[size_t(c.RowOrder[size_t(i)]) * 2], i + 1) << "stored row " << i;
  }
}

TEST(GifLzw, ALoopInTheTableIsAnError) {
  const struct {
    const char* Name;
    TCodes Codes;
  } cases[] = {
      // 7 comes before 6 is made, so 7 is made with itself as prefix.
      {"entry its own prefix", {{4, 3}, {1, 3}, {7, 3}, {0, 3}, {7, 4}}},
      // 6 is made with prefix 7 and 7 with prefix 6.
      {"two entries each other's prefix", {{4, 3}, {7, 3}, {6, 3}, {0, 3}, {6, 4}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad load(FrameWithData(8, 1, SubBlocks(PackCodes(c.Codes))));
    EXPECT_EQ(load.Error, "Circular decoder table entry");
    EXPECT_EQ(load.Picture.Images().Count(), 0);
  }
}

TEST(GifLzw, FileEndingInsideTheDataKeepsWhatWasDecoded) {
  const TBytes expected = {1, 2, 3, 1, 2, 3};
  const TBytes data = SubBlocks(PackCodes(LiteralCodes(2, expected)), 2);
  const TBytes head = Cat(
      {Screen(3, 2, {kRed, kGreen, kBlue, kWhite}), {0x2C, 0, 0, 0, 0}, Word(3), Word(2), {0, 2}});
  size_t before = 0;
  for (size_t cut = 0; cut < data.size(); ++cut) {
    SCOPED_TRACE(cut);
    TLoad load(Cat({head, TBytes(data.begin(), data.begin() + long(cut))}));
    ASSERT_EQ(load.Error, "");
    ASSERT_EQ(load.Picture.Images().Count(), 1);
    const TBytes& pixels = FramePixels(load.Picture);
    size_t decoded = 0;
    while (decoded < pixels.size() && pixels[decoded] == expected[decoded])
      ++decoded;
    EXPECT_GE(decoded, before);
    EXPECT_TRUE(std::all_of(pixels.begin() + long(decoded), pixels.end(),
                            [](uint8_t v) { return v == 0; }));
    before = decoded;
  }
  EXPECT_EQ(before, 6u);
}

}  // namespace
}  // namespace kestrava
