#include "imaging/JpegRows.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "imaging/ImageErrors.h"
#include "imaging/JpegErrorManager.h"
#include "raster/Bitmap.h"

#include <jerror.h>  // after jpeglib.h

// Every function below that calls into libjpeg is written in a C style (see JpegErrorManager.h):
// its setjmp catches libjpeg's errors, it holds only trivially destructible locals, and it
// reports failure to its C++ caller, which throws.

namespace kestrava {

namespace {

using jpeg_detail::FailJpeg;
using jpeg_detail::InitJpegErrorManager;
using jpeg_detail::TJpegErrorManager;

// libjpeg's own progression writes ten scans; a hostile progressive file can repeat scans by the
// thousand, each one another pass over the whole picture.
constexpr int kMaxScans = 500;
constexpr int kQuality = 80;
// A file of several scans is held whole as coefficients (two bytes each, 64 for every 8 x 8
// block). Real photographs need far less than this many bytes of buffer per byte of file (a
// several-megabyte 8000 x 6000 photograph needs 150 to 300 MB); a file of a few bytes claiming
// a huge picture would need thousands. Up to the floor, any file may.
constexpr int64_t kBufferBytesPerFileByte = 128;
constexpr int64_t kBufferFloor = int64_t{64} << 20;
// The output buffer starts here and doubles as it fills.
constexpr size_t kInitialOutput = 256 * 1024;

void LimitScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  char message[64];
  std::snprintf(message, sizeof message, "Progressive JPEG image has more than %d scans",
                kMaxScans);
  FailJpeg(info, message);
}

// Adobe's writers store CMYK inverted (0 is full ink) and mark it with their APP14 marker; other
// writers store ink amounts.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
  const unsigned flip = inverted ? 0 : 255;
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const unsigned c = cmyk[0] ^ flip, m = cmyk[1] ^ flip, y = cmyk[2] ^ flip, k = cmyk[3] ^ flip;
    bgr[0] = uint8_t((y * k + 127) / 255);
    bgr[1] = uint8_t((m * k + 127) / 255);
    bgr[2] = uint8_t((c * k + 127) / 255);
  }
}

// A growing malloc'd buffer that we, not libjpeg, own: libjpeg's own memory destination loses
// its latest buffer when an error strikes in mid-write.
struct TMemoryDestination {
  jpeg_destination_mgr Pub;  // first: libjpeg's pointer to it is a pointer to the whole
  uint8_t* Buffer;
  size_t Capacity;
  size_t Size;
};

TMemoryDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<TMemoryDestination*>(info->dest);
}

void InitDestination(j_compress_ptr info) {
  TMemoryDestination& dest = DestinationOf(info);
  dest.Buffer = static_cast<uint8_t*>(std::malloc(kInitialOutput));
  if (!dest.Buffer) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  dest.Capacity = kInitialOutput;
  dest.Pub.next_output_byte = dest.Buffer;
  dest.Pub.free_in_buffer = dest.Capacity;
}

// Called when the buffer is full: all of it is data.
boolean EmptyOutputBuffer(j_compress_ptr info) {
  TMemoryDestination& dest = DestinationOf(info);
  if (dest.Capacity > SIZE_MAX / 2) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  void* grown = std::realloc(dest.Buffer, dest.Capacity * 2);
  if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  dest.Buffer = static_cast<uint8_t*>(grown);
  dest.Pub.next_output_byte = dest.Buffer + dest.Capacity;
  dest.Pub.free_in_buffer = dest.Capacity;
  dest.Capacity *= 2;
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  TMemoryDestination& dest = DestinationOf(info);
  dest.Size = dest.Capacity - dest.Pub.free_in_buffer;
}

}  // namespace

// Trivially destructible, for the C-style steps; value-initialised, so that jpeg_destroy is
// harmless even before jpeg_create, and may be called twice.
struct TJpegRowReader::TState {
  jpeg_decompress_struct Info;
  TJpegErrorManager Error;
  jpeg_progress_mgr Progress;
};

struct TJpegRowWriter::TState {
  jpeg_compress_struct Info;
  TJpegErrorManager Error;
  TMemoryDestination Destination;
};

