#pragma once

// The movie's characters as the renderer needs them, each read on first use and kept. A
// character that cannot be read is remembered as such and drawn as nothing.

#include <cairo.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "movie/SwfGeometry.h"
#include "movie/SwfMovie.h"
#include "movie/render/ButtonParts.h"
#include "movie/render/CairoHandles.h"
#include "movie/render/EditText.h"
#include "movie/render/FontGlyphs.h"
#include "movie/render/MorphShape.h"
#include "movie/render/ShapeDrawing.h"
#include "movie/render/StaticText.h"

namespace kestrava::render {

// Where the characters come from: a loaded movie, or hand-made tags in tests.
class ICharacterSource {
 public:
  virtual ~ICharacterSource() = default;
  virtual const TSwfCharacter* Character(uint16_t id) const = 0;
  virtual std::span<const uint8_t> JpegTables() const = 0;
  virtual uint8_t Version() const = 0;
};

class TCharacterLibrary {
 public:
  explicit TCharacterLibrary(const ICharacterSource& source);
  ~TCharacterLibrary();
  TCharacterLibrary(const TCharacterLibrary&) = delete;
  TCharacterLibrary& operator=(const TCharacterLibrary&) = delete;

  const TSwfCharacter* Character(uint16_t id) const { return source_.Character(id); }
  uint8_t Version() const { return source_.Version(); }

  // Each is null when the character is missing, of another kind, or unreadable.
  const TShapeDrawing* Shape(uint16_t id);
  const TShapeDrawing* MorphShape(uint16_t id, uint16_t ratio);
  const TFontGlyphs* Font(uint16_t id);
  const TStaticText* Text(uint16_t id);
  const TEditText* EditText(uint16_t id);
  const std::vector<TButtonPart>* ButtonParts(uint16_t id);
  // Premultiplied ARGB, as stored. Bitmaps beyond kMaxBitmapPixelsPerMovie are not kept.
  cairo_surface_t* Bitmap(uint16_t id);
  // The same with a colour transform applied to every pixel; the last transform per bitmap is
  // kept, so a steady transform costs nothing after the first frame.
  cairo_surface_t* Bitmap(uint16_t id, const TSwfColorTransform& transform);

 private:
  struct TMorphEntry {
    std::unique_ptr<TMorphShape> Morph;
    std::deque<std::pair<uint16_t, TShapeDrawing>> Shapes;  // by ratio, the newest first
  };
  struct TTransformedBitmap {
    TSwfColorTransform Transform;
    TCairoSurface Surface;
  };

  const ICharacterSource& source_;
  std::unordered_map<uint16_t, std::unique_ptr<TShapeDrawing>> shapes_;
  std::unordered_map<uint16_t, TMorphEntry> morphs_;
  std::unordered_map<uint16_t, std::unique_ptr<TFontGlyphs>> fonts_;
  std::unordered_map<uint16_t, std::unique_ptr<TStaticText>> texts_;
  std::unordered_map<uint16_t, std::unique_ptr<TEditText>> editTexts_;
  std::unordered_map<uint16_t, std::unique_ptr<std::vector<TButtonPart>>> buttons_;
  std::unordered_map<uint16_t, TCairoSurface> bitmaps_;
  int64_t bitmapPixels_ = 0;  // of all bitmaps_
  std::unordered_map<uint16_t, TTransformedBitmap> transformed_;
};

}  // namespace kestrava::render
