#include "saver/PreparePicture.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "imaging/BmpReader.h"
#include "imaging/ExifOrientation.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/Heif.h"
#include "imaging/ImageErrors.h"
#include "imaging/JpegRows.h"
#include "imaging/Orientation.h"
#include "imaging/PictureContent.h"
#include "imaging/Png.h"
#include "imaging/Webp.h"
#include "saver/ParallelPicturesBudget.h"
#include "saver/PrepareRows.h"

namespace kestrava {

namespace {

// How much smaller than the picture libjpeg decodes it: the most (of 8, 4, 2) that still gives
// at least as many pixels as the picture's place on the screen has, so that every screen pixel
// is still a pixel of its own of the decoded picture. A picture less than twice its place is
// decoded whole and sampled as before.
int JpegScaleFor(int width, int height, TScreenSize screen, TFitMode mode) {
  const TRect target = ScreenPlacement(width, height, screen, mode);
  for (const int denominator : {8, 4, 2})
    if (int64_t{width} >= int64_t{denominator} * target.Width() &&
        int64_t{height} >= int64_t{denominator} * target.Height())
      return denominator;
  return 1;
}

// For smooth resampling: the fewest eighths of the picture libjpeg can decode that still give at
// least as many pixels as its place on the screen, each way; 8 when it is enlarged or kept.
int JpegEighthsFor(int width, int height, TScreenSize screen, TFitMode mode) {
  const TRect target = ScreenPlacement(width, height, screen, mode);
  for (int eighths = 1; eighths < 8; ++eighths)
    if ((int64_t{width} * eighths + 7) / 8 >= target.Width() &&
        (int64_t{height} * eighths + 7) / 8 >= target.Height())
      return eighths;
  return 8;
}

// The JPEG reader as the preparation's row source; CMYK rows come out as RGB like any other.
// Rows may come scaled down; the picture is placed by its own size.
class TJpegRows : public TRowSource {
 public:
  TJpegRows(std::span<const uint8_t> bytes, int64_t maxPixels)
      : reader_(bytes, maxPixels, TDamage::Refuse) {}
  int Width() const override { return reader_.Width(); }
  int Height() const override { return reader_.Height(); }
  int FullWidth() const override { return reader_.FullWidth(); }
  int FullHeight() const override { return reader_.FullHeight(); }
  bool Progressive() const { return reader_.Progressive(); }
  const uint8_t* NextRow() override { return reader_.NextRow(); }
  TJpegRowReader& Reader() { return reader_; }

 private:
  TJpegRowReader reader_;
};

// A picture the camera stored turned or mirrored, upright: its rows, scaled down as the reader
// gives them, are held once and turned, which the scaling keeps to a few screens' worth.
class TUprightJpegRows : public TRowSource {
 public:
  TUprightJpegRows(TBitmap upright, int fullWidth, int fullHeight)
      : upright_(std::move(upright)),
        rows_(upright_),
        fullWidth_(fullWidth),
        fullHeight_(fullHeight) {}
  int Width() const override { return rows_.Width(); }
  int Height() const override { return rows_.Height(); }
  int FullWidth() const override { return fullWidth_; }
  int FullHeight() const override { return fullHeight_; }
  const uint8_t* NextRow() override { return rows_.NextRow(); }
  void SkipRow() override { rows_.SkipRow(); }

