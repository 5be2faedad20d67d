#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Region.h"

namespace kestrava {
namespace {

// A source whose every pixel names its own coordinates, and a destination pre-filled with a
// value no source pixel has, so that each written pixel tells where it came from.
constexpr TPixel kUnwritten = 0xFFFFFFFFu;

TBitmap Numbered(int w, int h, TPixelFormat format = TPixelFormat::pf32bit) {
  TBitmap b(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = TPixel(y) << 12 | TPixel(x);
  b.SetPixelFormat(format);
  return b;
}

TBitmap Blank(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    std::fill_n(reinterpret_cast<uint32_t*>(b.ScanLine(y)), w, kUnwritten);
  return b;
}

// "x,y" of the source pixel in each destination pixel, "." where nothing was written.
std::string Describe(const TBitmap& b) {
  std::ostringstream out;
  for (int y = 0; y < b.Height(); ++y) {
    out << "  y=" << y << "  ";
    for (int x = 0; x < b.Width(); ++x) {
      const TPixel p = b.PixelAt(x, y);
      const TPixel raw = reinterpret_cast<const uint32_t*>(b.ScanLine(y))[x];
      if (raw == kUnwritten)
        out << " .";
      else
        out << ' ' << (p & 0xFFF) << ',' << (p >> 12 & 0xFFF);
    }
    out << '\n';
  }
  return out.str();
}

TEST(StretchBlt, MatchesTheRecordedPlatformMappings) {
  std::ifstream in(std::string(KESTRAVA_SHARED_DIR) + "/reference/gdi-stretch.txt");
  if (!in) GTEST_SKIP() << "reference answers not found";
  std::string line;
  int cases = 0;
  while (std::getline(in, line)) {
    if (line.rfind("> stretch", 0) != 0) continue;
    std::istringstream args(line.substr(9));
    int sw, sh, dw, dh, xd, yd, wd, hd, xs, ys, ws, hs;
    args >> sw >> sh >> dw >> dh >> xd >> yd >> wd >> hd >> xs >> ys >> ws >> hs;
    TBitmap source = Numbered(sw, sh), dest = Blank(dw, dh);
    const bool ret = dest.Canvas().StretchBlt(xd, yd, wd, hd, source, xs, ys, ws, hs);
    std::string header, expected, row;
    std::getline(in, header);
    while (std::getline(in, row) && row != "end") {
      // "  y=0   0,0 0,0" -> "  y=0   0,0 0,0" with single blanks between cells, as Describe.
      std::istringstream cells(row);
      std::string cell;
      cells >> cell;
      expected += "  " + cell + "  ";
      while (cells >> cell)
        expected += " " + cell;
      expected += '\n';
    }
    SCOPED_TRACE(line);
    EXPECT_EQ(header, "stretch ret=" + std::to_string(ret) + " dst=" + std::to_string(dw) + "x" +
                          std::to_string(dh));
    EXPECT_EQ(Describe(dest), expected);
    ++cases;
  }
  EXPECT_GT(cases, 0);
}

// Integer factors have an obvious answer: enlarging repeats each pixel k times; shrinking keeps
// the last pixel of each run of k.
TEST(StretchBlt, IntegerFactorsRepeatOrKeepTheLastOfEachRun) {
  for (int k : {1, 2, 3, 10}) {
    TBitmap small = Numbered(7, 5), big = Blank(7 * k, 5 * k);
    big.Canvas().StretchDraw({0, 0, 7 * k, 5 * k}, small);
    for (int y = 0; y < 5 * k; ++y)
      for (int x = 0; x < 7 * k; ++x)
        ASSERT_EQ(big.PixelAt(x, y), TPixel(y / k) << 12 | TPixel(x / k))
            << k << " " << x << "," << y;

    TBitmap large = Numbered(7 * k, 5 * k), shrunk = Blank(7, 5);
    shrunk.Canvas().StretchDraw({0, 0, 7, 5}, large);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        ASSERT_EQ(shrunk.PixelAt(x, y), TPixel(y * k + k - 1) << 12 | TPixel(x * k + k - 1))
            << k << " " << x << "," << y;
  }
}

TEST(StretchBlt, NegativeExtentsMirrorAnchoredAtTheLastPixel) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    const int sw = 1 + int(rng() % 30), sh = 1 + int(rng() % 20);
    // Every other case keeps the size, for the table-free one-to-one paths.
    const bool sameSize = round % 2;
    const int dw = sameSize ? sw : 1 + int(rng() % 40), dh = sameSize ? sh : 1 + int(rng() % 25);
    SCOPED_TRACE(::testing::Message() << sw << "x" << sh << " -> " << dw << "x" << dh);
    TBitmap source = Numbered(sw, sh), plain = Blank(dw, dh), mirrored = Blank(dw, dh),
            twice = Blank(dw, dh);
    plain.Canvas().StretchBlt(0, 0, dw, dh, source, 0, 0, sw, sh);
    mirrored.Canvas().StretchBlt(dw - 1, dh - 1, -dw, -dh, source, 0, 0, sw, sh);
    // Mirrored on both sides is no mirror at all (when scaling, the rounding is one-sided).
    twice.Canvas().StretchBlt(dw - 1, dh - 1, -dw, -dh, source, sw - 1, sh - 1, -sw, -sh);
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        ASSERT_EQ(mirrored.PixelAt(x, y), plain.PixelAt(dw - 1 - x, dh - 1 - y));
        if (sameSize) {
          ASSERT_EQ(twice.PixelAt(x, y), plain.PixelAt(x, y));
        }
      }
  }
}

