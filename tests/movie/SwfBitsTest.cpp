#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "movie/SwfBits.h"

namespace kestrava {
namespace {

using TBytes = std::vector<uint8_t>;

TEST(SwfBits, ReadsLittleEndianByteFields) {
  const TBytes bytes = {0x34, 0x12,              // U16 0x1234
                        0x78, 0x56, 0x34, 0x12,  // U32 0x12345678
                        0xFE, 0xFF,              // S16 -2
                        0xFF, 0xFF, 0xFF, 0xFF,  // S32 -1
                        0x80, 0xFF,              // 8.8: -0.5
                        0x00, 0x80, 0x01, 0x00,  // 16.16: 1.5
                        0x00, 0x00, 0xC0, 0x3F,  // float 1.5
                        'a',  'b',  0,    'c'};  // "ab", then "c" without its zero
  TSwfBits bits(bytes);
  EXPECT_EQ(bits.U16(), 0x1234);
  EXPECT_EQ(bits.U32(), 0x12345678u);
  EXPECT_EQ(bits.S16(), -2);
  EXPECT_EQ(bits.S32(), -1);
  EXPECT_EQ(bits.Fixed8(), -0.5);
  EXPECT_EQ(bits.Fixed16(), 1.5);
  EXPECT_EQ(bits.Float(), 1.5f);
  EXPECT_EQ(bits.String(), "ab");
  EXPECT_EQ(bits.Remaining(), 1u);
  EXPECT_EQ(bits.String(), "c");
  EXPECT_TRUE(bits.AtEnd());
}

TEST(SwfBits, ReadsEncodedU32OfEveryLength) {
  struct Case {
    TBytes bytes;
    uint32_t value;
    size_t used;
  };
  const Case cases[] = {
      {{0x05, 0xAA}, 5, 1},
      {{0x81, 0x01}, 129, 2},
      {{0xFF, 0xFF, 0x03}, 0xFFFF, 3},
      {{0x80, 0x80, 0x80, 0x80, 0x01}, 1u << 28, 5},
      // A fifth byte with its high bit set still ends the number.
      {{0xFF, 0xFF, 0xFF, 0xFF, 0x8F, 0x01}, 0xFFFFFFFF, 5},
  };
  for (const Case& c : cases) {
    TSwfBits bits(c.bytes);
    EXPECT_EQ(bits.EncodedU32(), c.value);
    EXPECT_EQ(bits.Position(), c.used);
  }
}

TEST(SwfBits, ReadsBitFieldsMostSignificantFirstAcrossBytes) {
  // 101 | 1111 0000 1 | 0110 ... : fields straddle the byte boundaries.
  const TBytes bytes = {0b1011'1110, 0b0001'0110, 0b1000'0000, 0x42};
  TSwfBits bits(bytes);
  EXPECT_EQ(bits.UBits(3), 0b101u);
  EXPECT_EQ(bits.UBits(9), 0b1111'0000'1u);
  EXPECT_EQ(bits.SBits(4), 0b0110);
  EXPECT_EQ(bits.SBits(2), -2);  // 10
  EXPECT_EQ(bits.Position(), 3u);
  EXPECT_EQ(bits.UBits(0), 0u);
  EXPECT_EQ(bits.SBits(0), 0);
  // A byte field starts on the next whole byte.
  EXPECT_EQ(bits.U8(), 0x42);
}

TEST(SwfBits, SignExtendsEveryWidth) {
  for (int width = 1; width <= 32; ++width) {
    SCOPED_TRACE(width);
    const TBytes ones(4, 0xFF);
    TSwfBits all(ones);
    EXPECT_EQ(all.SBits(width), -1);
    // The largest positive value: a zero and width-1 ones.
    const uint32_t pattern = width == 32 ? 0x7FFFFFFFu : (0xFFFFFFFFu >> 1) >> (32 - width);
    const uint32_t shifted = pattern << (32 - width);
    const TBytes positive = {uint8_t(shifted >> 24), uint8_t(shifted >> 16), uint8_t(shifted >> 8),
                             uint8_t(shifted)};
    TSwfBits top(positive);
    EXPECT_EQ(top.SBits(width), int64_t(pattern));
  }
  const TBytes half = {0x80, 0x00, 0x00};  // FBits(17): -1.0 in 16.16
  TSwfBits fixed(half);
  EXPECT_EQ(fixed.FBits(17), -1.0);
}

TEST(SwfBits, RefusesEveryReadPastTheEnd) {
  const TBytes three = {1, 2, 0x83};  // the last one asks for more of an EncodedU32
  const std::vector<std::pair<const char*, std::function<void(TSwfBits&)>>> reads = {
      {"U32", [](TSwfBits& b) { b.U32(); }},
      {"S32", [](TSwfBits& b) { b.S32(); }},
      {"Float", [](TSwfBits& b) { b.Float(); }},
      {"Fixed16", [](TSwfBits& b) { b.Fixed16(); }},
      {"Bytes", [](TSwfBits& b) { b.Bytes(4); }},
      {"Sub", [](TSwfBits& b) { b.Sub(4); }},
      {"Skip", [](TSwfBits& b) { b.Skip(size_t(-1)); }},
      {"UBits", [](TSwfBits& b) { b.UBits(25); }},
      {"U8 after bits",
       [](TSwfBits& b) {
         b.UBits(17);
         b.U8();
       }},
      {"EncodedU32",
       [](TSwfBits& b) {
         b.U16();
         b.EncodedU32();
       }},
  };
  for (const auto& [name, read] : reads) {
    SCOPED_TRACE(name);
    TSwfBits bits(std::span<const uint8_t>(three.data(), 3));
    try {
      read(bits);
      ADD_FAILURE() << "read past the end";
    } catch (const ESwfError& e) {
      EXPECT_STREQ(e.what(), "the movie ends inside a field");
    }
  }
  TSwfBits wide(three);
  EXPECT_THROW(wide.UBits(33), ESwfError);
  TSwfBits empty;
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_EQ(empty.String(), "");
  EXPECT_THROW(empty.U8(), ESwfError);
}

TEST(SwfBits, SubReadersAndRestStayInsideTheirBytes) {
  const TBytes bytes = {0xA0, 1, 2, 3, 4, 5};
  TSwfBits bits(bytes);
  EXPECT_EQ(bits.UBits(3), 0b101u);
  EXPECT_EQ(bits.Position(), 1u);  // a partly read byte counts
  EXPECT_EQ(bits.Remaining(), 5u);
  EXPECT_EQ(bits.Rest().front(), 1);
  TSwfBits sub = bits.Sub(2);
  EXPECT_EQ(sub.U16(), 0x0201);
  EXPECT_THROW(sub.U8(), ESwfError);
  EXPECT_EQ(bits.U8(), 3);
  EXPECT_EQ(bits.Rest().size(), 2u);
  bits.Skip(2);
  EXPECT_TRUE(bits.AtEnd());
}

}  // namespace
}  // namespace kestrava
