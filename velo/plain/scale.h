// Pixel scaling shared by the library. No Win32 types: also built natively.
#pragma once

#include <cmath>
#include <limits>

namespace VELO {

// v × scale in single precision, truncated toward zero. Results beyond the
// int range saturate and a NaN factor gives 0, where a plain cast would be
// undefined.
inline int ScaleTruncate(int v, float scale) noexcept {
  const float product = static_cast<float>(v) * scale;
  if (std::isnan(product)) return 0;
  // 2^31 is exactly representable; every float below it converts safely.
  constexpr float kLimit = 2147483648.0f;
  if (product >= kLimit) return std::numeric_limits<int>::max();
  if (product <= -kLimit) return std::numeric_limits<int>::min();
  return static_cast<int>(product);
}

}  // namespace VELO