 private:
  TBitmap upright_;
  TBitmapRows rows_;
  int fullWidth_;
  int fullHeight_;
};

std::vector<uint8_t> PrepareJpeg(std::span<const uint8_t> bytes, TScreenSize screen,
                                 const TPictureMask* mask, int64_t maxPixels, TJpegChroma chroma,
                                 TPictureFit fit) {
  TJpegRows rows(bytes, maxPixels);
  const int orientation = ReadExifOrientation(bytes);
  const bool swap = OrientationSwapsSides(orientation);
  const int fullWidth = swap ? rows.FullHeight() : rows.FullWidth();
  const int fullHeight = swap ? rows.FullWidth() : rows.FullHeight();
  if (fit.Smooth) {
    const int eighths = JpegEighthsFor(fullWidth, fullHeight, screen, fit.Mode);
    if (eighths < 8) rows.Reader().ScaleToEighths(eighths);
  } else if (const int scale = JpegScaleFor(fullWidth, fullHeight, screen, fit.Mode); scale > 1) {
    rows.Reader().ScaleDown(scale);
  }
  // The whole-picture buffer of several scans, and a band of rows of a single one.
  int64_t held = rows.Reader().WholePictureBytes() + int64_t{rows.FullWidth()} * 3 * 16;
  if (orientation == kUpright) {
    const TDecodeReservation reservation(held);
    return EncodeOnScreen(rows, screen, mask, rows.Progressive(), chroma, fit);
  }
  // The decoded rows and their upright copy.
  held += int64_t{rows.Width()} * rows.Height() * 3 * 2;
  const TDecodeReservation reservation(held);
  TBitmap stored(rows.Width(), rows.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < stored.Height(); ++y)
    rows.Reader().ReadRow(stored.ScanLine(y));
  TUprightJpegRows upright(Oriented(std::move(stored), orientation), fullWidth, fullHeight);
  return EncodeOnScreen(upright, screen, mask, rows.Progressive(), chroma, fit);
}

std::vector<uint8_t> PrepareBmp(std::span<const uint8_t> bytes, TScreenSize screen,
                                const TPictureMask* mask, TJpegChroma chroma, TPictureFit fit) {
  const TBmpSize size = BmpSize(bytes);
  // Only the rows the screen takes are held: a run-length picture of a few bytes may be huge.
  const TRowSlots slots =
      RowSlotsOnScreen(size.Width, size.Height, size.Width, size.Height, screen, fit);
  const TDecodeReservation reservation(int64_t{size.Width} * std::max(slots.Count, 1) *
                                       size.PixelBytes);
  const TBitmap kept = ReadBmpRows(bytes, slots.Slot, slots.Count, TDamage::Refuse);
  TBitmapRows rows(kept, &slots);
  return EncodeOnScreen(rows, screen, mask, false, chroma, fit);
}

// The rows of a GIF's first frame that the screen takes, kept as the data gives them: a frame of
// a few hundred kilobytes may hold hundreds of megapixels.
class TGifKeptRows : public IGifRowKeeper {
 public:
  TGifKeptRows(const TGifPicture& gif, TScreenSize screen, TPictureFit fit)
      : gif_(gif), screen_(screen), fit_(fit) {}

  void Begin(const TGifFrame& frame, uint8_t fill) override {
    const TRowSlots onScreen =
        RowSlotsOnScreen(gif_.Width(), gif_.Height(), gif_.Width(), gif_.Height(), screen_, fit_);
    width_ = frame.Width;
    slot_.assign(frame.Height, -1);
    int count = 0;
    for (int y = 0; y < frame.Height; ++y) {
      const size_t screenY = size_t(frame.Top) + size_t(y);
      if (screenY < onScreen.Slot.size() && onScreen.Slot[screenY] >= 0) slot_[size_t(y)] = count++;
    }
    // The kept rows and the decoder's row for the others.
    reservation_.emplace(int64_t{count + 1} * width_);
    rows_.assign(size_t(count) * width_, fill);
    decoded_ = frame.Width > 0 && frame.Height > 0;
  }
  uint8_t* Row(int y) override {
    const int slot = slot_[size_t(y)];
    return slot < 0 ? nullptr : rows_.data() + size_t(slot) * width_;
  }
  // The frame had pixels to decode.
  bool Decoded() const { return decoded_; }

