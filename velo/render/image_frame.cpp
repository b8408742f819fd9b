#include "velo/plain/nine_part.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

void DrawPieces(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, const render::Box& source,
                const render::Margins& margins) noexcept {
  if (!image) return;
  for (const render::NinePiece& p :
       render::SliceNinePart(dst.left, dst.top, dst.right, dst.bottom, source, margins)) {
    // A failed piece leaves its status in the graphics object; the rest are
    // still drawn.
    if (p.Drawable()) {
      g.DrawImage(image, Gdiplus::Rect(p.dst.x, p.dst.y, p.dst.w, p.dst.h), p.src.x, p.src.y, p.src.w,
                  p.src.h, Gdiplus::UnitPixel);
    }
  }
}

}  // namespace

void MRender::DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, int srcX,
                             int srcY, int srcW, int srcH, int corner) noexcept {
  DrawPieces(g, image, dst, {srcX, srcY, srcW, srcH}, {corner, corner, corner, corner});
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, int srcX,
                                int srcY, int srcW, int srcH, int left, int top, int right,
                                int bottom) noexcept {
  DrawPieces(g, image, dst, {srcX, srcY, srcW, srcH}, {left, top, right, bottom});
}

}  // namespace VELO
