// Geometry of the rounded rectangles and of point rotation.
#pragma once

namespace VELO::render {

struct PointD {
  double x = 0;
  double y = 0;
};

// (x, y) turned by `degrees` about (cx, cy); positive angles turn clockwise
// on the screen (y grows downwards).
PointD RotatePoint(double x, double y, double degrees, double cx, double cy) noexcept;

struct CornerRadii {
  float rx = 0;
  float ry = 0;
};

// Corner radii of the outlined rounded rectangle: half of w / divisor and
// h / divisor; when they differ by more than 10 both take the smaller. A
// divisor that is not positive gives square corners.
CornerRadii RoundCornerRadii(float w, float h, float divisor) noexcept;

}  // namespace VELO::render
