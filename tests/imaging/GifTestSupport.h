#pragma once

// Tiny GIF files put together block by block, so that each case shows the bytes it is about.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "imaging/GifPicture.h"
#include "imaging/GifStream.h"
#include "raster/Color.h"

namespace kestrava::giftest {

using TBytes = std::vector<uint8_t>;

inline TBytes Cat(std::initializer_list<TBytes> parts) {
  TBytes out;
  for (const TBytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline TBytes Word(int v) {
  return {uint8_t(v), uint8_t(v >> 8)};
}

inline TBytes Text(const std::string& s) {
  return TBytes(s.begin(), s.end());
}

// Entries as 0x00RRGGBB, padded with black to the 2^(n+1) entries the packed byte can say.
inline TBytes ColorTable(const std::vector<TPixel>& colors, uint8_t* sizeBits) {
  int bits = 0;
  while ((2 << bits) < int(colors.size()))
    ++bits;
  *sizeBits = uint8_t(bits);
  TBytes out;
  for (int i = 0; i < (2 << bits); ++i) {
    const TPixel c = i < int(colors.size()) ? colors[size_t(i)] : 0;
    out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  }
  return out;
}

// Signature, logical screen and, when colors is not empty, the global colour table.
inline TBytes Screen(int width, int height, const std::vector<TPixel>& colors, int background = 0,
                     const std::string& signature = "GIF89a") {
  uint8_t bits = 0;
  const TBytes table = colors.empty() ? TBytes{} : ColorTable(colors, &bits);
  return Cat({Text(signature),
              Word(width),
              Word(height),
              {uint8_t(colors.empty() ? 0 : 0x80 | bits), uint8_t(background), 0},
              table});
}

// Codes packed least significant bit first, each {code, width}.
inline TBytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
  TBytes out;
  uint32_t bits = 0;
  int count = 0;
  for (auto [code, width] : codes) {
    bits |= uint32_t(code) << count;
    count += width;
    while (count >= 8) {
      out.push_back(uint8_t(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) out.push_back(uint8_t(bits));
  return out;
}

// Every pixel as its own code, the code width growing as the decoder's table does; a clear code
// first and the end code last. A valid stream that never reuses a table entry.
inline std::vector<std::pair<int, int>> LiteralCodes(int minCodeSize, const TBytes& pixels,
                                                     bool endCode = true) {
  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1, limit = 2 * clear, next = clear + 2;
  std::vector<std::pair<int, int>> codes = {{clear, width}};
  for (size_t i = 0; i < pixels.size(); ++i) {
    codes.push_back({pixels[i], width});
    if (i == 0 || next >= 4096) continue;  // the first code after a clear adds no entry
    if (++next >= limit && limit < 4096) {
      limit *= 2;
      ++width;
    }
  }
  if (endCode) codes.push_back({clear + 1, width});
  return codes;
}

// Data sub-blocks of at most chunk bytes, with the zero-length block unless told otherwise.
inline TBytes SubBlocks(const TBytes& data, size_t chunk = 255, bool terminator = true) {
  TBytes out;
  for (size_t at = 0; at < data.size(); at += chunk) {
    const size_t n = std::min(chunk, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  if (terminator) out.push_back(0);
  return out;
}

struct TImage {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  TBytes Pixels;                    // Width x Height indices
  std::vector<TPixel> LocalColors;  // a local table when not empty
  bool Interlaced = false;
  int MinCodeSize = 2;
};

// Image descriptor, local table and image data; pixels given in display order are stored in
// interlaced order when asked.
inline TBytes Image(int left, int top, int width, int height, const TBytes& pixels,
                    const std::vector<TPixel>& localColors = {}, bool interlaced = false,
                    int minCodeSize = 2) {
  const TImage image{left, top, width, height, pixels, localColors, interlaced, minCodeSize};
  uint8_t bits = 0;
  const TBytes table = image.LocalColors.empty() ? TBytes{} : ColorTable(image.LocalColors, &bits);
  uint8_t packed = image.Interlaced ? 0x40 : 0;
  if (!image.LocalColors.empty()) packed |= uint8_t(0x80 | bits);
  TBytes stored;
  if (!image.Interlaced) {
    stored = image.Pixels;
  } else {
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < image.Height; y += step)
        stored.insert(stored.end(), image.Pixels.begin() + long(y) * image.Width,
                      image.Pixels.begin() + long(y + 1) * image.Width);
  }
  return Cat({{0x2C},
              Word(image.Left),
              Word(image.Top),
              Word(image.Width),
              Word(image.Height),
              {packed},
              table,
              {uint8_t(image.MinCodeSize)},
              SubBlocks(PackCodes(LiteralCodes(image.MinCodeSize, stored)))});
}

inline TBytes GraphicControl(int disposal, int delay, int transparentIndex = -1) {
  const uint8_t packed = uint8_t(disposal << 2 | (transparentIndex >= 0 ? 1 : 0));
  return Cat({{0x21, 0xF9, 4, packed},
              Word(delay),
              {uint8_t(transparentIndex >= 0 ? transparentIndex : 0), 0}});
}

inline TBytes LoopExtension(int count, const std::string& id = "NETSCAPE2.0") {
  return Cat({{0x21, 0xFF, 11}, Text(id), {3, 1}, Word(count), {0}});
}

inline TBytes Comment(const std::string& text) {
  return Cat({{0x21, 0xFE}, SubBlocks(Text(text))});
}

inline TBytes Trailer() {
  return {0x3B};
}

constexpr TPixel kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF,
                 kBlack = 0;

// A picture loaded from bytes, with what the load reported.
struct TLoad {
  explicit TLoad(const TBytes& bytes) : Bytes(bytes), Stream(Bytes) {
    Picture.OnWarning = [this](TGifPicture&, int severity, const std::string& message) {
      Warnings.push_back(message);
      Severities.push_back(severity);
    };
    try {
      Picture.LoadFromStream(Stream);
    } catch (const EGifError& e) {
      Error = e.what();
    }
  }
  TBytes Bytes;
  TGifStream Stream;
  TGifPicture Picture;
  std::vector<std::string> Warnings;
  std::vector<int> Severities;
  std::string Error;
};

// The first frame's colour indices.
inline TBytes FramePixels(const TGifPicture& picture, int index = 0) {
  return picture.Images()[index].Data;
}

}  // namespace kestrava::giftest
