// One photograph prepared for the saver beside the bare codec work it cannot avoid: a 4000 x 3000
// JPEG decoded with the float inverse DCT and one 1920 x 1080 picture encoded at quality 80 with
// the float DCT. Goal: PreparePicture within 1.15 times the bare work.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/PhotoLike.h"
#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "saver/PreparePicture.h"
#include "saver/SmoothRows.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

constexpr TScreenSize kScreen{1920, 1080};

// The photograph on disk for the whole run, and the screen picture the bare encoder gets (the
// same pixels PreparePicture encodes).
struct TPhoto {
  fs::path Dir = fs::temp_directory_path() / ("kestrava-prepare-bench-" + std::to_string(getpid()));
  fs::path File = Dir / "photo.jpg";
  TBitmap Screen;

  TPhoto() {
    fs::create_directories(Dir);
    TBitmap photo = PhotoLike(4000, 3000);
    WriteFileBytes(File, EncodeJpeg(photo, false));
    FitToScreen(photo, kScreen);
    Screen = std::move(photo);
  }
  ~TPhoto() {
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }
};

const TPhoto& Photo() {
  static const TPhoto photo;
  return photo;
}

void BM_PreparePicture(benchmark::State& state) {
  const TPhoto& photo = Photo();
  for (auto _ : state) {
    std::vector<uint8_t> jpeg = PreparePicture(photo.File, kScreen, nullptr);
    benchmark::DoNotOptimize(jpeg.data());
  }
}
BENCHMARK(BM_PreparePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with smooth resampling. Goal: within 1.5 times the plain preparation.
void BM_PreparePictureSmooth(benchmark::State& state) {
  const TPhoto& photo = Photo();
  for (auto _ : state) {
    std::vector<uint8_t> jpeg = PreparePicture(photo.File, kScreen, nullptr, TJpegChroma::Halved,
                                               {TFitMode::ShrinkOnly, true});
    benchmark::DoNotOptimize(jpeg.data());
  }
}
BENCHMARK(BM_PreparePictureSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare work: the file read, every row decoded into one row buffer, one screen encoded into
// libjpeg's own memory buffer. Errors end the program (libjpeg's default handler).
void BM_BareCodecWork(benchmark::State& state) {
  const TPhoto& photo = Photo();
  std::vector<uint8_t> row;
  for (auto _ : state) {
    const std::vector<uint8_t> bytes = ReadFileBytes(photo.File);
    jpeg_decompress_struct in{};
    jpeg_error_mgr inError{};
    in.err = jpeg_std_error(&inError);
    jpeg_create_decompress(&in);
    jpeg_mem_src(&in, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&in, TRUE);
    in.out_color_space = JCS_EXT_BGR;
    in.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&in);
    row.resize(size_t(in.output_width) * 3);
    JSAMPROW rowPointer = row.data();
    while (in.output_scanline < in.output_height)
      jpeg_read_scanlines(&in, &rowPointer, 1);
    jpeg_finish_decompress(&in);
    jpeg_destroy_decompress(&in);
    benchmark::DoNotOptimize(row.data());

    jpeg_compress_struct out{};
    jpeg_error_mgr outError{};
    out.err = jpeg_std_error(&outError);
    jpeg_create_compress(&out);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&out, &buffer, &size);
    out.image_width = JDIMENSION(kScreen.Width);
    out.image_height = JDIMENSION(kScreen.Height);
    out.input_components = 3;
    out.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&out);
    jpeg_set_quality(&out, 80, TRUE);
    out.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&out, TRUE);
    while (out.next_scanline < out.image_height) {
      JSAMPROW screenRow = const_cast<uint8_t*>(photo.Screen.ScanLine(int(out.next_scanline)));
      jpeg_write_scanlines(&out, &screenRow, 1);
    }
    jpeg_finish_compress(&out);
    jpeg_destroy_compress(&out);
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
  }
}
BENCHMARK(BM_BareCodecWork)->Unit(benchmark::kMillisecond)->UseRealTime();

// For information: the same steps on whole bitmaps (the full-size decoded photograph, then the
// screen picture, then the encoder's copy of it), which the row-by-row preparation avoids.
void BM_WholeBitmapSteps(benchmark::State& state) {
  const TPhoto& photo = Photo();
  for (auto _ : state) {
    TJpegImage decoded = DecodeJpegFile(photo.File);
    FitToScreen(decoded.Bitmap, kScreen);
    std::vector<uint8_t> jpeg = EncodeJpeg(decoded.Bitmap, decoded.Progressive);
    benchmark::DoNotOptimize(jpeg.data());
  }
}
BENCHMARK(BM_WholeBitmapSteps)->Unit(benchmark::kMillisecond)->UseRealTime();

// For information: PreparePicture with a screen-sized mask.
// The smooth resampling alone: a photograph's rows (whole, or halved as libjpeg's scaled
// decoding gives them) to its 1440 x 1080 place on the screen.
void BM_SmoothRows(benchmark::State& state) {
  TBitmap photo = PhotoLike(int(state.range(0)), int(state.range(0)) * 3 / 4);
  photo.SetPixelFormat(TPixelFormat::pf24bit);
  for (auto _ : state) {
    TBitmapRows rows(photo);
    TSmoothRows smooth(rows, 1440, 1080, 0, 1440);
    for (int y = 0; y < 1080; ++y)
      benchmark::DoNotOptimize(smooth.Row(y));
  }
}
BENCHMARK(BM_SmoothRows)->Arg(4000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreparePictureWithMask(benchmark::State& state) {
  const TPhoto& photo = Photo();
  const TPictureMask mask = TPictureMask::FromBitmap(photo.Screen);
  for (auto _ : state) {
    std::vector<uint8_t> jpeg = PreparePicture(photo.File, kScreen, &mask);
    benchmark::DoNotOptimize(jpeg.data());
  }
}
BENCHMARK(BM_PreparePictureWithMask)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrava
