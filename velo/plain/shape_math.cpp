#include "velo/plain/shape_math.h"

#include <algorithm>
#include <cmath>

namespace VELO::render {

PointD RotatePoint(double x, double y, double degrees, double cx, double cy) noexcept {
  // The library's own value of pi: rotated positions stay where they always
  // were.
  const double a = degrees * 3.1415926 / 180.0;
  const double dx = x - cx;
  const double dy = y - cy;
  return {dx * std::cos(a) - dy * std::sin(a) + cx, dy * std::cos(a) + dx * std::sin(a) + cy};
}

CornerRadii RoundCornerRadii(float w, float h, float divisor) noexcept {
  if (!(divisor > 0)) return {};
  CornerRadii r{w / divisor * 0.5f, h / divisor * 0.5f};
  if (std::fabs(r.rx - r.ry) > 10.0f) r.rx = r.ry = std::min(r.rx, r.ry);
  return r;
}

}  // namespace VELO::render
