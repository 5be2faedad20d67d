#include "movie/render/CharacterLibrary.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>

#include "movie/render/BitmapDecoder.h"
#include "movie/render/CharacterKind.h"
#include "movie/render/RenderLimits.h"

namespace kestrava::render {

namespace {

bool Is(const TSwfCharacter* character, TCharacterKind kind) {
  return character && KindOf(character->TagCode) == kind;
}

// The character read by `read` if it is of the kind; any failure to read it (a damaged tag, a
// picture the decoder refuses, memory) leaves null, remembered so it is tried once.
template <class T, class Read>
const T* Cached(std::unordered_map<uint16_t, std::unique_ptr<T>>& cache,
                const TSwfCharacter* character, uint16_t id, TCharacterKind kind, Read read) {
  const auto found = cache.find(id);
  if (found != cache.end()) return found->second.get();
  std::unique_ptr<T> value;
  if (Is(character, kind)) {
    try {
      value = std::make_unique<T>(read(*character));
    } catch (const std::exception&) {
      value.reset();
    }
  }
  return cache.emplace(id, std::move(value)).first->second.get();
}

TCairoSurface SurfaceOf(const TDecodedBitmap& bitmap) {
  TCairoSurface surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.Width, bitmap.Height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < bitmap.Height; ++y)
    std::memcpy(data + size_t(y) * size_t(stride),
                bitmap.Pixels.data() + size_t(y) * size_t(bitmap.Width), size_t(bitmap.Width) * 4);
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

bool SameTransform(const TSwfColorTransform& a, const TSwfColorTransform& b) {
  return a.MulR == b.MulR && a.MulG == b.MulG && a.MulB == b.MulB && a.MulA == b.MulA &&
         a.AddR == b.AddR && a.AddG == b.AddG && a.AddB == b.AddB && a.AddA == b.AddA;
}

TCairoSurface Transformed(cairo_surface_t* source, const TSwfColorTransform& transform) {
  const int width = cairo_image_surface_get_width(source);
  const int height = cairo_image_surface_get_height(source);
  TCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  // Every straight channel value through the transform, all four channels at once.
  std::array<TSwfRgba, 256> table;
  for (int v = 0; v < 256; ++v)
    table[size_t(v)] = transform.Apply({uint8_t(v), uint8_t(v), uint8_t(v), uint8_t(v)});
  cairo_surface_flush(source);
  cairo_surface_flush(surface.get());
  const unsigned char* in = cairo_image_surface_get_data(source);
  unsigned char* out = cairo_image_surface_get_data(surface.get());
  const int inStride = cairo_image_surface_get_stride(source);
  const int outStride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(in + size_t(y) * size_t(inStride));
    uint32_t* to = reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(outStride));
    for (int x = 0; x < width; ++x) {
      const uint32_t p = from[x];
      const uint32_t a = p >> 24;
      // What is fully transparent stays so, whatever the transform adds.
      if (a == 0) {
        to[x] = 0;
        continue;
      }
      // Back to straight colour, through the transform, and multiplied again.
      auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
      const uint32_t na = table[a].A;
      auto pre = [na](uint32_t c) { return (c * na + 127) / 255; };
      to[x] = na << 24 | pre(table[straight(p >> 16 & 0xFF)].R) << 16 |
              pre(table[straight(p >> 8 & 0xFF)].G) << 8 | pre(table[straight(p & 0xFF)].B);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

}  // namespace

TCharacterLibrary::TCharacterLibrary(const ICharacterSource& source) : source_(source) {}
TCharacterLibrary::~TCharacterLibrary() = default;

const TShapeDrawing* TCharacterLibrary::Shape(uint16_t id) {
  return Cached(shapes_, Character(id), id, TCharacterKind::Shape, ReadShapeCharacter);
}

const TShapeDrawing* TCharacterLibrary::MorphShape(uint16_t id, uint16_t ratio) {
  auto found = morphs_.find(id);
  if (found == morphs_.end()) {
    TMorphEntry entry;
    const TSwfCharacter* character = Character(id);
    if (Is(character, TCharacterKind::MorphShape)) {
      try {
        entry.Morph = std::make_unique<TMorphShape>(ReadMorphShapeCharacter(*character));
      } catch (const std::exception&) {
        entry.Morph.reset();
      }
    }
    found = morphs_.emplace(id, std::move(entry)).first;
  }
  TMorphEntry& entry = found->second;
  if (!entry.Morph) return nullptr;
  for (auto& [kept, drawing] : entry.Shapes)
    if (kept == ratio) return &drawing;
  try {
    entry.Shapes.emplace_front(ratio, MorphShapeAt(*entry.Morph, ratio));
  } catch (const std::exception&) {
    return nullptr;
  }
  if (entry.Shapes.size() > kMorphRatiosKept) entry.Shapes.pop_back();
  return &entry.Shapes.front().second;
}

const TFontGlyphs* TCharacterLibrary::Font(uint16_t id) {
  return Cached(fonts_, Character(id), id, TCharacterKind::Font, ReadFontCharacter);
}

const TStaticText* TCharacterLibrary::Text(uint16_t id) {
  return Cached(texts_, Character(id), id, TCharacterKind::StaticText, ReadStaticTextCharacter);
}

const TEditText* TCharacterLibrary::EditText(uint16_t id) {
  return Cached(editTexts_, Character(id), id, TCharacterKind::EditText,
                [this](const TSwfCharacter& c) { return ReadEditTextCharacter(c, Version()); });
}

const std::vector<TButtonPart>* TCharacterLibrary::ButtonParts(uint16_t id) {
  return Cached(buttons_, Character(id), id, TCharacterKind::Button, ReadButtonUpState);
}

cairo_surface_t* TCharacterLibrary::Bitmap(uint16_t id) {
  const auto found = bitmaps_.find(id);
  if (found != bitmaps_.end()) return found->second.get();
  TCairoSurface surface;
  const TSwfCharacter* character = Character(id);
  if (Is(character, TCharacterKind::Bitmap)) {
    try {
      const TDecodedBitmap bitmap = DecodeBitmapCharacter(*character, source_.JpegTables());
      const int64_t pixels = int64_t(bitmap.Width) * bitmap.Height;
      if (bitmapPixels_ + pixels <= kMaxBitmapPixelsPerMovie) {
        surface = SurfaceOf(bitmap);
        if (surface) bitmapPixels_ += pixels;
      }
    } catch (const std::exception&) {
      surface.reset();
    }
  }
  return bitmaps_.emplace(id, std::move(surface)).first->second.get();
}

cairo_surface_t* TCharacterLibrary::Bitmap(uint16_t id, const TSwfColorTransform& transform) {
  cairo_surface_t* plain = Bitmap(id);
  if (!plain || transform.IsIdentity()) return plain;
  TTransformedBitmap& entry = transformed_[id];
  if (!entry.Surface || !SameTransform(entry.Transform, transform)) {
    entry.Surface = Transformed(plain, transform);
    entry.Transform = transform;
  }
  return entry.Surface.get();
}

}  // namespace kestrava::render
