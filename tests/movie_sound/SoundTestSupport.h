#pragma once

// Shared by the sound tests: the swfdec sound captures, and tiny movies made up in the test.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/SwfMovieData.h"
#include "movie/SwfTagCodes.h"
#include "movie/sound/SwfSoundFormat.h"

namespace kestrava::test {

using TBytes = std::vector<uint8_t>;

inline std::filesystem::path SwfdecSoundDir() {
  return std::filesystem::path(KESTRAVA_SHARED_DIR) / "corpus/swf/swfdec/sound";
}

inline std::filesystem::path CorpusFile(const std::string& relative) {
  return std::filesystem::path(KESTRAVA_SHARED_DIR) / "corpus/swf" / relative;
}

inline TBytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A capture: signed 16-bit little-endian stereo frames.
inline std::vector<int16_t> ReadCapture(const std::filesystem::path& path) {
  const TBytes bytes = ReadBytes(path);
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

// The first tag with this code on the root timeline (control tags) or in the dictionary.
inline std::optional<TSwfTag> RootTag(const TSwfMovie& movie, uint16_t code) {
  for (const TSwfTag& tag : movie.Data().Root.Tags)
    if (tag.Code == code) return tag;
  return std::nullopt;
}

inline TBytes Tag(uint16_t code, const TBytes& body) {
  // Always the long form, which every reader takes for any length.
  TBytes out = {uint8_t((code << 6 | 0x3F) & 0xFF), uint8_t(code >> 2)};
  const uint32_t length = uint32_t(body.size());
  for (int i = 0; i < 4; ++i)
    out.push_back(uint8_t(length >> (8 * i)));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// An uncompressed version 10 movie of one frame holding these tags.
inline std::shared_ptr<const TSwfMovie> MovieOf(const std::vector<TBytes>& tags) {
  TBytes file = {'F',  'W',  'S', 10, 0, 0, 0, 0,
                 0x00,        // an empty frame rectangle: five bits of size 0
                 0x00, 0x0C,  // 12 frames a second
                 0x01, 0x00};
  for (const TBytes& tag : tags)
    file.insert(file.end(), tag.begin(), tag.end());
  const TBytes showFrameAndEnd = {0x40, 0x00, 0x00, 0x00};
  file.insert(file.end(), showFrameAndEnd.begin(), showFrameAndEnd.end());
  const uint32_t length = uint32_t(file.size());
  for (int i = 0; i < 4; ++i)
    file[4 + size_t(i)] = uint8_t(length >> (8 * i));
  return TSwfMovie::Load(std::move(file));
}

inline TBytes DefineSoundTag(uint16_t id, uint8_t formatByte, uint32_t sampleCount,
                             const TBytes& data) {
  TBytes body = {uint8_t(id), uint8_t(id >> 8), formatByte};
  for (int i = 0; i < 4; ++i)
    body.push_back(uint8_t(sampleCount >> (8 * i)));
  body.insert(body.end(), data.begin(), data.end());
  return Tag(swftag::DefineSound, body);
}

// The format byte: codec, rate code, 16 bits, stereo.
constexpr uint8_t FormatByte(TSwfSoundCodec codec, int rateCode, bool is16Bit, bool stereo) {
  return uint8_t(int(codec) << 4 | rateCode << 2 | (is16Bit ? 2 : 0) | (stereo ? 1 : 0));
}

// Sets an environment variable for the life of the object, as SDL reads its drivers from there.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TScopedEnvironment() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace kestrava::test
