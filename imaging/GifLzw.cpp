#include "imaging/GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imaging/GifErrors.h"

namespace kestrava {

namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxCodeWidth = 12;
// A string is at most as long as the table; a longer chain can only be a loop in the table.
constexpr int kStackSize = 8192;
constexpr int kOutOfCodes = -1;

// Codes of a given width, least significant bit first, from the data sub-blocks.
class TCodeReader {
 public:
  explicit TCodeReader(TGifReader& reader) : reader_(reader) {}

  // The next code, or kOutOfCodes when the data has run out.
  int Read(int width) {
    if (count_ < width && !Fill(width)) [[unlikely]]
      return OutOfCodes();
    const int code = int(bits_ & ((uint64_t{1} << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return code;
  }

  // The stream ended inside the data.
  bool Ended() const { return ended_; }

  // Passes over the sub-blocks not read yet, up to the zero-length one.
  void SkipRest() {
    if (finished_) return;
    TGifStream& stream = reader_.Stream;
    for (int n = stream.ReadByte(); n > 0; n = stream.ReadByte())
      stream.Skip(size_t(n));
    finished_ = true;
  }

 private:
  // Takes bytes until at least width bits are there; false when the data ends first. Kept out
  // of line so that Read, called for every code, is small enough to inline.
  [[gnu::noinline]] bool Fill(int width) {
    while (count_ < width) {
      if (left_ == 0 && !NextBlock()) return false;
      for (; left_ > 0 && count_ <= 56; --left_, count_ += 8)
        bits_ |= uint64_t(*next_++) << count_;
    }
    return true;
  }

  bool NextBlock() {
    if (finished_ || ended_) return false;
    const int n = reader_.Stream.ReadByte();
    if (n < 0) {
      ended_ = true;
      return false;
    }
    if (n == 0) {
      finished_ = true;
      return false;
    }
    const std::span<const uint8_t> block = reader_.Stream.Take(size_t(n));
    if (block.size() < size_t(n)) {
      reader_.Warning("Premature end of data");
      ended_ = true;
    }
    next_ = block.data();
    left_ = block.size();
    return true;
  }

  [[gnu::noinline]] int OutOfCodes() const {
    if (finished_ && count_ == 0) reader_.Warning("Decoder bit buffer under-run");
    return kOutOfCodes;
  }

  TGifReader& reader_;
  const uint8_t* next_ = nullptr;
  size_t left_ = 0;  // bytes of the current sub-block not taken yet
  uint64_t bits_ = 0;
  int count_ = 0;          // bits in bits_
  bool finished_ = false;  // the zero-length sub-block was read
  bool ended_ = false;     // the stream ended inside the data
};

// What one code gave: its pixels, either written straight to where they belong or, when they do
// not fit there, left in the decoder's stack.
struct TString {
  size_t Length = 0;                 // 0: decoding has stopped
  const uint8_t* Stacked = nullptr;  // null when written in place
};

// The string table and the state between codes. A code's string is found by walking from the
// code to its prefixes, last pixel first.
class TLzwDecoder {
 public:
  TLzwDecoder(TCodeReader& codes, int minCodeSize)
      : codes_(codes), clear_(1 << minCodeSize), end_(clear_ + 1), minWidth_(minCodeSize + 1) {}

  // Decodes the next code into out when its string fits in room pixels, else into the stack.
  TString Next(uint8_t* out, size_t room) {
    int code;
    if (atStart_) {
      // The data is taken to begin with a clear code.
      atStart_ = false;
      code = clear_;
    } else {
      code = codes_.Read(width_);
      if (code == kOutOfCodes) return {};
    }
    if (code == clear_) {
      Clear();
      do {
        code = codes_.Read(width_);
        if (code == kOutOfCodes) return {};
      } while (code == clear_);
      if (code == end_) return End();
      // A code beyond the literals here has no entry yet: the table cannot be trusted.
      if (code > end_) consistent_ = false;
      previous_ = first_ = code;
      previousLength_ = 1;
      stack_[kStackSize - 1] = uint8_t(code);
      return {1, stack_.data() + kStackSize - 1};
    }
    if (code == end_) return End();
    if (code > nextFree_) consistent_ = false;
    if (consistent_) return ExpandInPlace(code, out, room);
    return Expand(code);
  }

  bool MetEnd() const { return metEnd_; }

 private:
  void Clear() {
    for (int i = 0; i < clear_; ++i) {
      prefix_[size_t(i)] = 0;
      suffix_[size_t(i)] = uint8_t(i);
      length_[size_t(i)] = 1;
    }
    std::fill(prefix_.begin() + clear_, prefix_.end(), uint16_t{0});
    std::fill(suffix_.begin() + clear_, suffix_.end(), uint8_t{0});
    width_ = minWidth_;
    limit_ = 2 * clear_;
    nextFree_ = clear_ + 2;
    consistent_ = true;
  }

  TString End() {
    codes_.SkipRest();
    metEnd_ = true;
    return {};
  }

  void AddEntry() {
    if (nextFree_ >= kTableSize) return;
    prefix_[size_t(nextFree_)] = uint16_t(previous_);
    suffix_[size_t(nextFree_)] = uint8_t(first_);
    length_[size_t(nextFree_)] = uint16_t(std::min(previousLength_ + 1, kTableSize));
    // With all 4096 entries in use the width stays at 12 bits until the next clear code.
    if (++nextFree_ >= limit_ && limit_ < kTableSize) {
      limit_ *= 2;
      ++width_;
    }
  }

  // The general walk, for any table: the string is built in the stack. A code not in the table
  // yet is the previous string plus its own first value.
  TString Expand(int code) {
    uint8_t* const stack = stack_.data();
    int sp = kStackSize;
    int c = code;
    if (c >= nextFree_) {
      stack[--sp] = uint8_t(first_);
      c = previous_;
    }
    while (c >= clear_) {
      if (sp == 0) throw EGifError("Circular decoder table entry");
      stack[--sp] = suffix_[size_t(c)];
      if (prefix_[size_t(c)] == c) throw EGifError("Circular decoder table entry");
      c = prefix_[size_t(c)];
    }
    if (sp == 0) throw EGifError("Circular decoder table entry");
    first_ = suffix_[size_t(c)];
    stack[--sp] = uint8_t(first_);
    AddEntry();
    previous_ = code;
    previousLength_ = kStackSize - sp;
    return {size_t(kStackSize - sp), stack + sp};
  }

  // Since the last clear every code was in the table or the next one to be made, so each
  // entry's prefix lies below it and its recorded length is the length of its walk: the string
  // can be written backwards straight to where it belongs.
  TString ExpandInPlace(int code, uint8_t* out, size_t room) {
    const bool notYet = code == nextFree_;
    const int length = notYet ? previousLength_ + 1 : length_[size_t(code)];
    if (size_t(length) > room) return Expand(code);
    uint8_t* p = out + length;
    int c = code;
    if (notYet) {
      *--p = uint8_t(first_);
      c = previous_;
    }
    while (c >= clear_) {
      *--p = suffix_[size_t(c)];
      c = prefix_[size_t(c)];
    }
    first_ = suffix_[size_t(c)];
    *--p = uint8_t(first_);
    AddEntry();
    previous_ = code;
    previousLength_ = length;
    return {size_t(length), nullptr};
  }

  TCodeReader& codes_;
  const int clear_;
  const int end_;
  const int minWidth_;
  int width_ = 0;
  int limit_ = 0;
  int nextFree_ = 0;
  int previous_ = 0;
  int previousLength_ = 0;
  int first_ = 0;
  bool atStart_ = true;
  bool metEnd_ = false;
  bool consistent_ = true;
  std::array<uint16_t, kTableSize> prefix_{};
  std::array<uint8_t, kTableSize> suffix_{};
  std::array<uint16_t, kTableSize> length_{};
  std::array<uint8_t, kStackSize> stack_{};
};

static_assert(kMaxCodeWidth == 12 && (1 << kMaxCodeWidth) == kTableSize);

// The rows of a frame in the order the data fills them.
class TRowOrder {
 public:
  TRowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {
    if (height_ == 0) pass_ = 4;
  }
  bool Done() const { return pass_ == 4; }
  int Row() const { return row_; }
  void Advance() {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    if (!interlaced_) {
      if (++row_ == height_) pass_ = 4;
      return;
    }
    row_ += kStep[pass_];
    // A pass whose first row lies outside the frame is skipped.
    while (row_ >= height_ && ++pass_ < 4)
      row_ = kStart[pass_];
  }

 private:
  int height_;
  bool interlaced_;
  int pass_ = 0;
  int row_ = 0;
};

}  // namespace

uint64_t MostGifPixels(TGifStream stream) {
  const int minCodeSize = stream.ReadByte();
  if (minCodeSize < 0) return 0;
  uint64_t bytes = 0;
  for (int n = stream.ReadByte(); n > 0; n = stream.ReadByte()) {
    const size_t step = std::min(size_t(n), stream.Remaining());
    bytes += step;
    stream.Skip(step);
  }
  const uint64_t codes = bytes * 8 / uint64_t(std::clamp(minCodeSize + 1, 1, kMaxCodeWidth));
  // The i-th code since a clear gives at most i + 2 pixels (a table walk passes each entry made
  // so far once, and a first value), and no code more than the decoder's stack holds.
  constexpr uint64_t kLongest = kStackSize;
  if (codes < kLongest) return codes * (codes + 5) / 2;
  return kLongest * (kLongest + 5) / 2 + (codes - kLongest) * kLongest;
}

bool SkipGifImage(TGifStream& stream) {
  if (stream.ReadByte() < 0) return false;
  for (int n = stream.ReadByte(); n != 0; n = stream.ReadByte()) {
    if (n < 0 || stream.Remaining() < size_t(n)) {
      stream.Skip(stream.Remaining());
      return false;
    }
    stream.Skip(size_t(n));
  }
  return true;
}

namespace {

// Decodes into runs of runLength pixels starting at the rows rowAt gives, in the order the data
// fills them. A row rowAt leaves out (null) is decoded into a scratch row and forgotten.
template <typename TRowAt>
bool DecodeRuns(TGifReader& reader, int width, int height, bool interlaced, size_t runLength,
                TRowAt rowAt) {
  const int minCodeSize = reader.Stream.ReadByte();
  if (minCodeSize < 0) return width == 0 || height == 0;
  // Larger sizes give clear codes beyond the 4096-entry table.
  if (minCodeSize > 11) throw EGifError("Invalid GIF data");
  TCodeReader codes(reader);
  TLzwDecoder decoder(codes, minCodeSize);

  const bool empty = width == 0 || height == 0;
  const bool wholeRuns = runLength != size_t(width);
  TRowOrder rows(empty ? 0 : wholeRuns ? 1 : height, interlaced && !wholeRuns);
  std::vector<uint8_t> scratch;
  const auto runAt = [&](int row) {
    uint8_t* at = rowAt(row);
    if (at) return at;
    scratch.resize(runLength);
    return scratch.data();
  };
  uint8_t* out = rows.Done() ? nullptr : runAt(0);
  size_t left = runLength;
  const auto nextRun = [&] {
    rows.Advance();
    if (rows.Done()) return false;
    out = runAt(rows.Row());
    left = runLength;
    return true;
  };
  bool more = !rows.Done();
  while (more) {
    const TString s = decoder.Next(out, left);
    if (s.Length == 0) break;
    if (!s.Stacked) {
      out += s.Length;
      left -= s.Length;
      if (left == 0) more = nextRun();
      continue;
    }
    // Across the end of a row, or from an untrusted table. What lies beyond the frame is lost.
    const uint8_t* from = s.Stacked;
    for (size_t n = s.Length; n > 0 && more;) {
      const size_t take = std::min(n, left);
      std::memcpy(out, from, take);
      out += take;
      left -= take;
      from += take;
      n -= take;
      if (left == 0) more = nextRun();
    }
  }
  // The end code and what remains of the data are read after the last pixel, so that the
  // stream stands behind the frame.
  if (!decoder.MetEnd()) decoder.Next(nullptr, 0);
  return !more || !codes.Ended();
}

}  // namespace

bool DecodeGifImage(TGifReader& reader, std::span<uint8_t> pixels, int width, int height,
                    bool interlaced) {
  // Without interlace the rows follow each other in memory: the whole frame is one run.
  const size_t runLength = interlaced ? size_t(width) : size_t(width) * size_t(height);
  return DecodeRuns(reader, width, height, interlaced, runLength,
                    [&](int row) { return pixels.data() + size_t(row) * size_t(width); });
}

bool DecodeGifRows(TGifReader& reader, const std::function<uint8_t*(int row)>& rowAt, int width,
                   int height, bool interlaced) {
  return DecodeRuns(reader, width, height, interlaced, size_t(width), rowAt);
}

}  // namespace kestrava
