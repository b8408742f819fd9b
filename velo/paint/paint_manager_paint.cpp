// The paint step: background, areas, controls, caret, the CPU-temperature
// readout and the message overlay drawn into one 32-bit bitmap, then pushed
// with per-pixel alpha (layered window) or copied to the window.
#include <cmath>
#include <cstdio>

#include "velo/core/manager.h"
#include "velo/core/mcontrol.h"
#include "velo/paint/paint_manager.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {

Gdiplus::Color Argb254(COLORREF c) { return Gdiplus::Color(0xFE, GetRValue(c), GetGValue(c), GetBValue(c)); }

// Rows of the bottom-up DIB: window row r is DIB row h - 1 - r.
DWORD* Row(BYTE* bits, int w, int h, int r) {
  return reinterpret_cast<DWORD*>(bits) + static_cast<size_t>(h - 1 - r) * static_cast<size_t>(w);
}

// GDI leaves alpha at 0 where it drew; untouched pixels are all zero.
void OpaqueGdiPixels(BYTE* bits, int w, int h, const CRect& rc) {
  for (int y = rc.top; y < rc.bottom; ++y) {
    DWORD* row = Row(bits, w, h, y);
    for (int x = rc.left; x < rc.right; ++x) {
      if ((row[x] & 0xFF000000u) == 0 && (row[x] & 0x00FFFFFFu) != 0) row[x] |= 0xFF000000u;
    }
  }
}

// The caret's inversion flips alpha too; it is solid wherever it shows.
void OpaqueRect(BYTE* bits, int w, int h, const CRect& rc) {
  for (int y = rc.top; y < rc.bottom; ++y) {
    DWORD* row = Row(bits, w, h, y);
    for (int x = rc.left; x < rc.right; ++x) row[x] |= 0xFF000000u;
  }
}

}  // namespace

int PaintManager::OnPaint() {
  if (!Live()) return 0;
  if (::IsIconic(m_hWnd)) return 1;
  CRect update;
  if (!::GetUpdateRect(m_hWnd, &update, FALSE) || update.IsRectEmpty()) return 0;
  PAINTSTRUCT ps{};
  HDC paintDC = ::BeginPaint(m_hWnd, &ps);
  const BOOL painted = paintDC ? PaintFrame(paintDC, update) : FALSE;
  ::EndPaint(m_hWnd, &ps);
  // Caps the frame rate of a window that is invalidated continuously.
  ::Sleep(15);
  return painted ? 1 : 0;
}

BOOL PaintManager::PaintFrame(HDC paintDC, CRect update) {
  CRect client;
  GetClientRect(client);
  const int w = client.Width();
  const int h = client.Height();
  if (w <= 0 || h <= 0) return FALSE;
  update = update & client;
  if (update.IsRectEmpty()) return FALSE;

  ostrel::win::unique_hdc mem = MRender::CreateCompatibleDC(paintDC);
  BYTE* bits = nullptr;
  ostrel::win::unique_hbitmap frame = MRender::CreateARGB32Bitmap(paintDC, w, h, &bits);
  if (!mem || !frame || !bits) return FALSE;
  ostrel::win::scoped_select selected(mem.get(), frame.get());
  const int saved = ::SaveDC(mem.get());

  const CRect drawRect = m_bLayered ? client : update;
  // The background is opaque or transparent by its own pixels: copying it
  // over the update rectangle also clears what a layered window had there.
  const BackgroundCache::Key key{
      w, h, m_pBkImage.get(), m_nBkWidth, m_nBkHeight, m_backMode, m_nBackCorner, m_crFill, m_crBorder};
  ::GdiFlush();
  m_background.CopyInto(key, m_pBkImage.get(), bits, drawRect);
  HDC dc = mem.get();
  DrawControl(dc, drawRect);
  DrawCaret(dc, drawRect);
  if (m_bLayered) {
    ::GdiFlush();
    OpaqueGdiPixels(bits, w, h, update);
    if (m_caret.IsVisible()) OpaqueRect(bits, w, h, m_caret.Rect() & update);
  }
  // A GDI+ context costs time under Wine: only when something is drawn.
  if (m_bDrawInfo || m_overlay.IsVisible()) {
    Gdiplus::Graphics g(mem.get());
    if (m_bDrawInfo) DrawInfo(g, w);
    m_overlay.Draw(g, FindTempFont(m_overlay.GetFontName()));
  }
  ::RestoreDC(mem.get(), saved);

  if (m_bLayered) {
    const LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SIZE size{w, h};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, paintDC, nullptr, &size, mem.get(), &origin, 0, &blend, ULW_ALPHA);
  } else {
    ::BitBlt(paintDC, update.left, update.top, update.Width(), update.Height(), mem.get(), update.left,
             update.top, SRCCOPY);
  }
  return TRUE;
}

