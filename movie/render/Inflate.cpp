#include "movie/render/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace kestrava::render {

std::vector<uint8_t> InflateAtMost(std::span<const uint8_t> compressed, size_t limit) {
  // The output grows as it comes: a few damaged bytes that claim a large picture allocate
  // little.
  std::vector<uint8_t> out(std::min<size_t>(limit, size_t{1} << 16));
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = uInt(std::min<size_t>(compressed.size(), UINT_MAX));
  int status = Z_OK;
  while (status == Z_OK && z.total_out < limit) {
    if (z.total_out == out.size()) out.resize(std::min(limit, out.size() * 2));
    z.next_out = out.data() + z.total_out;
    z.avail_out = uInt(std::min<size_t>(out.size() - z.total_out, UINT_MAX));
    status = inflate(&z, Z_NO_FLUSH);
  }
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

}  // namespace kestrava::render
