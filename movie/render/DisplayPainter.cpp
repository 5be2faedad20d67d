#include "movie/render/DisplayPainter.h"

#include <algorithm>
#include <cmath>

#include "movie/render/CairoMatrix.h"
#include "movie/render/CharacterKind.h"
#include "movie/render/RenderLimits.h"
#include "movie/render/TextPainter.h"

namespace kestrava::render {

namespace {

constexpr double kTwipsPerPixel = 20;
// Pixels added around computed bounds: hairlines and anti-aliasing reach past the outlines.
constexpr double kBoundsMargin = 2;

enum TBlendMode : uint8_t {
  kBlendLayer = 2,
  kBlendMultiply = 3,
  kBlendScreen = 4,
  kBlendLighten = 5,
  kBlendDarken = 6,
  kBlendDifference = 7,
  kBlendAdd = 8,
  kBlendSubtract = 9,
  kBlendInvert = 10,
  kBlendAlpha = 11,
  kBlendErase = 12,
  kBlendOverlay = 13,
  kBlendHardLight = 14,
};

TDeviceBox BoxOf(const cairo_matrix_t& m, double x0, double y0, double x1, double y1) {
  TDeviceBox box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}) {
    double dx = x, dy = y;
    cairo_matrix_transform_point(&m, &dx, &dy);
    box.X0 = std::min(box.X0, dx);
    box.Y0 = std::min(box.Y0, dy);
    box.X1 = std::max(box.X1, dx);
    box.Y1 = std::max(box.Y1, dy);
  }
  box.X0 -= kBoundsMargin;
  box.Y0 -= kBoundsMargin;
  box.X1 += kBoundsMargin;
  box.Y1 += kBoundsMargin;
  return box;
}

TDeviceBox BoxOf(const cairo_matrix_t& m, const TSwfRect& r) {
  return BoxOf(m, r.XMin, r.YMin, r.XMax, r.YMax);
}

// Nothing can show where alpha comes out 0 for every pixel.
bool Invisible(const TSwfColorTransform& t) {
  return std::max(0.0, t.MulA) * 255 + t.AddA <= 0;
}

// A button's part placed as the timeline places objects.
TDisplayItem ItemOf(const TButtonPart& part) {
  TDisplayItem item;
  item.Depth = part.Depth;
  item.CharacterId = part.CharacterId;
  item.Matrix = part.Matrix;
  item.ColorTransform = part.Transform;
  item.BlendMode = part.BlendMode;
  return item;
}

cairo_operator_t OperatorOf(uint8_t blend) {
  switch (blend) {
    case kBlendMultiply:
      return CAIRO_OPERATOR_MULTIPLY;
    case kBlendScreen:
      return CAIRO_OPERATOR_SCREEN;
    case kBlendLighten:
      return CAIRO_OPERATOR_LIGHTEN;
    case kBlendDarken:
      return CAIRO_OPERATOR_DARKEN;
    case kBlendDifference:
      return CAIRO_OPERATOR_DIFFERENCE;
    case kBlendAdd:
      return CAIRO_OPERATOR_ADD;
    case kBlendOverlay:
      return CAIRO_OPERATOR_OVERLAY;
    case kBlendHardLight:
      return CAIRO_OPERATOR_HARD_LIGHT;
    default:
      return CAIRO_OPERATOR_OVER;
  }
}

}  // namespace

void TDeviceBox::Intersect(const TDeviceBox& other) {
  X0 = std::max(X0, other.X0);
  Y0 = std::max(Y0, other.Y0);
  X1 = std::min(X1, other.X1);
  Y1 = std::min(Y1, other.Y1);
}

void TDeviceBox::Add(const TDeviceBox& other) {
  if (other.Empty()) return;
  if (Empty()) {
    *this = other;
    return;
  }
  X0 = std::min(X0, other.X0);
  Y0 = std::min(Y0, other.Y0);
  X1 = std::max(X1, other.X1);
  Y1 = std::max(Y1, other.Y1);
}

// Masks nest: a mask placed while another is in effect only covers what both cover, and stays
// so after the outer one ends.
void TDisplayPainter::PaintList(std::span<const TDisplayItem> items, const TPaintState& state,
                                int nesting) {
  std::vector<TActiveMask> masks;
  for (size_t i = 0; i < items.size();) {
    while (!masks.empty() && masks.back().ClipDepth < items[i].Depth)
      masks.pop_back();
    const TDisplayItem& item = items[i];
    if (item.ClipDepth != 0) {
      std::optional<TActiveMask> mask =
          MakeMask(item, masks.empty() ? nullptr : &masks.back(), state, nesting);
      // A mask over nothing hides what it clips.
      if (!mask) mask = TActiveMask{item.ClipDepth, nullptr, {}};
      masks.push_back(std::move(*mask));
      ++i;
      continue;
    }
    if (masks.empty()) {
      PaintItem(item, state, nesting);
      ++i;
      continue;
    }
    size_t end = i;
    while (end < items.size() && items[end].ClipDepth == 0 &&
           items[end].Depth <= masks.back().ClipDepth)
      ++end;
    if (masks.back().Coverage) PaintMasked(items.subspan(i, end - i), masks.back(), state, nesting);
    i = end;
  }
}