void PaintManager::DrawBackImage(Gdiplus::Graphics& g, const CRect& client) {
  if (m_pBkImage) {
    if (m_backMode == BACK_FRAME) {
      MRender::DrawImageFrame(g, m_pBkImage.get(), client, 0, 0, m_nBkWidth, m_nBkHeight, m_nBackCorner);
    } else {
      g.DrawImage(m_pBkImage.get(), Gdiplus::Rect(0, 0, client.Width(), client.Height()), 0, 0, m_nBkWidth,
                  m_nBkHeight, Gdiplus::UnitPixel);
    }
    return;
  }
  Gdiplus::SolidBrush border(Argb254(m_crBorder));
  g.FillRectangle(&border, 0, 0, client.Width(), client.Height());
  Gdiplus::SolidBrush fill(Argb254(m_crFill));
  g.FillRectangle(&fill, 1, 1, client.Width() - 2, client.Height() - 2);
}

void PaintManager::DrawControl(HDC& dc, CRect paint) {
  for (const bool areas : {true, false}) {
    for (const ControlRef& ref : Snapshot(areas)) {
      if (MControl* c = ref.Get()) c->Draw(dc, paint);
    }
  }
}

void PaintManager::DrawInfo(Gdiplus::Graphics& g, int width) {
  Gdiplus::FontFamily* family = FindTempFont(L"");
  if (!family) return;
  wchar_t text[16] = L"--";
  // Not a number: no temperature to show, which a 0 would hide.
  const float temp = Manager::GetCPUTemp();
  if (std::isfinite(temp)) std::swprintf(text, 16, L"%d", static_cast<int>(temp));
  Gdiplus::Font font(family, 50.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  Gdiplus::StringFormat format(0x1800);
  format.SetAlignment(Gdiplus::StringAlignmentCenter);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  Gdiplus::SolidBrush ink(Gdiplus::Color(0xFFFBFBFB));
  const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(width / 2 - 55), 100.0f, 120.0f, 60.0f);
  g.DrawString(text, -1, &font, box, &format, &ink);
}

void PaintManager::DrawCaret(HDC dc, const CRect& paint) noexcept { m_caret.Draw(dc, paint); }

HBITMAP PaintManager::GenerateBitmap(MControl* control, CRect rc, DWORD argb) {
  if (!control || rc.right <= 0 || rc.bottom <= 0 || rc.IsRectEmpty()) return nullptr;
  ostrel::win::unique_window_dc screen(nullptr);
  ostrel::win::unique_hdc work = MRender::CreateCompatibleDC(screen.get());
  BYTE* workBits = nullptr;
  ostrel::win::unique_hbitmap canvas =
      MRender::CreateARGB32Bitmap(screen.get(), rc.right, rc.bottom, &workBits);
  if (!work || !canvas) return nullptr;
  ostrel::win::scoped_select s1(work.get(), canvas.get());
  HDC wdc = work.get();
  control->SetUpdate(0, m_crFill);
  control->Draw(wdc, rc);
  ostrel::win::unique_hdc out = MRender::CreateCompatibleDC(screen.get());
  BYTE* outBits = nullptr;
  ostrel::win::unique_hbitmap result =
      MRender::CreateARGB32Bitmap(screen.get(), rc.Width(), rc.Height(), &outBits);
  if (!out || !result) return nullptr;
  {
    ostrel::win::scoped_select s2(out.get(), result.get());
    ::BitBlt(out.get(), 0, 0, rc.Width(), rc.Height(), work.get(), rc.left, rc.top, SRCCOPY);
    if (argb >> 24) MRender::DrawColor(out.get(), CRect(0, 0, rc.Width(), rc.Height()), argb);
  }
  // The control's cache now holds this rendering: redraw it in the window.
  control->SetUpdate(0, m_crFill);
  return result.release();
}

}  // namespace VELO
