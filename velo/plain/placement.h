// Placing a box inside another: content alignment, fitting an image into a
// box without enlarging it, and centring a window on a reference rectangle
// inside a bounding area.
#pragma once

namespace VELO::render {

struct Offset {
  int x = 0;
  int y = 0;
  bool operator==(const Offset&) const = default;
};

struct Edges {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const noexcept { return right - left; }
  int Height() const noexcept { return bottom - top; }
  bool operator==(const Edges&) const = default;
};

// Alignment codes shared with the control fonts.
inline constexpr unsigned kAlignCenter = 1;
inline constexpr unsigned kAlignRight = 2;
inline constexpr unsigned kAlignMiddle = 4;
inline constexpr unsigned kAlignBottom = 8;

// Top-left of content cw x ch inside w x h: horizontal 1 centre, 2 right,
// anything else left; vertical 4 middle, 8 bottom, anything else top.
Offset OriginOffset(int w, int h, int cw, int ch, unsigned horizontal, unsigned vertical) noexcept;

// An image of iw x ih fitted into the box, keeping its aspect ratio, never
// enlarged, centred. A side equal to the box's counts as fitting.
Edges FitImage(int iw, int ih, const Edges& box) noexcept;

// Top-left of a w x h window centred on the reference rectangle, then pushed
// back inside the area (the top-left corner wins when it is too large).
Offset CenterInArea(const Edges& reference, const Edges& area, int w, int h) noexcept;

}  // namespace VELO::render
