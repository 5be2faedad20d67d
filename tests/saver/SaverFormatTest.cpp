// The trailer's fields and its limits, the music type codes and the effect flags.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "saver/SaverFormat.h"
#include "tests/saver/SaverTestSupport.h"

namespace kestrava {
namespace {

using namespace savertest;

TEST(MusicTypeCode, ComparesTheLastFourCharactersAsTyped) {
  const struct {
    const char* Path;
    uint8_t Code;
  } cases[] = {
      {"/music/song.mid", 0x30},
      {"/music/song.wav", 0x32},
      {"/music/song.mp3", 0x31},
      {"/music/song.MID", 0x31},
      {"/music/song.Wav", 0x31},
      {"/music/song.midi", 0x31},
      {"/music/song.ogg", 0x31},
      {".mid", 0x30},
      {"mid", 0x31},
      {"", 0x31},
      {"/a.wav/song.mid", 0x30},
      {"/a.mid/song", 0x31},
      {"/music/song.mid ", 0x31},
      {"/m/\xC3\xA9t\xC3\xA9.wav", 0x32},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MusicTypeCode(c.Path), c.Code) << '"' << c.Path << '"';
}

TEST(EffectFlags, MarksTickedStylesOfTheCatalogueOnly) {
  const std::vector<int> ticked = {5, 1, 122, 5, 0, 123, -1, 150, 64};
  const TEffectFlags flags = EffectFlags(ticked);
  for (size_t k = 0; k < kEffectFlagCount; ++k)
    EXPECT_EQ(flags[k], k == 1 || k == 5 || k == 64 || k == 122 ? 1 : 0) << "style " << k;
  EXPECT_EQ(EffectFlags({}), TEffectFlags{});
}

// A trailer expected field by field; every other byte is the zero filler.
struct TField {
  size_t Offset;
  TBytes Bytes;
};

std::array<uint8_t, kTrailerSize> Expected(const std::vector<TField>& fields) {
  std::array<uint8_t, kTrailerSize> bytes{};
  for (const TField& f : fields)
    std::copy(f.Bytes.begin(), f.Bytes.end(), bytes.begin() + std::ptrdiff_t(f.Offset));
  return bytes;
}

TBytes FlagBytes(std::initializer_list<size_t> styles) {
  TBytes flags(kEffectFlagCount, 0);
  for (const size_t s : styles)
    flags[s] = 1;
  return flags;
}

std::vector<int32_t> Sizes(size_t count, int32_t first) {
  std::vector<int32_t> sizes;
  for (size_t i = 0; i < count; ++i)
    sizes.push_back(first + int32_t(i) * 3);
  return sizes;
}

TBytes SizeBytes(const std::vector<int32_t>& sizes) {
  TBytes bytes;
  for (const int32_t s : sizes) {
    const TBytes le = Le32(s);
    bytes.insert(bytes.end(), le.begin(), le.end());
  }
  return bytes;
}

TEST(SaverTrailer, LaysOutEachFieldAtItsOffset) {
  // 58 music files: the effect flags end on the settings area's last byte, and with 42 sources
  // the size table is full.
  TSaverTrailer full;
  full.QuitMode = 4;
  full.IntervalSeconds = -7;
  full.EffectFlags = EffectFlags(std::vector<int>{1, 122});
  full.SourceSizes = Sizes(42, 1);
  full.MusicSizes = Sizes(58, 0x01020304);
  for (int i = 0; i < 58; ++i)
    full.MusicTypes.push_back(uint8_t(0x30 + i % 3));
  TBytes codes;
  for (int i = 0; i < 58; ++i)
    codes.push_back(uint8_t(0x30 + i % 3));

  // The Flash kind lays out no music, interval or effects, whatever the struct holds.
  TSaverTrailer flash = full;
  flash.Kind = TSaverKind::Flash;
  flash.QuitMode = 3;
  flash.SourceSizes = Sizes(100, 9);

  TSaverTrailer small;
  small.QuitMode = 5;
  small.IntervalSeconds = 0x7FFFFFFF;
  small.EffectFlags = EffectFlags(std::vector<int>{2});
  small.SourceSizes = {0x11223344};
  small.MusicSizes = {77};
  small.MusicTypes = {0x32};

  const struct {
    const char* Name;
    TSaverTrailer Trailer;
    std::vector<TField> Fields;
  } cases[] = {
      {"pictures at both limits",
       full,
       {{0, {0x0E, 0x0E}},
        {2, Le32(42)},
        {6, Le32(58)},
        {10, Le32(4)},
        {14, codes},
        {72, Le32(-7)},
        {76, {0xFF}},
        {77, FlagBytes({1, 122})},
        {200, SizeBytes(full.SourceSizes)},
        {368, SizeBytes(full.MusicSizes)}}},
      {"Flash with a full size table",
       flash,
       {{0, {0x0F, 0x0A}},
        {2, Le32(100)},
        {10, Le32(3)},
        {14, {0xFF}},
        {200, SizeBytes(flash.SourceSizes)}}},
      {"pictures with one music file",
       small,
       {{0, {0x0E, 0x0E}},
        {2, Le32(1)},
        {6, Le32(1)},
        {10, Le32(5)},
        {14, {0x32}},
        {15, Le32(0x7FFFFFFF)},
        {19, {0xFF}},
        {20, FlagBytes({2})},
        {200, Le32(0x11223344)},
        {204, Le32(77)}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto actual = LayOutTrailer(c.Trailer);
    const auto expected = Expected(c.Fields);
    for (size_t i = 0; i < kTrailerSize; ++i)
      ASSERT_EQ(int(actual[i]), int(expected[i])) << "trailer offset " << i;
  }
}

TEST(SaverTrailer, RefusesWhatDoesNotFit) {
  const auto make = [](TSaverKind kind, size_t n, size_t m, size_t codes) {
    TSaverTrailer t;
    t.Kind = kind;
    t.SourceSizes = Sizes(n, 1);
    t.MusicSizes = Sizes(m, 1);
    t.MusicTypes.assign(codes, 0x30);
    return t;
  };
  const struct {
    const char* Name;
    TSaverTrailer Trailer;
    bool Fits;
  } cases[] = {
      {"59 music files", make(TSaverKind::Pictures, 1, 59, 59), false},
      {"58 music files", make(TSaverKind::Pictures, 42, 58, 58), true},
      {"101 entries with music", make(TSaverKind::Pictures, 43, 58, 58), false},
      {"101 pictures", make(TSaverKind::Pictures, 101, 0, 0), false},
      {"100 pictures", make(TSaverKind::Pictures, 100, 0, 0), true},
      {"101 movies", make(TSaverKind::Flash, 101, 0, 0), false},
      {"100 movies, music ignored", make(TSaverKind::Flash, 100, 80, 0), true},
      {"a type code missing", make(TSaverKind::Pictures, 1, 2, 1), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const bool pictures = c.Trailer.Kind == TSaverKind::Pictures;
    if (c.Trailer.MusicTypes.size() == (pictures ? c.Trailer.MusicSizes.size() : 0)) {
      EXPECT_EQ(
          TrailerFits(c.Trailer.Kind, c.Trailer.SourceSizes.size(), c.Trailer.MusicSizes.size()),
          c.Fits);
    }
    if (c.Fits) {
      EXPECT_NO_THROW(LayOutTrailer(c.Trailer));
    } else {
      EXPECT_THROW(LayOutTrailer(c.Trailer), std::invalid_argument);
    }
  }
}

}  // namespace
}  // namespace kestrava
