// Sources that claim far more than they hold, and damaged ones: the build refuses them by reason,
// before allocating what they claim.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "saver/PreparePicture.h"
#include "tests/saver/PrepareTestSupport.h"
#include "tests/support/ClaimedSize.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KESTRAVA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || \
    __has_feature(thread_sanitizer)
#define KESTRAVA_SANITIZED 1
#endif
#endif

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

std::string CaseName(const testing::TestParamInfo<TRefusedCase>& row) {
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

// The old readers allocated what the file claimed (800 MB and more) before finding out.
TEST_P(PreparePictureBombTest, IsRefusedWithinAFewHundredMegabytes) {
#ifdef KESTRAVA_SANITIZED
  GTEST_SKIP() << "address space limits do not work under sanitizers";
#else
  const TBytes bytes = GetParam().Bytes();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
      std::fclose(statm);
    }
    const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t{300} << 20);
    const rlimit lowered{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &lowered) != 0) _exit(kOtherError);
    _exit(Prepare(GetParam(), bytes, nullptr));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kRefused);
#endif
}

INSTANTIATE_TEST_SUITE_P(Bombs, PreparePictureBombTest, testing::ValuesIn(kBombs), CaseName);

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

INSTANTIATE_TEST_SUITE_P(Damage, PreparePictureDamageTest, testing::ValuesIn(kDamaged), CaseName);

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
