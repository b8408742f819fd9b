#include "velo/plain/placement.h"
#include "velo/plain/shape_math.h"
#include "velo/render/mrender.h"

namespace VELO {

CPoint MRender::GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT horizontal,
                               UINT vertical) noexcept {
  const render::Offset o =
      render::OriginOffset(width, height, contentWidth, contentHeight, horizontal, vertical);
  return CPoint(o.x, o.y);
}

CPoint MRender::GetOriginPoint(CRect box, int contentWidth, int contentHeight, UINT horizontal,
                               UINT vertical) noexcept {
  const render::Offset o =
      render::OriginOffset(box.Width(), box.Height(), contentWidth, contentHeight, horizontal, vertical);
  // Text drawn at this point sits 2 pixels lower: the controls' skins are
  // laid out for it.
  return CPoint(box.left + o.x, box.top + o.y + 2);
}

CRect MRender::GetImageRect(int imageWidth, int imageHeight, CRect box) noexcept {
  const render::Edges r =
      render::FitImage(imageWidth, imageHeight, {box.left, box.top, box.right, box.bottom});
  return CRect(r.left, r.top, r.right, r.bottom);
}

void MRender::RotatePoint(Gdiplus::PointF& point, Gdiplus::REAL degrees,
                          const Gdiplus::PointF& center) noexcept {
  const render::PointD p = render::RotatePoint(point.X, point.Y, degrees, center.X, center.Y);
  point.X = static_cast<Gdiplus::REAL>(p.x);
  point.Y = static_cast<Gdiplus::REAL>(p.y);
}

}  // namespace VELO
