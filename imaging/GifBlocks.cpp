#include "imaging/GifBlocks.h"

#include <algorithm>

#include "imaging/GifErrors.h"

namespace kestrava {

void TGifColorTable::LoadFromStream(TGifReader& reader, int count) {
  rgb_.assign(size_t(count) * 3, 0);
  reader.ReadExact(rgb_.data(), rgb_.size());
}

TPixel TGifColorTable::Entry(int i) const {
  const uint8_t* p = rgb_.data() + size_t(i) * 3;
  return TPixel(p[0]) << 16 | TPixel(p[1]) << 8 | TPixel(p[2]);
}

TPalette TGifColorTable::ToPalette() const {
  TPalette palette{};
  for (int i = 0; i < Count(); ++i)
    palette[size_t(i)] = Entry(i);
  return palette;
}

void TGifHeader::Clear() {
  *this = TGifHeader();
}

namespace {

bool IsGifSignature(const std::array<char, 6>& s) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
  return upper(s[0]) == 'G' && upper(s[1]) == 'I' && upper(s[2]) == 'F';
}

}  // namespace

void TGifHeader::LoadFromStream(TGifReader& reader, size_t start) {
  reader.ReadExact(Signature.data(), Signature.size());
  if (!IsGifSignature(Signature)) {
    // Some files carry 4 bytes of something else in front.
    reader.Stream.Seek(start);
    reader.Stream.Skip(4);
    reader.ReadExact(Signature.data(), Signature.size());
    if (!IsGifSignature(Signature)) throw EGifError("Invalid GIF signature");
  }
  uint8_t screen[7];
  reader.ReadExact(screen, sizeof screen);
  ScreenWidth = GifWord(screen);
  ScreenHeight = GifWord(screen + 2);
  Packed = screen[4];
  BackgroundColorIndex = screen[5];
  AspectRatio = screen[6];
  ColorMap.Clear();
  if (Packed & kGlobalColorTable) ColorMap.LoadFromStream(reader, GifColorTableSize(Packed));
}

void TGifTrailer::LoadFromStream(TGifReader& reader) {
  const int b = reader.Stream.ReadByte();
  if (b >= 0 && b != kTrailer) reader.Warning("Invalid Image trailer");
}

}  // namespace kestrava
