#include "velo/plain/text_metrics.h"

#include <cmath>

namespace VELO::render {
namespace {

bool IsWhole(float v) noexcept { return std::floor(v) == v; }

int Padded(float v, float fractionalPad, float wholePad) noexcept {
  return static_cast<int>(v + (IsWhole(v) ? wholePad : fractionalPad));
}

}  // namespace

int TextWidth(float boundsWidth) noexcept { return static_cast<int>(std::ceil(boundsWidth)); }

int TextLineHeight(float lineHeight) noexcept { return Padded(lineHeight, 4.0f, 1.0f); }

int TextHeightInWidth(float lineHeight, float boundsHeight) noexcept {
  const int a = Padded(lineHeight, 2.0f, 1.0f);
  const int b = Padded(boundsHeight, 2.0f, 1.0f);
  return a < b ? b + 5 : a + 1;
}

}  // namespace VELO::render
