#include "movie/render/BitmapDecoder.h"

#include <algorithm>
#include <cstring>

#include "imaging/GifPicture.h"
#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "movie/SwfTagCodes.h"
#include "movie/render/Inflate.h"
#include "movie/render/JpegStream.h"
#include "movie/render/RenderLimits.h"

namespace kestrava::render {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
  return a << 24 | mul(r) << 16 | mul(g) << 8 | mul(b);
}

// Lossless2 is stored premultiplied; a colour above its alpha would break cairo's arithmetic.
uint32_t ClampedPremultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return a << 24 | std::min(r, a) << 16 | std::min(g, a) << 8 | std::min(b, a);
}

void CheckSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) throw ESwfError("a bitmap without pixels");
  if (width * height > kMaxBitmapPixels) throw ESwfError("a bitmap too large to show");
}

TDecodedBitmap Allocate(int width, int height) {
  CheckSize(width, height);
  TDecodedBitmap bitmap;
  bitmap.Width = width;
  bitmap.Height = height;
  bitmap.Pixels.assign(size_t(width) * size_t(height), 0);
  return bitmap;
}

bool StartsWith(std::span<const uint8_t> data, std::initializer_list<uint8_t> signature) {
  return data.size() >= signature.size() &&
         std::equal(signature.begin(), signature.end(), data.begin());
}

TDecodedBitmap FromJpeg(std::span<const uint8_t> stream) {
  if (stream.empty()) throw ESwfError("bitmap data that is no JPEG");
  const TJpegImage jpeg = DecodeJpeg(stream, kMaxBitmapPixels);
  TDecodedBitmap bitmap = Allocate(jpeg.Bitmap.Width(), jpeg.Bitmap.Height());
  for (int y = 0; y < bitmap.Height; ++y) {
    const uint8_t* row = jpeg.Bitmap.ScanLine(y);
    uint32_t* out = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.Width);
    for (int x = 0; x < bitmap.Width; ++x, row += 3)
      out[x] = kOpaque | uint32_t(row[2]) << 16 | uint32_t(row[1]) << 8 | row[0];
  }
  return bitmap;
}

TDecodedBitmap FromPng(std::span<const uint8_t> data) {
  const TBitmap png = ReadPng(data);
  TDecodedBitmap bitmap = Allocate(png.Width(), png.Height());
  for (int y = 0; y < bitmap.Height; ++y) {
    const uint8_t* row = png.ScanLine(y);
    uint32_t* out = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.Width);
    for (int x = 0; x < bitmap.Width; ++x, row += 4)
      out[x] = Premultiplied(row[2], row[1], row[0], row[3]);
  }
  return bitmap;
}

// The first frame on the logical screen; the transparent index and uncovered screen show through.
TDecodedBitmap FromGif(std::span<const uint8_t> data) {
  TGifPicture gif;
  gif.SetPixelLimit(size_t(kMaxBitmapPixels));
  TGifStream stream(data);
  gif.LoadFromStream(stream);
  if (gif.Empty()) throw ESwfError("a GIF without pictures");
  TDecodedBitmap bitmap = Allocate(gif.Width(), gif.Height());
  TGifFrame& frame = gif.Images()[0];
  const TPalette& palette = frame.Palette();
  const int transparent = frame.Transparent ? frame.TransparentIndex() : -1;
  for (int y = 0; y < frame.Height; ++y) {
    const int screenY = frame.Top + y;
    if (screenY >= bitmap.Height) break;
    for (int x = 0; x < frame.Width && frame.Left + x < bitmap.Width; ++x) {
      const size_t at = size_t(y) * frame.Width + size_t(x);
      if (at >= frame.Data.size()) break;
      const uint8_t index = frame.Data[at];
      if (index == transparent) continue;
      bitmap.Pixels[size_t(screenY) * size_t(bitmap.Width) + size_t(frame.Left + x)] =
          kOpaque | (palette[index] & 0xFFFFFF);
    }
  }
  return bitmap;
}

