#pragma once

// A loaded SWF movie: its header, its characters by id and its timeline, read once and shared
// by everything that plays it. The decompressed file stays inside; the spans below point into it.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "movie/SwfGeometry.h"

namespace kestrava {

// A character's defining tag: DefineShape1-4, DefineMorphShape1-2, DefineBits*, DefineFont*,
// DefineText*, DefineEditText, DefineSound, DefineSprite, DefineButton*...
struct TSwfCharacter {
  uint16_t Id = 0;
  uint16_t TagCode = 0;
  std::span<const uint8_t> Body;  // the whole tag body, the character id included
};

class TSwfMovieData;  // the timeline and the rest, private to the reader and the timeline

class TSwfMovie {
 public:
  // Throws ESwfError. FWS, CWS (zlib) and ZWS (LZMA), versions 1 to 10; a wrong stated length
  // and unknown tags are tolerated.
  static std::shared_ptr<const TSwfMovie> Load(std::vector<uint8_t> fileBytes);
  static std::shared_ptr<const TSwfMovie> LoadFile(const std::filesystem::path& path);
  ~TSwfMovie();

  uint8_t Version() const;
  TSwfRect FrameRect() const;
  double FrameRate() const;      // frames per second, as stored (0 allowed: the player decides)
  uint16_t FrameCount() const;   // the frames the root timeline really has
  TSwfRgba Background() const;   // the first SetBackgroundColor; white without one

  // Null when no character has the id.
  const TSwfCharacter* Character(uint16_t id) const;
  // The JPEGTables tag's body shared by DefineBits; empty without one.
  std::span<const uint8_t> JpegTables() const;

  const TSwfMovieData& Data() const { return *data_; }

 private:
  TSwfMovie();
  std::unique_ptr<TSwfMovieData> data_;
};

}  // namespace kestrava
