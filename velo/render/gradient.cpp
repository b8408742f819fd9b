#include <cstdint>

#include "common/win/unique_any.h"
#include "velo/plain/gradient_bands.h"
#include "velo/render/blend_functions.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

using ostrel::win::scoped_select;
using ostrel::win::unique_hbitmap;
using ostrel::win::unique_hdc;

COLOR16 Channel16(DWORD argb, int shift) noexcept {
  return static_cast<COLOR16>(((argb >> shift) & 0xFF) << 8);
}

TRIVERTEX Vertex(LONG x, LONG y, DWORD argb) noexcept {
  return TRIVERTEX{x, y, Channel16(argb, 16), Channel16(argb, 8), Channel16(argb, 0), 0xFF00};
}

void PaintGradient(const BlendFunctions& functions, HDC dc, const RECT& area, DWORD from, DWORD to,
                   bool vertical, int steps) noexcept {
  if (functions.gradientFill) {
    TRIVERTEX vertices[2] = {Vertex(area.left, area.top, from), Vertex(area.right, area.bottom, to)};
    GRADIENT_RECT mesh{0, 1};
    functions.gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    return;
  }
  const int start = vertical ? area.top : area.left;
  const int size = vertical ? area.bottom - area.top : area.right - area.left;
  for (const render::Band& band : render::GradientBands(start, size, from, to, steps)) {
    RECT r = area;
    if (vertical) {
      r.top = band.begin;
      r.bottom = band.end;
    } else {
      r.left = band.begin;
      r.right = band.end;
    }
    MRender::FillSolidRect(dc, &r, RGB(band.r, band.g, band.b));
  }
}

}  // namespace

void DrawGradientWith(const BlendFunctions& functions, HDC dc, const RECT& rect, DWORD from, DWORD to,
                      bool vertical, int steps) noexcept {
  const int alpha = render::GradientAlpha(from, to);
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (alpha == 0 || w <= 0 || h <= 0) return;
  if (alpha >= 255) {
    PaintGradient(functions, dc, rect, from, to, vertical, steps);
    return;
  }
  // Translucent: draw opaque into a scratch surface, then blend it at the
  // average alpha.
  const unique_hdc scratch(::CreateCompatibleDC(dc));
  BYTE* bits = nullptr;
  const unique_hbitmap surface = MRender::CreateARGB32Bitmap(dc, w, h, &bits);
  if (!scratch || !surface || !bits) return;
  {
    scoped_select select(scratch.get(), surface.get());
    PaintGradient(functions, scratch.get(), RECT{0, 0, w, h}, from, to, vertical, steps);
    ::GdiFlush();
    // GDI fills leave the alpha byte at 0, which a per-pixel blend would
    // read as "add the colour"; the scratch surface is opaque.
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    functions.alphaBlend(dc, rect.left, rect.top, w, h, scratch.get(), 0, 0, w, h, blend);
  }
}

void MRender::DrawGradient(HDC dc, const RECT& rect, DWORD from, DWORD to, bool vertical,
                           int steps) noexcept {
  DrawGradientWith(SystemBlendFunctions(), dc, rect, from, to, vertical, steps);
}

}  // namespace VELO
