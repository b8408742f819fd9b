#include "velo/paint/drag_image.h"

#include <cstdint>

#include "common/win/unique_any.h"
#include "velo/core/module.h"

namespace VELO {
namespace {

// Seen through, so that the drop target under it stays visible.
constexpr BYTE kImageAlpha = 192;

LRESULT CALLBACK ImageProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Never the window the mouse is over: drops go to what lies beneath.
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return ::DefWindowProcW(window, msg, wParam, lParam);
}

bool RegisterImageClass() noexcept {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ImageProc;
  wc.hInstance = GetLibraryModule();
  wc.lpszClassName = DragImage::ClassName();
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

POINT Origin(POINT centre, SIZE size) noexcept { return {centre.x - size.cx / 2, centre.y - size.cy / 2}; }

}  // namespace

DragImage::DragImage(HBITMAP bitmap, POINT centre) noexcept {
  BITMAP bm{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  if (!RegisterImageClass()) return;
  m_size = {bm.bmWidth, bm.bmHeight};

  // A 32-bit top-down copy: GDI-drawn pictures carry no alpha and are made
  // opaque, pictures with alpha keep theirs (premultiplied, as layered
  // windows take it).
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = m_size.cx;
  bi.bmiHeader.biHeight = -m_size.cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  ostrel::win::unique_hbitmap copy(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ostrel::win::unique_hdc dst(::CreateCompatibleDC(nullptr));
  ostrel::win::unique_hdc src(::CreateCompatibleDC(nullptr));
  if (!copy || !bits || !dst || !src) return;
  ostrel::win::scoped_select selectCopy(dst.get(), copy.get());
  {
    ostrel::win::scoped_select selectSource(src.get(), bitmap);
    ::BitBlt(dst.get(), 0, 0, m_size.cx, m_size.cy, src.get(), 0, 0, SRCCOPY);
  }
  ::GdiFlush();
  auto* px = static_cast<uint32_t*>(bits);
  const size_t count = static_cast<size_t>(m_size.cx) * static_cast<size_t>(m_size.cy);
  bool anyAlpha = false;
  for (size_t i = 0; i < count && !anyAlpha; ++i) anyAlpha = (px[i] >> 24) != 0;
  if (!anyAlpha)
    for (size_t i = 0; i < count; ++i) px[i] |= 0xFF000000u;

  m_window.reset(::CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ClassName(),
      nullptr, WS_POPUP, 0, 0, m_size.cx, m_size.cy, nullptr, nullptr, GetLibraryModule(), nullptr));
  if (!m_window) return;
  POINT origin = Origin(centre, m_size);
  POINT zero{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, kImageAlpha, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(m_window.get(), nullptr, &origin, &m_size, dst.get(), &zero, 0, &blend, ULW_ALPHA);
  ::ShowWindow(m_window.get(), SW_SHOWNOACTIVATE);
}

void DragImage::MoveTo(POINT centre) noexcept {
  if (!m_window) return;
  const POINT origin = Origin(centre, m_size);
  ::SetWindowPos(m_window.get(), HWND_TOPMOST, origin.x, origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace VELO
