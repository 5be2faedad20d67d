#include "imaging/GifPicture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/GifAnimator.h"
#include "imaging/GifDither.h"
#include "imaging/GifDrawing.h"
#include "imaging/GifPainter.h"
#include "raster/MulDiv.h"

namespace kestrava {

namespace {

// Drawing coordinates are kept within this, so that sums of them cannot overflow.
constexpr int64_t kDrawLimit = int64_t{1} << 29;

}  // namespace

TGifPicture::TGifPicture() = default;

TGifPicture::~TGifPicture() {
  StopPainter();
}

void TGifPicture::Clear() {
  StopPainter();
  frames_.Items.clear();
  header_.Clear();
  bitmap_.reset();
  palette_.reset();
  pixelsUsed_ = 0;
  unbackedUsed_ = 0;
}

void TGifPicture::LoadFromFile(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  TGifStream stream(bytes);
  LoadFromStream(stream);
}

void TGifPicture::LoadFromStream(TGifStream& stream) {
  Clear();
  const size_t start = stream.Position();
  TGifReader reader(stream, [this](const std::string& message) { Warning(message); });
  try {
    Progress(TGifProgressStage::Starting, 0, "Loading...");
    header_.LoadFromStream(reader, start);
    frames_.LoadFromStream(reader, *this);
    TGifTrailer().LoadFromStream(reader);
    Progress(TGifProgressStage::Ending, 100, "Loading...");
  } catch (...) {
    stream.Seek(start);
    throw;
  }
}

void TGifPicture::Warning(const std::string& message) {
  if (OnWarning) OnWarning(*this, kWarning, message);
}

void TGifPicture::Progress(TGifProgressStage stage, int percentDone, const std::string& message) {
  if (OnProgress) OnProgress(*this, stage, percentDone, message);
}

void TGifPicture::CountUnbackedPixels(int width, int height, uint64_t fromData) {
  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  const uint64_t unbacked = pixels > fromData ? pixels - fromData : 0;
  if (unbacked > kUnbackedPixelLimit - unbackedUsed_)
    throw EGifError("The image data is too short for a frame of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels (file damaged?)");
  unbackedUsed_ += unbacked;
}

void TGifPicture::ReservePixels(int width, int height, uint64_t fromData) {
  const size_t pixels = size_t(width) * size_t(height);
  CountUnbackedPixels(width, height, fromData);
  if (pixels > pixelLimit_ - pixelsUsed_)
    throw EGifError("Frames exceed the limit of " + std::to_string(pixelLimit_) + " pixels");
  pixelsUsed_ += pixels;
}

void TGifPicture::CheckScreenSize() const {
  const int64_t pixels = int64_t{Width()} * Height();
  const std::string size = std::to_string(Width()) + " x " + std::to_string(Height());
  if (pixels > TBitmap::kMaxPixels) throw EGifError("Image size " + size + " is too large");
  // The screen is allocated for the frames drawn on it: one far beyond them is no picture the
  // file holds (a few bytes can claim a screen of a gigabyte).
  if (uint64_t(pixels) > pixelsUsed_ + kUnbackedScreenLimit)
    throw EGifError("The logical screen of " + size +
                    " pixels is far larger than the picture's frames (file damaged?)");
}

bool TGifPicture::Dithering() const {
  return options_.Dither && (!options_.AutoDither || displayBits_ <= 8);
}

void TGifPicture::SetDrawOptions(const TGifDrawOptions& options) {
  const bool dithering = Dithering();
  options_ = options;
  if (Dithering() != dithering) ClearCaches();
}

void TGifPicture::SetDisplayBitsPerPixel(int bits) {
  const bool dithering = Dithering();
  displayBits_ = bits;
  if (Dithering() != dithering) ClearCaches();
}

void TGifPicture::ClearCaches() {
  bitmap_.reset();
  palette_.reset();
  for (auto& frame : frames_.Items)
    frame->ClearCache();
}

const TPalette* TGifPicture::Palette() {
  if (bitmap_) return &bitmap_->Palette();
  if (palette_) return &*palette_;
  if (Dithering()) {
    palette_ = WebSafePalette();
  } else if (header_.ColorMap.Count() > 0) {
    palette_ = header_.ColorMap.ToPalette();
  } else {
    if (Empty()) return nullptr;
    // The first frame without a table of its own asks the picture again.
    if (paletteBusy_) throw EGifError("No global or local color table defined");
    paletteBusy_ = true;
    try {
      palette_ = frames_[0].Palette();
    } catch (...) {
      paletteBusy_ = false;
      throw;
    }
    paletteBusy_ = false;
  }
  return &*palette_;
}

const TBitmap* TGifPicture::Bitmap() {
  if (Empty()) return nullptr;
  if (bitmap_) return &*bitmap_;
  TGifFrame& first = frames_[0];
  // A frame that covers the screen exactly and hides nothing of it is the picture as it is.
  if (first.Left == 0 && first.Top == 0 && first.Width == Width() && first.Height == Height() &&
      !first.Empty() && !first.Mask()) {
    bitmap_ = first.Bitmap();
    return &*bitmap_;
  }
  CheckScreenSize();
  const TPalette palette = *Palette();
  TBitmap bitmap(Width(), Height(),
                 displayBits_ <= 8 ? TPixelFormat::pf8bit : TPixelFormat::pfDevice);
  bitmap.SetPalette(palette);
  // Black, as the saver shows what no picture covers: where the frame does not reach and where
  // it is transparent. Only the first frame is drawn; the rest belong to the animation.
  bitmap.Canvas().Brush.Color = clBlack;
  bitmap.Canvas().FillRect({0, 0, Width(), Height()});
  if (!first.Empty())
    DrawGifFrame(bitmap.Canvas(), first.BoundsRect(), first.Bitmap(), first.Mask());
  bitmap_ = std::move(bitmap);
  return &*bitmap_;
}

const TGifLoopExtension* TGifPicture::LoopExtension(int* frameIndex) const {
  for (int i = 0; i < frames_.Count(); ++i)
    for (const auto& extension : frames_[i].Extensions.Items)
      if (auto* loop = dynamic_cast<const TGifLoopExtension*>(extension.get())) {
        if (frameIndex) *frameIndex = i;
        return loop;
      }
  return nullptr;
}

TColor TGifPicture::BackgroundColor() {
  const TGifColorTable& table = header_.ColorMap;
  // Without a global table: the system's window colour.
  if (table.Count() == 0) return clWhite;
  int index = header_.BackgroundColorIndex;
  if (index >= table.Count()) {
    Warning("Invalid color index");
    index = 0;
  }
  return PixelToColor(table.Entry(index));
}

bool TGifPicture::Animating() const {
  return painter_ && !painter_->Finished();
}

void TGifPicture::StopPainter() {
  if (!painter_) return;
  painter_->Stop();
  painter_->WaitFor();
  painter_.reset();
  animator_.reset();
  animation_ = TBitmap();
}

void TGifPicture::Draw(TCanvas& canvas, const TRect& rect) {
  if (drawing_ || Empty() || Width() == 0 || Height() == 0) return;
  drawing_ = true;
  struct TDone {
    bool& flag;
    ~TDone() { flag = false; }
  } done{drawing_};

  if (frames_.Count() > 1 && options_.Animate && options_.Async && host_) {
    DrawAnimated(canvas, rect);
    return;
  }
  TGifFrame& frame = frames_[0];
  if (frame.Empty()) return;
  // The frame's edges are mapped from the logical screen into the rectangle.
  const auto map = [](int edge, int origin, int extent, int screen) {
    const int64_t at = int64_t{origin} + MulDiv(edge, extent, screen);
    return int(std::clamp<int64_t>(at, -kDrawLimit, kDrawLimit));
  };
  const TRect dest{map(frame.Left, rect.Left, rect.Width(), Width()),
                   map(frame.Top, rect.Top, rect.Height(), Height()),
                   map(frame.Left + frame.Width, rect.Left, rect.Width(), Width()),
                   map(frame.Top + frame.Height, rect.Top, rect.Height(), Height())};
  const TBitmap& bitmap = frame.Bitmap();
  DrawGifFrame(canvas, dest, bitmap, options_.Transparent ? frame.Mask() : nullptr);
}

void TGifPicture::DrawAnimated(TCanvas& canvas, const TRect& rect) {
  if (!painter_) {
    CheckScreenSize();
    // The painter plays over what the canvas showed in the rectangle.
    animation_ = TBitmap(Width(), Height());
    animation_.Canvas().CopyRect({0, 0, Width(), Height()}, canvas, rect);
    auto animator = std::make_unique<TGifAnimator>(*this, animation_);
    TGifPainter::TPlan plan;
    plan.FrameCount = animator->FrameCount();
    int loopFrame = 0;
    const TGifLoopExtension* loop = LoopExtension(&loopFrame);
    plan.Passes = options_.Loop && loop ? loop->LoopCount : 1;
    plan.LoopStart = loop ? loopFrame : 0;
    plan.Speed = speed_;
    for (int i = 0; i < plan.FrameCount; ++i)
      plan.Delays.push_back(GifFrameDelay(frames_[i]));
    animator_ = std::move(animator);
    painter_ = std::make_unique<TGifPainter>(*host_, *clock_, std::move(plan), [this](int index) {
      animator_->Show(index);
      if (OnChange) OnChange(*this);
    });
    painter_->Start();
    TGifPainter& painter = *painter_;
    host_->WaitServing([&painter] { return painter.FirstShown() || painter.Finished(); });
  }
  canvas.StretchDraw(rect, animation_);
}

}  // namespace kestrava
