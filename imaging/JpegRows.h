#pragma once

// JPEG decoding and encoding one row at a time: the one place that drives libjpeg. DecodeJpeg and
// EncodeJpeg are built on these, and the saver's picture preparation uses them directly so that a
// source photograph goes onto the screen and into the stored JPEG without ever being held whole.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "imaging/ImageErrors.h"

namespace kestrava {

// Rows of a JPEG, top to bottom, decoded with the float inverse DCT (the library's defaults
// otherwise) into blue, green, red; greyscale comes out as grey and CMYK/YCCK as RGB. A file that
// ends early or has undecodable data keeps libjpeg's grey fill for what is missing, or with
// TDamage::Refuse fails as soon as libjpeg meets it. Throws EJpegError with libjpeg's message (or
// a sentence of ours) when the file cannot be read. The bytes must outlive the reader.
class TJpegRowReader {
 public:
  // Reads the markers up to the first scan. A picture beyond maxPixels or TBitmap's limits is
  // refused before anything of its size is allocated, and so is a file of several scans whose
  // whole-picture buffer is out of proportion to the bytes the file has.
  TJpegRowReader(std::span<const uint8_t> bytes, int64_t maxPixels, TDamage damage = TDamage::Show);
  ~TJpegRowReader();
  TJpegRowReader(const TJpegRowReader&) = delete;
  TJpegRowReader& operator=(const TJpegRowReader&) = delete;

  // The size of the rows, which is the picture's own size unless scaled down.
  int Width() const { return width_; }
  int Height() const { return height_; }
  int FullWidth() const { return fullWidth_; }
  int FullHeight() const { return fullHeight_; }
  // Before the first row: rows of 1/denominator (2, 4 or 8) of the size, rounded up, made by
  // libjpeg's scaled inverse DCT, which decodes only the pixels that are asked for.
  void ScaleDown(int denominator);
  // Before the first row: rows of eighths/8 (1 to 8) of the size, rounded up, for a resampler
  // that wants no more pixels than it needs.
  void ScaleToEighths(int eighths);
  // What libjpeg keeps of the whole picture while decoding: the coefficients of a file of several
  // scans; 0 for a single scan, which is decoded a band of rows at a time.
  int64_t WholePictureBytes() const { return wholeBytes_; }
  // The file has several scans: a progressive JPEG.
  bool Progressive() const { return progressive_; }

  // The data ended early so far, and libjpeg filled in what is missing.
  bool DataEnded() const;

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
  int fullWidth_ = 0;
  int fullHeight_ = 0;
  int64_t wholeBytes_ = 0;
  bool progressive_ = false;
  bool cmyk_ = false;
  bool started_ = false;
  std::vector<uint8_t> row_;
  std::vector<uint8_t> cmykRow_;
};

// How a JPEG keeps its colour: at half the resolution both ways (the usual 4:2:0, smaller) or at
// full resolution (4:4:4). Decoders fill in halved colour each in their own way, up to a dozen
// levels apart at sharp colour edges; on full colour they agree within a few levels.
enum class TJpegChroma { Halved, Full };

// Baseline quality-80 JPEG (quality tables forced to baseline range, float DCT, JFIF with YCbCr),
// progressive only when asked. Rows of blue, green, red go in top to bottom. Throws EJpegError
// for an empty picture and when libjpeg fails.
class TJpegRowWriter {
 public:
  TJpegRowWriter(int width, int height, bool progressive, TJpegChroma chroma = TJpegChroma::Halved);
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
