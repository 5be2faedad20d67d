#include "raster/StretchMap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kestrava {

int StretchSourceIndex(int i, int destLength, int sourceLength) {
  const int64_t d = destLength, s = sourceLength;
  if (d >= s) return int(((2 * int64_t{i} + 1) * s - 1) / (2 * d));
  return int((2 * s * (int64_t{i} + 1) - d) / (2 * d));
}

TAxisMap BuildAxisMap(int destOrigin, int destExtent, int sourceOrigin, int sourceExtent,
                      int destLimit, int sourceLimit) {
  TAxisMap map;
  if (destExtent == 0 || sourceExtent == 0 || destLimit <= 0 || sourceLimit <= 0) return map;
  const int64_t length = std::min<int64_t>(std::llabs(int64_t{destExtent}), INT32_MAX);
  const int64_t origin = destOrigin;
  // The indices i whose destination pixel is inside the bitmap, before any per-pixel work.
  int64_t iBegin, iEnd;
  if (destExtent > 0) {
    iBegin = std::max<int64_t>(0, -origin);
    iEnd = std::min<int64_t>(length, destLimit - origin);
  } else {
    iBegin = std::max<int64_t>(0, origin - destLimit + 1);
    iEnd = std::min<int64_t>(length, origin + 1);
  }
  if (iBegin >= iEnd) return map;
  const int sourceLength = int(std::min<int64_t>(std::llabs(int64_t{sourceExtent}), INT32_MAX));
  const int sourceStep = sourceExtent > 0 ? 1 : -1;
  const int destStep = destExtent > 0 ? 1 : -1;
  map.Source.assign(size_t(iEnd - iBegin), -1);
  const int64_t firstDest = destExtent > 0 ? origin + iBegin : origin - (iEnd - 1);
  map.First = int(firstDest);
  for (int64_t i = iBegin; i < iEnd; ++i) {
    const int64_t s = int64_t{sourceOrigin} +
                      int64_t{sourceStep} * StretchSourceIndex(int(i), int(length), sourceLength);
    const int64_t dest = origin + destStep * i;
    map.Source[size_t(dest - firstDest)] = (s >= 0 && s < sourceLimit) ? int(s) : -1;
  }
  // Valid source pixels form one run, since the mapping is monotonic: trim the ends.
  const auto valid = [](int s) { return s >= 0; };
  const auto firstValid = std::find_if(map.Source.begin(), map.Source.end(), valid);
  if (firstValid == map.Source.end()) return TAxisMap{};
  const auto lastValid = std::find_if(map.Source.rbegin(), map.Source.rend(), valid).base();
  map.First += int(firstValid - map.Source.begin());
  map.Source = std::vector<int>(firstValid, lastValid);
  return map;
}

}  // namespace kestrava
