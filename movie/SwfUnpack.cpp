#include "movie/SwfUnpack.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <span>

#include "movie/SwfErrors.h"

namespace kestrava {

namespace {

constexpr size_t kHeaderBytes = 8;

uint32_t Le32(const uint8_t* b) {
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

// The stated length is only a hint for the first allocation: it may lie either way.
size_t FirstCapacity(uint32_t statedLength) {
  return std::clamp<size_t>(statedLength, 4096, size_t(16) << 20);
}

void GrowOutput(std::vector<uint8_t>& out, size_t used) {
  out.resize(std::min(kMaxUnpackedMovieBytes, std::max(out.size() * 2, used + 4096)));
}

std::vector<uint8_t> Inflate(std::span<const uint8_t> header, std::span<const uint8_t> in) {
  std::vector<uint8_t> out(FirstCapacity(Le32(header.data() + 4)));
  std::copy(header.begin(), header.end(), out.begin());
  size_t used = header.size();
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw ESwfError("cannot start zlib");
  size_t consumed = 0;
  int status = Z_OK;
  while (status == Z_OK && used < kMaxUnpackedMovieBytes) {
    if (used == out.size()) GrowOutput(out, used);
    const size_t chunkIn = std::min<size_t>(in.size() - consumed, UINT_MAX);
    z.next_in = const_cast<Bytef*>(in.data() + consumed);
    z.avail_in = uInt(chunkIn);
    z.next_out = out.data() + used;
    z.avail_out = uInt(std::min<size_t>(out.size() - used, UINT_MAX));
    const uInt outBefore = z.avail_out;
    status = inflate(&z, Z_SYNC_FLUSH);
    consumed += chunkIn - z.avail_in;
    used += outBefore - z.avail_out;
    // No progress with input left means the output was full: grow and go on.
    if (status == Z_BUF_ERROR && consumed < in.size() && z.avail_out == 0) status = Z_OK;
  }
  inflateEnd(&z);
  // Z_STREAM_END, or a stream cut short (Z_BUF_ERROR) or damaged (Z_DATA_ERROR): keep the part
  // decoded before it.
  if (used == header.size()) throw ESwfError("the zlib-compressed movie is damaged");
  out.resize(used);
  return out;
}

std::vector<uint8_t> UnpackLzma(std::span<const uint8_t> header, std::span<const uint8_t> in) {
  // After the header: the compressed length (4, not needed), the LZMA properties (5), the data.
  if (in.size() < 9) throw ESwfError("the LZMA-compressed movie is too short");
  // The properties become a ".lzma" header with an unknown length, so the stream may or may
  // not end with a marker. No distance reaches beyond what the output can hold, so a larger
  // dictionary than that is never needed.
  std::array<uint8_t, 13> alone{};
  const uint32_t dictionary =
      std::min<uint32_t>(std::max<uint32_t>(Le32(in.data() + 5), 4096), kMaxUnpackedMovieBytes);
  alone[0] = in[4];
  for (int i = 0; i < 4; ++i)
    alone[1 + i] = uint8_t(dictionary >> (8 * i));
  for (size_t i = 5; i < alone.size(); ++i)
    alone[i] = 0xFF;

  lzma_stream s = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&s, UINT64_MAX) != LZMA_OK) throw ESwfError("cannot start LZMA");
  std::vector<uint8_t> out(FirstCapacity(Le32(header.data() + 4)));
  std::copy(header.begin(), header.end(), out.begin());
  size_t used = header.size();
  s.next_in = alone.data();
  s.avail_in = alone.size();
  s.next_out = out.data() + used;
  s.avail_out = out.size() - used;
  lzma_ret status = lzma_code(&s, LZMA_RUN);
  if (s.avail_in != 0) status = LZMA_DATA_ERROR;
  const std::span<const uint8_t> data = in.subspan(9);
  s.next_in = data.data();
  s.avail_in = data.size();
  while ((status == LZMA_OK || status == LZMA_BUF_ERROR) && s.avail_in > 0 &&
         used < kMaxUnpackedMovieBytes) {
    if (used == out.size()) GrowOutput(out, used);
    s.next_out = out.data() + used;
    s.avail_out = out.size() - used;
    status = lzma_code(&s, LZMA_RUN);
    used = size_t(s.next_out - out.data());
  }
  // With all input taken the decoder may still hold decoded bytes: flush them.
  while (status == LZMA_OK && used < kMaxUnpackedMovieBytes) {
    if (used == out.size()) GrowOutput(out, used);
    s.next_out = out.data() + used;
    s.avail_out = out.size() - used;
    status = lzma_code(&s, LZMA_RUN);
    const size_t before = used;
    used = size_t(s.next_out - out.data());
    if (used == before) break;
  }
  lzma_end(&s);
  if (used == header.size()) throw ESwfError("the LZMA-compressed movie is damaged");
  out.resize(used);
  return out;
}

}  // namespace

std::vector<uint8_t> UnpackSwf(std::vector<uint8_t> file) {
  if (file.size() < kHeaderBytes) throw ESwfError("not a movie: too short");
  if (file[1] != 'W' || file[2] != 'S') throw ESwfError("not a movie: no SWF signature");
  const std::array<uint8_t, kHeaderBytes> header{'F',     'W',     'S',     file[3],
                                                 file[4], file[5], file[6], file[7]};
  const std::span<const uint8_t> rest = std::span<const uint8_t>(file).subspan(kHeaderBytes);
  switch (file[0]) {
    case 'F':
      if (file.size() > kMaxUnpackedMovieBytes) file.resize(kMaxUnpackedMovieBytes);
      return file;
    case 'C':
      return Inflate(header, rest);
    case 'Z':
      return UnpackLzma(header, rest);
    default:
      throw ESwfError("not a movie: no SWF signature");
  }
}

}  // namespace kestrava
