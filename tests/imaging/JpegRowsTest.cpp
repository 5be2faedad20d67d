// What the row-by-row reader and writer add to DecodeJpeg and EncodeJpeg: callers that ask for the
// wrong number of rows, and calls after a failure, get our error and never reach libjpeg in a
// state it cannot handle.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/JpegRows.h"

namespace kestrava {
namespace {

// The message of the EJpegError that action throws, or what went wrong instead.
std::string JpegErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EJpegError& error) {
    return error.what();
  } catch (...) {
    return "another exception";
  }
  return "no error";
}

// libjpeg's answer to a call on objects it has destroyed.
constexpr const char* kNoObjects = "Improper call to JPEG library in state 0";

std::vector<uint8_t> SmallJpeg(bool progressive) {
  TBitmap bitmap(13, 5, TPixelFormat::pf24bit);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int i = 0; i < bitmap.Width() * 3; ++i)
      bitmap.ScanLine(y)[i] = uint8_t(i * 19 + y * 41);
  return EncodeJpeg(bitmap, progressive);
}

TEST(JpegRowReader, ReadingPastTheLastRowKeepsFailing) {
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "sequential");
    const std::vector<uint8_t> jpeg = SmallJpeg(progressive);
    TJpegRowReader reader(jpeg, TBitmap::kMaxPixels);
    EXPECT_EQ(reader.Progressive(), progressive);
    std::vector<uint8_t> row(size_t(reader.Width()) * 3);
    for (int y = 0; y < reader.Height(); ++y)
      reader.ReadRow(row.data());
    EXPECT_EQ(JpegErrorOf([&] { reader.ReadRow(row.data()); }), "JPEG decoder returned no rows");
    // libjpeg's objects are gone now; libjpeg itself refuses the next call.
    EXPECT_EQ(JpegErrorOf([&] { reader.NextRow(); }), kNoObjects);
  }
}

struct TRowCountCase {
  const char* Name;
  int Width, Height;
  int Rows;  // written before Finish
  const char* Message;
};

TEST(JpegRowWriter, WrongSizesAndRowCountsFail) {
  const TRowCountCase cases[] = {
      {"no columns", 0, 8, 0, "Cannot write an empty picture as JPEG"},
      {"no rows", 8, 0, 0, "Cannot write an empty picture as JPEG"},
      {"beyond libjpeg's limit", 65501, 1, 0, "Maximum supported image dimension is 65500 pixels"},
      {"a row missing", 8, 8, 7, "JPEG encoder is missing rows"},
      {"a row too many", 8, 8, 9, "JPEG encoder took no row"},
  };
  for (const TRowCountCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> row(size_t(c.Width) * 3, 0x80);
    EXPECT_EQ(JpegErrorOf([&] {
                TJpegRowWriter writer(c.Width, c.Height, false);
                for (int y = 0; y < c.Rows; ++y)
                  writer.WriteRow(row.data());
                writer.Finish();
              }),
              c.Message);
  }
}

TEST(JpegRowWriter, NothingMoreAfterFinish) {
  const std::vector<uint8_t> row(4 * 3);
  TJpegRowWriter writer(4, 1, true);
  writer.WriteRow(row.data());
  EXPECT_EQ(DecodeJpeg(writer.Finish()).Bitmap.Width(), 4);
  EXPECT_EQ(JpegErrorOf([&] { writer.WriteRow(row.data()); }), kNoObjects);
  EXPECT_EQ(JpegErrorOf([&] { writer.Finish(); }), kNoObjects);
}

}  // namespace
}  // namespace kestrava
