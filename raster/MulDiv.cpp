#include "raster/MulDiv.h"

#include <limits>

namespace kestrava {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = int64_t{a} * b;
  // Work on magnitudes so that "halves away from zero" holds for every sign combination.
  const bool negative = (product < 0) != (c < 0);
  const uint64_t num = product < 0 ? uint64_t(0) - uint64_t(product) : uint64_t(product);
  const uint64_t den = c < 0 ? uint64_t(0) - uint64_t(int64_t{c}) : uint64_t(c);
  const uint64_t q = (num + den / 2) / den;
  if (negative) {
    if (q > uint64_t(std::numeric_limits<int>::max()) + 1) return -1;
    return int(-int64_t(q));
  }
  if (q > uint64_t(std::numeric_limits<int>::max())) return -1;
  return int(q);
}

}  // namespace kestrava
