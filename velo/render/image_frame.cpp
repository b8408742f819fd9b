#include <memory>

#include "velo/plain/nine_part.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

// A scaled draw samples around each source pixel, and at a piece's edge
// GDI+ reaches past it: into the next frame of a strip or the next piece of
// a nine-part image, or (Wine's default clamp) into transparency, which
// shows as a sliver or a light seam. Cut into a bitmap of its own and drawn
// with its edges mirrored, a piece can only ever sample its own pixels.
std::unique_ptr<Gdiplus::Bitmap> CutPiece(Gdiplus::Image* image, const render::Box& src) noexcept {
  auto piece = std::make_unique<Gdiplus::Bitmap>(src.w, src.h, PixelFormat32bppPARGB);
  if (piece->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics g(piece.get());
  // An unscaled copy, pixel centres on pixel centres: nothing blends.
  g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  if (g.DrawImage(image, Gdiplus::Rect(0, 0, src.w, src.h), src.x, src.y, src.w, src.h, Gdiplus::UnitPixel) !=
      Gdiplus::Ok) {
    return nullptr;
  }
  return piece;
}

void DrawPieces(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& dst, const render::Box& source,
                const render::Margins& margins) noexcept {
  if (!image) return;
  Gdiplus::ImageAttributes edges;
  edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  for (const render::NinePiece& p :
       render::SliceNinePart(dst.left, dst.top, dst.right, dst.bottom, source, margins)) {
    // A failed piece leaves its status in the graphics object; the rest are
    // still drawn.
    if (!p.Drawable()) continue;
    const std::unique_ptr<Gdiplus::Bitmap> piece = CutPiece(image, p.src);
    if (!piece) continue;
    g.DrawImage(piece.get(), Gdiplus::Rect(p.dst.x, p.dst.y, p.dst.w, p.dst.h), 0, 0, p.src.w, p.src.h,
                Gdiplus::UnitPixel, &edges);
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
