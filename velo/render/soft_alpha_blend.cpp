#include <cstdint>

#include "common/win/unique_any.h"
#include "velo/plain/alpha_math.h"
#include "velo/render/blend_functions.h"

namespace VELO {
namespace {

using ostrel::win::scoped_select;
using ostrel::win::unique_hbitmap;
using ostrel::win::unique_hdc;

struct Surface {
  unique_hdc dc;
  unique_hbitmap bitmap;
  uint32_t* pixels = nullptr;
};

bool MakeSurface(HDC like, int w, int h, Surface& s) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  s.dc.reset(::CreateCompatibleDC(like));
  s.bitmap.reset(::CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  s.pixels = static_cast<uint32_t*>(bits);
  return s.dc && s.bitmap && s.pixels;
}

}  // namespace

BOOL WINAPI SoftAlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                           BLENDFUNCTION blend) noexcept {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return FALSE;
  Surface source, target;
  if (!MakeSurface(dst, w, h, source) || !MakeSurface(dst, w, h, target)) return FALSE;
  scoped_select selectSource(source.dc.get(), source.bitmap.get());
  scoped_select selectTarget(target.dc.get(), target.bitmap.get());
  ::SetStretchBltMode(source.dc.get(), COLORONCOLOR);
  if (!::StretchBlt(source.dc.get(), 0, 0, w, h, src, sx, sy, sw, sh, SRCCOPY)) return FALSE;
  if (!::BitBlt(target.dc.get(), 0, 0, w, h, dst, x, y, SRCCOPY)) return FALSE;
  ::GdiFlush();
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  for (size_t i = 0; i < count; ++i) {
    target.pixels[i] =
        render::BlendPixel(target.pixels[i], source.pixels[i], blend.SourceConstantAlpha, perPixel);
  }
  return ::BitBlt(dst, x, y, w, h, target.dc.get(), 0, 0, SRCCOPY);
}

}  // namespace VELO
