#include "movie/render/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace kestrava::render {

std::vector<uint8_t> InflateAtMost(std::span<const uint8_t> compressed, size_t limit) {
  std::vector<uint8_t> out(limit);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = uInt(std::min<size_t>(compressed.size(), UINT_MAX));
  int status = Z_OK;
  while (status == Z_OK && z.total_out < limit) {
    z.next_out = out.data() + z.total_out;
    z.avail_out = uInt(std::min<size_t>(limit - z.total_out, UINT_MAX));
    status = inflate(&z, Z_NO_FLUSH);
  }
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

}  // namespace kestrava::render
