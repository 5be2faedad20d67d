// Sources that claim far more than they hold, and damaged ones: the build refuses them by reason,
// before allocating what they claim.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "saver/FitToScreen.h"
#include "saver/PreparePicture.h"
#include "tests/saver/PrepareTestSupport.h"
#include "tests/support/ClaimedSize.h"
#include "tests/support/Sanitized.h"

namespace kestrava {
namespace {

using TBytes = std::vector<uint8_t>;
using prepare_test::kFixtures;

constexpr TScreenSize kScreen{64, 48};
constexpr int kHuge = 16384;

void PutLe16(TBytes& b, size_t at, unsigned v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void PutLe32(TBytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A 16384 x 16384 GIF of a few bytes: a global table of two colours and one frame of the screen's
// size whose data is a handful of codes.
TBytes GifBomb() {
  TBytes b = {'G', 'I',  'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 0,    0,    0, 255, 255,
              255, 0x2C, 0,   0,   0,   0,   0, 0, 0, 0, 0,    2, 2, 0x4C, 0x01, 0, 0x3B};
  PutLe16(b, 6, kHuge);
  PutLe16(b, 8, kHuge);
  PutLe16(b, 24, kHuge);
  PutLe16(b, 26, kHuge);
  return b;
}

// A bitmap header claiming 16384 x 16384 followed by `data` bytes of pixels.
TBytes BmpBomb(int bits, uint32_t compression, size_t data) {
  TBytes b(14 + 40 + (bits <= 8 ? 1024 : 0), 0);
  const size_t offset = b.size();
  b[0] = 'B';
  b[1] = 'M';
  PutLe32(b, 10, uint32_t(offset));
  PutLe32(b, 14, 40);
  PutLe32(b, 18, kHuge);
  PutLe32(b, 22, kHuge);
  PutLe16(b, 26, 1);
  PutLe16(b, 28, unsigned(bits));
  PutLe32(b, 30, compression);
  b.resize(offset + data, 0);
  if (compression != 0) b[b.size() - 1] = 1;  // ends with the end-of-picture code
  return b;
}

TBytes JpegBomb(bool progressive) {
  return test::JpegClaiming(kHuge, kHuge, progressive);
}

TBytes Cut(TBytes bytes, size_t keep) {
  bytes.resize(keep);
  return bytes;
}

// The fixture JPEG with bytes put in at `at` from its first scan's data on.
TBytes IntoScan(const TBytes& jpeg, size_t at, const TBytes& inserted) {
  size_t sos = 0;
  for (size_t i = 2; i + 1 < jpeg.size() && !sos; ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) sos = i;
  const size_t where = sos + 2 + (size_t(jpeg[sos + 2]) << 8 | jpeg[sos + 3]) + at;
  TBytes b(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(where));
  b.insert(b.end(), inserted.begin(), inserted.end());
  b.insert(b.end(), jpeg.begin() + std::ptrdiff_t(where), jpeg.end());
  return b;
}

// Bytes put in before the first marker after the start of image.
TBytes BeforeSecondMarker(const TBytes& jpeg, const TBytes& inserted) {
  const size_t second = 4 + (size_t(jpeg[4]) << 8 | jpeg[5]);
  TBytes b(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(second));
  b.insert(b.end(), inserted.begin(), inserted.end());
  b.insert(b.end(), jpeg.begin() + std::ptrdiff_t(second), jpeg.end());
  return b;
}

TBytes Fixture(const char* name) {
  return ReadFileBytes(kFixtures / name);
}

TBytes NoisyJpeg(bool progressive) {
  TBitmap picture(120, 90, TPixelFormat::pf24bit);
  uint32_t seed = 7;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width() * 3; ++x)
      picture.ScanLine(y)[x] = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
  return EncodeJpeg(picture, progressive);
}

struct TRefusedCase {
  const char* Name;
  TPictureKind Kind;
  std::function<TBytes()> Bytes;
  const char* Reason;  // a part of the message
};

const TRefusedCase kBombs[] = {
    {"gif", TPictureKind::Gif, GifBomb, "image data is too short for a frame"},
    {"bmp 24-bit", TPictureKind::Bmp, [] { return BmpBomb(24, 0, 1024); },
     "Invalid bitmap: the pixel data ends early (file truncated?)"},
    {"bmp rle8", TPictureKind::Bmp, [] { return BmpBomb(8, 1, 2); },
     "bytes of RLE data cannot hold 16384 x 16384 pixels"},
    {"baseline jpeg", TPictureKind::Jpeg, [] { return JpegBomb(false); },
     "the JPEG data ends early (file truncated?)"},
    {"progressive jpeg", TPictureKind::Jpeg, [] { return JpegBomb(true); },
     "the JPEG claims 16384 x 16384 pixels in several scans, more than its"},
};

const TRefusedCase kDamaged[] = {
    {"jpeg cut in its scan", TPictureKind::Jpeg, [] { return Cut(NoisyJpeg(false), 3000); },
     "the JPEG data ends early (file truncated?)"},
    {"progressive jpeg cut", TPictureKind::Jpeg, [] { return Cut(NoisyJpeg(true), 3000); },
     "the JPEG data ends early (file truncated?)"},
    {"jpeg with an end of image inside its scan", TPictureKind::Jpeg,
     [] {
       return IntoScan(NoisyJpeg(false), 6000, {0xFF, 0xD9});
     },
     "the JPEG data ends early (file truncated?)"},
    {"jpeg with a restart marker it has no interval for", TPictureKind::Jpeg,
     [] {
       return IntoScan(NoisyJpeg(false), 6000, {0xFF, 0xD3});
     },
     "the JPEG data"},
    {"gif cut in its image data", TPictureKind::Gif,
     [] {
       const TBytes gif = Fixture("picture.gif");
       return Cut(gif, gif.size() - 40);
     },
     "the GIF data ends early (file truncated?)"},
    {"animated gif cut in its last frame", TPictureKind::Gif,
     [] {
       const TBytes gif = Fixture("animated.gif");
       return Cut(gif, gif.size() - 4);
     },
     "the GIF data ends early (file truncated?)"},
    {"bmp cut", TPictureKind::Bmp,
     [] {
       const TBytes bmp = Fixture("picture-24bit.bmp");
       return Cut(bmp, bmp.size() - 100);
     },
     "Invalid bitmap: the pixel data ends early (file truncated?)"},
    {"rle bmp without its last rows", TPictureKind::Bmp,
     [] {
       TBytes b = BmpBomb(8, 1, 0);
       PutLe32(b, 18, 4);
       PutLe32(b, 22, 2);
       b.insert(b.end(), {4, 1, 0, 0});  // one row of four, then the file ends
       return b;
     },
     "Invalid bitmap: the pixel data ends early (file truncated?)"},
};

template <typename TCase>
std::string CaseName(const testing::TestParamInfo<TCase>& row) {
  std::string name = row.param.Name;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

// What preparing the source does, as a child process's exit status.
enum TOutcome : int { kRefused = 0, kPrepared = 1, kOutOfMemory = 2, kOtherError = 3 };

int Prepare(const TRefusedCase& c, const TBytes& bytes, std::string* message) {
  try {
    PreparePictureBytes(c.Kind, bytes, kScreen, nullptr);
    return kPrepared;
  } catch (const EImageError& e) {
    if (message) *message = e.what();
    return kRefused;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (const std::exception& e) {
    if (message) *message = e.what();
    return kOtherError;
  }
}

class PreparePictureBombTest : public testing::TestWithParam<TRefusedCase> {};

TEST_P(PreparePictureBombTest, IsRefusedByReason) {
  const TBytes bytes = GetParam().Bytes();
  EXPECT_LT(bytes.size(), 2000u);
  std::string message;
  ASSERT_EQ(Prepare(GetParam(), bytes, &message), kRefused) << message;
  EXPECT_NE(message.find(GetParam().Reason), std::string::npos) << message;
}

// The exit status of run() in a child process whose address space may grow by `megabytes` only
// (not limited under sanitizers, whose shadow memory such limits break).
int InChildWithin(rlim_t megabytes, const std::function<int()>& run) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
#ifndef KESTRAVA_SANITIZED
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
      std::fclose(statm);
    }
    const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (megabytes << 20);
    const rlimit lowered{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &lowered) != 0) _exit(kOtherError);
#endif
    _exit(run());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The old readers allocated what the file claimed (800 MB and more) before finding out.
TEST_P(PreparePictureBombTest, IsRefusedWithinAFewHundredMegabytes) {
#ifdef KESTRAVA_SANITIZED
  GTEST_SKIP() << "address space limits do not work under sanitizers";
#else
  const TBytes bytes = GetParam().Bytes();
  EXPECT_EQ(InChildWithin(300, [&] { return Prepare(GetParam(), bytes, nullptr); }), kRefused);
#endif
}

INSTANTIATE_TEST_SUITE_P(Bombs, PreparePictureBombTest, testing::ValuesIn(kBombs),
                         CaseName<TRefusedCase>);

// Codes of growing width, least significant bit first, in sub-blocks of up to 255 bytes.
class TGifCodeWriter {
 public:
  void Put(unsigned code, int width) {
    bits_ |= uint64_t{code} << count_;
    for (count_ += width; count_ >= 8; count_ -= 8, bits_ >>= 8)
      bytes_.push_back(uint8_t(bits_));
  }
  // The data sub-blocks with their terminator.
  TBytes Blocks() {
    if (count_ > 0) bytes_.push_back(uint8_t(bits_));
    count_ = 0;
    TBytes out;
    for (size_t at = 0; at < bytes_.size(); at += 255) {
      const size_t n = std::min<size_t>(255, bytes_.size() - at);
      out.push_back(uint8_t(n));
      out.insert(out.end(), bytes_.begin() + std::ptrdiff_t(at),
                 bytes_.begin() + std::ptrdiff_t(at + n));
    }
    out.push_back(0);
    return out;
  }

 private:
  TBytes bytes_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// An honest width x height GIF of a few hundred kilobytes: an interlaced frame whose upper half
// is colour 0 (red) and lower half colour 1 (blue) in the file's rows, each half a clear code
// followed by codes for ever longer runs of its colour and, the table full, the longest run
// again and again (a clear may wait until the encoder wants one).
TBytes HonestGif(int width, int height) {
  TBytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x81, 0, 0, 255, 0, 0, 0, 0, 255};
  b.resize(b.size() + 6, 0);  // colours 2 and 3, unused
  PutLe16(b, 6, unsigned(width));
  PutLe16(b, 8, unsigned(height));
  const TBytes descriptor = {0x2C, 0, 0, 0, 0, 0, 0, 0, 0, TGifFrame::kInterlaced, 2};
  b.insert(b.end(), descriptor.begin(), descriptor.end());
  PutLe16(b, b.size() - 6, unsigned(width));
  PutLe16(b, b.size() - 4, unsigned(height));
  constexpr unsigned kClear = 4, kEnd = 5;
  TGifCodeWriter codes;
  int codeWidth = 3;
  // Interlaced rows come in passes: the colour of a run follows its row, not its place in the
  // data, so each pass row by row takes its colour.
  const auto runOf = [&](unsigned colour, uint64_t pixels) {
    codes.Put(kClear, codeWidth);
    codeWidth = 3;
    codes.Put(colour, codeWidth);
    uint64_t done = 1, length = 1;
    unsigned next = 6, limit = 8;
    while (done < pixels) {
      const uint64_t left = pixels - done;
      if (next < 4096 && length + 1 <= left) {
        // The code the decoder makes next: the last string and its first value.
        codes.Put(next, codeWidth);
        done += ++length;
      } else {
        // The longest string made, or one as long as what is left (code k holds k - 4 pixels).
        const uint64_t take = std::min<uint64_t>(left, length);
        codes.Put(take == 1 ? colour : unsigned(take + 4), codeWidth);
        done += take;
      }
      // Every code after the first makes an entry while the table has room.
      if (next < 4096 && ++next >= limit && limit < 4096) {
        limit *= 2;
        ++codeWidth;
      }
    }
  };
  int row = 0;
  for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (row = start; row < height;) {
      // The rows of this pass that lie in the same half, one run.
      const bool upper = row < height / 2;
      int rows = 0;
      for (; row < height && (row < height / 2) == upper; row += step)
        ++rows;
      runOf(upper ? 0 : 1, uint64_t(rows) * uint64_t(width));
    }
  codes.Put(kEnd, codeWidth);
  const TBytes data = codes.Blocks();
  b.insert(b.end(), data.begin(), data.end());
  b.push_back(0x3B);
  return b;
}

// An honest run-length bitmap of width x height stored bottom-up: the upper half of the picture
// colour 0 (red), the lower half colour 1 (blue), each row runs of 255 and an end of line.
TBytes HonestRle8(int width, int height) {
  TBytes b = BmpBomb(8, 1, 0);
  PutLe32(b, 18, uint32_t(width));
  PutLe32(b, 22, uint32_t(height));
  PutLe32(b, 54, 0x00FF0000);  // red
  PutLe32(b, 58, 0x000000FF);  // blue
  for (int fileRow = 0; fileRow < height; ++fileRow) {
    const uint8_t colour = fileRow < height / 2 ? 1 : 0;
    for (int x = 0; x < width; x += 255)
      b.insert(b.end(), {uint8_t(std::min(255, width - x)), colour});
    b.insert(b.end(), {0, 0});
  }
  b.insert(b.end(), {0, 1});
  return b;
}

struct THonestCase {
  const char* Name;
  TPictureKind Kind;
  TBytes (*Make)(int width, int height);
  int Width;
  int Height;
  size_t MostBytes;  // the file is at most this large
};

const THonestCase kHonest[] = {
    {"gif", TPictureKind::Gif, HonestGif, kHuge, kHuge, 500'000},
    {"rle8 bmp", TPictureKind::Bmp, HonestRle8, kHuge, 7560, 1'000'000},
};

class PreparePictureHonestTest : public testing::TestWithParam<THonestCase> {};

// Files of a few hundred kilobytes that really hold 100 to 270 million pixels: the build keeps
// the rows the screen takes, not the picture, and shows it as it is (red above, blue below).
TEST_P(PreparePictureHonestTest, IsPreparedWithinAHundredMegabytes) {
  const THonestCase& c = GetParam();
  const TBytes bytes = c.Make(c.Width, c.Height);
  ASSERT_LT(bytes.size(), c.MostBytes);
  constexpr int kWrongPicture = 4;
  const int outcome = InChildWithin(100, [&] {
    try {
      const TBitmap shown = DecodeJpeg(PreparePictureBytes(c.Kind, bytes, kScreen, nullptr)).Bitmap;
      const TRect place = ScreenPlacement(c.Width, c.Height, kScreen);
      const int x = (place.Left + place.Right) / 2;
      const auto near = [&](int y, TColor colour) {
        const uint8_t* p = shown.ScanLine(y) + size_t(x) * 3;
        return std::abs(int(p[2]) - int(colour & 0xFF)) < 40 &&
               std::abs(int(p[1]) - int(colour >> 8 & 0xFF)) < 40 &&
               std::abs(int(p[0]) - int(colour >> 16 & 0xFF)) < 40;
      };
      const bool right = near(place.Top + 2, 0x0000FF) && near(place.Bottom - 3, 0xFF0000) &&
                         near(place.Top + place.Height() / 2 - 3, 0x0000FF) &&
                         near(place.Top + place.Height() / 2 + 2, 0xFF0000);
      return right ? kPrepared : kWrongPicture;
    } catch (const std::bad_alloc&) {
      return int(kOutOfMemory);
    } catch (const std::exception&) {
      return int(kOtherError);
    }
  });
  EXPECT_EQ(outcome, kPrepared);
}

INSTANTIATE_TEST_SUITE_P(Honest, PreparePictureHonestTest, testing::ValuesIn(kHonest),
                         CaseName<THonestCase>);

class PreparePictureDamageTest : public testing::TestWithParam<TRefusedCase> {};

// The build refuses; a preview still shows what is there.
TEST_P(PreparePictureDamageTest, IsRefusedByTheBuildAndShownByThePreview) {
  const TBytes bytes = GetParam().Bytes();
  std::string message;
  ASSERT_EQ(Prepare(GetParam(), bytes, &message), kRefused);
  EXPECT_NE(message.find(GetParam().Reason), std::string::npos) << message;
  switch (GetParam().Kind) {
    case TPictureKind::Jpeg:
      EXPECT_FALSE(DecodeJpeg(bytes).Bitmap.Empty());
      break;
    case TPictureKind::Bmp:
      if (bytes[30] != 0) {
        EXPECT_FALSE(ReadBmp(bytes).Empty());
      }
      break;
    case TPictureKind::Gif: {
      TGifStream stream(bytes);
      TGifPicture gif;
      gif.LoadFromStream(stream);
      EXPECT_NE(gif.Bitmap(), nullptr);
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Damage, PreparePictureDamageTest, testing::ValuesIn(kDamaged),
                         CaseName<TRefusedCase>);

// Harmless oddities real files have keep preparing: a GIF without its trailer byte, a JPEG with
// extraneous bytes before a marker (many cameras write them).
TEST(PreparePictureDamage, HarmlessOdditiesStillPrepare) {
  const TBytes gif = Fixture("picture.gif");
  ASSERT_EQ(gif.back(), 0x3B);
  EXPECT_EQ(PreparePictureBytes(TPictureKind::Gif, Cut(gif, gif.size() - 1), kScreen, nullptr),
            PreparePictureBytes(TPictureKind::Gif, gif, kScreen, nullptr));
  const TBytes jpeg = NoisyJpeg(false);
  EXPECT_EQ(PreparePictureBytes(TPictureKind::Jpeg, BeforeSecondMarker(jpeg, {1, 2, 3}), kScreen,
                                nullptr),
            PreparePictureBytes(TPictureKind::Jpeg, jpeg, kScreen, nullptr));
}

}  // namespace
}  // namespace kestrava
