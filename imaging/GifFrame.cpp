#include "imaging/GifFrame.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "imaging/GifDither.h"
#include "imaging/GifErrors.h"
#include "imaging/GifLzw.h"
#include "imaging/GifPicture.h"

namespace kestrava {

TGifMask::TGifMask(int width, int height)
    : width_(width),
      height_(height),
      stride_((size_t(width) + 15) / 16 * 2),
      bits_(stride_ * size_t(height), 0) {}

void TGifFrame::LoadFromStream(TGifReader& reader) {
  Extensions.LoadFromStream(reader, *this);
  const int next = reader.Stream.PeekByte();
  if (next < 0 || next == TGifTrailer::kTrailer || next == 0) return;  // no image

  uint8_t descriptor[10];
  reader.ReadExact(descriptor, sizeof descriptor);
  Separator = descriptor[0];
  Left = GifWord(descriptor + 1);
  Top = GifWord(descriptor + 3);
  Width = GifWord(descriptor + 5);
  Height = GifWord(descriptor + 7);
  Packed = descriptor[9];
  if (Width == 0 || Height == 0) {
    Width = Image.Header().ScreenWidth;
    Height = Image.Header().ScreenHeight;
    reader.Warning("Image exceeds Logical Screen size");
  }
  if (Packed & kLocalColorTable) ColorMap.LoadFromStream(reader, GifColorTableSize(Packed));

  const size_t pixels = size_t(Width) * Height;
  if (int64_t(pixels) > TBitmap::kMaxPixels)
    throw EGifError("Image size " + std::to_string(Width) + " x " + std::to_string(Height) +
                    " is too large");
  // Before allocating: what the frame's data can give, whatever it holds.
  if (Image.FirstFrameOnly() && Image.Images().Count() > 0) {
    Image.CountUnbackedPixels(Width, Height, MostGifPixels(reader.Stream));
    Cut = !SkipGifImage(reader.Stream);
    return;
  }
  Image.ReservePixels(Width, Height, MostGifPixels(reader.Stream));
  const uint8_t fill = Transparent ? uint8_t(TransparentIndex()) : uint8_t{0};
  IGifRowKeeper* keeper = Image.FirstFrameRows();
  if (keeper && Image.Images().Count() == 0) {
    keeper->Begin(*this, fill);
    Cut = !DecodeGifRows(
        reader, [keeper](int y) { return keeper->Row(y); }, Width, Height, Interlaced());
    return;
  }
  Data.assign(pixels, fill);
  Cut = !DecodeGifImage(reader, Data, Width, Height, Interlaced());
}

const TPalette& TGifFrame::Palette() {
  if (!palette_) {
    if (Image.Dithering())
      palette_ = WebSafePalette();
    else if (ColorMap.Count() > 0)
      palette_ = ColorMap.ToPalette();
    else
      palette_ = *Image.Palette();
  }
  return *palette_;
}

TPalette TGifFrame::FileColors() const {
  if (ColorMap.Count() > 0) return ColorMap.ToPalette();
  if (Image.Header().ColorMap.Count() > 0) return Image.Header().ColorMap.ToPalette();
  // Without any table every index shows black, as an index beyond a short table does.
  return Image.Images().Count() > 0 ? Image.Images()[0].ColorMap.ToPalette() : TPalette{};
}

const TBitmap& TGifFrame::Bitmap() {
  if (!bitmap_) MakeBitmap();
  return *bitmap_;
}

const TGifMask* TGifFrame::Mask() {
  Bitmap();
  return mask_ ? &*mask_ : nullptr;
}

void TGifFrame::ClearCache() {
  palette_.reset();
  bitmap_.reset();
  mask_.reset();
}

void TGifFrame::MakeBitmap() {
  const TPalette& palette = Palette();
  Image.Progress(TGifProgressStage::Starting, 0, "Rendering...");
  TBitmap bitmap(Empty() ? 0 : Width, Empty() ? 0 : Height, TPixelFormat::pf8bit);
  bitmap.SetPalette(palette);
  if (!bitmap.Empty()) {
    if (Image.Dithering()) {
      DitherToWebSafe(Data.data(), FileColors(), bitmap);
    } else {
      for (int y = 0; y < Height; ++y)
        std::memcpy(bitmap.ScanLine(y), Data.data() + size_t(y) * Width, Width);
    }
  }
  std::optional<TGifMask> mask;
  if (Transparent && !bitmap.Empty()) {
    const uint8_t index = uint8_t(TransparentIndex());
    bool any = false;
    mask.emplace(Width, Height);
    for (int y = 0; y < Height; ++y) {
      const uint8_t* row = Data.data() + size_t(y) * Width;
      for (int x = 0; x < Width; ++x)
        if (row[x] == index) {
          mask->Set(x, y);
          any = true;
        }
    }
    if (!any) mask.reset();
  }
  bitmap_ = std::move(bitmap);
  mask_ = std::move(mask);
  Image.Progress(TGifProgressStage::Ending, 100, "Rendering...");
}

void TGifFrameList::LoadFromStream(TGifReader& reader, TGifPicture& image) {
  TGifStream& stream = reader.Stream;
  for (;;) {
    int b;
    do {
      b = stream.ReadByte();
    } while (b == 0);
    if (b < 0) return;
    if (b == TGifTrailer::kTrailer) {
      stream.StepBack();
      return;
    }
    if (b != TGifExtension::kIntroducer && b != TGifFrame::kImageSeparator) {
      // Left in place, the byte then fails the trailer check as well.
      reader.Warning("Unknown GIF block type");
      stream.StepBack();
      return;
    }
    stream.StepBack();
    auto frame = std::make_unique<TGifFrame>(image);
    frame->LoadFromStream(reader);
    Items.push_back(std::move(frame));
    image.Progress(TGifProgressStage::Running,
                   int(uint64_t(stream.Position()) * 100 / std::max<size_t>(stream.Size(), 1)),
                   "Loading...");
  }
}

}  // namespace kestrava
