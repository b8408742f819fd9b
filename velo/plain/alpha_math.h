// Alpha arithmetic of the render helpers: the per-row (or per-column) alpha
// of the fading transitions, the corner fade, the colour-key guard and the
// source-over blend of one pixel.
#pragma once

#include <cstdint>

namespace VELO::render {

// Alpha of line i (0 .. extent-1) of a transition whose transparency runs
// from `from` percent at the first line to `to` percent at the last. The step
// between lines is fractional, so a tall area with a small alpha range still
// fades instead of staying at the first alpha.
int TransitionAlpha(int from, int to, int extent, int i) noexcept;

// The last alpha a transition over `extent` lines uses: 255 when there are
// no lines.
int TransitionLastAlpha(int from, int to, int extent) noexcept;

// Alpha of pixel (i, j) of the size x size corner block: opaque at the
// block's top-left, transparent from a distance of `size` on.
int CornerFadeAlpha(int size, int i, int j) noexcept;

// Black (low 24 bits zero, any alpha) becomes colour + 1, so that it never
// equals a zero colour key.
uint32_t NonZeroColorKey(uint32_t color) noexcept;

// One 32-bit pixel (B, G, R, A from the low byte up) blended the way
// AlphaBlend does: the source scaled by the constant alpha, and with
// per-pixel alpha treated as premultiplied by its own alpha byte.
uint32_t BlendPixel(uint32_t dst, uint32_t src, uint8_t constantAlpha, bool perPixelAlpha) noexcept;

}  // namespace VELO::render