TEST(StretchBlt, LeavesPixelsWhoseSourceIsOutsideTheSource) {
  TBitmap source = Numbered(4, 4), dest = Blank(8, 8);
  // Source rectangle starts two pixels left of and above the bitmap.
  dest.Canvas().StretchBlt(0, 0, 6, 6, source, -2, -2, 6, 6);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const TPixel raw = reinterpret_cast<const uint32_t*>(dest.ScanLine(y))[x];
      if (x >= 2 && x < 6 && y >= 2 && y < 6)
        EXPECT_EQ(raw, TPixel(y - 2) << 12 | TPixel(x - 2));
      else
        EXPECT_EQ(raw, kUnwritten) << x << "," << y;
    }
  EXPECT_FALSE(dest.Canvas().StretchBlt(0, 0, 0, 6, source, 0, 0, 4, 4));
}

TEST(Canvas, CopyWithinOneBitmapReadsItsSourceFirst) {
  struct Case {
    const char* name;
    TRect dest, source;
  };
  const Case cases[] = {
      {"shift right by one", {1, 0, 20, 12}, {0, 0, 19, 12}},
      {"shift right by six", {6, 0, 20, 12}, {0, 0, 14, 12}},
      {"shift left by three", {0, 0, 17, 12}, {3, 0, 20, 12}},
      {"shift down and right", {2, 3, 20, 12}, {0, 0, 18, 9}},
      {"enlarge over itself", {0, 0, 20, 12}, {5, 3, 15, 9}},
      {"mirror onto itself", {19, 0, -1, 12}, {0, 0, 20, 12}},
      {"whole rows down", {0, 2, 20, 12}, {0, 0, 20, 10}},
      {"whole rows up", {0, 0, 20, 9}, {0, 3, 20, 12}},
      {"squeeze into the bottom", {0, 5, 20, 12}, {0, 0, 20, 12}},
      {"squeeze into the top", {0, 0, 20, 7}, {0, 0, 20, 12}},
      {"squeeze rows and columns in place", {0, 0, 13, 12}, {0, 0, 20, 12}},
      {"stretch columns on the same rows", {0, 0, 20, 12}, {4, 0, 14, 12}},
      {"mirror columns on the same rows", {19, 0, -20, 12}, {0, 0, 20, 12}},
      {"mirror rows", {0, 11, 20, -12}, {0, 0, 20, 12}},
  };
  const TRect clipRects[] = {{0, 0, 7, 5}, {9, 2, 20, 9}, {3, 10, 16, 12}};
  for (const TPixelFormat format : {TPixelFormat::pf32bit, TPixelFormat::pf24bit})
    for (const bool clipped : {false, true})
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (clipped ? ", clipped" : "") +
                     (format == TPixelFormat::pf24bit ? ", 24-bit" : ""));
        TBitmap self = Numbered(20, 12, format), expected = Numbered(20, 12, format);
        const TBitmap original = Numbered(20, 12, format);
        if (clipped) {
          self.Canvas().SelectClipRegion(Region::FromRects(clipRects));
          expected.Canvas().SelectClipRegion(Region::FromRects(clipRects));
        }
        self.Canvas().CopyRect(c.dest, self.Canvas(), c.source);
        expected.Canvas().CopyRect(c.dest, original.Canvas(), c.source);
        for (int y = 0; y < 12; ++y)
          for (int x = 0; x < 20; ++x)
            ASSERT_EQ(self.PixelAt(x, y), expected.PixelAt(x, y)) << x << "," << y;
      }
}

