#include "saver/SaverFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

namespace kestrava {

namespace {

constexpr size_t kPieceSize = size_t{1} << 16;

ESaverFileError NotSaver(const std::string& what) {
  return ESaverFileError("not a saver file: " + what);
}

std::string Hex(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", unsigned(byte));
  return text;
}

int32_t Int32At(std::span<const uint8_t> bytes, size_t offset) {
  uint32_t u = 0;
  for (size_t i = 0; i < 4; ++i)
    u |= uint32_t(bytes[offset + i]) << (8 * i);
  return static_cast<int32_t>(u);
}

void ExpectFlag(std::span<const uint8_t> trailer, size_t offset) {
  if (trailer[offset] != kFlagByte)
    throw NotSaver("the byte at trailer offset " + std::to_string(offset) + " is " +
                   Hex(trailer[offset]) + ", not 0xFF");
}

// Each size as a positive 32-bit number; the sum in 64 bits cannot overflow.
int64_t CheckedSizes(const std::vector<int32_t>& sizes, TBlockKind kind) {
  int64_t total = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i] <= 0)
      throw NotSaver("the size " + std::to_string(sizes[i]) + " of " + BlockKindName(kind) + " " +
                     std::to_string(i) + " is not positive");
    total += sizes[i];
  }
  return total;
}

}  // namespace

const char* BlockKindName(TBlockKind kind) {
  switch (kind) {
    case TBlockKind::Runtime:
      return "runtime";
    case TBlockKind::Music:
      return "music";
    case TBlockKind::Picture:
      return "picture";
    case TBlockKind::Movie:
      return "movie";
  }
  return "block";
}

TSaverLayout ReadSaverLayout(std::span<const uint8_t> trailer, int64_t fileSize) {
  if (fileSize < int64_t(kTrailerSize))
    throw NotSaver("the file has " + std::to_string(fileSize) +
                   " bytes, fewer than the 600 of the trailer");
  if (trailer.size() != kTrailerSize)
    throw std::invalid_argument("a saver trailer has 600 bytes, not " +
                                std::to_string(trailer.size()));

  TSaverLayout layout;
  layout.FileSize = fileSize;
  TSaverTrailer& t = layout.Trailer;
  if (trailer[0] == kPicturesKindByte) {
    t.Kind = TSaverKind::Pictures;
  } else if (trailer[0] == kFlashKindByte) {
    t.Kind = TSaverKind::Flash;
  } else {
    throw NotSaver("the kind byte " + Hex(trailer[0]) + " is neither 0x0E nor 0x0F");
  }
  const bool pictures = t.Kind == TSaverKind::Pictures;
  if (trailer[1] != kMusicStoredByte && trailer[1] != kNoMusicByte)
    throw NotSaver("the music byte " + Hex(trailer[1]) + " is neither 0x0E nor 0x0A");
  const bool music = trailer[1] == kMusicStoredByte;
  if (music && !pictures)
    throw NotSaver("a Flash saver stores no music, but its music byte is 0x0E");

  const int32_t n = Int32At(trailer, kSourceCountOffset);
  if (n < 1 || n > int32_t(kSizeTableEntries))
    throw NotSaver("the source count " + std::to_string(n) + " is not within 1..100");
  const int32_t m = music ? Int32At(trailer, kMusicCountOffset) : 0;
  if (music && (m < 1 || m > kMaxMusicFiles))
    throw NotSaver("the music count " + std::to_string(m) + " is not within 1..58");
  if (n + m > int32_t(kSizeTableEntries))
    throw NotSaver(std::to_string(n) + " sources and " + std::to_string(m) +
                   " music files pass the 100 entries of the size table");
  t.QuitMode = Int32At(trailer, kQuitModeOffset);
  if (t.QuitMode < kMinQuitMode || t.QuitMode > kMaxQuitMode)
    throw NotSaver("the quit mode " + std::to_string(t.QuitMode) + " is not within 1..5");

  if (pictures) {
    size_t at = kVariableFieldsOffset;
    for (int32_t i = 0; i < m; ++i, ++at) {
      const uint8_t code = trailer[at];
      if (code != kMidiTypeCode && code != kMp3TypeCode && code != kWavTypeCode)
        throw NotSaver("the type code " + Hex(code) + " of music " + std::to_string(i) +
                       " is not 0x30, 0x31 or 0x32");
      t.MusicTypes.push_back(code);
    }
    t.IntervalSeconds = Int32At(trailer, at);
    ExpectFlag(trailer, at + 4);
    std::copy_n(trailer.begin() + std::ptrdiff_t(at + 5), kEffectFlagCount, t.EffectFlags.begin());
  } else {
    ExpectFlag(trailer, kVariableFieldsOffset);
  }

  for (int32_t i = 0; i < n; ++i)
    t.SourceSizes.push_back(Int32At(trailer, kSettingsAreaSize + 4 * size_t(i)));
  for (int32_t i = 0; i < m; ++i)
    t.MusicSizes.push_back(Int32At(trailer, kSettingsAreaSize + 4 * size_t(n + i)));
  const TBlockKind sourceKind = pictures ? TBlockKind::Picture : TBlockKind::Movie;
  const int64_t total =
      CheckedSizes(t.MusicSizes, TBlockKind::Music) + CheckedSizes(t.SourceSizes, sourceKind);
  const int64_t room = fileSize - int64_t(kTrailerSize);
  if (total > room)
    throw NotSaver("the blocks take " + std::to_string(total) + " bytes, more than the " +
                   std::to_string(room) + " before the trailer");

  // The blocks lie back to back and end where the trailer starts.
  int64_t offset = room - total;
  layout.Runtime = {TBlockKind::Runtime, 0, offset, 0};
  for (int32_t i = 0; i < m; ++i) {
    layout.Blocks.push_back(
        {TBlockKind::Music, offset, t.MusicSizes[size_t(i)], t.MusicTypes[size_t(i)]});
    offset += t.MusicSizes[size_t(i)];
  }
  for (const int32_t size : t.SourceSizes) {
    layout.Blocks.push_back({sourceKind, offset, size, 0});
    offset += size;
  }
  return layout;
}