 private:
  const TGifPicture& gif_;
  TScreenSize screen_;
  TPictureFit fit_;
  size_t width_ = 0;
  std::vector<int> slot_;  // per frame row
  std::vector<uint8_t> rows_;
  bool decoded_ = false;
  std::optional<TDecodeReservation> reservation_;
};

// The logical screen of a GIF with its first frame drawn on it, a row at a time, as viewers show
// it: black (the saver's background) where the frame does not reach and where its pixels are
// transparent, the frame's colours elsewhere. The screen is never held.
class TGifScreenRows : public TRowSource {
 public:
  TGifScreenRows(TGifPicture& gif, TGifKeptRows& kept)
      : gif_(gif), frame_(gif.Images()[0]), kept_(kept), row_(size_t(gif.Width()) * 3) {
    // Asked first, as drawing the screen asks it: a GIF without any colour table fails here.
    gif.Palette();
    if (kept.Decoded()) palette_ = &frame_.Palette();
  }
  int Width() const override { return gif_.Width(); }
  int Height() const override { return gif_.Height(); }
  void SkipRow() override { ++next_; }
  const uint8_t* NextRow() override {
    const int y = next_++;
    std::memset(row_.data(), 0, row_.size());
    const int frameY = y - frame_.Top;
    if (!palette_ || frameY < 0 || frameY >= frame_.Height) return row_.data();
    const int right = std::min(Width(), frame_.Left + int(frame_.Width));
    const uint8_t* indices = kept_.Row(frameY);
    if (!indices) throw std::logic_error("A row not kept was asked for");
    const int transparent = frame_.Transparent ? frame_.TransparentIndex() : -1;
    for (int x = frame_.Left; x < right; ++x) {
      const uint8_t index = indices[x - frame_.Left];
      if (index == transparent) continue;
      const TPixel colour = (*palette_)[index];
      uint8_t* out = row_.data() + size_t(x) * 3;
      out[0] = uint8_t(colour);
      out[1] = uint8_t(colour >> 8);
      out[2] = uint8_t(colour >> 16);
    }
    return row_.data();
  }