void TDisplayPainter::PaintItem(const TDisplayItem& item, const TPaintState& parent, int nesting) {
  if (!Spend()) return;
  TPaintState state = parent;
  state.Matrix = Compose(parent.Matrix, ToCairo(item.Matrix));
  if (!Usable(state.Matrix)) return;
  if (!state.MaskMode) {
    state.Transform = parent.Transform * item.ColorTransform;
    if (Invisible(state.Transform)) return;
  }
  if (!state.MaskMode && item.BlendMode >= kBlendLayer && item.BlendMode <= kBlendHardLight)
    PaintBlended(item, state, nesting);
  else
    PaintCharacter(item.CharacterId, item.Children, item.Ratio, state, nesting);
}

std::optional<TDisplayPainter::TActiveMask> TDisplayPainter::MakeMask(const TDisplayItem& mask,
                                                                      const TActiveMask* outer,
                                                                      const TPaintState& state,
                                                                      int nesting) {
  if (outer && !outer->Coverage) return std::nullopt;
  TActiveMask made;
  made.ClipDepth = mask.ClipDepth;
  made.Box = ItemBounds(mask, state.Matrix, nesting);
  if (outer) made.Box.Intersect(outer->Box);
  if (made.Box.Empty()) return std::nullopt;
  cairo_t* cr = target_.Cr;
  cairo_save(cr);
  ClipTo(made.Box);
  cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
  // Only the mask's outlines count: not its colours, not its blend mode.
  TPaintState maskState = state;
  maskState.MaskMode = true;
  maskState.Matrix = Compose(state.Matrix, ToCairo(mask.Matrix));
  if (Usable(maskState.Matrix))
    PaintCharacter(mask.CharacterId, mask.Children, mask.Ratio, maskState, nesting);
  cairo_identity_matrix(cr);
  TCairoPattern own(cairo_pop_group(cr));
  if (outer) {
    cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
    cairo_set_source(cr, own.get());
    cairo_mask(cr, outer->Coverage.get());
    made.Coverage.reset(cairo_pop_group(cr));
  } else {
    made.Coverage = std::move(own);
  }
  cairo_restore(cr);
  return made;
}

void TDisplayPainter::PaintMasked(std::span<const TDisplayItem> items, const TActiveMask& mask,
                                  const TPaintState& state, int nesting) {
  cairo_t* cr = target_.Cr;
  cairo_save(cr);
  ClipTo(mask.Box);
  cairo_push_group(cr);
  for (const TDisplayItem& item : items)
    PaintItem(item, state, nesting);
  cairo_identity_matrix(cr);
  TCairoPattern painted(cairo_pop_group(cr));
  cairo_set_source(cr, painted.get());
  cairo_mask(cr, mask.Coverage.get());
  cairo_restore(cr);
}

