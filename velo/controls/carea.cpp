#include "velo/controls/carea.h"

#include "common/win/unique_any.h"
#include "velo/render/mrender.h"

namespace VELO {
namespace {
Gdiplus::Color Argb254(COLORREF c) { return Gdiplus::Color(0xFE, GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace

CArea::CArea(MObject* owner, UINT id, CRect rc, BOOL visible, BOOL enabled)
    : MControl(owner, id, rc, visible, enabled, 1) {}

void CArea::Repaint() {
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
}

void CArea::SetTransparent(int from, int to, COLORREF color) {
  m_nFrom = from;
  m_nTo = to;
  m_crColor = color;
  Repaint();
}

void CArea::SetFrame(BOOL frame, Gdiplus::Color color, int) {
  m_bFrame = frame ? 1 : 0;
  m_frameColor = color;
  Repaint();
}

void CArea::DrawControl(HDC& dc, CRect) {
  const int w = m_rcControl.Width();
  const int h = m_rcControl.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_bUpdate) {
    if (!UpdateMemDC(dc, w, h)) return;
    HDC mem = GetMemDC();
    ::BitBlt(mem, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
    const CRect all(0, 0, w, h);
    if (m_nFrom || m_nTo) {
      ostrel::win::unique_hdc layerDC = MRender::CreateCompatibleDC(dc);
      BYTE* bits = nullptr;
      ostrel::win::unique_hbitmap layer = MRender::CreateARGB32Bitmap(dc, w, h, &bits);
      if (layerDC && layer) {
        ostrel::win::scoped_select sel(layerDC.get(), layer.get());
        {
          Gdiplus::Graphics g(layerDC.get());
          Gdiplus::SolidBrush brush(Argb254(m_crColor));
          g.FillRectangle(&brush, 0, 0, w, h);
        }
        if (m_nDirection) {
          MRender::DrawVerticalTransition(mem, layerDC.get(), all, all, m_nFrom, m_nTo);
        } else {
          MRender::DrawHorizontalTransition(mem, layerDC.get(), all, all, m_nFrom, m_nTo);
        }
      }
    } else {
      Gdiplus::Graphics g(mem);
      Gdiplus::SolidBrush panel(Argb254(m_crColor));
      if (m_bFrame) {
        Gdiplus::SolidBrush frame(m_frameColor);
        g.FillRectangle(&frame, 0, 0, w, h);
        g.FillRectangle(&panel, 1, 1, w - 2, h - 2);
      } else {
        g.FillRectangle(&panel, 0, 0, w, h);
      }
    }
  }
  ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, GetMemDC(), 0, 0, SRCCOPY);
}

}  // namespace VELO
