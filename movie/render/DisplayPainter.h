#pragma once

// Draws a display list: objects by depth, sprites with their own lists, masks over the depths
// they clip, blend modes through groups.

#include <optional>
#include <span>
#include <vector>

#include "movie/DisplayList.h"
#include "movie/render/CairoHandles.h"
#include "movie/render/PaintState.h"
#include "movie/render/RenderLimits.h"
#include "movie/render/ShapePainter.h"

namespace kestrava::render {

// An area in device pixels; empty when X0 >= X1 or Y0 >= Y1.
struct TDeviceBox {
  double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  bool Empty() const { return !(X0 < X1 && Y0 < Y1); }
  void Add(const TDeviceBox& other);
  void Intersect(const TDeviceBox& other);
};

class TDisplayPainter {
 public:
  explicit TDisplayPainter(const TPaintTarget& target) : target_(target) {}

  // `state` is the parent's: the items' own matrices and transforms go on top of it.
  void PaintList(std::span<const TDisplayItem> items, const TPaintState& state, int nesting = 0);

 private:
  // A mask in effect: its coverage (an alpha group in device space), already cut down to the
  // masks that were in effect when it was placed.
  struct TActiveMask {
    uint16_t ClipDepth = 0;
    TCairoPattern Coverage;
    TDeviceBox Box;
  };

  void PaintItem(const TDisplayItem& item, const TPaintState& parent, int nesting);
  // Null when the mask covers nothing.
  std::optional<TActiveMask> MakeMask(const TDisplayItem& mask, const TActiveMask* outer,
                                      const TPaintState& state, int nesting);
  void PaintMasked(std::span<const TDisplayItem> items, const TActiveMask& mask,
                   const TPaintState& state, int nesting);
  void PaintBlended(const TDisplayItem& item, const TPaintState& state, int nesting);
  void PaintCharacter(uint16_t id, const std::vector<TDisplayItem>& children, uint16_t ratio,
                      const TPaintState& state, int nesting);
  // Where the character can draw under `matrix`, a little generously (strokes, hairlines).
  TDeviceBox Bounds(uint16_t id, const std::vector<TDisplayItem>& children, uint16_t ratio,
                    const cairo_matrix_t& matrix, int nesting);
  TDeviceBox ItemBounds(const TDisplayItem& item, const cairo_matrix_t& parent, int nesting);
  // Restricts drawing to the box (whole pixels), leaving the user space the identity.
  void ClipTo(const TDeviceBox& box);

  // Spends one unit of the frame's budget; false once it is used up.
  bool Spend() { return ++objects_ <= kMaxObjectsPerFrame; }

  TPaintTarget target_;
  int64_t objects_ = 0;
};

}  // namespace kestrava::render
