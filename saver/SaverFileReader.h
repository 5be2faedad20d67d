#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

#include "saver/SaverFileIo.h"
#include "saver/SaverFormat.h"

namespace kestrava {

// A file that is not a well-formed saver file ("not a saver file: ..."), or one that cannot be
// opened or read.
class ESaverFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TBlockKind : uint8_t { Runtime, Music, Picture, Movie };

// "runtime", "music", "picture", "movie".
const char* BlockKindName(TBlockKind kind);

struct TSaverBlock {
  TBlockKind Kind = TBlockKind::Runtime;
  int64_t Offset = 0;
  int64_t Size = 0;
  uint8_t MusicType = 0;  // music blocks only

  friend bool operator==(const TSaverBlock&, const TSaverBlock&) = default;
};

struct TSaverLayout {
  TSaverTrailer Trailer;
  int64_t FileSize = 0;
  TSaverBlock Runtime;              // everything before the first payload block, maybe empty
  std::vector<TSaverBlock> Blocks;  // music, then pictures or movies, in file order
};

// Checks the trailer (the last 600 bytes of a file of fileSize bytes) and finds the blocks from
// it. Throws ESaverFileError for anything a conforming writer cannot have made.
TSaverLayout ReadSaverLayout(std::span<const uint8_t> trailer, int64_t fileSize);

class TSaverFileReader {
 public:
  // Reads only the trailer; blocks are read on demand.
  explicit TSaverFileReader(const std::filesystem::path& path);
  // A view of bytes that must outlive the reader.
  explicit TSaverFileReader(std::span<const uint8_t> bytes);
  // A temporary would be gone before its blocks are read.
  explicit TSaverFileReader(std::vector<uint8_t>&& bytes) = delete;

  const TSaverLayout& Layout() const { return layout_; }
  const TSaverTrailer& Trailer() const { return layout_.Trailer; }
  const std::vector<TSaverBlock>& Blocks() const { return layout_.Blocks; }
  const TSaverBlock& Runtime() const { return layout_.Runtime; }

  // The bytes of a block of this file (or of any range inside it). Throws ESaverFileError when
  // the file cannot be read or has become shorter.
  std::vector<uint8_t> ReadBlock(const TSaverBlock& block) const;
  // The same bytes in pieces of bounded size, for blocks too large to hold at once.
  void ReadBlockInPieces(const TSaverBlock& block,
                         const std::function<void(std::span<const uint8_t>)>& piece) const;

 private:
  // Throws std::out_of_range for a range that is not inside the file.
  void CheckInside(const TSaverBlock& block) const;
  void Read(int64_t offset, std::span<uint8_t> out) const;

  std::filesystem::path path_;
  TFileDescriptor file_;
  std::span<const uint8_t> bytes_;
  TSaverLayout layout_;
};

}  // namespace kestrava
