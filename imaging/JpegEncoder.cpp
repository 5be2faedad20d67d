#include "imaging/Jpeg.h"

#include <csetjmp>
#include <cstdint>
#include <cstdlib>

#include "imaging/ImageErrors.h"
#include "imaging/JpegErrorManager.h"

#include <jerror.h>  // after jpeglib.h

namespace kestrava {

namespace {

using jpeg_detail::InitJpegErrorManager;
using jpeg_detail::TJpegErrorManager;

constexpr int kQuality = 80;
constexpr size_t kInitialOutput = 64 * 1024;

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

// Trivially destructible, for the C-style step below; value-initialise it.
struct TEncoderState {
  jpeg_compress_struct Info;
  TJpegErrorManager Error;
  TMemoryDestination Destination;
};

struct TFreeOnExit {
  TMemoryDestination* Destination;
  ~TFreeOnExit() { std::free(Destination->Buffer); }
};

// Compresses 24-bit rows (blue, green, red) into state.Destination. False (with the message in
// state.Error) when libjpeg fails; state.Info is destroyed either way.
bool Compress(TEncoderState& state, const uint8_t* firstRow, size_t stride, int width, int height,
              bool progressive) {
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
  if (progressive) jpeg_simple_progression(&state.Info);
  jpeg_start_compress(&state.Info, TRUE);
  while (state.Info.next_scanline < state.Info.image_height) {
    // libjpeg only reads the rows it is given.
    JSAMPROW row = const_cast<uint8_t*>(firstRow + size_t(state.Info.next_scanline) * stride);
    jpeg_write_scanlines(&state.Info, &row, 1);
  }
  jpeg_finish_compress(&state.Info);
  jpeg_destroy_compress(&state.Info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, bool progressive) {
  if (bitmap.Empty()) throw EJpegError("Cannot write an empty picture as JPEG");
  TBitmap rgb(bitmap);
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  TEncoderState state{};
  TFreeOnExit release{&state.Destination};
  if (!Compress(state, rgb.ScanLine(0), rgb.Stride(), rgb.Width(), rgb.Height(), progressive))
    throw EJpegError(state.Error.Message);
  return std::vector<uint8_t>(state.Destination.Buffer,
                              state.Destination.Buffer + state.Destination.Size);
}

}  // namespace kestrava
