// Pixel sizes of measured text, from the GDI+ path bounds and the font's
// line height (both in pixels).
#pragma once

namespace VELO::render {

// Bounds width rounded up to a whole pixel.
int TextWidth(float boundsWidth) noexcept;

// Height of a single unbounded line: the line height plus 4 when it has a
// fraction, plus 1 when it is whole, truncated.
int TextLineHeight(float lineHeight) noexcept;

// Height of text laid out in a given width, from the line height and the
// height of the laid-out path's bounds.
int TextHeightInWidth(float lineHeight, float boundsHeight) noexcept;

}  // namespace VELO::render
