#pragma once

// JPEG decoding and encoding one row at a time, for the saver's picture preparation: a source
// photograph goes onto the screen and into the stored JPEG without ever being held at full size.
// The settings are those of DecodeJpeg and EncodeJpeg.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "saver/PrepareRows.h"

namespace kestrava {

// Rows of a JPEG, decoded with the float inverse DCT into blue, green, red. Throws EJpegError
// with libjpeg's message when the file cannot be read.
class TJpegRowReader : public TRowSource {
 public:
  // Reads the markers up to the first scan. A picture beyond maxPixels or TBitmap's limits is
  // refused.
  TJpegRowReader(std::span<const uint8_t> bytes, int64_t maxPixels);
  ~TJpegRowReader() override;
  TJpegRowReader(const TJpegRowReader&) = delete;
  TJpegRowReader& operator=(const TJpegRowReader&) = delete;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // The file has several scans: a progressive JPEG.
  bool Progressive() const { return progressive_; }
  // CMYK and YCCK files are not read here: DecodeJpeg knows how their writers store the inks.
  bool Cmyk() const { return cmyk_; }
  // The next row; the first call starts the decoding.
  const uint8_t* NextRow() override;

  struct TState;  // libjpeg's objects, opaque

 private:
  std::unique_ptr<TState> state_;
  int width_ = 0;
  int height_ = 0;
  bool progressive_ = false;
  bool cmyk_ = false;
  bool started_ = false;
  std::vector<uint8_t> row_;
};

// The stored picture's encoder: quality 80 with the tables forced to baseline range, float DCT,
// JFIF with YCbCr, progressive only when asked. Rows of blue, green, red go in top to bottom.
// Throws EJpegError when libjpeg fails.
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
