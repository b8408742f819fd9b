#include "velo/plain/balloon_layout.h"

namespace VELO::render {

Edges BalloonRect(int mode, int x, int y, int textWidth, int lineHeight, int lines) noexcept {
  const int w = textWidth;
  const int e = lines * lineHeight;
  switch (mode) {
    case 1:
      return {x, y - (e / 2 + 10), x + w + 40, y - (e / 2 + 10) + e + 20};
    case 2:
      return {x - (w + 40), y - 27, x, y + e - 7};
    case 3:
      return {x - 25, y, x + w + 15, y + e + 30};
    case 4:
      return {x - (w + 30) / 2, y - (e + 20), x - (w + 30) / 2 + w + 30, y};
    case 5:
      return {x, y - 10, x + w + 40, y + e - 45};
    default:
      return {};
  }
}

Edges KeepInside(Edges box, const Edges& area) noexcept {
  const auto shift = [](int lo, int hi, int areaLo, int areaHi) {
    if (hi > areaHi) return areaHi - hi - ((lo + areaHi - hi) < areaLo ? (lo + areaHi - hi) - areaLo : 0);
    if (lo < areaLo) return areaLo - lo;
    return 0;
  };
  const int dx = shift(box.left, box.right, area.left, area.right);
  const int dy = shift(box.top, box.bottom, area.top, area.bottom);
  return {box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
}

}  // namespace VELO::render