TSaverFileReader::TSaverFileReader(const std::filesystem::path& path)
    : path_(path), file_(OpenWithoutWaiting(path, O_RDONLY)) {
  if (!file_.Valid()) throw ESaverFileError(SystemError("Cannot open file", path, errno));
  struct stat status {};
  if (::fstat(file_.Get(), &status) != 0)
    throw ESaverFileError(SystemError("Cannot read file", path, errno));
  if (!S_ISREG(status.st_mode)) throw NotSaver(PathText(path) + " is not a regular file");
  const int64_t size = status.st_size;
  std::vector<uint8_t> trailer(kTrailerSize);
  if (size >= int64_t(kTrailerSize)) Read(size - int64_t(kTrailerSize), trailer);
  layout_ = ReadSaverLayout(trailer, size);
}

TSaverFileReader::TSaverFileReader(std::span<const uint8_t> bytes) : bytes_(bytes) {
  const size_t tail = std::min(bytes.size(), kTrailerSize);
  layout_ = ReadSaverLayout(bytes.last(tail), int64_t(bytes.size()));
}

void TSaverFileReader::Read(int64_t offset, std::span<uint8_t> out) const {
  if (!file_.Valid()) {
    std::copy_n(bytes_.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
    return;
  }
  if (!ReadFullyAt(file_.Get(), offset, out)) {
    if (errno == 0)
      throw ESaverFileError("Cannot read file " + PathText(path_) + ": it ended early");
    throw ESaverFileError(SystemError("Cannot read file", path_, errno));
  }
}

void TSaverFileReader::CheckInside(const TSaverBlock& block) const {
  if (block.Offset < 0 || block.Size < 0 || block.Size > layout_.FileSize - block.Offset)
    throw std::out_of_range("the block lies outside the saver file");
}

std::vector<uint8_t> TSaverFileReader::ReadBlock(const TSaverBlock& block) const {
  CheckInside(block);
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t(block.Size));
  ReadBlockInPieces(block, [&bytes](std::span<const uint8_t> piece) {
    bytes.insert(bytes.end(), piece.begin(), piece.end());
  });
  return bytes;
}

void TSaverFileReader::ReadBlockInPieces(
    const TSaverBlock& block, const std::function<void(std::span<const uint8_t>)>& piece) const {
  CheckInside(block);
  std::vector<uint8_t> buffer(size_t(std::min<int64_t>(block.Size, kPieceSize)));
  for (int64_t done = 0; done < block.Size;) {
    const auto count = size_t(std::min<int64_t>(block.Size - done, kPieceSize));
    const std::span<uint8_t> part(buffer.data(), count);
    Read(block.Offset + done, part);
    piece(part);
    done += int64_t(count);
  }
}

}  // namespace kestrava
