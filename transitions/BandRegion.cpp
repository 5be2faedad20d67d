#include "transitions/BandRegion.h"

#include <vector>

#include "raster/Rect.h"

namespace kestrava {

namespace {

constexpr int kBand = 5;  // thickness of a band
constexpr int kPitch = 2 * kBand;

// One direction's bands, written as horizontal ones: each band is a run of rows [top, bottom)
// filled over columns [from, to) along a line of the given length; `across` is how far the bands
// repeat. The vertical bands are the same with rows and columns exchanged.
template <typename Emit>
void AddBands(int grown, int length, int across, int snap, TBandKind kind, Emit emit) {
  if (kind == TBandKind::None) return;
  if (grown > length) {
    // Second phase: the even bands are full and the odd ones grow by what is past the length.
    const int past = grown - length;
    const bool oddFromFar = kind == TBandKind::FromFar || kind == TBandKind::NearThenFar;
    const bool oddFromNear = kind == TBandKind::FromNear || kind == TBandKind::FarThenNear;
    for (int i = kBand; i < across + kBand; i += kPitch) {
      emit(0, length, i - kBand, i);
      if (oddFromFar) emit(length - past, length, i, i + kBand);
      if (oddFromNear) emit(0, past, i, i + kBand);
    }
    return;
  }
  // First phase: the even bands grow (both kinds of band at once for BothEdges), drawn full once
  // they are within the snapping distance of the full length.
  if (grown + snap > length) grown = length;
  const bool both = kind == TBandKind::BothEdges;
  const bool evenFromFar = both || kind == TBandKind::FromFar || kind == TBandKind::FarThenNear;
  const bool evenFromNear = kind == TBandKind::FromNear || kind == TBandKind::NearThenFar;
  for (int i = 0; i < across + kBand; i += kPitch) {
    if (evenFromFar) emit(length - grown, length, i, i + kBand);
    if (evenFromNear) emit(0, grown, i, i + kBand);
    if (both) emit(0, grown, i + kBand, i + kPitch);
  }
}

}  // namespace

Region BuildBandRegion(int a, int b, int w, int h, int snap, TBandKind hKind, TBandKind vKind) {
  // Every band is collected first and the union made in one step.
  std::vector<TRect> rects;
  AddBands(a, w, h, snap, hKind, [&](int from, int to, int top, int bottom) {
    rects.push_back({from, top, to, bottom});
  });
  AddBands(b, h, w, snap, vKind, [&](int from, int to, int left, int right) {
    rects.push_back({left, from, right, to});
  });
  return Region::FromRects(rects);
}

}  // namespace kestrava
