#include "velo/plain/alpha_math.h"
#include "velo/render/mrender.h"

namespace VELO {

void MRender::CheckAlphaColor(DWORD& color) noexcept { color = render::NonZeroColorKey(color); }

void MRender::FillSolidRect(HDC dc, const RECT* rect, COLORREF color) noexcept {
  ::SetBkColor(dc, color);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

void MRender::FillSolidRect(HDC dc, int x, int y, int cx, int cy, COLORREF color) noexcept {
  const RECT rect{x, y, x + cx, y + cy};
  FillSolidRect(dc, &rect, color);
}

void MRender::DrawColor(HDC dc, const RECT& rect, DWORD argb) noexcept {
  if (argb < 0x01000000u) return;
  Gdiplus::Graphics g(dc);
  Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
  g.FillRectangle(&brush, Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

ostrel::win::unique_hdc MRender::CreateCompatibleDC(HDC dc) noexcept {
  return ostrel::win::unique_hdc(::CreateCompatibleDC(dc));
}

ostrel::win::unique_hbitmap MRender::CreateCompatibleBitmap(HDC dc, int cx, int cy) noexcept {
  return ostrel::win::unique_hbitmap(::CreateCompatibleBitmap(dc, cx, cy));
}

ostrel::win::unique_hbitmap MRender::CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  ostrel::win::unique_hbitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (bits) *bits = bitmap ? static_cast<BYTE*>(pixels) : nullptr;
  return bitmap;
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy) noexcept {
  return ::BitBlt(dst, x, y, cx, cy, src, sx, sy, SRCCOPY);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop) noexcept {
  return ::BitBlt(dst, x, y, cx, cy, src, sx, sy, rop);
}

void MRender::DrawRectangle(HDC, const CRect&, int, int, int) noexcept {}

}  // namespace VELO
