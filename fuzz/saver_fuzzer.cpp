// Feeds arbitrary bytes to the saver file reader. An accepted file must have its blocks back to
// back between the runtime and the trailer, each read back as the bytes at its place, and its
// trailer fields laid out again must read back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "saver/SaverFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  const std::span<const uint8_t> bytes(data, size);
  try {
    const TSaverFileReader reader(bytes);
    const TSaverLayout& layout = reader.Layout();
    if (layout.Runtime.Offset != 0 || layout.Runtime.Size < 0) std::abort();
    int64_t end = layout.Runtime.Size;
    for (const TSaverBlock& block : layout.Blocks) {
      if (block.Offset != end || block.Size <= 0) std::abort();
      const std::vector<uint8_t> stored = reader.ReadBlock(block);
      if (stored.size() != size_t(block.Size) ||
          std::memcmp(stored.data(), data + block.Offset, stored.size()) != 0)
        std::abort();
      end += block.Size;
    }
    if (end != int64_t(size - kTrailerSize)) std::abort();
    const auto again = LayOutTrailer(layout.Trailer);
    if (ReadSaverLayout(again, int64_t(size)).Trailer != layout.Trailer) std::abort();
  } catch (const ESaverFileError&) {
  }
  return 0;
}
