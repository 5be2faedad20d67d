#pragma once

// JPEG decoding and encoding one row at a time: the one place that drives libjpeg. DecodeJpeg and
// EncodeJpeg are built on these, and the saver's picture preparation uses them directly so that a
// source photograph goes onto the screen and into the stored JPEG without ever being held whole.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kestrava {

// Rows of a JPEG, top to bottom, decoded with the float inverse DCT (the library's defaults
// otherwise) into blue, green, red; greyscale comes out as grey and CMYK/YCCK as RGB. A file that
// ends early keeps libjpeg's grey fill for what is missing. Throws EJpegError with libjpeg's
// message when the file cannot be read. The bytes must outlive the reader.
class TJpegRowReader {
 public:
  // Reads the markers up to the first scan. A picture beyond maxPixels or TBitmap's limits is
  // refused before anything of its size is allocated.
  TJpegRowReader(std::span<const uint8_t> bytes, int64_t maxPixels);
  ~TJpegRowReader();
  TJpegRowReader(const TJpegRowReader&) = delete;
  TJpegRowReader& operator=(const TJpegRowReader&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The file has several scans: a progressive JPEG.
  bool Progressive() const { return progressive_; }

  // Decodes the next row into row, Width() * 3 bytes; the first call starts the decoding. What
  // follows the last scan is never read: it cannot change the picture.
  void ReadRow(uint8_t* row);
  // The same into a buffer of the reader's own, valid until the next call.
  const uint8_t* NextRow();

  struct TState;  // libjpeg's objects, opaque

 private:
  std::unique_ptr<TState> state_;
  int width_ = 0;
  int height_ = 0;
  bool progressive_ = false;
  bool cmyk_ = false;
  bool started_ = false;
  std::vector<uint8_t> row_;
  std::vector<uint8_t> cmykRow_;
};

// Baseline quality-80 JPEG (quality tables forced to baseline range, float DCT, JFIF with YCbCr),
// progressive only when asked. Rows of blue, green, red go in top to bottom. Throws EJpegError
// for an empty picture and when libjpeg fails.
class TJpegRowWriter {
 public:
  TJpegRowWriter(int width, int height, bool progressive);
  ~TJpegRowWriter();
  TJpegRowWriter(const TJpegRowWriter&) = delete;
  TJpegRowWriter& operator=(const TJpegRowWriter&) = delete;

  void WriteRow(const uint8_t* row);
  // After the last row: the whole stream.
  std::vector<uint8_t> Finish();

  struct TState;  // libjpeg's objects, opaque

 private:
  std::unique_ptr<TState> state_;
};

}  // namespace kestrava