namespace {

using TReaderState = TJpegRowReader::TState;
using TWriterState = TJpegRowWriter::TState;

bool IsCmyk(const TReaderState& state) {
  return state.Info.jpeg_color_space == JCS_CMYK || state.Info.jpeg_color_space == JCS_YCCK;
}

// Reads the markers up to the first scan and chooses the output.
bool ReadHeader(TReaderState& state, const uint8_t* data, size_t size, bool refuseDamage) {
  state.Info.err = InitJpegErrorManager(state.Error, refuseDamage);
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  jpeg_create_decompress(&state.Info);
  state.Progress.progress_monitor = LimitScans;
  state.Info.progress = &state.Progress;
  jpeg_mem_src(&state.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&state.Info, TRUE);
  // libjpeg turns YCCK into CMYK but not CMYK into RGB; ConvertCmykRow does that.
  state.Info.out_color_space = IsCmyk(state) ? JCS_CMYK : JCS_EXT_BGR;
  state.Info.dct_method = JDCT_FLOAT;
  return true;
}

// The coefficient buffer libjpeg allocates for a file of several scans: each component's
// blocks, rounded up to whole sampling units.
int64_t CoefficientBytes(const jpeg_decompress_struct& info) {
  int64_t bytes = 0;
  for (int i = 0; i < info.num_components; ++i) {
    const jpeg_component_info& c = info.comp_info[i];
    const auto roundUp = [](int64_t n, int64_t unit) {
      return unit < 1 ? n : (n + unit - 1) / unit * unit;
    };
    bytes += roundUp(c.width_in_blocks, c.h_samp_factor) *
             roundUp(c.height_in_blocks, c.v_samp_factor) * DCTSIZE2 * int64_t(sizeof(JCOEF));
  }
  return bytes;
}

bool SetScale(TReaderState& state, int numerator, int denominator) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  state.Info.scale_num = unsigned(numerator);
  state.Info.scale_denom = unsigned(denominator);
  jpeg_calc_output_dimensions(&state.Info);
  return true;
}

bool StartDecompress(TReaderState& state, int width, int height) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  jpeg_start_decompress(&state.Info);
  if (state.Info.output_width != JDIMENSION(width) ||
      state.Info.output_height != JDIMENSION(height) ||
      state.Info.output_components != (IsCmyk(state) ? 4 : 3))
    FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "Unexpected JPEG output layout");
  return true;
}

bool ReadScanline(TReaderState& state, uint8_t* row) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  JSAMPROW target = row;
  if (jpeg_read_scanlines(&state.Info, &target, 1) != 1)
    FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "JPEG decoder returned no rows");
  return true;
}

bool StartCompress(TWriterState& state, int width, int height, bool progressive,
                   TJpegChroma chroma) {
  state.Info.err = InitJpegErrorManager(state.Error);
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_compress(&state.Info);
    return false;
  }
  jpeg_create_compress(&state.Info);
  state.Destination.Pub.init_destination = InitDestination;
  state.Destination.Pub.empty_output_buffer = EmptyOutputBuffer;
  state.Destination.Pub.term_destination = TermDestination;
  state.Info.dest = &state.Destination.Pub;
  state.Info.image_width = JDIMENSION(width);
  state.Info.image_height = JDIMENSION(height);
  state.Info.input_components = 3;
  state.Info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&state.Info);
  jpeg_set_quality(&state.Info, kQuality, TRUE);
  state.Info.dct_method = JDCT_FLOAT;
  if (chroma == TJpegChroma::Full)
    for (int i = 0; i < state.Info.num_components; ++i)
      state.Info.comp_info[i].h_samp_factor = state.Info.comp_info[i].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&state.Info);
  jpeg_start_compress(&state.Info, TRUE);
  return true;
}

bool WriteScanline(TWriterState& state, const uint8_t* row) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_compress(&state.Info);
    return false;
  }
  // libjpeg only reads the rows it is given.
  JSAMPROW source = const_cast<uint8_t*>(row);
  if (jpeg_write_scanlines(&state.Info, &source, 1) != 1)
    FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "JPEG encoder took no row");
  return true;
}

bool FinishCompress(TWriterState& state) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_compress(&state.Info);
    return false;
  }
  if (state.Info.next_scanline != state.Info.image_height)
    FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "JPEG encoder is missing rows");
  jpeg_finish_compress(&state.Info);
  jpeg_destroy_compress(&state.Info);
  return true;
}

}  // namespace

