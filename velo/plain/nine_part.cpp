#include "velo/plain/nine_part.h"

namespace VELO::render {

std::array<NinePiece, 9> SliceNinePart(int left, int top, int right, int bottom, const Box& s,
                                       const Margins& m) noexcept {
  const int midW = right - left - m.left - m.right;
  const int midH = bottom - top - m.top - m.bottom;
  const int srcMidW = s.w - m.left - m.right;
  const int srcMidH = s.h - m.top - m.bottom;
  const int rightX = right - m.right;
  const int bottomY = bottom - m.bottom;
  const int srcRightX = s.x + s.w - m.right;
  const int srcBottomY = s.y + s.h - m.bottom;
  return {{
      {{left, top, m.left, m.top}, {s.x, s.y, m.left, m.top}},
      {{left, top + m.top, m.left, midH}, {s.x, s.y + m.top, m.left, srcMidH}},
      {{left, bottomY, m.left, m.bottom}, {s.x, srcBottomY, m.left, m.bottom}},
      {{left + m.left, top, midW, m.top}, {s.x + m.left, s.y, srcMidW, m.top}},
      {{rightX, top, m.right, m.top}, {srcRightX, s.y, m.right, m.top}},
      {{rightX, top + m.top, m.right, midH}, {srcRightX, s.y + m.top, m.right, srcMidH}},
      {{rightX, bottomY, m.right, m.bottom}, {srcRightX, srcBottomY, m.right, m.bottom}},
      {{left + m.left, bottomY, midW, m.bottom}, {s.x + m.left, srcBottomY, srcMidW, m.bottom}},
      {{left + m.left, top + m.top, midW, midH}, {s.x + m.left, s.y + m.top, srcMidW, srcMidH}},
  }};
}

}  // namespace VELO::render
