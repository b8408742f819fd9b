#include "velo/plain/placement.h"

#include <algorithm>
#include <cstdint>

namespace VELO::render {

Offset OriginOffset(int w, int h, int cw, int ch, unsigned horizontal, unsigned vertical) noexcept {
  Offset o;
  if (horizontal == kAlignCenter) {
    o.x = (w - cw) / 2;
  } else if (horizontal == kAlignRight) {
    o.x = w - cw;
  }
  if (vertical == kAlignMiddle) {
    o.y = (h - ch) / 2;
  } else if (vertical == kAlignBottom) {
    o.y = h - ch;
  }
  return o;
}

Edges FitImage(int iw, int ih, const Edges& box) noexcept {
  const int bw = box.Width();
  const int bh = box.Height();
  // 64-bit products: a ratio taken in integers would pick the wrong side
  // (300 x 200 in 120 x 100 compares 1 with 1) and divide by a zero height.
  const int64_t w = iw, h = ih;
  const bool wider = iw > bw;
  const bool taller = ih > bh;
  bool limitWidth = wider && !taller;
  bool limitHeight = taller && !wider;
  if (wider && taller) {
    limitWidth = w * bh > h * bw;
    limitHeight = !limitWidth;
  }
  if (limitWidth && iw > 0) {
    ih = static_cast<int>(int64_t{bw} * h / w);
    iw = bw;
  } else if (limitHeight && ih > 0) {
    iw = static_cast<int>(int64_t{bh} * w / h);
    ih = bh;
  }
  const int left = box.left + (bw - iw) / 2;
  const int top = box.top + (bh - ih) / 2;
  return {left, top, left + iw, top + ih};
}

Offset CenterInArea(const Edges& reference, const Edges& area, int w, int h) noexcept {
  const int centerX = (reference.left + reference.right) / 2;
  const int centerY = (reference.top + reference.bottom) / 2;
  int left = centerX - w / 2;
  int top = centerY - h / 2;
  if (left + w > area.right) left = area.right - w;
  if (top + h > area.bottom) top = area.bottom - h;
  return {std::max(left, area.left), std::max(top, area.top)};
}

}  // namespace VELO::render