TJpegRowReader::TJpegRowReader(std::span<const uint8_t> bytes, int64_t maxPixels, TDamage damage)
    : state_(new TState()) {
  if (!ReadHeader(*state_, bytes.data(), bytes.size(), damage == TDamage::Refuse))
    throw EJpegError(state_->Error.Message);
  const int64_t width = state_->Info.image_width, height = state_->Info.image_height;
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width > TBitmap::kMaxDimension || height > TBitmap::kMaxDimension ||
      width * height > std::min(maxPixels, TBitmap::kMaxPixels)) {
    jpeg_destroy_decompress(&state_->Info);
    throw EJpegError("JPEG picture " + size + " is too large");
  }
  width_ = fullWidth_ = int(width);
  height_ = fullHeight_ = int(height);
  progressive_ = jpeg_has_multiple_scans(&state_->Info);
  cmyk_ = IsCmyk(*state_);
  if (!progressive_) return;
  wholeBytes_ = CoefficientBytes(state_->Info);
  const int64_t allowed = std::max(kBufferFloor, int64_t(bytes.size()) * kBufferBytesPerFileByte);
  if (wholeBytes_ > allowed) {
    jpeg_destroy_decompress(&state_->Info);
    throw EJpegError("the JPEG claims " + size + " pixels in several scans, more than its " +
                     std::to_string(bytes.size()) + " bytes can hold (file damaged?)");
  }
  // libjpeg's own limit as well, for whatever the count above misses: beyond it libjpeg asks for
  // a backing store, which this build of it refuses.
  state_->Info.mem->max_memory_to_use = long(std::min<int64_t>(allowed * 2, LONG_MAX));
}

void TJpegRowReader::ScaleDown(int denominator) {
  if (started_ || (denominator != 2 && denominator != 4 && denominator != 8))
    throw std::logic_error("a JPEG is scaled by 1/2, 1/4 or 1/8 before its first row");
  if (!SetScale(*state_, 1, denominator)) throw EJpegError(state_->Error.Message);
  width_ = int(state_->Info.output_width);
  height_ = int(state_->Info.output_height);
}

void TJpegRowReader::ScaleToEighths(int eighths) {
  if (started_ || eighths < 1 || eighths > 8)
    throw std::logic_error("a JPEG is scaled by 1/8 to 8/8 before its first row");
  if (!SetScale(*state_, eighths, 8)) throw EJpegError(state_->Error.Message);
  width_ = int(state_->Info.output_width);
  height_ = int(state_->Info.output_height);
}

TJpegRowReader::~TJpegRowReader() {
  jpeg_destroy_decompress(&state_->Info);
}

void TJpegRowReader::ReadRow(uint8_t* row) {
  if (!started_) {
    if (!StartDecompress(*state_, width_, height_)) throw EJpegError(state_->Error.Message);
    started_ = true;
    if (cmyk_) cmykRow_.resize(size_t(width_) * 4);
  }
  if (!ReadScanline(*state_, cmyk_ ? cmykRow_.data() : row))
    throw EJpegError(state_->Error.Message);
  if (cmyk_) ConvertCmykRow(cmykRow_.data(), row, width_, state_->Info.saw_Adobe_marker);
}

bool TJpegRowReader::DataEnded() const {
  return state_->Error.DataEnded;
}

const uint8_t* TJpegRowReader::NextRow() {
  row_.resize(size_t(width_) * 3);
  ReadRow(row_.data());
  return row_.data();
}

TJpegRowWriter::TJpegRowWriter(int width, int height, bool progressive, TJpegChroma chroma)
    : state_(new TState()) {
  if (width < 1 || height < 1) throw EJpegError("Cannot write an empty picture as JPEG");
  if (!StartCompress(*state_, width, height, progressive, chroma)) {
    std::free(state_->Destination.Buffer);
    throw EJpegError(state_->Error.Message);
  }
}

TJpegRowWriter::~TJpegRowWriter() {
  jpeg_destroy_compress(&state_->Info);
  std::free(state_->Destination.Buffer);
}

void TJpegRowWriter::WriteRow(const uint8_t* row) {
  if (!WriteScanline(*state_, row)) throw EJpegError(state_->Error.Message);
}

std::vector<uint8_t> TJpegRowWriter::Finish() {
  if (!FinishCompress(*state_)) throw EJpegError(state_->Error.Message);
  return std::vector<uint8_t>(state_->Destination.Buffer,
                              state_->Destination.Buffer + state_->Destination.Size);
}

}  // namespace kestrava
