// GIF decoding beside giflib on the same bytes in memory: a full-HD 256-colour picture and a
// 50-frame animation. Goal: no slower than giflib.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/GifPicture.h"

namespace kestrava {
namespace {

// A picture with smooth areas, edges and some noise, as a reduced photograph has.
std::vector<uint8_t> PhotoLike(int w, int h, int seed) {
  std::mt19937 random{uint32_t(seed)};
  std::vector<uint8_t> pixels(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int base = (x * 3 + y * 2 + seed * 17) / 9 + ((x / 64 + y / 48) % 3) * 40;
      pixels[size_t(y) * w + x] = uint8_t(base + int(random() % 4));
    }
  return pixels;
}

int WriteBytes(GifFileType* file, const GifByteType* data, int count) {
  auto* out = static_cast<std::vector<uint8_t>*>(file->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

// frames pictures of w x h written with giflib's encoder, with delays and a loop extension when
// there are several.
std::vector<uint8_t> MakeGif(int w, int h, int frames) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteBytes, &error);
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i)
    map->Colors[i] = {GifByteType(i), GifByteType(255 - i), GifByteType(i * 7)};
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, w, h, 8, 0, map);
  if (frames > 1) {
    const GifByteType loop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
  }
  for (int f = 0; f < frames; ++f) {
    if (frames > 1) {
      const GifByteType control[] = {4, 0, 4, 0};
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    std::vector<uint8_t> pixels = PhotoLike(w, h, f);
    EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
    for (int y = 0; y < h; ++y)
      EGifPutLine(gif, pixels.data() + size_t(y) * w, w);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

const std::vector<uint8_t>& FullHd() {
  static const std::vector<uint8_t> bytes = MakeGif(1920, 1080, 1);
  return bytes;
}

const std::vector<uint8_t>& Animation() {
  static const std::vector<uint8_t> bytes = MakeGif(320, 240, 50);
  return bytes;
}

void Ours(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    TGifStream stream(bytes);
    TGifPicture picture;
    picture.LoadFromStream(stream);
    benchmark::DoNotOptimize(picture.Images()[0].Data.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

struct TMemoryReader {
  const std::vector<uint8_t>* Bytes;
  size_t At = 0;
  static int Read(GifFileType* file, GifByteType* out, int count) {
    auto* self = static_cast<TMemoryReader*>(file->UserData);
    const size_t n = std::min(size_t(count), self->Bytes->size() - self->At);
    std::copy_n(self->Bytes->data() + self->At, n, out);
    self->At += n;
    return int(n);
  }
};

void Giflib(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    TMemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, TMemoryReader::Read, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib failed");
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_GifFullHdOurs(benchmark::State& state) {
  Ours(state, FullHd());
}
void BM_GifFullHdGiflib(benchmark::State& state) {
  Giflib(state, FullHd());
}
void BM_GifAnimationOurs(benchmark::State& state) {
  Ours(state, Animation());
}
void BM_GifAnimationGiflib(benchmark::State& state) {
  Giflib(state, Animation());
}
BENCHMARK(BM_GifFullHdOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifFullHdGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifAnimationOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifAnimationGiflib)->Unit(benchmark::kMillisecond);

// The first frame as the picture loader takes it, after the load.
void BM_GifFullHdBitmap(benchmark::State& state) {
  TGifStream stream(FullHd());
  TGifPicture picture;
  picture.LoadFromStream(stream);
  for (auto _ : state) {
    picture.Images()[0].ClearCache();
    picture.SetDisplayBitsPerPixel(picture.DisplayBitsPerPixel());
    benchmark::DoNotOptimize(picture.Images()[0].Bitmap().ScanLine(0));
  }
}
BENCHMARK(BM_GifFullHdBitmap)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrava
