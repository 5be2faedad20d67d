// Feeds arbitrary bytes to the GIF reader, then makes everything a picture that loads can make:
// the first-frame bitmap (also dithered), each frame's bitmap and mask, the composed animation
// and a stretched drawing.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/GifAnimator.h"
#include "imaging/GifPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  // A few bytes can declare frames and screens of a gigabyte within the reader's limits; making
  // them on every run would slow the search to a crawl without reaching any new code.
  constexpr int64_t kPixels = int64_t{1} << 20;
  TGifStream stream(std::span<const uint8_t>(data, size));
  TGifPicture picture;
  picture.SetPixelLimit(size_t(kPixels));
  try {
    picture.LoadFromStream(stream);
  } catch (const EGifError&) {
    // A failed load gives the stream back where it began.
    if (stream.Position() != 0) std::abort();
  }
  if (int64_t{picture.Width()} * picture.Height() > kPixels) return 0;
  for (int bits : {32, 8}) {
    picture.SetDisplayBitsPerPixel(bits);
    try {
      const TBitmap* bitmap = picture.Bitmap();
      if (bitmap && (bitmap->Width() > picture.Width() || bitmap->Height() > picture.Height()))
        std::abort();
      for (auto& frame : picture.Images().Items) {
        frame->Bitmap();
        frame->Mask();
      }
      TBitmap screen(picture.Width(), picture.Height());
      TGifAnimator animator(picture, screen);
      for (int i = 0; i < animator.FrameCount(); ++i)
        animator.Show(i);
      TBitmap canvas(40, 30);
      picture.Draw(canvas.Canvas(), {-3, 2, 37, 25});
    } catch (const EGifError&) {
    }
  }
  return 0;
}
