#include "imaging/PictureContent.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "imaging/ImageErrors.h"

namespace kestrava {

namespace {

using namespace std::string_view_literals;

bool StartsWith(std::span<const uint8_t> bytes, std::string_view magic, size_t at = 0) {
  return bytes.size() >= at + magic.size() &&
         std::memcmp(bytes.data() + at, magic.data(), magic.size()) == 0;
}

// The brands of an ISO media file's leading "ftyp" box (major brand first), or none.
bool HasBrand(std::span<const uint8_t> bytes, std::initializer_list<std::string_view> brands) {
  if (!StartsWith(bytes, "ftyp", 4)) return false;
  const size_t boxSize =
      size_t(bytes[0]) << 24 | size_t(bytes[1]) << 16 | size_t(bytes[2]) << 8 | size_t(bytes[3]);
  const size_t end = std::min(boxSize, bytes.size());
  // The major brand at 8, the minor version at 12, compatible brands from 16.
  for (size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4)
    for (const std::string_view brand : brands)
      if (StartsWith(bytes, brand, at)) return true;
  return false;
}

}  // namespace

TPictureContent PictureContentOf(std::span<const uint8_t> bytes) {
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return TPictureContent::Jpeg;
  if (StartsWith(bytes, "\x89PNG\r\n\x1A\n")) return TPictureContent::Png;
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return TPictureContent::Gif;
  if (StartsWith(bytes, "BM")) return TPictureContent::Bmp;
  if (StartsWith(bytes, "RIFF") && StartsWith(bytes, "WEBP", 8)) return TPictureContent::Webp;
  if (HasBrand(bytes, {"heic", "heix", "mif1"})) return TPictureContent::Heif;
  return TPictureContent::Unknown;
}

std::string OtherContentOf(std::span<const uint8_t> bytes) {
  static constexpr struct {
    std::string_view Magic;
    const char* What;
  } kKnown[] = {
      {"%PDF"sv, "a PDF file"},
      {"PK\x03\x04"sv, "a ZIP archive"},
      {"II*\0"sv, "a TIFF picture"},
      {"MM\0*"sv, "a TIFF picture"},
      {"\x1F\x8B"sv, "a gzip archive"},
      {"MThd"sv, "a MIDI file"},
      {"ID3"sv, "an MP3 file"},
      {"OggS"sv, "an Ogg file"},
      {"\x7F"
       "ELF"sv,
       "a program"},
      {"FWS"sv, "a Flash movie"},
      {"CWS"sv, "a Flash movie"},
      {"ZWS"sv, "a Flash movie"},
      {"<svg"sv, "an SVG drawing"},
      {"<?xml"sv, "an XML file"},
  };
  for (const auto& known : kKnown)
    if (StartsWith(bytes, known.Magic)) return known.What;
  if (StartsWith(bytes, "RIFF") && StartsWith(bytes, "WAVE", 8)) return "a WAV sound";
  if (StartsWith(bytes, "RIFF") && StartsWith(bytes, "AVI ", 8)) return "an AVI video";
  if (HasBrand(bytes, {"avif", "avis"})) return "an AVIF picture";
  if (StartsWith(bytes, "ftyp", 4)) return "an MP4 or QuickTime video";
  return {};
}

TPictureContent ReaderFor(std::span<const uint8_t> bytes, TPictureContent byName,
                          const std::string& name) {
  const TPictureContent content = PictureContentOf(bytes);
  if (content != TPictureContent::Unknown) return content;
  const std::string other = OtherContentOf(bytes);
  if (other.empty()) return byName;
  throw EPictureError((name.empty() ? "" : name + ": ") +
                      "not a picture Kestrava reads (it looks like " + other + ")");
}

}  // namespace kestrava
