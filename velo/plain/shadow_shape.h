// The computed drop shadow of a window: a soft, premultiplied ARGB image of
// the window's outline, made from one span (first to last pixel inside) per
// row of the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VELO::render {

// The largest reach, softness and offset a shadow takes, either way.
inline constexpr int kShadowLimit = 35;
constexpr bool InShadowRange(int v) noexcept { return v >= -kShadowLimit && v <= kShadowLimit; }

struct RowSpan {
  int first = 0;
  int last = -1;  // last < first: no pixel of the row is inside
  bool Empty() const noexcept { return last < first; }
};

struct ShadowParams {
  int size = 0;        // reach beyond the window on each side
  int sharpness = 5;   // width of the soft edge
  int darkness = 150;  // alpha of the core
  uint32_t color = 0;  // 0x00RRGGBB
  int offsetX = 5, offsetY = 5;
};

struct ShadowImage {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // top-down rows, 0xAARRGGBB premultiplied
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// `rows` has one span per window row, in window coordinates (width `width`).
// The image is (width + 2 size) x (rows + 2 size), placed at the window's
// origin + (offsetX - size, offsetY - size). Empty when that is not positive.
ShadowImage MakeShadowImage(const std::vector<RowSpan>& rows, int width, const ShadowParams& p);

}  // namespace VELO::render
