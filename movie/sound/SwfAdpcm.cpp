#include "movie/sound/SwfAdpcm.h"

#include <algorithm>
#include <array>

namespace kestrava {

namespace {

constexpr int kPacketFrames = 4096;  // the initial sample and 4095 codes
constexpr int kHeaderBits = 16 + 6;

constexpr std::array<int16_t, 89> kStepSizes = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Step index changes by the magnitude part of the code, for 2, 3, 4 and 5-bit codes.
constexpr int8_t kIndexShift2[] = {-1, 2};
constexpr int8_t kIndexShift3[] = {-1, -1, 2, 4};
constexpr int8_t kIndexShift4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int8_t kIndexShift5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int8_t* kIndexShifts[] = {kIndexShift2, kIndexShift3, kIndexShift4, kIndexShift5};

// Most significant bit first, with the bits left known up front so that the loops check once.
class TBitCursor {
 public:
  explicit TBitCursor(std::span<const uint8_t> bytes) : bytes_(bytes), left_(bytes.size() * 8) {}

  size_t BitsLeft() const { return left_; }

  // The caller has checked that count (at most 16) bits are left.
  uint32_t Read(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      const size_t at = bytes_.size() * 8 - left_;
      value = value << 1 | ((bytes_[at >> 3] >> (7 - (at & 7))) & 1u);
      --left_;
    }
    return value;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t left_;
};

struct TChannelState {
  int Sample = 0;
  int Index = 0;
};

class TAdpcmChannelDecoder {
 public:
  explicit TAdpcmChannelDecoder(int codeBits)
      : codeBits_(codeBits), signBit_(1u << (codeBits - 1)), shifts_(kIndexShifts[codeBits - 2]) {}

  int16_t Next(TChannelState& state, uint32_t code) const {
    // The magnitude bits weigh step, step/2, step/4 ... and half the last weight is always added,
    // so a zero magnitude still moves by a little.
    const int step = kStepSizes[size_t(state.Index)];
    int difference = step >> (codeBits_ - 1);
    for (int bit = codeBits_ - 2, shift = 0; bit >= 0; --bit, ++shift)
      if (code & (1u << bit)) difference += step >> shift;
    state.Sample += (code & signBit_) ? -difference : difference;
    state.Sample = std::clamp(state.Sample, -32768, 32767);
    state.Index = std::clamp(state.Index + shifts_[code & (signBit_ - 1)], 0, 88);
    return int16_t(state.Sample);
  }

 private:
  int codeBits_;
  uint32_t signBit_;
  const int8_t* shifts_;
};

}  // namespace

std::vector<int16_t> DecodeSwfAdpcm(std::span<const uint8_t> data, bool stereo, size_t maxFrames) {
  const int channels = stereo ? 2 : 1;
  std::vector<int16_t> out;
  TBitCursor in(data);
  if (in.BitsLeft() < 2) return out;
  const int codeBits = int(in.Read(2)) + 2;
  const TAdpcmChannelDecoder decoder(codeBits);

  // Every frame takes at least codeBits bits a channel: the data bounds the result.
  const size_t frameBits = size_t(codeBits) * size_t(channels);
  out.reserve(std::min(maxFrames, in.BitsLeft() / frameBits + 1) * size_t(channels));

  size_t frames = 0;
  while (frames < maxFrames && in.BitsLeft() >= size_t(kHeaderBits * channels)) {
    TChannelState state[2];
    for (int c = 0; c < channels; ++c) {
      state[c].Sample = int16_t(in.Read(16));
      // Six bits reach 63; the table goes to 88, so the index needs no clamp here.
      state[c].Index = int(in.Read(6));
      out.push_back(int16_t(state[c].Sample));
    }
    ++frames;
    for (int k = 1; k < kPacketFrames && frames < maxFrames && in.BitsLeft() >= frameBits; ++k) {
      for (int c = 0; c < channels; ++c)
        out.push_back(decoder.Next(state[c], in.Read(codeBits)));
      ++frames;
    }
  }
  return out;
}

}  // namespace kestrava