 private:
  TGifPicture& gif_;
  TGifFrame& frame_;
  TGifKeptRows& kept_;
  const TPalette* palette_ = nullptr;
  std::vector<uint8_t> row_;
  int next_ = 0;
};

std::vector<uint8_t> PrepareGif(std::span<const uint8_t> bytes, TScreenSize screen,
                                const TPictureMask* mask, int64_t maxPixels, TJpegChroma chroma,
                                TPictureFit fit) {
  TGifStream stream(bytes);
  TGifPicture gif;
  // Only the first image is shown: the later frames are checked but never held, and of the first
  // only the rows the screen takes (the keeper reserves memory for them).
  gif.SetFirstFrameOnly(true);
  TGifKeptRows kept(gif, screen, fit);
  gif.SetFirstFrameRows(&kept);
  // A limit below the ordinary one (a fuzzer's) bounds the frames together too.
  if (maxPixels < TBitmap::kMaxPixels) gif.SetPixelLimit(size_t(maxPixels));
  gif.LoadFromStream(stream);
  if (int64_t{gif.Width()} * gif.Height() > maxPixels)
    throw EImageError("GIF picture " + std::to_string(gif.Width()) + " x " +
                      std::to_string(gif.Height()) + " is too large");
  for (const auto& frame : gif.Images().Items)
    if (frame->Cut) throw EGifError("the GIF data ends early (file truncated?)");
  // An empty GIF has no image: the screen stays black.
  if (gif.Empty()) {
    const TBitmap none;
    TBitmapRows rows(none);
    return EncodeOnScreen(rows, screen, mask, false, chroma, fit);
  }
  TGifScreenRows rows(gif, kept);
  return EncodeOnScreen(rows, screen, mask, false, chroma, fit);
}

// Pictures decoded whole, which may be transparent: over black, as the saver's screen is.
using TWholeReader = TBitmap (*)(std::span<const uint8_t>, int64_t, const TBeforeDecode&);

std::vector<uint8_t> PrepareWhole(TWholeReader read, std::span<const uint8_t> bytes,
                                  TScreenSize screen, const TPictureMask* mask, int64_t maxPixels,
                                  TJpegChroma chroma, TPictureFit fit) {
  std::optional<TDecodeReservation> reservation;
  // The bitmap, and as much again for a decoder that keeps its own copy.
  TBitmap bitmap = read(bytes, maxPixels, [&reservation](int width, int height) {
    reservation.emplace(int64_t{width} * height * 8);
  });
  CompositeOverBlack(bitmap);
  TBitmapRows rows(bitmap);
  return EncodeOnScreen(rows, screen, mask, false, chroma, fit);
}

constexpr std::pair<TPictureKind, TPictureContent> kContents[] = {
    {TPictureKind::Bmp, TPictureContent::Bmp},   {TPictureKind::Jpeg, TPictureContent::Jpeg},
    {TPictureKind::Gif, TPictureContent::Gif},   {TPictureKind::Png, TPictureContent::Png},
    {TPictureKind::Webp, TPictureContent::Webp}, {TPictureKind::Heif, TPictureContent::Heif},
};

TPictureContent ContentOf(TPictureKind kind) {
  for (const auto& [k, content] : kContents)
    if (k == kind) return content;
  throw std::invalid_argument("Unknown picture kind");
}

// A bitmap beyond TBitmap's limits is the file's fault here: callers see an EImageError.
std::vector<uint8_t> Prepare(TPictureKind kind, std::span<const uint8_t> bytes, TScreenSize screen,
                             const TPictureMask* mask, int64_t maxPixels, TJpegChroma chroma,
                             TPictureFit fit, const std::string& name) {
  CheckScreenSize(screen);
  // The name made it a picture; its content chooses the reader.
  const TPictureContent content = ReaderFor(bytes, ContentOf(kind), name);
  try {
    switch (content) {
      case TPictureContent::Bmp:
        return PrepareBmp(bytes, screen, mask, chroma, fit);
      case TPictureContent::Jpeg:
        return PrepareJpeg(bytes, screen, mask, maxPixels, chroma, fit);
      case TPictureContent::Gif:
        return PrepareGif(bytes, screen, mask, maxPixels, chroma, fit);
      case TPictureContent::Png:
        return PrepareWhole(ReadPng, bytes, screen, mask, maxPixels, chroma, fit);
      case TPictureContent::Webp:
        return PrepareWhole(ReadWebp, bytes, screen, mask, maxPixels, chroma, fit);
      case TPictureContent::Heif:
        return PrepareWhole(ReadHeif, bytes, screen, mask, maxPixels, chroma, fit);
      case TPictureContent::Unknown:
        break;
    }
  } catch (const EBitmapError& error) {
    throw EImageError(error.what());
  }
  throw std::invalid_argument("Unknown picture kind");
}

}  // namespace

std::optional<TPictureKind> PictureKindOf(const std::filesystem::path& source) {
  const std::string name = source.string();
  if (name.size() < 4) return std::nullopt;
  std::string ending = name.substr(name.size() - 4);
  // ASCII only: a locale must not change which names are accepted.
  for (char& c : ending)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  if (ending == ".bmp") return TPictureKind::Bmp;
  if (ending == ".jpg" || ending == "jpeg") return TPictureKind::Jpeg;
  if (ending == ".gif") return TPictureKind::Gif;
  if (ending == ".png") return TPictureKind::Png;
  if (ending == "webp") return TPictureKind::Webp;
  if (ending == "heic" || ending == "heif") return TPictureKind::Heif;
  return std::nullopt;
}

bool IsSupportedPictureName(const std::filesystem::path& source) {
  return PictureKindOf(source).has_value();
}

std::vector<uint8_t> PreparePicture(const std::filesystem::path& source, TScreenSize screen,
                                    const TPictureMask* mask, TJpegChroma chroma, TPictureFit fit) {
  const std::optional<TPictureKind> kind = PictureKindOf(source);
  if (!kind) throw EUnsupportedPicture();
  CheckScreenSize(screen);
  // ReadFileBytes takes a folder's size as a file's and fails to allocate it.
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(source, error);
  if (!regular)
    throw EImageError("Cannot open file " + source.string() + ": " +
                      (error ? error.message() : std::string("not a file")));
  return Prepare(*kind, ReadFileBytes(source), screen, mask, TBitmap::kMaxPixels, chroma, fit,
                 source.string());
}

std::vector<uint8_t> PreparePictureBytes(TPictureKind kind, std::span<const uint8_t> bytes,
                                         TScreenSize screen, const TPictureMask* mask,
                                         int64_t maxPixels, TPictureFit fit) {
  return Prepare(kind, bytes, screen, mask, maxPixels, TJpegChroma::Halved, fit, {});
}

}  // namespace kestrava
