#pragma once

// The saver file: the runtime program, then the payload blocks (music and pictures, or movies),
// then a fixed 600-byte trailer at the very end from which every block is found. The runtime's
// own length is recorded nowhere: it is whatever lies before the first payload block.
//
// Trailer, offsets from its start S = E - 600 (E the file's length), integers 32-bit signed
// little-endian:
//   0  kind byte (0x0E pictures, 0x0F Flash)     1  music byte (0x0E music stored, else 0x0A)
//   2  source count n                            6  music count m (only when music is stored)
//  10  quit mode (1..5)
//  pictures: 14 m type codes, 14+m interval, 18+m flag 0xFF, 19+m the 123 effect flags
//  Flash:    14 flag 0xFF
// 200  source sizes (4 n), then music sizes (4 m): the size table of 100 entries.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "project/ProjectSettings.h"

namespace kestrava {

using TSaverKind = project::TSaverKind;

inline constexpr size_t kTrailerSize = 600;
inline constexpr size_t kSettingsAreaSize = 200;
inline constexpr size_t kSizeTableSize = 400;
inline constexpr size_t kSizeTableEntries = kSizeTableSize / 4;

inline constexpr uint8_t kPicturesKindByte = 0x0E;
inline constexpr uint8_t kFlashKindByte = 0x0F;
inline constexpr uint8_t kMusicStoredByte = 0x0E;
inline constexpr uint8_t kNoMusicByte = 0x0A;
inline constexpr uint8_t kFlagByte = 0xFF;

inline constexpr uint8_t kMidiTypeCode = 0x30;  // ASCII '0'
inline constexpr uint8_t kMp3TypeCode = 0x31;   // '1', also every unknown ending
inline constexpr uint8_t kWavTypeCode = 0x32;   // '2'

inline constexpr size_t kEffectFlagCount = 123;  // style numbers 0..122
using TEffectFlags = std::array<uint8_t, kEffectFlagCount>;

inline constexpr size_t kSourceCountOffset = 2;
inline constexpr size_t kMusicCountOffset = 6;
inline constexpr size_t kQuitModeOffset = 10;
inline constexpr size_t kVariableFieldsOffset = 14;  // type codes (pictures) or flag (Flash)

// The pictures kind's fields end at 142 + m, which must stay inside the settings area.
inline constexpr int kMaxMusicFiles = 58;
inline constexpr int kMinQuitMode = 1;
inline constexpr int kMaxQuitMode = 5;
// A size entry is a signed 32-bit number.
inline constexpr int64_t kMaxBlockSize = INT32_MAX;

// The byte the runtime tells a music file's format by: the path's last four characters as typed
// (".MID" and ".midi" are not ".mid" and give the MP3 code).
uint8_t MusicTypeCode(const std::filesystem::path& path);

// One byte per style number, 1 for each ticked one; numbers outside 1..122 are no effects.
TEffectFlags EffectFlags(std::span<const int> tickedStyles);

// True when n sources and m music files have room in the trailer. Music counts only for the
// pictures kind: the Flash kind stores none.
bool TrailerFits(TSaverKind kind, size_t sourceCount, size_t musicCount);

// The trailer's fields. The Flash kind lays out only Kind, QuitMode and SourceSizes; the others
// are zero or empty when read from a Flash saver.
struct TSaverTrailer {
  TSaverKind Kind = TSaverKind::Pictures;
  int32_t QuitMode = kMinQuitMode;
  int32_t IntervalSeconds = 0;
  TEffectFlags EffectFlags{};
  std::vector<int32_t> SourceSizes;
  std::vector<int32_t> MusicSizes;
  std::vector<uint8_t> MusicTypes;  // one per music size

  friend bool operator==(const TSaverTrailer&, const TSaverTrailer&) = default;
};

// The 600 trailer bytes; bytes no field covers are 0. Throws std::invalid_argument when the
// counts do not fit (TrailerFits) or the type codes and music sizes differ in number.
std::array<uint8_t, kTrailerSize> LayOutTrailer(const TSaverTrailer& trailer);

}  // namespace kestrava
