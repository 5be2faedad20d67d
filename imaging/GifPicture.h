#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "imaging/GifBlocks.h"
#include "imaging/GifClock.h"
#include "imaging/GifErrors.h"
#include "imaging/GifExtensions.h"
#include "imaging/GifFrame.h"
#include "imaging/GifPainterHost.h"
#include "imaging/GifStream.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Rect.h"

namespace kestrava {

class TGifAnimator;
class TGifPainter;

enum class TGifProgressStage { Starting, Running, Ending };

// How Draw shows the picture. The defaults are what the previews use.
struct TGifDrawOptions {
  bool Async = true;        // animate in a painter thread (the only way this picture animates)
  bool Transparent = true;  // the transparent colour index leaves the canvas as it was
  bool Animate = true;      // several frames play in turn
  bool Loop = true;         // as often as the loop extension says, else once
  bool Dither = true;       // frames diffused onto a fixed 216-colour table ...
  bool AutoDither = true;   // ... only on displays of 8 bits per pixel or fewer
};

// A GIF picture: the header, the frames with their extensions, the first frame as a bitmap, and
// drawing with animation. Loading, Bitmap and Draw belong to the thread that owns the picture
// (the UI thread); a painter thread started by Draw hands each drawing step to that thread
// through the painter host and is stopped and waited for whenever the picture is cleared,
// loaded again or destroyed.
class TGifPicture {
 public:
  static constexpr int kWarning = 1;  // the only severity of the reader's warnings
  // Pixels of all frames together: a file of a few bytes may not make us allocate without end.
  static constexpr size_t kDefaultPixelLimit = size_t{1} << 30;
  // Pixels of all frames together beyond what their image data can give. Some writers leave the
  // data of a frame short (the rest keeps the fill), so a little is let through; a frame claiming
  // far more than its data can give is no picture the file holds.
  static constexpr uint64_t kUnbackedPixelLimit = uint64_t{1} << 20;
  // Pixels of the logical screen beyond those of all frames, when it is allocated for drawing.
  static constexpr uint64_t kUnbackedScreenLimit = uint64_t{1} << 24;

  using TWarningEvent =
      std::function<void(TGifPicture& sender, int severity, const std::string& message)>;
  using TProgressEvent = std::function<void(TGifPicture& sender, TGifProgressStage stage,
                                            int percentDone, const std::string& message)>;
  using TChangeEvent = std::function<void(TGifPicture& sender)>;

  TGifPicture();
  ~TGifPicture();
  TGifPicture(const TGifPicture&) = delete;
  TGifPicture& operator=(const TGifPicture&) = delete;

  // Throws EImageError when the file cannot be read, EGifError when it is no good GIF.
  void LoadFromFile(const std::filesystem::path& path);
  // Replaces the picture by the GIF read from the stream's position. On an error the stream is
  // set back to that position; frames read completely before it stay.
  void LoadFromStream(TGifStream& stream);
  void Clear();

  int Width() const { return header_.ScreenWidth; }
  int Height() const { return header_.ScreenHeight; }
  bool Empty() const { return frames_.Count() == 0; }
  TGifHeader& Header() { return header_; }
  const TGifHeader& Header() const { return header_; }
  TGifFrameList& Images() { return frames_; }
  const TGifFrameList& Images() const { return frames_; }

  // The first frame at its place on the logical screen, over black that also shows through its
  // transparent pixels; null when the picture is Empty. Owned by the picture until it changes.
  // Throws EGifError "No global or local color table defined" when the colours are needed and the
  // file has none.
  const TBitmap* Bitmap();
  // Null when the picture is Empty.
  const TPalette* Palette();

  // The picture stretched into rect of canvas: the first frame, or with several frames the
  // animation as far as it has played.
  void Draw(TCanvas& canvas, const TRect& rect);
  // A painter thread has started and not yet played all its passes.
  bool Animating() const;

  const TGifDrawOptions& DrawOptions() const { return options_; }
  void SetDrawOptions(const TGifDrawOptions& options);
  // Percent of the normal pace.
  int AnimationSpeed() const { return speed_; }
  void SetAnimationSpeed(int percent) { speed_ = percent < 1 ? 1 : percent; }
  // Bits per pixel of the display the picture is shown on; 8 or fewer makes it dither.
  int DisplayBitsPerPixel() const { return displayBits_; }
  void SetDisplayBitsPerPixel(int bits);
  bool Dithering() const;
  // Without a host Draw shows the first frame only. Neither is owned; both must outlive the
  // picture's painters.
  void SetPainterHost(IGifPainterHost* host) { host_ = host; }
  void SetClock(IGifClock* clock) { clock_ = clock ? clock : &steadyClock_; }
  size_t PixelLimit() const { return pixelLimit_; }
  void SetPixelLimit(size_t pixels) { pixelLimit_ = pixels; }
  // Loads the pixels of the first frame only: the later frames are read past, checked for
  // claims their data cannot give and for data the file cuts short, and stay Empty. For a
  // caller that shows the first image only, so that it never holds the others.
  bool FirstFrameOnly() const { return firstFrameOnly_; }
  void SetFirstFrameOnly(bool only) { firstFrameOnly_ = only; }
  // Hands the first frame's rows to the keeper as they are decoded instead of holding the frame
  // (its Data stays empty). Not owned; must outlive loading.
  IGifRowKeeper* FirstFrameRows() const { return firstFrameRows_; }
  void SetFirstFrameRows(IGifRowKeeper* keeper) { firstFrameRows_ = keeper; }

  // The first loop extension of the file, and the index of the frame it stands in front of.
  const TGifLoopExtension* LoopExtension(int* frameIndex = nullptr) const;
  // What disposal method 2 restores when drawing without transparency.
  TColor BackgroundColor();

  TWarningEvent OnWarning;
  TProgressEvent OnProgress;
  TChangeEvent OnChange;

  // For the frames while they load and render.
  void Warning(const std::string& message);
  void Progress(TGifProgressStage stage, int percentDone, const std::string& message);
  // Counts the pixels a frame of width x height is about to allocate against PixelLimit, and
  // those beyond what the frame's data can give (fromData) against kUnbackedPixelLimit.
  void ReservePixels(int width, int height, uint64_t fromData);
  // The second half of that alone, for a frame read past without its pixels.
  void CountUnbackedPixels(int width, int height, uint64_t fromData);

 private:
  void ClearCaches();
  void StopPainter();
  void DrawAnimated(TCanvas& canvas, const TRect& rect);
  void CheckScreenSize() const;

  TGifHeader header_;
  TGifFrameList frames_;
  std::optional<TBitmap> bitmap_;
  std::optional<TPalette> palette_;
  bool paletteBusy_ = false;

  TGifDrawOptions options_;
  int speed_ = 100;
  int displayBits_ = 32;
  size_t pixelLimit_ = kDefaultPixelLimit;
  size_t pixelsUsed_ = 0;
  uint64_t unbackedUsed_ = 0;
  bool firstFrameOnly_ = false;
  IGifRowKeeper* firstFrameRows_ = nullptr;

  bool drawing_ = false;
  TSteadyGifClock steadyClock_;
  IGifClock* clock_ = &steadyClock_;
  IGifPainterHost* host_ = nullptr;
  TBitmap animation_;  // the logical screen the painter plays into
  std::unique_ptr<TGifAnimator> animator_;
  std::unique_ptr<TGifPainter> painter_;
};

}  // namespace kestrava