// JPEG, or from SWF 8 on PNG or GIF, as DefineBitsJPEG2 and later say by the signature.
TDecodedBitmap FromPictureData(std::span<const uint8_t> data, std::span<const uint8_t> tables,
                               bool* isJpeg) {
  *isJpeg = false;
  if (StartsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return FromPng(data);
  if (StartsWith(data, {'G', 'I', 'F', '8'})) return FromGif(data);
  *isJpeg = true;
  return FromJpeg(JoinJpegStreams(tables, data));
}

// DefineBitsJPEG3 and 4: one byte of alpha per pixel, zlib-compressed, after the JPEG. The
// JPEG holds the colours already multiplied by that alpha.
void ApplyAlpha(TDecodedBitmap& bitmap, std::span<const uint8_t> compressed) {
  const std::vector<uint8_t> alpha = InflateAtMost(compressed, bitmap.Pixels.size());
  for (size_t i = 0; i < alpha.size(); ++i) {
    const uint32_t p = bitmap.Pixels[i];
    bitmap.Pixels[i] = ClampedPremultiplied(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, alpha[i]);
  }
}

TDecodedBitmap FromLossless(TSwfBits& bits, bool withAlpha) {
  const uint8_t format = bits.U8();
  const int width = bits.U16();
  const int height = bits.U16();
  CheckSize(width, height);
  if (format != 3 && format != 4 && format != 5)
    throw ESwfError("a lossless bitmap of unknown format");
  const size_t colours = format == 3 ? size_t(bits.U8()) + 1 : 0;
  const size_t tableBytes = colours * (withAlpha ? 4 : 3);
  const size_t rowBytes = format == 3   ? (size_t(width) + 3) & ~size_t{3}
                          : format == 4 ? (size_t(width) * 2 + 3) & ~size_t{3}
                                        : size_t(width) * 4;
  const std::vector<uint8_t> data =
      InflateAtMost(bits.Rest(), tableBytes + rowBytes * size_t(height));
  TDecodedBitmap bitmap = Allocate(width, height);

  std::vector<uint32_t> table(256, 0);
  for (size_t i = 0; i < colours && (i + 1) * (withAlpha ? 4 : 3) <= data.size(); ++i) {
    const uint8_t* c = data.data() + i * (withAlpha ? 4 : 3);
    table[i] = withAlpha ? ClampedPremultiplied(c[0], c[1], c[2], c[3])
                         : kOpaque | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
  }
  for (int y = 0; y < height; ++y) {
    const size_t rowStart = tableBytes + size_t(y) * rowBytes;
    if (rowStart >= data.size()) break;
    const uint8_t* row = data.data() + rowStart;
    const size_t available = std::min(rowBytes, data.size() - rowStart);
    uint32_t* out = bitmap.Pixels.data() + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x) {
      if (format == 3) {
        if (size_t(x) >= available) break;
        out[x] = table[row[x]];
      } else if (format == 4) {
        if (size_t(x) * 2 + 2 > available) break;
        const uint32_t v = uint32_t(row[2 * x]) << 8 | row[2 * x + 1];
        auto five = [](uint32_t c) { return (c << 3) | (c >> 2); };
        out[x] = kOpaque | five(v >> 10 & 31) << 16 | five(v >> 5 & 31) << 8 | five(v & 31);
      } else {
        if (size_t(x) * 4 + 4 > available) break;
        const uint8_t* p = row + 4 * x;
        out[x] = withAlpha ? ClampedPremultiplied(p[1], p[2], p[3], p[0])
                           : kOpaque | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
      }
    }
  }
  return bitmap;
}

}  // namespace

TDecodedBitmap DecodeBitmapCharacter(const TSwfCharacter& character,
                                     std::span<const uint8_t> jpegTables) {
  TSwfBits bits(character.Body);
  bits.U16();
  bool isJpeg = false;
  switch (character.TagCode) {
    case swftag::DefineBits:
      return FromJpeg(JoinJpegStreams(jpegTables, bits.Rest()));
    case swftag::DefineBitsJpeg2:
      return FromPictureData(bits.Rest(), {}, &isJpeg);
    case swftag::DefineBitsJpeg3:
    case swftag::DefineBitsJpeg4: {
      const uint32_t alphaOffset = bits.U32();
      if (character.TagCode == swftag::DefineBitsJpeg4) bits.U16();  // deblocking
      const std::span<const uint8_t> rest = bits.Rest();
      if (alphaOffset > rest.size()) throw ESwfError("the alpha of a JPEG lies past its end");
      TDecodedBitmap bitmap = FromPictureData(rest.first(alphaOffset), {}, &isJpeg);
      // PNG and GIF bring their own transparency.
      if (isJpeg) ApplyAlpha(bitmap, rest.subspan(alphaOffset));
      return bitmap;
    }
    case swftag::DefineBitsLossless:
      return FromLossless(bits, false);
    case swftag::DefineBitsLossless2:
      return FromLossless(bits, true);
    default:
      throw ESwfError("not a bitmap");
  }
}

}  // namespace kestrava::render