TEST(Canvas, DrawingKeepsToTheClipRegion) {
  const TRect rects[] = {{2, 1, 9, 4}, {5, 3, 14, 8}, {0, 10, 3, 12}, {11, 0, 13, 12},
                         {1, 5, 2, 11}, {3, 6, 4, 11}};
  const Region clip = Region::FromRects(rects);
  const TBitmap picture = Numbered(16, 12);
  using Op = void (*)(TCanvas&, const TBitmap&);
  const std::pair<const char*, Op> ops[] = {
      {"fill",
       [](TCanvas& c, const TBitmap&) {
         c.Brush.Color = RGBColor(1, 2, 3);
         c.FillRect({-5, -5, 40, 40});
       }},
      {"draw", [](TCanvas& c, const TBitmap& p) { c.Draw(0, 0, p); }},
      {"stretch",
       [](TCanvas& c, const TBitmap& p) {
         c.StretchDraw({-3, 0, 30, 12}, p);
       }},
      {"mirror",
       [](TCanvas& c, const TBitmap& p) { c.StretchBlt(15, 0, -16, 12, p, 0, 0, 16, 12); }},
      // Rows repeated from the row above, across the several pieces of a band.
      {"enlarge rows",
       [](TCanvas& c, const TBitmap& p) { c.StretchBlt(0, 0, 16, 12, p, 0, 2, 16, 4); }},
  };
  for (const auto& [name, op] : ops) {
    SCOPED_TRACE(name);
    TBitmap clipped = Blank(16, 12), free = Blank(16, 12);
    clipped.Canvas().SelectClipRegion(clip);
    op(clipped.Canvas(), picture);
    op(free.Canvas(), picture);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(reinterpret_cast<const uint32_t*>(clipped.ScanLine(y))[x],
                  clip.Contains(x, y) ? reinterpret_cast<const uint32_t*>(free.ScanLine(y))[x]
                                      : kUnwritten)
            << x << "," << y;
    clipped.Canvas().SelectNoClip();
    EXPECT_EQ(clipped.Canvas().ClipRegion(), nullptr);
  }
}

TEST(Canvas, DrawsEveryFormatIntoEveryFormat) {
  const TPixelFormat formats[] = {TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                                  TPixelFormat::pf32bit};
  // Colours that the fixed 8-bit table holds exactly, so that every pair must agree.
  TBitmap original(6, 4, TPixelFormat::pf8bit);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      original.ScanLine(y)[x] = uint8_t(x * 41 + y * 7);
  for (TPixelFormat from : formats)
    for (TPixelFormat to : formats) {
      TBitmap source(original);
      source.SetPixelFormat(from);
      TBitmap dest(8, 6, to);
      dest.Canvas().Draw(1, 2, source);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
          ASSERT_EQ(dest.PixelAt(x + 1, y + 2), original.PixelAt(x, y))
              << BitsPerPixel(from) << "->" << BitsPerPixel(to) << " at " << x << "," << y;
      EXPECT_EQ(dest.PixelAt(0, 0), 0u);
    }
}

TEST(Canvas, FillRectPutsSwappedCornersInOrderAndStaysInside) {
  TBitmap b = Blank(6, 4);
  b.Canvas().Brush.Color = RGBColor(0x10, 0x20, 0x30);
  b.Canvas().FillRect({5, 3, 2, -9});  // the rectangle (2, -9, 5, 3)
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(reinterpret_cast<const uint32_t*>(b.ScanLine(y))[x],
                (x >= 2 && x < 5 && y < 3) ? 0x00102030u : kUnwritten);
}

TEST(Canvas, LockIsHeldAgainstOtherThreads) {
  TBitmap b(2, 2);
  TCanvasLock hold(b.Canvas());
  b.Canvas().Lock();  // the holder may take it again
  b.Canvas().Unlock();
  bool other = true;
  std::thread([&] { other = b.Canvas().TryLock(); }).join();
  EXPECT_FALSE(other);
}

}  // namespace
}  // namespace kestrava
