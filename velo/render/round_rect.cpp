#include "velo/plain/shape_math.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

using Gdiplus::REAL;

// Clockwise from the top edge, corners in boxes of 2rx x 2ry.
void AddClockwiseOutline(Gdiplus::GraphicsPath& path, REAL x, REAL y, REAL w, REAL h, REAL rx,
                         REAL ry) noexcept {
  const REAL dx = 2 * rx;
  const REAL dy = 2 * ry;
  path.AddLine(x + rx, y, x + w - rx, y);
  path.AddArc(x + w - dx, y, dx, dy, 270, 90);
  path.AddLine(x + w, y + ry, x + w, y + h - ry);
  path.AddArc(x + w - dx, y + h - dy, dx, dy, 0, 90);
  path.AddLine(x + w - rx, y + h, x + rx, y + h);
  path.AddArc(x, y + h - dy, dx, dy, 90, 90);
  path.AddLine(x, y + h - ry, x, y + ry);
  path.AddArc(x, y, dx, dy, 180, 90);
  path.CloseFigure();
}

}  // namespace

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, REAL x, REAL y, REAL w, REAL h, REAL radius,
                                Gdiplus::Color fill) noexcept {
  Gdiplus::GraphicsPath path;
  AddClockwiseOutline(path, x, y, w, h, radius, radius);
  Gdiplus::SolidBrush brush(fill);
  g.FillPath(&brush, &path);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& g, REAL x, REAL y, REAL w, REAL h, REAL divisor,
                                Gdiplus::Color pen, REAL penWidth, bool fill,
                                Gdiplus::Color fillColor) noexcept {
  const render::CornerRadii r = render::RoundCornerRadii(w, h, divisor);
  Gdiplus::GraphicsPath path;
  AddClockwiseOutline(path, x, y, w, h, r.rx, r.ry);
  if (fill) {
    Gdiplus::SolidBrush brush(fillColor);
    g.FillPath(&brush, &path);
  }
  Gdiplus::Pen outline(pen, penWidth);
  g.DrawPath(&outline, &path);
}

void MRender::AddRoundedRectangle(Gdiplus::GraphicsPath& path, REAL x, REAL y, REAL w, REAL h,
                                  REAL radius) noexcept {
  const REAL d = 2 * radius;
  // A figure of its own, not joined to whatever the path held open.
  path.StartFigure();
  path.AddArc(x, y, d, d, 180, 90);
  path.AddLine(x + radius, y, x + w - radius, y);
  path.AddArc(x + w - d, y, d, d, 270, 90);
  path.AddLine(x + w, y + radius, x + w, y + h - radius);
  path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  path.AddLine(x + w - radius, y + h, x + radius, y + h);
  path.AddArc(x, y + h - d, d, d, 90, 90);
  path.CloseFigure();
}

}  // namespace VELO
