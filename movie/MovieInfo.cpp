#include "movie/MovieInfo.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "movie/SwfGeometry.h"

namespace kestrava {

namespace {

// The frame rectangle takes at most 5 + 4 * 31 bits (17 bytes), then rate and count 4 bytes.
constexpr size_t kFieldsAfterLength = 21;

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

std::vector<uint8_t> Inflate(std::span<const uint8_t> in) {
  std::vector<uint8_t> out(kFieldsAfterLength);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EMovieInfoError("cannot start zlib");
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(std::min<size_t>(in.size(), UINT_MAX));
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  int status = Z_OK;
  while (z.avail_out > 0 && status == Z_OK)
    status = inflate(&z, Z_SYNC_FLUSH);
  inflateEnd(&z);
  if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
    throw EMovieInfoError("the zlib-compressed movie is damaged");
  out.resize(out.size() - z.avail_out);
  return out;
}

std::vector<uint8_t> UnpackLzma(std::span<const uint8_t> in) {
  // After the 8-byte header: the compressed length (4), the LZMA properties (5), the raw stream.
  if (in.size() < 9) throw EMovieInfoError("the LZMA-compressed movie is too short");
  // The properties become a ".lzma" header with an unknown length. Only the first bytes are
  // decoded, so a small dictionary serves whatever size the movie asks for and a hostile size
  // allocates nothing.
  std::array<uint8_t, 13> header{};
  header[0] = in[4];
  header[1] = 0x00, header[2] = 0x10, header[3] = 0x00, header[4] = 0x00;  // 4 KiB
  for (size_t i = 5; i < 13; ++i)
    header[i] = 0xFF;
  lzma_stream s = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&s, 1 << 20) != LZMA_OK) throw EMovieInfoError("cannot start LZMA");
  std::vector<uint8_t> out(kFieldsAfterLength);
  s.next_out = out.data();
  s.avail_out = out.size();
  s.next_in = header.data();
  s.avail_in = header.size();
  lzma_ret status = lzma_code(&s, LZMA_RUN);
  if (status == LZMA_OK) {
    const std::span<const uint8_t> data = in.subspan(9);
    s.next_in = data.data();
    s.avail_in = data.size();
    while (status == LZMA_OK && s.avail_out > 0 && s.avail_in > 0)
      status = lzma_code(&s, LZMA_RUN);
  }
  const size_t made = out.size() - s.avail_out;
  lzma_end(&s);
  if (status != LZMA_OK && status != LZMA_STREAM_END)
    throw EMovieInfoError("the LZMA-compressed movie is damaged");
  out.resize(made);
  return out;
}

}  // namespace

TMovieInfo ReadMovieInfo(std::span<const uint8_t> bytes) {
  if (bytes.size() < 8) throw EMovieInfoError("not a movie: too short");
  TMovieInfo info;
  if (bytes[1] != 'W' || bytes[2] != 'S') throw EMovieInfoError("not a movie: no SWF signature");
  switch (bytes[0]) {
    case 'F':
      info.Compression = TMovieCompression::None;
      break;
    case 'C':
      info.Compression = TMovieCompression::Zlib;
      break;
    case 'Z':
      info.Compression = TMovieCompression::Lzma;
      break;
    default:
      throw EMovieInfoError("not a movie: no SWF signature");
  }
  info.Version = bytes[3];
  info.FileLength = Le32(bytes, 4);
  const std::span<const uint8_t> rest = bytes.subspan(8);
  std::vector<uint8_t> unpacked;
  std::span<const uint8_t> fields = rest;
  if (info.Compression == TMovieCompression::Zlib) fields = unpacked = Inflate(rest);
  if (info.Compression == TMovieCompression::Lzma) fields = unpacked = UnpackLzma(rest);

  try {
    TSwfBits bits(fields);
    const TSwfRect frame = ReadSwfRect(bits);
    info.XMin = frame.XMin;
    info.XMax = frame.XMax;
    info.YMin = frame.YMin;
    info.YMax = frame.YMax;
    info.FrameRate = bits.U16();
    info.FrameCount = bits.U16();
  } catch (const ESwfError&) {
    throw EMovieInfoError("the movie header ends early");
  }
  return info;
}

}  // namespace kestrava
