#include "saver/SaverFormat.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrava {

namespace {

void PutInt32(std::span<uint8_t> bytes, size_t offset, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (size_t i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<uint8_t>(u >> (8 * i));
}

}  // namespace

uint8_t MusicTypeCode(const std::filesystem::path& path) {
  const std::string text = path.string();
  if (text.size() < 4) return kMp3TypeCode;
  const std::string_view ending = std::string_view(text).substr(text.size() - 4);
  if (ending == ".mid") return kMidiTypeCode;
  if (ending == ".wav") return kWavTypeCode;
  return kMp3TypeCode;
}

TEffectFlags EffectFlags(std::span<const int> tickedStyles) {
  TEffectFlags flags{};
  for (const int style : tickedStyles)
    if (style >= 1 && style < int(kEffectFlagCount)) flags[size_t(style)] = 1;
  return flags;
}

bool TrailerFits(TSaverKind kind, size_t sourceCount, size_t musicCount) {
  if (kind == TSaverKind::Flash) return sourceCount <= kSizeTableEntries;
  return musicCount <= size_t(kMaxMusicFiles) && sourceCount <= kSizeTableEntries &&
         sourceCount + musicCount <= kSizeTableEntries;
}

std::array<uint8_t, kTrailerSize> LayOutTrailer(const TSaverTrailer& trailer) {
  const bool pictures = trailer.Kind == TSaverKind::Pictures;
  const size_t n = trailer.SourceSizes.size();
  const size_t m = pictures ? trailer.MusicSizes.size() : 0;
  if (!TrailerFits(trailer.Kind, n, m))
    throw std::invalid_argument("saver trailer: " + std::to_string(n) + " sources and " +
                                std::to_string(m) + " music files do not fit");
  if (pictures && trailer.MusicTypes.size() != m)
    throw std::invalid_argument("saver trailer: music type codes and sizes differ in number");

  std::array<uint8_t, kTrailerSize> bytes{};
  bytes[0] = pictures ? kPicturesKindByte : kFlashKindByte;
  bytes[1] = m > 0 ? kMusicStoredByte : kNoMusicByte;
  PutInt32(bytes, kSourceCountOffset, int32_t(n));
  if (m > 0) PutInt32(bytes, kMusicCountOffset, int32_t(m));
  PutInt32(bytes, kQuitModeOffset, trailer.QuitMode);
  if (pictures) {
    size_t at = kVariableFieldsOffset;
    for (const uint8_t code : trailer.MusicTypes)
      bytes[at++] = code;
    PutInt32(bytes, at, trailer.IntervalSeconds);
    bytes[at + 4] = kFlagByte;
    std::copy(trailer.EffectFlags.begin(), trailer.EffectFlags.end(), bytes.begin() + at + 5);
  } else {
    bytes[kVariableFieldsOffset] = kFlagByte;
  }
  size_t at = kSettingsAreaSize;
  for (const int32_t size : trailer.SourceSizes) {
    PutInt32(bytes, at, size);
    at += 4;
  }
  if (pictures) {
    for (const int32_t size : trailer.MusicSizes) {
      PutInt32(bytes, at, size);
      at += 4;
    }
  }
  return bytes;
}

}  // namespace kestrava
