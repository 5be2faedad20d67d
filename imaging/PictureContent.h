#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kestrava {

// The kinds of picture Kestrava reads, as a file's first bytes tell them.
enum class TPictureContent { Unknown, Jpeg, Png, Gif, Bmp, Webp, Heif };

// The kind the bytes start as; Unknown when they start as none of them.
TPictureContent PictureContentOf(std::span<const uint8_t> bytes);

// What bytes that are no picture Kestrava reads look like, as "a PDF file"; empty when their
// start says nothing recognisable.
std::string OtherContentOf(std::span<const uint8_t> bytes);

// The reader for these bytes: their own kind whatever the name says, the kind the name gives when
// their start is unrecognisable (that reader then says what is wrong). Throws EPictureError when
// they are recognisably something else: "<name>: not a picture Kestrava reads (it looks like a PDF
// file)", without "<name>: " for an empty name.
TPictureContent ReaderFor(std::span<const uint8_t> bytes, TPictureContent byName,
                          const std::string& name);

}  // namespace kestrava
