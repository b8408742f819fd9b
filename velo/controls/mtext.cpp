#include "velo/controls/mtext.h"

#include "velo/plain/paint_rules.h"

namespace VELO {

MText::MText(MObject* owner, UINT id, CRect rc, const wchar_t* text, BOOL visible)
    : MControlFont(owner, id, rc, text, visible, 0, 1) {}

void MText::Repaint() {
  if (m_bVisible && m_pOwner) m_pOwner->OnControlUpdate(m_rcControl, 1, this);
}

LRESULT MText::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
  OnMessage(id, code, wParam, lParam);
  return 0;
}

LRESULT MText::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
  if (id == 1 && code == 8) Repaint();
  return 0;
}

void MText::SetControlRect(CRect rc) {
  m_rcControl = rc;
  if (!m_bScrollBar) return;
  if (MControl* bar = GetControl(1))
    bar->SetControlRect(CRect(rc.right - m_nScrollBarWidth, rc.top, rc.right, rc.bottom));
}

int MText::OnControlScroll(int, UINT, CPoint) { return 1; }

void MText::EnableTextBack(BOOL on, Gdiplus::Color color) {
  const int flag = on ? 1 : 0;
  if (flag != m_bTextBack) {
    m_bTextBack = flag;
    m_backColor = color;
  }
  Repaint();
}

HRESULT MText::SetMarkText(const wchar_t* mark) {
  if (!mark) return E_FAIL;
  if (m_strMark == CString(mark)) return S_OK;
  m_strMark = mark;
  Repaint();
  return S_OK;
}

HRESULT MText::SetMarkText(const wchar_t* mark, Gdiplus::Color color, int flag) {
  if (!mark) return E_FAIL;
  if (m_strMark == CString(mark) && m_markColor.GetValue() == color.GetValue() && m_nMarkFlag == flag)
    return S_OK;
  m_strMark = mark;
  m_markColor = color;
  m_nMarkFlag = flag;
  Repaint();
  return S_OK;
}

HRESULT MText::SetMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color, int flag) {
  if (!title || !mark) return E_FAIL;
  if (m_strTitle == CString(title) && m_strMark == CString(mark) &&
      m_markColor.GetValue() == color.GetValue() && m_nMarkFlag == flag) {
    return S_OK;
  }
  m_strTitle = title;
  m_strMark = mark;
  m_markColor = color;
  m_nMarkFlag = flag;
  Repaint();
  return S_OK;
}

HRESULT MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int flag) {
  if (!title || !mark) return E_FAIL;
  if (m_strTitle == CString(title) && m_strMark == CString(mark) && m_nMarkFlag == flag) return S_OK;
  m_strTitle = title;
  m_strMark = mark;
  m_nMarkFlag = flag;
  Repaint();
  return S_OK;
}

void MText::DrawControl(HDC& dc, CRect) {
  const int w = m_rcControl.Width();
  const int h = m_rcControl.Height();
  if (w <= 0 || h <= 0) return;
  if (!m_bUpdate) {
    if (!UpdateMemDC(dc, w, h)) return;
    Gdiplus::Graphics g(GetMemDC());
    if (m_bTextBack) {
      Gdiplus::SolidBrush back(m_backColor);
      g.FillRectangle(&back, 0, 0, w, h);
    } else {
      CopyBeneath(dc, 0);
    }
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const Gdiplus::RectF box(0, 0, static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
    const UINT vAlign = m_bMultiLine && m_bVCenter ? 4 : m_uVAlign;
    DrawTitle(g, m_strTitle, box, m_textColor, render::TextFormatFlags(m_bMultiLine != 0), m_uAlign, vAlign);
  }
  ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, GetMemDC(), 0, 0, SRCCOPY);
}

}  // namespace VELO
