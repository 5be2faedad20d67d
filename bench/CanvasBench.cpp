// Frame copies at the size of a full-HD screen, the work each transition frame does.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Region.h"

namespace kestrava {
namespace {

constexpr int kW = 1920, kH = 1080;

TBitmap Frame(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pfDevice);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < w; ++x)
      row[x] = uint32_t(x * 2654435761u ^ y * 40503u);
  }
  return b;
}

void SetFrameCounters(benchmark::State& state) {
  state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}

void BM_MemcpyFrame(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    std::memcpy(dest.ScanLine(0), source.ScanLine(0), dest.Stride() * kH);
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_MemcpyFrame);

void BM_CopyUnscaled(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    dest.Canvas().Draw(0, 0, source);
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_CopyUnscaled);

// A full frame shrunk into a quarter of another, as the expanding effects draw it early on.
void BM_CopyShrink2x(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    dest.Canvas().StretchDraw({0, 0, kW / 2, kH / 2}, source);
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_CopyShrink2x);

// A tenth of a frame stretched over a whole frame.
void BM_CopyStretch10x(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    dest.Canvas().CopyRect({0, 0, kW, kH}, source.Canvas(), {0, 0, kW / 10, kH / 10});
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_CopyStretch10x);

void BM_CopyStretch2x(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    dest.Canvas().CopyRect({0, 0, kW, kH}, source.Canvas(), {0, 0, kW / 2, kH / 2});
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_CopyStretch2x);

void BM_CopyMirrored(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  for (auto _ : state) {
    dest.Canvas().StretchBlt(kW - 1, 0, -kW, kH, source, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_CopyMirrored);

// 200 horizontal bands, each with two spans, the shape of a blinds or bars effect.
void BM_DrawClipped200Bands(benchmark::State& state) {
  TBitmap source = Frame(kW, kH), dest(kW, kH);
  std::vector<TRect> rects;
  for (int band = 0; band < 200; ++band) {
    const int top = band * kH / 200, bottom = top + 3;
    rects.push_back({0, top, kW / 3 + band, bottom});
    rects.push_back({kW / 2, top, kW - band, bottom});
  }
  dest.Canvas().SelectClipRegion(Region::FromRects(rects));
  for (auto _ : state) {
    dest.Canvas().Draw(0, 0, source);
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_DrawClipped200Bands);

void BM_FillFrame(benchmark::State& state) {
  TBitmap dest(kW, kH);
  dest.Canvas().Brush.Color = RGBColor(10, 20, 30);
  for (auto _ : state) {
    dest.Canvas().FillRect({0, 0, kW, kH});
    benchmark::ClobberMemory();
  }
  SetFrameCounters(state);
}
BENCHMARK(BM_FillFrame);

}  // namespace
}  // namespace kestrava
