// Nine-part slicing of a skin image cell onto a rectangle of another size:
// corners keep their size, edges stretch along one axis, the middle along
// both.
#pragma once

#include <array>

namespace VELO::render {

struct Box {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool operator==(const Box&) const = default;
};

struct Margins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct NinePiece {
  Box dst;
  Box src;
  // A piece with no positive extent on either side has nothing to draw; a
  // negative extent must not reach the drawing call, which would mirror it.
  bool Drawable() const noexcept { return dst.w > 0 && dst.h > 0 && src.w > 0 && src.h > 0; }
};

// Pieces in drawing order: top-left, left edge, bottom-left, top edge,
// top-right, right edge, bottom-right, bottom edge, middle. Later pieces
// cover earlier ones where a small destination makes them overlap.
std::array<NinePiece, 9> SliceNinePart(int left, int top, int right, int bottom, const Box& source,
                                       const Margins& margins) noexcept;

}  // namespace VELO::render