void TDisplayPainter::PaintBlended(const TDisplayItem& item, const TPaintState& state,
                                   int nesting) {
  const TDeviceBox box = Bounds(item.CharacterId, item.Children, item.Ratio, state.Matrix, nesting);
  if (box.Empty()) return;
  cairo_t* cr = target_.Cr;
  cairo_save(cr);
  ClipTo(box);
  cairo_push_group(cr);
  TPaintState inner = state;
  inner.InLayer = true;
  PaintCharacter(item.CharacterId, item.Children, item.Ratio, inner, nesting);
  cairo_identity_matrix(cr);
  TCairoPattern group(cairo_pop_group(cr));
  switch (item.BlendMode) {
    case kBlendSubtract:
      // target - object, as the inverse of (inverse target + object).
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
      cairo_paint(cr);
      cairo_set_source(cr, group.get());
      cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
      cairo_paint(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
      cairo_paint(cr);
      break;
    case kBlendInvert:
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
      cairo_mask(cr, group.get());
      break;
    case kBlendAlpha:
    case kBlendErase:
      // Only a layer below has an alpha of its own to change; on the stage they draw nothing.
      if (state.InLayer) {
        cairo_set_source(cr, group.get());
        cairo_set_operator(
            cr, item.BlendMode == kBlendAlpha ? CAIRO_OPERATOR_DEST_IN : CAIRO_OPERATOR_DEST_OUT);
        cairo_paint(cr);
      }
      break;
    default:
      cairo_set_source(cr, group.get());
      cairo_set_operator(cr, OperatorOf(item.BlendMode));
      cairo_paint(cr);
      break;
  }
  cairo_restore(cr);
}

void TDisplayPainter::PaintCharacter(uint16_t id, const std::vector<TDisplayItem>& children,
                                     uint16_t ratio, const TPaintState& state, int nesting) {
  if (nesting > kMaxNesting) return;
  TCharacterLibrary& library = *target_.Library;
  const TSwfCharacter* character = library.Character(id);
  if (!character) return;
  switch (KindOf(character->TagCode)) {
    case TCharacterKind::Shape:
      if (const TShapeDrawing* shape = library.Shape(id)) PaintShape(target_, *shape, state);
      break;
    case TCharacterKind::MorphShape:
      if (const TShapeDrawing* shape = library.MorphShape(id, ratio))
        PaintShape(target_, *shape, state);
      break;
    case TCharacterKind::Sprite:
      PaintList(children, state, nesting + 1);
      break;
    case TCharacterKind::StaticText:
      if (const TStaticText* text = library.Text(id)) PaintStaticText(target_, *text, state);
      break;
    case TCharacterKind::EditText:
      if (const TEditText* field = library.EditText(id)) PaintEditText(target_, *field, state);
      break;
    case TCharacterKind::Button:
      // The timeline may give a button's parts as children; otherwise its up state is drawn.
      if (!children.empty()) {
        PaintList(children, state, nesting + 1);
      } else if (const auto* parts = library.ButtonParts(id)) {
        for (const TButtonPart& part : *parts)
          PaintItem(ItemOf(part), state, nesting + 1);
      }
      break;
    case TCharacterKind::Bitmap:
      PaintBitmapCharacter(target_, id, state);
      break;
    case TCharacterKind::Font:
    case TCharacterKind::Other:
      break;
  }
}

TDeviceBox TDisplayPainter::ItemBounds(const TDisplayItem& item, const cairo_matrix_t& parent,
                                       int nesting) {
  const cairo_matrix_t m = Compose(parent, ToCairo(item.Matrix));
  if (!Usable(m)) return {};
  return Bounds(item.CharacterId, item.Children, item.Ratio, m, nesting);
}

TDeviceBox TDisplayPainter::Bounds(uint16_t id, const std::vector<TDisplayItem>& children,
                                   uint16_t ratio, const cairo_matrix_t& matrix, int nesting) {
  if (nesting > kMaxNesting || !Spend()) return {};
  TCharacterLibrary& library = *target_.Library;
  const TSwfCharacter* character = library.Character(id);
  if (!character) return {};
  TDeviceBox box;
  switch (KindOf(character->TagCode)) {
    case TCharacterKind::Shape:
      if (const TShapeDrawing* shape = library.Shape(id)) box = BoxOf(matrix, shape->Bounds);
      break;
    case TCharacterKind::MorphShape:
      if (const TShapeDrawing* shape = library.MorphShape(id, ratio))
        box = BoxOf(matrix, shape->Bounds);
      break;
    case TCharacterKind::StaticText:
      if (const TStaticText* text = library.Text(id))
        box = BoxOf(Compose(matrix, ToCairo(text->Matrix)), text->Bounds);
      break;
    case TCharacterKind::EditText:
      if (const TEditText* field = library.EditText(id)) box = BoxOf(matrix, field->Bounds);
      break;
    case TCharacterKind::Sprite:
      for (const TDisplayItem& child : children)
        box.Add(ItemBounds(child, matrix, nesting + 1));
      break;
    case TCharacterKind::Button:
      if (!children.empty()) {
        for (const TDisplayItem& child : children)
          box.Add(ItemBounds(child, matrix, nesting + 1));
      } else if (const auto* parts = library.ButtonParts(id)) {
        for (const TButtonPart& part : *parts)
          box.Add(ItemBounds(ItemOf(part), matrix, nesting + 1));
      }
      break;
    case TCharacterKind::Bitmap:
      if (cairo_surface_t* surface = library.Bitmap(id))
        box = BoxOf(matrix, 0, 0, cairo_image_surface_get_width(surface) * kTwipsPerPixel,
                    cairo_image_surface_get_height(surface) * kTwipsPerPixel);
      break;
    case TCharacterKind::Font:
    case TCharacterKind::Other:
      break;
  }
  return box;
}

void TDisplayPainter::ClipTo(const TDeviceBox& box) {
  cairo_t* cr = target_.Cr;
  cairo_identity_matrix(cr);
  // Whole pixels keep the clip a cheap rectangle for cairo.
  const double x0 = std::floor(std::max(box.X0, -kMaxDeviceCoordinate));
  const double y0 = std::floor(std::max(box.Y0, -kMaxDeviceCoordinate));
  const double x1 = std::ceil(std::min(box.X1, kMaxDeviceCoordinate));
  const double y1 = std::ceil(std::min(box.Y1, kMaxDeviceCoordinate));
  cairo_new_path(cr);
  cairo_rectangle(cr, x0, y0, std::max(0.0, x1 - x0), std::max(0.0, y1 - y0));
  cairo_clip(cr);
}

}  // namespace kestrava::render
