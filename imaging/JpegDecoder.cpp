#include "imaging/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"
#include "imaging/JpegErrorManager.h"

namespace kestrava {

namespace {

using jpeg_detail::FailJpeg;
using jpeg_detail::InitJpegErrorManager;
using jpeg_detail::TJpegErrorManager;

// libjpeg's own progression writes ten scans; a hostile progressive file can repeat scans by the
// thousand, each one another pass over the whole picture.
constexpr int kMaxScans = 500;

// Everything libjpeg touches, trivially destructible so that the C-style steps below may
// longjmp within it. Value-initialise it: a null memory manager makes jpeg_destroy harmless
// even before jpeg_create.
struct TDecoderState {
  jpeg_decompress_struct Info;
  TJpegErrorManager Error;
  jpeg_progress_mgr Progress;
  bool MultipleScans;
  bool Cmyk;
};

// jpeg_destroy may be called twice, so this may follow a step that already cleaned up.
struct TDestroyOnExit {
  jpeg_decompress_struct* Info;
  ~TDestroyOnExit() { jpeg_destroy_decompress(Info); }
};

void LimitScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans) return;
  char message[64];
  std::snprintf(message, sizeof message, "Progressive JPEG image has more than %d scans",
                kMaxScans);
  FailJpeg(info, message);
}

// Reads the markers up to the first scan and chooses the output. False (with the message in
// state.Error) when libjpeg fails; state.Info is then destroyed.
bool ReadHeader(TDecoderState& state, const uint8_t* data, size_t size) {
  state.Info.err = InitJpegErrorManager(state.Error);
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  jpeg_create_decompress(&state.Info);
  state.Progress.progress_monitor = LimitScans;
  state.Info.progress = &state.Progress;
  jpeg_mem_src(&state.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&state.Info, TRUE);
  state.MultipleScans = jpeg_has_multiple_scans(&state.Info);
  // libjpeg turns YCCK into CMYK but not CMYK into RGB; ConvertCmykRow does that.
  state.Cmyk = state.Info.jpeg_color_space == JCS_CMYK || state.Info.jpeg_color_space == JCS_YCCK;
  state.Info.out_color_space = state.Cmyk ? JCS_CMYK : JCS_EXT_BGR;
  state.Info.dct_method = JDCT_FLOAT;
  return true;
}

// Adobe's writers store CMYK inverted (0 is full ink) and mark it with their APP14 marker; other
// writers store ink amounts.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
  const unsigned flip = inverted ? 0 : 255;
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const unsigned c = cmyk[0] ^ flip, m = cmyk[1] ^ flip, y = cmyk[2] ^ flip, k = cmyk[3] ^ flip;
    bgr[0] = uint8_t((y * k + 127) / 255);
    bgr[1] = uint8_t((m * k + 127) / 255);
    bgr[2] = uint8_t((c * k + 127) / 255);
  }
}

// Decodes every row into the 24-bit rows from firstRow on; CMYK rows pass through cmykRow. False
// (with the message in state.Error) when libjpeg fails; state.Info is destroyed either way. What
// follows the last scan is not read: it cannot change the picture.
bool ReadRows(TDecoderState& state, uint8_t* firstRow, size_t stride, uint8_t* cmykRow) {
  if (setjmp(state.Error.Jump)) {
    jpeg_destroy_decompress(&state.Info);
    return false;
  }
  jpeg_start_decompress(&state.Info);
  if (state.Info.output_width != state.Info.image_width ||
      state.Info.output_height != state.Info.image_height ||
      state.Info.output_components != (state.Cmyk ? 4 : 3))
    FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "Unexpected JPEG output layout");
  while (state.Info.output_scanline < state.Info.output_height) {
    uint8_t* row = firstRow + size_t(state.Info.output_scanline) * stride;
    JSAMPROW target = state.Cmyk ? cmykRow : row;
    if (jpeg_read_scanlines(&state.Info, &target, 1) != 1)
      FailJpeg(reinterpret_cast<j_common_ptr>(&state.Info), "JPEG decoder returned no rows");
    if (state.Cmyk)
      ConvertCmykRow(cmykRow, row, state.Info.output_width, state.Info.saw_Adobe_marker);
  }
  jpeg_destroy_decompress(&state.Info);
  return true;
}

}  // namespace

TJpegImage DecodeJpeg(std::span<const uint8_t> bytes, int64_t maxPixels) {
  TDecoderState state{};
  TDestroyOnExit destroy{&state.Info};
  if (!ReadHeader(state, bytes.data(), bytes.size())) throw EJpegError(state.Error.Message);

  const int64_t width = state.Info.image_width, height = state.Info.image_height;
  if (width > TBitmap::kMaxDimension || height > TBitmap::kMaxDimension ||
      width * height > std::min(maxPixels, TBitmap::kMaxPixels)) {
    jpeg_destroy_decompress(&state.Info);
    throw EJpegError("JPEG picture " + std::to_string(width) + " x " + std::to_string(height) +
                     " is too large");
  }

  TJpegImage image;
  image.Progressive = state.MultipleScans;
  image.Bitmap = TBitmap(int(width), int(height), TPixelFormat::pf24bit);
  std::vector<uint8_t> cmykRow(state.Cmyk ? size_t(width) * 4 : 0);
  if (!ReadRows(state, image.Bitmap.ScanLine(0), image.Bitmap.Stride(), cmykRow.data()))
    throw EJpegError(state.Error.Message);
  return image;
}

TJpegImage DecodeJpegFile(const std::filesystem::path& path) {
  return DecodeJpeg(ReadFileBytes(path));
}

}  // namespace kestrava
